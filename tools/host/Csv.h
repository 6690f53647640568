// CSV as the host tools read and write it: UTF-8, a header line with the field names, fields
// separated by "," (or ";" when the header uses it), quoted with double quotes when they contain
// the separator, a quote or a line break.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CsvRecord {
    int line = 0; // the line the record starts on, from 1
    QStringList fields;
};

struct CsvDocument {
    QChar separator = u',';
    QList<CsvRecord> records; // the header is records[0]
};

// Throws HostError naming the line of a malformed record (an unterminated quote, text after a
// closing quote).
CsvDocument parseCsv(const QByteArray &utf8);
QString csvLine(const QStringList &fields, QChar separator = u',');
