#include "TableFile.h"

#include "../DbException.h"
#include "StoredValue.h"
#include "dbeng.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace dbeng {

std::string fieldColumn(const FieldDef &f) {
    return quoteIdentifier(f.name);
}
std::string ciColumn(const FieldDef &f) {
    return quoteIdentifier("dbe_ci_" + f.name);
}
std::string sqlIndexName(const std::string &tag) {
    return quoteIdentifier("dbe_tag_" + tag);
}

namespace {

[[noreturn]] void damaged(const std::string &path, const std::string &why) {
    throw DbException(DBE_TABLE_DAMAGED,
                      "Die Tabellendatei " + quoteFile(path) + " ist beschädigt: " + why);
}

void applySettings(SqliteDb &db) {
    sqlite3_busy_timeout(db.get(), 15000);
    if (sqlite3_db_readonly(db.get(), "main") == 1) {
        // Nothing is written; the journal mode stays as the file has it.
        db.exec("PRAGMA mmap_size=0; PRAGMA cache_size=-196608", "Einstellen der Verbindung");
        return;
    }
    // Durable commits. The pages read are kept in SQLite's own page cache, not in a memory map
    // of the file: the kernel maps up to 64 KB around every page a mapped read touches, so the
    // scattered row reads of one check made most of the article and bookings files resident in
    // the process. The cache holds at most 4 MB per table handle, whatever the size of the
    // file: the work on a table walks its indexes (each page read once, in order) and reads
    // single rows and index entries, for which the inner pages of the trees (a few hundred KB
    // for a million records) stay cached and a leaf is one read from the system's file cache.
    // A bigger cache only kept what the work does not read again.
    db.exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA mmap_size=0; "
            "PRAGMA cache_size=-4096; PRAGMA foreign_keys=OFF",
            "Einstellen der Verbindung");
}

bool fileHasContent(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

// A file URI for SQLite: characters with a meaning in URIs are escaped.
std::string fileUri(const std::string &path) {
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 0x21 || c >= 0x7F) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", c);
            uri += code;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri;
}

} // namespace

void createTableFile(const std::string &path, const std::vector<FieldDef> &fields) {
    static std::atomic<unsigned> counter{0};
    std::string tmp = path + ".new-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    std::string sql = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                      "; PRAGMA user_version=" + std::to_string(kFormatVersion) +
                      "; PRAGMA journal_mode=WAL; BEGIN;"
                      "CREATE TABLE dbe_meta(key TEXT PRIMARY KEY, value) WITHOUT ROWID;"
                      "CREATE TABLE dbe_fields(fieldno INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                      "type INTEGER NOT NULL, length INTEGER NOT NULL, decimals INTEGER NOT NULL);"
                      "CREATE TABLE dbe_tags(tagno INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                      "fields TEXT NOT NULL, is_unique INTEGER NOT NULL, sql_index TEXT NOT NULL);"
                      "INSERT INTO dbe_meta VALUES('format', " +
                      std::to_string(kFormatVersion) + ");";
    std::string cols = "dbe_recno INTEGER PRIMARY KEY AUTOINCREMENT";
    for (size_t i = 0; i < fields.size(); ++i) {
        const FieldDef &f = fields[i];
        cols += ", " + fieldColumn(f) + " " + columnType(f.type);
        if (f.type == DB_TYPE_CISTRING)
            cols += ", " + ciColumn(f) + " BLOB";
        sql += "INSERT INTO dbe_fields VALUES(" + std::to_string(i + 1) + ", '" + f.name + "', " +
               std::to_string(f.type) + ", " + std::to_string(f.length) + ", " +
               std::to_string(f.decimals) + ");";
    }
    sql += "CREATE TABLE dbe_records(" + cols + "); COMMIT;";
    {
        SqliteDb db;
        int rc = db.open(tmp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (rc != SQLITE_OK) {
            std::string msg = db.get() ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc);
            db.close();
            unlink(tmp.c_str());
            throw DbException(DBE_IO_ERROR, "Die Tabellendatei " + quoteFile(path) +
                                                " kann nicht angelegt werden: " + msg + ".");
        }
        try {
            db.exec(sql, "Anlegen der Tabelle");
        } catch (...) {
            db.close();
            unlink(tmp.c_str());
            throw;
        }
    }
    // link() refuses an existing name: two processes creating the same table cannot both win.
    if (link(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        unlink(tmp.c_str());
        if (err == EEXIST)
            throw DbException(DBE_TABLE_EXISTS,
                              "Die Tabellendatei " + quoteFile(path) + " existiert bereits.");
        throw DbException(DBE_IO_ERROR, "Die Tabellendatei " + quoteFile(path) +
                                            " kann nicht angelegt werden: " + std::strerror(err) +
                                            ".");
    }
    unlink(tmp.c_str());
}

