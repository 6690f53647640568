#include "Sqlite.h"

#include "../DbException.h"
#include "dbeng.h"

#include <cstring>

namespace dbeng {

void SqlValue::load(sqlite3_stmt *stmt, int col) {
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
        kind = Int;
        i = sqlite3_column_int64(stmt, col);
        break;
    case SQLITE_FLOAT:
        kind = Real;
        d = sqlite3_column_double(stmt, col);
        break;
    case SQLITE_NULL:
        kind = Null;
        break;
    default: {
        kind = Blob;
        const void *p = sqlite3_column_blob(stmt, col);
        int n = sqlite3_column_bytes(stmt, col);
        b.assign(static_cast<const char *>(p ? p : ""), static_cast<size_t>(n));
    }
    }
}

bool SqlValue::operator==(const SqlValue &o) const {
    if (kind != o.kind)
        return false;
    switch (kind) {
    case Null:
        return true;
    case Int:
        return i == o.i;
    case Real:
        return d == o.d;
    default:
        return b == o.b;
    }
}

SqliteDb::~SqliteDb() {
    close();
}

int SqliteDb::open(const std::string &path, int flags) {
    close();
    path_ = path;
    return sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
}

void SqliteDb::close() {
    cache_.clear();
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void SqliteDb::fail(const char *what, int rc) const {
    int ext = db_ ? sqlite3_extended_errcode(db_) : rc;
    if ((ext & 0xFF) != (rc & 0xFF))
        ext = rc;
    std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    throw DbException(DBE_STORAGE_ERROR, "ERROR 7200: Fehler der Speicherschicht in der Tabelle " +
                                             quoteFile(path_) + " beim " + what + ": " + msg +
                                             ". NativeError = " + std::to_string(ext) + ";");
}

void SqliteDb::exec(const std::string &sql, const char *what) {
    int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(what, rc);
}

Statement &SqliteDb::cached(const std::string &sql) {
    auto it = cache_.find(sql);
    if (it != cache_.end())
        return *it->second;
    if (cache_.size() > 400)
        cache_.clear();
    auto stmt = std::make_unique<Statement>(*this, sql);
    Statement &ref = *stmt;
    cache_.emplace(sql, std::move(stmt));
    return ref;
}

void SqliteDb::clearCache() {
    cache_.clear();
}

Statement::Statement(SqliteDb &db, const std::string &sql) : db_(db) {
    int rc = sqlite3_prepare_v3(db.get(), sql.c_str(), static_cast<int>(sql.size()),
                                SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK)
        db.fail("Vorbereiten einer Abfrage", rc);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, const SqlValue &v) {
    switch (v.kind) {
    case SqlValue::Null:
        sqlite3_bind_null(stmt_, index);
        break;
    case SqlValue::Int:
        sqlite3_bind_int64(stmt_, index, v.i);
        break;
    case SqlValue::Real:
        sqlite3_bind_double(stmt_, index, v.d);
        break;
    case SqlValue::Blob:
        sqlite3_bind_blob(stmt_, index, v.b.data(), static_cast<int>(v.b.size()), SQLITE_STATIC);
        break;
    }
}

void Statement::bindInt(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
}

void Statement::bindBlob(int index, std::string_view value) {
    sqlite3_bind_blob(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void Statement::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
}

bool Statement::step(const char *what) {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    db_.fail(what, rc);
}

ReadTransaction::ReadTransaction(SqliteDb &db) : db_(db) {
    if (!sqlite3_get_autocommit(db.get()))
        return;
    StatementScope begin(db.cached("BEGIN"));
    begin->step("Beginnen eines Lesevorgangs");
    began_ = true;
}

ReadTransaction::~ReadTransaction() {
    if (!began_)
        return;
    // Ending a transaction that only read gives nothing back to keep: a failure (there is
    // none to expect) changes nothing that was read.
    Statement &commit = db_.cached("COMMIT");
    if (sqlite3_step(commit.get()) != SQLITE_DONE)
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    commit.reset();
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

} // namespace dbeng
