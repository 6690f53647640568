// Figures for the deletion's safety pass: before "Alle doppelten löschen" deletes anything, one
// pass over all bookings in their stored order makes sure that no candidate has bookings the
// index "ID_ART" does not know of. Printed beside it, measured in the same run on the same
// files: the check the user ran just before (scan and bookings pass), and the same pass as one
// SQL statement through SQLite directly. With --delete the deletion itself follows (it changes
// the folder: run it on a copy).
//
//   deletion_bench DIR [--delete]
//
// DIR is a copy of the folder made by: dupcheck-host demo DIR --articles 1000000 --seed 1
// CPU time of the process is the comparable figure on a machine shared with builds; wall time
// is printed beside it. The pass runs twice; the second run meets a warm file cache.
#include "check/core/CheckFeedback.h"
#include "check/core/DuplicateCheck.h"
#include "check/core/ResultTable.h"
#include "check/core/TDeleteList.h"
#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/MemTable.h"
#include "platform/Exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSet>

#include <sqlite3.h>

#include <cstdio>
#include <ctime>

namespace {

double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

template <typename F>
Timing timed(F &&body) {
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuNow();
    body();
    return {double(wall.nsecsElapsed()) * 1e-9, cpuNow() - cpu};
}

class QuietFeedback : public CheckFeedback {
public:
    void progressStart(int) override {}
    void progressStep(int) override {}
    void progressEnd() override {}
    void setWaiting(bool) override {}
    void processMessages() override {}
    void setStatusText(const QString &) override {}
    void showMessage(const QString &markup) override {
        std::printf("Meldung: %s\n", markup.toUtf8().constData());
    }
    bool askYesNo(const QString &) override { return true; }
};

void print(const char *what, const Timing &t) {
    std::printf("%-58s wall %7.2f s   CPU %7.2f s\n", what, t.wall, t.cpu);
}

// The same pass in SQL: every booking read in stored order (no index), the candidates among
// them collected.
int sqlPass(const QString &folder, const QSet<int> &candidates) {
    sqlite3 *db = nullptr;
    const QByteArray file =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral("Artikelsub.TBL")));
    sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID_ART FROM dbe_records NOT INDEXED", -1, &stmt, nullptr);
    QSet<int> booked;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const int id = sqlite3_column_int(stmt, 0);
        if (candidates.contains(id))
            booked.insert(id);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return int(booked.size());
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() > 2 || (args.size() == 2 && args[1] != u"--delete")) {
        std::fputs("Aufruf: deletion_bench DIR [--delete]\n", stderr);
        return 2;
    }
    const QString folder = args[0];
    try {
        QObject owner;
        auto *connection = new TDbConnection(&owner);
        connection->SetConnectPath(folder);
        auto open = [&](const char *file) {
            auto *table = new TDbTable(&owner);
            table->setObjectName(QString::fromLatin1(file));
            table->SetDbConnection(connection);
            table->SetTableName(QString::fromLatin1(file));
            table->Open();
            return table;
        };
        TDbTable *articles = open("ArtikelMain.TBL");
        TDbTable *bookings = open("Artikelsub.TBL");
        auto *result = new TMemTable(&owner);
        ResultTable::createFields(*result, &owner);
        result->Open();
        QuietFeedback feedback;
        DuplicateCheck check(*articles, *bookings, *result, feedback);

        std::printf("Daten: %s, %d Artikel, %d Buchungen\n", qPrintable(folder),
                    articles->RecordCount(), bookings->RecordCount());
        print("Prüfung (Überprüfen: Suche und Buchungsdurchgang)", timed([&] { check.check(); }));
        TDeleteList candidates;
        check.collectCandidates(candidates);
        QSet<int> ids;
        for (int k = 0; k < candidates.Count(); ++k)
            ids.insert(candidates.Objects(k)->ID.toInt());
        std::printf("%d gelistete Artikel, %d Löschkandidaten\n", result->RecordCount(),
                    candidates.Count());
        bool agrees = false;
        for (int run = 1; run <= 2; ++run) {
            const Timing t = timed([&] { agrees = check.bookingsIndexAgrees(candidates); });
            print(run == 1 ? "Sicherungsdurchgang über alle Buchungen (1. Lauf)"
                           : "Sicherungsdurchgang über alle Buchungen (2. Lauf)",
                  t);
        }
        std::printf("Index \"ID_ART\" stimmt mit den Buchungen überein: %s\n",
                    agrees ? "ja" : "nein");
        int sqlBooked = 0;
        print("Vergleich: derselbe Durchgang als SQL (SQLite direkt)",
              timed([&] { sqlBooked = sqlPass(folder, ids); }));
        std::printf("Kandidaten mit Buchungen laut SQL: %d\n", sqlBooked);

        if (args.size() == 2) {
            const int before = articles->RecordCount();
            const Timing t = timed([&] { check.deleteSurplus(candidates); });
            const int deleted = before - articles->RecordCount();
            print("Löschen (mit Durchgang, Journal und Nachprüfung)", t);
            std::printf("%d Artikel gelöscht, %.1f ms je Artikel (Uhrzeit)\n", deleted,
                        deleted ? t.wall * 1000.0 / deleted : 0.0);
        }
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
