// Paths cross the interface as the file system's bytes (UTF-8 here), texts as Windows-1252:
// folders with any characters open, and the error texts that quote them stay readable.
#include "EngineFixture.h"

#include "DataPath.h"

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {

// A data folder below the temporary one, named with characters of every kind.
class DataPathTest : public EngineTest, public ::testing::WithParamInterface<const char *> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        data_ = folder_.path() + "/" + GetParam();
        std::filesystem::create_directories(std::filesystem::path(data_));
    }
    void TearDown() override {
        if (data_connection_)
            DbDisconnect(data_connection_);
        EngineTest::TearDown();
    }

    DBHANDLE connectData(const std::string &path) {
        DBHANDLE c = 0;
        DBRESULT rc = DbConnect(path.c_str(), DB_SERVER_LOCAL, "", "", 0, &c);
        EXPECT_EQ(rc, 0u) << lastErrorText();
        return c;
    }

    std::string data_;
    DBHANDLE data_connection_ = 0;
};

// A path as the engine's Windows-1252 texts show it: the characters Windows-1252 has (of
// those used here, the Latin-1 letters and "€"), "?" for each other one.
std::string shown(const std::string &utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += char(c);
        } else if (c == 0xC3) {
            out += char(0xC0 | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else if (utf8.compare(i, 3, "\xE2\x82\xAC") == 0) {
            out += '\x80';
            i += 2;
        } else {
            out += '?';
            while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80)
                ++i;
        }
    }
    return out;
}

