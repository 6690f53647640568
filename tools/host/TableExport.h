// dupcheck-host export: a table of a data folder as CSV, every value exactly as stored, so that
// an import of the file into an empty table of the same layout gives the same records back.
#pragma once

#include <QString>

class QIODevice;

namespace TableExport {

// Writes the table (in the order of the index tag when one is given) to outputFile, or to the
// standard output when it is empty. A file appears under its name only when it is complete:
// it is written beside it under another name and renamed at the end, so a failure midway
// leaves whatever stood there before. On the standard output a failure midway cannot be taken
// back; the error then says that the output is incomplete and how far it got. Returns the exit
// code; failures throw HostError.
int run(const QString &folder, const QString &table, const QString &indexTag,
        const QString &outputFile, QIODevice &standardOutput);

} // namespace TableExport
