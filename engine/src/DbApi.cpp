// The engine's C interface (dbeng.h). Every entry point runs its body through guarded(): no
// C++ exception crosses into the caller; failures become the thread's last error.
#include "dbeng.h"

#include "Backend.h"
#include "DbException.h"
#include "EngineSettings.h"
#include "FieldCodec.h"
#include "FilterExpr.h"
#include "Handles.h"
#include "LastError.h"
#include "Text1252.h"

#include <cstdio>
#include <cstring>
#include <new>

using namespace dbeng;

namespace {

template <typename F>
DBRESULT guarded(F &&body) {
    try {
        body();
        return DBE_SUCCESS;
    } catch (const DbException &e) {
        setLastError(e.code(), utf8ToCp1252(e.what()), e.record());
        return e.code();
    } catch (const std::bad_alloc &) {
        setLastError(DBE_STORAGE_ERROR,
                     "ERROR 7200: Nicht genug Arbeitsspeicher. NativeError = 7;");
        return DBE_STORAGE_ERROR;
    } catch (const std::exception &e) {
        setLastError(DBE_STORAGE_ERROR, utf8ToCp1252(std::string("ERROR 7200: Interner Fehler: ") +
                                                     e.what() + ". NativeError = 0;"));
        return DBE_STORAGE_ERROR;
    } catch (...) {
        setLastError(DBE_STORAGE_ERROR, "ERROR 7200: Interner Fehler. NativeError = 0;");
        return DBE_STORAGE_ERROR;
    }
}

[[noreturn]] void invalidArgument(const std::string &what) {
    throw DbException(DBE_INVALID_ARGUMENT, what);
}

template <typename T>
T *need(T *p, const char *name) {
    if (!p)
        invalidArgument(std::string("Das Argument \"") + name + "\" fehlt (Nullzeiger).");
    return p;
}

[[noreturn]] void badHandle(DBHANDLE h, const char *expected) {
    throw DbException(DBE_INVALID_HANDLE,
                      "Ungültiges Handle " + std::to_string(h) + " (erwartet: " + expected + ").");
}

ConnectionObject &connectionOf(DBHANDLE h) {
    auto *c = findHandle<ConnectionObject>(h);
    if (!c)
        badHandle(h, "eine Verbindung");
    return *c;
}

// A table handle, or an index handle standing for its table.
TableObject &tableOf(DBHANDLE h) {
    if (auto *t = findHandle<TableObject>(h))
        return *t;
    if (auto *i = findHandle<IndexObject>(h))
        return *i->table;
    badHandle(h, "eine geöffnete Tabelle");
}

IndexObject &indexOf(DBHANDLE h) {
    auto *i = findHandle<IndexObject>(h);
    if (!i)
        badHandle(h, "ein Index");
    return *i;
}

// An order: a table handle (record number order) or an index handle.
TableObject &orderOf(DBHANDLE h, int &order) {
    if (auto *t = findHandle<TableObject>(h)) {
        order = 0;
        return *t;
    }
    if (auto *i = findHandle<IndexObject>(h)) {
        order = i->tag;
        return *i->table;
    }
    badHandle(h, "eine Tabelle oder ein Index");
}

const std::string &fileOf(const TableObject &t) {
    return t.table->def().path;
}

int fieldOf(const TableObject &t, uint16_t field) {
    if (field < 1 || field > t.table->def().fields.size())
        throw DbException(DBE_INVALID_FIELD,
                          "Die Tabelle " + quoteFile(fileOf(t)) + " hat kein Feld Nummer " +
                              std::to_string(field) + " (Felder 1 bis " +
                              std::to_string(t.table->def().fields.size()) + ").");
    return field - 1;
}

void tooSmall(size_t needed, const char *what) {
    throw DbException(DBE_INSUFFICIENT_BUFFER,
                      std::string("Der Puffer für ") + what +
                          " ist zu klein (gebraucht: " + std::to_string(needed) + " Bytes).");
}

template <typename Len>
void putText(const std::string &s, char *buf, Len *len, const char *what) {
    need(len, "len");
    Len size = *len;
    if (size > 0)
        need(buf, "buf");
    if (s.size() + 1 > size) {
        if (size > 0) {
            std::memcpy(buf, s.data(), size - 1);
            buf[size - 1] = 0;
        }
        *len = static_cast<Len>(std::min<size_t>(s.size(), static_cast<Len>(~Len(0))));
        tooSmall(s.size() + 1, what);
    }
    std::memcpy(buf, s.data(), s.size());
    buf[s.size()] = 0;
    *len = static_cast<Len>(s.size());
}

void putBytes(const uint8_t *data, size_t n, uint8_t *buf, uint32_t *len, const char *what) {
    need(len, "len");
    uint32_t size = *len;
    if (size > 0)
        need(buf, "buf");
    if (n > size) {
        std::memcpy(buf, data, size);
        *len = static_cast<uint32_t>(n);
        tooSmall(n, what);
    }
    std::memcpy(buf, data, n);
    *len = static_cast<uint32_t>(n);
}

bool validName(const std::string &name) {
    if (name.empty() || name.size() > 64)
        return false;
    for (char ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_')
            return false;
    return true;
}

std::vector<std::string> splitNames(const std::string &text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        std::string part = text.substr(start, end - start);
        while (!part.empty() && part.front() == ' ')
            part.erase(0, 1);
        while (!part.empty() && part.back() == ' ')
            part.pop_back();
        out.push_back(part);
        start = end + 1;
    }
    return out;
}

// Whether a field type's text depends on the engine settings when it is read in: a date
// follows the date format (a double's decimals only shape the text written out).
bool usesSettings(uint16_t type) {
    return type == DB_TYPE_DATE || type == DB_TYPE_COMPACTDATE || type == DB_TYPE_TIMESTAMP;
}

// Moving, seeking and changing end the "write after delete" confirmation window.
void touched(TableObject &t) {
    t.justDeleted = false;
}

bool scratchMode(const TableObject &t) {
    return t.scratchTag > 0;
}

void setScratch(TableObject &t, int field, const uint8_t *image, int32_t bytesSet) {
    const FieldDef &f = t.table->def().fields[field];
    std::memcpy(t.scratch.data() + f.offset, image, imageSize(f.type, f.length));
    t.scratchSet[field] = bytesSet;
}

constexpr uint8_t kSegmentFull = 1;
constexpr uint8_t kSegmentPrefix = 2;

} // namespace

