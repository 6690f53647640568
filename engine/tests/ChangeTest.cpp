// Changes: appending, the pending copy, writing, cancelling, deleting, unique indexes, memos,
// autoincrement numbers, read-only tables, transactions and record locks between handles.
#include "EngineFixture.h"

#include <cstring>

namespace {

class ChangeTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        t_ = create("Art.TBL", "ID,15;BSTN,4,20;BZK,4,20;MEM,5;PIC,6");
        byId_ = index(t_, "ID", "ID", true);
        byBstn_ = index(t_, "BSTN", "BSTN");
        for (int i = 1; i <= 5; ++i)
            add(t_, {{"BSTN", "N" + std::to_string(i)}, {"BZK", "Artikel " + std::to_string(i)}});
    }
    DBHANDLE t_ = 0, byId_ = 0, byBstn_ = 0;
};

TEST_F(ChangeTest, AppendGivesIncreasingNumbersThatAreNeverReused) {
    EXPECT_EQ(text(t_, "ID"), "5");
    EXPECT_EQ(recno(t_), 5u) << "the appended record is current";
    ASSERT_DB(DbGotoRecord(t_, 5));
    ASSERT_DB(DbDeleteRecord(t_));
    uint32_t r = add(t_, {{"BSTN", "N6"}});
    EXPECT_EQ(r, 6u) << "record numbers are not reused";
    EXPECT_EQ(text(t_, "ID"), "6") << "nor autoincrement values";
    // An autoincrement value can be given when appending (imports), not changed afterwards.
    r = add(t_, {{"ID", "100"}, {"BSTN", "N100"}});
    EXPECT_EQ(text(t_, "ID"), "100");
    add(t_, {{"BSTN", "N101"}});
    EXPECT_EQ(text(t_, "ID"), "101");
    EXPECT_EQ(DbSetField(t_, field(t_, "ID"), "5", 1), DBE_INVALID_FIELD_TYPE);
    ASSERT_DB(DbCancelUpdate(t_));
    uint16_t perms = 0;
    ASSERT_DB(DbGetColumnPermissions(t_, field(t_, "ID"), &perms));
    EXPECT_EQ(perms, DB_PERMISSION_READ);
    ASSERT_DB(DbGetColumnPermissions(t_, field(t_, "BSTN"), &perms));
    EXPECT_EQ(perms, DB_PERMISSION_READ | DB_PERMISSION_WRITE);
}

TEST_F(ChangeTest, APendingChangeBlocksMovingUntilWrittenOrCancelled) {
    ASSERT_DB(DbGotoRecord(t_, 2));
    ASSERT_DB(DbSetField(t_, field(t_, "BSTN"), "X", 1));
    EXPECT_EQ(text(t_, "BSTN"), "X") << "reads show the pending copy";
    EXPECT_EQ(DbSkip(t_, 1), DBE_UPDATE_PENDING);
    EXPECT_EQ(DbGotoTop(byBstn_), DBE_UPDATE_PENDING);
    EXPECT_EQ(DbGotoRecord(t_, 1), DBE_UPDATE_PENDING);
    uint16_t found = 0;
    EXPECT_EQ(DbSeek(byBstn_, reinterpret_cast<const uint8_t *>("N1"), 2, DB_KEY_TEXT, DB_SEEK_HARD,
                     &found),
              DBE_UPDATE_PENDING);
    EXPECT_EQ(recno(t_), 2u);
    ASSERT_DB(DbCancelUpdate(t_));
    EXPECT_EQ(text(t_, "BSTN"), "N2");
    EXPECT_EQ(DbCancelUpdate(t_), DBE_NO_UPDATE_PENDING);
    EXPECT_EQ(DbWriteRecord(t_), DBE_NO_UPDATE_PENDING);

    ASSERT_DB(DbSetField(t_, field(t_, "BSTN"), "A0", 2));
    ASSERT_DB(DbWriteRecord(t_));
    EXPECT_EQ(recno(t_), 2u) << "the written record stays current, at its new key";
    ASSERT_DB(DbSkip(byBstn_, 1));
    EXPECT_EQ(recno(t_), 1u);
    ASSERT_DB(DbCloseTable(t_));
    t_ = open("Art.TBL");
    ASSERT_DB(DbGotoRecord(t_, 2));
    EXPECT_EQ(text(t_, "BSTN"), "A0") << "stored";
    EXPECT_EQ(text(t_, "BZK"), "Artikel 2") << "fields not changed stay";
}

