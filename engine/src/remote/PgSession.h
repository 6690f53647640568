// One session on the remote server (a libpq connection): prepared statements found by their
// text, values in the binary wire format, transactions, and server failures turned into the
// engine's errors with German texts. All tables of one engine connection share its session.
#pragma once

#include "../DbException.h"
#include "../SqlIdentifier.h"
#include "PgValue.h"

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace dbeng {

// A failure the server reported, with its SQLSTATE and the constraint it names (if any), so a
// table can tell a duplicate key of one of its tags.
class PgError : public DbException {
public:
    PgError(uint32_t code, const std::string &text, std::string sqlState, std::string constraint,
            std::string context = {})
        : DbException(code, text), sqlState_(std::move(sqlState)),
          constraint_(std::move(constraint)), context_(std::move(context)) {}
    const std::string &sqlState() const { return sqlState_; }
    const std::string &constraint() const { return constraint_; }
    // Where in its work the server failed (for a COPY: the row it was at).
    const std::string &context() const { return context_; }

private:
    std::string sqlState_;
    std::string constraint_;
    std::string context_;
};

class PgResult {
public:
    explicit PgResult(PGresult *r = nullptr) : r_(r) {}
    ~PgResult() { clear(); }
    PgResult(PgResult &&o) noexcept : r_(o.r_) { o.r_ = nullptr; }
    PgResult &operator=(PgResult &&o) noexcept {
        if (this != &o) {
            clear();
            r_ = o.r_;
            o.r_ = nullptr;
        }
        return *this;
    }
    PgResult(const PgResult &) = delete;
    PgResult &operator=(const PgResult &) = delete;

    PGresult *get() const { return r_; }
    int rows() const { return r_ ? PQntuples(r_) : 0; }
    bool isNull(int row, int col) const { return PQgetisnull(r_, row, col) != 0; }
    const char *data(int row, int col) const { return PQgetvalue(r_, row, col); }
    int length(int row, int col) const { return PQgetlength(r_, row, col); }
    // Reads a binary column of the given type into v.
    void load(int row, int col, PgValue::Kind type, PgValue &v) const {
        v.load(type, isNull(row, col) ? nullptr : data(row, col), length(row, col));
    }
    int64_t integer(int row, int col) const;
    bool boolean(int row, int col) const { return !isNull(row, col) && data(row, col)[0] != 0; }
    std::string bytes(int row, int col) const {
        return isNull(row, col) ? std::string() : std::string(data(row, col), length(row, col));
    }
    // Commands that report the rows they touched (UPDATE, DELETE).
    long affected() const;

private:
    void clear() {
        if (r_)
            PQclear(r_);
        r_ = nullptr;
    }
    PGresult *r_;
};

// Writes a session holds back to send them in bulk (HeldAppends: appends inside a
// transaction). The session sends them before every other statement, so that no statement
// reads past them, and before the commit; a rollback drops them.
class HeldWrites {
public:
    virtual ~HeldWrites() = default;
    virtual void send() = 0;
    virtual void discard() = 0;
};

class PgSession {
public:
    // Connects through libpq's own environment (PGHOST, PGPORT, PGDATABASE, PGSERVICE, the
    // password file); user and password, when given, take precedence. place names the data
    // path for the texts. Throws DBE_SERVER_NOT_AVAILABLE when the server cannot be reached
    // (within the connect timeout) and DBE_LOGIN_FAILED when it refuses or asks for a password.
    PgSession(const std::string &user, const std::string &password, const std::string &place);
    ~PgSession();
    PgSession(const PgSession &) = delete;
    PgSession &operator=(const PgSession &) = delete;

    // A prepared statement with binary parameters and results. table and what name the table
    // and the operation for the error texts.
    PgResult query(const std::string &sql, const std::vector<PgValue> &params,
                   const std::string &table, const char *what);
    // The same without sending the held writes first: for statements that do not read what
    // they change (taking numbers from a sequence).
    PgResult queryAside(const std::string &sql, const std::vector<PgValue> &params,
                        const std::string &table, const char *what);
    // COPY ... FROM STDIN with the given data (the statement names the format).
    void copyIn(const std::string &sql, const std::string &data, const std::string &table,
                const char *what);
    // A statement that changes data: inside an open transaction it runs within a savepoint
    // (one round trip), so that its failure undoes only itself.
    PgResult change(const std::string &sql, const std::vector<PgValue> &params,
                    const std::string &table, const char *what);
    // Statements without parameters (DDL, transaction control), as plain text.
    void command(const std::string &sql, const std::string &table, const char *what);

    bool inTransaction() const { return transaction_; }
    // The writes held back until the next statement (nullptr: none).
    void holdWrites(HeldWrites *held) { held_ = held; }
    // Sends the held writes now. When they fail, the server's transaction is rolled back at
    // once and the engine's transaction stays open as failed: every further write and the
    // commit answer the same error, so nothing of it is stored, and the rollback ends it.
    void sendHeld();
    // Throws the error that failed the open transaction, if one did.
    void requireUnfailed() const;
    void begin(const std::string &table, const char *what);
    void commit(const std::string &table, const char *what);
    void rollback();
    // Undoes the open transaction's work since the savepoint and drops it (quietly: used after
    // a failure, whose error is the one to report).
    void undoToSavepoint(const char *name);

    int backendPid() const { return PQbackendPID(conn_); }
    // The database's encoding as the server reports it at the connect ("UTF8", "SQL_ASCII").
    std::string serverEncoding() const {
        const char *e = PQparameterStatus(conn_, "server_encoding");
        return e ? e : "";
    }
    // "Server <host>, Port <port>" for texts.
    std::string serverText() const;
    [[noreturn]] void fail(PGresult *result, const std::string &table, const char *what);

private:
    const std::string &prepared(const std::string &sql, const std::vector<PgValue> &params,
                                const std::string &table, const char *what);
    PgResult execute(const std::string &sql, const std::vector<PgValue> &params,
                     const std::string &table, const char *what);
    PgResult pipelinedChange(const std::string &name, const std::vector<PgValue> &params,
                             const std::string &table, const char *what);

    PGconn *conn_ = nullptr;
    std::unordered_map<std::string, std::string> statements_;
    bool transaction_ = false;
    HeldWrites *held_ = nullptr;
    bool sendingHeld_ = false;
    std::unique_ptr<DbException> failure_;
};

} // namespace dbeng
