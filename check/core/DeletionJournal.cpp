#include "check/core/DeletionJournal.h"

#include "DataPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kFileName[] = "Loeschjournal.txt";

// The last column of every line: a line that lacks it was cut short when the program stopped
// while writing it, and says nothing.
const char kEnd[] = "Ende";

// The first lines of a new journal: what a reader of the file needs to read it.
const char kHeader[] = "# dupcheck Löschjournal, Format 1. Eine Zeile je Ereignis, die Spalten "
                       "durch Tabulatoren getrennt, die letzte Spalte \"Ende\":\n"
                       "# L <Nr> <Zeit> <Tabelle> <FELD>=<Wert> ...  ein Artikel vor dem Löschen "
                       "(ganz gespeichert)\n"
                       "# OK <Nr> <Zeit>  gelöscht | NICHT <Nr> <Zeit> <Grund>  nicht gelöscht | "
                       "ZURUECK <Nr> <Zeit>  zurückgeholt";

QString now() {
    const QDateTime t = QDateTime::currentDateTime();
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QString systemText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// A reason on one line of the journal.
QString oneLine(QString text) {
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

} // namespace

QString DeletionJournal::folderFor(const QString &dataPath, bool remote) {
    if (!remote)
        return dataPath;
    // One folder name per data set: the path as the server keys it, its separators replaced.
    QString key = QString::fromUtf8(
                      datapath::normalize(
                          QFile::encodeName(QDir::fromNativeSeparators(dataPath)).toStdString()))
                      .toUpper();
    key.replace(u'/', u'_');
    key.replace(u':', u'_');
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = base + QStringLiteral("/dupcheck/Loeschjournal/") + key;
    QDir().mkpath(folder);
    return folder;
}

QString DeletionJournal::pathIn(const QString &folder) {
    return QDir(folder).filePath(QString::fromLatin1(kFileName));
}

DeletionJournal::DeletionJournal(const QString &folder) : m_path(pathIn(folder)) {
    const QByteArray path = QFile::encodeName(m_path);
    const bool existed = QFileInfo::exists(m_path);
    m_fd = ::open(path.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        const int err = errno;
        QString why;
        if (err == EACCES || err == EROFS || err == EPERM)
            why = existed ? QStringLiteral("die Datei ist schreibgeschützt")
                          : QStringLiteral("der Ordner \"%1\" ist schreibgeschützt")
                                .arg(QDir::toNativeSeparators(folder));
        else
            why = systemText(err);
        throw EJournalError(
            QStringLiteral("Das Löschjournal \"%1\" kann nicht geschrieben werden: %2.")
                .arg(m_path, why));
    }
    if (!existed) {
        // The new file's name must survive a crash as well as its contents.
        const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            ::close(dir);
        }
    }
}

DeletionJournal::~DeletionJournal() {
    if (m_fd >= 0)
        ::close(m_fd);
}

DeletionJournal::Lock::Lock(Lock &&other) noexcept : m_fd(other.m_fd) {
    other.m_fd = -1;
}

DeletionJournal::Lock::~Lock() {
    if (m_fd >= 0)
        flock(m_fd, LOCK_UN);
}

