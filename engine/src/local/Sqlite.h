// Thin RAII wrappers over SQLite for the local server, and the mapping of SQLite failures to
// DBE_STORAGE_ERROR texts ("ERROR 7200: ... NativeError = <code>;").
#pragma once

#include "../SqlIdentifier.h"

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dbeng {

struct SqlValue {
    enum Kind : uint8_t { Null, Int, Real, Blob };
    Kind kind = Null;
    int64_t i = 0;
    double d = 0;
    std::string b;

    static SqlValue null() { return SqlValue(); }
    static SqlValue integer(int64_t v) {
        SqlValue s;
        s.kind = Int;
        s.i = v;
        return s;
    }
    static SqlValue real(double v) {
        SqlValue s;
        s.kind = Real;
        s.d = v;
        return s;
    }
    static SqlValue blob(std::string_view v) {
        SqlValue s;
        s.kind = Blob;
        s.b.assign(v);
        return s;
    }
    // Reads column col of the current row in place (reusing the string's storage).
    void load(sqlite3_stmt *stmt, int col);
    bool operator==(const SqlValue &o) const;
};

class Statement;

class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb &) = delete;
    SqliteDb &operator=(const SqliteDb &) = delete;

    // Returns the SQLite result; the handle is kept even on failure so the message can be read.
    int open(const std::string &path, int flags);
    void close();
    sqlite3 *get() const { return db_; }
    const std::string &path() const { return path_; }

    // Runs statements without results; throws DBE_STORAGE_ERROR naming what was being done.
    void exec(const std::string &sql, const char *what);
    // A prepared statement kept for the life of the connection, found by its text.
    Statement &cached(const std::string &sql);
    void clearCache();
    [[noreturn]] void fail(const char *what, int rc) const;

private:
    sqlite3 *db_ = nullptr;
    std::string path_;
    std::unordered_map<std::string, std::unique_ptr<Statement>> cache_;
};

class Statement {
public:
    Statement(SqliteDb &db, const std::string &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return stmt_; }
    void bind(int index, const SqlValue &value);
    void bindInt(int index, int64_t value);
    void bindBlob(int index, std::string_view value);
    void bindNull(int index);
    // true while there is a row; throws on failure (resetting the statement first).
    bool step(const char *what);
    void reset();

private:
    SqliteDb &db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// Resets a statement when the scope ends, so no read transaction outlives a call.
class StatementScope {
public:
    explicit StatementScope(Statement &s) : s_(s) {}
    ~StatementScope() { s_.reset(); }
    Statement &operator*() { return s_; }
    Statement *operator->() { return &s_; }

private:
    Statement &s_;
};

// One read transaction around the statements of one call: they see one state of the file, and
// SQLite takes its read lock once instead of once per statement. Nothing happens inside a
// transaction that is open already. The transaction ends with the scope.
class ReadTransaction {
public:
    explicit ReadTransaction(SqliteDb &db);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    SqliteDb &db_;
    bool began_ = false;
};

} // namespace dbeng
