// The throwaway PostgreSQL server of scripts/pg-scratch, for the tests that run on the remote
// server. ctest starts it (fixture "pg_scratch") and runs the remote instance of a test
// program with DUPCHECK_TEST_SERVER naming its socket folder; such a test then connects with
// server type 2 to a data set of its own, which it removes again at the end.
#pragma once

#include <libpq-fe.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace ScratchServer {

// Whether this run of the tests is the one on the remote server.
inline bool inUse() {
    const char *s = std::getenv("DUPCHECK_TEST_SERVER");
    return s && *s;
}

// Points libpq's environment at the scratch server (for this process and the programs it
// starts), whatever the environment named before: the tests never touch another server.
inline void useIt() {
    const char *socket = std::getenv("DUPCHECK_TEST_SERVER");
    if (!socket || !*socket)
        return;
    setenv("PGHOST", socket, 1);
    setenv("PGPORT", "5432", 1);
    setenv("PGUSER", "postgres", 1);
    setenv("PGDATABASE", "dupcheck", 1);
    for (const char *v : {"PGSERVICE", "PGPASSWORD", "PGHOSTADDR", "PGOPTIONS", "PGSERVICEFILE"})
        unsetenv(v);
}

// A data set name no other test uses: the test's name, the process and a counter.
inline std::string uniqueDataSet(const std::string &tag) {
    static std::atomic<int> counter{0};
    return "/tests/" + tag + "/" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

// Runs SQL as the scratch server's superuser; throws with the server's message on failure.
inline void execute(const std::string &sql) {
    PGconn *c = PQconnectdb("");
    if (PQstatus(c) != CONNECTION_OK) {
        std::string message = PQerrorMessage(c);
        PQfinish(c);
        throw std::runtime_error("scratch server: " + message);
    }
    PGresult *r = PQexec(c, sql.c_str());
    const ExecStatusType s = PQresultStatus(r);
    std::string message = PQresultErrorMessage(r);
    PQclear(r);
    PQfinish(c);
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        throw std::runtime_error("scratch server: " + message);
}

// Removes a data set made by a test: its schema and its catalogue entry. The path must be one
// of uniqueDataSet's (plain letters, digits, "/", "-" and "_"), as it goes into the SQL text.
inline void dropDataSet(const std::string &path) {
    for (char c : path)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/' && c != '-' && c != '_')
            throw std::invalid_argument("dropDataSet: unexpected path " + path);
    std::string key;
    for (char c : path)
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    execute("DO $$ DECLARE s text; BEGIN "
            "SELECT schema_name INTO s FROM dbe_catalog.datasets WHERE path_key = '" +
            key +
            "'; IF s IS NOT NULL THEN EXECUTE 'DROP SCHEMA ' || quote_ident(s) || ' CASCADE'; "
            "DELETE FROM dbe_catalog.datasets WHERE path_key = '" +
            key + "'; END IF; END $$");
}

} // namespace ScratchServer
