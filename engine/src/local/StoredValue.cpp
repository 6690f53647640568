#include "StoredValue.h"

#include "../FieldCodec.h"
#include "../Text1252.h"
#include "dbeng.h"

#include <cmath>
#include <cstring>

namespace dbeng {

const char *columnType(uint16_t t) {
    switch (t) {
    case DB_TYPE_NUMERIC:
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        return "REAL";
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
    case DB_TYPE_RAW:
    case DB_TYPE_MEMO:
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE:
    case DB_TYPE_VARCHAR:
        return "BLOB";
    default:
        return "INTEGER";
    }
}

SqlValue storedValue(const FieldDef &f, const uint8_t *image) {
    switch (f.type) {
    case DB_TYPE_LOGICAL:
        if (image[0] == ' ' || image[0] == 0)
            return SqlValue::null();
        return SqlValue::integer(std::strchr("TtYy1", image[0]) ? 1 : 0);
    case DB_TYPE_NUMERIC: {
        if (isNullImage(f, image))
            return SqlValue::null();
        double v = 0;
        parseNumber(std::string_view(reinterpret_cast<const char *>(image), f.length), v);
        return SqlValue::real(v);
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
    case DB_TYPE_INTEGER:
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
    case DB_TYPE_SHORTINT:
        if (isNullImage(f, image))
            return SqlValue::null();
        return SqlValue::integer(f.type == DB_TYPE_SHORTINT ? readInt16(image) : readInt32(image));
    case DB_TYPE_TIMESTAMP:
        if (isNullImage(f, image))
            return SqlValue::null();
        return SqlValue::integer(static_cast<int64_t>(readInt32(image)) * 86400000 +
                                 readInt32(image + 4));
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        // No separate null: all zero bytes is the value 0.
        return SqlValue::real(readDouble(image));
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        size_t n = f.length;
        while (n > 0 && (image[n - 1] == ' ' || image[n - 1] == 0))
            --n;
        if (n == 0)
            return SqlValue::null();
        return SqlValue::blob(std::string_view(reinterpret_cast<const char *>(image), n));
    }
    case DB_TYPE_RAW:
        if (isNullImage(f, image))
            return SqlValue::null();
        return SqlValue::blob(std::string_view(reinterpret_cast<const char *>(image), f.length));
    default:
        return SqlValue::null();
    }
}

void imageFromValue(const FieldDef &f, const SqlValue &v, uint8_t *image) {
    if (v.kind == SqlValue::Null) {
        nullImage(f, image);
        return;
    }
    switch (f.type) {
    case DB_TYPE_LOGICAL:
        image[0] = (v.kind == SqlValue::Int ? v.i : static_cast<int64_t>(v.d)) ? 'T' : 'F';
        break;
    case DB_TYPE_NUMERIC:
        if (!formatNumeric(v.kind == SqlValue::Real ? v.d : static_cast<double>(v.i), f.length,
                           f.decimals, image))
            std::memset(image, '*', f.length);
        break;
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
    case DB_TYPE_INTEGER:
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
        writeInt32(image, static_cast<int32_t>(v.kind == SqlValue::Real ? static_cast<int64_t>(v.d)
                                                                        : v.i));
        break;
    case DB_TYPE_SHORTINT:
        writeInt16(image, static_cast<int16_t>(v.kind == SqlValue::Real ? static_cast<int64_t>(v.d)
                                                                        : v.i));
        break;
    case DB_TYPE_TIMESTAMP: {
        int64_t t = v.kind == SqlValue::Real ? static_cast<int64_t>(v.d) : v.i;
        writeInt32(image, static_cast<int32_t>(t / 86400000));
        writeInt32(image + 4, static_cast<int32_t>(t % 86400000));
        break;
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        writeDouble(image, v.kind == SqlValue::Real ? v.d : static_cast<double>(v.i));
        break;
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        size_t n = std::min<size_t>(v.b.size(), f.length);
        std::memcpy(image, v.b.data(), n);
        std::memset(image + n, ' ', f.length - n);
        break;
    }
    case DB_TYPE_RAW: {
        size_t n = std::min<size_t>(v.b.size(), f.length);
        std::memcpy(image, v.b.data(), n);
        std::memset(image + n, 0, f.length - n);
        break;
    }
    default: // memo-like: v is the length
        writeUInt32(image, 1);
        writeUInt32(image + 4, static_cast<uint32_t>(v.i));
        if (v.i == 0)
            std::memset(image, 0, 8);
        break;
    }
}

void imageFromColumn(const FieldDef &f, sqlite3_stmt *stmt, int col, uint8_t *image) {
    int type = sqlite3_column_type(stmt, col);
    if (type == SQLITE_NULL) {
        nullImage(f, image);
        return;
    }
    switch (f.type) {
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        const void *p = sqlite3_column_blob(stmt, col);
        size_t n = std::min<size_t>(static_cast<size_t>(sqlite3_column_bytes(stmt, col)), f.length);
        if (n)
            std::memcpy(image, p, n);
        std::memset(image + n, ' ', f.length - n);
        return;
    }
    case DB_TYPE_INTEGER:
    case DB_TYPE_AUTOINC:
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
    case DB_TYPE_TIME:
        writeInt32(image, static_cast<int32_t>(sqlite3_column_int64(stmt, col)));
        return;
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        writeDouble(image, sqlite3_column_double(stmt, col));
        return;
    default: {
        SqlValue v;
        v.load(stmt, col);
        imageFromValue(f, v, image);
    }
    }
}

SqlValue foldedValue(const SqlValue &v) {
    if (v.kind != SqlValue::Blob)
        return v;
    return SqlValue::blob(upper1252(v.b));
}

} // namespace dbeng
