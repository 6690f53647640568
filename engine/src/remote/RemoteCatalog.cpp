#include "RemoteCatalog.h"

#include "../Text1252.h"
#include "DataPath.h"
#include "dbeng.h"

#include <cctype>
#include <cstdlib>

namespace dbeng {

namespace {

constexpr int kCatalogFormat = 1;
// The transaction lock that keeps two creators of the catalogue or of one data set apart.
constexpr int64_t kCatalogLockKey = 0x44424531; // "DBE1"

const char *const kCatalog = "dbe_catalog";

std::string hexByte(unsigned c) {
    static const char *digits = "0123456789abcdef";
    return std::string{digits[c >> 4], digits[c & 15]};
}

// Characters of LATIN1 as a string constant of the server: E'\u00e4...'.
std::string latin1Constant(const std::string &bytes) {
    static const char *digits = "0123456789abcdef";
    std::string out = "E'";
    for (char ch : bytes) {
        const unsigned c = static_cast<unsigned char>(ch);
        out += std::string("\\u00") + digits[c >> 4] + digits[c & 15];
    }
    return out + "'";
}

// Upper case of Windows-1252 bytes on the server, for the filters that compare without regard
// to case, built from the engine's own rule (upper1252).
//
// dbe_catalog.upper1252 reads the bytes as LATIN1 text, where each byte is the one character of
// that code, and maps all of them in one translate() with the pairs of the rule; converted back
// to LATIN1 they are the bytes again. A value with a NUL byte, which no text can hold, and every
// value on a database that cannot read LATIN1 text go through dbe_catalog.upper1252_bytes,
// which looks each byte up in the table of all 256 one by one. The function is an expression the
// planner puts into the query, so no call per row remains.
struct UpperFunction {
    std::string body;   // the source of dbe_catalog.upper1252, as the server keeps it
    std::string create; // the statements that make both functions
};

UpperFunction upperFunction(const std::string &serverEncoding) {
    std::string table, from, to;
    for (unsigned c = 0; c < 256; ++c) {
        const unsigned char u = upper1252(static_cast<unsigned char>(c));
        table += hexByte(u);
        if (u != c) {
            from += static_cast<char>(c);
            to += static_cast<char>(u);
        }
    }
    const std::string bytewise =
        " SELECT coalesce(string_agg(substring('\\x" + table +
        "'::bytea FROM get_byte(b, i) + 1 FOR 1), ''::bytea ORDER BY i), ''::bytea) "
        "FROM generate_series(0, length(b) - 1) AS i ";
    UpperFunction f;
    if (readsLatin1Text(serverEncoding))
        f.body = " SELECT CASE WHEN position('\\x00'::bytea IN b) > 0 "
                 "THEN dbe_catalog.upper1252_bytes(b) "
                 "ELSE convert_to(translate(convert_from(b, 'LATIN1'), " +
                 latin1Constant(from) + ", " + latin1Constant(to) + "), 'LATIN1') END ";
    else
        f.body = " SELECT dbe_catalog.upper1252_bytes(b) ";
    f.create = "CREATE OR REPLACE FUNCTION dbe_catalog.upper1252_bytes(b bytea) RETURNS bytea "
               "LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $f$" +
               bytewise +
               "$f$; "
               // STABLE as convert_from(), which depends on the database's encoding: an
               // IMMUTABLE function around it would not be put into the query.
               "CREATE OR REPLACE FUNCTION dbe_catalog.upper1252(b bytea) RETURNS bytea "
               "LANGUAGE sql STABLE PARALLEL SAFE AS $f$" +
               f.body + "$f$";
    return f;
}

std::string upperUtf8(const std::string &text) {
    return cp1252ToUtf8(upper1252(utf8ToCp1252(text)));
}

// A records table's name: its number and, for people reading the server, its name in plain
// letters.
std::string relationName(int tableNo, const std::string &name) {
    std::string plain;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        plain += std::isalnum(u) && u < 0x80 ? static_cast<char>(std::tolower(u)) : '_';
        if (plain.size() >= 40)
            break;
    }
    return "t" + std::to_string(tableNo) + "_" + plain;
}

std::string columnName(const FieldDef &f, size_t fieldNo) {
    return f.name.size() <= 63 ? f.name : "dbe_f" + std::to_string(fieldNo);
}

std::string ciColumnName(const FieldDef &f, size_t fieldNo) {
    return f.name.size() <= 56 ? "dbe_ci_" + f.name : "dbe_ci_" + std::to_string(fieldNo);
}

[[noreturn]] void damaged(const std::string &path, const std::string &why) {
    throw DbException(DBE_TABLE_DAMAGED,
                      "Die Tabelle " + quoteFile(path) + " ist beschädigt: " + why);
}

// Runs body in a transaction of its own; rolls back when it throws. Inside the caller's
// transaction it runs in a savepoint: a failure undoes only what body did, and the caller's
// rollback undoes it all (tables made together come into being together or not at all).
template <typename F>
void inTransaction(PgSession &session, const std::string &place, const char *what, F &&body) {
    if (session.inTransaction()) {
        session.requireUnfailed();
        session.command("SAVEPOINT dbe_define", place, what);
        try {
            body();
        } catch (...) {
            session.undoToSavepoint("dbe_define");
            throw;
        }
        session.command("RELEASE SAVEPOINT dbe_define", place, what);
        return;
    }
    session.begin(place, what);
    try {
        body();
        session.commit(place, what);
    } catch (...) {
        session.rollback();
        throw;
    }
}

// A catalogue made by an earlier version keeps the function it was made with, which gives the
// same answers more slowly; the first connect that finds it so replaces it. A role that may not
// replace it works on with the old one.
void refreshUpperFunction(PgSession &session, const std::string &given) {
    if (session.inTransaction())
        return;
    const UpperFunction f = upperFunction(session.serverEncoding());
    const char *what = "Erneuern der Funktion upper1252";
    PgResult current =
        session.query("SELECT coalesce((SELECT prosrc FROM pg_proc "
                      "WHERE oid = to_regprocedure('dbe_catalog.upper1252(bytea)')), '') = $1",
                      {PgValue::text(f.body)}, given, what);
    if (current.boolean(0, 0))
        return;
    try {
        inTransaction(session, given, what, [&] {
            session.query("SELECT pg_advisory_xact_lock($1)", {PgValue::int8(kCatalogLockKey)},
                          given, what);
            session.command(f.create, given, what);
        });
    } catch (const DbException &) {
        // Not the owner of the catalogue: the old function stays in use.
    }
}

std::string tablePath(const DataSet &set, const std::string &name) {
    return set.path + "/" + name;
}

} // namespace

