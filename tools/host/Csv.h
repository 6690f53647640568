// CSV as the host tools read and write it: UTF-8, a header line with the field names, fields
// separated by "," (or ";" when the header uses it and no ","), quoted with double quotes when
// they contain the separator, a quote or a line break, or begin or end with a blank.
//
// The reader streams: it holds one block of the file and the record it is reading, so a file
// of any size is read in the same little memory.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

class QIODevice;

class CsvReader {
public:
    // Reads from the device's current position; a UTF-8 byte order mark at its start is
    // skipped.
    explicit CsvReader(QIODevice &device);

    // Reads the next record; false at the end. Empty lines are passed over. Throws HostError
    // naming the line of a malformed record (an unterminated quote, text after a closing
    // quote) or of a failed read.
    bool next();
    // The record's fields as they stand in the file (quotes removed), valid until next().
    qsizetype size() const { return qsizetype(m_ends.size()); }
    QByteArrayView field(qsizetype i) const;
    // The line the record begins on, from 1.
    int line() const { return m_line; }
    char separator() const { return m_separator; }

private:
    bool fill();

    QIODevice &m_device;
    QByteArray m_block;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    char m_separator = ',';
    int m_nextLine = 1;
    int m_line = 0;
    QByteArray m_record;           // the fields one after the other
    std::vector<qsizetype> m_ends; // where each field ends in m_record
};

// Appends one field (UTF-8) to a line, quoted when it needs it.
void appendCsvField(QByteArray &line, QByteArrayView utf8, char separator = ',');
// One line of fields, without its line break.
QString csvLine(const QStringList &fields, char separator = ',');
