#include "LocalBackend.h"

#include "../DbException.h"
#include "../TableDef.h"
#include "DataPath.h"
#include "LocalTable.h"
#include "TableFile.h"
#include "dbeng.h"

#include <sys/stat.h>

namespace dbeng {

namespace {

bool exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class LocalConnection final : public Connection {
public:
    LocalConnection(std::string folder, bool dictionary)
        : folder_(std::move(folder)), dictionary_(dictionary) {}
    uint16_t serverType() const override { return DB_SERVER_LOCAL; }
    bool isDictionary() const override { return dictionary_; }
    const std::string &folder() const override { return folder_; }

    std::string tablePath(const std::string &name) const {
        std::string n = datapath::normalize(name);
        if (n.empty())
            throw DbException(DBE_INVALID_ARGUMENT, "Es wurde kein Tabellenname angegeben.");
        if (n[0] == '/')
            return n;
        // Callers usually put the connection's folder in front of the file name themselves; when
        // that folder is relative, the name is relative to the working directory. A bare name,
        // or a path whose folder is not there, lives in the connection's folder.
        const size_t slash = n.rfind('/');
        if (slash != std::string::npos && isDirectory(datapath::resolveCase(n.substr(0, slash))))
            return n;
        return folder_ + "/" + n;
    }

    std::unique_ptr<Table> openTable(const std::string &name, uint32_t options) override {
        std::string path = datapath::resolveCase(tablePath(name));
        struct stat st;
        if (stat(path.c_str(), &st) != 0) {
            size_t slash = path.rfind('/');
            std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
            if (!isDirectory(dir.empty() ? "/" : dir))
                throw DbException(DBE_FILE_NOT_FOUND, "Das Verzeichnis der Tabelle " +
                                                          quoteFile(path) +
                                                          " wurde nicht gefunden.");
            throw DbException(DBE_FILE_NOT_FOUND,
                              "Die Tabellendatei " + quoteFile(path) + " wurde nicht gefunden.");
        }
        return std::make_unique<LocalTable>(path, options);
    }

    std::unique_ptr<Table> createTable(const std::string &name,
                                       const std::vector<FieldDef> &fields) override {
        std::string path = datapath::resolveCase(tablePath(name));
        size_t slash = path.rfind('/');
        std::string dir = slash == 0 ? "/" : path.substr(0, slash);
        if (!isDirectory(dir))
            throw DbException(DBE_FILE_NOT_FOUND, "Das Verzeichnis " + quoteFile(dir) +
                                                      " für die Tabelle " + quoteFile(path) +
                                                      " wurde nicht gefunden.");
        if (exists(path))
            throw DbException(DBE_TABLE_EXISTS,
                              "Die Tabellendatei " + quoteFile(path) + " existiert bereits.");
        createTableFile(path, fields);
        return std::make_unique<LocalTable>(path, 0);
    }

    // Each table file is its own database: the transaction is one per writable table file,
    // each begun at once (BEGIN IMMEDIATE), so that every file's write lock is held throughout
    // and no other process writes to any of them meanwhile. A file open through several
    // handles has it on the first of them. Commit stores them one after another. A handle
    // closed meanwhile stays among the tables until the end (DbCloseTable), so that its file's
    // part is stored or undone with the others.
    void beginTransaction(const std::vector<Table *> &tables) override {
        std::vector<LocalTable *> begun;
        try {
            for (LocalTable *t : transactionTables(tables)) {
                t->beginTransaction();
                begun.push_back(t);
            }
        } catch (...) {
            for (LocalTable *t : begun)
                t->rollbackTransaction();
            throw;
        }
        inTransaction_ = true;
    }

    void commitTransaction(const std::vector<Table *> &tables) override {
        requireTransaction();
        inTransaction_ = false;
        std::vector<LocalTable *> open = begunTables(tables);
        for (size_t i = 0; i < open.size(); ++i) {
            try {
                open[i]->commitTransaction();
            } catch (...) {
                // The files stored so far stay stored; the rest must not stay open without an
                // owner, holding their write locks until the handles close.
                for (size_t k = i; k < open.size(); ++k)
                    if (open[k]->inTransaction())
                        rollbackQuietly(*open[k]);
                throw;
            }
        }
    }

    void rollbackTransaction(const std::vector<Table *> &tables) override {
        requireTransaction();
        inTransaction_ = false;
        std::vector<LocalTable *> open = begunTables(tables);
        for (size_t i = 0; i < open.size(); ++i) {
            try {
                open[i]->rollbackTransaction();
            } catch (...) {
                for (size_t k = i + 1; k < open.size(); ++k)
                    rollbackQuietly(*open[k]);
                throw;
            }
        }
    }

    bool inTransaction() const override { return inTransaction_; }

    // A writable file that no other handle holds in the transaction gets its own part; a file
    // the transaction holds already is written through the handle that holds it.
    void joinTransaction(Table &table, const std::vector<Table *> &tables) override {
        if (!inTransaction_ || table.readOnly())
            return;
        for (Table *t : tables)
            if (t != &table && t->inTransaction() && t->def().path == table.def().path)
                return;
        static_cast<LocalTable &>(table).beginTransaction();
    }

private:
    static std::vector<LocalTable *> transactionTables(const std::vector<Table *> &tables) {
        std::vector<LocalTable *> out;
        for (Table *t : tables) {
            bool seen = t->readOnly();
            for (LocalTable *o : out)
                seen = seen || o->def().path == t->def().path;
            if (!seen)
                out.push_back(static_cast<LocalTable *>(t));
        }
        return out;
    }

    // The tables whose part of the transaction runs, in the order they began.
    static std::vector<LocalTable *> begunTables(const std::vector<Table *> &tables) {
        std::vector<LocalTable *> out;
        for (Table *t : tables)
            if (t->inTransaction())
                out.push_back(static_cast<LocalTable *>(t));
        return out;
    }

    static void rollbackQuietly(LocalTable &table) {
        try {
            table.rollbackTransaction();
        } catch (const DbException &) {
            // The first failure is the one to report; closing the file undoes the rest.
        }
    }

    void requireTransaction() const {
        if (!inTransaction_)
            throw DbException(DBE_INVALID_ARGUMENT, "Für das Datenverzeichnis " +
                                                        quoteFile(folder_) +
                                                        " läuft keine Transaktion.");
    }

    std::string folder_;
    bool dictionary_;
    bool inTransaction_ = false;
};

} // namespace

uint16_t LocalBackend::serverType() const {
    return DB_SERVER_LOCAL;
}

std::unique_ptr<Connection> LocalBackend::connect(const std::string &path, const std::string &,
                                                  const std::string &, uint32_t) {
    std::string p = datapath::normalize(path);
    if (p.empty())
        throw DbException(DBE_INVALID_ARGUMENT, "Es wurde kein Datenpfad angegeben.");
    std::string resolved = datapath::resolveCase(p);
    struct stat st;
    if (stat(resolved.c_str(), &st) != 0)
        throw DbException(DBE_FILE_NOT_FOUND,
                          "Das Datenverzeichnis " + quoteFile(p) + " wurde nicht gefunden.");
    const bool dictionary = datapath::isDictionary(p);
    if (S_ISDIR(st.st_mode))
        return std::make_unique<LocalConnection>(resolved, dictionary);
    // A dictionary file: its tables lie in its folder.
    std::string folder = datapath::tableFolder(resolved);
    if (dictionary && folder != resolved)
        return std::make_unique<LocalConnection>(folder, true);
    throw DbException(DBE_FILE_NOT_FOUND,
                      "Der Datenpfad " + quoteFile(p) +
                          " ist weder ein Verzeichnis noch eine Datenbankdatei (.DIC).");
}

} // namespace dbeng
