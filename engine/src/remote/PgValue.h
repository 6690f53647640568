// Values as the remote server keeps them, and their way to and from record images. Every field
// type has one column type (see docs/ENGINE.md, "The remote server"); values travel in the
// binary wire format, so texts are bytes and never pass through the server's encoding.
#pragma once

#include "../TableDef.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dbeng {

struct PgValue {
    enum Kind : uint8_t { Null, Bool, Int2, Int4, Int8, Float8, Bytea, Text };
    Kind kind = Null;
    // The column type a null stands for: parameters are prepared with their types.
    Kind nullOf = Bytea;
    int64_t i = 0;
    double d = 0;
    std::string b;

    static PgValue null(Kind of) {
        PgValue v;
        v.nullOf = of;
        return v;
    }
    static PgValue boolean(bool v) { return make(Bool, v ? 1 : 0); }
    static PgValue int2(int64_t v) { return make(Int2, v); }
    static PgValue int4(int64_t v) { return make(Int4, v); }
    static PgValue int8(int64_t v) { return make(Int8, v); }
    static PgValue float8(double v) {
        PgValue p;
        p.kind = p.nullOf = Float8;
        p.d = v;
        return p;
    }
    static PgValue bytea(std::string_view v) {
        PgValue p;
        p.kind = p.nullOf = Bytea;
        p.b.assign(v);
        return p;
    }
    // Text of the catalogue (UTF-8); field values are never text.
    static PgValue text(std::string_view v) {
        PgValue p;
        p.kind = p.nullOf = Text;
        p.b.assign(v);
        return p;
    }
    bool isNull() const { return kind == Null; }
    Kind type() const { return kind == Null ? nullOf : kind; }
    // The type's object id, for preparing statements.
    unsigned oid() const;
    // The binary wire form of a non-null value, and its length.
    std::string wire() const;
    void appendWire(std::string &out) const;
    size_t wireSize() const;
    // Reads a binary column value of the given type; null when data is nullptr.
    void load(Kind type, const char *data, int length);
    bool operator==(const PgValue &o) const;

private:
    static PgValue make(Kind k, int64_t v) {
        PgValue p;
        p.kind = p.nullOf = k;
        p.i = v;
        return p;
    }
};

// The column type of a field type, as SQL and as a value kind.
const char *pgColumnType(uint16_t fieldType);
PgValue::Kind pgKind(uint16_t fieldType);

// The stored value of a field image (not for memo-like fields): strings right-trimmed, every
// null image a SQL null; the same values as the local server keeps.
PgValue pgStoredValue(const FieldDef &field, const uint8_t *image);
// The image of a stored value; for memo-like fields value holds the value's length.
void pgImageFromValue(const FieldDef &field, const PgValue &value, uint8_t *image);
// The same under the name the shared cursor uses for either server's values.
inline void imageFromValue(const FieldDef &field, const PgValue &value, uint8_t *image) {
    pgImageFromValue(field, value, image);
}
// The case-folded key of a ci-string.
PgValue pgFolded(const PgValue &value);

} // namespace dbeng
