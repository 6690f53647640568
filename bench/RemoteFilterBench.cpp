// Figures for a filter that compares without regard to case on the remote server: a walk over
// the whole article table through the engine's C interface with (UPPER(BZK)=UPPER("...")) set,
// next to the same filter as one plain SQL query with the server's own upper() (which, under
// the C collation of the scratch server, changes only ASCII letters), sent to the same server
// in the same run.
//
//   remote_filter_bench DATASET [--runs N] [--text TEXT]
//
// Both sessions run without parallel workers (PGOPTIONS), so that the CPU of a query is that of
// its one server process. DATASET is loaded with bench/load-remote.sh /work/bench-data/demo1m
// DATASET (or made with dupcheck-host --remote demo DATASET --articles 1000000 --seed 1); TEXT is
// the short name looked for, in Windows-1252 (default "drahtseil für außen", lower case). The
// server is the one libpq's environment names; it must run on this machine, as the CPU time counts
// both this process and its server session (from /proc). Wall time is printed beside it only.
#include "EngineCheck.h"
#include "RemoteBenchSupport.h"
#include "dbeng.h"

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double wall = 0;
    double cpu = 0; // this process and its server session
    long rows = 0;
};

// The server process of the session the engine opened last (it names itself "dupcheck").
int engineSession(PGconn *admin) {
    std::set<int> pids = engineSessions(admin);
    return pids.empty() ? 0 : *pids.rbegin();
}

Run walkFiltered(PGconn *admin, const std::string &dataSet, const std::string &filter) {
    DBHANDLE c = 0, t = 0;
    CHECK(DbConnect(dataSet.c_str(), DB_SERVER_REMOTE, "", "", 0, &c));
    CHECK(DbOpenTable(c, "ArtikelMain.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
    const int session = engineSession(admin);
    Run run;
    const auto start = Clock::now();
    const double client = cpuNow(), server = processCpu(session);
    CHECK(DbSetFilter(t, filter.c_str()));
    CHECK(DbGotoTop(t));
    while (true) {
        uint16_t eof = 0;
        CHECK(DbAtEOF(t, &eof));
        if (eof)
            break;
        ++run.rows;
        CHECK(DbSkip(t, 1));
    }
    run.cpu = (cpuNow() - client) + (processCpu(session) - server);
    run.wall = std::chrono::duration<double>(Clock::now() - start).count();
    CHECK(DbCloseTable(t));
    CHECK(DbDisconnect(c));
    return run;
}

// The same filter as one query of its own session: every matching record number in record
// order, as the walk reads them, the text compared through the server's upper().
Run plainSql(const std::string &relation, const std::string &text) {
    PGconn *c = PQconnectdb("application_name=remote_filter_bench_sql");
    if (PQstatus(c) != CONNECTION_OK) {
        std::fprintf(stderr, "no server: %s", PQerrorMessage(c));
        std::exit(1);
    }
    const int session = PQbackendPID(c);
    Run run;
    const auto start = Clock::now();
    const double client = cpuNow(), server = processCpu(session);
    const std::string sql = "SELECT dbe_recno FROM " + relation +
                            " WHERE upper(convert_from(\"BZK\", 'LATIN1')) = "
                            "upper(convert_from($1::bytea, 'LATIN1')) ORDER BY dbe_recno";
    const char *params[] = {text.c_str()};
    const int lengths[] = {int(text.size())};
    const int formats[] = {1};
    PGresult *r = PQexecParams(c, sql.c_str(), 1, nullptr, params, lengths, formats, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "plain SQL failed: %s", PQresultErrorMessage(r));
        std::exit(1);
    }
    run.rows = PQntuples(r);
    PQclear(r);
    run.cpu = (cpuNow() - client) + (processCpu(session) - server);
    run.wall = std::chrono::duration<double>(Clock::now() - start).count();
    PQfinish(c);
    return run;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    std::string dataSet;
    std::string text = "drahtseil f\xfcr au\xdf"
                       "en";
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--text") == 0 && i + 1 < argc)
            text = argv[++i];
        else
            dataSet = argv[i];
    }
    if (dataSet.empty()) {
        std::fprintf(stderr, "usage: remote_filter_bench DATASET [--runs N] [--text TEXT]\n"
                             "  DATASET loaded by: bench/load-remote.sh FOLDER DATASET\n");
        return 1;
    }
    // Parallel workers would be processes of their own, which the CPU count does not see.
    setenv("PGOPTIONS", "-c max_parallel_workers_per_gather=0", 1);
    PGconn *admin = PQconnectdb("application_name=remote_filter_bench");
    if (PQstatus(admin) != CONNECTION_OK) {
        std::fprintf(stderr, "no server: %s", PQerrorMessage(admin));
        return 1;
    }
    std::string key = dataSet;
    for (char &ch : key)
        ch = char(std::toupper(static_cast<unsigned char>(ch)));
    const std::string schema = queryValue(
        admin, "SELECT quote_ident(schema_name) FROM dbe_catalog.datasets WHERE path_key = $1",
        {key});
    const std::string relation =
        schema.empty() ? std::string()
                       : queryValue(admin,
                                    "SELECT quote_ident(relation) FROM " + schema +
                                        ".dbe_tables WHERE name_key = 'ARTIKELMAIN.TBL'",
                                    {});
    if (relation.empty()) {
        std::fprintf(stderr, "the data set %s has no article table\n", dataSet.c_str());
        return 1;
    }
    const std::string table = schema + "." + relation;
    const std::string records = queryValue(admin, "SELECT count(*) FROM " + table, {});
    double load[1] = {0};
    getloadavg(load, 1);
    const std::string filter = "(UPPER(BZK)=UPPER(\"" + text + "\"))";
    std::string shown; // the filter for the terminal: Windows-1252 letters beyond ASCII as LATIN1
    for (char ch : filter) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            shown += ch;
        } else {
            shown += static_cast<char>(0xC0 | (c >> 6));
            shown += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    std::printf("data: %s, %s articles; filter %s; %d runs, load %.1f\n", dataSet.c_str(),
                records.c_str(), shown.c_str(), runs, load[0]);
    std::vector<double> engineCpu, engineWall, sqlCpu, sqlWall;
    long engineRows = -1, sqlRows = -1;
    for (int i = 0; i < runs; ++i) {
        const Run e = walkFiltered(admin, dataSet, filter);
        const Run s = plainSql(table, text);
        engineCpu.push_back(e.cpu);
        engineWall.push_back(e.wall);
        sqlCpu.push_back(s.cpu);
        sqlWall.push_back(s.wall);
        engineRows = e.rows;
        sqlRows = s.rows;
    }
    std::printf("engine walk with the filter: %ld records, CPU %.3f s (median), wall %.3f s\n",
                engineRows, median(engineCpu), median(engineWall));
    std::printf("plain SQL with upper():      %ld records, CPU %.3f s (median), wall %.3f s\n",
                sqlRows, median(sqlCpu), median(sqlWall));
    std::printf("ratio engine/SQL (CPU): %.2f\n", median(engineCpu) / median(sqlCpu));
    if (engineRows != sqlRows)
        std::printf("note: the two found different numbers of records (the engine also "
                    "changes the case of letters beyond ASCII)\n");
    PQfinish(admin);
    return 0;
}