extern "C" {

/* --- Engine defaults ------------------------------------------------------------------- */

DBRESULT DbSetDateFormat(const char *format) {
    return guarded([&] {
        need(format, "format");
        auto f = DateFormat::parse(format);
        if (!f)
            invalidArgument(
                "Das Datumsformat \"" + cp1252ToUtf8(std::string(format).substr(0, 40)) +
                "\" ist ungültig: erlaubt sind Tag (D), Monat (M), Jahr (YY, YYYY oder CCYY) "
                "und Trennzeichen, höchstens 11 Zeichen.");
        changeSettings([&](EngineSettings &s) { s.dateFormat = *f; });
    });
}

DBRESULT DbGetDateFormat(char *buf, uint16_t *len) {
    return guarded(
        [&] { putText(settingsSnapshot().dateFormat.text(), buf, len, "das Datumsformat"); });
}

DBRESULT DbSetDecimals(uint16_t decimals) {
    return guarded([&] {
        if (decimals > 15)
            invalidArgument("Es sind höchstens 15 Dezimalstellen möglich, nicht " +
                            std::to_string(decimals) + ".");
        changeSettings([&](EngineSettings &s) { s.decimals = decimals; });
    });
}

DBRESULT DbGetDecimals(uint16_t *decimals) {
    return guarded([&] { *need(decimals, "decimals") = settingsSnapshot().decimals; });
}

DBRESULT DbShowDeleted(uint16_t show) {
    return guarded([&] { changeSettings([&](EngineSettings &s) { s.showDeleted = show != 0; }); });
}

DBRESULT DbGetShowDeleted(uint16_t *show) {
    return guarded([&] { *need(show, "show") = settingsSnapshot().showDeleted ? 1 : 0; });
}

DBRESULT DbSetServerType(uint16_t types) {
    return guarded([&] {
        if (types == 0 || (types & ~7u))
            invalidArgument("Ungültige Servertypen " + std::to_string(types) +
                            ": erlaubt ist eine Summe aus 1 (lokal), 2 (remote) und 4 (Internet).");
        changeSettings([&](EngineSettings &s) { s.serverTypes = types; });
    });
}

DBRESULT DbCacheOpenCursors(uint16_t count) {
    return guarded([&] { changeSettings([&](EngineSettings &s) { s.cachedCursors = count; }); });
}

DBRESULT DbCacheOpenTables(uint16_t count) {
    return guarded([&] { changeSettings([&](EngineSettings &s) { s.cachedTables = count; }); });
}

/* --- Connections ------------------------------------------------------------------------- */

DBRESULT DbConnect(const char *path, uint16_t types, const char *user, const char *password,
                   uint32_t options, DBHANDLE *connection) {
    return guarded([&] {
        need(connection, "connection");
        *connection = 0;
        need(path, "path");
        if (types == 0 || (types & ~7u))
            invalidArgument("Ungültige Servertypen " + std::to_string(types) +
                            " beim Verbinden mit \"" + std::string(path) + "\".");
        Backend *backend = (types & DB_SERVER_LOCAL)    ? backendFor(DB_SERVER_LOCAL)
                           : (types & DB_SERVER_REMOTE) ? backendFor(DB_SERVER_REMOTE)
                                                        : nullptr;
        if (!backend)
            throw DbException(
                DBE_SERVER_NOT_AVAILABLE,
                "Verbindung mit \"" + std::string(path) +
                    "\" nicht möglich: der Internet-Server (4) ist nicht verfügbar. "
                    "Verfügbar sind der lokale Server (1) und der Remote-Server (2).");
        if ((options & DB_CONNECT_IN_TRANSACTION) && backend->serverType() != DB_SERVER_REMOTE)
            invalidArgument("Eine Verbindung zu \"" + std::string(path) +
                            "\" kann nur auf dem Datenbankserver in einer Transaktion beginnen.");
        // The remote server takes the user name and password as UTF-8.
        *connection =
            addConnection(backend->connect(path, cp1252ToUtf8(user ? user : ""),
                                           cp1252ToUtf8(password ? password : ""), options))
                .handle.value();
    });
}

DBRESULT DbDisconnect(DBHANDLE connection) {
    return guarded([&] {
        ConnectionObject &c = connectionOf(connection);
        size_t open = c.tables.size();
        std::string folder = c.connection->folder();
        // A transaction nobody ended is undone as a whole, explicitly rather than by whatever
        // order the tables close in; the caller learns that its changes are not stored.
        bool undone = false;
        try {
            if (c.connection->inTransaction()) {
                undone = true;
                c.connection->rollbackTransaction(c.transactionTables());
            }
            for (const auto &t : c.tables)
                if (t->table->inTransaction()) {
                    undone = true;
                    t->table->rollbackTransaction();
                }
        } catch (const DbException &) {
            // Closing the tables and the session undoes what the rollback could not.
        }
        closeConnection(c);
        if (undone)
            throw DbException(DBE_TRANSACTION_OPEN,
                              "Beim Trennen der Verbindung zu " + quoteFile(folder) +
                                  " lief noch eine Transaktion; sie wurde zurückgenommen, ihre "
                                  "Änderungen sind nicht gespeichert.");
        if (open)
            throw DbException(DBE_TABLES_CLOSED,
                              "Beim Trennen der Verbindung zu " + quoteFile(folder) +
                                  " waren noch " + std::to_string(open) +
                                  " Tabelle(n) geöffnet; sie wurden geschlossen.");
    });
}

DBRESULT DbGetServerType(DBHANDLE connection, uint16_t *type) {
    return guarded(
        [&] { *need(type, "type") = connectionOf(connection).connection->serverType(); });
}

/* --- Tables ------------------------------------------------------------------------------- */

// A table opened while the connection's transaction runs takes part in it.
static std::unique_ptr<Table> joined(ConnectionObject &c, std::unique_ptr<Table> table) {
    if (c.connection->inTransaction())
        c.connection->joinTransaction(*table, c.transactionTables());
    return table;
}

DBRESULT DbOpenTable(DBHANDLE connection, const char *name, const char *, uint16_t tableType,
                     uint16_t, uint16_t, uint16_t, uint32_t options, DBHANDLE *table) {
    return guarded([&] {
        need(table, "table");
        *table = 0;
        ConnectionObject &c = connectionOf(connection);
        need(name, "name");
        if (tableType > DB_TABLE_NATIVE)
            invalidArgument("Unbekannter Tabellentyp " + std::to_string(tableType) + " für \"" +
                            std::string(name) + "\".");
        if (tableType == DB_TABLE_DICTIONARY && c.connection->isDictionary())
            throw DbException(DBE_NOT_IN_DICTIONARY,
                              "Die Tabelle \"" + std::string(name) +
                                  "\" ist nicht im Datenverzeichnis eingetragen; sie ist als freie "
                                  "Tabelle zu öffnen.");
        uint32_t kept = options & (DB_OPEN_EXCLUSIVE | DB_OPEN_READONLY | DB_OPEN_REINDEX |
                                   DB_OPEN_IGNORE_COLLATION);
        *table = c.addTable(joined(c, c.connection->openTable(name, kept)), kept).handle.value();
    });
}

DBRESULT DbCloseTable(DBHANDLE table) {
    return guarded([&] {
        auto *t = findHandle<TableObject>(table);
        if (!t)
            badHandle(table, "eine geöffnete Tabelle");
        ConnectionObject &c = *t->connection;
        if (c.connection->inTransaction()) {
            c.closeInsideTransaction(*t);
            return;
        }
        // Its own transaction would have nobody left to end it: closing would undo its writes
        // without a word.
        if (t->table->inTransaction())
            throw DbException(DBE_TRANSACTION_OPEN,
                              "Die Tabelle " + quoteFile(t->table->def().path) +
                                  " kann nicht geschlossen werden, solange ihre Transaktion "
                                  "läuft: sie muss zuerst abgeschlossen oder zurückgenommen "
                                  "werden.");
        c.closeTable(*t);
    });
}

DBRESULT DbCreateTable(DBHANDLE connection, const char *name, const char *fields, DBHANDLE *table) {
    return guarded([&] {
        need(table, "table");
        *table = 0;
        ConnectionObject &c = connectionOf(connection);
        need(name, "name");
        need(fields, "fields");
        std::vector<FieldDef> defs = parseFieldList(fields, name);
        *table = c.addTable(joined(c, c.connection->createTable(name, defs)), 0).handle.value();
    });
}

DBRESULT DbCreateIndex(DBHANDLE table, const char *tag, const char *fields, uint32_t options,
                       DBHANDLE *index) {
    return guarded([&] {
        need(index, "index");
        *index = 0;
        TableObject &t = tableOf(table);
        need(tag, "tag");
        need(fields, "fields");
        if (!validName(tag))
            invalidArgument("Ungültiger Indexname \"" + cp1252ToUtf8(tag) +
                            "\" (erlaubt: Buchstaben, Ziffern und _, höchstens 64 Zeichen).");
        std::vector<int> positions;
        for (const std::string &n : splitNames(fields)) {
            int f = t.table->def().fieldIndex(n);
            if (f < 0)
                throw DbException(DBE_INVALID_FIELD, "Die Tabelle " + quoteFile(fileOf(t)) +
                                                         " hat kein Feld \"" + cp1252ToUtf8(n) +
                                                         "\" für den Index \"" + tag + "\".");
            positions.push_back(f);
        }
        int tagNo = t.table->createIndex(tag, positions, (options & DB_INDEX_UNIQUE) != 0);
        *index = t.addIndex(tagNo).handle.value();
    });
}

DBRESULT DbGetTableFilename(DBHANDLE table, char *buf, uint16_t *len) {
    return guarded([&] { putText(fileOf(tableOf(table)), buf, len, "den Dateinamen"); });
}

DBRESULT DbGetRecordLength(DBHANDLE table, uint32_t *length) {
    return guarded([&] { *need(length, "length") = tableOf(table).table->def().recordLength; });
}

DBRESULT DbGetTableOpenOptions(DBHANDLE table, uint32_t *options) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        // DB_OPEN_READONLY as asked for; a table that may not be written on disk lacks only
        // the update permission, and its changes say why.
        *need(options, "options") =
            t.options | (t.table->readOnly() ? 0u : uint32_t(DB_OPEN_UPDATE_PERMITTED));
    });
}

