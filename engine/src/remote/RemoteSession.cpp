#include "RemoteSession.h"

#include "dbeng.h"

namespace dbeng {

namespace {

// The two-key form of the advisory locks: the records table and the record.
std::vector<PgValue> key(unsigned oid, uint32_t recno) {
    return {PgValue::int4(static_cast<int32_t>(oid)), PgValue::int4(static_cast<int32_t>(recno))};
}

} // namespace

bool RemoteSession::tryLock(const void *owner, unsigned oid, uint32_t recno,
                            const std::string &table) {
    auto it = locks_.find({oid, recno});
    if (it != locks_.end())
        return it->second == owner;
    PgResult r = pg_->query("SELECT pg_try_advisory_lock($1, $2)", key(oid, recno), table,
                            "Sperren eines Datensatzes");
    if (!r.boolean(0, 0))
        return false;
    locks_[{oid, recno}] = owner;
    return true;
}

void RemoteSession::unlock(const void *owner, unsigned oid, uint32_t recno,
                           const std::string &table) {
    auto it = locks_.find({oid, recno});
    if (it == locks_.end() || it->second != owner)
        return;
    locks_.erase(it);
    pg_->query("SELECT pg_advisory_unlock($1, $2)", key(oid, recno), table,
               "Freigeben eines Datensatzes");
}

bool RemoteSession::heldBy(const void *owner, unsigned oid, uint32_t recno) const {
    auto it = locks_.find({oid, recno});
    return it != locks_.end() && it->second == owner;
}

bool RemoteSession::heldByOther(const void *owner, unsigned oid, uint32_t recno) const {
    auto it = locks_.find({oid, recno});
    return it != locks_.end() && it->second != owner;
}

bool RemoteSession::isLocked(unsigned oid, uint32_t recno, const std::string &table) {
    if (locks_.count({oid, recno}))
        return true;
    // Taken and given back at once when free: whether anybody else holds it.
    PgResult r = pg_->query("SELECT CASE WHEN pg_try_advisory_lock($1, $2) "
                            "THEN NOT pg_advisory_unlock($1, $2) ELSE true END",
                            key(oid, recno), table, "Prüfen einer Sperre");
    return r.boolean(0, 0);
}

void RemoteSession::releaseAll(const void *owner, unsigned oid) {
    for (auto it = locks_.begin(); it != locks_.end();) {
        if (it->second == owner && it->first.first == oid) {
            try {
                pg_->query("SELECT pg_advisory_unlock($1, $2)", key(oid, it->first.second), "",
                           "Freigeben eines Datensatzes");
            } catch (const DbException &) {
                // A session that is gone has dropped its locks already.
            }
            it = locks_.erase(it);
        } else {
            ++it;
        }
    }
}

void RemoteSession::openTable(const void *owner, unsigned oid, bool exclusive,
                              const std::string &table) {
    Opens &o = opens_[oid];
    auto refuse = [&] {
        throw DbException(DBE_RECORD_LOCKED,
                          "Die Tabelle " + quoteFile(table) +
                              (exclusive ? " ist schon geöffnet und kann nicht exklusiv geöffnet "
                                           "werden."
                                         : " ist von einem anderen Benutzer exklusiv geöffnet."));
    };
    if (o.exclusive || (exclusive && o.shared > 0))
        refuse();
    if (o.shared == 0) {
        PgResult r = pg_->query(exclusive ? "SELECT pg_try_advisory_lock($1, $2)"
                                          : "SELECT pg_try_advisory_lock_shared($1, $2)",
                                key(oid, 0), table, "Öffnen der Tabelle");
        if (!r.boolean(0, 0))
            refuse();
    }
    if (exclusive)
        o.exclusive = owner;
    else
        ++o.shared;
}

void RemoteSession::closeTable(const void *owner, unsigned oid) {
    auto it = opens_.find(oid);
    if (it == opens_.end())
        return;
    Opens &o = it->second;
    bool exclusive = false;
    if (o.exclusive == owner) {
        o.exclusive = nullptr;
        exclusive = true;
    } else if (o.shared > 0 && --o.shared > 0) {
        return;
    }
    opens_.erase(it);
    try {
        pg_->query(exclusive ? "SELECT pg_advisory_unlock($1, $2)"
                             : "SELECT pg_advisory_unlock_shared($1, $2)",
                   key(oid, 0), "", "Schließen der Tabelle");
    } catch (const DbException &) {
        // A session that is gone has dropped its locks already.
    }
}

} // namespace dbeng