bool readsLatin1Text(const std::string &serverEncoding) {
    // SQL_ASCII would take the bytes as they are, but a string constant beyond ASCII not.
    return serverEncoding == "UTF8" || serverEncoding == "LATIN1";
}

std::string upperCandidate(const std::string &serverEncoding, const std::string &column,
                           const std::string &upperText, bool prefix, std::vector<PgValue> &binds) {
    if (!readsLatin1Text(serverEncoding) || upperText.empty())
        return {};
    std::string pattern;
    for (char ch : upperText) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80) {
            pattern += '_';
        } else {
            if (c == '%' || c == '_' || c == '\\')
                pattern += '\\';
            pattern += ch;
        }
    }
    if (prefix)
        pattern += '%';
    binds.push_back(PgValue::text(pattern));
    return "(position('\\x00'::bytea IN " + column + ") > 0 OR upper(convert_from(" + column +
           ", 'LATIN1') COLLATE \"C\") LIKE ?)";
}

std::string dataSetKey(const std::string &path) {
    return upperUtf8(datapath::normalize(path));
}

DataSet findDataSet(PgSession &session, const std::string &path, bool create) {
    const std::string given = datapath::normalize(path);
    const std::string key = dataSetKey(path);
    const char *what = "Suchen des Datenbestands";
    auto lookup = [&](DataSet &out) {
        PgResult have = session.query("SELECT to_regclass('dbe_catalog.datasets') IS NOT NULL", {},
                                      given, what);
        if (!have.boolean(0, 0))
            return false;
        PgResult r = session.query("SELECT schema_name, path, format FROM dbe_catalog.datasets "
                                   "WHERE path_key = $1",
                                   {PgValue::text(key)}, given, what);
        if (r.rows() == 0)
            return false;
        if (r.integer(0, 2) > kCatalogFormat)
            throw DbException(DBE_NOT_A_TABLE, "Der Datenbestand " + quoteFile(given) +
                                                   " hat das Format " +
                                                   std::to_string(r.integer(0, 2)) +
                                                   "; unterstützt wird bis Format " +
                                                   std::to_string(kCatalogFormat) + ".");
        out.schemaName = r.bytes(0, 0);
        out.path = r.bytes(0, 1);
        out.schema = quoteIdentifier(out.schemaName);
        return true;
    };
    DataSet set;
    if (lookup(set)) {
        refreshUpperFunction(session, given);
        return set;
    }
    if (!create)
        throw DbException(DBE_FILE_NOT_FOUND, "Den Datenbestand " + quoteFile(given) +
                                                  " gibt es auf dem Datenbankserver (" +
                                                  session.serverText() + ") nicht.");
    inTransaction(session, given, "Anlegen des Datenbestands", [&] {
        const char *w = "Anlegen des Datenbestands";
        session.query("SELECT pg_advisory_xact_lock($1)", {PgValue::int8(kCatalogLockKey)}, given,
                      w);
        session.command("CREATE SCHEMA IF NOT EXISTS dbe_catalog; "
                        "CREATE TABLE IF NOT EXISTS dbe_catalog.datasets ("
                        "path_key text PRIMARY KEY, path text NOT NULL, "
                        "schema_name text NOT NULL UNIQUE, format integer NOT NULL, "
                        "created timestamptz NOT NULL DEFAULT now()); "
                        "CREATE SEQUENCE IF NOT EXISTS dbe_catalog.dataset_numbers",
                        given, w);
        session.command(upperFunction(session.serverEncoding()).create, given, w);
        if (lookup(set))
            return;
        PgResult n = session.query("SELECT nextval('dbe_catalog.dataset_numbers')", {}, given, w);
        set.schemaName = "dbe_set_" + std::to_string(n.integer(0, 0));
        set.schema = quoteIdentifier(set.schemaName);
        set.path = given;
        const std::string &s = set.schema;
        session.command("CREATE SCHEMA " + s + "; CREATE TABLE " + s +
                            ".dbe_tables (tableno integer PRIMARY KEY, name text NOT NULL, "
                            "name_key text NOT NULL UNIQUE, relation text NOT NULL); "
                            "CREATE TABLE " +
                            s +
                            ".dbe_fields (tableno integer NOT NULL, fieldno integer NOT NULL, "
                            "name text NOT NULL, type integer NOT NULL, length integer NOT NULL, "
                            "decimals integer NOT NULL, column_name text NOT NULL, ci_column "
                            "text, sequence text, PRIMARY KEY (tableno, fieldno)); "
                            "CREATE TABLE " +
                            s +
                            ".dbe_tags (tableno integer NOT NULL, tagno integer NOT NULL, "
                            "name text NOT NULL, fields text NOT NULL, is_unique boolean NOT "
                            "NULL, order_index text NOT NULL, unique_index text, "
                            "PRIMARY KEY (tableno, tagno)); "
                            "CREATE SEQUENCE " +
                            s + ".dbe_table_numbers",
                        given, w);
        session.query("INSERT INTO dbe_catalog.datasets (path_key, path, schema_name, format) "
                      "VALUES ($1, $2, $3, $4)",
                      {PgValue::text(key), PgValue::text(given), PgValue::text(set.schemaName),
                       PgValue::int4(kCatalogFormat)},
                      given, w);
    });
    return set;
}

