// Figures for the whole check, as the user's click on "Überprüfen" runs it: the main window
// started as the program starts it, the scan and the bookings pass through TFMain with the
// message loop running while they walk the records, next to the SQL query that lists the
// same articles (every article whose order number another article shares, and whether it has
// bookings) run through SQLite directly on the same table files. Prints times, their ratio,
// the rows both listed and the process's memory; it ends with 5 when the rows differ.
//
//   check_bench DIR [--runs N]
//
// DIR is made by: dupcheck-host demo DIR --articles 1000000 --seed 1
//
// The check and the query alternate N times (default 3) and the fastest run of each counts,
// so both meet a warm file cache. CPU time of the process is the comparable figure on a
// machine shared with builds; wall time is printed beside it. The check runs first, so the
// memory peak after the first check is the program's own, before the query's connection has
// read anything.
#include "CheckWindowRun.h"
#include "check/TFMain.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "data/ui/LoginDialog.h"
#include "feedback/Cursors.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TSBHTM.h"
#include "platform/CommandLine.h"
#include "platform/Cp1252.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// CPU time of the whole process: the offscreen painting and any helper thread of Qt count.
double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Peak resident memory of the process so far (getrusage), in MB.
double peakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Resident memory now, split into anonymous memory (heap) and mapped file pages (the table
// files SQLite maps), in MB; read from /proc/self/status.
struct Resident {
    double total = 0;
    double anon = 0;
    double file = 0;
};

Resident residentNow() {
    Resident r;
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return r;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        long kb = 0;
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
            r.total = double(kb) / 1024.0;
        else if (std::sscanf(line, "RssAnon: %ld kB", &kb) == 1)
            r.anon = double(kb) / 1024.0;
        else if (std::sscanf(line, "RssFile: %ld kB", &kb) == 1)
            r.file = double(kb) / 1024.0;
    }
    std::fclose(f);
    return r;
}

// Resident pages of each mapped table file ("ArtikelMain.TBL 12.3 MB, ..."), from
// /proc/self/smaps: SQLite maps the table files, and what a walk touches stays resident.
QString mappedTables() {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, double> byFile;
    QString current;
    // The file reports no size, so it is read to its end in one go rather than up to atEnd().
    const QList<QByteArray> lines = smaps.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (!line.contains(':') || line.indexOf(' ') < line.indexOf(':')) {
            // A mapping's header: address range, permissions, offset, device, inode, path.
            const QList<QByteArray> parts = line.simplified().split(' ');
            current = parts.size() >= 6 ? QFile::decodeName(parts.last()) : QString();
            if (!current.endsWith(QLatin1String(".TBL"), Qt::CaseInsensitive))
                current.clear();
            continue;
        }
        if (!current.isEmpty() && line.startsWith("Rss:"))
            byFile[QFileInfo(current).fileName()] +=
                line.mid(4).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    QStringList out;
    for (auto it = byFile.cbegin(); it != byFile.cend(); ++it)
        out << QStringLiteral("%1 %2 MB").arg(it.key()).arg(it.value(), 0, 'f', 1);
    return out.isEmpty() ? QStringLiteral("none") : out.join(QStringLiteral(", "));
}

double loadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

// One listed article: what the grid shows of it.
struct Listed {
    QString bz;
    QString bstn;
    bool hasBookings = false;
};

struct Timing {
    double wall = 0;
    double cpu = 0;
};

struct CheckRun {
    Timing time;
    Timing scan;     // only for the run that calls the two passes one by one
    Timing bookings; // ditto
    QHash<int, Listed> rows;
    int rowCount = 0;
    QString status;
    double peakBefore = 0, peakAfter = 0;
    Resident before, after;
    QString mappedBefore, mappedAfter;
    double sqliteBefore = 0, sqliteAfter = 0; // SQLite's heap (page caches), MB
};

struct SqlRun {
    Timing time;
    QHash<int, Listed> rows;
    int rowCount = 0;
};

QHash<int, Listed> resultRows(TFMain &form) {
    QHash<int, Listed> rows;
    TMemTable *km = form.KM;
    for (int r = 1; r <= km->RecordCount(); ++r) {
        Listed row;
        row.bz = km->FieldValueAt(r, form.KMBZ).toString();
        row.bstn = km->FieldValueAt(r, form.KMBSTN).toString();
        row.hasBookings = km->FieldValueAt(r, form.KMHASBOOKS).toBool();
        rows.insert(km->FieldValueAt(r, form.KMID).toInt(), row);
    }
    return rows;
}