namespace {

// The steps of opening a table file. Each refuses the file before anything is written to it;
// openTableFile closes the database when a step throws.

// SQLite would take an empty or short file for a new database and write its header into it;
// a folder or a device is no table at all.
void requireTableFile(const std::string &path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        throw DbException(DBE_FILE_NOT_FOUND,
                          "Die Tabellendatei " + quoteFile(path) + " wurde nicht gefunden.");
    if (!S_ISREG(st.st_mode) || st.st_size < 512)
        throw DbException(DBE_NOT_A_TABLE,
                          "Die Datei " + quoteFile(path) + " ist keine Tabellendatei.");
}

// Read-write where the file allows it, read-only otherwise (the table then refuses changes
// naming what is write-protected).
void openDatabase(SqliteDb &db, const std::string &path) {
    int rc = db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    if (rc != SQLITE_OK)
        rc = db.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    if (rc != SQLITE_OK)
        throw DbException(DBE_IO_ERROR,
                          "Die Tabellendatei " + quoteFile(path) + " kann nicht geöffnet werden: " +
                              (db.get() ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc)) + ".");
    // Closing a connection copies the pages of the "-wal" file beside the table into it. That
    // file may not belong to the table (one left beside it from another database): until the
    // table has been recognised, a close must leave the table file alone.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

using FileHeader = std::array<unsigned char, 100>;

// SQLite's 100-byte file header, read through SQLite's own file handle: a second descriptor on
// the file would drop SQLite's locks when closed. No statement has run yet, so nothing has
// been written (no journal rolled back) if this is not one of our files.
FileHeader readHeader(SqliteDb &db, const std::string &path) {
    FileHeader header{};
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(db.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods ||
        file->pMethods->xRead(file, header.data(), int(header.size()), 0) != SQLITE_OK)
        throw DbException(DBE_NOT_A_TABLE,
                          "Die Datei " + quoteFile(path) + " ist keine Tabellendatei.");
    return header;
}

// Our files carry our application id and a format version this engine reads; a newer format
// is refused rather than half understood.
void checkHeader(const FileHeader &header, const std::string &path) {
    auto be32 = [&](int off) {
        return static_cast<uint32_t>(header[off]) << 24 |
               static_cast<uint32_t>(header[off + 1]) << 16 |
               static_cast<uint32_t>(header[off + 2]) << 8 | header[off + 3];
    };
    if (std::memcmp(header.data(), "SQLite format 3", 16) != 0 || be32(68) != kApplicationId)
        throw DbException(DBE_NOT_A_TABLE, "Die Datei " + quoteFile(path) +
                                               " ist keine Tabellendatei dieser Datenbank.");
    uint32_t version = be32(60);
    if (version < 1 || version > static_cast<uint32_t>(kFormatVersion))
        throw DbException(DBE_NOT_A_TABLE, "Die Tabellendatei " + quoteFile(path) +
                                               " hat das Format " + std::to_string(version) +
                                               "; unterstützt wird bis Format " +
                                               std::to_string(kFormatVersion) + ".");
}

// A table that may only be read: SQLite reads a file in WAL mode through its "-shm" index,
// which it cannot make in a write-protected folder. With no "-wal" file beside it, everything
// is in the file itself and it is read without the index ("immutable"); with one, it cannot
// be read correctly and is refused.
void openReadableWithoutWriting(SqliteDb &db, const std::string &path) {
    if (sqlite3_db_readonly(db.get(), "main") != 1)
        return;
    int rc =
        sqlite3_exec(db.get(), "SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr);
    if ((rc & 0xFF) != SQLITE_READONLY && (rc & 0xFF) != SQLITE_CANTOPEN)
        return; // readable, or a failure the checks that follow report
    if (!fileHasContent(path + "-wal")) {
        db.close();
        rc = db.open(fileUri(path) + "?immutable=1",
                     SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(db.get(), 15000);
            return;
        }
    }
    throw DbException(DBE_IO_ERROR,
                      "Die Tabelle " + quoteFile(path) +
                          " kann nicht gelesen werden: ihr Ordner ist schreibgeschützt, und "
                          "neben ihr liegt die Datei " +
                          quoteFile(path + "-wal") +
                          " mit Änderungen, die noch nicht in der Tabelle stehen.");
}

// The same marks again as SQLite reads them: through the "-wal" file when there is one. A log
// of another database puts its own first page there, and its pages would be read as the
// table's (and copied into it on closing).
void checkMarksAsRead(SqliteDb &db, const std::string &path) {
    sqlite3_stmt *stmt = nullptr;
    int64_t application = -1, format = -1;
    int rc = sqlite3_prepare_v2(
        db.get(), "SELECT * FROM pragma_application_id, pragma_user_version", -1, &stmt, nullptr);
    if (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        application = sqlite3_column_int64(stmt, 0);
        format = sqlite3_column_int64(stmt, 1);
    }
    std::string msg = sqlite3_errmsg(db.get());
    sqlite3_finalize(stmt);
    if (application < 0) {
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            db.fail("Lesen der Kennung", rc);
        damaged(path, "die Kennung ist unlesbar (" + msg + ").");
    }
    if (application != static_cast<int64_t>(kApplicationId) || format < 1 ||
        format > kFormatVersion)
        throw DbException(DBE_NOT_A_TABLE,
                          "Die Datei " + quoteFile(path + "-wal") +
                              " neben der Tabellendatei gehört zu einer anderen Datenbank; die "
                              "Tabelle wird nicht geöffnet und bleibt unverändert.");
}

// Reads the definitions of a recognised file. A statement that cannot run means damaged
// definitions, except when another process holds the file (busy), which is a storage error
// the caller may retry. Inconsistencies are collected as the first problem found, so that
// the message names it; the file is refused once all definitions are read.
class DefinitionReader {
public:
    DefinitionReader(SqliteDb &db, const std::string &path) : db_(db), path_(path) {}

    template <typename Row>
    void query(const char *sql, Row &&row) {
        sqlite3_stmt *stmt = nullptr;
        int rc = sqlite3_prepare_v2(db_.get(), sql, -1, &stmt, nullptr);
        if (rc != SQLITE_OK)
            damaged(path_, std::string("die Definitionen fehlen oder sind unlesbar (") +
                               sqlite3_errmsg(db_.get()) + ").");
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            row(stmt);
        std::string msg = sqlite3_errmsg(db_.get());
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                db_.fail("Lesen der Definitionen", rc);
            damaged(path_, "die Definitionen sind unlesbar (" + msg + ").");
        }
    }

    static std::string text(sqlite3_stmt *s, int c) {
        const unsigned char *t = sqlite3_column_text(s, c);
        return std::string(t ? reinterpret_cast<const char *>(t) : "");
    }

    // Keeps the first problem only: later ones are often its consequences.
    void problem(const std::string &why) {
        if (problem_.empty())
            problem_ = why;
    }
    void refuseIfUnsound() const {
        if (!problem_.empty())
            damaged(path_, problem_);
    }

private:
    SqliteDb &db_;
    const std::string &path_;
    std::string problem_;
};

// The field definitions, numbered 1, 2, ... with known types, sane lengths and unique names.
void readFields(DefinitionReader &reader, TableDef &def) {
    int expected = 1;
    reader.query("SELECT fieldno, name, type, length, decimals FROM dbe_fields ORDER BY fieldno",
                 [&](sqlite3_stmt *s) {
                     FieldDef f;
                     int no = sqlite3_column_int(s, 0);
                     f.name = DefinitionReader::text(s, 1);
                     int64_t type = sqlite3_column_int64(s, 2), length = sqlite3_column_int64(s, 3),
                             dec = sqlite3_column_int64(s, 4);
                     if (no != expected++)
                         reader.problem("die Feldnummern sind nicht fortlaufend.");
                     if (type < 0 || type > 65535 || !isKnownType(static_cast<uint16_t>(type)))
                         reader.problem("das Feld \"" + f.name + "\" hat den unbekannten Typ " +
                                        std::to_string(type) + ".");
                     f.type = static_cast<uint16_t>(type);
                     if (needsLength(f.type) && (length < 1 || length > 65000))
                         reader.problem("das Feld \"" + f.name + "\" hat eine ungültige Länge.");
                     f.length =
                         needsLength(f.type) ? static_cast<uint32_t>(length) : imageSize(f.type, 0);
                     f.decimals = static_cast<uint16_t>(dec < 0 || dec > 64 ? 0 : dec);
                     if (f.name.empty() || def.fieldIndex(f.name) >= 0)
                         reader.problem("der Feldname \"" + f.name + "\" ist leer oder doppelt.");
                     def.fields.push_back(f);
                 });
    if (def.fields.empty())
        reader.problem("die Tabelle hat keine Felder.");
}

// The record table has the record number and a column for every field (and the key column
// of every ci-string): a definition without its column would fail on the first read.
void checkRecordColumns(DefinitionReader &reader, const TableDef &def) {
    std::vector<std::string> columns;
    reader.query("SELECT name FROM pragma_table_info('dbe_records')",
                 [&](sqlite3_stmt *s) { columns.push_back(DefinitionReader::text(s, 0)); });
    auto hasColumn = [&](const std::string &name) {
        for (const std::string &c : columns)
            if (equalNames(c, name))
                return true;
        return false;
    };
    if (!hasColumn("dbe_recno"))
        reader.problem("die Datensatztabelle fehlt.");
    for (const FieldDef &f : def.fields) {
        if (!hasColumn(f.name))
            reader.problem("zum Feld \"" + f.name + "\" gibt es keine Spalte.");
        if (f.type == DB_TYPE_CISTRING && !hasColumn("dbe_ci_" + f.name))
            reader.problem("zum Feld \"" + f.name + "\" fehlt die Schlüsselspalte.");
    }
}

// The index tags, in order of creation: each names known fields and is backed by its SQLite
// index, which the engine's walks and seeks rely on.
void readIndexes(DefinitionReader &reader, TableDef &def) {
    std::vector<std::string> sqlIndexes;
    reader.query("SELECT name FROM sqlite_master WHERE type='index'",
                 [&](sqlite3_stmt *s) { sqlIndexes.push_back(DefinitionReader::text(s, 0)); });
    reader.query("SELECT name, fields, is_unique, sql_index FROM dbe_tags ORDER BY tagno",
                 [&](sqlite3_stmt *s) {
                     IndexDef ix;
                     ix.name = DefinitionReader::text(s, 0);
                     std::string fields = DefinitionReader::text(s, 1);
                     ix.unique = sqlite3_column_int(s, 2) != 0;
                     std::string sqlName = DefinitionReader::text(s, 3);
                     size_t start = 0;
                     while (start <= fields.size()) {
                         size_t end = fields.find(';', start);
                         if (end == std::string::npos)
                             end = fields.size();
                         int f = def.fieldIndex(fields.substr(start, end - start));
                         if (f < 0)
                             reader.problem("der Index \"" + ix.name +
                                            "\" nennt ein unbekanntes Feld.");
                         ix.fields.push_back(f);
                         start = end + 1;
                     }
                     bool found = false;
                     for (const std::string &n : sqlIndexes)
                         found = found || equalNames(n, sqlName);
                     if (!found)
                         reader.problem("zum Index \"" + ix.name + "\" fehlt der SQLite-Index.");
                     if (ix.name.empty() || def.indexIndex(ix.name) >= 0)
                         reader.problem("der Indexname \"" + ix.name + "\" ist leer oder doppelt.");
                     def.indexes.push_back(ix);
                 });
}

// Closes the database unless the open went through, so that a refused file is let go at once.
class CloseUnlessOpened {
public:
    explicit CloseUnlessOpened(SqliteDb &db) : db_(db) {}
    ~CloseUnlessOpened() {
        if (!opened_)
            db_.close();
    }
    void opened() { opened_ = true; }

private:
    SqliteDb &db_;
    bool opened_ = false;
};

} // namespace

TableDef openTableFile(SqliteDb &db, const std::string &path) {
    requireTableFile(path);
    CloseUnlessOpened closer(db);
    openDatabase(db, path);
    checkHeader(readHeader(db, path), path);
    sqlite3_busy_timeout(db.get(), 15000);
    openReadableWithoutWriting(db, path);
    checkMarksAsRead(db, path);

    TableDef def;
    def.path = path;
    DefinitionReader reader(db, path);
    readFields(reader, def);
    checkRecordColumns(reader, def);
    readIndexes(reader, def);
    reader.refuseIfUnsound();
    def.layout();
    // Recognised: a close may now bring the table file up to date again.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    applySettings(db);
    closer.opened();
    return def;
}

} // namespace dbeng
