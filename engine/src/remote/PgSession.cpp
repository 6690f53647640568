#include "PgSession.h"

#include "RoundTrips.h"
#include "dbeng.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace dbeng {

namespace {

std::atomic<uint64_t> roundTrips{0};

// Every wait for the server's answer goes through here.
void awaitServer() {
    roundTrips.fetch_add(1, std::memory_order_relaxed);
}

// A server's message can be long; the engine's texts are limited to 600 characters.
std::string shortened(std::string text, size_t max = 260) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    for (char &c : text)
        if (c == '\n' || c == '\t')
            c = ' ';
    if (text.size() > max)
        text = text.substr(0, max - 3) + "...";
    return text;
}

bool containsNoCase(const std::string &text, const char *word) {
    std::string a = text, b = word;
    for (char &c : a)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char &c : b)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return a.find(b) != std::string::npos;
}

// SQLSTATEs are five characters of digits and capitals; the texts carry the digits as the
// native error (0 when there are letters in it).
long nativeCode(const std::string &state) {
    if (state.size() != 5 || !std::all_of(state.begin(), state.end(), ::isdigit))
        return 0;
    return std::atol(state.c_str());
}

struct ParamArrays {
    std::vector<std::string> wire;
    std::vector<const char *> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    explicit ParamArrays(const std::vector<PgValue> &params) {
        wire.reserve(params.size());
        for (const PgValue &p : params) {
            wire.push_back(p.isNull() ? std::string() : p.wire());
            lengths.push_back(static_cast<int>(wire.back().size()));
            formats.push_back(1);
        }
        for (size_t k = 0; k < params.size(); ++k)
            values.push_back(params[k].isNull() ? nullptr : wire[k].data());
    }
};

} // namespace

uint64_t remoteRoundTrips() {
    return roundTrips.load(std::memory_order_relaxed);
}

int64_t PgResult::integer(int row, int col) const {
    if (isNull(row, col))
        return 0;
    PgValue v;
    int n = length(row, col);
    v.load(n == 2 ? PgValue::Int2 : n == 4 ? PgValue::Int4 : PgValue::Int8, data(row, col), n);
    return v.i;
}

long PgResult::affected() const {
    const char *n = r_ ? PQcmdTuples(r_) : "";
    return *n ? std::atol(n) : 0;
}

PgSession::PgSession(const std::string &user, const std::string &password,
                     const std::string &place) {
    std::vector<const char *> keys, values;
    auto add = [&](const char *k, const char *v) {
        keys.push_back(k);
        values.push_back(v);
    };
    if (!user.empty())
        add("user", user.c_str());
    if (!password.empty())
        add("password", password.c_str());
    // No hanging on a server that does not answer: a few seconds unless the environment says.
    if (!std::getenv("PGCONNECT_TIMEOUT"))
        add("connect_timeout", "5");
    add("application_name", "dupcheck");
    add("client_encoding", "UTF8");
    add(nullptr, nullptr);
    conn_ = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn_)
        throw DbException(DBE_SERVER_NOT_AVAILABLE,
                          "Verbindung mit dem Datenbestand " + quoteFile(place) +
                              " nicht möglich: kein Arbeitsspeicher für die Verbindung.");
    if (PQstatus(conn_) != CONNECTION_OK) {
        const std::string message = shortened(PQerrorMessage(conn_));
        const std::string who = PQuser(conn_) ? PQuser(conn_) : user;
        const std::string server = serverText();
        const bool needs = PQconnectionNeedsPassword(conn_) != 0;
        const bool refused =
            PQconnectionUsedPassword(conn_) != 0 && (containsNoCase(message, "authentication") ||
                                                     containsNoCase(message, "authentifizierung"));
        PQfinish(conn_);
        conn_ = nullptr;
        if (needs)
            throw DbException(DBE_LOGIN_FAILED,
                              "Der Datenbankserver (" + server + ") verlangt für den Benutzer \"" +
                                  who + "\" ein Passwort; Datenbestand " + quoteFile(place) + ".");
        if (refused)
            throw DbException(DBE_LOGIN_FAILED, "Anmeldung am Datenbankserver (" + server +
                                                    ") fehlgeschlagen: Benutzername \"" + who +
                                                    "\" oder Passwort ist falsch; Datenbestand " +
                                                    quoteFile(place) + ".");
        throw DbException(DBE_SERVER_NOT_AVAILABLE,
                          "Der Datenbankserver (" + server + ") für den Datenbestand " +
                              quoteFile(place) + " ist nicht erreichbar: " + message);
    }
    // Notices (a warning of the server) are not for the user's terminal.
    PQsetNoticeProcessor(
        conn_, [](void *, const char *) {}, nullptr);
    // The server ends a session whose workstation vanished without a word (a crash, a cut
    // cable) after about a minute and a half, and with it the session's record locks. Over a
    // local socket these do not apply.
    awaitServer();
    PGresult *r = PQexec(conn_, "SET tcp_keepalives_idle = 60; SET tcp_keepalives_interval = 10; "
                                "SET tcp_keepalives_count = 3; "
                                "SET max_parallel_workers_per_gather = 0");
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    PgResult guard(r);
    if (!ok)
        fail(r, place, "Einrichten der Verbindung");
}

