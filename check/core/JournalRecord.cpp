#include "check/core/JournalRecord.h"

#include "check/core/DeletionJournal.h"
#include "data/RecordImage.h"
#include "dbeng.h"
#include "platform/Cp1252.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

namespace JournalRecord {

void checkEngine(uint32_t result) {
    if (result == DBE_SUCCESS)
        return;
    uint32_t number = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof text;
    DbGetLastError(&number, text, &len);
    throw EJournalError(Cp1252::toQString(text));
}

namespace {

struct FieldInfo {
    QString name;
    uint16_t number = 0;
    uint16_t type = 0;
    uint32_t length = 0; // the image width (the text width of a numeric field)
    uint32_t offset = 0;
};

std::vector<FieldInfo> fieldsOf(uint32_t table) {
    uint16_t count = 0;
    checkEngine(DbGetNumFields(table, &count));
    std::vector<FieldInfo> fields;
    for (uint16_t n = 1; n <= count; ++n) {
        FieldInfo f;
        f.number = n;
        char name[80] = {};
        uint16_t len = sizeof name;
        checkEngine(DbGetFieldName(table, n, name, &len));
        f.name = Cp1252::toQString(name);
        checkEngine(DbGetFieldType(table, n, &f.type));
        checkEngine(DbGetFieldLength(table, n, &f.length));
        checkEngine(DbGetFieldOffset(table, n, &f.offset));
        fields.push_back(f);
    }
    return fields;
}

using RecordImage::allZero;
using RecordImage::load;
using RecordImage::store;

// Bytes as the journal writes them: their characters, with "%" escapes where a character
// would be lost or would break the line.
QString escaped(const QByteArray &bytes) {
    QString out;
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        const bool unassigned = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (b < 0x20 || b == 0x7F || b == '%' || unassigned)
            out += u'%' + QStringLiteral("%1").arg(uint(b), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += Cp1252::toQChar(b);
    }
    return out;
}

int hexDigit(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

bool unescaped(const QString &text, QByteArray &bytes) {
    bytes.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%') {
            if (i + 2 >= text.size())
                return false;
            const int high = hexDigit(text[i + 1]), low = hexDigit(text[i + 2]);
            if (high < 0 || low < 0)
                return false;
            bytes += char(high * 16 + low);
            i += 2;
        } else {
            if (!Cp1252::isRepresentable(text[i]))
                return false;
            bytes += Cp1252::fromQChar(text[i]);
        }
    }
    return true;
}

QString timeText(int32_t ms) {
    return QTime::fromMSecsSinceStartOfDay(ms).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString dateText(int32_t jd) {
    return QDate::fromJulianDay(jd).toString(Qt::ISODate);
}

QString valueText(const FieldInfo &f, const uint8_t *p, uint32_t table) {
    switch (f.type) {
    case DB_TYPE_LOGICAL:
        return p[0] == 'T' ? QStringLiteral("T") : p[0] == 'F' ? QStringLiteral("F") : QString();
    case DB_TYPE_NUMERIC:
        return QString::fromLatin1(reinterpret_cast<const char *>(p), f.length)
            .remove(QChar(0))
            .trimmed();
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
        return load<int32_t>(p) == 0 ? QString() : dateText(load<int32_t>(p));
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        QByteArray bytes(reinterpret_cast<const char *>(p), f.length);
        const qsizetype zero = bytes.indexOf('\0');
        if (zero >= 0)
            bytes.truncate(zero);
        while (bytes.endsWith(' '))
            bytes.chop(1);
        return escaped(bytes);
    }
    case DB_TYPE_MEMO:
    case DB_TYPE_VARCHAR:
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE: {
        if (load<uint32_t>(p) == 0)
            return {};
        uint32_t size = 0;
        checkEngine(DbGetBinaryLength(table, f.number, &size));
        QByteArray bytes(qsizetype(size), '\0');
        uint32_t got = size;
        if (size > 0)
            checkEngine(
                DbGetBinary(table, f.number, 0, reinterpret_cast<uint8_t *>(bytes.data()), &got));
        return escaped(bytes.left(qsizetype(got)));
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        // The shortest text that reads back as exactly this number.
        return QString::number(load<double>(p), 'g', QLocale::FloatingPointShortest);
    case DB_TYPE_INTEGER:
        return load<int32_t>(p) == INT32_MIN ? QString() : QString::number(load<int32_t>(p));
    case DB_TYPE_SHORTINT:
        return load<int16_t>(p) == -32768 ? QString() : QString::number(load<int16_t>(p));
    case DB_TYPE_AUTOINC:
        return load<int32_t>(p) == -1 ? QString() : QString::number(load<int32_t>(p));
    case DB_TYPE_TIME:
        return load<int32_t>(p) == -1 ? QString() : timeText(load<int32_t>(p));
    case DB_TYPE_TIMESTAMP:
        return allZero(p, 8) ? QString()
                             : dateText(load<int32_t>(p)) + u'T' + timeText(load<int32_t>(p + 4));
    case DB_TYPE_RAW:
        return allZero(p, f.length)
                   ? QString()
                   : escaped(QByteArray(reinterpret_cast<const char *>(p), f.length));
    default:
        throw EJournalError(QStringLiteral("Das Feld '%1' hat einen unbekannten Typ (%2).")
                                .arg(f.name)
                                .arg(f.type));
    }
}

[[noreturn]] void badValue(const FieldInfo &f, const QString &value) {
    throw EJournalError(QStringLiteral("Der Wert \"%1\" des Feldes '%2' im Löschjournal passt "
                                       "nicht zum Feld der Tabelle.")
                            .arg(value.left(80), f.name));
}

std::optional<int32_t> msOf(const QString &text) {
    const QTime t = QTime::fromString(text, QStringLiteral("HH:mm:ss.zzz"));
    if (!t.isValid())
        return std::nullopt;
    return t.msecsSinceStartOfDay();
}

std::optional<int32_t> jdOf(const QString &text) {
    const QDate d = QDate::fromString(text, Qt::ISODate);
    if (!d.isValid())
        return std::nullopt;
    return int32_t(d.toJulianDay());
}

// Sets one field of the pending record from its journal text.
void setField(uint32_t table, const FieldInfo &f, const QString &value) {
    if (value.isEmpty()) {
        checkEngine(DbSetEmpty(table, f.number));
        return;
    }
    std::vector<uint8_t> image(std::max<uint32_t>(f.length, 8), 0);
    bool ok = true;
    switch (f.type) {
    case DB_TYPE_LOGICAL:
        ok = value == u"T" || value == u"F";
        image[0] = uint8_t(value == u"T" ? 'T' : 'F');
        break;
    case DB_TYPE_NUMERIC: {
        const QByteArray text = value.toLatin1();
        ok = uint32_t(text.size()) <= f.length;
        if (ok)
            std::memcpy(image.data(), text.rightJustified(qsizetype(f.length), ' ').constData(),
                        f.length);
        break;
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE: {
        const auto jd = jdOf(value);
        ok = jd.has_value();
        store<int32_t>(image.data(), jd.value_or(0));
        break;
    }
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
    case DB_TYPE_RAW: {
        QByteArray bytes;
        ok = unescaped(value, bytes) && uint32_t(bytes.size()) <= f.length;
        if (ok && f.type != DB_TYPE_RAW)
            bytes = bytes.leftJustified(qsizetype(f.length), ' ');
        if (ok)
            std::memcpy(image.data(), bytes.constData(), size_t(bytes.size()));
        break;
    }
    case DB_TYPE_MEMO:
    case DB_TYPE_VARCHAR:
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE: {
        QByteArray bytes;
        if (!unescaped(value, bytes))
            badValue(f, value);
        checkEngine(DbSetBinary(table, f.number,
                                reinterpret_cast<const uint8_t *>(bytes.constData()),
                                uint32_t(bytes.size())));
        return;
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        store<double>(image.data(), value.toDouble(&ok));
        break;
    case DB_TYPE_INTEGER:
    case DB_TYPE_AUTOINC:
        store<int32_t>(image.data(), value.toInt(&ok));
        break;
    case DB_TYPE_SHORTINT:
        store<int16_t>(image.data(), value.toShort(&ok));
        break;
    case DB_TYPE_TIME: {
        const auto ms = msOf(value);
        ok = ms.has_value();
        store<int32_t>(image.data(), ms.value_or(0));
        break;
    }
    case DB_TYPE_TIMESTAMP: {
        const qsizetype t = value.indexOf(u'T');
        const auto jd = jdOf(value.left(t));
        const auto ms = msOf(value.mid(t + 1));
        ok = t > 0 && jd && ms;
        store<int32_t>(image.data(), jd.value_or(0));
        store<int32_t>(image.data() + 4, ms.value_or(0));
        break;
    }
    default:
        ok = false;
    }
    if (!ok)
        badValue(f, value);
    checkEngine(DbSetFieldRaw(table, f.number, image.data(), f.length));
}

const FieldInfo *find(const std::vector<FieldInfo> &fields, const QString &name) {
    for (const FieldInfo &f : fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

} // namespace

Record read(uint32_t table) {
    const std::vector<FieldInfo> fields = fieldsOf(table);
    uint32_t length = 0;
    checkEngine(DbGetRecordLength(table, &length));
    std::vector<uint8_t> image(length);
    uint32_t got = length;
    checkEngine(DbGetRecord(table, image.data(), &got));
    Record record;
    for (const FieldInfo &f : fields)
        record << Field{f.name, valueText(f, image.data() + f.offset, table)};
    return record;
}

void append(uint32_t table, const Record &record) {
    const std::vector<FieldInfo> fields = fieldsOf(table);
    for (const Field &field : record) {
        if (!find(fields, field.name))
            throw EJournalError(
                QStringLiteral("Die Tabelle hat kein Feld '%1' mehr; der Artikel kann nicht "
                               "unverändert zurückgeholt werden.")
                    .arg(field.name));
    }
    checkEngine(DbAppendRecord(table));
    try {
        for (const Field &field : record)
            setField(table, *find(fields, field.name), field.value);
        checkEngine(DbWriteRecord(table));
    } catch (...) {
        DbCancelUpdate(table);
        throw;
    }
}

bool equalsCurrent(uint32_t table, const Record &record) {
    const Record now = read(table);
    for (const Field &field : record) {
        bool same = false;
        for (const Field &stored : now)
            same = same || (stored.name.compare(field.name, Qt::CaseInsensitive) == 0 &&
                            stored.value == field.value);
        if (!same)
            return false;
    }
    return true;
}

QString valueOf(const Record &record, const QString &name) {
    for (const Field &field : record)
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return field.value;
    return {};
}

QString encode(const Field &field) {
    return field.name + u'=' + field.value;
}

bool decode(const QString &text, Field &field) {
    const qsizetype eq = text.indexOf(u'=');
    if (eq <= 0)
        return false;
    field.name = text.left(eq);
    field.value = text.mid(eq + 1);
    QByteArray bytes;
    return unescaped(field.value, bytes);
}

} // namespace JournalRecord
