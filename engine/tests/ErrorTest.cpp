// Failures: each one a clear error with a German text naming the file, never a crash, and the
// table file left exactly as it was.
#include "EngineFixture.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>

namespace {

class ErrorTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        DBHANDLE t = create("ArtikelMain.TBL", "ID,15;BSTN,4,50;BZK,4,50");
        index(t, "BSTN", "BSTN");
        add(t, {{"BSTN", "4711"}, {"BZK", "Schraube"}});
        ASSERT_DB(DbCloseTable(t));
    }

    DBRESULT openRaw(const std::string &name, DBHANDLE *t, uint16_t type = DB_TABLE_NATIVE) {
        return DbOpenTable(connection_, name.c_str(), nullptr, type, 1, 1, 1, 0, t);
    }

    static void sql(const std::string &path, const char *statements) {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
};

TEST_F(ErrorTest, ConnectingNeedsAFolderOrDictionaryAndTheLocalServer) {
    LOCAL_SERVER_ONLY();
    DBHANDLE c = 0;
    std::string missing = folder_.file("nirgends");
    EXPECT_EQ(DbConnect(missing.c_str(), DB_SERVER_LOCAL, "", "", 0, &c), DBE_FILE_NOT_FOUND);
    EXPECT_NE(lastErrorText().find("nirgends"), std::string::npos);
    // The internet server is not built; the remote server (2) has tests of its own.
    EXPECT_EQ(DbConnect(folder_.path().c_str(), DB_SERVER_INTERNET, "", "", 0, &c),
              DBE_SERVER_NOT_AVAILABLE);
    EXPECT_NE(lastErrorText().find("nicht verf\xfcgbar"), std::string::npos) << lastErrorText();
    EXPECT_EQ(DbConnect(folder_.path().c_str(), 0, "", "", 0, &c), DBE_INVALID_ARGUMENT);
    ASSERT_DB(DbConnect(folder_.path().c_str(), 7, "", "", 0, &c));
    uint16_t type = 0;
    ASSERT_DB(DbGetServerType(c, &type));
    EXPECT_EQ(type, DB_SERVER_LOCAL);
    ASSERT_DB(DbDisconnect(c));
    EXPECT_EQ(DbDisconnect(c), DBE_INVALID_HANDLE);
}

