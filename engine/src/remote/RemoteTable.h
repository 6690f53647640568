// A table of the remote server: the cursor with its read-ahead batch and the pending change
// (ServerTable, fed by keyset queries) and this handle's record locks, on the records table of
// a data set. It behaves as the local server's
// table does (docs/ENGINE.md); what differs is how: walks fetch batches in key order with
// keyset continuation, every read is one prepared statement, and a write is one statement that
// also takes the record's lock for its transaction.
#pragma once

#include "../Backend.h"
#include "../ServerTable.h"
#include "RemoteSession.h"

#include <map>
#include <memory>
#include <optional>

namespace dbeng {

class RemoteTable final : public ServerTable<PgValue> {
public:
    RemoteTable(std::shared_ptr<RemoteSession> session, RemoteTableDef def, uint32_t options);
    ~RemoteTable() override;

    const TableDef &def() const override { return rdef_.def; }
    bool exclusive() const override { return exclusive_; }

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
    bool inTransaction() const override { return session_->transactionOwner == this; }
    void closeInsideTransaction() override;

    // The session's transaction was rolled back: what was read since it began may be gone.
    void forgetReads();
    const std::string &relation() const { return rdef_.relation; }

private:
    struct Order {
        std::vector<std::string> columns; // quoted; the folded column for ci-string segments
        std::vector<int> fields;
        std::vector<bool> folded;
        std::vector<PgValue::Kind> kinds;
        std::string asc, desc;
    };

    struct Select {
        int order = 0;
        std::vector<char> wanted;
        std::vector<int> colOf;
        std::string sql;
    };

    PgSession &pg() { return session_->pg(); }
    const std::string &path() const { return rdef_.def.path; }
    void buildOrders();
    [[noreturn]] void lockedError(uint32_t recno) const;
    int orderCount() const override { return static_cast<int>(orders_.size()); }
    void switchOrder(int order) override;
    bool seekKey(const std::vector<KeySegment> &key, bool soft, bool withRecord) override;
    // BatchCursor: the records after the current key (keyset queries; a condition's "?" are
    // numbered when its statement is assembled), a record read afresh.
    std::vector<Condition> levels(int direction, bool fromEdge) const override;
    size_t collect(const Condition &cond, bool descending, size_t limit,
                   const std::vector<char> &wanted) override;
    void fetchRow() override;
    bool isKeyField(int field) const override;
    Condition filterCondition(const Filter &filter) const override;
    bool checkVisible(uint32_t recno) override;
    // The statement of a batch (numbered; single: of one row), and the batch it reads; limit
    // is the last value of a batch's statement (null for a single row's).
    std::string statement(const Select &sel, const Condition &cond, bool descending,
                          bool single) const;
    size_t fill(const Select &sel, const std::string &sql, const Condition &cond,
                const PgValue &limit);
    const Select &selectFor(const std::vector<char> &wanted);
    Condition recordCondition(uint32_t recno) const override;
    bool positionWhere(const Condition &cond, bool descending, bool withRow) override;
    std::string rowColumns(const std::string &alias) const;
    void rowFromResult(const PgResult &r, int row, int firstColumn);
    void insertPending();
    // Inside a transaction: the record goes to the session's held appends.
    void holdPending();
    const std::string &insertColumns();
    void updatePendingRow();
    [[noreturn]] void duplicateKey(const std::string &tag) const;
    std::string conflictingTag();
    PgValue keyValue(const FieldDef &field, const std::vector<uint8_t> &image, bool prefix) const;
    PgResult run(const std::string &sql, const std::vector<PgValue> &binds, const char *what);
    PgResult runChange(const std::string &sql, const std::vector<PgValue> &binds, const char *what);

    std::shared_ptr<RemoteSession> session_;
    RemoteTableDef rdef_;
    bool exclusive_ = false;
    bool opened_ = false;
    std::vector<Order> orders_;
    std::vector<char> allFields_;
    std::vector<char> noFields_;
    std::vector<Select> selects_;
    // The statement positionWhere last assembled, and what it was assembled for.
    struct Positioning {
        int order = -1;
        bool descending = false, withRow = false;
        std::string condition, filter, sql;
    } positioning_;

    std::string insertColumns_;
};

} // namespace dbeng
