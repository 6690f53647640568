// The C interface's handles: 32-bit numbers, never 0 and never handed out twice, each naming
// a connection, a table or an index of a table. Lookups take no lock, so the per-record calls
// of a walk stay cheap.
#pragma once

#include "Backend.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace dbeng {

struct TableObject;

struct ConnectionObject {
    std::unique_ptr<Connection> connection;
    std::vector<TableObject *> tables;
    uint32_t handle = 0;
};

struct IndexObject {
    TableObject *table = nullptr;
    int tag = 0; // 1-based order number
    uint32_t handle = 0;
};

struct TableObject {
    std::unique_ptr<Table> table;
    ConnectionObject *connection = nullptr;
    uint32_t handle = 0;
    uint32_t options = 0;
    std::vector<std::unique_ptr<IndexObject>> indexes; // by tag number - 1
    // Raw key building (DbInitRawKey .. DbBuildRawKey): field setters fill this scratch record.
    int scratchTag = 0;
    std::vector<uint8_t> scratch;
    std::vector<int32_t> scratchSet; // bytes set per field, -1 when not set
    // DbDeleteRecord stores at once; the DbWriteRecord that callers send after it confirms that.
    bool justDeleted = false;
};

enum class HandleKind : uint8_t { None, Connection, Table, Index };

uint32_t addHandle(HandleKind kind, void *object);
void removeHandle(uint32_t handle);
// nullptr when the handle is unknown or of another kind.
void *findHandle(uint32_t handle, HandleKind kind);
HandleKind handleKind(uint32_t handle);

} // namespace dbeng
