// How transactions end when their handles do not wait for them: a table handle closed inside a
// connection transaction, a table handle closed inside its own transaction, a table opened
// after the transaction began, and a connection closed with a transaction still running. What
// was written must be stored or undone as a whole, never lost without a word.
#include "EngineFixture.h"

#include <algorithm>

namespace {

class TransactionEndTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        t_ = fill("Art.TBL");
    }

    // A new table of three records, N1 to N3.
    DBHANDLE fill(const std::string &name) {
        DBHANDLE t = create(name, "ID,15;BSTN,4,20");
        index(t, "BSTN", "BSTN");
        for (int i = 1; i <= 3; ++i)
            add(t, {{"BSTN", "N" + std::to_string(i)}});
        return t;
    }

    // The BSTN values as a fresh connection reads them from what is stored, in record order.
    std::vector<std::string> stored(const std::string &name = "Art.TBL") {
        DBHANDLE c = 0;
        EXPECT_EQ(DbConnect(dataPath().c_str(), serverType(), "", "", 0, &c), 0u)
            << lastErrorText();
        DBHANDLE t = 0;
        EXPECT_EQ(DbOpenTable(c, name.c_str(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                              DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, DB_OPEN_READONLY, &t),
                  0u)
            << lastErrorText();
        std::vector<std::string> out;
        for (uint32_t r : walk(t)) {
            EXPECT_EQ(DbGotoRecord(t, r), 0u) << lastErrorText();
            out.push_back(text(t, "BSTN"));
        }
        EXPECT_EQ(DbCloseTable(t), 0u) << lastErrorText();
        EXPECT_EQ(DbDisconnect(c), 0u) << lastErrorText();
        return out;
    }

    // An append, an edit and a deletion through the handle h.
    void writeThrough(DBHANDLE h) {
        add(h, {{"BSTN", "NEU"}});
        ASSERT_DB(DbGotoRecord(h, 1));
        ASSERT_DB(DbSetField(h, field(h, "BSTN"), "X1", 2));
        ASSERT_DB(DbWriteRecord(h));
        ASSERT_DB(DbGotoRecord(h, 2));
        ASSERT_DB(DbDeleteRecord(h));
    }

    const std::vector<std::string> before_{"N1", "N2", "N3"};
    const std::vector<std::string> written_{"X1", "N3", "NEU"};
    DBHANDLE t_ = 0;
};

TEST_F(TransactionEndTest, AHandleClosedInsideAConnectionTransactionKeepsItsWritesInIt) {
    struct Case {
        const char *table;
        bool openedInside; // the handle was opened after the transaction began
        bool commit;
    };
    for (const Case c : {Case{"A1.TBL", false, true}, Case{"A2.TBL", false, false},
                         Case{"A3.TBL", true, true}, Case{"A4.TBL", true, false}}) {
        SCOPED_TRACE(std::string(c.table) +
                     (c.openedInside ? ": opened inside, " : ": opened before, ") +
                     (c.commit ? "committed" : "rolled back"));
        ASSERT_DB(DbCloseTable(fill(c.table)));
        DBHANDLE h = c.openedInside ? 0 : open(c.table);
        ASSERT_DB(DbBeginConnectionTransaction(connection_));
        if (c.openedInside)
            h = open(c.table);
        ASSERT_NE(h, 0u);
        writeThrough(h);
        ASSERT_DB(DbCloseTable(h));
        // The handle is gone; its writes wait for the end of the transaction.
        EXPECT_EQ(DbSkip(h, 1), DBE_INVALID_HANDLE);
        if (c.commit) {
            ASSERT_DB(DbCommitConnectionTransaction(connection_));
            EXPECT_EQ(stored(c.table), written_);
        } else {
            ASSERT_DB(DbRollbackConnectionTransaction(connection_));
            EXPECT_EQ(stored(c.table), before_);
        }
        // The transaction is over, and with it the table's write lock: the next one begins,
        // and the file takes writes through a new handle.
        ASSERT_DB(DbBeginConnectionTransaction(connection_));
        ASSERT_DB(DbRollbackConnectionTransaction(connection_));
        h = open(c.table);
        add(h, {{"BSTN", "DANACH"}});
        ASSERT_DB(DbCloseTable(h));
        EXPECT_EQ(stored(c.table).back(), "DANACH");
    }
}

