// The table file: one SQLite database per table, marked as ours by its application id and
// format version, holding the field and index definitions beside the records. See
// docs/ENGINE.md for the full format.
#pragma once

#include "../TableDef.h"
#include "Sqlite.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dbeng {

constexpr uint32_t kApplicationId = 0x44424531; // "DBE1"
constexpr int kFormatVersion = 1;

std::string fieldColumn(const FieldDef &field); // quoted
std::string ciColumn(const FieldDef &field);    // quoted; only for ci-strings
std::string sqlIndexName(const std::string &tag);

// Builds the file under a temporary name and moves it into place only when complete, so a
// half-made table is never seen under its name. Throws DBE_TABLE_EXISTS when path exists.
void createTableFile(const std::string &path, const std::vector<FieldDef> &fields);

// Opens path and reads its definitions. Nothing is written before the file has been
// recognised as one of ours (DBE_NOT_A_TABLE otherwise) with sound definitions
// (DBE_TABLE_DAMAGED otherwise). A file that may not be written is opened for reading only.
TableDef openTableFile(SqliteDb &db, const std::string &path);

} // namespace dbeng
