// Figures for the engine on the demo data: prints times and ratios, checks nothing.
//   (a) a walk in "BSTN" order reading ID, BZK and BSTN of every record through the C interface
//   (b) seeks per second on the bookings index "ID_ART" (raw keys, as a lookup builds them)
//   (c) the same walk as one streaming SQL statement, and the duplicate list as one SQL query
//   (d) a walk reading BSTN of every record and the whole record of one in 200
// Usage: engine_bench DATA_FOLDER [--articles N]   (DUPCHECK_ENGINE_BATCH sets the batch size)
#include "EngineCheck.h"
#include "dbeng.h"
#include "schema/HostSchema.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// CPU time of this process: the machine is shared, so wall time alone says little.
double cpuNow() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

uint16_t fieldNo(DBHANDLE t, const char *name) {
    uint16_t f = 0;
    CHECK(DbGetFieldNum(t, name, &f));
    return f;
}

void set(DBHANDLE t, uint16_t f, const std::string &v) {
    CHECK(DbSetField(t, f, v.c_str(), static_cast<uint32_t>(v.size())));
}

// Demo data when the folder has none: the host's article and bookings tables.
void makeData(DBHANDLE c, long articles) {
    std::printf("creating %ld articles and %ld bookings through the engine...\n", articles,
                articles * 3);
    std::fflush(stdout);
    auto start = Clock::now();
    DBHANDLE t = 0;
    CHECK(HostSchema::createTable(c, HostSchema::articles(), &t));
    std::mt19937 rng(1);
    uint16_t fBzk = fieldNo(t, "BZK"), fBzl = fieldNo(t, "BZL"), fArtn = fieldNo(t, "ARTN"),
             fBstn = fieldNo(t, "BSTN"), fVk = fieldNo(t, "VKEU"), fEinh = fieldNo(t, "EINH"),
             fMatch = fieldNo(t, "MATCH0");
    std::vector<std::string> numbers;
    numbers.reserve(static_cast<size_t>(articles));
    for (long i = 0; i < articles; ++i) {
        if (i % 50000 == 0)
            CHECK(DbBeginTransaction(t));
        std::string bstn;
        if (i > 0 && rng() % 1000 < 5) // about 0.5 % share an order number
            bstn = numbers[rng() % numbers.size()];
        else
            bstn = "B" + std::to_string(10000000 + rng() % 89999999) + "-" + std::to_string(i % 97);
        numbers.push_back(bstn);
        CHECK(DbAppendRecord(t));
        set(t, fBzk, "Artikel " + std::to_string(i) + " Beschreibung");
        set(t, fBzl, "Langtext " + std::to_string(i));
        set(t, fArtn, "A" + std::to_string(i));
        set(t, fBstn, bstn);
        set(t, fVk, std::to_string(rng() % 100000 / 100.0));
        set(t, fEinh, "Stk");
        set(t, fMatch, "M" + std::to_string(rng() % 1000));
        CHECK(DbWriteRecord(t));
        if (i % 50000 == 49999 || i == articles - 1)
            CHECK(DbCommitTransaction(t));
    }
    // The tags after the data, as a bulk load makes them.
    CHECK(HostSchema::createIndexes(t, HostSchema::articles()));
    CHECK(DbCloseTable(t));
    CHECK(HostSchema::createTable(c, HostSchema::bookings(), &t));
    uint16_t fArt = fieldNo(t, "ID_ART"), fDate = fieldNo(t, "DATUM"), fQty = fieldNo(t, "MENGE");
    for (long i = 0; i < articles * 3; ++i) {
        if (i % 100000 == 0)
            CHECK(DbBeginTransaction(t));
        CHECK(DbAppendRecord(t));
        set(t, fArt, std::to_string(1 + rng() % articles));
        set(t, fDate, "01/15/2024");
        set(t, fQty, std::to_string(1 + rng() % 20));
        CHECK(DbWriteRecord(t));
        if (i % 100000 == 99999 || i == articles * 3 - 1)
            CHECK(DbCommitTransaction(t));
    }
    CHECK(HostSchema::createIndexes(t, HostSchema::bookings()));
    CHECK(DbCloseTable(t));
    std::printf("created in %.1f s\n", seconds(start));
}

struct WalkResult {
    double time;
    double cpu;
    long records;
    unsigned long checksum;
};