TEST_F(TransactionEndTest, WritesOfEveryTableClosedInsideGoWithTheCommit) {
    // Every handle of the transaction closed before its end, the only handle of a second table
    // among them: nothing but the connection is left to commit.
    DBHANDLE sub = create("Sub.TBL", "ID_ART,11");
    ASSERT_DB(DbBeginConnectionTransaction(connection_));
    for (int i = 1; i <= 50; ++i)
        add(sub, {{"ID_ART", std::to_string(i)}});
    writeThrough(t_);
    ASSERT_DB(DbCloseTable(sub));
    ASSERT_DB(DbCloseTable(t_));
    t_ = 0;
    ASSERT_DB(DbCommitConnectionTransaction(connection_));
    EXPECT_EQ(stored(), written_);
    sub = open("Sub.TBL");
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(sub, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 50u);
}

TEST_F(TransactionEndTest, AHandleCannotCloseInsideItsOwnTransaction) {
    ASSERT_DB(DbBeginTransaction(t_));
    writeThrough(t_);
    // Nobody could end the transaction after the close: it is refused, and nothing is lost.
    EXPECT_EQ(DbCloseTable(t_), DBE_TRANSACTION_OPEN);
    const std::string error = lastErrorText();
    EXPECT_NE(error.find("Transaktion"), std::string::npos) << error;
    EXPECT_NE(error.find("Art.TBL"), std::string::npos) << error;
    ASSERT_DB(DbGotoRecord(t_, 1));
    EXPECT_EQ(text(t_, "BSTN"), "X1") << "the handle is still open and usable";
    ASSERT_DB(DbCommitTransaction(t_));
    EXPECT_EQ(stored(), written_);
    ASSERT_DB(DbCloseTable(t_));

    t_ = open("Art.TBL");
    ASSERT_DB(DbBeginTransaction(t_));
    add(t_, {{"BSTN", "WEG"}});
    EXPECT_EQ(DbCloseTable(t_), DBE_TRANSACTION_OPEN);
    ASSERT_DB(DbRollbackTransaction(t_));
    ASSERT_DB(DbCloseTable(t_));
    EXPECT_EQ(stored(), written_);
}

TEST_F(TransactionEndTest, ADisconnectInsideATransactionRollsItBackAndSaysSo) {
    struct Case {
        const char *name;
        bool connectionTransaction;
        bool closeFirst; // the table handles are closed before the disconnect
    };
    for (const Case c : {Case{"connection transaction, tables open", true, false},
                         Case{"connection transaction, tables closed", true, true},
                         Case{"table transaction", false, false}}) {
        SCOPED_TRACE(c.name);
        DBHANDLE conn = 0;
        ASSERT_DB(DbConnect(dataPath().c_str(), serverType(), "", "", 0, &conn));
        DBHANDLE t = 0;
        ASSERT_DB(DbOpenTable(conn, "Art.TBL", nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                              DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &t));
        if (c.connectionTransaction)
            ASSERT_DB(DbBeginConnectionTransaction(conn));
        else
            ASSERT_DB(DbBeginTransaction(t));
        writeThrough(t);
        if (c.closeFirst)
            ASSERT_DB(DbCloseTable(t));
        EXPECT_EQ(DbDisconnect(conn), DBE_TRANSACTION_OPEN);
        const std::string error = lastErrorText();
        EXPECT_NE(error.find("Transaktion"), std::string::npos) << error;
        EXPECT_NE(error.find("zur\xFC"
                             "ckgenommen"),
                  std::string::npos)
            << error; // Windows-1252
        EXPECT_EQ(DbCloseTable(t), DBE_INVALID_HANDLE) << "the connection is closed all the same";
        EXPECT_EQ(stored(), before_) << "nothing half-written";
        // The table's write lock went with it: this connection writes at once.
        ASSERT_DB(DbGotoRecord(t_, 3));
        ASSERT_DB(DbSetField(t_, field(t_, "BSTN"), "N3", 2));
        ASSERT_DB(DbWriteRecord(t_));
    }
}

} // namespace
