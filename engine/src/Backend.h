// What a backend provides behind the C interface. The C entry points (DbApi.cpp) own handles,
// argument checks, buffers, text conversion, raw keys and filter parsing; a backend stores
// and finds records. The local server (local/) implements this on SQLite, the remote server
// (remote/) on a PostgreSQL server.
#pragma once

#include "FilterExpr.h"
#include "TableDef.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dbeng {

// One segment of a seek key: the field image (full), or for a string the leading bytes that a
// value must begin with (prefix).
struct KeySegment {
    std::vector<uint8_t> image;
    bool prefix = false;
};

// How a seek treats a key it does not find, and what it reads of a record it finds.
struct SeekMode {
    bool soft = false;       // not found: on the next greater key (or at the end)
    bool stay = false;       // not found: the cursor stays where it stood (not with soft)
    bool withRecord = false; // the record found comes with the seek (its fields are read next)
};

// Orders: 0 is the table's natural (record number) order, n > 0 the n-th index tag.
class Table {
public:
    virtual ~Table() = default;

    virtual const TableDef &def() const = 0;
    virtual bool readOnly() const = 0;
    virtual bool exclusive() const = 0;

    virtual void gotoBOF(int order) = 0;
    virtual void gotoTop(int order) = 0;
    virtual void gotoBottom(int order) = 0;
    virtual void skip(int order, int32_t count) = 0;
    // Forward as skip(order, 1), first passing over at most `most` records whose key neither
    // neighbour in the order shares; answers how many it passed (DbSkipToSharedKey). Passing
    // none is always right: that is what a backend without a cheaper way does.
    virtual uint32_t skipToSharedKey(int order, uint32_t most) {
        (void)most;
        skip(order, 1);
        return 0;
    }
    virtual bool atEOF() const = 0;
    virtual bool atBOF() const = 0;
    // Throws DBE_NO_CURRENT_RECORD at BOF, EOF and on a deleted record.
    virtual bool isVisible() = 0;
    // The current record's number; throws DBE_NO_CURRENT_RECORD at BOF, EOF and on a deleted
    // record.
    virtual uint32_t recordNumber() = 0;
    // The cursor's place as a bookmark: the number of the record it stands on, also when that
    // record is gone (deleted by this handle or by another user). A caller that keeps its place
    // across a search must be able to ask for it wherever the cursor stands; going back to a
    // record that is gone answers DBE_RECORD_NOT_FOUND. Throws DBE_NO_CURRENT_RECORD at BOF
    // and EOF.
    virtual uint32_t bookmark() = 0;
    // Keeps the order; a missing record throws DBE_RECORD_NOT_FOUND and leaves EOF.
    virtual void gotoRecord(uint32_t recno) = 0;
    virtual uint32_t recordCount(int order, bool respectFilters) = 0;

    // Image of one field (0-based) or of the whole record, of the pending change if any.
    virtual void readField(int field, uint8_t *image) = 0;
    virtual void readRecord(uint8_t *image) = 0;
    // Memo-like fields.
    virtual uint32_t blobLength(int field) = 0;
    virtual std::string readBlob(int field) = 0;

    virtual bool seek(int order, const std::vector<KeySegment> &key, const SeekMode &mode) = 0;

    // which: 0 plain filter, 1 optimised filter; both restrict skipping and counting.
    virtual void setFilter(int which, std::unique_ptr<Filter> filter) = 0;
    virtual const Filter *filter(int which) const = 0;
    virtual bool evaluate(const Filter &filter) = 0;

    virtual void lock(uint32_t recno) = 0; // 0: the current record
    virtual void unlock(uint32_t recno) = 0;
    virtual bool isLocked(uint32_t recno) = 0;

    virtual void append() = 0;
    virtual bool updatePending() const = 0;
    virtual void setField(int field, const uint8_t *image) = 0;
    virtual void setBlob(int field, const std::string *value) = 0; // nullptr: empty
    virtual void write() = 0;
    virtual void cancel() = 0;
    virtual void deleteRecord() = 0;

    virtual int createIndex(const std::string &tag, const std::vector<int> &fields,
                            bool unique) = 0;

    // The findings of a check of the whole table file (its records and indexes); none when it
    // is sound.
    virtual std::vector<std::string> integrityProblems() = 0;

    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;
    // Whether this handle's own transaction (beginTransaction) runs, or on the local server
    // its part of the connection's transaction.
    virtual bool inTransaction() const = 0;
    // The handle closes while the connection's transaction runs: its writes stay part of that
    // transaction, so the table lives on until the transaction ends; its record locks and a
    // change not written end now, as with any close.
    virtual void closeInsideTransaction() = 0;
};

class Connection {
public:
    virtual ~Connection() = default;
    virtual uint16_t serverType() const = 0;
    virtual bool isDictionary() const = 0;
    virtual const std::string &folder() const = 0;
    virtual std::unique_ptr<Table> openTable(const std::string &name, uint32_t options) = 0;
    virtual std::unique_ptr<Table> createTable(const std::string &name,
                                               const std::vector<FieldDef> &fields) = 0;

    // One transaction around everything the given tables (the connection's open tables) read
    // and write until commit or rollback; while it runs no other connection writes to them.
    virtual void beginTransaction(const std::vector<Table *> &tables) = 0;
    virtual void commitTransaction(const std::vector<Table *> &tables) = 0;
    virtual void rollbackTransaction(const std::vector<Table *> &tables) = 0;
    virtual bool inTransaction() const = 0;
    // A table opened while the transaction runs takes part in it as the others do; tables are
    // the connection's tables besides it.
    virtual void joinTransaction(Table &table, const std::vector<Table *> &tables) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual uint16_t serverType() const = 0;
    virtual std::unique_ptr<Connection> connect(const std::string &path, const std::string &user,
                                                const std::string &password, uint32_t options) = 0;
};

// The backends this build has, by server type; nullptr when none.
Backend *backendFor(uint16_t serverType);

} // namespace dbeng