// (a): DbSkip, DbAtEOF, DbIsRecordVisible, then the three fields, as the scan reads them.
WalkResult walkFields(DBHANDLE t, DBHANDLE order) {
    uint16_t fId = fieldNo(t, "ID"), fBzk = fieldNo(t, "BZK"), fBstn = fieldNo(t, "BSTN");
    auto start = Clock::now();
    WalkResult r{0, 0, 0, 0};
    double cpu0 = cpuNow();
    CHECK(DbGotoTop(order));
    uint8_t buf[64];
    for (;;) {
        uint16_t eof = 0, visible = 0;
        DbAtEOF(t, &eof);
        if (eof)
            break;
        DbIsRecordVisible(order, &visible);
        uint32_t len = sizeof buf;
        CHECK(DbGetFieldRaw(t, fId, buf, &len));
        int32_t id;
        std::memcpy(&id, buf, 4);
        r.checksum += static_cast<unsigned long>(id);
        len = sizeof buf;
        CHECK(DbGetFieldRaw(t, fBzk, buf, &len));
        r.checksum += buf[0];
        len = sizeof buf;
        CHECK(DbGetFieldRaw(t, fBstn, buf, &len));
        r.checksum += buf[0];
        ++r.records;
        CHECK(DbSkip(order, 1));
    }
    r.time = seconds(start);
    r.cpu = cpuNow() - cpu0;
    return r;
}

// (d): BSTN of every record, the whole record of one in 200.
WalkResult walkDuplicates(DBHANDLE t, DBHANDLE order) {
    uint16_t fBstn = fieldNo(t, "BSTN");
    uint32_t recordLength = 0;
    CHECK(DbGetRecordLength(t, &recordLength));
    std::vector<uint8_t> record(recordLength);
    auto start = Clock::now();
    WalkResult r{0, 0, 0, 0};
    double cpu0 = cpuNow();
    CHECK(DbGotoTop(order));
    uint8_t buf[64];
    for (;;) {
        uint16_t eof = 0, visible = 0;
        DbAtEOF(t, &eof);
        if (eof)
            break;
        DbIsRecordVisible(order, &visible);
        uint32_t len = sizeof buf;
        CHECK(DbGetFieldRaw(t, fBstn, buf, &len));
        r.checksum += buf[3];
        if (r.records % 200 == 0) {
            len = recordLength;
            CHECK(DbGetRecord(t, record.data(), &len));
            r.checksum += record[1];
        }
        ++r.records;
        CHECK(DbSkip(order, 1));
    }
    r.time = seconds(start);
    r.cpu = cpuNow() - cpu0;
    return r;
}

WalkResult sqlWalk(const std::string &file) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    auto start = Clock::now();
    sqlite3_prepare_v2(db, "SELECT ID, BZK, BSTN FROM dbe_records ORDER BY BSTN, dbe_recno", -1,
                       &st, nullptr);
    WalkResult r{0, 0, 0, 0};
    double cpu0 = cpuNow();
    while (sqlite3_step(st) == SQLITE_ROW) {
        r.checksum += static_cast<unsigned long>(sqlite3_column_int(st, 0));
        const unsigned char *b = static_cast<const unsigned char *>(sqlite3_column_blob(st, 1));
        r.checksum += b ? b[0] : 0;
        b = static_cast<const unsigned char *>(sqlite3_column_blob(st, 2));
        r.checksum += b ? b[0] : 0;
        ++r.records;
    }
    sqlite3_finalize(st);
    r.time = seconds(start);
    r.cpu = cpuNow() - cpu0;
    sqlite3_close(db);
    return r;
}

