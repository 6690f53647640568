#include "TableDef.h"

#include "DbException.h"
#include "Text1252.h"
#include "dbeng.h"

#include <cctype>
#include <charconv>

namespace dbeng {

bool equalNames(const std::string &a, const std::string &b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper1252(static_cast<unsigned char>(a[i])) !=
            upper1252(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int TableDef::fieldIndex(const std::string &name) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (equalNames(fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

int TableDef::indexIndex(const std::string &name) const {
    for (size_t i = 0; i < indexes.size(); ++i)
        if (equalNames(indexes[i].name, name))
            return static_cast<int>(i);
    return -1;
}

void TableDef::checkNewIndex(const std::string &tag, const std::vector<int> &indexFields) const {
    if (indexIndex(tag) >= 0)
        throw DbException(DBE_INDEX_EXISTS, "Die Tabelle " + quoteFile(path) +
                                                " hat schon einen Index \"" + tag + "\".");
    uint32_t keyLength = 0;
    for (int f : indexFields) {
        const FieldDef &fd = fields[f];
        if (isBlobType(fd.type))
            throw DbException(DBE_INVALID_FIELD_TYPE,
                              "Das Feld \"" + fd.name + "\" (" + typeName(fd.type) +
                                  ") kann nicht in einem Index stehen (Tabelle " + quoteFile(path) +
                                  ").");
        keyLength += imageSize(fd.type, fd.length);
    }
    if (keyLength > DB_MAX_KEY_LENGTH)
        throw DbException(DBE_INVALID_ARGUMENT, "Der Schlüssel des Index \"" + tag + "\" wäre " +
                                                    std::to_string(keyLength) +
                                                    " Bytes lang; erlaubt sind " +
                                                    std::to_string(DB_MAX_KEY_LENGTH) + ".");
}

void TableDef::layout() {
    uint32_t offset = 0;
    for (FieldDef &f : fields) {
        f.offset = offset;
        offset += imageSize(f.type, f.length);
    }
    recordLength = offset;
}

bool isKnownType(uint16_t type) {
    return (type >= 1 && type <= 17) || type == 20;
}

bool isBlobType(uint16_t type) {
    return type == DB_TYPE_MEMO || type == DB_TYPE_BINARY || type == DB_TYPE_IMAGE ||
           type == DB_TYPE_VARCHAR;
}

bool isStringType(uint16_t type) {
    return type == DB_TYPE_STRING || type == DB_TYPE_CISTRING;
}

bool needsLength(uint16_t type) {
    return isStringType(type) || type == DB_TYPE_NUMERIC || type == DB_TYPE_RAW;
}

uint32_t imageSize(uint16_t type, uint32_t length) {
    switch (type) {
    case DB_TYPE_LOGICAL:
        return 1;
    case DB_TYPE_NUMERIC:
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
    case DB_TYPE_RAW:
        return length;
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
    case DB_TYPE_INTEGER:
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
        return 4;
    case DB_TYPE_SHORTINT:
        return 2;
    default: // memo references, doubles, timestamps
        return 8;
    }
}

const char *typeName(uint16_t type) {
    switch (type) {
    case DB_TYPE_LOGICAL:
        return "logisch";
    case DB_TYPE_NUMERIC:
        return "numerisch";
    case DB_TYPE_DATE:
        return "Datum";
    case DB_TYPE_STRING:
        return "Text";
    case DB_TYPE_MEMO:
        return "Memo";
    case DB_TYPE_BINARY:
        return "binär";
    case DB_TYPE_IMAGE:
        return "Bild";
    case DB_TYPE_VARCHAR:
        return "Varchar";
    case DB_TYPE_COMPACTDATE:
        return "kompaktes Datum";
    case DB_TYPE_DOUBLE:
        return "Gleitkomma";
    case DB_TYPE_INTEGER:
        return "Ganzzahl";
    case DB_TYPE_SHORTINT:
        return "kurze Ganzzahl";
    case DB_TYPE_TIME:
        return "Uhrzeit";
    case DB_TYPE_TIMESTAMP:
        return "Zeitstempel";
    case DB_TYPE_AUTOINC:
        return "Autoinkrement";
    case DB_TYPE_RAW:
        return "Bytes";
    case DB_TYPE_CURDOUBLE:
        return "Währung";
    case DB_TYPE_CISTRING:
        return "Text ohne Groß-/Kleinschreibung";
    default:
        return "unbekannt";
    }
}

namespace {

std::string trimmed(const std::string &s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool toNumber(const std::string &s, long &out) {
    std::string t = trimmed(s);
    if (t.empty()) {
        out = 0;
        return true;
    }
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
    return ec == std::errc() && p == t.data() + t.size();
}

} // namespace

std::vector<FieldDef> parseFieldList(const std::string &text, const std::string &file) {
    auto fail = [&](const std::string &what) {
        throw DbException(DBE_INVALID_ARGUMENT,
                          "Tabelle " + quoteFile(file) + " kann nicht angelegt werden: " + what);
    };
    std::vector<FieldDef> fields;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        std::string entry = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (entry.empty()) {
            if (end == text.size())
                break;
            continue;
        }
        std::vector<std::string> parts;
        size_t p = 0;
        while (true) {
            size_t c = entry.find(',', p);
            parts.push_back(
                trimmed(entry.substr(p, c == std::string::npos ? std::string::npos : c - p)));
            if (c == std::string::npos)
                break;
            p = c + 1;
        }
        if (parts.size() < 2 || parts.size() > 4)
            fail("Felddefinition \"" + entry + "\" hat nicht die Form NAME,TYP,LÄNGE,DEZIMALEN.");
        FieldDef f;
        f.name = parts[0];
        bool nameOk = !f.name.empty() && f.name.size() <= 64 &&
                      (std::isalpha(static_cast<unsigned char>(f.name[0])) || f.name[0] == '_');
        for (char ch : f.name)
            if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_')
                nameOk = false;
        if (!nameOk)
            fail("ungültiger Feldname \"" + f.name +
                 "\" (erlaubt: Buchstaben, Ziffern und _, höchstens 64 Zeichen).");
        if (f.name.size() >= 4 && equalNames(f.name.substr(0, 4), "dbe_"))
            fail("Feldnamen, die mit \"dbe_\" beginnen, sind der Datenbank vorbehalten (" + f.name +
                 ").");
        for (const FieldDef &other : fields)
            if (equalNames(other.name, f.name))
                fail("das Feld \"" + f.name + "\" ist doppelt angegeben.");
        long type = 0, length = 0, decimals = 0;
        if (!toNumber(parts[1], type) || !isKnownType(static_cast<uint16_t>(type)) || type <= 0)
            fail("unbekannter Feldtyp \"" + parts[1] + "\" für Feld \"" + f.name + "\".");
        if (parts.size() > 2 && !toNumber(parts[2], length))
            fail("ungültige Länge \"" + parts[2] + "\" für Feld \"" + f.name + "\".");
        if (parts.size() > 3 && !toNumber(parts[3], decimals))
            fail("ungültige Dezimalstellen \"" + parts[3] + "\" für Feld \"" + f.name + "\".");
        f.type = static_cast<uint16_t>(type);
        if (needsLength(f.type)) {
            long max = f.type == DB_TYPE_NUMERIC ? 32 : 65000;
            if (length < 1 || length > max)
                fail("Feld \"" + f.name + "\" braucht eine Länge von 1 bis " + std::to_string(max) +
                     ".");
            f.length = static_cast<uint32_t>(length);
        } else {
            f.length = imageSize(f.type, 0);
        }
        if (f.type == DB_TYPE_NUMERIC) {
            if (decimals < 0 || (decimals > 0 && decimals > length - 2))
                fail("Feld \"" + f.name + "\": zu viele Dezimalstellen für die Länge.");
            f.decimals = static_cast<uint16_t>(decimals);
        } else if (f.type == DB_TYPE_DOUBLE || f.type == DB_TYPE_CURDOUBLE) {
            if (decimals < 0 || decimals > 15)
                fail("Feld \"" + f.name + "\": ungültige Dezimalstellen.");
            f.decimals = static_cast<uint16_t>(decimals);
        }
        fields.push_back(f);
    }
    if (fields.empty())
        fail("die Feldliste ist leer.");
    if (fields.size() > 2000)
        fail("zu viele Felder.");
    return fields;
}

} // namespace dbeng