TEST_F(ChangeTest, AUniqueIndexRefusesADuplicateAndKeepsThePendingChange) {
    ASSERT_DB(DbGotoRecord(t_, 3));
    ASSERT_DB(DbAppendRecord(t_));
    ASSERT_DB(DbSetField(t_, field(t_, "ID"), "3", 1));
    EXPECT_EQ(DbWriteRecord(t_), DBE_DUPLICATE_KEY);
    EXPECT_NE(lastErrorText().find("\"ID\""), std::string::npos) << lastErrorText();
    ASSERT_DB(DbSetField(t_, field(t_, "ID"), "33", 2));
    ASSERT_DB(DbWriteRecord(t_));
    EXPECT_EQ(text(t_, "ID"), "33");
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(t_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 6u);
    DBHANDLE ix = 0;
    EXPECT_EQ(DbCreateIndex(t_, "BZK", "BZK", DB_INDEX_UNIQUE, &ix), 0u) << lastErrorText();
    add(t_, {{"BZK", "dup"}});
    EXPECT_EQ(DbCreateIndex(t_, "BZK2", "BZK", DB_INDEX_UNIQUE, &ix), 0u)
        << "nulls are not duplicates";
    add(t_, {{"BSTN", "dup"}});
    add(t_, {{"BSTN", "dup"}});
    EXPECT_EQ(DbCreateIndex(t_, "BSTNU", "BSTN", DB_INDEX_UNIQUE, &ix), DBE_DUPLICATE_KEY);
    EXPECT_EQ(DbGetIndexHandle(t_, "BSTNU", &ix), DBE_INDEX_NOT_FOUND)
        << "a failed index leaves nothing";
    EXPECT_EQ(DbCreateIndex(t_, "bstn", "BZK", 0, &ix), DBE_INDEX_EXISTS);
    EXPECT_EQ(DbCreateIndex(t_, "MEMO", "MEM", 0, &ix), DBE_INVALID_FIELD_TYPE);
    EXPECT_EQ(DbCreateIndex(t_, "NOPE", "NOPE", 0, &ix), DBE_INVALID_FIELD);
}

TEST_F(ChangeTest, MemosAndBinariesAreStoredByReference) {
    ASSERT_DB(DbGotoRecord(t_, 1));
    std::string memo(100000, 'm');
    memo[5] = '\0';
    ASSERT_DB(DbSetBinary(t_, field(t_, "MEM"), reinterpret_cast<const uint8_t *>(memo.data()),
                          static_cast<uint32_t>(memo.size())));
    const uint8_t pic[] = {0x89, 'P', 'N', 'G', 0, 1, 2};
    ASSERT_DB(DbSetBinary(t_, field(t_, "PIC"), pic, sizeof pic));
    ASSERT_DB(DbWriteRecord(t_));
    ASSERT_DB(DbCloseTable(t_));
    t_ = open("Art.TBL");
    ASSERT_DB(DbGotoRecord(t_, 1));
    uint32_t len = 0;
    ASSERT_DB(DbGetBinaryLength(t_, field(t_, "MEM"), &len));
    EXPECT_EQ(len, memo.size());
    std::string back(memo.size(), ' ');
    len = static_cast<uint32_t>(back.size());
    ASSERT_DB(DbGetBinary(t_, field(t_, "MEM"), 0, reinterpret_cast<uint8_t *>(back.data()), &len));
    EXPECT_EQ(back, memo);
    uint8_t img[16];
    len = sizeof img;
    ASSERT_DB(DbGetBinary(t_, field(t_, "PIC"), 0, img, &len));
    EXPECT_EQ(std::memcmp(img, pic, sizeof pic), 0);
    EXPECT_EQ(len, sizeof pic);
    EXPECT_EQ(DbGetBinaryLength(t_, field(t_, "BSTN"), &len), DBE_INVALID_FIELD_TYPE);
    ASSERT_DB(DbSetEmpty(t_, field(t_, "MEM")));
    ASSERT_DB(DbWriteRecord(t_));
    uint16_t empty = 0;
    ASSERT_DB(DbIsEmpty(t_, field(t_, "MEM"), &empty));
    EXPECT_EQ(empty, 1);
}

