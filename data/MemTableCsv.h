// The CSV stream of an in-memory table, as the host stores one in a settings row (the tax texts
// of Ident 20).
//
// Format: one record per line, lines ending in CR LF (LF alone is read too), no header line:
// the fields stand in the table's field order, separated by ";". A field that holds ";", a
// double quote, a line break or blanks at either end is written in double quotes, with every
// double quote inside doubled; an empty field is a null value. Numbers and dates use the local
// format (the decimal separator and the short date format of formatSettings()), booleans are
// "1" and "0", and the whole stream is Windows-1252 text.
#pragma once

#include "platform/Exception.h"

#include <QByteArray>

class TMemTable;

namespace MemTableCsv {

// Appends the stream's records to the open table. A stream with a malformed line or a value
// that does not fit its field raises EConvertError before any record is appended.
void Load(TMemTable *table, const QByteArray &stream);
// The table's records in the stream format.
QByteArray Save(TMemTable *table);

} // namespace MemTableCsv