PgSession::~PgSession() {
    if (conn_)
        PQfinish(conn_);
}

std::string PgSession::serverText() const {
    const char *host = conn_ ? PQhost(conn_) : nullptr;
    const char *port = conn_ ? PQport(conn_) : nullptr;
    std::string h = host && *host ? host : (std::getenv("PGHOST") ? std::getenv("PGHOST") : "");
    std::string p = port && *port ? port : (std::getenv("PGPORT") ? std::getenv("PGPORT") : "");
    if (h.empty())
        h = "Standard";
    return "Server \"" + h + "\"" + (p.empty() ? "" : ", Port " + p);
}

void PgSession::fail(PGresult *result, const std::string &table, const char *what) {
    if (PQstatus(conn_) != CONNECTION_OK)
        throw DbException(DBE_SERVER_NOT_AVAILABLE, "Die Verbindung zum Datenbankserver (" +
                                                        serverText() +
                                                        ") ist abgebrochen; Tabelle " +
                                                        quoteFile(table) + " beim " + what + ".");
    const char *stateP = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char *primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const char *constraint = result ? PQresultErrorField(result, PG_DIAG_CONSTRAINT_NAME) : nullptr;
    const char *context = result ? PQresultErrorField(result, PG_DIAG_CONTEXT) : nullptr;
    std::string state = stateP ? stateP : "";
    std::string message = shortened(primary ? primary : PQerrorMessage(conn_));
    uint32_t code = DBE_STORAGE_ERROR;
    std::string text;
    if (state == "23505") {
        code = DBE_DUPLICATE_KEY;
        text = "Der Datensatz kann in der Tabelle " + quoteFile(table) +
               " nicht gespeichert werden: sein Schlüssel ist in einem eindeutigen Index schon "
               "vorhanden.";
    } else if (state == "55P03" || state == "40P01") {
        code = DBE_RECORD_LOCKED;
        text = "Die Tabelle " + quoteFile(table) +
               " ist von einem anderen Benutzer gesperrt (beim " + what + ").";
    } else {
        text = "ERROR 7200: Fehler des Datenbankservers in der Tabelle " + quoteFile(table) +
               " beim " + what + ": " + message + " (SQLSTATE " + state +
               "). NativeError = " + std::to_string(nativeCode(state)) + ";";
    }
    throw PgError(code, text, state, constraint ? constraint : "", context ? context : "");
}

const std::string &PgSession::prepared(const std::string &sql, const std::vector<PgValue> &params,
                                       const std::string &table, const char *what) {
    auto it = statements_.find(sql);
    if (it != statements_.end())
        return it->second;
    std::string name = "dbe" + std::to_string(statements_.size() + 1);
    std::vector<Oid> types;
    for (const PgValue &p : params)
        types.push_back(p.oid());
    awaitServer();
    PgResult r(
        PQprepare(conn_, name.c_str(), sql.c_str(), static_cast<int>(types.size()), types.data()));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        fail(r.get(), table, what);
    return statements_.emplace(sql, std::move(name)).first->second;
}

PgResult PgSession::query(const std::string &sql, const std::vector<PgValue> &params,
                          const std::string &table, const char *what) {
    sendHeld();
    return execute(sql, params, table, what);
}

PgResult PgSession::queryAside(const std::string &sql, const std::vector<PgValue> &params,
                               const std::string &table, const char *what) {
    return execute(sql, params, table, what);
}

PgResult PgSession::execute(const std::string &sql, const std::vector<PgValue> &params,
                            const std::string &table, const char *what) {
    const std::string &name = prepared(sql, params, table, what);
    ParamArrays a(params);
    awaitServer();
    PgResult r(PQexecPrepared(conn_, name.c_str(), static_cast<int>(params.size()), a.values.data(),
                              a.lengths.data(), a.formats.data(), 1));
    ExecStatusType s = PQresultStatus(r.get());
    if (s != PGRES_TUPLES_OK && s != PGRES_COMMAND_OK)
        fail(r.get(), table, what);
    return r;
}

PgResult PgSession::change(const std::string &sql, const std::vector<PgValue> &params,
                           const std::string &table, const char *what) {
    requireUnfailed();
    if (!transaction_)
        return query(sql, params, table, what);
    sendHeld();
    const std::string &name = prepared(sql, params, table, what);
    return pipelinedChange(name, params, table, what);
}

