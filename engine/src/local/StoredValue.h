// How each field type is kept in the records table: image <-> SQLite value. Strings are
// stored right-trimmed (trailing blanks and zero bytes dropped, empty as NULL) as BLOBs, so
// SQLite's byte order is the key order; every null image is NULL.
#pragma once

#include "../TableDef.h"
#include "Sqlite.h"

#include <cstdint>

namespace dbeng {

// Not for memo-like fields (their column holds the value itself).
SqlValue storedValue(const FieldDef &field, const uint8_t *image);
// Writes the image of field from column col; for memo-like fields the column is the value's
// length (or NULL) and the image becomes the reference.
void imageFromColumn(const FieldDef &field, sqlite3_stmt *stmt, int col, uint8_t *image);
void imageFromValue(const FieldDef &field, const SqlValue &value, uint8_t *image);
// The case-folded key of a ci-string.
SqlValue foldedValue(const SqlValue &value);
const char *columnType(uint16_t fieldType);

} // namespace dbeng