DBRESULT DbGetNumFields(DBHANDLE table, uint16_t *count) {
    return guarded([&] {
        *need(count, "count") = static_cast<uint16_t>(tableOf(table).table->def().fields.size());
    });
}

DBRESULT DbGetFieldName(DBHANDLE table, uint16_t field, char *buf, uint16_t *len) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        putText(t.table->def().fields[fieldOf(t, field)].name, buf, len, "den Feldnamen");
    });
}

DBRESULT DbGetFieldNum(DBHANDLE table, const char *name, uint16_t *field) {
    return guarded([&] {
        need(field, "field");
        *field = 0;
        TableObject &t = tableOf(table);
        need(name, "name");
        int f = t.table->def().fieldIndex(name);
        if (f < 0)
            throw DbException(DBE_INVALID_FIELD, "Die Tabelle " + quoteFile(fileOf(t)) +
                                                     " hat kein Feld \"" + cp1252ToUtf8(name) +
                                                     "\".");
        *field = static_cast<uint16_t>(f + 1);
    });
}

DBRESULT DbGetFieldType(DBHANDLE table, uint16_t field, uint16_t *type) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        *need(type, "type") = t.table->def().fields[fieldOf(t, field)].type;
    });
}

DBRESULT DbGetFieldLength(DBHANDLE table, uint16_t field, uint32_t *length) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        *need(length, "length") = t.table->def().fields[fieldOf(t, field)].length;
    });
}