std::string tableNameInSet(const DataSet &set, const std::string &name) {
    std::string n = datapath::normalize(name);
    const std::string prefix = upperUtf8(set.path) + "/";
    if (upperUtf8(n).rfind(prefix, 0) == 0)
        n = n.substr(prefix.size());
    while (n.rfind("./", 0) == 0)
        n = n.substr(2);
    if (n.empty())
        throw DbException(DBE_INVALID_ARGUMENT, "Es wurde kein Tabellenname angegeben.");
    return n;
}

RemoteTableDef openRemoteTable(PgSession &session, const DataSet &set, const std::string &given) {
    const std::string name = tableNameInSet(set, given);
    const char *what = "Öffnen der Tabelle";
    PgResult t =
        session.query("SELECT tableno, name, relation, to_regclass(quote_ident($2) || '.' || "
                      "quote_ident(relation))::oid FROM " +
                          set.schema + ".dbe_tables WHERE name_key = $1",
                      {PgValue::text(upperUtf8(name)), PgValue::text(set.schemaName)},
                      tablePath(set, name), what);
    if (t.rows() == 0)
        throw DbException(DBE_FILE_NOT_FOUND, "Die Tabelle " + quoteFile(tablePath(set, name)) +
                                                  " gibt es im Datenbestand nicht.");
    RemoteTableDef out;
    out.tableNo = static_cast<int>(t.integer(0, 0));
    out.def.path = tablePath(set, t.bytes(0, 1));
    const std::string &path = out.def.path;
    if (t.isNull(0, 3))
        damaged(path, "die Datensatztabelle fehlt.");
    out.relation = set.schema + "." + quoteIdentifier(t.bytes(0, 2));
    out.oid = static_cast<uint32_t>(t.integer(0, 3));

    PgResult f = session.query("SELECT fieldno, name, type, length, decimals, column_name, "
                               "ci_column, sequence FROM " +
                                   set.schema + ".dbe_fields WHERE tableno = $1 ORDER BY fieldno",
                               {PgValue::int4(out.tableNo)}, path, what);
    for (int r = 0; r < f.rows(); ++r) {
        FieldDef fd;
        fd.name = f.bytes(r, 1);
        int64_t type = f.integer(r, 2), length = f.integer(r, 3), dec = f.integer(r, 4);
        if (f.integer(r, 0) != r + 1)
            damaged(path, "die Feldnummern sind nicht fortlaufend.");
        if (type < 0 || type > 65535 || !isKnownType(static_cast<uint16_t>(type)))
            damaged(path, "das Feld \"" + fd.name + "\" hat den unbekannten Typ " +
                              std::to_string(type) + ".");
        fd.type = static_cast<uint16_t>(type);
        if (needsLength(fd.type) && (length < 1 || length > 65000))
            damaged(path, "das Feld \"" + fd.name + "\" hat eine ungültige Länge.");
        fd.length = needsLength(fd.type) ? static_cast<uint32_t>(length) : imageSize(fd.type, 0);
        fd.decimals = static_cast<uint16_t>(dec < 0 || dec > 64 ? 0 : dec);
        out.def.fields.push_back(fd);
        out.columns.push_back(quoteIdentifier(f.bytes(r, 5)));
        out.ciColumns.push_back(f.isNull(r, 6) ? "" : quoteIdentifier(f.bytes(r, 6)));
        out.sequences.push_back(f.isNull(r, 7) ? ""
                                               : set.schema + "." + quoteIdentifier(f.bytes(r, 7)));
        if (fd.type == DB_TYPE_CISTRING && out.ciColumns.back().empty())
            damaged(path, "zum Feld \"" + fd.name + "\" fehlt die Schlüsselspalte.");
        if (fd.type == DB_TYPE_AUTOINC && out.sequences.back().empty())
            damaged(path, "zum Feld \"" + fd.name + "\" fehlt der Zähler.");
    }
    if (out.def.fields.empty())
        damaged(path, "die Tabelle hat keine Felder.");

    PgResult g = session.query("SELECT name, fields, is_unique, order_index FROM " + set.schema +
                                   ".dbe_tags WHERE tableno = $1 ORDER BY tagno",
                               {PgValue::int4(out.tableNo)}, path, what);
    for (int r = 0; r < g.rows(); ++r) {
        IndexDef ix;
        ix.name = g.bytes(r, 0);
        ix.unique = g.boolean(r, 2);
        const std::string fields = g.bytes(r, 1);
        size_t start = 0;
        while (start <= fields.size()) {
            size_t end = fields.find(';', start);
            if (end == std::string::npos)
                end = fields.size();
            int fi = out.def.fieldIndex(fields.substr(start, end - start));
            if (fi < 0)
                damaged(path, "der Index \"" + ix.name + "\" nennt ein unbekanntes Feld.");
            ix.fields.push_back(fi);
            start = end + 1;
        }
        out.def.indexes.push_back(ix);
        out.tagIndexes.push_back(g.bytes(r, 3));
    }
    out.def.layout();
    return out;
}

