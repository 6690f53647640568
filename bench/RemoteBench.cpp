// Figures for the remote server: the whole check as the user's click on "Überprüfen" runs it
// (TFMain started as the host starts it with server kind "2"), next to the SQL query of the
// same duplicate list with bookings, sent to the same server in the same run; hard seeks on the
// bookings index "ID_ART" through the engine's C interface over the server's socket, next to
// the same lookups as plain libpq statements and to a statement that reads no table; and
// Locates of articles by "ID" through the data layer, with the found record's fields read.
//
//   remote_bench DATASET [--runs N] [--seeks N] [--seek-rounds N] [--locates N]
//
// --runs 0 measures the seeks and Locates only.
//
// The server is the one libpq's environment names (PGHOST, ...). DATASET is made by
//   dupcheck-host --remote demo DATASET --articles 1000000 --seed 1
// for instance on the throwaway server of scripts/pg-scratch.
//
// CPU time counts both sides: this process's and that of its server sessions (the server
// processes of this run's connections, read from /proc, so the server must run on this
// machine). The machine is shared with builds, so wall time is printed beside it only.
#include "CheckWindowRun.h"
#include "RemoteBenchSupport.h"
#include "check/TFMain.h"
#include "data/DbConnection.h"
#include "data/DbServerTypes.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "data/ui/LoginDialog.h"
#include "dbeng.h"
#include "engine/src/remote/RoundTrips.h"
#include "feedback/Cursors.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TSBHTM.h"
#include "platform/CommandLine.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <libpq-fe.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <set>
#include <unistd.h>

namespace {

double sessionsCpu(const std::set<int> &pids) {
    double sum = 0;
    for (int pid : pids)
        sum += processCpu(pid);
    return sum;
}

// The CPU of this process's server sessions while body runs, over the sessions there at its
// end (those that begin meanwhile count from zero). A session that ends meanwhile is left out:
// its process is gone, and with it what it used.
template <typename F>
double sessionsCpuDuring(PGconn *admin, F &&body) {
    std::map<int, double> before;
    for (int pid : engineSessions(admin))
        before[pid] = processCpu(pid);
    body();
    double used = 0;
    for (int pid : engineSessions(admin)) {
        auto it = before.find(pid);
        used += processCpu(pid) - (it == before.end() ? 0.0 : it->second);
    }
    return used;
}

struct Timing {
    double wall = 0;
    double client = 0;
    double server = 0;
    double cpu() const { return client + server; }
};

// Every article whose order number another article shares, with whether a bookings row refers
// to it. The empty number is stored as NULL; coalesce makes it one group (no order number is
// stored as an empty byte string), so that the articles without one form a run as in the check,
// and the join stays a hash join.
const char *const kDuplicateQuery =
    "SELECT a.\"ID\", a.\"BZK\", a.\"BSTN\", "
    "       EXISTS (SELECT 1 FROM %2 b WHERE b.\"ID_ART\" = a.\"ID\") "
    "  FROM (SELECT coalesce(\"BSTN\", ''::bytea) AS k FROM %1 GROUP BY 1 HAVING count(*) > 1) d "
    "  JOIN %1 a ON coalesce(a.\"BSTN\", ''::bytea) = d.k "
    " ORDER BY a.\"BSTN\" NULLS FIRST, a.dbe_recno";

// The records table of a table of the data set, from the engine's catalogue.
std::string relationOf(PGconn *c, const QString &dataSet, const char *table) {
    const std::string schema =
        queryValue(c,
                   "SELECT quote_ident(schema_name) FROM dbe_catalog.datasets "
                   "WHERE path_key = $1",
                   {dataSet.toUpper().toStdString()});
    if (schema.empty())
        return {};
    const std::string relation = queryValue(
        c, "SELECT quote_ident(relation) FROM " + schema + ".dbe_tables WHERE name_key = upper($1)",
        {table});
    return relation.empty() ? std::string() : schema + "." + relation;
}

struct SqlRun {
    Timing time;
    int rows = 0;
    int booked = 0;
};

// The duplicate list with bookings as one query of its own session, all rows fetched.
SqlRun runSql(const std::string &articles, const std::string &bookings) {
    SqlRun run;
    QElapsedTimer wall;
    wall.start();
    const double client = cpuNow();
    PGconn *c = PQconnectdb("application_name=remote_bench_sql");
    const int pid = PQbackendPID(c);
    const double server = processCpu(pid);
    QString sql = QString::fromLatin1(kDuplicateQuery)
                      .arg(QString::fromStdString(articles), QString::fromStdString(bookings));
    PGresult *r = PQexec(c, sql.toUtf8().constData());
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "SQL: %s\n", PQresultErrorMessage(r));
        std::exit(4);
    }
    run.rows = PQntuples(r);
    for (int i = 0; i < run.rows; ++i)
        run.booked += PQgetvalue(r, i, 3)[0] == 't';
    PQclear(r);
    run.time.server = processCpu(pid) - server;
    PQfinish(c);
    run.time.client = cpuNow() - client;
    run.time.wall = wall.nsecsElapsed() / 1e9;
    return run;
}

