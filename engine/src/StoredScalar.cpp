#include "StoredScalar.h"

#include "FieldCodec.h"
#include "dbeng.h"

#include <algorithm>
#include <cstring>

namespace dbeng {

StoredScalar storedScalar(const FieldDef &f, const uint8_t *image) {
    switch (f.type) {
    case DB_TYPE_LOGICAL:
        if (image[0] == ' ' || image[0] == 0)
            return {};
        return StoredScalar::integer(std::strchr("TtYy1", image[0]) ? 1 : 0);
    case DB_TYPE_NUMERIC: {
        if (isNullImage(f, image))
            return {};
        double v = 0;
        parseNumber(std::string_view(reinterpret_cast<const char *>(image), f.length), v);
        return StoredScalar::real(v);
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
    case DB_TYPE_INTEGER:
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
    case DB_TYPE_SHORTINT:
        if (isNullImage(f, image))
            return {};
        return StoredScalar::integer(f.type == DB_TYPE_SHORTINT ? readInt16(image)
                                                                : readInt32(image));
    case DB_TYPE_TIMESTAMP:
        if (isNullImage(f, image))
            return {};
        return StoredScalar::integer(static_cast<int64_t>(readInt32(image)) * 86400000 +
                                     readInt32(image + 4));
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        // No separate null: all zero bytes is the value 0.
        return StoredScalar::real(readDouble(image));
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        size_t n = f.length;
        while (n > 0 && (image[n - 1] == ' ' || image[n - 1] == 0))
            --n;
        if (n == 0)
            return {};
        return StoredScalar::text(std::string_view(reinterpret_cast<const char *>(image), n));
    }
    case DB_TYPE_RAW:
        if (isNullImage(f, image))
            return {};
        return StoredScalar::text(
            std::string_view(reinterpret_cast<const char *>(image), f.length));
    default:
        return {};
    }
}

void imageFromScalar(const FieldDef &f, const StoredScalar &v, uint8_t *image) {
    if (v.kind == StoredScalar::Null) {
        nullImage(f, image);
        return;
    }
    switch (f.type) {
    case DB_TYPE_LOGICAL:
        image[0] = v.asInteger() ? 'T' : 'F';
        break;
    case DB_TYPE_NUMERIC:
        if (!formatNumeric(v.asReal(), f.length, f.decimals, image))
            std::memset(image, '*', f.length);
        break;
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
    case DB_TYPE_INTEGER:
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
        writeInt32(image, static_cast<int32_t>(v.asInteger()));
        break;
    case DB_TYPE_SHORTINT:
        writeInt16(image, static_cast<int16_t>(v.asInteger()));
        break;
    case DB_TYPE_TIMESTAMP: {
        const int64_t t = v.asInteger();
        writeInt32(image, static_cast<int32_t>(t / 86400000));
        writeInt32(image + 4, static_cast<int32_t>(t % 86400000));
        break;
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        writeDouble(image, v.asReal());
        break;
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
    case DB_TYPE_RAW: {
        // Strings are padded with blanks, raw bytes with zero bytes.
        const size_t n = std::min<size_t>(v.bytes.size(), f.length);
        if (n)
            std::memcpy(image, v.bytes.data(), n);
        std::memset(image + n, f.type == DB_TYPE_RAW ? 0 : ' ', f.length - n);
        break;
    }
    default: { // memo-like: the value is the length
        const int64_t length = v.asInteger();
        writeUInt32(image, length ? 1 : 0);
        writeUInt32(image + 4, static_cast<uint32_t>(length));
        break;
    }
    }
}

std::string prefixEnd(std::string p) {
    while (!p.empty()) {
        unsigned char c = static_cast<unsigned char>(p.back());
        if (c < 0xFF) {
            p.back() = static_cast<char>(c + 1);
            return p;
        }
        p.pop_back();
    }
    return p;
}

} // namespace dbeng