CheckRun runCheck(TFMain &form, bool passByPass) {
    CheckRun run;
    QCoreApplication::processEvents();
    run.peakBefore = peakMb();
    run.before = residentNow();
    run.mappedBefore = mappedTables();
    run.sqliteBefore = double(sqlite3_memory_used()) / 1048576.0;
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuNow();
    if (passByPass) {
        // The click's handler step by step, to see which pass the time goes to.
        guarded([&] {
            form.SetStatusText(QString());
            form.CheckDuplicates();
            run.scan = {wall.nsecsElapsed() / 1e9, cpuNow() - cpu};
            form.MarkBookings();
        });
    } else {
        guarded([&] { form.FlatButton4->Click(); });
    }
    // Until the window has drawn the result.
    QCoreApplication::processEvents();
    run.time = {wall.nsecsElapsed() / 1e9, cpuNow() - cpu};
    if (passByPass)
        run.bookings = {run.time.wall - run.scan.wall, run.time.cpu - run.scan.cpu};
    run.peakAfter = peakMb();
    run.after = residentNow();
    run.mappedAfter = mappedTables();
    run.sqliteAfter = double(sqlite3_memory_used()) / 1048576.0;
    run.rows = resultRows(form);
    run.rowCount = form.KM->RecordCount();
    run.status = form.StatusText();
    return run;
}

[[noreturn]] void sqlFailed(sqlite3 *db, const char *what) {
    std::fprintf(stderr, "SQLite: %s: %s\n", what, db ? sqlite3_errmsg(db) : "out of memory");
    std::exit(4);
}

// The articles whose order number another article shares, each with whether a bookings row
// refers to it. Order numbers are stored right-trimmed, so equal BLOBs are equal numbers with
// trailing blanks not significant; the comparison is byte by byte, so letter case counts.
// "IS" lets the articles without an order number (NULL) form a run as well, as in the check.
const char *const kDuplicateQuery =
    "SELECT a.ID, a.BZK, a.BSTN,"
    "       EXISTS (SELECT 1 FROM sub.dbe_records b WHERE b.ID_ART = a.ID)"
    "  FROM (SELECT BSTN FROM main.dbe_records GROUP BY BSTN HAVING COUNT(*) > 1) d"
    "  JOIN main.dbe_records a ON a.BSTN IS d.BSTN"
    " ORDER BY a.BSTN, a.dbe_recno";

SqlRun runSql(const QString &folder, bool showPlan) {
    const QByteArray articles = QFile::encodeName(folder + QStringLiteral("/ArtikelMain.TBL"));
    const QByteArray bookings = QFile::encodeName(folder + QStringLiteral("/Artikelsub.TBL"));
    SqlRun run;
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuNow();
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(articles.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        sqlFailed(db, "open ArtikelMain.TBL");
    sqlite3_stmt *attach = nullptr;
    if (sqlite3_prepare_v2(db, "ATTACH ? AS sub", -1, &attach, nullptr) != SQLITE_OK)
        sqlFailed(db, "ATTACH");
    sqlite3_bind_text(attach, 1, bookings.constData(), int(bookings.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(attach) != SQLITE_DONE)
        sqlFailed(db, "ATTACH Artikelsub.TBL");
    sqlite3_finalize(attach);
    // The page cache as the engine sets it for its table files (engine/src/local/TableFile.cpp),
    // so both read the same way; a memory map measured no faster for this query.
    if (sqlite3_exec(db,
                     "PRAGMA main.mmap_size=0; PRAGMA sub.mmap_size=0;"
                     "PRAGMA main.cache_size=-196608; PRAGMA sub.cache_size=-196608",
                     nullptr, nullptr, nullptr) != SQLITE_OK)
        sqlFailed(db, "PRAGMA");
    if (showPlan) {
        sqlite3_stmt *plan = nullptr;
        const QByteArray explain = QByteArray("EXPLAIN QUERY PLAN ") + kDuplicateQuery;
        if (sqlite3_prepare_v2(db, explain.constData(), -1, &plan, nullptr) != SQLITE_OK)
            sqlFailed(db, "EXPLAIN");
        std::printf("query plan:\n");
        while (sqlite3_step(plan) == SQLITE_ROW)
            std::printf("  %s\n", reinterpret_cast<const char *>(sqlite3_column_text(plan, 3)));
        sqlite3_finalize(plan);
    }
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, kDuplicateQuery, -1, &st, nullptr) != SQLITE_OK)
        sqlFailed(db, "prepare");
    int step;
    while ((step = sqlite3_step(st)) == SQLITE_ROW) {
        // The values as the grid would show them.
        Listed row;
        const char *bzk = static_cast<const char *>(sqlite3_column_blob(st, 1));
        row.bz = Cp1252::toQString(bzk, sqlite3_column_bytes(st, 1));
        const char *bstn = static_cast<const char *>(sqlite3_column_blob(st, 2));
        row.bstn = Cp1252::toQString(bstn, sqlite3_column_bytes(st, 2));
        row.hasBookings = sqlite3_column_int(st, 3) != 0;
        run.rows.insert(sqlite3_column_int(st, 0), row);
        ++run.rowCount;
    }
    if (step != SQLITE_DONE)
        sqlFailed(db, "step");
    sqlite3_finalize(st);
    sqlite3_close(db);
    run.time = {wall.nsecsElapsed() / 1e9, cpuNow() - cpu};
    // The query's page cache is freed; handing it back to the system keeps the resident memory
    // of the checks that follow the program's own.
    malloc_trim(0);
    return run;
}