PgResult PgSession::pipelinedChange(const std::string &name, const std::vector<PgValue> &params,
                                    const std::string &table, const char *what) {
    // SAVEPOINT, the statement and RELEASE go out together and come back together.
    ParamArrays a(params);
    if (!PQenterPipelineMode(conn_))
        fail(nullptr, table, what);
    bool sent =
        PQsendQueryParams(conn_, "SAVEPOINT dbe_write", 0, nullptr, nullptr, nullptr, nullptr, 0) &&
        PQsendQueryPrepared(conn_, name.c_str(), static_cast<int>(params.size()), a.values.data(),
                            a.lengths.data(), a.formats.data(), 1) &&
        PQsendQueryParams(conn_, "RELEASE SAVEPOINT dbe_write", 0, nullptr, nullptr, nullptr,
                          nullptr, 0) &&
        PQpipelineSync(conn_);
    awaitServer();
    PgResult results[3];
    bool failed = !sent;
    PgResult failure;
    for (int k = 0; k < 3 && sent; ++k) {
        results[k] = PgResult(PQgetResult(conn_));
        ExecStatusType s = PQresultStatus(results[k].get());
        if (s == PGRES_FATAL_ERROR && !failed) {
            failed = true;
            failure = std::move(results[k]);
        } else if (s == PGRES_PIPELINE_ABORTED) {
            failed = true;
        }
        // Each query's results end with a null.
        while (PGresult *extra = PQgetResult(conn_))
            PQclear(extra);
    }
    if (sent) {
        // The sync point.
        while (PGresult *r = PQgetResult(conn_)) {
            bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
            PQclear(r);
            if (sync)
                break;
        }
    }
    PQexitPipelineMode(conn_);
    if (failed) {
        awaitServer();
        PgResult undo(
            PQexec(conn_, "ROLLBACK TO SAVEPOINT dbe_write; RELEASE SAVEPOINT dbe_write"));
        fail(failure.get(), table, what);
    }
    return std::move(results[1]);
}

void PgSession::copyIn(const std::string &sql, const std::string &data, const std::string &table,
                       const char *what) {
    awaitServer();
    PgResult start(PQexec(conn_, sql.c_str()));
    if (PQresultStatus(start.get()) != PGRES_COPY_IN)
        fail(start.get(), table, what);
    // libpq queues what does not go out at once; the data is sent in pieces it can take.
    constexpr size_t kPiece = 1 << 20;
    bool sent = true;
    for (size_t at = 0; at < data.size() && sent; at += kPiece) {
        const size_t n = std::min(kPiece, data.size() - at);
        sent = PQputCopyData(conn_, data.data() + at, static_cast<int>(n)) == 1;
    }
    if (PQputCopyEnd(conn_, sent ? nullptr : "abgebrochen") != 1)
        fail(nullptr, table, what);
    awaitServer();
    PgResult end(PQgetResult(conn_));
    while (PGresult *extra = PQgetResult(conn_))
        PQclear(extra);
    if (PQresultStatus(end.get()) != PGRES_COMMAND_OK)
        fail(end.get(), table, what);
}

void PgSession::requireUnfailed() const {
    if (failure_)
        throw DbException(failure_->code(), failure_->what(), failure_->record());
}

void PgSession::sendHeld() {
    if (!held_ || sendingHeld_ || failure_)
        return;
    sendingHeld_ = true;
    try {
        held_->send();
    } catch (const DbException &e) {
        sendingHeld_ = false;
        held_->discard();
        if (transaction_) {
            awaitServer();
            PgResult undo(PQexec(conn_, "ROLLBACK"));
            failure_ = std::make_unique<DbException>(e.code(), e.what(), e.record());
        }
        throw;
    }
    sendingHeld_ = false;
}

void PgSession::command(const std::string &sql, const std::string &table, const char *what) {
    requireUnfailed();
    sendHeld();
    awaitServer();
    PgResult r(PQexec(conn_, sql.c_str()));
    ExecStatusType s = PQresultStatus(r.get());
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        fail(r.get(), table, what);
}

void PgSession::begin(const std::string &table, const char *what) {
    command("BEGIN", table, what);
    transaction_ = true;
}

void PgSession::commit(const std::string &table, const char *what) {
    try {
        requireUnfailed();
        sendHeld();
    } catch (const DbException &) {
        // The transaction failed (now or earlier) and is rolled back: it is over.
        failure_.reset();
        transaction_ = false;
        throw;
    }
    transaction_ = false;
    if (held_)
        held_->discard();
    command("COMMIT", table, what);
}

void PgSession::undoToSavepoint(const char *name) {
    const std::string sql =
        std::string("ROLLBACK TO SAVEPOINT ") + name + "; RELEASE SAVEPOINT " + name;
    awaitServer();
    PgResult r(PQexec(conn_, sql.c_str()));
}

void PgSession::rollback() {
    transaction_ = false;
    failure_.reset();
    if (held_)
        held_->discard();
    awaitServer();
    PgResult r(PQexec(conn_, "ROLLBACK"));
}

} // namespace dbeng