TEST_F(ErrorTest, ADictionaryConnectionAnswersNotInDictionarySoTheCallerOpensFreeTables) {
    LOCAL_SERVER_ONLY();
    std::ofstream(folder_.file("Daten.Dic")) << "dictionary";
    DBHANDLE c = 0, t = 0;
    ASSERT_DB(DbConnect(folder_.file("Daten.Dic").c_str(), DB_SERVER_LOCAL, "user", "pw", 0, &c));
    EXPECT_EQ(DbOpenTable(c, "ArtikelMain.TBL", nullptr, DB_TABLE_DICTIONARY, 1, 1, 1, 0, &t),
              DBE_NOT_IN_DICTIONARY);
    std::string free = folder_.path() + "\\ArtikelMain.TBL";
    ASSERT_DB(DbOpenTable(c, free.c_str(), nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
    EXPECT_EQ(DbDisconnect(c), DBE_TABLES_CLOSED);
    EXPECT_EQ(DbGotoTop(t), DBE_INVALID_HANDLE) << "closed with the connection";
}

TEST_F(ErrorTest, TableFilesAreFoundWithoutRegardToCaseAndWithEitherSeparator) {
    LOCAL_SERVER_ONLY();
    std::filesystem::create_directory(folder_.file("Sub"));
    DBHANDLE made = create("Sub/Setup.TBL", "IDENT,11");
    ASSERT_DB(DbCloseTable(made));
    DBHANDLE t = 0;
    ASSERT_DB(openRaw("ARTIKELMAIN.tbl", &t));
    char name[512];
    uint16_t len = sizeof name;
    ASSERT_DB(DbGetTableFilename(t, name, &len));
    EXPECT_EQ(std::string(name), folder_.file("ArtikelMain.TBL"));
    ASSERT_DB(openRaw("sub\\SETUP.TBL", &t));
    ASSERT_DB(openRaw(folder_.path() + "\\SUB\\setup.tbl", &t));
    EXPECT_EQ(DbCreateTable(connection_, "artikelmain.TBL", "X,4,5", &t), DBE_TABLE_EXISTS);
}

TEST_F(ErrorTest, ARelativeConnectPathWithTheFolderInFrontOfTheNameFindsTheTable) {
    LOCAL_SERVER_ONLY();
    // The components open "<connect path>/<table file>"; with a relative connect path that
    // name is relative to the working directory, not to the connection's folder.
    std::filesystem::create_directory(folder_.file("daten"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    DBHANDLE c = 0, t = 0;
    EXPECT_DB(DbConnect("daten", DB_SERVER_LOCAL, "", "", 0, &c));
    EXPECT_DB(DbCreateTable(c, "daten/Neu.TBL", "X,4,5", &t));
    EXPECT_DB(DbCloseTable(t));
    EXPECT_DB(DbOpenTable(c, "daten\\neu.tbl", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
    EXPECT_DB(DbCloseTable(t));
    EXPECT_DB(DbOpenTable(c, "Neu.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
    EXPECT_DB(DbCloseTable(t));
    EXPECT_DB(DbDisconnect(c));
    std::filesystem::current_path(before);
    EXPECT_TRUE(std::filesystem::exists(folder_.file("daten/Neu.TBL")));
}

TEST_F(ErrorTest, MissingForeignAndDamagedFilesAreRefusedAndLeftUntouched) {
    LOCAL_SERVER_ONLY();
    DBHANDLE t = 0;
    EXPECT_EQ(openRaw("Fehlt.TBL", &t), DBE_FILE_NOT_FOUND);
    EXPECT_NE(lastErrorText().find("Fehlt.TBL"), std::string::npos);
    EXPECT_EQ(openRaw("nichtda/Fehlt.TBL", &t), DBE_FILE_NOT_FOUND);

    // Not one of our files: a text file and another program's SQLite database.
    std::ofstream(folder_.file("Text.TBL")) << std::string(2000, 'x');
    std::string foreign = folder_.file("Fremd.TBL");
    sql(foreign, "CREATE TABLE t(a); INSERT INTO t VALUES(1);");
    // Our own file with damaged definitions, and one cut short.
    std::filesystem::copy_file(folder_.file("ArtikelMain.TBL"), folder_.file("Kaputt.TBL"));
    sql(folder_.file("Kaputt.TBL"), "UPDATE dbe_fields SET type = 99 WHERE fieldno = 2;");
    std::string original = readFileBytes(folder_.file("ArtikelMain.TBL"));
    std::ofstream(folder_.file("Kurz.TBL"), std::ios::binary)
        << original.substr(0, original.size() / 2);

    struct Case {
        const char *file;
        DBRESULT result;
    } cases[] = {{"Text.TBL", DBE_NOT_A_TABLE},
                 {"Fremd.TBL", DBE_NOT_A_TABLE},
                 {"Kaputt.TBL", DBE_TABLE_DAMAGED},
                 {"Kurz.TBL", DBE_TABLE_DAMAGED}};
    for (const Case &c : cases) {
        std::string before = readFileBytes(folder_.file(c.file));
        EXPECT_EQ(openRaw(c.file, &t), c.result) << c.file << ": " << lastErrorText();
        EXPECT_NE(lastErrorText().find(c.file), std::string::npos) << lastErrorText();
        EXPECT_EQ(readFileBytes(folder_.file(c.file)), before) << c.file << " was changed";
        EXPECT_FALSE(std::filesystem::exists(folder_.file(std::string(c.file) + "-journal")));
    }
    EXPECT_FALSE(std::filesystem::exists(foreign + "-wal"));
}

// A "-wal" file is applied by SQLite to whatever file it lies beside: one taken from another
// database must not be read as part of the table, nor written into it when the handle closes.
TEST_F(ErrorTest, AForeignWalBesideATableIsRefusedAndNeverWrittenIntoIt) {
    LOCAL_SERVER_ONLY();
    // Write-ahead logs that still hold their pages: another program's database and another
    // of our own table files, each taken while its connection was open.
    auto walOf = [&](const std::string &name, const char *statements) {
        std::string path = folder_.file(name);
        sqlite3 *db = nullptr;
        EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        std::string wal = readFileBytes(path + "-wal");
        sqlite3_close(db);
        EXPECT_GT(wal.size(), 4096u) << name;
        return wal;
    };
    const std::string foreignWal =
        walOf("Fremd.db", "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; "
                          "CREATE TABLE t(a, b); INSERT INTO t VALUES(1, zeroblob(20000));");
    DBHANDLE other = create("Artikelsub.TBL", "ID_ART,11;MENGE,10");
    ASSERT_DB(DbCloseTable(other));
    const std::string ourOtherWal = walOf(
        "Artikelsub.TBL", "PRAGMA wal_autocheckpoint=0; CREATE INDEX x ON dbe_records(MENGE); "
                          "INSERT INTO dbe_records(ID_ART, MENGE) VALUES(1, 2.5);");

    const std::string table = folder_.file("ArtikelMain.TBL");
    const std::string before = readFileBytes(table);
    for (const std::string *wal : {&foreignWal, &ourOtherWal}) {
        std::ofstream(table + "-wal", std::ios::binary) << *wal;
        std::filesystem::remove(table + "-shm");
        DBHANDLE t = 0;
        DBRESULT rc = openRaw("ArtikelMain.TBL", &t);
        EXPECT_TRUE(rc == DBE_NOT_A_TABLE || rc == DBE_TABLE_DAMAGED) << rc << lastErrorText();
        if (rc == 0)
            DbCloseTable(t);
        EXPECT_NE(lastErrorText().find("ArtikelMain.TBL"), std::string::npos) << lastErrorText();
        EXPECT_TRUE(readFileBytes(table) == before) << "the foreign pages were written into it";
        EXPECT_TRUE(readFileBytes(table + "-wal") == *wal) << "the stray file was changed";
    }
    // Without the stray file the table is whole.
    std::filesystem::remove(table + "-wal");
    std::filesystem::remove(table + "-shm");
    DBHANDLE t = 0;
    ASSERT_DB(openRaw("ArtikelMain.TBL", &t));
    ASSERT_DB(DbGotoTop(t));
    EXPECT_EQ(text(t, "BSTN"), "4711");
}

// Damage the engine's own checks do not see on opening: index entries missing for records.
TEST_F(ErrorTest, TheIntegrityCheckFindsEveryRecordAnIndexLacks) {
    LOCAL_SERVER_ONLY(); // it damages a table file (the server's check: RemoteServerTest)
    DBHANDLE t = 0;
    ASSERT_DB(openRaw("ArtikelMain.TBL", &t));
    uint32_t problems = 9;
    char buf[4096];
    uint32_t len = sizeof buf;
    ASSERT_DB(DbCheckTable(t, &problems, buf, &len));
    EXPECT_EQ(problems, 0u);
    EXPECT_EQ(len, 0u);
    ASSERT_DB(DbCloseTable(t));
    // For a while the index "BSTN" takes no rows: the two added then are missing from it.
    const std::string file = folder_.file("ArtikelMain.TBL");
    sql(file, "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = sql || ' WHERE 0' "
              "WHERE name = 'dbe_tag_BSTN';");
    sql(file, "INSERT INTO dbe_records(ID, BSTN) VALUES(2, 'A'), (3, 'B');");
    sql(file, "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = substr(sql, 1, "
              "length(sql) - 8) WHERE name = 'dbe_tag_BSTN';");
    ASSERT_DB(openRaw("ArtikelMain.TBL", &t)); // opening does not see it
    len = sizeof buf;
    ASSERT_DB(DbCheckTable(t, &problems, buf, &len));
    EXPECT_GE(problems, 2u);
    const std::string found(buf, len);
    EXPECT_NE(found.find("Datensatz 2 fehlt im Index \"BSTN\"."), std::string::npos) << found;
    EXPECT_NE(found.find("Datensatz 3 fehlt im Index \"BSTN\"."), std::string::npos) << found;
    // A buffer too small gets what fits and the length needed.
    char small[8];
    uint32_t smallLen = sizeof small;
    EXPECT_EQ(DbCheckTable(t, &problems, small, &smallLen), DBE_INSUFFICIENT_BUFFER);
    EXPECT_EQ(smallLen, len);
}

TEST_F(ErrorTest, BadHandlesFieldsAndTagsAreClearErrorsThatChangeNothing) {
    const std::string file = remote() ? "" : folder_.file("ArtikelMain.TBL");
    std::string before = readFileBytes(file);
    DBHANDLE t = 0, ix = 0;
    ASSERT_DB(openRaw("ArtikelMain.TBL", &t));
    EXPECT_EQ(DbGetIndexHandle(t, "GIBTSNICHT", &ix), DBE_INDEX_NOT_FOUND);
    EXPECT_NE(lastErrorText().find("GIBTSNICHT"), std::string::npos);
    EXPECT_NE(lastErrorText().find("ArtikelMain.TBL"), std::string::npos);
    ASSERT_EQ(DbGetIndexHandle(t, "bstn", &ix), 0u)
        << "tags are found without regard to case" << lastErrorText();
    char buf[64];
    uint16_t len = sizeof buf;
    ASSERT_DB(DbGetIndexExpr(ix, buf, &len));
    EXPECT_STREQ(buf, "BSTN");
    EXPECT_EQ(DbGetIndexName(t, buf, &len), DBE_INVALID_HANDLE) << "a table handle is no index";
    EXPECT_EQ(DbGotoTop(123456), DBE_INVALID_HANDLE);
    EXPECT_EQ(DbGotoTop(0), DBE_INVALID_HANDLE);
    ASSERT_DB(DbGotoTop(t));
    uint32_t rlen = sizeof buf;
    for (uint16_t f : {0, 4, 999}) {
        EXPECT_EQ(DbGetField(t, f, buf, &rlen, 0), DBE_INVALID_FIELD) << f;
        EXPECT_EQ(DbSetField(t, f, "x", 1), DBE_INVALID_FIELD) << f;
    }
    EXPECT_NE(lastErrorText().find("999"), std::string::npos);
    uint16_t fieldNo = 0;
    EXPECT_EQ(DbGetFieldNum(t, "NOPE", &fieldNo), DBE_INVALID_FIELD);
    EXPECT_EQ(DbGetFieldNum(t, nullptr, &fieldNo), DBE_INVALID_ARGUMENT);
    EXPECT_EQ(DbGetRecordNum(t, nullptr), DBE_INVALID_ARGUMENT);
    EXPECT_EQ(DbSetFilter(t, "(BSTN>1)"), DBE_EXPRESSION);
    ASSERT_DB(DbCloseTable(t));
    EXPECT_EQ(DbCloseTable(t), DBE_INVALID_HANDLE);
    EXPECT_EQ(DbGetIndexName(ix, buf, &len), DBE_INVALID_HANDLE)
        << "index handles go with their table";
    EXPECT_EQ(readFileBytes(file), before);
}

TEST_F(ErrorTest, StorageFailuresCarryTheNativeCode) {
    LOCAL_SERVER_ONLY();
    sql(folder_.file("ArtikelMain.TBL"), "CREATE TRIGGER no_insert BEFORE INSERT ON dbe_records "
                                         "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END;");
    DBHANDLE t = 0;
    ASSERT_DB(openRaw("ArtikelMain.TBL", &t));
    ASSERT_DB(DbAppendRecord(t));
    EXPECT_EQ(DbWriteRecord(t), DBE_STORAGE_ERROR);
    std::string text = lastErrorText();
    EXPECT_NE(text.find("ERROR 7200:"), std::string::npos) << text;
    EXPECT_NE(text.find("NativeError = 1811;"), std::string::npos) << text;
    EXPECT_NE(text.find("ArtikelMain.TBL"), std::string::npos) << text;
}

TEST_F(ErrorTest, CreatingTablesChecksTheFieldList) {
    DBHANDLE t = 0;
    const char *bad[] = {"",       "A",          "A,99",     "A,4",     "A,4,0",
                         "1A,4,5", "A,4,5;a,11", "dbe_x,11", "N,2,5,4", "A B,11"};
    for (const char *fields : bad) {
        EXPECT_EQ(DbCreateTable(connection_, "Neu.TBL", fields, &t), DBE_INVALID_ARGUMENT)
            << fields;
        EXPECT_EQ(DbOpenTable(connection_, "Neu.TBL", nullptr, 3, 1, 1, 1, 0, &t),
                  DBE_FILE_NOT_FOUND)
            << fields;
    }
    if (!remote()) { // a data set has no folders
        EXPECT_EQ(DbCreateTable(connection_, "fehlt/Neu.TBL", "A,11", &t), DBE_FILE_NOT_FOUND);
    }
    EXPECT_EQ(DbCreateTable(connection_, "ArtikelMain.TBL", "A,11", &t), DBE_TABLE_EXISTS);
    EXPECT_EQ(DbCreateTable(connection_, "ARTIKELMAIN.tbl", "A,11", &t), DBE_TABLE_EXISTS);
    // Nothing of a half-made table stays behind.
    if (remote())
        return;
    for (const auto &entry : std::filesystem::directory_iterator(folder_.path()))
        EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos)
            << entry.path();
}

TEST_F(ErrorTest, ErrorTextsStayWithinTheLimitAndSmallBuffersAreHandled) {
    std::string longName(3000, 'x');
    DBHANDLE t = 0;
    EXPECT_NE(openRaw(longName + ".TBL", &t), 0u);
    uint32_t code = 0;
    char buf[1000];
    uint16_t len = sizeof buf;
    ASSERT_DB(DbGetLastError(&code, buf, &len));
    EXPECT_LE(len, DB_MAX_ERROR_TEXT);
    EXPECT_EQ(std::string(buf).size(), len);
    char small[8];
    len = sizeof small;
    EXPECT_EQ(DbGetLastError(&code, small, &len), DBE_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::string(small).size(), 7u);
    len = sizeof buf;
    ASSERT_DB(DbGetErrorString(DBE_RECORD_LOCKED, buf, &len));
    EXPECT_NE(std::string(buf).find("gesperrt"), std::string::npos);
    ASSERT_DB(DbSetLastError(5054, "Update permission not granted on this table."));
    len = sizeof buf;
    ASSERT_DB(DbGetLastError(&code, buf, &len));
    EXPECT_EQ(code, 5054u);
    EXPECT_STREQ(buf, "Update permission not granted on this table.");
    // A successful call keeps the last error.
    ASSERT_DB(DbGotoTop(0) == DBE_INVALID_HANDLE ? 0 : 1);
    ASSERT_DB(DbSetExact(1));
    len = sizeof buf;
    ASSERT_DB(DbGetLastError(&code, buf, &len));
    EXPECT_EQ(code, DBE_INVALID_HANDLE);
    // Texts are Windows-1252.
    EXPECT_NE(std::string(buf).find("\xfc"), std::string::npos) << "Ung\xfcltiges Handle";
}

} // namespace
