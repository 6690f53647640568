#include "PgValue.h"

#include "../FieldCodec.h"
#include "../StoredScalar.h"
#include "../Text1252.h"
#include "dbeng.h"

#include <cstring>

namespace dbeng {

namespace {

// Object ids of the built-in types (pg_type.h); fixed since the first releases.
constexpr unsigned kBoolOid = 16, kByteaOid = 17, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23,
                   kTextOid = 25, kFloat8Oid = 701;

uint64_t bigEndian(const char *p, int n) {
    uint64_t v = 0;
    for (int k = 0; k < n; ++k)
        v = v << 8 | static_cast<unsigned char>(p[k]);
    return v;
}

void putBigEndian(std::string &out, uint64_t v, int n) {
    for (int k = n - 1; k >= 0; --k)
        out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

} // namespace

unsigned PgValue::oid() const {
    switch (type()) {
    case Bool:
        return kBoolOid;
    case Int2:
        return kInt2Oid;
    case Int4:
        return kInt4Oid;
    case Int8:
        return kInt8Oid;
    case Float8:
        return kFloat8Oid;
    case Text:
        return kTextOid;
    default:
        return kByteaOid;
    }
}

std::string PgValue::wire() const {
    std::string out;
    appendWire(out);
    return out;
}

void PgValue::appendWire(std::string &out) const {
    switch (kind) {
    case Bool:
        out += static_cast<char>(i ? 1 : 0);
        break;
    case Int2:
        putBigEndian(out, static_cast<uint64_t>(i), 2);
        break;
    case Int4:
        putBigEndian(out, static_cast<uint64_t>(i), 4);
        break;
    case Int8:
        putBigEndian(out, static_cast<uint64_t>(i), 8);
        break;
    case Float8: {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        putBigEndian(out, bits, 8);
        break;
    }
    case Bytea:
    case Text:
        out += b;
        break;
    case Null:
        break;
    }
}

size_t PgValue::wireSize() const {
    switch (kind) {
    case Bool:
        return 1;
    case Int2:
        return 2;
    case Int4:
        return 4;
    case Int8:
    case Float8:
        return 8;
    case Bytea:
    case Text:
        return b.size();
    case Null:
        break;
    }
    return 0;
}

void PgValue::load(Kind t, const char *data, int length) {
    nullOf = t;
    if (!data) {
        kind = Null;
        return;
    }
    kind = t;
    switch (t) {
    case Bool:
        i = length > 0 && data[0] != 0;
        break;
    case Int2:
        i = static_cast<int16_t>(bigEndian(data, 2));
        break;
    case Int4:
        i = static_cast<int32_t>(bigEndian(data, 4));
        break;
    case Int8:
        i = static_cast<int64_t>(bigEndian(data, 8));
        break;
    case Float8: {
        uint64_t bits = bigEndian(data, 8);
        std::memcpy(&d, &bits, 8);
        break;
    }
    default:
        b.assign(data, static_cast<size_t>(length));
    }
}

bool PgValue::operator==(const PgValue &o) const {
    if (kind != o.kind)
        return false;
    switch (kind) {
    case Null:
        return true;
    case Float8:
        return d == o.d;
    case Bytea:
    case Text:
        return b == o.b;
    default:
        return i == o.i;
    }
}

const char *pgColumnType(uint16_t t) {
    switch (pgKind(t)) {
    case PgValue::Bool:
        return "boolean";
    case PgValue::Int2:
        return "smallint";
    case PgValue::Int4:
        return "integer";
    case PgValue::Int8:
        return "bigint";
    case PgValue::Float8:
        return "double precision";
    default:
        return "bytea";
    }
}

PgValue::Kind pgKind(uint16_t t) {
    switch (t) {
    case DB_TYPE_LOGICAL:
        return PgValue::Bool;
    case DB_TYPE_NUMERIC:
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        return PgValue::Float8;
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
    case DB_TYPE_INTEGER:
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
        return PgValue::Int4;
    case DB_TYPE_SHORTINT:
        return PgValue::Int2;
    case DB_TYPE_TIMESTAMP:
        return PgValue::Int8;
    default:
        return PgValue::Bytea;
    }
}

PgValue pgStoredValue(const FieldDef &f, const uint8_t *image) {
    const StoredScalar v = storedScalar(f, image);
    const PgValue::Kind kind = pgKind(f.type);
    switch (v.kind) {
    case StoredScalar::Null:
        return PgValue::null(kind);
    case StoredScalar::Real:
        return PgValue::float8(v.d);
    case StoredScalar::Bytes:
        return PgValue::bytea(v.bytes);
    case StoredScalar::Integer:
        break;
    }
    switch (kind) {
    case PgValue::Bool:
        return PgValue::boolean(v.i != 0);
    case PgValue::Int2:
        return PgValue::int2(v.i);
    case PgValue::Int8:
        return PgValue::int8(v.i);
    default:
        return PgValue::int4(v.i);
    }
}

void pgImageFromValue(const FieldDef &f, const PgValue &v, uint8_t *image) {
    StoredScalar s;
    switch (v.kind) {
    case PgValue::Null:
        break;
    case PgValue::Float8:
        s = StoredScalar::real(v.d);
        break;
    case PgValue::Bytea:
    case PgValue::Text:
        s = StoredScalar::text(v.b);
        break;
    default:
        s = StoredScalar::integer(v.i);
    }
    imageFromScalar(f, s, image);
}

PgValue pgFolded(const PgValue &v) {
    if (v.kind != PgValue::Bytea)
        return v;
    return PgValue::bytea(upper1252(v.b));
}

} // namespace dbeng
