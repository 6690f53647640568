// Two processes on one table: record locks held by another process and freed when it dies, a
// change seen by the other side, and a writer killed in the middle of its writes.
#include "EngineFixture.h"

#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A helper process with its standard output readable line by line.
class Helper {
public:
    explicit Helper(const std::vector<std::string> &args) {
        int fds[2];
        if (pipe(fds) != 0)
            throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
            std::vector<char *> argv;
            std::string program = helperProgram();
            argv.push_back(program.data());
            std::vector<std::string> copy = args;
            for (std::string &a : copy)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(fds[1]);
        out_ = fds[0];
    }
    ~Helper() {
        kill();
        close(out_);
    }
    std::string line(int timeoutMs = 10000) {
        std::string s;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            char c;
            if (read(out_, &c, 1) != 1)
                break;
            if (c == '\n')
                return s;
            s += c;
        }
        return s.empty() ? "<no answer>" : s;
    }
    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

class ProcessTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        t_ = create("Art.TBL", "ID,15;A,11;B,11;C,4,10;D,10");
        ASSERT_DB(DbBeginTransaction(t_));
        for (int i = 0; i < 200; ++i)
            add(t_, {{"A", "0"}, {"B", "0"}, {"C", "0"}, {"D", "0"}});
        ASSERT_DB(DbCommitTransaction(t_));
    }
    DBHANDLE t_ = 0;
};

TEST_F(ProcessTest, ALockHeldByAnotherProcessBlocksUntilThatProcessIsKilled) {
    Helper h({"lock", dataPath(), "Art.TBL", "7"});
    ASSERT_EQ(h.line(), "locked");
    EXPECT_EQ(DbLockRecord(t_, 7), DBE_RECORD_LOCKED);
    EXPECT_NE(lastErrorText().find("Art.TBL"), std::string::npos) << lastErrorText();
    uint16_t locked = 0;
    ASSERT_DB(DbIsRecordLocked(t_, 7, &locked));
    EXPECT_EQ(locked, 1);
    ASSERT_DB(DbGotoRecord(t_, 7));
    ASSERT_DB(DbSetField(t_, 2, "5", 1));
    EXPECT_EQ(DbWriteRecord(t_), DBE_RECORD_LOCKED);
    ASSERT_DB(DbCancelUpdate(t_));
    EXPECT_EQ(DbDeleteRecord(t_), DBE_RECORD_LOCKED);
    ASSERT_EQ(DbLockRecord(t_, 8), 0u) << "other records are free" << lastErrorText();

    h.kill(); // SIGKILL: no chance to unlock
    // The local server's lock goes with the process at once; the remote server ends the
    // session as soon as it sees the connection closed, a moment later.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        ASSERT_DB(DbIsRecordLocked(t_, 7, &locked));
        if (locked)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (locked && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(locked, 0);
    ASSERT_DB(DbLockRecord(t_, 7));
    ASSERT_DB(DbSetField(t_, 2, "5", 1));
    ASSERT_DB(DbWriteRecord(t_));
}

TEST_F(ProcessTest, OurLockKeepsTheOtherProcessFromWriting) {
    ASSERT_DB(DbLockRecord(t_, 9));
    Helper w({"write", dataPath(), "Art.TBL", "9", "A", "77"});
    std::string answer = w.line();
    EXPECT_NE(answer.find("error DbWriteRecord(t) 5035"), std::string::npos) << answer;
    ASSERT_DB(DbUnlockRecord(t_, 9));
    Helper w2({"write", dataPath(), "Art.TBL", "9", "A", "77"});
    EXPECT_EQ(w2.line(), "written");
}

TEST_F(ProcessTest, AChangeIsSeenByTheOtherProcessOnItsNextRead) {
    ASSERT_DB(DbGotoRecord(t_, 5));
    ASSERT_DB(DbSetField(t_, 2, "123", 3));
    ASSERT_DB(DbWriteRecord(t_));
    Helper r({"read", dataPath(), "Art.TBL", "5", "A"});
    EXPECT_EQ(r.line(), "123");

    // And the other way round: a walk started afterwards and a direct read both see it.
    ASSERT_DB(DbGotoTop(t_));
    EXPECT_EQ(text(t_, "B"), "0");
    Helper w({"write", dataPath(), "Art.TBL", "1", "B", "42"});
    ASSERT_EQ(w.line(), "written");
    EXPECT_EQ(w.wait(), 0);
    ASSERT_DB(DbGotoRecord(t_, 1));
    EXPECT_EQ(text(t_, "B"), "42");
    ASSERT_DB(DbGotoTop(t_));
    EXPECT_EQ(text(t_, "B"), "42");
}

TEST_F(ProcessTest, AWriterKilledMidWayLeavesASoundFileWithWholeRecords) {
    LOCAL_SERVER_ONLY();
    ASSERT_DB(DbCloseTable(t_));
    t_ = 0;
    std::string path = folder_.file("Art.TBL");
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int start = (attempt + 1) * 1000; // this run's rounds are numbered from here
        Helper w({"writeloop", dataPath(), "Art.TBL", std::to_string(start)});
        ASSERT_EQ(w.line(), "running");
        // Kill it only once it is visibly writing, at a different moment each time.
        DBHANDLE watch = open("Art.TBL", DB_OPEN_READONLY);
        int first = 0;
        for (int i = 0; i < 1000 && first < start; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_DB(DbGotoRecord(watch, 1));
            first = std::stoi(text(watch, "A"));
        }
        ASSERT_GE(first, start) << "the writer made no progress";
        ASSERT_DB(DbCloseTable(watch));
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + attempt * 60));
        w.kill();

        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        sqlite3_stmt *st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)), "ok");
        sqlite3_finalize(st);
        sqlite3_close(db);

        // Each record is wholly of one round: all its fields were written together or not at all.
        DBHANDLE t = open("Art.TBL");
        ASSERT_DB(DbGotoTop(t));
        int rounds = 0, records = 0;
        while (!eof(t)) {
            std::string a = text(t, "A");
            EXPECT_EQ(text(t, "B"), a) << "record " << recno(t);
            EXPECT_EQ(text(t, "C"), a) << "record " << recno(t);
            std::string d = text(t, "D"); // a double 0 reads as empty
            EXPECT_EQ(d.empty() ? 0.0 : std::stod(d), std::stod(a)) << "record " << recno(t);
            rounds = std::max(rounds, std::stoi(a));
            ++records;
            ASSERT_DB(DbSkip(t, 1));
        }
        EXPECT_EQ(records, 200);
        EXPECT_GE(rounds, start) << "this run of the writer got somewhere before it was killed";
        ASSERT_DB(DbCloseTable(t));
    }
}

} // namespace
