#include "check/core/JournalRestore.h"

#include "dbeng.h"
#include "platform/Cp1252.h"
#include "platform/EnginePath.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <map>

namespace JournalRestore {

namespace {

using JournalRecord::checkEngine;

// The tables that the journal's entries name, opened on one connection to the folder; each is
// found by its index "ID".
class Tables {
public:
    Tables(const QString &dataPath, bool remote, bool forWriting) : m_forWriting(forWriting) {
        checkEngine(DbConnect(EnginePath::toEngine(dataPath).constData(),
                              remote ? DB_SERVER_REMOTE : DB_SERVER_LOCAL, "", "", 0,
                              &m_connection));
    }
    ~Tables() { DbDisconnect(m_connection); }
    Tables(const Tables &) = delete;
    Tables &operator=(const Tables &) = delete;

    uint32_t handle(const QString &file) {
        const auto it = m_tables.find(file);
        if (it != m_tables.end())
            return it->second.table;
        Open open;
        checkEngine(DbOpenTable(m_connection, Cp1252::fromQString(file).constData(), nullptr,
                                DB_TABLE_NATIVE, DB_CHARTYPE_ANSI, DB_LOCKTYPE_PROPRIETARY,
                                DB_RIGHTS_CHECK, m_forWriting ? 0 : DB_OPEN_READONLY, &open.table));
        checkEngine(DbGetIndexHandle(open.table, "ID", &open.byId));
        m_tables.emplace(file, open);
        return open.table;
    }

    // Makes the article with the ID current; false when the table has none.
    bool seek(const QString &file, const QString &id) {
        handle(file);
        const QByteArray key = id.toLatin1();
        uint16_t found = 0;
        checkEngine(DbSeek(m_tables.at(file).byId,
                           reinterpret_cast<const uint8_t *>(key.constData()), uint16_t(key.size()),
                           DB_KEY_TEXT, DB_SEEK_HARD, &found));
        return found != 0;
    }

    std::vector<uint32_t> handles() const {
        std::vector<uint32_t> out;
        for (const auto &[file, open] : m_tables)
            out.push_back(open.table);
        return out;
    }

private:
    struct Open {
        uint32_t table = 0;
        uint32_t byId = 0;
    };
    bool m_forWriting;
    uint32_t m_connection = 0;
    std::map<QString, Open> m_tables;
};

QString articleText(const DeletionJournal::Entry &entry) {
    const QString number = JournalRecord::valueOf(entry.record, QStringLiteral("BSTN"));
    return number.isEmpty()
               ? QStringLiteral("Artikel %1").arg(entry.articleId())
               : QStringLiteral("Artikel %1 (Bestellnummer %2)").arg(entry.articleId(), number);
}

} // namespace

QList<Item> list(const QString &dataPath, bool remote) {
    QList<Item> items;
    const QList<DeletionJournal::Entry> entries =
        DeletionJournal::read(DeletionJournal::folderFor(dataPath, remote));
    if (entries.isEmpty())
        return items;
    Tables tables(dataPath, remote, false);
    for (const DeletionJournal::Entry &entry : entries) {
        Item item{entry, State::Deleted};
        if (entry.restored)
            item.state = State::Restored;
        else if (entry.outcome == DeletionJournal::Entry::Outcome::NotDeleted)
            item.state = State::NotDeleted;
        else if (entry.outcome == DeletionJournal::Entry::Outcome::Open &&
                 tables.seek(entry.tableFile, entry.articleId()))
            item.state = State::NotDeleted;
        items << item;
    }
    return items;
}

Result restore(const QString &dataPath, const std::optional<QDateTime> &since, bool remote) {
    Result result;
    const QString folder = DeletionJournal::folderFor(dataPath, remote);
    DeletionJournal journal(folder);
    // No deletion step runs while the articles come back.
    const DeletionJournal::Lock held = journal.lock();
    const QList<DeletionJournal::Entry> entries = DeletionJournal::read(folder);
    Tables tables(dataPath, remote, true);

    // The latest entry of each article decides: an article deleted, stored again by other
    // means and deleted again comes back as it was the last time.
    QList<const DeletionJournal::Entry *> chosen;
    QHash<QString, qsizetype> byArticle;
    QList<qint64> alreadyBack;
    QStringList conflicts;
    for (const DeletionJournal::Entry &entry : entries) {
        if (entry.restored || entry.outcome == DeletionJournal::Entry::Outcome::NotDeleted)
            continue;
        if (since && entry.time < *since)
            continue;
        const QString key = entry.tableFile + u'\t' + entry.articleId();
        if (tables.seek(entry.tableFile, entry.articleId())) {
            const bool same =
                JournalRecord::equalsCurrent(tables.handle(entry.tableFile), entry.record);
            if (entry.outcome == DeletionJournal::Entry::Outcome::Open)
                continue; // it was never deleted
            if (same)
                alreadyBack << entry.number; // put back before, without the mark
            else
                conflicts << articleText(entry);
            continue;
        }
        const auto earlier = byArticle.constFind(key);
        if (earlier != byArticle.cend()) {
            result.notes << QStringLiteral("%1 vom %2 wird durch den späteren Stand ersetzt.")
                                .arg(articleText(*chosen[*earlier]),
                                     chosen[*earlier]->time.toString(
                                         QStringLiteral("dd.MM.yyyy HH:mm:ss")));
            chosen[*earlier] = &entry;
        } else {
            byArticle.insert(key, chosen.size());
            chosen << &entry;
        }
    }
    if (!conflicts.isEmpty()) {
        const qsizetype shown = std::min<qsizetype>(conflicts.size(), 10);
        QString text = QStringLiteral("Nichts wurde zurückgeholt: diese IDs gibt es in der "
                                      "Tabelle schon wieder, mit anderen Werten: ") +
                       conflicts.mid(0, shown).join(QStringLiteral(", "));
        if (conflicts.size() > shown)
            text += QStringLiteral(" und %1 weitere").arg(conflicts.size() - shown);
        throw EJournalError(text + u'.');
    }

    for (const DeletionJournal::Entry *entry : chosen)
        tables.handle(entry->tableFile);
    const std::vector<uint32_t> handles = tables.handles();
    for (uint32_t table : handles)
        checkEngine(DbBeginTransaction(table));
    try {
        for (const DeletionJournal::Entry *entry : chosen)
            JournalRecord::append(tables.handle(entry->tableFile), entry->record);
        for (uint32_t table : handles)
            checkEngine(DbCommitTransaction(table));
    } catch (...) {
        for (uint32_t table : handles)
            DbRollbackTransaction(table);
        throw;
    }
    for (const DeletionJournal::Entry *entry : chosen)
        journal.recordRestored(entry->number);
    for (qint64 number : alreadyBack)
        journal.recordRestored(number);
    journal.flush();
    result.restored = int(chosen.size());
    return result;
}

} // namespace JournalRestore