WalkResult sqlDuplicates(const std::string &file) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    sqlite3_stmt *st = nullptr;
    auto start = Clock::now();
    sqlite3_prepare_v2(db, "SELECT BSTN FROM dbe_records GROUP BY BSTN HAVING COUNT(*) > 1", -1,
                       &st, nullptr);
    WalkResult r{0, 0, 0, 0};
    double cpu0 = cpuNow();
    while (sqlite3_step(st) == SQLITE_ROW)
        ++r.records;
    sqlite3_finalize(st);
    r.time = seconds(start);
    r.cpu = cpuNow() - cpu0;
    sqlite3_close(db);
    return r;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: engine_bench DATA_FOLDER [--articles N]\n");
        return 2;
    }
    std::string folder = argv[1];
    long articles = 1000000;
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--articles") == 0)
            articles = std::atol(argv[i + 1]);
    mkdir(folder.c_str(), 0777);
    DBHANDLE c = 0;
    CHECK(DbConnect(folder.c_str(), DB_SERVER_LOCAL, "", "", 0, &c));
    struct stat st;
    if (stat((folder + "/ArtikelMain.TBL").c_str(), &st) != 0)
        makeData(c, articles);

    DBHANDLE art = 0, bstn = 0, sub = 0, idArt = 0;
    CHECK(DbOpenTable(c, "ArtikelMain.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &art));
    CHECK(DbOpenTable(c, "Artikelsub.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &sub));
    CHECK(DbGetIndexHandle(art, "BSTN", &bstn));
    CHECK(DbGetIndexHandle(sub, "ID_ART", &idArt));
    uint32_t count = 0, bookings = 0;
    CHECK(DbGetRecordCount(art, DB_IGNORE_FILTERS, &count));
    CHECK(DbGetRecordCount(sub, DB_IGNORE_FILTERS, &bookings));
    const char *batch = std::getenv("DUPCHECK_ENGINE_BATCH");
    std::printf("articles %u, bookings %u, batch %s\n", count, bookings,
                batch ? batch : "default (256)");
    std::string file = folder + "/ArtikelMain.TBL";

    sqlWalk(file); // warm the file cache, so every figure below is read from memory
    WalkResult cWalk = sqlWalk(file);
    WalkResult cQuery = sqlDuplicates(file);
    WalkResult a = walkFields(art, bstn);
    WalkResult d = walkDuplicates(art, bstn);
    // Repeat (a) and (c) to show the spread between runs.
    WalkResult cWalk2 = sqlWalk(file);
    WalkResult a2 = walkFields(art, bstn);

    // (b) seeks on ID_ART with raw keys, as a lookup builds them.
    uint16_t fArt = fieldNo(sub, "ID_ART");
    std::mt19937 rng(7);
    const int seeks = 200000;
    long found = 0;
    auto start = Clock::now();
    double seekCpu0 = cpuNow();
    for (int i = 0; i < seeks; ++i) {
        int32_t id = static_cast<int32_t>(1 + rng() % (count ? count : 1));
        uint8_t key[64];
        uint16_t len = sizeof key, hit = 0;
        CHECK(DbInitRawKey(idArt));
        CHECK(DbSetFieldRaw(sub, fArt, reinterpret_cast<const uint8_t *>(&id), 4));
        CHECK(DbBuildRawKey(idArt, key, &len));
        CHECK(DbSeek(idArt, key, len, DB_KEY_RAW, DB_SEEK_HARD, &hit));
        found += hit;
    }
    double seekTime = seconds(start);
    double seekCpu = cpuNow() - seekCpu0;

    std::printf("                                              wall s    cpu s\n");
    auto row = [](const char *what, const WalkResult &r, const char *unit) {
        std::printf("%-44s %8.3f %8.3f  %ld %s\n", what, r.time, r.cpu, r.records, unit);
    };
    row("(c) SQL walk ID, BZK, BSTN in BSTN order", cWalk, "rows");
    row("(c) the same again", cWalk2, "rows");
    row("(a) engine walk ID, BZK, BSTN", a, "rows");
    row("(a) the same again", a2, "rows");
    row("(c) SQL duplicate list (GROUP BY HAVING)", cQuery, "order numbers");
    row("(d) engine walk BSTN + 1/200 whole records", d, "rows");
    std::printf("(b) %d seeks on ID_ART: %.3f s wall, %.3f s cpu = %.0f seeks/s (wall), %.0f "
                "seeks/s (cpu), "
                "%ld found\n",
                seeks, seekTime, seekCpu, seeks / seekTime, seeks / seekCpu, found);
    std::printf("ratio (a)/(c walk)  = %.2f wall, %.2f cpu  (goal <= 1.5)\n",
                std::min(a.time, a2.time) / std::min(cWalk.time, cWalk2.time),
                std::min(a.cpu, a2.cpu) / std::min(cWalk.cpu, cWalk2.cpu));
    std::printf("ratio (d)/(c query) = %.2f wall, %.2f cpu  (goal <= 1.0)\n", d.time / cQuery.time,
                d.cpu / cQuery.cpu);
    std::printf("checksums: engine %lu, SQL %lu (equal when both walks read the same values)\n",
                a.checksum, cWalk.checksum);
    DbDisconnect(c);
    return 0;
}
