// What the remote server's benchmarks share: CPU time of this process and of another process
// on this machine (a server session, from /proc), and the server sessions of the engine.
#pragma once

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

inline double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// CPU seconds (user + system) a process has used, from /proc/PID/stat; 0 when it is gone.
inline double processCpu(int pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
    FILE *f = std::fopen(path, "r");
    if (!f)
        return 0;
    char buf[1024] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = 0;
    const char *p = std::strrchr(buf, ')');
    if (!p)
        return 0;
    unsigned long utime = 0, stime = 0;
    // Fields after the name: state, then 10 numbers, then utime and stime (fields 14, 15).
    std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime);
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// The server processes of the engine's connections (the engine names itself "dupcheck" to the
// server; over a socket the client's port is no help).
inline std::set<int> engineSessions(PGconn *admin) {
    std::set<int> out;
    PGresult *r = PQexec(admin, "SELECT pid FROM pg_stat_activity WHERE application_name = "
                                "'dupcheck' AND pid <> pg_backend_pid()");
    for (int i = 0; i < PQntuples(r); ++i)
        out.insert(std::atoi(PQgetvalue(r, i, 0)));
    PQclear(r);
    return out;
}

// One value of a query with text parameters; empty when there is no row.
inline std::string queryValue(PGconn *c, const std::string &sql,
                              const std::vector<std::string> &args) {
    std::vector<const char *> params;
    for (const std::string &a : args)
        params.push_back(a.c_str());
    PGresult *r = PQexecParams(c, sql.c_str(), int(params.size()), nullptr, params.data(), nullptr,
                               nullptr, 0);
    std::string out = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0)
                                                                               : std::string();
    PQclear(r);
    return out;
}
