// dupcheck-host journal DIR and restore DIR [--since TIME]: the deletion journal of a data
// folder, listed with what became of each deleted article, and the deleted articles put back
// with their IDs.
#include "HostCommands.h"

#include "EngineSession.h"

#include "check/core/JournalRecord.h"
#include "check/core/JournalRestore.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <optional>

namespace {

const QString kShownTime = QStringLiteral("dd.MM.yyyy HH:mm:ss");

// The journal's folder: the data folder, or for a data set of the remote server the
// workstation's folder of its journal.
QString journalFolder(const QString &folder) {
    if (!remoteServer() && !QDir(folder).exists())
        throw HostError(QStringLiteral("Den Ordner '%1' gibt es nicht.").arg(folder));
    return DeletionJournal::folderFor(folder, remoteServer());
}

QString stateText(const JournalRestore::Item &item) {
    switch (item.state) {
    case JournalRestore::State::Deleted:
        return QStringLiteral("gelöscht");
    case JournalRestore::State::NotDeleted:
        return item.entry.reason.isEmpty() ? QStringLiteral("nicht gelöscht")
                                           : QStringLiteral("nicht gelöscht: ") + item.entry.reason;
    case JournalRestore::State::Restored:
        return QStringLiteral("zurückgeholt am ") +
               item.entry.restored->toLocalTime().toString(kShownTime);
    }
    return {};
}

std::optional<QDateTime> parseSince(const QString &text) {
    // As the listing shows times, and as ISO 8601; local time.
    for (const QString &format :
         {QStringLiteral("dd.MM.yyyy HH:mm:ss"), QStringLiteral("dd.MM.yyyy HH:mm"),
          QStringLiteral("dd.MM.yyyy"), QStringLiteral("yyyy-MM-dd HH:mm:ss"),
          QStringLiteral("yyyy-MM-dd HH:mm"), QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
          QStringLiteral("yyyy-MM-ddTHH:mm"), QStringLiteral("yyyy-MM-dd")}) {
        const QDateTime time = QDateTime::fromString(text.trimmed(), format);
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

} // namespace

namespace HostCommands {

int journal(const QString &folder, QTextStream &out) {
    const QString path = DeletionJournal::pathIn(journalFolder(folder));
    if (!QFileInfo::exists(path)) {
        out << QStringLiteral("Für %1 gibt es kein Löschjournal: es wurde noch nichts "
                              "gelöscht.\n")
                   .arg(remoteServer() ? folder : QDir(folder).absolutePath());
        return 0;
    }
    const QList<JournalRestore::Item> items = JournalRestore::list(folder, remoteServer());
    out << QStringLiteral("Löschjournal %1: %2 Einträge\n")
               .arg(QFileInfo(path).absoluteFilePath())
               .arg(items.size());
    if (items.isEmpty())
        return 0;
    // A table with the columns the reader looks for: when, which article, and what became of it.
    using Row = std::array<QString, 5>;
    QList<Row> rows{{QStringLiteral("Gelöscht am"), QStringLiteral("ID"),
                     QStringLiteral("Bestellnummer"), QStringLiteral("Bezeichnung 1"),
                     QStringLiteral("Zustand")}};
    for (const JournalRestore::Item &item : items) {
        const JournalRecord::Record &r = item.entry.record;
        rows << Row{item.entry.time.toLocalTime().toString(kShownTime), item.entry.articleId(),
                    JournalRecord::valueOf(r, QStringLiteral("BSTN")),
                    JournalRecord::valueOf(r, QStringLiteral("BZK")), stateText(item)};
    }
    std::array<qsizetype, 5> width = {};
    for (const Row &row : rows)
        for (size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], row[c].size());
    for (const Row &row : rows) {
        QString line =
            row[0].leftJustified(width[0]) + QStringLiteral("  ") + row[1].rightJustified(width[1]);
        for (size_t c = 2; c < row.size(); ++c)
            line += QStringLiteral("  ") + row[c].leftJustified(width[c]);
        while (line.endsWith(u' '))
            line.chop(1);
        out << line << '\n';
    }
    return 0;
}

int restore(const QString &folder, const QString &since, QTextStream &out) {
    const QString journalAt = journalFolder(folder);
    std::optional<QDateTime> from;
    if (!since.isNull()) {
        from = parseSince(since);
        if (!from)
            throw HostError(QStringLiteral("'%1' ist keine Zeit; erwartet wird etwa "
                                           "\"24.12.2026 14:30\" oder \"2026-12-24 14:30\".")
                                .arg(since));
    }
    if (!QFileInfo::exists(DeletionJournal::pathIn(journalAt)))
        throw HostError(QStringLiteral("Für %1 gibt es kein Löschjournal.")
                            .arg(remoteServer() ? folder : QDir(folder).absolutePath()));
    const JournalRestore::Result result = JournalRestore::restore(folder, from, remoteServer());
    for (const QString &note : result.notes)
        out << note << '\n';
    if (result.restored == 0)
        out << QStringLiteral("Es gibt keine gelöschten Artikel zurückzuholen.\n");
    else
        out << QStringLiteral("%1 Artikel mit %2 zurückgeholt.\n")
                   .arg(result.restored)
                   .arg(result.restored == 1 ? QStringLiteral("seiner ID")
                                             : QStringLiteral("ihren IDs"));
    return 0;
}

} // namespace HostCommands
