#include "LastError.h"

#include "DbException.h"
#include "dbeng.h"

namespace dbeng {

LastError &lastError() {
    thread_local LastError error;
    return error;
}

void setLastError(uint32_t code, const std::string &text, uint32_t record) {
    LastError &e = lastError();
    e.code = code;
    e.record = record;
    e.text = text.size() > DB_MAX_ERROR_TEXT ? text.substr(0, DB_MAX_ERROR_TEXT) : text;
}

std::string quoteFile(const std::string &path) {
    // Keep the end of a long path: the file name is the part that tells the user most.
    constexpr size_t limit = 240;
    if (path.size() <= limit)
        return "\"" + path + "\"";
    // Paths are UTF-8 here: start at a character, not inside one.
    size_t start = path.size() - limit;
    while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80)
        ++start;
    return "\"..." + path.substr(start) + "\"";
}

std::string errorDescription(uint32_t code) {
    switch (code) {
    case DBE_SUCCESS:
        return "Kein Fehler.";
    case DBE_INVALID_ARGUMENT:
        return "Ungültiges Argument.";
    case DBE_INSUFFICIENT_BUFFER:
        return "Der Puffer ist zu klein.";
    case DBE_INVALID_HANDLE:
        return "Ungültiges Handle.";
    case DBE_INVALID_FIELD:
        return "Ungültige Feldnummer oder unbekannter Feldname.";
    case DBE_INVALID_FIELD_TYPE:
        return "Die Operation passt nicht zum Feldtyp.";
    case DBE_VALUE_INVALID:
        return "Der Wert passt nicht zum Feldtyp.";
    case DBE_RECORD_NOT_FOUND:
        return "Der Datensatz wurde nicht gefunden.";
    case DBE_TABLES_CLOSED:
        return "Beim Trennen der Verbindung waren noch Tabellen geöffnet; sie wurden geschlossen.";
    case DBE_TRANSACTION_OPEN:
        return "Es läuft noch eine Transaktion.";
    case DBE_INDEX_NOT_FOUND:
        return "Der Index wurde nicht gefunden.";
    case DBE_FILE_NOT_FOUND:
        return "Die Datei oder das Verzeichnis wurde nicht gefunden.";
    case DBE_NOT_A_TABLE:
        return "Die Datei ist keine Tabellendatei.";
    case DBE_TABLE_DAMAGED:
        return "Die Tabellendatei ist beschädigt.";
    case DBE_RECORD_LOCKED:
        return "Der Datensatz ist von einem anderen Benutzer gesperrt.";
    case DBE_NO_FILTER:
        return "Es ist kein Filter gesetzt.";
    case DBE_TABLE_EXISTS:
        return "Die Tabellendatei existiert bereits.";
    case DBE_INDEX_EXISTS:
        return "Der Index existiert bereits.";
    case DBE_READONLY:
        return "Die Tabelle ist nur zum Lesen geöffnet.";
    case DBE_EXPRESSION:
        return "Der Ausdruck wird nicht verstanden.";
    case DBE_UPDATE_PERMISSION:
        return "Update permission not granted on this table.";
    case DBE_STATIC_VIEW:
        return "This table is based on a static VIEW. Static VIEWs can not be updated.";
    case DBE_NO_CURRENT_RECORD:
        return "Es gibt keinen aktuellen Datensatz.";
    case DBE_UPDATE_PENDING:
        return "Eine Änderung ist noch nicht gespeichert oder verworfen.";
    case DBE_NO_UPDATE_PENDING:
        return "Es ist keine Änderung offen.";
    case DBE_DUPLICATE_KEY:
        return "Der Schlüssel ist in einem eindeutigen Index bereits vorhanden.";
    case DBE_NOT_IN_DICTIONARY:
        return "Die Tabelle ist nicht im Datenverzeichnis eingetragen.";
    case DBE_SERVER_NOT_AVAILABLE:
        return "Der angeforderte Datenbankserver ist nicht verfügbar oder nicht erreichbar.";
    case DBE_LOGIN_FAILED:
        return "Die Anmeldung am Datenbankserver ist fehlgeschlagen.";
    case DBE_IO_ERROR:
        return "Das Betriebssystem hat eine Dateioperation abgelehnt.";
    case DBE_STORAGE_ERROR:
        return "ERROR 7200: Fehler der Speicherschicht.";
    default:
        return "Unbekannter Fehler " + std::to_string(code) + ".";
    }
}

} // namespace dbeng