DBRESULT DbGetFieldDecimals(DBHANDLE table, uint16_t field, uint16_t *decimals) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        *need(decimals, "decimals") = t.table->def().fields[fieldOf(t, field)].decimals;
    });
}

DBRESULT DbGetFieldOffset(DBHANDLE table, uint16_t field, uint32_t *offset) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        *need(offset, "offset") = t.table->def().fields[fieldOf(t, field)].offset;
    });
}

DBRESULT DbGetColumnPermissions(DBHANDLE table, uint16_t field, uint16_t *permissions) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        const FieldDef &f = t.table->def().fields[fieldOf(t, field)];
        bool writable = !t.table->readOnly() && f.type != DB_TYPE_AUTOINC;
        *need(permissions, "permissions") =
            DB_PERMISSION_READ | (writable ? DB_PERMISSION_WRITE : 0);
    });
}

/* --- Indexes ------------------------------------------------------------------------------ */

DBRESULT DbGetIndexHandle(DBHANDLE table, const char *tag, DBHANDLE *index) {
    return guarded([&] {
        need(index, "index");
        *index = 0;
        TableObject &t = tableOf(table);
        need(tag, "tag");
        int i = t.table->def().indexIndex(tag);
        if (i < 0)
            throw DbException(DBE_INDEX_NOT_FOUND, "Die Tabelle " + quoteFile(fileOf(t)) +
                                                       " hat keinen Index \"" + cp1252ToUtf8(tag) +
                                                       "\".");
        *index = t.indexes[static_cast<size_t>(i)]->handle.value();
    });
}

DBRESULT DbGetNumIndexes(DBHANDLE table, uint16_t *count) {
    return guarded(
        [&] { *need(count, "count") = static_cast<uint16_t>(tableOf(table).indexes.size()); });
}

DBRESULT DbGetIndexHandleByOrder(DBHANDLE table, uint16_t number, DBHANDLE *index) {
    return guarded([&] {
        need(index, "index");
        *index = 0;
        TableObject &t = tableOf(table);
        if (number < 1 || number > t.indexes.size())
            throw DbException(DBE_INDEX_NOT_FOUND, "Die Tabelle " + quoteFile(fileOf(t)) +
                                                       " hat keinen Index Nummer " +
                                                       std::to_string(number) + ".");
        *index = t.indexes[number - 1u]->handle.value();
    });
}

DBRESULT DbGetIndexName(DBHANDLE index, char *buf, uint16_t *len) {
    return guarded([&] {
        IndexObject &i = indexOf(index);
        putText(i.table->table->def().indexes[i.tag - 1].name, buf, len, "den Indexnamen");
    });
}

DBRESULT DbGetIndexExpr(DBHANDLE index, char *buf, uint16_t *len) {
    return guarded([&] {
        IndexObject &i = indexOf(index);
        const TableDef &d = i.table->table->def();
        std::string expr;
        for (int f : d.indexes[i.tag - 1].fields)
            expr += (expr.empty() ? "" : ";") + d.fields[f].name;
        putText(expr, buf, len, "den Indexausdruck");
    });
}

DBRESULT DbGetIndexCondition(DBHANDLE index, char *buf, uint16_t *len) {
    return guarded([&] {
        indexOf(index);
        putText(std::string(), buf, len, "die Indexbedingung");
    });
}

DBRESULT DbGetScope(DBHANDLE index, uint16_t, char *buf, uint16_t *len) {
    return guarded([&] {
        indexOf(index);
        putText(std::string(), buf, len, "den Bereich");
    });
}

DBRESULT DbIsIndexUnique(DBHANDLE index, uint16_t *unique) {
    return guarded([&] {
        IndexObject &i = indexOf(index);
        *need(unique, "unique") = i.table->table->def().indexes[i.tag - 1].unique ? 1 : 0;
    });
}

DBRESULT DbIsIndexCustom(DBHANDLE index, uint16_t *custom) {
    return guarded([&] {
        indexOf(index);
        *need(custom, "custom") = 0;
    });
}

/* --- Moving ------------------------------------------------------------------------------- */

DBRESULT DbGotoBOF(DBHANDLE order) {
    return guarded([&] {
        int o;
        TableObject &t = orderOf(order, o);
        touched(t);
        t.table->gotoBOF(o);
    });
}

DBRESULT DbGotoTop(DBHANDLE order) {
    return guarded([&] {
        int o;
        TableObject &t = orderOf(order, o);
        touched(t);
        t.table->gotoTop(o);
    });
}

DBRESULT DbGotoBottom(DBHANDLE order) {
    return guarded([&] {
        int o;
        TableObject &t = orderOf(order, o);
        touched(t);
        t.table->gotoBottom(o);
    });
}

DBRESULT DbSkip(DBHANDLE order, int32_t count) {
    return guarded([&] {
        int o;
        TableObject &t = orderOf(order, o);
        t.justDeleted = false;
        t.table->skip(o, count);
    });
}

DBRESULT DbSkipToSharedKey(DBHANDLE order, uint32_t most, uint32_t *passed) {
    return guarded([&] {
        need(passed, "passed");
        *passed = 0;
        int o;
        TableObject &t = orderOf(order, o);
        t.justDeleted = false;
        *passed = t.table->skipToSharedKey(o, most);
    });
}

