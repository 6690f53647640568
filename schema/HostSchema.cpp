#include "schema/HostSchema.h"

#include <algorithm>
#include <cctype>

namespace HostSchema {

namespace {

Table makeArticles() {
    Table t;
    t.fileName = "ArtikelMain.TBL";
    t.fields = {
        {"ID", DB_TYPE_AUTOINC},        {"BZK", DB_TYPE_STRING, 50},
        {"BZL", DB_TYPE_STRING, 50},    {"LFT", DB_TYPE_MEMO},
        {"BST", DB_TYPE_DOUBLE},        {"EKEU", DB_TYPE_DOUBLE},
        {"VKEU", DB_TYPE_DOUBLE},       {"MWST", DB_TYPE_DOUBLE},
        {"MEM", DB_TYPE_MEMO},          {"ARTN", DB_TYPE_STRING, 50},
        {"EINH", DB_TYPE_STRING, 15},   {"GRUP", DB_TYPE_SHORTINT},
        {"CFAC", DB_TYPE_DOUBLE},       {"MATCH0", DB_TYPE_STRING, 50},
        {"MATCH1", DB_TYPE_STRING, 10}, {"MATCH2", DB_TYPE_STRING, 10},
        {"MATCH3", DB_TYPE_STRING, 10}, {"MATCH4", DB_TYPE_STRING, 10},
        {"LAART", DB_TYPE_LOGICAL},     {"BSTN", DB_TYPE_STRING, 50},
        {"SRNS", DB_TYPE_MEMO},         {"GEK", DB_TYPE_CURDOUBLE},
        {"MinEK", DB_TYPE_CURDOUBLE},   {"MaxEK", DB_TYPE_CURDOUBLE},
        {"GSTEK", DB_TYPE_CURDOUBLE},   {"GSTVK", DB_TYPE_DOUBLE},
        {"GVK", DB_TYPE_DOUBLE},        {"MinVK", DB_TYPE_DOUBLE},
        {"MaxVK", DB_TYPE_DOUBLE},      {"MiddVK", DB_TYPE_DOUBLE},
        {"DEZ", DB_TYPE_SHORTINT},      {"MiddEK", DB_TYPE_DOUBLE},
    };
    t.indexes = {
        {"ID", "ID", true},
        {"BZK", "BZK"},
        {"BZL", "BZL"},
        {"ARTN", "ARTN"},
        {"MATCH0", "MATCH0;MATCH1;MATCH2;MATCH3;MATCH4"},
        {"LAART", "LAART"},
        {"GRUP", "GRUP"},
        {"BSTN", "BSTN"},
    };
    return t;
}

Table makeBookings() {
    Table t;
    t.fileName = "Artikelsub.TBL";
    t.fields = {
        {"ID", DB_TYPE_AUTOINC},   {"ID_ART", DB_TYPE_INTEGER}, {"DATUM", DB_TYPE_DATE},
        {"MENGE", DB_TYPE_DOUBLE}, {"EPREIS", DB_TYPE_DOUBLE},  {"BELEG", DB_TYPE_STRING, 20},
        {"ART", DB_TYPE_SHORTINT},
    };
    t.indexes = {{"ID", "ID", true}, {"ID_ART", "ID_ART"}};
    return t;
}

Table makeSettings() {
    Table t;
    t.fileName = "setup.TBL";
    t.fields = {
        {"ID", DB_TYPE_AUTOINC},    {"Ident", DB_TYPE_INTEGER},
        {"MemoItem", DB_TYPE_MEMO}, {"stringItem", DB_TYPE_STRING, 100},
        {"logo", DB_TYPE_BINARY},
    };
    t.indexes = {{"IDENT", "Ident"}};
    return t;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

uint16_t Table::fieldNumber(std::string_view name) const {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name)
            return static_cast<uint16_t>(i + 1);
    }
    return 0;
}

const Table &articles() {
    static const Table t = makeArticles();
    return t;
}

const Table &bookings() {
    static const Table t = makeBookings();
    return t;
}

const Table &settings() {
    static const Table t = makeSettings();
    return t;
}

const std::vector<const Table *> &all() {
    static const std::vector<const Table *> tables = {&articles(), &bookings(), &settings()};
    return tables;
}

const Table *find(std::string_view fileName) {
    for (const Table *t : all()) {
        if (equalIgnoringCase(t->fileName, fileName))
            return t;
    }
    return nullptr;
}

std::string fieldList(const Table &table) {
    std::string out;
    for (const Field &f : table.fields) {
        if (!out.empty())
            out += ';';
        out += f.name + ',' + std::to_string(f.type) + ',' + std::to_string(f.length) + ',' +
               std::to_string(f.decimals);
    }
    return out;
}

DBRESULT createTable(DBHANDLE connection, const Table &table, DBHANDLE *handle) {
    // A bare file name: the engine puts it into the connection's folder.
    return DbCreateTable(connection, table.fileName.c_str(), fieldList(table).c_str(), handle);
}

DBRESULT createIndex(DBHANDLE handle, const Index &index) {
    DBHANDLE created = 0;
    return DbCreateIndex(handle, index.tag.c_str(), index.fields.c_str(),
                         index.unique ? DB_INDEX_UNIQUE : 0, &created);
}

DBRESULT createIndexes(DBHANDLE handle, const Table &table) {
    for (const Index &index : table.indexes) {
        const DBRESULT result = createIndex(handle, index);
        if (result != DBE_SUCCESS)
            return result;
    }
    return DBE_SUCCESS;
}

} // namespace HostSchema
