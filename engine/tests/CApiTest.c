/* The engine's interface used from C, compiled as C: the header must stay plain C and a C
 * program must be able to create, fill, seek and walk a table through it. */
#include "dbeng.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int passed = 0, failed = 0;

static void check(int ok, const char *what) {
    if (ok) {
        ++passed;
        return;
    }
    uint32_t code = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = "";
    uint16_t len = sizeof text;
    DbGetLastError(&code, text, &len);
    printf("FAILED: %s (last error %u: %s)\n", what, (unsigned)code, text);
    ++failed;
}

int main(void) {
    char folder[] = "/tmp/engine-c-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    DBHANDLE c = 0, t = 0, ix = 0;
    check(DbConnect(folder, DB_SERVER_LOCAL, "", "", 0, &c) == DBE_SUCCESS, "connect");
    check(DbCreateTable(c, "Artikelsub.TBL", "ID,15;ID_ART,11;DATUM,3;MENGE,10", &t) == DBE_SUCCESS,
          "create");
    for (int i = 0; i < 10; ++i) {
        char v[16];
        snprintf(v, sizeof v, "%d", 100 - i % 4);
        check(DbAppendRecord(t) == DBE_SUCCESS, "append");
        check(DbSetField(t, 2, v, (uint32_t)strlen(v)) == DBE_SUCCESS, "set ID_ART");
        check(DbSetField(t, 3, "01/31/2024", 10) == DBE_SUCCESS, "set DATUM");
        check(DbWriteRecord(t) == DBE_SUCCESS, "write");
    }
    check(DbCreateIndex(t, "ID_ART", "ID_ART", 0, &ix) == DBE_SUCCESS, "index");

    /* A raw key for ID_ART 99 and a hard seek. */
    uint8_t key[DB_MAX_KEY_LENGTH];
    uint16_t keyLen = sizeof key, found = 0;
    int32_t art = 99;
    check(DbInitRawKey(ix) == DBE_SUCCESS, "init key");
    check(DbSetFieldRaw(t, 2, (const uint8_t *)&art, 4) == DBE_SUCCESS, "key field");
    check(DbBuildRawKey(ix, key, &keyLen) == DBE_SUCCESS, "build key");
    check(DbSeek(ix, key, keyLen, DB_KEY_RAW, DB_SEEK_HARD, &found) == DBE_SUCCESS && found == 1,
          "seek 99");
    uint32_t recno = 0;
    check(DbGetRecordNum(t, &recno) == DBE_SUCCESS && recno == 2,
          "first record with 99 is record 2");

    /* A walk in index order counts every record once, in key order. */
    int count = 0, last = -1, sorted = 1;
    uint16_t eof = 0;
    check(DbGotoTop(ix) == DBE_SUCCESS, "top");
    while (DbAtEOF(t, &eof) == DBE_SUCCESS && !eof) {
        uint8_t raw[4];
        uint32_t len = sizeof raw;
        int32_t v;
        check(DbGetFieldRaw(t, 2, raw, &len) == DBE_SUCCESS && len == 4, "read raw");
        memcpy(&v, raw, 4);
        if (v < last)
            sorted = 0;
        last = v;
        ++count;
        check(DbSkip(ix, 1) == DBE_SUCCESS, "skip");
    }
    check(count == 10 && sorted, "walk in ID_ART order");

    char text[32];
    uint32_t textLen = sizeof text;
    check(DbGotoTop(t) == DBE_SUCCESS, "top of table order");
    check(DbGetField(t, 3, text, &textLen, DB_TRIM_RIGHT) == DBE_SUCCESS &&
              strcmp(text, "01/31/2024") == 0,
          "date as text");
    uint16_t hint = 0;
    check(DbGetIndexHandle(t, "NOPE", &ix) == DBE_INDEX_NOT_FOUND, "missing tag");
    check(DbGetFilter(t, text, &hint) == DBE_NO_FILTER, "no filter");
    check(DbDisconnect(c) == DBE_TABLES_CLOSED, "disconnect closes the table");

    char cmd[64];
    snprintf(cmd, sizeof cmd, "rm -rf %s", folder);
    if (system(cmd) != 0)
        printf("could not remove %s\n", folder);
    printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