DBRESULT DbAtEOF(DBHANDLE table, uint16_t *eof) {
    return guarded([&] { *need(eof, "eof") = tableOf(table).table->atEOF() ? 1 : 0; });
}

DBRESULT DbAtBOF(DBHANDLE table, uint16_t *bof) {
    return guarded([&] { *need(bof, "bof") = tableOf(table).table->atBOF() ? 1 : 0; });
}

DBRESULT DbIsRecordVisible(DBHANDLE order, uint16_t *visible) {
    return guarded([&] {
        need(visible, "visible");
        *visible = 0;
        int o;
        TableObject &t = orderOf(order, o);
        *visible = t.table->isVisible() ? 1 : 0;
    });
}

DBRESULT DbGetRecordNum(DBHANDLE table, uint32_t *recno) {
    return guarded([&] {
        need(recno, "recno");
        *recno = 0;
        *recno = tableOf(table).table->recordNumber();
    });
}

DBRESULT DbGetBookmark(DBHANDLE table, uint32_t *bookmark) {
    return guarded([&] {
        need(bookmark, "bookmark");
        *bookmark = 0;
        *bookmark = tableOf(table).table->bookmark();
    });
}

DBRESULT DbGotoBookmark(DBHANDLE table, uint32_t bookmark) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        touched(t);
        t.table->gotoRecord(bookmark);
    });
}

DBRESULT DbGotoRecord(DBHANDLE table, uint32_t recno) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        touched(t);
        t.table->gotoRecord(recno);
    });
}

DBRESULT DbGetRecordCount(DBHANDLE order, uint16_t filterOption, uint32_t *count) {
    return guarded([&] {
        need(count, "count");
        *count = 0;
        int o;
        TableObject &t = orderOf(order, o);
        uint16_t option = filterOption & 3;
        *count = t.table->recordCount(o, option == DB_RESPECT_FILTERS || option == 0);
    });
}

/* --- Reading ------------------------------------------------------------------------------ */

DBRESULT DbGetRecord(DBHANDLE table, uint8_t *buf, uint32_t *len) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        need(len, "len");
        uint32_t n = t.table->def().recordLength;
        if (*len >= n && buf) {
            t.table->readRecord(buf);
            *len = n;
            return;
        }
        std::vector<uint8_t> image(n);
        t.table->readRecord(image.data());
        putBytes(image.data(), n, buf, len, "den Datensatz");
    });
}

DBRESULT DbGetField(DBHANDLE table, uint16_t field, char *buf, uint32_t *len, uint16_t options) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        const FieldDef &fd = t.table->def().fields[f];
        std::string text;
        if (isBlobType(fd.type)) {
            text = t.table->readBlob(f);
        } else {
            uint8_t small[256];
            std::vector<uint8_t> big;
            uint8_t *image = small;
            uint32_t size = imageSize(fd.type, fd.length);
            if (size > sizeof small) {
                big.resize(size);
                image = big.data();
            }
            t.table->readField(f, image);
            if (isStringType(fd.type) || fd.type == DB_TYPE_RAW || fd.type == DB_TYPE_NUMERIC ||
                fd.type == DB_TYPE_LOGICAL || fd.type == DB_TYPE_INTEGER ||
                fd.type == DB_TYPE_AUTOINC || fd.type == DB_TYPE_SHORTINT) {
                static const EngineSettings plain; // these types need no settings
                text = imageToText(fd, image, plain, options & DB_TRIM_RIGHT);
            } else {
                text = imageToText(fd, image, settingsSnapshot(), options & DB_TRIM_RIGHT);
            }
        }
        putText(text, buf, len, "den Feldwert");
    });
}

DBRESULT DbGetFieldRaw(DBHANDLE table, uint16_t field, uint8_t *buf, uint32_t *len) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        const FieldDef &fd = t.table->def().fields[f];
        uint32_t size = imageSize(fd.type, fd.length);
        need(len, "len");
        if (*len >= size && buf) {
            t.table->readField(f, buf);
            *len = size;
            return;
        }
        std::vector<uint8_t> image(size);
        t.table->readField(f, image.data());
        putBytes(image.data(), size, buf, len, "den Feldwert");
    });
}

DBRESULT DbIsEmpty(DBHANDLE table, uint16_t field, uint16_t *empty) {
    return guarded([&] {
        need(empty, "empty");
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        const FieldDef &fd = t.table->def().fields[f];
        if (isBlobType(fd.type)) {
            *empty = t.table->blobLength(f) == 0 ? 1 : 0;
            return;
        }
        std::vector<uint8_t> image(imageSize(fd.type, fd.length));
        t.table->readField(f, image.data());
        *empty = isNullImage(fd, image.data()) ? 1 : 0;
    });
}

static void requireBlob(TableObject &t, int f) {
    const FieldDef &fd = t.table->def().fields[f];
    if (!isBlobType(fd.type))
        throw DbException(DBE_INVALID_FIELD_TYPE, "Das Feld \"" + fd.name + "\" der Tabelle " +
                                                      quoteFile(fileOf(t)) +
                                                      " ist kein Memo- oder Binärfeld.");
}

DBRESULT DbGetBinaryLength(DBHANDLE table, uint16_t field, uint32_t *len) {
    return guarded([&] {
        need(len, "len");
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        requireBlob(t, f);
        *len = t.table->blobLength(f);
    });
}

DBRESULT DbGetBinary(DBHANDLE table, uint16_t field, uint32_t offset, uint8_t *buf, uint32_t *len) {
    return guarded([&] {
        need(len, "len");
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        requireBlob(t, f);
        std::string value = t.table->readBlob(f);
        size_t n = offset >= value.size() ? 0 : std::min<size_t>(value.size() - offset, *len);
        if (n)
            std::memcpy(need(buf, "buf"), value.data() + offset, n);
        *len = static_cast<uint32_t>(n);
    });
}

/* --- Seeking ------------------------------------------------------------------------------ */