DeletionJournal::Lock DeletionJournal::lock() {
    while (flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            throw EJournalError(QStringLiteral("Das Löschjournal \"%1\" kann nicht gesperrt "
                                               "werden: %2.")
                                    .arg(m_path, systemText(errno)));
    }
    Lock held(m_fd);
    struct stat st;
    if (fstat(m_fd, &st) == 0) {
        if (st.st_size == 0) {
            writeLine(QString::fromUtf8(kHeader));
        } else {
            // A line cut short by a stop is ended, so that the next one starts on a line of
            // its own.
            char last = '\n';
            if (pread(m_fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
                writeLine(QString());
        }
    }
    return held;
}

qint64 DeletionJournal::append(QStringList columns) {
    columns << QString::fromLatin1(kEnd);
    return writeLine(columns.join(u'\t'));
}

qint64 DeletionJournal::writeLine(const QString &line) {
    struct stat st;
    if (fstat(m_fd, &st) != 0)
        st.st_size = 0;
    const QByteArray bytes = line.toUtf8() + '\n';
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EJournalError(
                QStringLiteral("Das Löschjournal \"%1\" kann nicht geschrieben werden: %2.")
                    .arg(m_path, systemText(n < 0 ? errno : ENOSPC)));
        done += n;
    }
    return qint64(st.st_size);
}

void DeletionJournal::flush() {
    if (fdatasync(m_fd) != 0)
        throw EJournalError(QStringLiteral("Das Löschjournal \"%1\" kann nicht auf die Platte "
                                           "geschrieben werden: %2.")
                                .arg(m_path, systemText(errno)));
}

qint64 DeletionJournal::recordDeletion(const QString &tableFile,
                                       const JournalRecord::Record &record) {
    struct stat st;
    if (fstat(m_fd, &st) != 0)
        st.st_size = 0;
    // The entry's number is where its line begins; nobody else writes while the lock is held.
    QStringList columns{QStringLiteral("L"), QString::number(qint64(st.st_size)), now(),
                        oneLine(tableFile)};
    for (const JournalRecord::Field &field : record)
        columns << JournalRecord::encode(field);
    const qint64 entry = append(columns);
    flush();
    return entry;
}

void DeletionJournal::confirmDeleted(qint64 entry) {
    append({QStringLiteral("OK"), QString::number(entry), now()});
}

void DeletionJournal::recordNotDeleted(qint64 entry, const QString &reason) {
    append({QStringLiteral("NICHT"), QString::number(entry), now(), oneLine(reason)});
}

void DeletionJournal::recordRestored(qint64 entry) {
    append({QStringLiteral("ZURUECK"), QString::number(entry), now()});
}

QString DeletionJournal::Entry::articleId() const {
    return JournalRecord::valueOf(record, QStringLiteral("ID"));
}

QList<DeletionJournal::Entry> DeletionJournal::read(const QString &folder) {
    QList<Entry> entries;
    QFile file(pathIn(folder));
    if (!file.exists())
        return entries;
    if (!file.open(QIODevice::ReadOnly))
        throw EJournalError(QStringLiteral("Das Löschjournal \"%1\" kann nicht gelesen werden: %2.")
                                .arg(file.fileName(), file.errorString()));
    const QByteArray all = file.readAll();
    QHash<qint64, qsizetype> byNumber;
    qsizetype start = 0;
    for (qsizetype end; (end = all.indexOf('\n', start)) >= 0; start = end + 1) {
        QStringList columns = QString::fromUtf8(all.constData() + start, end - start).split(u'\t');
        if (columns.size() < 4 || columns.last() != QLatin1String(kEnd))
            continue;
        columns.removeLast();
        bool numbered = false;
        const qint64 number = columns[1].toLongLong(&numbered);
        const QDateTime time = QDateTime::fromString(columns[2], Qt::ISODateWithMs);
        if (!numbered || !time.isValid())
            continue;
        if (columns[0] == u"L" && columns.size() >= 4) {
            Entry entry;
            entry.number = number;
            entry.time = time;
            entry.tableFile = columns[3];
            bool whole = true;
            for (qsizetype c = 4; c < columns.size() && whole; ++c) {
                JournalRecord::Field field;
                whole = JournalRecord::decode(columns[c], field);
                entry.record << field;
            }
            if (!whole)
                continue;
            byNumber.insert(number, entries.size());
            entries << entry;
            continue;
        }
        const auto found = byNumber.constFind(number);
        if (found == byNumber.cend())
            continue;
        Entry &entry = entries[*found];
        if (columns[0] == u"OK") {
            entry.outcome = Entry::Outcome::Deleted;
        } else if (columns[0] == u"NICHT") {
            entry.outcome = Entry::Outcome::NotDeleted;
            entry.reason = columns.value(3);
        } else if (columns[0] == u"ZURUECK") {
            entry.restored = time;
        }
    }
    return entries;
}