// Whether the check's rows are the query's: the same articles with the same order numbers and
// the same bookings answer. When the query lists more than the check may (it stops past 5000
// duplicates), the check's rows must be a part of the query's.
bool compareRows(const CheckRun &check, const SqlRun &sql) {
    int differences = 0;
    auto report = [&](const QString &what) {
        if (++differences <= 10)
            std::printf("  difference: %s\n", qPrintable(what));
    };
    for (auto it = check.rows.cbegin(); it != check.rows.cend(); ++it) {
        const auto found = sql.rows.constFind(it.key());
        if (found == sql.rows.cend())
            report(QStringLiteral("ID %1 (\"%2\") listed by the check only")
                       .arg(it.key())
                       .arg(it->bstn));
        else if (found->bstn != it->bstn || found->bz != it->bz ||
                 found->hasBookings != it->hasBookings)
            report(QStringLiteral("ID %1: check \"%2\" \"%3\" %4, query \"%5\" \"%6\" %7")
                       .arg(it.key())
                       .arg(it->bz, it->bstn, it->hasBookings ? "Ja" : "Nein", found->bz,
                            found->bstn, found->hasBookings ? "Ja" : "Nein"));
    }
    const bool limited = sql.rowCount > 5001;
    if (!limited) {
        for (auto it = sql.rows.cbegin(); it != sql.rows.cend(); ++it) {
            if (!check.rows.contains(it.key()))
                report(QStringLiteral("ID %1 (\"%2\") listed by the query only")
                           .arg(it.key())
                           .arg(it->bstn));
        }
        if (check.rowCount != sql.rowCount)
            report(QStringLiteral("%1 rows listed by the check, %2 by the query")
                       .arg(check.rowCount)
                       .arg(sql.rowCount));
    } else if (check.rowCount != 5000 && check.rowCount != 5001) {
        report(QStringLiteral("the query lists %1 rows, the check stopped at %2 instead of 5000 "
                              "or 5001")
                   .arg(sql.rowCount)
                   .arg(check.rowCount));
    }
    if (check.rows.size() != check.rowCount)
        report(QStringLiteral("the check listed %1 rows for %2 articles")
                   .arg(check.rowCount)
                   .arg(check.rows.size()));
    if (differences > 10)
        std::printf("  ... %d differences in all\n", differences);
    return differences == 0;
}

void printRun(const char *what, int run, const Timing &t, int rows) {
    std::printf("run %d: %-36s %8.3f s wall %8.3f s CPU  %6d rows\n", run, what, t.wall, t.cpu,
                rows);
}

} // namespace

