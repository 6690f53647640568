#include "data/MemTableCsv.h"

#include "data/Field.h"
#include "data/MemTable.h"
#include "platform/Cp1252.h"

namespace {

const QChar kSeparator = u';';

[[noreturn]] void fail(qsizetype line, const QString &what) {
    throw EConvertError(QStringLiteral("CSV-Daten, Zeile %1: %2").arg(line).arg(what));
}

// Splits the text into records of fields; a quoted field may hold separators and line breaks.
QList<QStringList> splitRecords(const QString &text) {
    QList<QStringList> records;
    QStringList fields;
    QString field;
    qsizetype line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool recordOpen = false;
    while (i < n) {
        const QChar c = text[i];
        if (c == u'"' && field.isEmpty()) {
            ++i;
            for (;;) {
                if (i >= n)
                    fail(line, QStringLiteral("Anführungszeichen nicht geschlossen"));
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == u'\n')
                    ++line;
                field += text[i++];
            }
            if (i < n && text[i] != kSeparator && text[i] != u'\r' && text[i] != u'\n')
                fail(line, QStringLiteral("Zeichen nach dem schließenden Anführungszeichen"));
            recordOpen = true;
            continue;
        }
        if (c == kSeparator) {
            fields << field;
            field = QString();
            recordOpen = true;
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            if (recordOpen || !field.isEmpty()) {
                fields << field;
                records << fields;
            }
            fields.clear();
            field = QString();
            recordOpen = false;
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++i;
            ++line;
            continue;
        }
        field += c;
        recordOpen = true;
        ++i;
    }
    if (recordOpen || !field.isEmpty()) {
        fields << field;
        records << fields;
    }
    return records;
}

// Values in the fields' own text form (numbers and dates in the local format); booleans as
// "1" and "0".
QVariant parseValue(const TField *field, const QString &text, qsizetype line) {
    if (text.isEmpty())
        return {};
    QVariant value = text;
    if (field->DataType() == ftBoolean) {
        if (text != QLatin1String("1") && text != QLatin1String("0"))
            fail(line, QStringLiteral("\"%1\" ist kein Wahrheitswert für das Feld %2")
                           .arg(text, field->FieldName()));
        value = text == QLatin1String("1");
    }
    try {
        return field->Convert(value);
    } catch (const EConvertError &e) {
        fail(line, e.message());
    }
}

QString valueText(const TField *field) {
    if (field->IsNull())
        return {};
    if (field->DataType() == ftBoolean)
        return field->AsBoolean() ? QStringLiteral("1") : QStringLiteral("0");
    return field->AsString();
}

QString quoted(const QString &text) {
    const bool needsQuotes = text.contains(kSeparator) || text.contains(u'"') ||
                             text.contains(u'\r') || text.contains(u'\n') ||
                             (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!needsQuotes)
        return text;
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

} // namespace

namespace MemTableCsv {

void Load(TMemTable *table, const QByteArray &stream) {
    const QList<TField *> &fields = table->Fields();
    const QList<QStringList> records = splitRecords(Cp1252::toQString(stream));
    QList<QVariantList> values;
    values.reserve(records.size());
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QStringList &record = records[r];
        if (record.size() > fields.size())
            fail(r + 1, QStringLiteral("%1 Felder statt höchstens %2")
                            .arg(record.size())
                            .arg(fields.size()));
        QVariantList row;
        for (qsizetype f = 0; f < record.size(); ++f)
            row << parseValue(fields[f], record[f], r + 1);
        values << row;
    }
    table->DisableControls();
    try {
        for (const QVariantList &row : values) {
            table->Append();
            for (qsizetype f = 0; f < row.size(); ++f)
                fields[f]->SetValue(row[f]);
            table->Post();
        }
    } catch (...) {
        table->EnableControls();
        throw;
    }
    table->EnableControls();
}

QByteArray Save(TMemTable *table) {
    QString out;
    table->DisableControls();
    table->First();
    while (!table->Eof()) {
        QStringList line;
        for (const TField *field : table->Fields())
            line << quoted(valueText(field));
        out += line.join(kSeparator) + QStringLiteral("\r\n");
        table->Next();
    }
    table->EnableControls();
    return Cp1252::fromQString(out);
}

} // namespace MemTableCsv
