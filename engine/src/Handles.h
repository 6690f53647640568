// The C interface's handles: 32-bit numbers, never 0 and never handed out twice, each naming
// a connection, a table or an index of a table. Lookups take no lock, so the per-record calls
// of a walk stay cheap.
//
// Ownership follows the objects' own structure: the open connections (kept here) own their
// tables, and a table owns its index objects. Each object holds its number as a member
// (HandleNumber), entered when the object is made and withdrawn when it is destroyed: a handle
// never names an object that is gone, and closing a connection closes everything below it.
#pragma once

#include "Backend.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace dbeng {

enum class HandleKind : uint8_t { None, Connection, Table, Index };

// The number under which an object is reachable through the C interface, for exactly as long
// as the object lives. Declared as an object's last member, it is entered after the other
// members are made and withdrawn before they are destroyed.
class HandleNumber {
public:
    // Throws DBE_INVALID_HANDLE when the process has used up every number.
    HandleNumber(HandleKind kind, void *object);
    ~HandleNumber();
    HandleNumber(const HandleNumber &) = delete;
    HandleNumber &operator=(const HandleNumber &) = delete;

    uint32_t value() const { return value_; }

private:
    uint32_t value_;
};

struct ConnectionObject;
struct TableObject;

struct IndexObject {
    static constexpr HandleKind kind = HandleKind::Index;
    IndexObject(TableObject &table, int tag) : table(&table), tag(tag) {}

    TableObject *const table;
    const int tag; // 1-based order number
    HandleNumber handle{kind, this};
};

struct TableObject {
    static constexpr HandleKind kind = HandleKind::Table;
    TableObject(ConnectionObject &connection, std::unique_ptr<Table> table, uint32_t options)
        : table(std::move(table)), connection(&connection), options(options) {}

    // Gives the tag with that order number its index handle.
    IndexObject &addIndex(int tag);

    std::unique_ptr<Table> table;
    ConnectionObject *const connection;
    const uint32_t options;
    std::vector<std::unique_ptr<IndexObject>> indexes; // by tag number - 1
    // Raw key building (DbInitRawKey .. DbBuildRawKey): field setters fill this scratch record.
    int scratchTag = 0;
    std::vector<uint8_t> scratch;
    std::vector<int32_t> scratchSet; // bytes set per field, -1 when not set
    // DbDeleteRecord stores at once; the DbWriteRecord that callers send after it confirms that.
    bool justDeleted = false;
    HandleNumber handle{kind, this};
};

struct ConnectionObject {
    static constexpr HandleKind kind = HandleKind::Connection;
    explicit ConnectionObject(std::unique_ptr<Connection> connection)
        : connection(std::move(connection)) {}
    // Closes the tables still open, the last opened first.
    ~ConnectionObject();

    // Takes an opened table, with a handle for the table and one for each of its tags.
    TableObject &addTable(std::unique_ptr<Table> table, uint32_t options);
    // Closes the table and withdraws its handles.
    void closeTable(TableObject &table);
    // Withdraws the table's handles but keeps the table itself until the connection's
    // transaction ends (endTransaction): its writes are part of that transaction.
    void closeInsideTransaction(TableObject &table);
    // The open tables and those closed inside the running transaction: the transaction's.
    std::vector<Table *> transactionTables() const;
    // The transaction is over: the tables closed inside it close now.
    void endTransaction() { closedInTransaction.clear(); }

    std::unique_ptr<Connection> connection;
    std::vector<std::unique_ptr<TableObject>> tables; // the open tables
    std::vector<std::unique_ptr<Table>> closedInTransaction;
    HandleNumber handle{kind, this};
};

// Keeps a new connection open until closeConnection.
ConnectionObject &addConnection(std::unique_ptr<Connection> connection);
// Closes the connection with its tables and withdraws all their handles.
void closeConnection(ConnectionObject &connection);

// The object behind a handle; nullptr when the handle is unknown or of another kind.
void *findObject(uint32_t handle, HandleKind kind);
template <typename T>
T *findHandle(uint32_t handle) {
    return static_cast<T *>(findObject(handle, T::kind));
}

} // namespace dbeng
