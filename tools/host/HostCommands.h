// The commands of dupcheck-host, the stand-in for the module host's data tools.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

class QIODevice;

namespace HostCommands {

// Each returns the process exit code; failures throw HostError.
// Creates the three tables, all or nothing (HostFolder).
int create(const QString &folder, QTextStream &out);
int demo(const QString &folder, const QStringList &options, QTextStream &out);
int import(const QString &folder, const QString &table, const QString &csvFile, QTextStream &out);
// Writes to outputFile, or to standardOutput when it is empty (TableExport).
int exportTable(const QString &folder, const QString &table, const QString &indexTag,
                const QString &outputFile, QIODevice &standardOutput);
// Names every table file with its records, fields and tags, and every entry under a table's
// name that cannot be read (a folder, a pipe, a link to nothing, a damaged file) with the
// reason; answers 1 when there was one.
int info(const QString &folder, QTextStream &out);
// The main window's check on the folder: its rows (ID, description, order number, bookings
// "Ja"/"Nein") in the window's order, as a table or, with csv, as CSV with a header line. The
// limit message and, with csv, the status text go to err.
int duplicates(const QString &folder, bool csv, QTextStream &out, QTextStream &err);

// SQLite's integrity check on every table file of the folder, a verdict per table; 1 when one
// is damaged or cannot be checked.
int check(const QString &folder, QTextStream &out);
// The folder's deletion journal: when which article was deleted and what became of it.
int journal(const QString &folder, QTextStream &out);
// Puts the deleted articles of the journal back with their IDs; with since (a time as the
// listing shows it, or ISO 8601) only those deleted then or later.
int restore(const QString &folder, const QString &since, QTextStream &out);

// The table file name for a name given on the command line ("ArtikelMain" or
// "ArtikelMain.TBL").
QString tableFileName(const QString &name);

// The tables the commands that go through a whole data folder (info, check) report on. On the
// remote server these are the host's tables the data set has; in a folder every entry named like
// a table, whatever it is, so that a folder, a pipe or a link to nothing under a table's name is
// reported, not passed over. where names the folder or data set for the report's first line.
struct TableList {
    QStringList names;
    QString where;
};
TableList listTables(const QString &folder);

// Why the entry of the folder under a table's name is no table file at all, or nothing when it
// is one (always nothing on the remote server, which has no files).
QString notATableFile(const QString &folder, const QString &name);

} // namespace HostCommands
