#include "RemoteBackend.h"

#include "DataPath.h"
#include "RemoteSession.h"
#include "RemoteTable.h"
#include "dbeng.h"

#include <algorithm>

namespace dbeng {

namespace {

// One server transaction for everything a connection's tables do. The writable tables are locked
// against other writers for its duration (as a local transaction holds each table file's write
// lock), in the order of their names so that two connections never wait for each other; a lock
// not had within 15 seconds fails as a locked table.
void beginConnectionTransaction(PgSession &pg, const std::string &place,
                                std::vector<std::string> relations) {
    if (pg.inTransaction())
        throw DbException(DBE_INVALID_ARGUMENT, "Für den Datenbestand " + quoteFile(place) +
                                                    " läuft bereits eine Transaktion.");
    std::sort(relations.begin(), relations.end());
    relations.erase(std::unique(relations.begin(), relations.end()), relations.end());
    pg.begin(place, "Beginnen einer Transaktion");
    try {
        pg.command("SET LOCAL lock_timeout = '15s'", place, "Beginnen einer Transaktion");
        if (!relations.empty()) {
            std::string list;
            for (const std::string &r : relations)
                list += (list.empty() ? "" : ", ") + r;
            pg.command("LOCK TABLE " + list + " IN SHARE ROW EXCLUSIVE MODE", place,
                       "Sperren der Tabellen für eine Transaktion");
        }
    } catch (...) {
        pg.rollback();
        throw;
    }
}

class RemoteConnection final : public Connection {
public:
    RemoteConnection(std::shared_ptr<RemoteSession> session, bool dictionary)
        : session_(std::move(session)), dictionary_(dictionary) {}
    uint16_t serverType() const override { return DB_SERVER_REMOTE; }
    bool isDictionary() const override { return dictionary_; }
    const std::string &folder() const override { return session_->dataSet().path; }

    std::unique_ptr<Table> openTable(const std::string &name, uint32_t options) override {
        RemoteTableDef def = openRemoteTable(session_->pg(), session_->dataSet(), name);
        return std::make_unique<RemoteTable>(session_, std::move(def), options);
    }

    std::unique_ptr<Table> createTable(const std::string &name,
                                       const std::vector<FieldDef> &fields) override {
        RemoteTableDef def = createRemoteTable(session_->pg(), session_->dataSet(), name, fields);
        return std::make_unique<RemoteTable>(session_, std::move(def), 0);
    }

    void beginTransaction(const std::vector<Table *> &tables) override {
        std::vector<std::string> relations;
        for (Table *t : tables)
            if (!t->readOnly())
                relations.push_back(static_cast<RemoteTable *>(t)->relation());
        beginConnectionTransaction(session_->pg(), session_->dataSet().path, std::move(relations));
        session_->connectionTransaction = true;
    }

    void commitTransaction(const std::vector<Table *> &tables) override {
        requireTransaction();
        session_->connectionTransaction = false;
        try {
            session_->pg().commit(session_->dataSet().path, "Abschließen einer Transaktion");
        } catch (const DbException &) {
            // Rolled back: what the tables read or wrote in it may be gone.
            for (Table *t : tables)
                static_cast<RemoteTable *>(t)->forgetReads();
            throw;
        }
    }

    void rollbackTransaction(const std::vector<Table *> &tables) override {
        requireTransaction();
        session_->connectionTransaction = false;
        session_->pg().rollback();
        for (Table *t : tables)
            static_cast<RemoteTable *>(t)->forgetReads();
    }

    bool inTransaction() const override { return session_->connectionTransaction; }

    // The session's transaction is every table's: a table opened meanwhile is in it already.
    // (Its table is not locked against other writers as the others are; its writes wait for
    // theirs as any write does.)
    void joinTransaction(Table &, const std::vector<Table *> &) override {}

private:
    void requireTransaction() const {
        if (!session_->connectionTransaction)
            throw DbException(DBE_INVALID_ARGUMENT, "Für den Datenbestand " +
                                                        quoteFile(session_->dataSet().path) +
                                                        " läuft keine Transaktion.");
    }

    std::shared_ptr<RemoteSession> session_;
    bool dictionary_;
};

} // namespace

uint16_t RemoteBackend::serverType() const {
    return DB_SERVER_REMOTE;
}

std::unique_ptr<Connection> RemoteBackend::connect(const std::string &path, const std::string &user,
                                                   const std::string &password, uint32_t options) {
    if (datapath::normalize(path).empty())
        throw DbException(DBE_INVALID_ARGUMENT, "Es wurde kein Datenpfad angegeben.");
    // A dictionary file names the data set of its folder.
    const bool dictionary = datapath::isDictionary(path);
    const std::string p = datapath::tableFolder(path);
    auto pg = std::make_unique<PgSession>(user, password, p);
    const bool inTransaction = (options & DB_CONNECT_IN_TRANSACTION) != 0;
    // Begun before the data set is looked for, so that making it is part of the transaction.
    if (inTransaction)
        beginConnectionTransaction(*pg, datapath::normalize(p), {});
    DataSet set = findDataSet(*pg, p, (options & DB_CONNECT_CREATE) != 0);
    auto session = std::make_shared<RemoteSession>(std::move(pg), std::move(set));
    session->connectionTransaction = inTransaction;
    return std::make_unique<RemoteConnection>(std::move(session), dictionary);
}

} // namespace dbeng
