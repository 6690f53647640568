#include "Handles.h"

#include "DbException.h"
#include "dbeng.h"

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

} // namespace

uint32_t addHandle(HandleKind kind, void *object) {
    std::lock_guard<std::mutex> guard(allocation);
    uint32_t index = nextIndex;
    uint32_t chunk = index >> kChunkBits;
    if (chunk >= kChunks)
        throw DbException(DBE_INVALID_HANDLE, "Es sind keine Handles mehr frei.");
    if (!chunks[chunk].load(std::memory_order_relaxed))
        chunks[chunk].store(new Slot[kChunkSize], std::memory_order_release);
    ++nextIndex;
    Slot &s = chunks[chunk].load(std::memory_order_relaxed)[index & (kChunkSize - 1)];
    s.object.store(object, std::memory_order_relaxed);
    s.kind.store(kind, std::memory_order_release);
    return index + 1;
}

void removeHandle(uint32_t handle) {
    if (Slot *s = slotOf(handle)) {
        s->kind.store(HandleKind::None, std::memory_order_release);
        s->object.store(nullptr, std::memory_order_relaxed);
    }
}

void *findHandle(uint32_t handle, HandleKind kind) {
    Slot *s = slotOf(handle);
    if (!s || s->kind.load(std::memory_order_acquire) != kind)
        return nullptr;
    return s->object.load(std::memory_order_relaxed);
}

HandleKind handleKind(uint32_t handle) {
    Slot *s = slotOf(handle);
    return s ? s->kind.load(std::memory_order_acquire) : HandleKind::None;
}

} // namespace dbeng
