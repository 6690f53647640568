#include "TableFile.h"

#include "../DbException.h"
#include "StoredValue.h"
#include "dbeng.h"

#include <atomic>
#include <cerrno>
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
    // Durable commits. The pages read are kept in SQLite's own page cache, not in a memory map
    // of the file: the kernel maps up to 64 KB around every page a mapped read touches, so the
    // scattered row reads of one check (about 10,000 for a million articles) made most of the
    // article and bookings files resident in the process, 240 MB; the cache holds only the
    // pages read. Its 192 MB per table hold a million articles with their "BSTN" index, so a
    // walk that reads whole rows in index order reads each page from the file once and is as
    // fast as it was with the map (bench/EngineBench.cpp); the check stays below 100 MB.
    db.exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA mmap_size=0; "
            "PRAGMA cache_size=-196608; PRAGMA foreign_keys=OFF",
            "Einstellen der Verbindung");
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

TableDef openTableFile(SqliteDb &db, const std::string &path, bool readOnly) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        throw DbException(DBE_FILE_NOT_FOUND,
                          "Die Tabellendatei " + quoteFile(path) + " wurde nicht gefunden.");
    if (!S_ISREG(st.st_mode) || st.st_size < 512)
        throw DbException(DBE_NOT_A_TABLE,
                          "Die Datei " + quoteFile(path) + " ist keine Tabellendatei.");
    int rc = db.open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    if (rc != SQLITE_OK && readOnly)
        rc = db.open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    if (rc != SQLITE_OK) {
        std::string msg = db.get() ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc);
        db.close();
        throw DbException(DBE_IO_ERROR, "Die Tabellendatei " + quoteFile(path) +
                                            " kann nicht geöffnet werden: " + msg + ".");
    }
    // Read the header through SQLite's own file handle: a second descriptor on the file would
    // drop SQLite's locks when closed. No statement has run yet, so nothing has been written
    // (no journal rolled back) if this is not one of our files.
    unsigned char header[100];
    std::memset(header, 0, sizeof header);
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(db.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods || file->pMethods->xRead(file, header, 100, 0) != SQLITE_OK) {
        db.close();
        throw DbException(DBE_NOT_A_TABLE,
                          "Die Datei " + quoteFile(path) + " ist keine Tabellendatei.");
    }
    auto be32 = [&](int off) {
        return static_cast<uint32_t>(header[off]) << 24 |
               static_cast<uint32_t>(header[off + 1]) << 16 |
               static_cast<uint32_t>(header[off + 2]) << 8 | header[off + 3];
    };
    if (std::memcmp(header, "SQLite format 3", 16) != 0 || be32(68) != kApplicationId) {
        db.close();
        throw DbException(DBE_NOT_A_TABLE, "Die Datei " + quoteFile(path) +
                                               " ist keine Tabellendatei dieser Datenbank.");
    }
    uint32_t version = be32(60);
    if (version < 1 || version > static_cast<uint32_t>(kFormatVersion)) {
        db.close();
        throw DbException(DBE_NOT_A_TABLE, "Die Tabellendatei " + quoteFile(path) +
                                               " hat das Format " + std::to_string(version) +
                                               "; unterstützt wird bis Format " +
                                               std::to_string(kFormatVersion) + ".");
    }
    sqlite3_busy_timeout(db.get(), 15000);

    TableDef def;
    def.path = path;
    auto query = [&](const char *sql, auto &&row) {
        sqlite3_stmt *stmt = nullptr;
        int rc = sqlite3_prepare_v2(db.get(), sql, -1, &stmt, nullptr);
        if (rc != SQLITE_OK) {
            std::string msg = sqlite3_errmsg(db.get());
            db.close();
            damaged(path, std::string("die Definitionen fehlen oder sind unlesbar (") + msg + ").");
        }
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            row(stmt);
        std::string msg = sqlite3_errmsg(db.get());
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
                db.fail("Lesen der Definitionen", rc);
            db.close();
            damaged(path, "die Definitionen sind unlesbar (" + msg + ").");
        }
    };
    auto text = [](sqlite3_stmt *s, int c) {
        const unsigned char *t = sqlite3_column_text(s, c);
        return std::string(t ? reinterpret_cast<const char *>(t) : "");
    };
    std::string problem;
    int expected = 1;
    query("SELECT fieldno, name, type, length, decimals FROM dbe_fields ORDER BY fieldno",
          [&](sqlite3_stmt *s) {
              FieldDef f;
              int no = sqlite3_column_int(s, 0);
              f.name = text(s, 1);
              int64_t type = sqlite3_column_int64(s, 2), length = sqlite3_column_int64(s, 3),
                      dec = sqlite3_column_int64(s, 4);
              if (no != expected++ && problem.empty())
                  problem = "die Feldnummern sind nicht fortlaufend.";
              if ((type < 0 || type > 65535 || !isKnownType(static_cast<uint16_t>(type))) &&
                  problem.empty())
                  problem = "das Feld \"" + f.name + "\" hat den unbekannten Typ " +
                            std::to_string(type) + ".";
              f.type = static_cast<uint16_t>(type);
              if (needsLength(f.type) && (length < 1 || length > 65000) && problem.empty())
                  problem = "das Feld \"" + f.name + "\" hat eine ungültige Länge.";
              f.length = needsLength(f.type) ? static_cast<uint32_t>(length) : imageSize(f.type, 0);
              f.decimals = static_cast<uint16_t>(dec < 0 || dec > 64 ? 0 : dec);
              if ((f.name.empty() || def.fieldIndex(f.name) >= 0) && problem.empty())
                  problem = "der Feldname \"" + f.name + "\" ist leer oder doppelt.";
              def.fields.push_back(f);
          });
    if (def.fields.empty() && problem.empty())
        problem = "die Tabelle hat keine Felder.";
    std::vector<std::string> columns;
    query("SELECT name FROM pragma_table_info('dbe_records')",
          [&](sqlite3_stmt *s) { columns.push_back(text(s, 0)); });
    auto hasColumn = [&](const std::string &name) {
        for (const std::string &c : columns)
            if (equalNames(c, name))
                return true;
        return false;
    };
    if (problem.empty() && !hasColumn("dbe_recno"))
        problem = "die Datensatztabelle fehlt.";
    for (const FieldDef &f : def.fields) {
        if (problem.empty() && !hasColumn(f.name))
            problem = "zum Feld \"" + f.name + "\" gibt es keine Spalte.";
        if (problem.empty() && f.type == DB_TYPE_CISTRING && !hasColumn("dbe_ci_" + f.name))
            problem = "zum Feld \"" + f.name + "\" fehlt die Schlüsselspalte.";
    }
    std::vector<std::string> sqlIndexes;
    query("SELECT name FROM sqlite_master WHERE type='index'",
          [&](sqlite3_stmt *s) { sqlIndexes.push_back(text(s, 0)); });
    query("SELECT name, fields, is_unique, sql_index FROM dbe_tags ORDER BY tagno",
          [&](sqlite3_stmt *s) {
              IndexDef ix;
              ix.name = text(s, 0);
              std::string fields = text(s, 1);
              ix.unique = sqlite3_column_int(s, 2) != 0;
              std::string sqlName = text(s, 3);
              size_t start = 0;
              while (start <= fields.size()) {
                  size_t end = fields.find(';', start);
                  if (end == std::string::npos)
                      end = fields.size();
                  int f = def.fieldIndex(fields.substr(start, end - start));
                  if (f < 0 && problem.empty())
                      problem = "der Index \"" + ix.name + "\" nennt ein unbekanntes Feld.";
                  ix.fields.push_back(f);
                  start = end + 1;
              }
              bool found = false;
              for (const std::string &n : sqlIndexes)
                  found = found || equalNames(n, sqlName);
              if (!found && problem.empty())
                  problem = "zum Index \"" + ix.name + "\" fehlt der SQLite-Index.";
              if ((ix.name.empty() || def.indexIndex(ix.name) >= 0) && problem.empty())
                  problem = "der Indexname \"" + ix.name + "\" ist leer oder doppelt.";
              def.indexes.push_back(ix);
          });
    if (!problem.empty()) {
        db.close();
        damaged(path, problem);
    }
    def.layout();
    if (!readOnly || !sqlite3_db_readonly(db.get(), "main"))
        applySettings(db);
    else
        sqlite3_busy_timeout(db.get(), 15000);
    return def;
}

} // namespace dbeng