DBRESULT DbInitRawKey(DBHANDLE index) {
    return guarded([&] {
        IndexObject &i = indexOf(index);
        TableObject &t = *i.table;
        const TableDef &d = t.table->def();
        t.scratchTag = i.tag;
        t.scratch.assign(d.recordLength, 0);
        nullRecord(d, t.scratch.data());
        t.scratchSet.assign(d.fields.size(), -1);
    });
}

DBRESULT DbBuildRawKey(DBHANDLE index, uint8_t *key, uint16_t *len) {
    return guarded([&] {
        IndexObject &i = indexOf(index);
        TableObject &t = *i.table;
        need(len, "len");
        if (t.scratchTag != i.tag)
            invalidArgument("Für den Index \"" + t.table->def().indexes[i.tag - 1].name +
                            "\" der Tabelle " + quoteFile(fileOf(t)) +
                            " wurde kein Schlüssel mit DbInitRawKey begonnen.");
        const TableDef &d = t.table->def();
        std::string out(1, '\0');
        uint8_t count = 0;
        for (int f : d.indexes[i.tag - 1].fields) {
            int32_t set = t.scratchSet[f];
            if (set < 0)
                break;
            const FieldDef &fd = d.fields[f];
            uint32_t size = imageSize(fd.type, fd.length);
            bool prefix = isStringType(fd.type) && static_cast<uint32_t>(set) < fd.length;
            uint32_t n = prefix ? static_cast<uint32_t>(set) : size;
            out += static_cast<char>(prefix ? kSegmentPrefix : kSegmentFull);
            out += static_cast<char>(n & 0xFF);
            out += static_cast<char>(n >> 8);
            out.append(reinterpret_cast<const char *>(t.scratch.data() + fd.offset), n);
            ++count;
        }
        out[0] = static_cast<char>(count);
        t.scratchTag = 0;
        if (out.size() > DB_MAX_KEY_LENGTH)
            invalidArgument("Der Schlüssel ist " + std::to_string(out.size()) +
                            " Bytes lang; erlaubt sind " + std::to_string(DB_MAX_KEY_LENGTH) + ".");
        uint32_t n = *len;
        putBytes(reinterpret_cast<const uint8_t *>(out.data()), out.size(), key, &n,
                 "den Schlüssel");
        *len = static_cast<uint16_t>(n);
    });
}

DBRESULT DbSeek(DBHANDLE index, const uint8_t *key, uint16_t len, uint16_t keyType,
                uint16_t seekType, uint16_t *found) {
    return guarded([&] {
        need(found, "found");
        *found = 0;
        IndexObject &i = indexOf(index);
        TableObject &t = *i.table;
        const TableDef &d = t.table->def();
        const IndexDef &ix = d.indexes[i.tag - 1];
        if (len > 0)
            need(key, "key");
        const uint16_t kind = seekType & ~(DB_SEEK_STAY | DB_SEEK_READ_RECORD);
        if ((kind != DB_SEEK_HARD && kind != DB_SEEK_SOFT) ||
            (kind == DB_SEEK_SOFT && (seekType & DB_SEEK_STAY)))
            invalidArgument("Unbekannte Suchart " + std::to_string(seekType) +
                            " (1 genau, 2 ungefähr; zu 1 auch 256 für das Stehenbleiben, zu "
                            "beiden 512 für das Mitlesen des Datensatzes).");
        std::vector<KeySegment> segments;
        auto badKey = [&] {
            invalidArgument("Der Schlüssel passt nicht zum Index \"" + ix.name + "\" der Tabelle " +
                            quoteFile(fileOf(t)) + " (mit DbBuildRawKey für diesen Index bauen).");
        };
        if (keyType == DB_KEY_RAW) {
            if (len < 1)
                badKey();
            size_t count = key[0], pos = 1;
            if (count > ix.fields.size())
                badKey();
            for (size_t k = 0; k < count; ++k) {
                if (pos + 3 > len)
                    badKey();
                uint8_t kind = key[pos];
                size_t n = key[pos + 1] | static_cast<size_t>(key[pos + 2]) << 8;
                pos += 3;
                const FieldDef &fd = d.fields[ix.fields[k]];
                size_t size = imageSize(fd.type, fd.length);
                bool ok = pos + n <= len &&
                          ((kind == kSegmentFull && n == size) ||
                           (kind == kSegmentPrefix && isStringType(fd.type) && n < fd.length));
                if (!ok)
                    badKey();
                KeySegment s;
                s.prefix = kind == kSegmentPrefix;
                s.image.assign(key + pos, key + pos + n);
                segments.push_back(std::move(s));
                pos += n;
            }
        } else if (keyType == DB_KEY_TEXT) {
            const FieldDef &fd = d.fields[ix.fields[0]];
            KeySegment s;
            s.image.assign(imageSize(fd.type, fd.length), 0);
            std::string text =
                valueText(fd, reinterpret_cast<const char *>(key ? key : s.image.data()),
                          key ? len : 0, d.path);
            textToImage(fd, text, s.image.data(), settingsSnapshot(), d.path);
            segments.push_back(std::move(s));
        } else {
            invalidArgument("Unbekannte Schlüsselart " + std::to_string(keyType) +
                            " (1 roh, 2 Text).");
        }
        touched(t);
        SeekMode mode;
        mode.soft = kind == DB_SEEK_SOFT;
        mode.stay = (seekType & DB_SEEK_STAY) != 0;
        mode.withRecord = (seekType & DB_SEEK_READ_RECORD) != 0;
        *found = t.table->seek(i.tag, segments, mode) ? 1 : 0;
    });
}

/* --- Filters ------------------------------------------------------------------------------- */

static DBRESULT setFilter(DBHANDLE table, const char *expression, int which) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        need(expression, "expression");
        if (!*expression) {
            t.table->setFilter(which, nullptr);
            return;
        }
        EngineSettings s = settingsSnapshot();
        auto f = std::make_unique<Filter>(parseFilter(expression, t.table->def(), s.exact, s));
        t.table->setFilter(which, std::move(f));
    });
}

