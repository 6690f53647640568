// dupcheck-host import: appends the records of a CSV file (UTF-8, a header line with field
// names) to a table of a data folder, all or nothing.
#pragma once

#include <QString>
#include <QTextStream>

namespace TableImport {

// Every value is stored exactly as the file gives it, or the import stops at the line that
// cannot be and nothing of the file is stored: a text with a character that Windows-1252 has
// no code for, bytes that are not UTF-8, a zero byte, a text longer than its field, a value
// the field's type does not take. The message names the line, the field and the reason.
// Returns the exit code; failures throw HostError.
int run(const QString &folder, const QString &table, const QString &csvFile, QTextStream &out);

} // namespace TableImport