TEST_P(DataPathTest, AFolderWithAnyCharactersIsCreatedOpenedAndWalked) {
    LOCAL_SERVER_ONLY(); // it opens a table file by its full path
    data_connection_ = connectData(data_);
    DBHANDLE t = 0;
    ASSERT_DB(DbCreateTable(data_connection_, "ArtikelMain.TBL", "ID,15;BSTN,4,50", &t));
    index(t, "BSTN", "BSTN");
    add(t, {{"BSTN", "B-2"}});
    add(t, {{"BSTN", "A-1"}});
    ASSERT_DB(DbCloseTable(t));

    // By a bare name in the connection's folder, and by the full path from another connection.
    ASSERT_DB(
        DbOpenTable(data_connection_, "ArtikelMain.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
    char name[1024];
    uint16_t len = sizeof name;
    ASSERT_DB(DbGetTableFilename(t, name, &len));
    EXPECT_EQ(std::string(name), data_ + "/ArtikelMain.TBL") << "the file system's bytes";
    DBHANDLE bstn = 0;
    ASSERT_DB(DbGetIndexHandle(t, "BSTN", &bstn));
    EXPECT_EQ(walk(bstn), (std::vector<uint32_t>{2, 1}));
    ASSERT_DB(DbCloseTable(t));

    const std::string full = data_ + "/ArtikelMain.TBL";
    ASSERT_DB(DbOpenTable(connection_, full.c_str(), nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
    EXPECT_EQ(walk(t), (std::vector<uint32_t>{1, 2}));
    ASSERT_DB(DbCloseTable(t));
}

TEST_P(DataPathTest, ErrorTextsShowThePathInWindows1252WithQuestionMarks) {
    data_connection_ = connectData(data_);
    DBHANDLE t = 0;
    EXPECT_EQ(DbOpenTable(data_connection_, "Fehlt.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t),
              DBE_FILE_NOT_FOUND);
    EXPECT_EQ(lastErrorText(),
              "[5029] Die Tabellendatei \"" + shown(data_) + "/Fehlt.TBL\" wurde nicht gefunden.");

    DBHANDLE c = 0;
    const std::string missing = data_ + "/nirgends";
    EXPECT_EQ(DbConnect(missing.c_str(), DB_SERVER_LOCAL, "", "", 0, &c), DBE_FILE_NOT_FOUND);
    EXPECT_EQ(lastErrorText(),
              "[5029] Das Datenverzeichnis \"" + shown(missing) + "\" wurde nicht gefunden.");
}

TEST_P(DataPathTest, ADictionaryFileInSuchAFolderOpensItsFreeTables) {
    DBHANDLE plain = connectData(data_);
    DBHANDLE t = 0;
    ASSERT_DB(DbCreateTable(plain, "setup.TBL", "IDENT,11", &t));
    ASSERT_DB(DbCloseTable(t));
    ASSERT_DB(DbDisconnect(plain));
    std::ofstream(std::filesystem::path(data_ + "/Firma.DIC")) << "dictionary";

    data_connection_ = connectData(data_ + "/Firma.DIC");
    EXPECT_EQ(
        DbOpenTable(data_connection_, "setup.TBL", nullptr, DB_TABLE_DICTIONARY, 1, 1, 1, 0, &t),
        DBE_NOT_IN_DICTIONARY);
    const std::string free = datapath::tableFolder(data_ + "/Firma.DIC") + "/setup.TBL";
    EXPECT_EQ(free, data_ + "/setup.TBL");
    ASSERT_DB(
        DbOpenTable(data_connection_, free.c_str(), nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t));
}

INSTANTIATE_TEST_SUITE_P(Folders, DataPathTest,
                         ::testing::Values("\xC5\x82ukasz/Daten", // łukasz: not in Windows-1252
                                           "B\xC3\xA4"
                                           "ckerei 1",                 // Bäckerei 1: in it
                                           "\xCE\xA9mega \xE2\x82\xAC" // Ωmega €
                                           ));

TEST_F(EngineTest, PartsOfAPathAreFoundInAnyLetterCaseOfWindows1252Letters) {
    std::filesystem::create_directories(std::filesystem::path(folder_.file("B\xC3\xA4"
                                                                           "ckerei 1")));
    DBHANDLE c = 0, t = 0;
    const std::string upper = folder_.file("B\xC3\x84"
                                           "CKEREI 1"); // BÄCKEREI 1
    ASSERT_DB(DbConnect(upper.c_str(), DB_SERVER_LOCAL, "", "", 0, &c));
    ASSERT_DB(DbCreateTable(c, "Setup.TBL", "IDENT,11", &t));
    char name[1024];
    uint16_t len = sizeof name;
    ASSERT_DB(DbGetTableFilename(t, name, &len));
    EXPECT_EQ(std::string(name), folder_.file("B\xC3\xA4"
                                              "ckerei 1/Setup.TBL"));
    EXPECT_EQ(DbDisconnect(c), DBE_TABLES_CLOSED);
}

TEST_F(EngineTest, APathThatIsNoUtf8OpensAndShowsQuestionMarksForItsBadBytes) {
    const std::string latin1 = folder_.file("Caf\xE9"); // a folder named in Latin-1
    ASSERT_EQ(mkdir(latin1.c_str(), 0700), 0);
    DBHANDLE c = 0, t = 0;
    ASSERT_DB(DbConnect(latin1.c_str(), DB_SERVER_LOCAL, "", "", 0, &c));
    ASSERT_DB(DbCreateTable(c, "Setup.TBL", "IDENT,11", &t));
    ASSERT_DB(DbCloseTable(t));
    EXPECT_EQ(DbOpenTable(c, "Fehlt.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t),
              DBE_FILE_NOT_FOUND);
    EXPECT_EQ(lastErrorText(), "[5029] Die Tabellendatei \"" + folder_.path() +
                                   "/Caf?/Fehlt.TBL\" wurde nicht gefunden.");
    ASSERT_DB(DbDisconnect(c));
}

TEST_F(EngineTest, ALongPathIsShortenedAtACharacterNotInsideOne) {
    const std::string umlauts = [] {
        std::string u;
        for (int i = 0; i < 75; ++i)
            u += "\xC3\xA4"; // ä
        return u;
    }();
    const std::string deep = folder_.path() + "/" + umlauts + "/" + umlauts;
    std::filesystem::create_directories(std::filesystem::path(deep));
    DBHANDLE c = 0, t = 0;
    ASSERT_DB(DbConnect(deep.c_str(), DB_SERVER_LOCAL, "", "", 0, &c));
    // The last 240 bytes: "/Fehlt.TBL", 150 bytes of the inner folder, "/" and 79 bytes of the
    // outer one, which would begin inside an "ä".
    EXPECT_EQ(DbOpenTable(c, "Fehlt.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t),
              DBE_FILE_NOT_FOUND);
    EXPECT_EQ(lastErrorText(), "[5029] Die Tabellendatei \"..." + std::string(39, '\xE4') + "/" +
                                   std::string(75, '\xE4') + "/Fehlt.TBL\" wurde nicht gefunden.");
    ASSERT_DB(DbDisconnect(c));
}

TEST(DataPath, WhatIsADictionaryAndWhereItsTablesLie) {
    struct Case {
        const char *path;
        bool dictionary;
        const char *folder;
    };
    const Case cases[] = {
        {"/daten/firma", false, "/daten/firma"},
        {"/daten/firma/", false, "/daten/firma"},
        {"/daten/firma/x.DIC", true, "/daten/firma"},
        {"C:\\daten\\x.dic", true, "C:/daten"},
        {"C:\\a/b\\x.Dic", true, "C:/a/b"},
        {"x.Dic", true, "."},
        {"/x.DIC", true, "/"},
        {".dic", true, ".dic"}, // nothing before the ending: a folder of that name
        {"/daten/FIRMA.DICT/2024", true, "/daten/FIRMA.DICT/2024"},
        {"/srv/B\xC3\xA4"
         "ckerei 1/Firma.dic",
         true,
         "/srv/B\xC3\xA4"
         "ckerei 1"},
        {"/daten/dic", false, "/daten/dic"},
        {"/daten/x.DI", false, "/daten/x.DI"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(datapath::isDictionary(c.path), c.dictionary) << c.path;
        EXPECT_EQ(datapath::tableFolder(c.path), c.folder) << c.path;
    }
}

TEST(DataPath, NamesAreTheSameInAnyCaseOfTheLettersOfWindows1252) {
    struct Case {
        const char *a, *b;
        bool same;
    };
    const Case cases[] = {
        {"ArtikelMain.TBL", "ARTIKELMAIN.tbl", true},
        {"B\xC3\xA4"
         "ckerei",
         "B\xC3\x84"
         "CKEREI",
         true}, // ä Ä
        {"\xC5\xA1"
         "ef",
         "\xC5\xA0"
         "EF",
         true},                                    // š Š
        {"\xC5\x82ukasz", "\xC5\x81UKASZ", false}, // ł Ł: not in Windows-1252
        {"\xC5\x82ukasz", "\xC5\x82UKASZ", true},
        {"stra\xC3\x9F"
         "e",
         "STRASSE", false},            // ß stays ß
        {"Caf\xE9", "CAF\xC9", false}, // bytes that are no UTF-8
        {"Caf\xE9", "Caf\xE9", true},
        {"a", "ab", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(datapath::sameName(c.a, c.b), c.same) << c.a << " / " << c.b;
}

} // namespace
