#include "Csv.h"

#include "EngineSession.h"

CsvDocument parseCsv(const QByteArray &utf8) {
    CsvDocument doc;
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const qsizetype firstEnd = text.indexOf(u'\n');
    const QString header = text.left(firstEnd < 0 ? text.size() : firstEnd);
    if (header.contains(u';') && !header.contains(u','))
        doc.separator = u';';

    int line = 1;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        CsvRecord record;
        record.line = line;
        QString field;
        bool inQuotes = false;
        bool wasQuoted = false;
        for (;;) {
            if (i >= n) {
                if (inQuotes)
                    throw HostError(QStringLiteral("Zeile %1: Anführungszeichen nicht geschlossen")
                                        .arg(record.line));
                record.fields << field;
                break;
            }
            const QChar c = text[i++];
            if (inQuotes) {
                if (c == u'"') {
                    if (i < n && text[i] == u'"') {
                        field += u'"';
                        ++i;
                    } else {
                        inQuotes = false;
                    }
                } else {
                    if (c == u'\n')
                        ++line;
                    field += c;
                }
                continue;
            }
            if (c == u'"' && field.isEmpty() && !wasQuoted) {
                inQuotes = wasQuoted = true;
            } else if (c == doc.separator) {
                record.fields << field;
                field.clear();
                wasQuoted = false;
            } else if (c == u'\n' || c == u'\r') {
                if (c == u'\r' && i < n && text[i] == u'\n')
                    ++i;
                ++line;
                record.fields << field;
                break;
            } else if (wasQuoted) {
                throw HostError(QStringLiteral("Zeile %1: Text nach dem schließenden "
                                               "Anführungszeichen")
                                    .arg(line));
            } else {
                field += c;
            }
        }
        // Empty lines carry nothing; a file may end with one.
        if (!(record.fields.size() == 1 && record.fields[0].isEmpty()))
            doc.records << record;
    }
    return doc;
}

QString csvLine(const QStringList &fields, QChar separator) {
    QStringList out;
    for (const QString &f : fields) {
        if (f.contains(separator) || f.contains(u'"') || f.contains(u'\n') || f.contains(u'\r') ||
            f.startsWith(u' ') || f.endsWith(u' ')) {
            QString q = f;
            q.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            out << u'"' + q + u'"';
        } else {
            out << f;
        }
    }
    return out.join(separator);
}
