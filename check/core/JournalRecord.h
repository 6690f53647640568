// A record of an engine table as the deletion journal keeps it: every field by name with its
// value as text, exact for every field type, so that the record can be stored again exactly as
// it was (the autoincrement ID included).
//
// Value texts, by engine field type; the empty text is the field's empty (null) value:
//   logical           "T" or "F"
//   numeric           the number as the record image holds it ("12.50")
//   date, compact     "YYYY-MM-DD"
//   string, ci-string the text without its padding blanks
//   memo, varchar,    the bytes of the value
//   binary, image
//   double, currency  the shortest decimal text that reads back as exactly the number
//   integer, short,   the number in decimal digits
//   autoincrement
//   time              "HH:MM:SS.zzz"
//   timestamp         "YYYY-MM-DDTHH:MM:SS.zzz"
//   raw               the field's bytes, all of them
// Texts and bytes are written as their Windows-1252 characters; "%", control characters and
// the bytes without a character are written as "%" and two hexadecimal digits ("%0A").
#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace JournalRecord {

struct Field {
    QString name;
    QString value;
};
using Record = QList<Field>;

// Raises EJournalError with the engine's last error text when result is not 0.
void checkEngine(uint32_t result);

// The current record of the engine table (its handle). Raises EJournalError with the engine's
// text when it cannot be read.
Record read(uint32_t table);
// Appends the record to the engine table and stores it; every field of the record must be one
// of the table's (EJournalError otherwise, and nothing is stored).
void append(uint32_t table, const Record &record);
// Whether the table's current record holds exactly these values.
bool equalsCurrent(uint32_t table, const Record &record);
// The value of the field with that name, empty when the record has none.
QString valueOf(const Record &record, const QString &name);

// A field as "NAME=value" with the escapes above, and back; false for a text that is none.
QString encode(const Field &field);
bool decode(const QString &text, Field &field);

} // namespace JournalRecord
