// The module host's tables as the host creates them: every field in its stored order and the
// index tags. The article table carries all the fields the host declares for it and, besides
// its declared tags, the tag "BSTN" that the duplicate check walks.
//
// This is the one description of those tables. dupcheck-host creates them from it, and so do
// the test fixtures and the benchmarks; a fixture that needs a deliberately odd table (a tag
// missing, say) starts from it and leaves out what it tests. Plain C++ over the engine's C
// interface, so that every layer and the engine's own programs can use it.
#pragma once

#include "dbeng.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace HostSchema {

struct Field {
    std::string name;
    uint16_t type = 0; // DB_TYPE_*
    uint32_t length = 0;
    uint16_t decimals = 0;
};

struct Index {
    std::string tag;
    std::string fields; // field names separated by ";"
    bool unique = false;
};

struct Table {
    std::string fileName;
    std::vector<Field> fields;
    std::vector<Index> indexes;

    // The field's number (from 1) as the engine counts it, or 0 when the table has no such
    // field. Names compare exactly.
    uint16_t fieldNumber(std::string_view name) const;
};

const Table &articles(); // "ArtikelMain.TBL"
const Table &bookings(); // "Artikelsub.TBL"
const Table &settings(); // "setup.TBL"
const std::vector<const Table *> &all();
// The table whose file name matches without regard to (ASCII) case, or nullptr.
const Table *find(std::string_view fileName);

// "NAME,TYPE,LENGTH,DECIMALS;..." as the engine's table creation takes it.
std::string fieldList(const Table &table);

// Creates the table file in the connection's folder and answers its open handle in *handle.
// The index tags are created separately: bulk loads create them after the data, which is much
// faster. Both answer the engine's result; the engine's last error tells what failed.
DBRESULT createTable(DBHANDLE connection, const Table &table, DBHANDLE *handle);
DBRESULT createIndex(DBHANDLE handle, const Index &index);
// All tags of the table in their order; stops at the first failure.
DBRESULT createIndexes(DBHANDLE handle, const Table &table);

} // namespace HostSchema