static DBRESULT getFilter(DBHANDLE table, char *buf, uint16_t *len, int which) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        need(len, "len");
        const Filter *f = t.table->filter(which);
        if (!f) {
            *len = 0;
            if (buf)
                buf[0] = 0;
            throw DbException(DBE_NO_FILTER, "Auf der Tabelle " + quoteFile(fileOf(t)) +
                                                 " ist kein " + (which ? "optimierter " : "") +
                                                 "Filter gesetzt.");
        }
        putText(f->expression, buf, len, "den Filterausdruck");
    });
}

DBRESULT DbSetFilter(DBHANDLE table, const char *expression) {
    return setFilter(table, expression, 0);
}

DBRESULT DbSetOptFilter(DBHANDLE table, const char *expression, uint16_t) {
    return setFilter(table, expression, 1);
}

DBRESULT DbGetFilter(DBHANDLE table, char *buf, uint16_t *len) {
    return getFilter(table, buf, len, 0);
}

DBRESULT DbGetOptFilter(DBHANDLE table, char *buf, uint16_t *len) {
    return getFilter(table, buf, len, 1);
}

DBRESULT DbClearFilter(DBHANDLE table) {
    return guarded([&] { tableOf(table).table->setFilter(0, nullptr); });
}

DBRESULT DbClearOptFilter(DBHANDLE table) {
    return guarded([&] { tableOf(table).table->setFilter(1, nullptr); });
}

DBRESULT DbGetExact(uint16_t *exact) {
    return guarded([&] { *need(exact, "exact") = settingsSnapshot().exact ? 1 : 0; });
}

DBRESULT DbSetExact(uint16_t exact) {
    return guarded([&] { changeSettings([&](EngineSettings &s) { s.exact = exact != 0; }); });
}

DBRESULT DbEvalLogicalExpr(DBHANDLE table, const char *expression, uint16_t *result) {
    return guarded([&] {
        need(result, "result");
        *result = 0;
        TableObject &t = tableOf(table);
        need(expression, "expression");
        EngineSettings s = settingsSnapshot();
        Filter f = parseFilter(expression, t.table->def(), s.exact, s);
        *result = t.table->evaluate(f) ? 1 : 0;
    });
}

/* --- Changing ------------------------------------------------------------------------------ */

DBRESULT DbLockRecord(DBHANDLE table, uint32_t recno) {
    return guarded([&] { tableOf(table).table->lock(recno); });
}

DBRESULT DbUnlockRecord(DBHANDLE table, uint32_t recno) {
    return guarded([&] { tableOf(table).table->unlock(recno); });
}

DBRESULT DbIsRecordLocked(DBHANDLE table, uint32_t recno, uint16_t *locked) {
    return guarded([&] {
        need(locked, "locked");
        *locked = tableOf(table).table->isLocked(recno) ? 1 : 0;
    });
}

DBRESULT DbAppendRecord(DBHANDLE table) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        touched(t);
        t.table->append();
    });
}

DBRESULT DbSetField(DBHANDLE table, uint16_t field, const char *text, uint32_t len) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        const FieldDef &fd = t.table->def().fields[f];
        if (len > 0 && !text)
            need(text, "text");
        std::string value = text ? valueText(fd, text, len, fileOf(t)) : std::string();
        if (scratchMode(t)) {
            std::vector<uint8_t> image(imageSize(fd.type, fd.length));
            textToImage(fd, value, image.data(), settingsSnapshot(), fileOf(t));
            int32_t set = isStringType(fd.type)
                              ? static_cast<int32_t>(std::min<size_t>(value.size(), fd.length))
                              : static_cast<int32_t>(image.size());
            setScratch(t, f, image.data(), set);
            return;
        }
        touched(t);
        if (isBlobType(fd.type)) {
            t.table->setBlob(f, &value);
            return;
        }
        // Called per field of every record of a bulk load: no allocation for a usual field,
        // and the settings (a copy under their lock) only for the types whose text they shape.
        uint8_t small[256];
        std::vector<uint8_t> big;
        uint8_t *image = small;
        const uint32_t size = imageSize(fd.type, fd.length);
        if (size > sizeof small) {
            big.resize(size);
            image = big.data();
        }
        if (usesSettings(fd.type)) {
            textToImage(fd, value, image, settingsSnapshot(), fileOf(t));
        } else {
            static const EngineSettings plain; // these types need no settings
            textToImage(fd, value, image, plain, fileOf(t));
        }
        t.table->setField(f, image);
    });
}

DBRESULT DbSetFieldRaw(DBHANDLE table, uint16_t field, const uint8_t *buf, uint32_t len) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        const FieldDef &fd = t.table->def().fields[f];
        uint32_t size = imageSize(fd.type, fd.length);
        if (len > 0)
            need(buf, "buf");
        bool padded = isStringType(fd.type) || fd.type == DB_TYPE_RAW;
        checkImageLength(fd, buf, len, fileOf(t));
        if (len > size && padded)
            len = size;
        if (len != size && !padded)
            invalidArgument("Das Feld \"" + fd.name + "\" der Tabelle " + quoteFile(fileOf(t)) +
                            " ist roh " + std::to_string(size) + " Bytes breit, nicht " +
                            std::to_string(len) + ".");
        std::vector<uint8_t> image(size, isStringType(fd.type) ? ' ' : 0);
        if (len)
            std::memcpy(image.data(), buf, len);
        if (isStringType(fd.type) && len == 0)
            std::fill(image.begin(), image.end(), 0);
        checkImage(fd, image.data(), fileOf(t));
        if (scratchMode(t)) {
            setScratch(t, f, image.data(), static_cast<int32_t>(len));
            return;
        }
        touched(t);
        t.table->setField(f, image.data());
    });
}

