// Tables in a folder the user may not write to, or whose files are write-protected: they open
// and read as always, and every change is refused with a text that says what is read-only.
#include "EngineFixture.h"
#include "WithoutWriteAccess.h"

#include <sqlite3.h>

#include <filesystem>
#include <sstream>

namespace {

using WithoutWriteAccess::Scope;

struct ReadOnlyCase {
    Scope scope;
    const char *says; // what the refusal of a change names as read-only
};

void PrintTo(const ReadOnlyCase &c, std::ostream *os) {
    *os << (c.scope == Scope::Folder ? "folder" : "files");
}

class ReadOnlyFolderTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        LOCAL_SERVER_ONLY(); // write protection of table files and their folder
        DBHANDLE t = create("Art.TBL", "ID,15;BSTN,4,10");
        index(t, "BSTN", "BSTN");
        for (const char *n : {"B", "A", "B"})
            add(t, {{"BSTN", n}});
        ASSERT_DB(DbCloseTable(t));
        ASSERT_DB(DbDisconnect(connection_));
        connection_ = 0;
    }
};

class ReadOnlyTest : public ReadOnlyFolderTest,
                     public ::testing::WithParamInterface<ReadOnlyCase> {};

// A finding collected in the process that has no write access (gtest's assertions do not
// cross into a child process).
class Findings {
public:
    void expect(bool good, const std::string &what) {
        if (!good)
            out_ << what << " [" << lastErrorText() << "]\n";
    }
    std::string text() const { return out_.str(); }

private:
    std::ostringstream out_;
};

TEST_P(ReadOnlyTest, TablesReadAsAlwaysAndEveryChangeSaysWhatIsReadOnly) {
    const ReadOnlyCase &c = GetParam();
    const std::string before = readFileBytes(folder_.file("Art.TBL"));
    const std::string findings = WithoutWriteAccess::run(folder_.path(), c.scope, [&] {
        Findings f;
        DBHANDLE conn = 0, t = 0, ix = 0;
        f.expect(DbConnect(folder_.path().c_str(), DB_SERVER_LOCAL, "", "", 0, &conn) == 0,
                 "connect");
        if (DbOpenTable(conn, "Art.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t) != 0) {
            f.expect(false, "open");
            return f.text();
        }
        f.expect(DbGetIndexHandle(t, "BSTN", &ix) == 0, "index");
        std::string order;
        uint16_t atEnd = 0;
        DbGotoTop(ix);
        for (int n = 0; n < 10 && DbAtEOF(t, &atEnd) == 0 && !atEnd; ++n, DbSkip(ix, 1)) {
            char buf[16] = {};
            uint32_t len = sizeof buf - 1;
            DbGetField(t, 2, buf, &len, DB_TRIM_RIGHT);
            order += buf;
        }
        f.expect(order == "ABB", "walk read \"" + order + "\"");
        uint32_t options = 0;
        f.expect(DbGetTableOpenOptions(t, &options) == 0 &&
                     (options & DB_OPEN_UPDATE_PERMITTED) == 0 && (options & DB_OPEN_READONLY) == 0,
                 "open options " + std::to_string(options));
        DbGotoTop(ix);
        auto refused = [&](DBRESULT rc, const char *what) {
            const std::string error = lastErrorText();
            f.expect(rc == DBE_READONLY && error.find(c.says) != std::string::npos &&
                         error.find("schreibgesch\xfctzt") != std::string::npos,
                     std::string(what) + " was not refused as read-only");
        };
        refused(DbLockRecord(t, 0), "lock");
        refused(DbSetField(t, 2, "C", 1), "change");
        refused(DbDeleteRecord(t), "delete");
        refused(DbAppendRecord(t), "append");
        DbCloseTable(t);
        DbDisconnect(conn);
        return f.text();
    });
    EXPECT_EQ(findings, "");
    EXPECT_TRUE(readFileBytes(folder_.file("Art.TBL")) == before);
}

// Changes that are still only in the "-wal" file beside the table cannot be read without the
// index SQLite keeps in a "-shm" file, which a write-protected folder does not take: reading
// the file alone would show old records as if they were current.
TEST_F(ReadOnlyFolderTest, ChangesWaitingInAWalFileAreNotSkippedButRefused) {
    const std::string table = folder_.file("Art.TBL");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(table.c_str(), &db), SQLITE_OK);
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE dbe_records SET BSTN = 'Z'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    std::filesystem::remove(table + "-shm");
    ASSERT_GT(std::filesystem::file_size(table + "-wal"), 0u);
    const std::string findings = WithoutWriteAccess::run(folder_.path(), Scope::Folder, [&] {
        Findings f;
        DBHANDLE conn = 0, t = 0;
        DbConnect(folder_.path().c_str(), DB_SERVER_LOCAL, "", "", 0, &conn);
        const DBRESULT rc = DbOpenTable(conn, "Art.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t);
        f.expect(rc == DBE_IO_ERROR && lastErrorText().find("Art.TBL-wal") != std::string::npos,
                 "the table was opened without its changes");
        DbDisconnect(conn);
        return f.text();
    });
    EXPECT_EQ(findings, "");
}

INSTANTIATE_TEST_SUITE_P(Scopes, ReadOnlyTest,
                         ::testing::Values(ReadOnlyCase{Scope::Folder, "Ordner"},
                                           ReadOnlyCase{Scope::Files, "Tabellendatei"}));

} // namespace
