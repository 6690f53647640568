// Walks the article table of a data folder in "BSTN" order, reading BSTN of every record and
// ID and BZK of one in 200, once on the engine's C interface and once through TDbTable, and
// prints both times and their ratio. The two walks alternate three times and the fastest run
// of each counts, so both meet a warm file cache. Times are the thread's CPU time (wall time
// is printed beside it): on a machine shared with builds, wall time measures the neighbours.
//
//   data_bench DIR      (DIR made by: dupcheck-host demo DIR --articles 1000000)
#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "dbeng.h"
#include "platform/Exception.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

// CPU time of this thread in seconds.
double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct WalkResult {
    double seconds = 0; // CPU
    double wall = 0;
    long records = 0;
    long long checksum = 0; // sum of the BSTN lengths and the sampled IDs
};

void check(DBRESULT r, const char *what) {
    if (r == DBE_SUCCESS)
        return;
    uint32_t number = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof text;
    DbGetLastError(&number, text, &len);
    std::fprintf(stderr, "%s: %u %s\n", what, number, text);
    std::exit(2);
}

uint32_t trimmedLength(const uint8_t *p, uint32_t n) {
    uint32_t len = 0;
    while (len < n && p[len] != 0)
        ++len;
    while (len > 0 && p[len - 1] == ' ')
        --len;
    return len;
}

WalkResult engineWalk(const QByteArray &folder) {
    DBHANDLE connection = 0, table = 0, order = 0;
    check(DbConnect(folder.constData(), DB_SERVER_LOCAL, "", "", 0, &connection), "DbConnect");
    const QByteArray file = folder + "/ArtikelMain.TBL";
    check(DbOpenTable(connection, file.constData(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                      DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &table),
          "DbOpenTable");
    check(DbGetIndexHandle(table, "BSTN", &order), "DbGetIndexHandle");
    uint16_t bstn = 0, id = 0, bzk = 0;
    check(DbGetFieldNum(table, "BSTN", &bstn), "BSTN");
    check(DbGetFieldNum(table, "ID", &id), "ID");
    check(DbGetFieldNum(table, "BZK", &bzk), "BZK");
    uint32_t idOffset = 0, bzkOffset = 0, bzkLength = 0, recordLength = 0;
    check(DbGetFieldOffset(table, id, &idOffset), "offset");
    check(DbGetFieldOffset(table, bzk, &bzkOffset), "offset");
    check(DbGetFieldLength(table, bzk, &bzkLength), "length");
    check(DbGetRecordLength(table, &recordLength), "record length");
    std::vector<uint8_t> field(4096), record(recordLength);

    WalkResult result;
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    check(DbGotoTop(order), "DbGotoTop");
    uint16_t eof = 0;
    check(DbAtEOF(table, &eof), "DbAtEOF");
    while (!eof) {
        uint32_t len = uint32_t(field.size());
        check(DbGetFieldRaw(table, bstn, field.data(), &len), "DbGetFieldRaw");
        result.checksum += trimmedLength(field.data(), len);
        if (result.records % 200 == 0) {
            uint32_t rlen = recordLength;
            check(DbGetRecord(table, record.data(), &rlen), "DbGetRecord");
            int32_t value = 0;
            std::memcpy(&value, record.data() + idOffset, 4);
            result.checksum += value;
            result.checksum += trimmedLength(record.data() + bzkOffset, bzkLength);
        }
        ++result.records;
        check(DbSkip(order, 1), "DbSkip");
        check(DbAtEOF(table, &eof), "DbAtEOF");
    }
    result.seconds = cpuSeconds() - cpu;
    result.wall = timer.nsecsElapsed() / 1e9;
    DbCloseTable(table);
    DbDisconnect(connection);
    return result;
}

WalkResult componentWalk(const QString &folder) {
    QObject window;
    auto *connection = new TDbConnection(&window);
    connection->setObjectName(QStringLiteral("DbConnection"));
    connection->SetDbServerTypes(stDB_LOCAL);
    connection->SetConnectPath(folder);
    auto *table = new TDbTable(&window);
    table->setObjectName(QStringLiteral("Table_ARTMAIN"));
    table->SetDbConnection(connection);
    table->SetTableName(QStringLiteral("ArtikelMain.TBL"));
    table->Open();

    WalkResult result;
    QElapsedTimer timer;
    timer.start();
    const double cpu = cpuSeconds();
    table->SetIndexName(QStringLiteral("BSTN"));
    table->First();
    while (!table->Eof()) {
        result.checksum += table->FieldByName(QStringLiteral("BSTN"))->AsString().size();
        if (result.records % 200 == 0) {
            result.checksum += table->FieldByName(QStringLiteral("ID"))->AsInteger();
            result.checksum += table->FieldByName(QStringLiteral("BZK"))->AsString().size();
        }
        ++result.records;
        table->Next();
    }
    result.seconds = cpuSeconds() - cpu;
    result.wall = timer.nsecsElapsed() / 1e9;
    return result;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: data_bench DIR\n");
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    try {
        WalkResult engine, component;
        for (int run = 1; run <= 3; ++run) {
            const WalkResult e = engineWalk(folder.toLocal8Bit());
            const WalkResult c = componentWalk(folder);
            std::printf("run %d: engine %.3f s CPU (%.3f s wall), TDbTable %.3f s CPU (%.3f s "
                        "wall), %ld records\n",
                        run, e.seconds, e.wall, c.seconds, c.wall, c.records);
            if (run == 1 || e.seconds < engine.seconds)
                engine = e;
            if (run == 1 || c.seconds < component.seconds)
                component = c;
        }
        if (engine.records != component.records || engine.checksum != component.checksum) {
            std::printf("MISMATCH: engine %ld records / %lld, TDbTable %ld records / %lld\n",
                        engine.records, engine.checksum, component.records, component.checksum);
            return 3;
        }
        const double ratio = component.seconds / engine.seconds;
        std::printf(
            "BSTN walk of %ld articles: engine %.3f s CPU (%.2f us/record), TDbTable %.3f s CPU "
            "(%.2f us/record), ratio %.2f (goal <= 1.30; fastest of 3 runs each)\n",
            engine.records, engine.seconds, engine.seconds * 1e6 / engine.records,
            component.seconds, component.seconds * 1e6 / component.records, ratio);
        return 0;
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 2;
    }
}