DBRESULT DbSetEmpty(DBHANDLE table, uint16_t field) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        const FieldDef &fd = t.table->def().fields[f];
        std::vector<uint8_t> image(imageSize(fd.type, fd.length));
        nullImage(fd, image.data());
        if (scratchMode(t)) {
            setScratch(t, f, image.data(), static_cast<int32_t>(fd.length));
            return;
        }
        touched(t);
        if (isBlobType(fd.type))
            t.table->setBlob(f, nullptr);
        else
            t.table->setField(f, image.data());
    });
}

DBRESULT DbSetBinary(DBHANDLE table, uint16_t field, const uint8_t *buf, uint32_t len) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        int f = fieldOf(t, field);
        requireBlob(t, f);
        if (len > 0)
            need(buf, "buf");
        std::string value(
            reinterpret_cast<const char *>(buf ? buf : reinterpret_cast<const uint8_t *>("")), len);
        touched(t);
        t.table->setBlob(f, &value);
    });
}

DBRESULT DbWriteRecord(DBHANDLE table) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        if (t.justDeleted && !t.table->updatePending()) {
            t.justDeleted = false; // the deletion is stored already
            return;
        }
        t.justDeleted = false;
        t.table->write();
    });
}

DBRESULT DbCancelUpdate(DBHANDLE table) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        t.justDeleted = false;
        t.table->cancel();
    });
}

DBRESULT DbDeleteRecord(DBHANDLE table) {
    return guarded([&] {
        TableObject &t = tableOf(table);
        t.justDeleted = false;
        t.table->deleteRecord();
        t.justDeleted = true;
    });
}

DBRESULT DbBeginTransaction(DBHANDLE table) {
    return guarded([&] { tableOf(table).table->beginTransaction(); });
}

DBRESULT DbCommitTransaction(DBHANDLE table) {
    return guarded([&] { tableOf(table).table->commitTransaction(); });
}

DBRESULT DbRollbackTransaction(DBHANDLE table) {
    return guarded([&] { tableOf(table).table->rollbackTransaction(); });
}

DBRESULT DbBeginConnectionTransaction(DBHANDLE connection) {
    return guarded([&] {
        ConnectionObject &c = connectionOf(connection);
        c.connection->beginTransaction(c.transactionTables());
    });
}

// Commits or rolls back the connection's transaction. Either way it is over afterwards, also
// when that failed (the backends end it first), so the tables closed inside it close now.
static void endConnectionTransaction(ConnectionObject &c, bool commit) {
    try {
        if (commit)
            c.connection->commitTransaction(c.transactionTables());
        else
            c.connection->rollbackTransaction(c.transactionTables());
    } catch (...) {
        c.endTransaction();
        throw;
    }
    c.endTransaction();
}

DBRESULT DbCommitConnectionTransaction(DBHANDLE connection) {
    return guarded([&] { endConnectionTransaction(connectionOf(connection), true); });
}

DBRESULT DbRollbackConnectionTransaction(DBHANDLE connection) {
    return guarded([&] { endConnectionTransaction(connectionOf(connection), false); });
}

DBRESULT DbCheckTable(DBHANDLE table, uint32_t *problems, char *buf, uint32_t *len) {
    return guarded([&] {
        need(problems, "problems");
        need(len, "len");
        TableObject &t = tableOf(table);
        touched(t);
        const std::vector<std::string> found = t.table->integrityProblems();
        *problems = static_cast<uint32_t>(found.size());
        std::string text;
        for (const std::string &line : found)
            text += utf8ToCp1252(line) + "\n";
        putText(text, buf, len, "die Befunde");
    });
}

/* --- Errors -------------------------------------------------------------------------------- */

// These leave the last error as it is, also when they fail themselves.
DBRESULT DbGetLastErrorRecord(uint32_t *recno) {
    if (!recno)
        return DBE_INVALID_ARGUMENT;
    *recno = lastError().record;
    return DBE_SUCCESS;
}

DBRESULT DbGetLastError(uint32_t *error, char *buf, uint16_t *len) {
    if (!error || !len)
        return DBE_INVALID_ARGUMENT;
    const LastError &e = lastError();
    *error = e.code;
    uint16_t size = *len;
    if (size > 0 && !buf)
        return DBE_INVALID_ARGUMENT;
    size_t n = std::min<size_t>(e.text.size(), size > 0 ? size - 1u : 0u);
    if (size > 0) {
        std::memcpy(buf, e.text.data(), n);
        buf[n] = 0;
    }
    if (e.text.size() + 1 > size) {
        *len = static_cast<uint16_t>(e.text.size());
        return DBE_INSUFFICIENT_BUFFER;
    }
    *len = static_cast<uint16_t>(n);
    return DBE_SUCCESS;
}

DBRESULT DbGetErrorString(uint32_t error, char *buf, uint16_t *len) {
    if (!len)
        return DBE_INVALID_ARGUMENT;
    std::string text = utf8ToCp1252(errorDescription(error));
    uint16_t size = *len;
    if (size > 0 && !buf)
        return DBE_INVALID_ARGUMENT;
    size_t n = std::min<size_t>(text.size(), size > 0 ? size - 1u : 0u);
    if (size > 0) {
        std::memcpy(buf, text.data(), n);
        buf[n] = 0;
    }
    if (text.size() + 1 > size) {
        *len = static_cast<uint16_t>(text.size());
        return DBE_INSUFFICIENT_BUFFER;
    }
    *len = static_cast<uint16_t>(n);
    return DBE_SUCCESS;
}

DBRESULT DbSetLastError(uint32_t error, const char *text) {
    setLastError(error, text ? text : utf8ToCp1252(errorDescription(error)));
    return DBE_SUCCESS;
}

DBRESULT DbShowError(const char *title) {
    const LastError &e = lastError();
    std::fprintf(stderr, "%s: [%u] %s\n", title ? cp1252ToUtf8(title).c_str() : "", e.code,
                 cp1252ToUtf8(e.text).c_str());
    return DBE_SUCCESS;
}

} // extern "C"