int main(int argc, char **argv) {
    // A benchmark has no screen to draw on; the offscreen platform still paints every widget.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString folder;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (folder.isEmpty())
            folder = QDir(QFile::decodeName(argv[i])).absolutePath();
    }
    if (folder.isEmpty()) {
        std::fprintf(stderr, "usage: check_bench DIR [--runs N]\n"
                             "  DIR made by: dupcheck-host demo DIR --articles 1000000 --seed 1\n");
        return 1;
    }
    for (const char *table : {"ArtikelMain.TBL", "Artikelsub.TBL", "setup.TBL"}) {
        if (!QFileInfo::exists(folder + u'/' + QLatin1String(table))) {
            std::fprintf(stderr,
                         "%s has no %s. Make the demo folder first (about 3 minutes):\n"
                         "  build/bin/dupcheck-host demo %s --articles 1000000 --seed 1\n",
                         qPrintable(folder), table, qPrintable(folder));
            return 1;
        }
    }

    std::printf("platform %s, load average %.2f, data folder %s\n",
                qPrintable(QGuiApplication::platformName()), loadAverage(), qPrintable(folder));
    const double peakAtStart = peakMb();

    // As the program starts.
    Fonts::setup();
    RegisterCursors();
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    InstallLoginDialog();
    Application::setErrorDisplay([](const QString &, const QString &text) { g_errors << text; });
    SetCommandLineArguments({folder, QStringLiteral("1"), QStringLiteral("12413")});
    QTimer modalWatch;
    watchModalWindows(modalWatch);

    TFMain form;
    Application::setMainForm(&form);
    if (!startWindow(form)) {
        std::fprintf(stderr, "the window did not connect to %s%s%s\n", qPrintable(folder),
                     g_errors.isEmpty() ? "" : ": ",
                     g_errors.isEmpty() ? "" : qPrintable(g_errors.join(u' ')));
        return 3;
    }
    std::printf("memory after start: peak %.1f MB (%.1f MB before the window)\n", peakMb(),
                peakAtStart);

    // Each run's rows are compared with the query's of the same round and then dropped, so
    // that the resident memory of the later checks is the program's alone.
    std::vector<CheckRun> checks;
    std::vector<SqlRun> queries;
    SqlRun reference;
    bool agree = true;
    for (int run = 1; run <= runs; ++run) {
        checks.push_back(runCheck(form, false));
        printRun("check (click on \"Überprüfen\")", run, checks.back().time,
                 checks.back().rowCount);
        queries.push_back(runSql(folder, false));
        printRun("SQL duplicate query with bookings", run, queries.back().time,
                 queries.back().rowCount);
        agree = compareRows(checks.back(), queries.back()) && agree;
        if (run == 1)
            reference = queries.back();
        checks.back().rows.clear();
        queries.back().rows.clear();
    }
    // Once more pass by pass, to show where the check's time goes.
    const CheckRun split = runCheck(form, true);
    std::printf("pass by pass: scan %.3f s wall %.3f s CPU, bookings pass %.3f s wall %.3f s CPU, "
                "%d rows\n",
                split.scan.wall, split.scan.cpu, split.bookings.wall, split.bookings.cpu,
                split.rowCount);
    agree = compareRows(split, reference) && agree;
    runSql(folder, true);

    auto fastest = [](const auto &list) {
        return *std::min_element(list.begin(), list.end(), [](const auto &a, const auto &b) {
            return a.time.cpu < b.time.cpu;
        });
    };
    const CheckRun &first = checks.front();
    const CheckRun best = fastest(checks);
    const SqlRun bestSql = fastest(queries);

    std::printf("\nstatus line: %s\n", qPrintable(best.status));
    for (const QString &box : std::as_const(g_boxes))
        std::printf("message box: %s\n", qPrintable(box));
    for (const QString &error : std::as_const(g_errors))
        std::printf("error display: %s\n", qPrintable(error));
    const bool limited = bestSql.rowCount > 5001;
    std::printf("rows: check %d, SQL query %d (%s)\n", best.rowCount, bestSql.rowCount,
                !agree    ? "DIFFERENT"
                : limited ? "the check stopped at its limit; its rows are among the query's, with "
                            "the same descriptions, numbers and bookings"
                          : "the same articles, descriptions, numbers and bookings");

    const double ratioCpu = best.time.cpu / bestSql.time.cpu;
    const double ratioWall = best.time.wall / bestSql.time.wall;
    std::printf("check    %8.3f s CPU  %8.3f s wall  (fastest of %d)\n", best.time.cpu,
                best.time.wall, runs);
    std::printf("SQL      %8.3f s CPU  %8.3f s wall  (fastest of %d)\n", bestSql.time.cpu,
                bestSql.time.wall, runs);
    std::printf("ratio    %8.2f CPU   %8.2f wall        (goal: at most 0.6)\n", ratioCpu,
                ratioWall);
    std::printf("memory   peak %.1f MB after the first check (ru_maxrss, before any SQL ran; "
                "goal: at most 64 MB)\n",
                first.peakAfter);
    std::printf("         peak grew by %.1f MB during the first check; resident %.1f -> %.1f MB "
                "(heap %.1f -> %.1f, mapped files %.1f -> %.1f)\n",
                first.peakAfter - first.peakBefore, first.before.total, first.after.total,
                first.before.anon, first.after.anon, first.before.file, first.after.file);
    std::printf("         SQLite's heap (the engine's page caches) %.1f -> %.1f MB\n",
                first.sqliteBefore, first.sqliteAfter);
    std::printf("         table files mapped before the first check: %s; after it: %s\n",
                qPrintable(first.mappedBefore), qPrintable(first.mappedAfter));
    for (size_t i = 1; i < checks.size(); ++i)
        std::printf("         run %zu: resident %.1f -> %.1f MB (heap %.1f -> %.1f)\n", i + 1,
                    checks[i].before.total, checks[i].after.total, checks[i].before.anon,
                    checks[i].after.anon);
    std::printf("         peak of the whole run, SQL connections included: %.1f MB\n", peakMb());
    std::printf("articles %d, bookings %d; load average %.2f at the end\n",
                form.Table_ARTMAIN->RecordCount(), form.Subtable->RecordCount(), loadAverage());

    Application::setMainForm(nullptr);
    ResetCommandLineArguments();
    return agree ? 0 : 5;
}
