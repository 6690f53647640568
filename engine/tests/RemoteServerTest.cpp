// What only the remote server has: other sessions (another workstation is another session),
// the login, a server that is gone or does not answer, and data paths that name no data set.
// On the local server these tests skip.
#include "EngineFixture.h"

#include "testsupport/ScratchServer.h"

#include <chrono>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class RemoteServerTest : public EngineTest {
protected:
    void SetUp() override {
        if (!remote())
            GTEST_SKIP() << "nur beim Remote-Server";
        EngineTest::SetUp();
        t_ = create("Art.TBL", "ID,15;BSTN,4,20");
        for (int i = 0; i < 5; ++i)
            add(t_, {{"BSTN", "N" + std::to_string(i)}});
    }

    // A second connection to the same data set: another workstation.
    DBHANDLE otherWorkstation() {
        DBHANDLE c = 0;
        EXPECT_DB(DbConnect(dataPath().c_str(), DB_SERVER_REMOTE, "", "", 0, &c));
        others_.push_back(c);
        return c;
    }
    DBHANDLE openOn(DBHANDLE c, uint32_t options = 0) {
        DBHANDLE t = 0;
        EXPECT_DB(DbOpenTable(c, "Art.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, options, &t));
        return t;
    }
    void TearDown() override {
        for (DBHANDLE c : others_)
            DbDisconnect(c);
        EngineTest::TearDown();
    }

    // Connects with the environment given (on top of the scratch server's); returns the result
    // and the seconds it took.
    std::pair<DBRESULT, double>
    connectWith(const std::vector<std::pair<const char *, std::string>> &env, const char *user = "",
                const char *password = "", const std::string &path = {}) {
        std::vector<std::pair<std::string, std::string>> saved;
        for (const auto &[k, v] : env) {
            const char *old = std::getenv(k);
            saved.emplace_back(k, old ? old : "");
            setenv(k, v.c_str(), 1);
        }
        DBHANDLE c = 0;
        const auto start = std::chrono::steady_clock::now();
        DBRESULT r = DbConnect((path.empty() ? dataPath() : path).c_str(), DB_SERVER_REMOTE, user,
                               password, 0, &c);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (r == 0)
            DbDisconnect(c);
        for (const auto &[k, v] : saved) {
            if (v.empty())
                unsetenv(k.c_str());
            else
                setenv(k.c_str(), v.c_str(), 1);
        }
        return {r, seconds};
    }

    DBHANDLE t_ = 0;
    std::vector<DBHANDLE> others_;
};

TEST_F(RemoteServerTest, ARecordLockedOnOneWorkstationIsLockedForTheOther) {
    DBHANDLE mine = t_, theirs = openOn(otherWorkstation());
    ASSERT_DB(DbLockRecord(mine, 3));
    uint16_t locked = 0;
    ASSERT_DB(DbIsRecordLocked(theirs, 3, &locked));
    EXPECT_EQ(locked, 1);
    EXPECT_EQ(DbLockRecord(theirs, 3), DBE_RECORD_LOCKED);
    EXPECT_NE(lastErrorText().find("Art.TBL"), std::string::npos) << lastErrorText();
    ASSERT_DB(DbGotoRecord(theirs, 3));
    ASSERT_DB(DbSetField(theirs, 2, "X", 1));
    EXPECT_EQ(DbWriteRecord(theirs), DBE_RECORD_LOCKED);
    ASSERT_DB(DbCancelUpdate(theirs));
    EXPECT_EQ(DbDeleteRecord(theirs), DBE_RECORD_LOCKED);
    ASSERT_DB(DbLockRecord(theirs, 4)); // other records are free
    // The holder writes; unlocking frees the record for the other.
    ASSERT_DB(DbGotoRecord(mine, 3));
    ASSERT_DB(DbSetField(mine, 2, "MINE", 4));
    ASSERT_DB(DbWriteRecord(mine));
    ASSERT_DB(DbUnlockRecord(mine, 3));
    ASSERT_DB(DbLockRecord(theirs, 3));
    ASSERT_DB(DbGotoRecord(theirs, 3));
    EXPECT_EQ(text(theirs, "BSTN"), "MINE") << "the other workstation reads what was written";
    // Disconnecting (as a workstation that goes away) releases its locks.
    EXPECT_EQ(DbDisconnect(others_.back()), DBE_TABLES_CLOSED);
    others_.pop_back();
    ASSERT_DB(DbLockRecord(mine, 3));
    ASSERT_DB(DbLockRecord(mine, 4));
}

TEST_F(RemoteServerTest, AnExclusiveOpenKeepsOtherWorkstationsOut) {
    DBHANDLE other = otherWorkstation();
    DBHANDLE t = 0;
    EXPECT_EQ(DbOpenTable(other, "Art.TBL", nullptr, 3, 1, 1, 1, DB_OPEN_EXCLUSIVE, &t),
              DBE_RECORD_LOCKED);
    ASSERT_DB(DbCloseTable(t_));
    t_ = openOn(other, DB_OPEN_EXCLUSIVE);
    EXPECT_EQ(DbOpenTable(connection_, "Art.TBL", nullptr, 3, 1, 1, 1, 0, &t), DBE_RECORD_LOCKED);
    EXPECT_NE(lastErrorText().find("exklusiv"), std::string::npos) << lastErrorText();
    ASSERT_DB(DbCloseTable(t_));
    t_ = open("Art.TBL");
}

TEST_F(RemoteServerTest, ADataPathThatNamesNoDataSetIsAClearError) {
    DBHANDLE c = 0;
    const std::string missing = dataPath() + "/gibt-es-nicht";
    EXPECT_EQ(DbConnect(missing.c_str(), DB_SERVER_REMOTE, "", "", 0, &c), DBE_FILE_NOT_FOUND);
    const std::string text = lastErrorText();
    EXPECT_NE(text.find("gibt-es-nicht"), std::string::npos) << text;
    EXPECT_NE(text.find("Datenbestand"), std::string::npos) << text;
    // The same data set is found under another spelling of its path.
    std::string other = dataPath();
    for (char &ch : other)
        ch = ch == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    ASSERT_DB(DbConnect((other + "\\").c_str(), DB_SERVER_REMOTE, "", "", 0, &c));
    DBHANDLE t = 0;
    ASSERT_DB(DbOpenTable(c, (other + "\\ART.tbl").c_str(), nullptr, 3, 1, 1, 1, 0, &t));
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(t, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(DbOpenTable(c, "Fehlt.TBL", nullptr, 3, 1, 1, 1, 0, &t), DBE_FILE_NOT_FOUND);
    EXPECT_NE(lastErrorText().find("Fehlt.TBL"), std::string::npos) << lastErrorText();
    EXPECT_EQ(DbDisconnect(c), DBE_TABLES_CLOSED);
}

TEST_F(RemoteServerTest, AWrongOrMissingPasswordIsRefusedWithAClearText) {
    // Members of "password_required" must give their password on the scratch server.
    const std::string role = "kasse" + std::to_string(getpid());
    ScratchServer::execute("CREATE ROLE " + role +
                           " LOGIN SUPERUSER PASSWORD 'geheim' IN ROLE password_required");
    auto [wrong, t1] = connectWith({}, role.c_str(), "falsch");
    EXPECT_EQ(wrong, DBE_LOGIN_FAILED);
    std::string text = lastErrorText();
    EXPECT_NE(text.find("Passwort ist falsch"), std::string::npos) << text;
    EXPECT_NE(text.find(role), std::string::npos) << text;
    auto [none, t2] = connectWith({{"PGPASSFILE", "/nonexistent"}}, role.c_str(), "");
    EXPECT_EQ(none, DBE_LOGIN_FAILED);
    text = lastErrorText();
    EXPECT_NE(text.find("verlangt"), std::string::npos) << text;
    auto [right, t3] = connectWith({}, role.c_str(), "geheim");
    EXPECT_EQ(right, 0u) << lastErrorText();
    // Without a user name the environment's (PGUSER) counts.
    auto [fromEnvironment, t4] = connectWith({{"PGUSER", role}, {"PGPASSWORD", "geheim"}});
    EXPECT_EQ(fromEnvironment, 0u) << lastErrorText();
    ScratchServer::execute("DROP ROLE " + role);
}

TEST_F(RemoteServerTest, AServerThatIsGoneOrDoesNotAnswerFailsWithinTheConnectTimeout) {
    // No server at all: the socket folder is empty.
    TempFolder empty;
    auto [gone, goneSeconds] = connectWith({{"PGHOST", empty.path()}});
    EXPECT_EQ(gone, DBE_SERVER_NOT_AVAILABLE);
    std::string text = lastErrorText();
    EXPECT_NE(text.find("nicht erreichbar"), std::string::npos) << text;
    EXPECT_NE(text.find(empty.path()), std::string::npos) << text;
    EXPECT_LT(goneSeconds, 5.0);

    // A server that takes the connection and never answers (hung, or cut off behind a
    // network): the connect gives up after the timeout instead of hanging.
    TempFolder hung;
    const std::string socketPath = hung.path() + "/.s.PGSQL.5432";
    int s = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(s, 4), 0);
    auto [silent, silentSeconds] =
        connectWith({{"PGHOST", hung.path()}, {"PGCONNECT_TIMEOUT", "2"}});
    close(s);
    EXPECT_EQ(silent, DBE_SERVER_NOT_AVAILABLE);
    EXPECT_NE(lastErrorText().find("nicht erreichbar"), std::string::npos) << lastErrorText();
    EXPECT_GE(silentSeconds, 1.5);
    EXPECT_LT(silentSeconds, 10.0) << "the connect hung";
}

TEST_F(RemoteServerTest, AConnectionTransactionKeepsOtherWorkstationsFromWritingMeanwhile) {
    DBHANDLE theirs = openOn(otherWorkstation());
    ASSERT_DB(DbLockRecord(theirs, 4));
    ASSERT_DB(DbBeginConnectionTransaction(connection_));
    // Their record lock holds inside the transaction too.
    ASSERT_DB(DbGotoRecord(t_, 4));
    EXPECT_EQ(DbDeleteRecord(t_), DBE_RECORD_LOCKED);
    ASSERT_DB(DbGotoRecord(t_, 2));
    ASSERT_DB(DbDeleteRecord(t_));
    // The other workstation reads the stored data as it was, and waits to write: it may go on
    // only after the commit (a lock it cannot get answers as a locked record or table).
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(theirs, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 5u);
    ScratchServer::execute("SELECT 1"); // a third session is not held up by reading
    ASSERT_DB(DbCommitConnectionTransaction(connection_));
    ASSERT_DB(DbGetRecordCount(theirs, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 4u);
    ASSERT_DB(DbGotoRecord(theirs, 4));
    ASSERT_DB(DbGotoRecord(theirs, 3));
    ASSERT_DB(DbSetField(theirs, 2, "T", 1));
    ASSERT_DB(DbWriteRecord(theirs));
}

// The server's own index check, when its database has it; a clear text naming the extension
// when it has not.
TEST_F(RemoteServerTest, TheTableCheckUsesTheServersIndexCheck) {
    uint32_t problems = 9;
    char buf[4096];
    uint32_t len = sizeof buf;
    ScratchServer::execute("DROP EXTENSION IF EXISTS amcheck");
    EXPECT_EQ(DbCheckTable(t_, &problems, buf, &len), DBE_STORAGE_ERROR);
    const std::string text = lastErrorText();
    EXPECT_NE(text.find("CREATE EXTENSION amcheck"), std::string::npos) << text;
    ScratchServer::execute("CREATE EXTENSION amcheck");
    len = sizeof buf;
    ASSERT_DB(DbCheckTable(t_, &problems, buf, &len));
    EXPECT_EQ(problems, 0u) << std::string(buf, len);
    ScratchServer::execute("DROP EXTENSION amcheck");
}

TEST_F(RemoteServerTest, AConnectRenewsTheCaseFunctionOfAnOlderCatalogue) {
    // A catalogue of an earlier version holds a slower function of the same answers (here the
    // byte-by-byte one); tests beside this one may use it meanwhile.
    ScratchServer::execute(
        "CREATE OR REPLACE FUNCTION dbe_catalog.upper1252(b bytea) RETURNS bytea LANGUAGE sql "
        "STABLE AS $f$ SELECT dbe_catalog.upper1252_bytes(b) $f$");
    DBHANDLE t = openOn(otherWorkstation());
    // The server's database is UTF8: the connect has put the translate() back.
    ScratchServer::execute("DO $$ BEGIN IF NOT (SELECT prosrc LIKE '%translate(%' FROM pg_proc "
                           "WHERE oid = 'dbe_catalog.upper1252(bytea)'::regprocedure) THEN "
                           "RAISE EXCEPTION 'upper1252 was not renewed'; END IF; END $$");
    const uint32_t lower = add(t_, {{"BSTN", "n\xe4x"}});
    ASSERT_DB(DbSetFilter(t, "(UPPER(BSTN)=UPPER(\"N\xc4X\"))"));
    EXPECT_EQ(walk(t), std::vector<uint32_t>{lower});
}

} // namespace