RemoteTableDef createRemoteTable(PgSession &session, const DataSet &set, const std::string &given,
                                 const std::vector<FieldDef> &fields) {
    const std::string name = tableNameInSet(set, given);
    const std::string path = tablePath(set, name);
    inTransaction(session, path, "Anlegen der Tabelle", [&] {
        const char *w = "Anlegen der Tabelle";
        // One creator at a time in a data set: the name check and the creation go together.
        session.command("LOCK TABLE " + set.schema + ".dbe_tables IN SHARE ROW EXCLUSIVE MODE",
                        path, w);
        PgResult have =
            session.query("SELECT 1 FROM " + set.schema + ".dbe_tables WHERE name_key = $1",
                          {PgValue::text(upperUtf8(name))}, path, w);
        if (have.rows() > 0)
            throw DbException(DBE_TABLE_EXISTS,
                              "Die Tabelle " + quoteFile(path) + " gibt es im Datenbestand schon.");
        PgResult n =
            session.query("SELECT nextval('" + set.schema + ".dbe_table_numbers')", {}, path, w);
        const int tableNo = static_cast<int>(n.integer(0, 0));
        const std::string relation = relationName(tableNo, name);
        const std::string qualified = set.schema + "." + quoteIdentifier(relation);
        // Record numbers come from an identity sequence: never handed out twice.
        std::string ddl = "CREATE TABLE " + qualified +
                          " (dbe_recno integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
        std::string sequences;
        for (size_t i = 0; i < fields.size(); ++i) {
            const FieldDef &f = fields[i];
            ddl += ", " + quoteIdentifier(columnName(f, i + 1)) + " " + pgColumnType(f.type);
            if (f.type == DB_TYPE_DOUBLE || f.type == DB_TYPE_CURDOUBLE)
                ddl += " NOT NULL DEFAULT 0";
            if (f.type == DB_TYPE_CISTRING)
                ddl += ", " + quoteIdentifier(ciColumnName(f, i + 1)) + " bytea";
            if (f.type == DB_TYPE_AUTOINC)
                sequences += "; CREATE SEQUENCE " + set.schema + "." +
                             quoteIdentifier(relation + "_" + std::to_string(i + 1)) +
                             " AS integer";
        }
        session.command(ddl + ")" + sequences, path, w);
        session.query("INSERT INTO " + set.schema +
                          ".dbe_tables (tableno, name, name_key, relation) VALUES ($1, $2, $3, $4)",
                      {PgValue::int4(tableNo), PgValue::text(name), PgValue::text(upperUtf8(name)),
                       PgValue::text(relation)},
                      path, w);
        for (size_t i = 0; i < fields.size(); ++i) {
            const FieldDef &f = fields[i];
            PgValue ci = f.type == DB_TYPE_CISTRING ? PgValue::text(ciColumnName(f, i + 1))
                                                    : PgValue::null(PgValue::Text);
            PgValue seq = f.type == DB_TYPE_AUTOINC
                              ? PgValue::text(relation + "_" + std::to_string(i + 1))
                              : PgValue::null(PgValue::Text);
            session.query("INSERT INTO " + set.schema +
                              ".dbe_fields (tableno, fieldno, name, type, length, decimals, "
                              "column_name, ci_column, sequence) "
                              "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)",
                          {PgValue::int4(tableNo), PgValue::int4(static_cast<int64_t>(i + 1)),
                           PgValue::text(f.name), PgValue::int4(f.type), PgValue::int4(f.length),
                           PgValue::int4(f.decimals), PgValue::text(columnName(f, i + 1)), ci, seq},
                          path, w);
        }
    });
    return openRemoteTable(session, set, name);
}

