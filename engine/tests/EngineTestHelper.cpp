// A second process for the engine tests: it opens a table and then locks, writes or reads
// as told on its command line, reporting on standard output.
//   lock FOLDER TABLE RECNO        lock the record, print "locked", then wait to be killed
//   writeloop FOLDER TABLE START   rewrite every record with the round number (from START), forever
//   read FOLDER TABLE RECNO FIELD  print the field of that record
//   write FOLDER TABLE RECNO FIELD VALUE
#include "dbeng.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static void fail(const char *what) {
    uint32_t code = 0;
    char buf[700];
    uint16_t len = sizeof buf;
    DbGetLastError(&code, buf, &len);
    std::printf("error %s %u %s\n", what, code, buf);
    std::fflush(stdout);
    std::exit(2);
}

#define CHECK(call)                                                                                \
    do {                                                                                           \
        if ((call) != 0)                                                                           \
            fail(#call);                                                                           \
    } while (0)

int main(int argc, char **argv) {
    if (argc < 4)
        return 1;
    std::string cmd = argv[1];
    DBHANDLE c = 0, t = 0;
    // The tests on the remote server name the throwaway server; the data path is then a data set.
    const char *server = std::getenv("DUPCHECK_TEST_SERVER");
    CHECK(
        DbConnect(argv[2], server && *server ? DB_SERVER_REMOTE : DB_SERVER_LOCAL, "", "", 0, &c));
    CHECK(DbOpenTable(c, argv[3], nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
    if (cmd == "lock") {
        CHECK(DbLockRecord(t, static_cast<uint32_t>(std::atoi(argv[4]))));
        std::printf("locked\n");
        std::fflush(stdout);
        for (;;)
            pause();
    }
    if (cmd == "read" || cmd == "write") {
        uint16_t f = 0;
        CHECK(DbGotoRecord(t, static_cast<uint32_t>(std::atoi(argv[4]))));
        CHECK(DbGetFieldNum(t, argv[5], &f));
        if (cmd == "write") {
            CHECK(DbSetField(t, f, argv[6], static_cast<uint32_t>(std::strlen(argv[6]))));
            CHECK(DbWriteRecord(t));
            std::printf("written\n");
        } else {
            char buf[256];
            uint32_t len = sizeof buf;
            CHECK(DbGetField(t, f, buf, &len, DB_TRIM_RIGHT));
            std::printf("%s\n", buf);
        }
        std::fflush(stdout);
        return 0;
    }
    if (cmd == "writeloop") {
        uint16_t nf = 0;
        CHECK(DbGetNumFields(t, &nf));
        std::printf("running\n");
        std::fflush(stdout);
        long first = argc > 4 ? std::atol(argv[4]) : 1;
        for (long round = first;; ++round) {
            CHECK(DbGotoTop(t));
            for (;;) {
                uint16_t eof = 0;
                CHECK(DbAtEOF(t, &eof));
                if (eof)
                    break;
                std::string v = std::to_string(round);
                for (uint16_t f = 2; f <= nf; ++f)
                    CHECK(DbSetField(t, f, v.c_str(), static_cast<uint32_t>(v.size())));
                CHECK(DbWriteRecord(t));
                CHECK(DbSkip(t, 1));
            }
        }
    }
    return 1;
}
