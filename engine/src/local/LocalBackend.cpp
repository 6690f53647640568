#include "LocalBackend.h"

#include "../DbException.h"
#include "../TableDef.h"
#include "LocalTable.h"
#include "TableFile.h"
#include "dbeng.h"

#include <dirent.h>
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

bool endsWithDic(const std::string &path) {
    return path.size() > 4 && equalNames(path.substr(path.size() - 4), ".DIC");
}

class LocalConnection final : public Connection {
public:
    LocalConnection(std::string folder, bool dictionary)
        : folder_(std::move(folder)), dictionary_(dictionary) {}
    uint16_t serverType() const override { return DB_SERVER_LOCAL; }
    bool isDictionary() const override { return dictionary_; }
    const std::string &folder() const override { return folder_; }

    std::string tablePath(const std::string &name) const {
        std::string n = normalizeSeparators(name);
        if (n.empty())
            throw DbException(DBE_INVALID_ARGUMENT, "Es wurde kein Tabellenname angegeben.");
        if (n[0] == '/')
            return n;
        // Callers usually put the connection's folder in front of the file name themselves; when
        // that folder is relative, the name is relative to the working directory. A bare name,
        // or a path whose folder is not there, lives in the connection's folder.
        const size_t slash = n.rfind('/');
        if (slash != std::string::npos && isDirectory(resolvePath(n.substr(0, slash))))
            return n;
        return folder_ + "/" + n;
    }

    std::unique_ptr<Table> openTable(const std::string &name, uint32_t options) override {
        std::string path = resolvePath(tablePath(name));
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
        std::string path = resolvePath(tablePath(name));
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

private:
    std::string folder_;
    bool dictionary_;
};

} // namespace

std::string normalizeSeparators(const std::string &path) {
    std::string out;
    for (char c : path) {
        char d = c == '\\' ? '/' : c;
        if (d == '/' && !out.empty() && out.back() == '/')
            continue;
        out += d;
    }
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string resolvePath(const std::string &input) {
    std::string path = normalizeSeparators(input);
    if (path.empty() || exists(path))
        return path;
    bool absolute = path[0] == '/';
    std::string current = absolute ? "" : "."; // the folder found so far ("" is the root)
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        std::string candidate = current + "/" + part;
        if (!exists(candidate)) {
            // The exact name is missing: take one that differs only in letter case.
            if (DIR *d = opendir(current.empty() ? "/" : current.c_str())) {
                while (dirent *e = readdir(d)) {
                    if (equalNames(e->d_name, part)) {
                        part = e->d_name;
                        candidate = current + "/" + part;
                        break;
                    }
                }
                closedir(d);
            }
        }
        current = candidate;
        out += (out.empty() && !absolute) ? part : "/" + part;
    }
    return out;
}

uint16_t LocalBackend::serverType() const {
    return DB_SERVER_LOCAL;
}

std::unique_ptr<Connection> LocalBackend::connect(const std::string &path, const std::string &,
                                                  const std::string &, uint32_t) {
    std::string p = normalizeSeparators(path);
    if (p.empty())
        throw DbException(DBE_INVALID_ARGUMENT, "Es wurde kein Datenpfad angegeben.");
    std::string resolved = resolvePath(p);
    struct stat st;
    if (stat(resolved.c_str(), &st) != 0)
        throw DbException(DBE_FILE_NOT_FOUND,
                          "Das Datenverzeichnis " + quoteFile(p) + " wurde nicht gefunden.");
    if (S_ISDIR(st.st_mode))
        return std::make_unique<LocalConnection>(resolved, false);
    if (endsWithDic(resolved)) {
        size_t slash = resolved.rfind('/');
        std::string folder =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : resolved.substr(0, slash));
        return std::make_unique<LocalConnection>(folder, true);
    }
    throw DbException(DBE_FILE_NOT_FOUND,
                      "Der Datenpfad " + quoteFile(p) +
                          " ist weder ein Verzeichnis noch eine Datenbankdatei (.DIC).");
}

Backend *backendFor(uint16_t serverType) {
    static LocalBackend local;
    if (serverType == DB_SERVER_LOCAL)
        return &local;
    return nullptr;
}

} // namespace dbeng