TEST_F(ChangeTest, ReadOnlyTablesRefuseChanges) {
    DBHANDLE ro = open("Art.TBL", DB_OPEN_READONLY);
    uint32_t options = 0;
    ASSERT_DB(DbGetTableOpenOptions(ro, &options));
    EXPECT_EQ(options & DB_OPEN_UPDATE_PERMITTED, 0u);
    EXPECT_NE(options & DB_OPEN_READONLY, 0u);
    ASSERT_DB(DbGetTableOpenOptions(t_, &options));
    EXPECT_NE(options & DB_OPEN_UPDATE_PERMITTED, 0u);
    ASSERT_DB(DbGotoTop(ro));
    EXPECT_EQ(DbSetField(ro, 2, "x", 1), DBE_READONLY);
    EXPECT_EQ(DbAppendRecord(ro), DBE_READONLY);
    EXPECT_EQ(DbDeleteRecord(ro), DBE_READONLY);
    EXPECT_EQ(text(ro, "BSTN"), "N1");
}

TEST_F(ChangeTest, TransactionsStoreAllOrNothing) {
    ASSERT_DB(DbBeginTransaction(t_));
    add(t_, {{"BSTN", "T1"}});
    add(t_, {{"BSTN", "T2"}});
    ASSERT_DB(DbRollbackTransaction(t_));
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(t_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 5u);
    ASSERT_DB(DbBeginTransaction(t_));
    add(t_, {{"BSTN", "T3"}});
    ASSERT_DB(DbAppendRecord(t_));
    ASSERT_DB(DbSetField(t_, 1, "1", 1));
    if (remote()) {
        // The remote server sends the appends of a transaction in bulk: the duplicate fails
        // the whole transaction (BulkAppendTest).
        ASSERT_DB(DbWriteRecord(t_));
        EXPECT_EQ(DbCommitTransaction(t_), DBE_DUPLICATE_KEY);
        ASSERT_DB(DbGetRecordCount(t_, DB_IGNORE_FILTERS, &count));
        EXPECT_EQ(count, 5u);
        return;
    }
    EXPECT_EQ(DbWriteRecord(t_), DBE_DUPLICATE_KEY) << "a failed write inside keeps the others";
    ASSERT_DB(DbCancelUpdate(t_));
    ASSERT_DB(DbCommitTransaction(t_));
    ASSERT_DB(DbGetRecordCount(t_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(DbCommitTransaction(t_), DBE_INVALID_ARGUMENT);
}

TEST_F(ChangeTest, AConnectionTransactionSpansTheTablesOfTheConnection) {
    DBHANDLE other = create("Sub.TBL", "ID_ART,11");
    add(other, {{"ID_ART", "2"}});
    DBHANDLE locker = open("Art.TBL");
    ASSERT_DB(DbLockRecord(locker, 4));
    // Rolled back: the deletion in one table and the record added in the other are undone.
    ASSERT_DB(DbBeginConnectionTransaction(connection_));
    EXPECT_EQ(DbBeginConnectionTransaction(connection_), DBE_INVALID_ARGUMENT) << "not nested";
    ASSERT_DB(DbGotoRecord(t_, 2));
    ASSERT_DB(DbDeleteRecord(t_));
    add(other, {{"ID_ART", "3"}});
    ASSERT_DB(DbRollbackConnectionTransaction(connection_));
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(t_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 5u);
    ASSERT_DB(DbGetRecordCount(other, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 1u);
    ASSERT_DB(DbGotoRecord(t_, 2));
    EXPECT_EQ(text(t_, "BSTN"), "N2");
    // A locked record refuses its deletion and leaves the transaction usable.
    ASSERT_DB(DbBeginConnectionTransaction(connection_));
    ASSERT_DB(DbGotoRecord(t_, 4));
    EXPECT_EQ(DbDeleteRecord(t_), DBE_RECORD_LOCKED);
    ASSERT_DB(DbGotoRecord(t_, 5));
    ASSERT_DB(DbDeleteRecord(t_));
    ASSERT_DB(DbCommitConnectionTransaction(connection_));
    EXPECT_EQ(DbCommitConnectionTransaction(connection_), DBE_INVALID_ARGUMENT);
    ASSERT_DB(DbGetRecordCount(t_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(DbGotoRecord(t_, 5), DBE_RECORD_NOT_FOUND);
    ASSERT_DB(DbGotoRecord(t_, 4));
}

TEST_F(ChangeTest, ARecordLockedByAnotherHandleCannotBeChangedOrDeleted) {
    DBHANDLE other = open("Art.TBL");
    ASSERT_DB(DbLockRecord(other, 3));
    uint16_t locked = 0;
    ASSERT_DB(DbIsRecordLocked(t_, 3, &locked));
    EXPECT_EQ(locked, 1);
    EXPECT_EQ(DbLockRecord(t_, 3), DBE_RECORD_LOCKED);
    EXPECT_NE(lastErrorText().find("Art.TBL"), std::string::npos);
    EXPECT_NE(lastErrorText().find("3"), std::string::npos);
    ASSERT_DB(DbGotoRecord(t_, 3));
    ASSERT_DB(DbSetField(t_, 2, "Z", 1));
    EXPECT_EQ(DbWriteRecord(t_), DBE_RECORD_LOCKED);
    ASSERT_DB(DbCancelUpdate(t_));
    EXPECT_EQ(DbDeleteRecord(t_), DBE_RECORD_LOCKED);
    // The lock holder may change it.
    ASSERT_DB(DbGotoRecord(other, 3));
    ASSERT_DB(DbSetField(other, 2, "Z", 1));
    ASSERT_DB(DbWriteRecord(other));
    ASSERT_DB(DbUnlockRecord(other, 3));
    ASSERT_DB(DbIsRecordLocked(t_, 3, &locked));
    EXPECT_EQ(locked, 0);
    ASSERT_DB(DbLockRecord(t_, 0));
    ASSERT_DB(DbGotoRecord(t_, 3));
    EXPECT_EQ(text(t_, "BSTN"), "Z") << "after locking, the stored record is read";
    ASSERT_DB(DbCloseTable(other)); // closing drops its locks
    ASSERT_DB(DbDeleteRecord(t_));
    EXPECT_EQ(DbLockRecord(t_, 3), DBE_RECORD_NOT_FOUND);
}

TEST_F(ChangeTest, ExclusiveOpenKeepsOthersOut) {
    DBHANDLE ex = 0;
    EXPECT_EQ(DbOpenTable(connection_, "Art.TBL", nullptr, 3, 1, 1, 1, DB_OPEN_EXCLUSIVE, &ex),
              DBE_RECORD_LOCKED)
        << "the table is open already";
    ASSERT_DB(DbCloseTable(t_));
    t_ = 0;
    ex = open("Art.TBL", DB_OPEN_EXCLUSIVE);
    DBHANDLE again = 0;
    EXPECT_EQ(DbOpenTable(connection_, "Art.TBL", nullptr, 3, 1, 1, 1, 0, &again),
              DBE_RECORD_LOCKED);
    EXPECT_NE(lastErrorText().find("exklusiv"), std::string::npos);
}

} // namespace
