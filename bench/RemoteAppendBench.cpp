// Figures for loading a remote data set through the engine: article records appended inside
// one transaction (as dupcheck-host demo and import write them: DbAppendRecord, DbSetField...,
// DbWriteRecord per record, then the commit), next to the same records appended one by one
// outside a transaction (one statement each, as every append was sent before appends inside
// a transaction were held back), and next to the server's own COPY of the same rows into a
// table of the same layout, all in the same run on the same server.
//
//   remote_append_bench [--rows N] [--single N]
//
// N article records (default 100,000) of the host's article table, filled like the demo's
// (dupcheck-host demo): texts, amounts, a group, an order number; --single N of them (default
// 5,000) are also appended one by one. The server is the one libpq's environment names; the
// benchmark makes a data set of its own and removes it at the end.
//
// CPU time counts this process and its server session (read from /proc, so the server must
// run on this machine); the machine is shared with builds, so wall time is printed beside it.
#include "RemoteBenchSupport.h"
#include "dbeng.h"
#include "schema/HostSchema.h"

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double wallNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Timing {
    double wall = 0, client = 0, server = 0;
    double cpu() const { return client + server; }
};

class Stopwatch {
public:
    explicit Stopwatch(int serverPid)
        : pid_(serverPid), wall_(wallNow()), client_(cpuNow()), server_(processCpu(pid_)) {}
    Timing stop() const {
        return {wallNow() - wall_, cpuNow() - client_, processCpu(pid_) - server_};
    }

private:
    int pid_;
    double wall_, client_, server_;
};

void check(DBRESULT rc, const char *what) {
    if (rc == 0)
        return;
    char text[1024] = {};
    uint32_t code = 0;
    uint16_t len = sizeof text;
    DbGetLastError(&code, text, &len);
    std::fprintf(stderr, "%s: [%u] %.*s\n", what, code, int(len), text);
    std::exit(3);
}

const char *const kNouns[] = {"Schraube", "Mutter", "Scheibe", "Winkel", "Dübel", "Haken"};
const char *const kAttributes[] = {"verzinkt", "Edelstahl", "Messing", "schwarz", "klein"};
const char *const kUnits[] = {"Stück", "Packung", "Karton", "Meter"};

// Windows-1252 from UTF-8 for the few letters above.
std::string to1252(const char *utf8) {
    std::string out;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(utf8); *p; ++p) {
        if (*p == 0xC3 && p[1]) {
            out += static_cast<char>(p[1] + 0x40);
            ++p;
        } else {
            out += static_cast<char>(*p);
        }
    }
    return out;
}

class Articles {
public:
    explicit Articles(DBHANDLE table) : t_(table) {
        const HostSchema::Table &s = HostSchema::articles();
        for (const char *name : {"BZK", "BZL", "BST", "EKEU", "VKEU", "MWST", "ARTN", "EINH",
                                 "GRUP", "MATCH0", "LAART", "BSTN", "DEZ"})
            fields_.push_back(s.fieldNumber(name));
    }
    // The k-th article, deterministic.
    void append(long k) {
        const unsigned h = static_cast<unsigned>(k * 2654435761u);
        const std::string noun = to1252(kNouns[h % 6]);
        const double ek = 0.05 + (h % 25000) / 100.0;
        char ekText[32], vkText[32];
        std::snprintf(ekText, sizeof ekText, "%.2f", ek);
        std::snprintf(vkText, sizeof vkText, "%.2f", ek * 1.4);
        char number[32];
        std::snprintf(number, sizeof number, "AB-%07ld", (k * 7919 + 104729) % 10000000);
        const std::string values[] = {noun + " " + to1252(kAttributes[h % 5]),
                                      "Lieferant " + std::to_string(h % 40),
                                      std::to_string(h % 500),
                                      ekText,
                                      vkText,
                                      h % 10 == 0 ? "7" : "19",
                                      std::to_string(100000 + k),
                                      to1252(kUnits[h % 4]),
                                      std::to_string(1 + h % 20),
                                      noun,
                                      h % 5 == 0 ? "F" : "T",
                                      number,
                                      "2"};
        check(DbAppendRecord(t_), "DbAppendRecord");
        for (size_t i = 0; i < fields_.size(); ++i)
            check(DbSetField(t_, fields_[i], values[i].c_str(), uint32_t(values[i].size())),
                  "DbSetField");
        check(DbWriteRecord(t_), "DbWriteRecord");
    }

private:
    DBHANDLE t_;
    std::vector<uint16_t> fields_;
};

std::string value(PGconn *c, const std::string &sql, const char *param = nullptr) {
    PGresult *r = PQexecParams(c, sql.c_str(), param ? 1 : 0, nullptr, &param, nullptr, nullptr, 0);
    std::string out = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0)
                                                                               : std::string();
    PQclear(r);
    return out;
}

void exec(PGconn *c, const std::string &sql) {
    PGresult *r = PQexec(c, sql.c_str());
    const ExecStatusType s = PQresultStatus(r);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "%s: %s", sql.c_str(), PQresultErrorMessage(r));
        std::exit(4);
    }
    PQclear(r);
}

void print(const char *what, long rows, const Timing &t) {
    std::printf("  %-44s %8ld rows %7.2f s wall %7.2f s CPU (%5.2f here + %5.2f server)  "
                "%7.0f rows/s wall %7.0f rows/s CPU\n",
                what, rows, t.wall, t.cpu(), t.client, t.server, rows / t.wall, rows / t.cpu());
}

} // namespace