std::string orderList(const RemoteTableDef &table, const IndexDef &tag, bool descending) {
    std::string out;
    for (int f : tag.fields) {
        const FieldDef &fd = table.def.fields[f];
        out += (fd.type == DB_TYPE_CISTRING ? table.ciColumns[f] : table.columns[f]) +
               (descending ? " DESC NULLS LAST, " : " NULLS FIRST, ");
    }
    return out + (descending ? "dbe_recno DESC" : "dbe_recno");
}

std::string uniqueTagOf(const RemoteTableDef &table, const std::string &constraint) {
    const std::string prefix = "t" + std::to_string(table.tableNo) + "_uniq";
    if (constraint.rfind(prefix, 0) == 0) {
        const size_t tagNo = std::strtoul(constraint.c_str() + prefix.size(), nullptr, 10);
        // Tags are numbered in their order of creation, as the definitions list them.
        if (tagNo >= 1 && tagNo <= table.def.indexes.size())
            return table.def.indexes[tagNo - 1].name;
    }
    return std::string();
}

DbException duplicateKeyError(const std::string &path, const std::string &tag, uint32_t record) {
    const std::string which = record ? "Der Datensatz " + std::to_string(record) : "Der Datensatz";
    return DbException(DBE_DUPLICATE_KEY,
                       which + " kann in der Tabelle " + quoteFile(path) +
                           " nicht gespeichert werden: sein Schlüssel ist im eindeutigen Index \"" +
                           tag + "\" schon vorhanden.",
                       record);
}

