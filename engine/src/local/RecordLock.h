// Record locks across processes: open-file-description byte-range locks on a side file next
// to the table ("ArtikelMain.TBL.lck"), one byte per record number. They belong to this
// handle's own open of the side file, so another handle of the same process conflicts like
// another process, and the kernel drops them when the process ends, however it ends. Byte 0
// marks the table as open (shared) or opened exclusively.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace dbeng {

class RecordLock {
public:
    RecordLock() = default;
    ~RecordLock();
    RecordLock(const RecordLock &) = delete;
    RecordLock &operator=(const RecordLock &) = delete;

    // Opens the side file and marks the table open; throws DBE_RECORD_LOCKED when another
    // handle has it exclusively (or, for exclusive, when anybody has it open).
    void open(const std::string &tablePath, bool exclusive, bool readOnly);
    void close();

    // false when another handle or process holds the lock.
    bool tryLock(uint32_t recno);
    void unlock(uint32_t recno);
    bool heldHere(uint32_t recno) const { return held_.count(recno) != 0; }
    bool heldElsewhere(uint32_t recno) const;
    bool available() const { return fd_ >= 0; }

private:
    bool setLock(int64_t start, short type, bool wait) const;
    int fd_ = -1;
    std::string path_;
    std::set<uint32_t> held_;
};

} // namespace dbeng
