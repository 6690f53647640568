// A table of the local server: one SQLite connection on the table file, the cursor with its
// read-ahead batch and the pending change (ServerTable, fed by SQLite statements) and this
// handle's record locks.
#pragma once

#include "../Backend.h"
#include "../ServerTable.h"
#include "RecordLock.h"
#include "Sqlite.h"

#include <functional>
#include <map>
#include <optional>

namespace dbeng {

class LocalTable final : public ServerTable<SqlValue> {
public:
    LocalTable(const std::string &path, uint32_t options);
    ~LocalTable() override;

    const TableDef &def() const override { return def_; }
    bool exclusive() const override { return exclusive_; }

    uint32_t skipToSharedKey(int order, uint32_t most) override;
    uint32_t recordCount(int order, bool respectFilters) override;

    uint32_t blobLength(int field) override;
    std::string readBlob(int field) override;

    bool evaluate(const Filter &filter) override;

    void lock(uint32_t recno) override;
    void unlock(uint32_t recno) override;
    bool isLocked(uint32_t recno) override;

    void write() override;
    void deleteRecord() override;

    int createIndex(const std::string &tag, const std::vector<int> &fields, bool unique) override;

    std::vector<std::string> integrityProblems() override;

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    bool inTransaction() const override { return explicitTransaction_; }
    void closeInsideTransaction() override;

private:
    // The key columns of an order and how rows are sorted in it.
    struct Order {
        std::vector<std::string> columns; // quoted; the folded column for ci-string segments
        std::vector<int> fields;
        std::vector<bool> folded;
        std::string asc, desc;
    };

    // The select list for an order and a set of fields, and where each field's column is.
    struct Select {
        int order = 0;
        std::vector<char> wanted;
        std::vector<int> colOf; // the column of a field read besides the key, or -1
        std::vector<int> keyOf; // the key segment of a key field, or -1
        std::string sql;
    };

    static void sharedKeyFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv);
    // The cursor on record `at` of these (consecutive in the order, with their keys one after
    // the other), found by a query of its own; the others are read ahead.
    void standOn(const std::vector<int64_t> &recnos, const std::vector<SqlValue> &keys, size_t at,
                 bool withRows);
    void buildOrders();
    // Remembers the key columns of every order for the current record before it is deleted.
    void rememberDeletedKeys();
    int orderCount() const override { return static_cast<int>(orders_.size()); }
    void switchOrder(int order) override;
    bool seekKey(const std::vector<KeySegment> &key, bool soft, bool withRecord) override;
    // BatchCursor: the records after the current key (SELECT recno, keys, fields WHERE cond
    // ORDER BY ... LIMIT), a record read afresh.
    std::vector<Condition> levels(int direction, bool fromEdge) const override;
    size_t collect(const Condition &cond, bool descending, size_t limit,
                   const std::vector<char> &wanted) override;
    void fetchRow() override;
    bool isKeyField(int field) const override;
    Condition filterCondition(const Filter &filter) const override;
    bool checkVisible(uint32_t recno) override;
    const Select &selectFor(const std::vector<char> &wanted);
    Condition recordCondition(uint32_t recno) const override;
    bool positionWhere(const Condition &cond, bool descending, bool withRow) override;
    void beginWrite();
    void endWrite(bool ok);
    [[noreturn]] void writeFailed(int rc, const char *what);
    void acquireWriteLock(uint32_t recno, bool &temporary);
    void inWriteTransaction(bool lockCurrent, const std::function<void()> &body);
    void insertPending(int64_t &recno);
    int64_t lastAutoincrement(const FieldDef &field);
    void noteAutoincrement(const FieldDef &field, int64_t last);
    void storeCounter(const std::string &field, int64_t last);
    std::string indexSql(const IndexDef &index) const;
    void dropIndexesForBulkLoad();
    void updatePendingRow();
    SqlValue keyValue(const FieldDef &field, const std::vector<uint8_t> &image, bool prefix) const;

    SqliteDb db_;
    TableDef def_;
    RecordLock locks_;
    bool readOnlyOnDisk_ = false; // not asked for: the file or its folder is write-protected
    bool exclusive_ = false;
    std::vector<Order> orders_;
    std::string rowColumns_;
    std::vector<char> allFields_;
    std::vector<char> noFields_;
    std::vector<Select> selects_;
    std::vector<int> extraColumns_;

    // skipToSharedKey's walk in SQLite (see sharedKeyFunction).
    struct SharedKeyScan;
    std::unique_ptr<SharedKeyScan> sharedKeyScan_;

    bool explicitTransaction_ = false;
    // In a transaction of the caller: the autoincrement counters (stored with the commit), and
    // the bulk load (see beginTransaction).
    std::map<std::string, int64_t> counters_;
    std::vector<IndexDef> bulkDropped_;
    int64_t bulkAppended_ = 0;
    int64_t bulkThreshold_ = 0;
    std::string insertSql_;
    std::vector<SqlValue> insertValues_;
};

} // namespace dbeng
