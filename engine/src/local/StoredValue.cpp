#include "StoredValue.h"

#include "../FieldCodec.h"
#include "../StoredScalar.h"
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
    const StoredScalar v = storedScalar(f, image);
    switch (v.kind) {
    case StoredScalar::Integer:
        return SqlValue::integer(v.i);
    case StoredScalar::Real:
        return SqlValue::real(v.d);
    case StoredScalar::Bytes:
        return SqlValue::blob(v.bytes);
    default:
        return SqlValue::null();
    }
}

void imageFromValue(const FieldDef &f, const SqlValue &v, uint8_t *image) {
    StoredScalar s;
    switch (v.kind) {
    case SqlValue::Int:
        s = StoredScalar::integer(v.i);
        break;
    case SqlValue::Real:
        s = StoredScalar::real(v.d);
        break;
    case SqlValue::Blob:
        s = StoredScalar::text(v.b);
        break;
    case SqlValue::Null:
        break;
    }
    imageFromScalar(f, s, image);
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