int main(int argc, char **argv) {
    long rows = 100000, single = 5000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc)
            rows = std::max(1L, std::atol(argv[++i]));
        else if (std::strcmp(argv[i], "--single") == 0 && i + 1 < argc)
            single = std::max(0L, std::atol(argv[++i]));
        else {
            std::fprintf(stderr, "usage: remote_append_bench [--rows N] [--single N]\n");
            return 1;
        }
    }
    PGconn *admin = PQconnectdb("application_name=remote_append_bench");
    if (PQstatus(admin) != CONNECTION_OK) {
        std::fprintf(stderr, "no server: %s", PQerrorMessage(admin));
        return 1;
    }
    const std::string dataSet = "/bench/appends-" + std::to_string(getpid());
    double load[1] = {0};
    getloadavg(load, 1);
    std::printf("remote server %s (PostgreSQL %d), %ld article records, load average %.2f\n",
                PQhost(admin), PQserverVersion(admin), rows, load[0]);

    const std::set<int> before = engineSessions(admin);
    DBHANDLE c = 0;
    check(DbConnect(dataSet.c_str(), DB_SERVER_REMOTE, "", "", DB_CONNECT_CREATE, &c), "DbConnect");
    int pid = 0;
    for (int p : engineSessions(admin))
        if (!before.count(p))
            pid = p;
    const std::string schema =
        value(admin,
              "SELECT quote_ident(schema_name) FROM dbe_catalog.datasets WHERE path_key = "
              "upper($1)",
              dataSet.c_str());
    auto relation = [&](const char *table) {
        return schema + "." +
               value(admin,
                     "SELECT quote_ident(relation) FROM " + schema +
                         ".dbe_tables WHERE name_key = upper($1)",
                     table);
    };
    HostSchema::Table bulkSchema = HostSchema::articles(), singleSchema = bulkSchema,
                      copySchema = bulkSchema;
    singleSchema.fileName = "Single.TBL";
    copySchema.fileName = "Copy.TBL";
    DBHANDLE bulk = 0, one = 0, copy = 0;
    check(HostSchema::createTable(c, bulkSchema, &bulk), "create");
    check(HostSchema::createTable(c, singleSchema, &one), "create");
    check(HostSchema::createTable(c, copySchema, &copy), "create");

    std::printf("appending through the engine:\n");
    Articles a(bulk);
    Stopwatch bulkWatch(pid);
    check(DbBeginTransaction(bulk), "DbBeginTransaction");
    for (long k = 1; k <= rows; ++k)
        a.append(k);
    check(DbCommitTransaction(bulk), "DbCommitTransaction");
    const Timing bulkTime = bulkWatch.stop();
    print("inside a transaction (held, sent in bulk)", rows, bulkTime);

    Timing singleTime;
    if (single > 0) {
        Articles s(one);
        Stopwatch singleWatch(pid);
        for (long k = 1; k <= single; ++k)
            s.append(k);
        singleTime = singleWatch.stop();
        print("one by one (one statement each)", single, singleTime);
    }

    // The same rows as the engine stored them, into a table of the same layout with the
    // server's COPY on a plain session: the floor of what taking the rows costs.
    const std::string from = relation("ArtikelMain.TBL"), to = relation("Copy.TBL");
    std::string columns;
    {
        PGresult *r = PQexec(admin, ("SELECT string_agg(quote_ident(attname), ', ' ORDER BY "
                                     "attnum) FROM pg_attribute WHERE attrelid = '" +
                                     from + "'::regclass AND attnum > 0 AND NOT attisdropped")
                                        .c_str());
        columns = PQgetvalue(r, 0, 0);
        PQclear(r);
    }
    std::string data;
    {
        PQclear(PQexec(admin, ("COPY (SELECT " + columns + " FROM " + from +
                               " ORDER BY dbe_recno) TO STDOUT (FORMAT binary)")
                                  .c_str()));
        char *buf = nullptr;
        int n;
        while ((n = PQgetCopyData(admin, &buf, 0)) > 0) {
            data.append(buf, size_t(n));
            PQfreemem(buf);
        }
        PQclear(PQgetResult(admin));
    }
    PGconn *plain = PQconnectdb("application_name=remote_append_bench_copy");
    Stopwatch copyWatch(PQbackendPID(plain));
    exec(plain, "BEGIN");
    PGresult *r =
        PQexec(plain, ("COPY " + to + " (" + columns + ") FROM STDIN (FORMAT binary)").c_str());
    PQclear(r);
    PQputCopyData(plain, data.data(), int(data.size()));
    PQputCopyEnd(plain, nullptr);
    r = PQgetResult(plain);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        std::fprintf(stderr, "COPY: %s", PQresultErrorMessage(r));
        return 4;
    }
    PQclear(r);
    exec(plain, "COMMIT");
    const Timing copyTime = copyWatch.stop();
    PQfinish(plain);
    std::printf("reference:\n");
    print("the server's COPY of the same rows", rows, copyTime);
    const long stored = std::atol(value(admin, "SELECT count(*) FROM " + from).c_str());
    const long copied = std::atol(value(admin, "SELECT count(*) FROM " + to).c_str());
    std::printf("stored %ld, copied %ld; inside a transaction %.1f times the rate one by one "
                "(CPU), %.2f times the CPU of COPY\n",
                stored, copied,
                single > 0 ? (rows / bulkTime.cpu()) / (single / singleTime.cpu()) : 0.0,
                bulkTime.cpu() / copyTime.cpu());

    DbDisconnect(c);
    exec(admin, "DROP SCHEMA " + schema + " CASCADE");
    value(admin, "DELETE FROM dbe_catalog.datasets WHERE path_key = upper($1)", dataSet.c_str());
    getloadavg(load, 1);
    std::printf("load average %.2f at the end\n", load[0]);
    PQfinish(admin);
    return stored == rows && copied == rows ? 0 : 5;
}