void createRemoteIndex(PgSession &session, const DataSet &set, RemoteTableDef &table,
                       const std::string &tag, const std::vector<int> &fields, bool unique) {
    const std::string &path = table.def.path;
    IndexDef ix;
    ix.name = tag;
    ix.fields = fields;
    ix.unique = unique;
    std::string names, plain;
    for (int f : fields) {
        const FieldDef &fd = table.def.fields[f];
        names += (names.empty() ? "" : ";") + fd.name;
        plain += std::string(plain.empty() ? "" : ", ") +
                 (fd.type == DB_TYPE_CISTRING ? table.ciColumns[f] : table.columns[f]);
    }
    std::string orderIndex;
    inTransaction(session, path, "Anlegen eines Index", [&] {
        const char *w = "Anlegen eines Index";
        session.command("LOCK TABLE " + table.relation + " IN SHARE ROW EXCLUSIVE MODE", path, w);
        PgResult have =
            session.query("SELECT 1 FROM " + set.schema +
                              ".dbe_tags WHERE tableno = $1 AND upper(name) = upper($2)",
                          {PgValue::int4(table.tableNo), PgValue::text(tag)}, path, w);
        if (have.rows() > 0)
            throw DbException(DBE_INDEX_EXISTS, "Die Tabelle " + quoteFile(path) +
                                                    " hat schon einen Index \"" + tag + "\".");
        PgResult n = session.query("SELECT coalesce(max(tagno), 0) + 1 FROM " + set.schema +
                                       ".dbe_tags WHERE tableno = $1",
                                   {PgValue::int4(table.tableNo)}, path, w);
        const std::string tagNo = std::to_string(n.integer(0, 0));
        const std::string base = "t" + std::to_string(table.tableNo) + "_";
        orderIndex = base + "tag" + tagNo;
        std::string uniqueIndex;
        if (unique) {
            // Several empty keys are not equal, as on the local server: nulls are distinct.
            uniqueIndex = base + "uniq" + tagNo;
            try {
                session.command("CREATE UNIQUE INDEX " + quoteIdentifier(uniqueIndex) + " ON " +
                                    table.relation + " (" + plain + ")",
                                path, w);
            } catch (const PgError &e) {
                if (e.sqlState() != "23505")
                    throw;
                throw DbException(DBE_DUPLICATE_KEY,
                                  "Der eindeutige Index \"" + tag + "\" kann in der Tabelle " +
                                      quoteFile(path) +
                                      " nicht angelegt werden: Schlüssel kommen mehrfach vor.");
            }
        }
        session.command("CREATE INDEX " + quoteIdentifier(orderIndex) + " ON " + table.relation +
                            " (" + orderList(table, ix, false) + ")",
                        path, w);
        session.query("INSERT INTO " + set.schema +
                          ".dbe_tags (tableno, tagno, name, fields, is_unique, order_index, "
                          "unique_index) VALUES ($1, $2, $3, $4, $5, $6, $7)",
                      {PgValue::int4(table.tableNo), PgValue::int4(n.integer(0, 0)),
                       PgValue::text(tag), PgValue::text(names), PgValue::boolean(unique),
                       PgValue::text(orderIndex),
                       unique ? PgValue::text(uniqueIndex) : PgValue::null(PgValue::Text)},
                      path, w);
    });
    table.def.indexes.push_back(ix);
    table.tagIndexes.push_back(orderIndex);
}

} // namespace dbeng
