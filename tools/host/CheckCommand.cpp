// dupcheck-host check DIR: the storage's integrity check on every table of a data folder (SQLite's)
// or of a data set of the remote server (the server's index check), with a verdict per table. It
// finds what opening a table does not look for, such as index entries missing for stored records (a
// bookings index that lacks bookings makes articles with bookings look as if they had none).
#include "HostCommands.h"

#include "EngineSession.h"

#include <vector>

namespace HostCommands {

int check(const QString &folder, QTextStream &out) {
    const TableList tables = listTables(folder);
    out << QStringLiteral("%1: %2 Tabellen\n").arg(tables.where).arg(tables.names.size());
    EngineConnection connection(folder);
    bool allSound = true;
    for (const QString &name : tables.names) {
        const QString notATable = notATableFile(folder, name);
        if (!notATable.isEmpty()) {
            allSound = false;
            out << QStringLiteral("%1: %2\n").arg(name, notATable);
            continue;
        }
        try {
            EngineTable table(connection, name);
            quint32 problems = 0;
            std::vector<char> buf(256 * 1024);
            quint32 len = quint32(buf.size());
            checkEngine(DbCheckTable(table.handle(), &problems, buf.data(), &len));
            if (problems == 0) {
                const quint32 records = table.recordCount();
                out << QStringLiteral("%1: in Ordnung (%2 %3)\n")
                           .arg(name)
                           .arg(records)
                           .arg(records == 1 ? QStringLiteral("Datensatz")
                                             : QStringLiteral("Datensätze"));
                continue;
            }
            allSound = false;
            out << QStringLiteral("%1: beschädigt, %2 %3:\n")
                       .arg(name)
                       .arg(problems)
                       .arg(problems == 1 ? QStringLiteral("Befund") : QStringLiteral("Befunde"));
            for (const QString &line : fromEngine(buf.data()).split(u'\n', Qt::SkipEmptyParts))
                out << QStringLiteral("  ") << line << '\n';
        } catch (const HostError &e) {
            allSound = false;
            out << QStringLiteral("%1: kann nicht geprüft werden: %2\n").arg(name, e.message());
        }
    }
    out << (allSound ? QStringLiteral("Alle Tabellen sind in Ordnung.\n")
                     : QStringLiteral("Nicht alle Tabellen sind in Ordnung; die Daten müssen "
                                      "repariert werden.\n"));
    return allSound ? 0 : 1;
}

} // namespace HostCommands
