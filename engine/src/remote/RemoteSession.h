// What the tables of one remote connection share: the server session, the data set, and who
// of them holds which lock.
//
// Record locks and table opens are session-level advisory locks on the server, keyed by the
// records table's object id and the record number (0 for the table itself): they hold against
// every other session, on this machine or another, and the server drops them when the session
// ends, however it ends. Within one session the server does not set a lock against itself, so
// the session keeps here which table handle holds what, and one handle's lock keeps the other
// handles of the same connection out as it keeps out other processes.
#pragma once

#include "HeldAppends.h"
#include "PgSession.h"
#include "RemoteCatalog.h"

#include <map>
#include <memory>
#include <utility>

namespace dbeng {

class RemoteSession {
public:
    RemoteSession(std::unique_ptr<PgSession> pg, DataSet set)
        : pg_(std::move(pg)), set_(std::move(set)), appends_(*pg_) {
        pg_->holdWrites(&appends_);
    }
    ~RemoteSession() { pg_->holdWrites(nullptr); }
    RemoteSession(const RemoteSession &) = delete;
    RemoteSession &operator=(const RemoteSession &) = delete;

    PgSession &pg() { return *pg_; }
    // The rows appended inside the session's transaction, not sent yet.
    HeldAppends &appends() { return appends_; }
    const DataSet &dataSet() const { return set_; }

    // The lock of a record (recno > 0) for owner. false when another handle or another session
    // holds it.
    bool tryLock(const void *owner, unsigned oid, uint32_t recno, const std::string &table);
    // Releases owner's lock; nothing when owner does not hold it.
    void unlock(const void *owner, unsigned oid, uint32_t recno, const std::string &table);
    bool heldBy(const void *owner, unsigned oid, uint32_t recno) const;
    // Held by another handle of this connection.
    bool heldByOther(const void *owner, unsigned oid, uint32_t recno) const;
    // Held by anybody (here or elsewhere).
    bool isLocked(unsigned oid, uint32_t recno, const std::string &table);
    // Releases every lock of owner (quietly: used when a table closes).
    void releaseAll(const void *owner, unsigned oid);

    // Marks the table open for owner (shared, or exclusive); throws DBE_RECORD_LOCKED when
    // another handle or session has it exclusively, or for exclusive, when anybody has it open.
    void openTable(const void *owner, unsigned oid, bool exclusive, const std::string &table);
    void closeTable(const void *owner, unsigned oid);

    // The table handle whose DbBeginTransaction opened the session's transaction, if any.
    const void *transactionOwner = nullptr;
    // A transaction opened by DbBeginConnectionTransaction.
    bool connectionTransaction = false;

private:
    struct Opens {
        int shared = 0;
        const void *exclusive = nullptr;
    };
    std::unique_ptr<PgSession> pg_;
    DataSet set_;
    HeldAppends appends_;
    std::map<std::pair<unsigned, uint32_t>, const void *> locks_;
    std::map<unsigned, Opens> opens_;
};

} // namespace dbeng
