// Where a data set and its tables live on the remote server.
//
// The schema "dbe_catalog" holds the catalogue of data sets: one row per data set, keyed by its
// normalised data path ("\" and "/" alike, no trailing separator, upper case), naming the
// schema "dbe_set_<n>" that holds the data set. That schema holds, like the local server's
// table files, the definitions (dbe_tables, dbe_fields, dbe_tags) and one records table per
// table. docs/ENGINE.md describes the layout.
#pragma once

#include "../TableDef.h"
#include "PgSession.h"

#include <string>
#include <vector>

namespace dbeng {

struct DataSet {
    std::string path;       // as given at its creation, with "/"
    std::string schemaName; // "dbe_set_<n>"
    std::string schema;     // the same, quoted
};

// Whether the server's database reads Windows-1252 bytes as LATIN1 text, one character per
// byte (convert_from(b, 'LATIN1')): then dbe_catalog.upper1252 maps a value in one translate().
bool readsLatin1Text(const std::string &serverEncoding);

// A condition every value of the column passes whose dbe_catalog.upper1252 equals upperText
// (with prefix: begins with it), and that costs little more than the server's own upper(): the
// ASCII characters compared through LIKE on the value read as LATIN1 text with the ASCII
// letters in upper case, every byte beyond ASCII matched by "_". A filter puts it in front of
// the exact comparison, which then runs for the few values that pass. Appends its one bind;
// empty (and no bind) when it does not apply.
std::string upperCandidate(const std::string &serverEncoding, const std::string &column,
                           const std::string &upperText, bool prefix, std::vector<PgValue> &binds);

// The catalogue key of a data path.
std::string dataSetKey(const std::string &path);

// Finds the data set of path; with create, makes it when there is none. Throws
// DBE_FILE_NOT_FOUND when the path names no data set.
DataSet findDataSet(PgSession &session, const std::string &path, bool create);

// A table's definitions as the remote server keeps them.
struct RemoteTableDef {
    TableDef def;
    std::string relation;                // schema-qualified, quoted
    unsigned oid = 0;                    // of the records table: the key of its locks
    std::vector<std::string> columns;    // quoted, per field
    std::vector<std::string> ciColumns;  // quoted, per field; empty unless a ci-string
    std::vector<std::string> sequences;  // qualified, per field; empty unless autoincrement
    std::vector<std::string> tagIndexes; // per tag: the order index
    int tableNo = 0;
};

// The name of a table inside its data set: a name with the data set's path in front loses it.
std::string tableNameInSet(const DataSet &set, const std::string &name);

// Throws DBE_FILE_NOT_FOUND when there is no such table.
RemoteTableDef openRemoteTable(PgSession &session, const DataSet &set, const std::string &name);
// Throws DBE_TABLE_EXISTS when there is one of that name (in any letter case).
RemoteTableDef createRemoteTable(PgSession &session, const DataSet &set, const std::string &name,
                                 const std::vector<FieldDef> &fields);
// Adds a tag to a table (its indexes and its catalogue row) in one transaction.
void createRemoteIndex(PgSession &session, const DataSet &set, RemoteTableDef &table,
                       const std::string &tag, const std::vector<int> &fields, bool unique);
// The tag whose unique index the server named in a duplicate key failure ("" when none).
std::string uniqueTagOf(const RemoteTableDef &table, const std::string &constraint);
// The failure of a write whose key the unique tag already has; record names the refused record
// when it is not the write's own (0: it is).
DbException duplicateKeyError(const std::string &path, const std::string &tag, uint32_t record = 0);

// The ORDER BY list of a tag's key, ascending: the segments with nulls first, then the record
// number; the server's order index is built on exactly this list.
std::string orderList(const RemoteTableDef &table, const IndexDef &tag, bool descending);

} // namespace dbeng
