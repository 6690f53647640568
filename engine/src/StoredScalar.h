// The value a field image is stored as, the same on both servers apart from each server's own
// value type: the number, the text bytes or nothing (see docs/ENGINE.md, "How each field type
// is stored"). The local server's SqlValue and the remote server's PgValue are made from it
// and read into it, so that the rules of each field type stand once.
#pragma once

#include "TableDef.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dbeng {

struct StoredScalar {
    enum Kind : uint8_t { Null, Integer, Real, Bytes };
    Kind kind = Null;
    int64_t i = 0;
    double d = 0;
    std::string_view bytes; // lives as long as the image or value it was taken from

    static StoredScalar integer(int64_t v) { return {Integer, v, 0, {}}; }
    static StoredScalar real(double v) { return {Real, 0, v, {}}; }
    static StoredScalar text(std::string_view v) { return {Bytes, 0, 0, v}; }
    // A number whatever way the server gave it.
    int64_t asInteger() const { return kind == Real ? static_cast<int64_t>(d) : i; }
    double asReal() const { return kind == Real ? d : static_cast<double>(i); }
};

// The stored value of a field image (not for memo-like fields): logicals 1 or 0, numbers,
// dates as Julian days, times and timestamps in milliseconds, strings right-trimmed, raw
// bytes at full length; every null image is Null.
StoredScalar storedScalar(const FieldDef &field, const uint8_t *image);
// The image of a stored value; for memo-like fields the value is the memo's length and the
// image becomes the reference.
void imageFromScalar(const FieldDef &field, const StoredScalar &value, uint8_t *image);
// Stored texts compare byte by byte: the smallest text greater than every text that begins
// with p (where a prefix key's range ends); empty when there is none.
std::string prefixEnd(std::string p);

} // namespace dbeng