// The keys looked up one by one with a prepared statement of one parameter through libpq, one
// round trip each: the time of this process and of the statement's session, and how many of
// them found a row.
struct Lookups {
    Timing time;
    int found = 0;
};
Lookups plainLookups(PGconn *c, const char *statement, const std::vector<std::string> &keys) {
    Lookups out;
    QElapsedTimer wall;
    wall.start();
    const int pid = PQbackendPID(c);
    const double client = cpuNow(), server = processCpu(pid);
    for (const std::string &key : keys) {
        const char *values[] = {key.c_str()};
        PGresult *r = PQexecPrepared(c, statement, 1, values, nullptr, nullptr, 0);
        out.found += PQntuples(r) > 0;
        PQclear(r);
    }
    out.time = Timing{wall.nsecsElapsed() / 1e9, cpuNow() - client, processCpu(pid) - server};
    return out;
}

void print(const char *what, const Timing &t, int rows) {
    std::printf("  %-34s %7.3f s CPU (%6.3f here + %6.3f server)  %7.3f s wall  %6d rows\n", what,
                t.cpu(), t.client, t.server, t.wall, rows);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString dataSet;
    int runs = 3;
    int seeks = 200000;
    int seekRounds = 1;
    int locates = 50000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(0, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--seeks") == 0 && i + 1 < argc)
            seeks = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--seek-rounds") == 0 && i + 1 < argc)
            seekRounds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--locates") == 0 && i + 1 < argc)
            locates = std::max(1, std::atoi(argv[++i]));
        else
            dataSet = QString::fromLocal8Bit(argv[i]);
    }
    if (dataSet.isEmpty()) {
        std::fprintf(stderr, "usage: remote_bench DATASET [--runs N] [--seeks N] [--seek-rounds N] "
                             "[--locates N]\n"
                             "  DATASET made by: dupcheck-host --remote demo DATASET "
                             "--articles 1000000 --seed 1\n");
        return 1;
    }
    PGconn *admin = PQconnectdb("application_name=remote_bench");
    if (PQstatus(admin) != CONNECTION_OK) {
        std::fprintf(stderr, "no server: %s", PQerrorMessage(admin));
        return 1;
    }
    const std::string articles = relationOf(admin, dataSet, "ArtikelMain.TBL");
    const std::string bookings = relationOf(admin, dataSet, "Artikelsub.TBL");
    if (articles.empty() || bookings.empty()) {
        std::fprintf(stderr, "the data set %s has no article or bookings table\n",
                     qPrintable(dataSet));
        return 1;
    }
    double load[1] = {0};
    getloadavg(load, 1);
    std::printf("remote server %s (PostgreSQL %d), data set %s, load average %.2f\n", PQhost(admin),
                PQserverVersion(admin), qPrintable(dataSet), load[0]);

    Fonts::setup();
    RegisterCursors();
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    InstallLoginDialog();
    Application::setErrorDisplay([](const QString &, const QString &text) { g_errors << text; });
    SetCommandLineArguments({dataSet, QStringLiteral("2"), QStringLiteral("12413")});
    QTimer modalWatch;
    watchModalWindows(modalWatch);
    TFMain form;
    Application::setMainForm(&form);
    if (runs > 0 && !startWindow(form)) {
        std::fprintf(stderr, "the window did not connect to %s: %s\n", qPrintable(dataSet),
                     qPrintable(g_errors.join(u' ')));
        return 3;
    }
    const std::set<int> sessions = engineSessions(admin);

    std::vector<Timing> checks;
    std::vector<SqlRun> queries;
    int checkRows = 0;
    for (int run = 1; run <= runs; ++run) {
        QCoreApplication::processEvents();
        QElapsedTimer wall;
        wall.start();
        const double client = cpuNow();
        const double server = sessionsCpuDuring(admin, [&] {
            guarded([&] { form.FlatButton4->Click(); });
            QCoreApplication::processEvents();
        });
        Timing t{wall.nsecsElapsed() / 1e9, cpuNow() - client, server};
        checks.push_back(t);
        checkRows = form.KM->RecordCount();
        std::printf("run %d:\n", run);
        print("check (click on \"Überprüfen\")", t, checkRows);
        queries.push_back(runSql(articles, bookings));
        print("SQL duplicate list with bookings", queries.back().time, queries.back().rows);
    }
    auto cpuOf = [](const Timing &t) { return t.cpu(); };
    const Timing best =
        checks.empty() ? Timing{}
                       : *std::min_element(checks.begin(), checks.end(),
                                           [&](auto &a, auto &b) { return cpuOf(a) < cpuOf(b); });
    const SqlRun bestSql =
        queries.empty() ? SqlRun{}
                        : *std::min_element(queries.begin(), queries.end(), [&](auto &a, auto &b) {
                              return a.time.cpu() < b.time.cpu();
                          });

    // Seeks on "ID_ART" through the C interface, on a connection of their own, with keys
    // spread over the article numbers; and the same lookups as plain prepared statements
    // through libpq, one round trip each, on a session of their own. The two alternate for the
    // given number of rounds; the best round of each counts (the machine is shared).
    DBHANDLE c = 0, t = 0, ix = 0;
    if (DbConnect(dataSet.toLocal8Bit().constData(), DB_SERVER_REMOTE, "", "", 0, &c) != 0 ||
        DbOpenTable(c, "Artikelsub.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t) != 0 ||
        DbGetIndexHandle(t, "ID_ART", &ix) != 0) {
        std::fprintf(stderr, "cannot open the bookings table through the engine\n");
        return 3;
    }
    const std::set<int> seekSession = [&] {
        std::set<int> all = engineSessions(admin), out;
        for (int pid : all)
            if (!sessions.count(pid))
                out.insert(pid);
        return out;
    }();
    const uint32_t articleCount = [&] {
        PGresult *r = PQexec(admin, ("SELECT count(*) FROM " + articles).c_str());
        const uint32_t n = uint32_t(std::atol(PQgetvalue(r, 0, 0)));
        PQclear(r);
        return n;
    }();
    std::vector<std::string> keys;
    std::mt19937 random(1);
    for (int i = 0; i < seeks; ++i)
        keys.push_back(std::to_string(1 + random() % std::max<uint32_t>(1, articleCount)));

    PGconn *plain = PQconnectdb("application_name=remote_bench_plain");
    const int plainPid = PQbackendPID(plain);
    const std::string lookup =
        "SELECT dbe_recno FROM " + bookings + " WHERE \"ID_ART\" = $1::integer LIMIT 1";
    PQclear(PQprepare(plain, "lookup", lookup.c_str(), 1, nullptr));
    // The least any statement costs: one that reads no table, so that what a lookup adds on the
    // server beside the round trip shows.
    PQclear(PQprepare(plain, "echo", "SELECT $1::integer", 1, nullptr));

    Timing seekTime, plainTime, echoTime;
    int found = 0, plainFound = 0;
    for (int round = 1; round <= seekRounds; ++round) {
        found = 0;
        QElapsedTimer wall;
        wall.start();
        const double client = cpuNow(), server = sessionsCpu(seekSession);
        for (const std::string &key : keys) {
            uint16_t hit = 0;
            DbSeek(ix, reinterpret_cast<const uint8_t *>(key.data()), uint16_t(key.size()),
                   DB_KEY_TEXT, DB_SEEK_HARD, &hit);
            found += hit;
        }
        const Timing s{wall.nsecsElapsed() / 1e9, cpuNow() - client,
                       sessionsCpu(seekSession) - server};
        const Lookups lookups = plainLookups(plain, "lookup", keys);
        plainFound = lookups.found;
        const Timing &p = lookups.time;
        wall.restart();
        const double echoClient = cpuNow(), echoServer = processCpu(plainPid);
        for (const std::string &key : keys) {
            const char *values[] = {key.c_str()};
            PQclear(PQexecPrepared(plain, "echo", 1, values, nullptr, nullptr, 0));
        }
        const Timing e{wall.nsecsElapsed() / 1e9, cpuNow() - echoClient,
                       processCpu(plainPid) - echoServer};
        std::printf("seek round %d: engine %.0f per s of CPU (%.1f + %.1f us), %.0f per s wall; "
                    "plain %.0f per s of CPU (%.1f + %.1f us), %.0f per s wall; "
                    "no table %.0f per s of CPU (%.1f + %.1f us), %.0f per s wall\n",
                    round, seeks / s.cpu(), 1e6 * s.client / seeks, 1e6 * s.server / seeks,
                    seeks / s.wall, seeks / p.cpu(), 1e6 * p.client / seeks, 1e6 * p.server / seeks,
                    seeks / p.wall, seeks / e.cpu(), 1e6 * e.client / seeks, 1e6 * e.server / seeks,
                    seeks / e.wall);
        if (round == 1 || s.cpu() < seekTime.cpu())
            seekTime = s;
        if (round == 1 || p.cpu() < plainTime.cpu())
            plainTime = p;
        if (round == 1 || e.cpu() < echoTime.cpu())
            echoTime = e;
    }
    DbDisconnect(c);
    PQfinish(plain);

    // Locates of articles by "ID" through the data layer, as the check's changes and deletions
    // find their articles, each found record's order number and name read; one key in ten is
    // past the last article, so that the misses' cost shows too. Beside them the same lookups
    // as plain prepared statements through libpq that return the whole record, as the Locate
    // reads it. The two alternate for the seek rounds; the best round of each counts.
    QObject owner;
    owner.setObjectName(QStringLiteral("FMain"));
    auto *locateConnection = new TDbConnection(&owner);
    locateConnection->setObjectName(QStringLiteral("BenchConnection"));
    locateConnection->SetDbServerTypes(stDB_REMOTE);
    locateConnection->SetConnectPath(dataSet);
    auto *articleTable = new TDbTable(&owner);
    articleTable->setObjectName(QStringLiteral("BenchArticles"));
    articleTable->SetDbConnection(locateConnection);
    articleTable->SetTableName(QStringLiteral("ArtikelMain.TBL"));
    try {
        articleTable->Open();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "cannot open the article table through the data layer: %s\n",
                     e.what());
        return 3;
    }
    const std::set<int> locateSession = [&] {
        std::set<int> out;
        for (int pid : engineSessions(admin))
            if (!sessions.count(pid))
                out.insert(pid);
        return out;
    }();
    std::vector<int> locateKeys;
    std::vector<std::string> locateKeyTexts;
    for (int i = 0; i < locates; ++i) {
        locateKeys.push_back(i % 10 == 9 ? int(articleCount) + 1 + i
                                         : int(1 + random() % std::max<uint32_t>(1, articleCount)));
        locateKeyTexts.push_back(std::to_string(locateKeys.back()));
    }
    TField *bstnField = articleTable->FieldByName(QStringLiteral("BSTN"));
    TField *bzkField = articleTable->FieldByName(QStringLiteral("BZK"));
    const std::string articleLookup =
        "SELECT * FROM " + articles + " WHERE \"ID\" = $1::integer LIMIT 1";
    PGconn *plainArticles = PQconnectdb("application_name=remote_bench_plain");
    PQclear(PQprepare(plainArticles, "article", articleLookup.c_str(), 1, nullptr));
    Timing locateTime, plainLocateTime;
    int located = 0, plainLocated = 0;
    double tripsPerLocate = 0;
    qsizetype readBytes = 0;
    for (int round = 1; round <= seekRounds; ++round) {
        located = 0;
        QElapsedTimer wall;
        wall.start();
        const uint64_t trips = dbeng::remoteRoundTrips();
        const double client = cpuNow(), server = sessionsCpu(locateSession);
        for (int key : locateKeys) {
            if (articleTable->Locate(QStringLiteral("ID"), key, {})) {
                ++located;
                readBytes += bstnField->AsString().size() + bzkField->AsString().size();
            }
        }
        const Timing l{wall.nsecsElapsed() / 1e9, cpuNow() - client,
                       sessionsCpu(locateSession) - server};
        tripsPerLocate = double(dbeng::remoteRoundTrips() - trips) / locates;
        const Lookups lookups = plainLookups(plainArticles, "article", locateKeyTexts);
        plainLocated = lookups.found;
        const Timing &p = lookups.time;
        std::printf("locate round %d: data layer %.0f per s of CPU (%.1f + %.1f us), %.0f per s "
                    "wall, %.2f round trips each; plain %.0f per s of CPU (%.1f + %.1f us), %.0f "
                    "per s wall\n",
                    round, locates / l.cpu(), 1e6 * l.client / locates, 1e6 * l.server / locates,
                    locates / l.wall, tripsPerLocate, locates / p.cpu(), 1e6 * p.client / locates,
                    1e6 * p.server / locates, locates / p.wall);
        if (round == 1 || l.cpu() < locateTime.cpu())
            locateTime = l;
        if (round == 1 || p.cpu() < plainLocateTime.cpu())
            plainLocateTime = p;
    }
    articleTable->Close();
    PQfinish(plainArticles);

    if (runs > 0) {
        std::printf("\nrows: check %d, SQL query %d (%d with bookings)\n", checkRows, bestSql.rows,
                    bestSql.booked);
        for (const QString &box : std::as_const(g_boxes))
            std::printf("message box: %s\n", qPrintable(box));
        for (const QString &error : std::as_const(g_errors))
            std::printf("error display: %s\n", qPrintable(error));
        std::printf("fastest of %d:\n", runs);
        print("check", best, checkRows);
        print("SQL query", bestSql.time, bestSql.rows);
        std::printf("  ratio %.2f CPU, %.2f wall (goal: at most 2)\n",
                    best.cpu() / bestSql.time.cpu(), best.wall / bestSql.time.wall);
    }
    std::printf("best of %d seek rounds:\n", seekRounds);
    std::printf("seeks on \"ID_ART\": %d (%d found), %.0f per s of CPU (%.3f s here + %.3f s "
                "server), %.0f per s wall (goal: at least 20,000)\n",
                seeks, found, seeks / seekTime.cpu(), seekTime.client, seekTime.server,
                seeks / seekTime.wall);
    std::printf("the same lookups as plain prepared statements: %d found, %.0f per s of CPU "
                "(%.3f s here + %.3f s server), %.0f per s wall\n",
                plainFound, seeks / plainTime.cpu(), plainTime.client, plainTime.server,
                seeks / plainTime.wall);
    std::printf("a prepared statement that reads no table (\"SELECT $1::integer\"), the least "
                "a round trip costs: %.0f per s of CPU (%.3f s here + %.3f s server), %.0f per s "
                "wall\n",
                seeks / echoTime.cpu(), echoTime.client, echoTime.server, seeks / echoTime.wall);
    std::printf("Locates of articles by \"ID\" (data layer, record read): %d (%d found), %.0f per "
                "s of CPU (%.3f s here + %.3f s server), %.0f per s wall, %.2f round trips each\n",
                locates, located, locates / locateTime.cpu(), locateTime.client, locateTime.server,
                locates / locateTime.wall, tripsPerLocate);
    std::printf("the same lookups as plain prepared statements (whole record): %d found, %.0f per "
                "s of CPU (%.3f s here + %.3f s server), %.0f per s wall\n",
                plainLocated, locates / plainLocateTime.cpu(), plainLocateTime.client,
                plainLocateTime.server, locates / plainLocateTime.wall);
    if (readBytes == 0)
        std::printf("(no field was read)\n");
    getloadavg(load, 1);
    std::printf("load average %.2f at the end\n", load[0]);
    Application::setMainForm(nullptr);
    ResetCommandLineArguments();
    PQfinish(admin);
    return checkRows == std::min(bestSql.rows, checkRows) ? 0 : 5;
}
