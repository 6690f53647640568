// The deletion journal of a data folder, "Loeschjournal.txt" beside the table files. Before the
// deletion removes an article, the article's whole record is appended to it and flushed to
// disk; only then is the article deleted, and a line after it says whether it was. An article
// that is in neither the table nor the journal can therefore not come about, whenever the
// program stops. docs/JOURNAL.md describes the file.
//
// The journal is also what keeps two deletions on one folder (two users, two processes) from
// deciding on stale data: each article's re-checks and its delete run while the step holds the
// journal's lock, so the steps of all deletions run one after the other.
#pragma once

#include "check/core/JournalRecord.h"
#include "platform/Exception.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

DUPCHECK_EXCEPTION_CLASS(EJournalError, Exception)

class DeletionJournal {
public:
    // The folder of the journal of a data path: the data folder itself on the local server.
    // A data set of the remote server has no folder of ours; its journal lives on the
    // workstation, in the user's data folder under the data set's normalised path (made when
    // missing).
    static QString folderFor(const QString &dataPath, bool remote);
    // The journal's file in a data folder.
    static QString pathIn(const QString &folder);

    // Opens the folder's journal for appending, making it when there is none. EJournalError
    // names the file and the reason (a write-protected folder among them).
    explicit DeletionJournal(const QString &folder);
    ~DeletionJournal();
    DeletionJournal(const DeletionJournal &) = delete;
    DeletionJournal &operator=(const DeletionJournal &) = delete;

    // The journal held for one step; the lock ends with the object (and with the process,
    // however it ends).
    class Lock {
    public:
        Lock(Lock &&other) noexcept;
        ~Lock();
        Lock(const Lock &) = delete;
        Lock &operator=(const Lock &) = delete;

    private:
        friend class DeletionJournal;
        explicit Lock(int fd) : m_fd(fd) {}
        int m_fd;
    };
    // Waits until no other step holds the journal.
    Lock lock();

    // While a lock is held: appends the entry for a record that is about to be deleted from
    // the table file (its name) and flushes it to disk. Answers the entry's number.
    qint64 recordDeletion(const QString &tableFile, const JournalRecord::Record &record);
    void confirmDeleted(qint64 entry);
    void recordNotDeleted(qint64 entry, const QString &reason);
    // Restore's mark: the entry's article is stored again. Flushed with flush().
    void recordRestored(qint64 entry);
    void flush();

    // What a journal line says about an entry.
    struct Entry {
        enum class Outcome {
            Open,       // no word after the entry: the program stopped in between
            Deleted,    // the article was deleted
            NotDeleted, // the delete failed; reason says why
        };
        qint64 number = 0;
        QDateTime time;
        QString tableFile;
        JournalRecord::Record record;
        Outcome outcome = Outcome::Open;
        QString reason;
        std::optional<QDateTime> restored;

        // The article's ID as the record holds it (empty when it has none).
        QString articleId() const;
    };
    // The complete entries of the folder's journal, in the order they were written; none when
    // there is no journal. A line cut short by a stop while it was written is no entry.
    static QList<Entry> read(const QString &folder);

private:
    // Writes the columns as one line with its end mark; answers where the line begins.
    qint64 append(QStringList columns);
    qint64 writeLine(const QString &line);

    int m_fd = -1;
    QString m_path;
};
