#include "Handles.h"

#include "DbException.h"
#include "dbeng.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace dbeng {

namespace {

constexpr uint32_t kChunkBits = 12;
constexpr uint32_t kChunkSize = 1u << kChunkBits;
constexpr uint32_t kChunks = 1u << 14; // 67 million handles per process

struct Slot {
    std::atomic<HandleKind> kind{HandleKind::None};
    std::atomic<void *> object{nullptr};
};

// Chunks of slots are made as the numbers grow and live as long as the process, so that a
// lookup can read a slot without taking the lock.
std::atomic<Slot *> chunks[kChunks];
std::mutex allocation;
uint32_t nextIndex = 0;

Slot *slotOf(uint32_t handle) {
    if (handle == 0)
        return nullptr;
    uint32_t index = handle - 1;
    uint32_t chunk = index >> kChunkBits;
    if (chunk >= kChunks)
        return nullptr;
    Slot *c = chunks[chunk].load(std::memory_order_acquire);
    return c ? &c[index & (kChunkSize - 1)] : nullptr;
}

// The open connections, which own everything else behind a handle. The list is never
// destroyed: a connection still open when the process ends goes with the process, as its file
// descriptors and locks do, instead of being torn down under a thread that is still in a call.
std::mutex connectionsLock;
std::vector<std::unique_ptr<ConnectionObject>> &connections() {
    static auto *list = new std::vector<std::unique_ptr<ConnectionObject>>;
    return *list;
}

} // namespace

HandleNumber::HandleNumber(HandleKind kind, void *object) {
    std::lock_guard<std::mutex> guard(allocation);
    uint32_t index = nextIndex;
    uint32_t chunk = index >> kChunkBits;
    if (chunk >= kChunks)
        throw DbException(DBE_INVALID_HANDLE, "Es sind keine Handles mehr frei.");
    if (!chunks[chunk].load(std::memory_order_relaxed))
        chunks[chunk].store(std::make_unique<Slot[]>(kChunkSize).release(),
                            std::memory_order_release);
    ++nextIndex;
    Slot &s = chunks[chunk].load(std::memory_order_relaxed)[index & (kChunkSize - 1)];
    s.object.store(object, std::memory_order_relaxed);
    s.kind.store(kind, std::memory_order_release);
    value_ = index + 1;
}

HandleNumber::~HandleNumber() {
    if (Slot *s = slotOf(value_)) {
        s->kind.store(HandleKind::None, std::memory_order_release);
        s->object.store(nullptr, std::memory_order_relaxed);
    }
}

void *findObject(uint32_t handle, HandleKind kind) {
    Slot *s = slotOf(handle);
    if (!s || s->kind.load(std::memory_order_acquire) != kind)
        return nullptr;
    return s->object.load(std::memory_order_relaxed);
}

IndexObject &TableObject::addIndex(int tag) {
    indexes.push_back(std::make_unique<IndexObject>(*this, tag));
    return *indexes.back();
}

ConnectionObject::~ConnectionObject() {
    while (!tables.empty())
        tables.pop_back();
    while (!closedInTransaction.empty())
        closedInTransaction.pop_back();
}

TableObject &ConnectionObject::addTable(std::unique_ptr<Table> table, uint32_t options) {
    auto t = std::make_unique<TableObject>(*this, std::move(table), options);
    for (size_t i = 0; i < t->table->def().indexes.size(); ++i)
        t->addIndex(static_cast<int>(i + 1));
    tables.push_back(std::move(t));
    return *tables.back();
}

void ConnectionObject::closeTable(TableObject &table) {
    auto it =
        std::find_if(tables.begin(), tables.end(),
                     [&](const std::unique_ptr<TableObject> &t) { return t.get() == &table; });
    if (it != tables.end())
        tables.erase(it);
}

void ConnectionObject::closeInsideTransaction(TableObject &table) {
    auto it =
        std::find_if(tables.begin(), tables.end(),
                     [&](const std::unique_ptr<TableObject> &t) { return t.get() == &table; });
    if (it == tables.end())
        return;
    table.table->closeInsideTransaction();
    closedInTransaction.push_back(std::move(table.table));
    tables.erase(it);
}

std::vector<Table *> ConnectionObject::transactionTables() const {
    std::vector<Table *> out;
    for (const auto &t : tables)
        out.push_back(t->table.get());
    for (const auto &t : closedInTransaction)
        out.push_back(t.get());
    return out;
}

ConnectionObject &addConnection(std::unique_ptr<Connection> connection) {
    auto c = std::make_unique<ConnectionObject>(std::move(connection));
    std::lock_guard<std::mutex> guard(connectionsLock);
    connections().push_back(std::move(c));
    return *connections().back();
}

void closeConnection(ConnectionObject &connection) {
    std::unique_ptr<ConnectionObject> closing;
    {
        std::lock_guard<std::mutex> guard(connectionsLock);
        auto &list = connections();
        auto it = std::find_if(list.begin(), list.end(),
                               [&](const auto &c) { return c.get() == &connection; });
        if (it == list.end())
            return;
        closing = std::move(*it);
        list.erase(it);
    }
    // Closing the tables may take a while (checkpoints); other threads need not wait for it.
    closing.reset();
}

} // namespace dbeng
