#include "module/AddOnMenu.h"

#include "module/SplitAtChar.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kMenuFileName = QStringLiteral("ZS.MNU");

[[noreturn]] void fail(const QString &path, const QString &why) {
    throw EInOutError(
        QStringLiteral("Das Zusatzmenü \"%1\" kann nicht geändert werden: %2").arg(path, why));
}

[[noreturn]] void failWithErrno(const QString &path) {
    fail(path, QString::fromLocal8Bit(std::strerror(errno)));
}

// An exclusive lock on the menu file, held from reading it to replacing it. The new content
// replaces the file by a rename, so whoever waited for the lock may hold the old, replaced file
// when it gets the lock: it then takes the lock again on the file the name now stands for.
class TMenuLock {
public:
    explicit TMenuLock(const QString &path) : m_path(path) {
        const QByteArray name = QFile::encodeName(path);
        for (;;) {
            // A missing file is created empty, which reads like no file at all.
            m_fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
            if (m_fd < 0)
                failWithErrno(path);
            int r;
            do
                r = ::flock(m_fd, LOCK_EX);
            while (r != 0 && errno == EINTR);
            if (r != 0)
                failWithErrno(path);
            struct stat locked {};
            struct stat named {};
            if (::fstat(m_fd, &locked) != 0)
                failWithErrno(path);
            if (::stat(name.constData(), &named) == 0 && named.st_dev == locked.st_dev &&
                named.st_ino == locked.st_ino)
                return;
            ::close(m_fd);
        }
    }
    ~TMenuLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TMenuLock(const TMenuLock &) = delete;
    TMenuLock &operator=(const TMenuLock &) = delete;

    QByteArray ReadAll() const {
        QByteArray bytes;
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::pread(m_fd, buffer, sizeof buffer, off_t(bytes.size()));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                failWithErrno(m_path);
            if (got == 0)
                return bytes;
            bytes.append(buffer, got);
        }
    }

private:
    QString m_path;
    int m_fd = -1;
};

QByteArray encodeLine(const QString &path, const QString &line) {
    for (const QChar c : line) {
        if (!Cp1252::isRepresentable(c) || c.unicode() < 0x20)
            fail(path, QStringLiteral("der Eintrag \"%1\" lässt sich nicht in Windows-1252 "
                                      "schreiben.")
                           .arg(line));
    }
    return Cp1252::fromQString(line);
}

} // namespace

namespace AddOnMenu {

QString MenuFilePath(const QString &programPath) {
    return Paths::findIgnoringCase(Paths::extractFilePath(programPath) + kMenuFileName);
}

void Register(const QString &menuPath, const QString &programPath, const QString &moduleName) {
    // An empty name would take the first line of all for the module's.
    if (moduleName.isEmpty())
        fail(menuPath, QStringLiteral("der Modulname fehlt."));
    const QByteArray newLine = encodeLine(menuPath, programPath + u';' + moduleName);
    const TMenuLock lock(menuPath);
    const TextLines::TSplit file = TextLines::split(lock.ReadAll());
    if (file.StoppedAtNul)
        fail(menuPath, QStringLiteral("die Datei enthält ein Nullbyte; die Zeilen dahinter "
                                      "gingen beim Schreiben verloren."));
    QList<QByteArray> lines = file.Lines;
    // The right part keeps its value over lines without ";", as the split leaves it alone.
    QString left;
    QString right;
    qsizetype found = -1;
    for (qsizetype i = 0; i < lines.size() && found < 0; ++i) {
        SplitAtChar(Cp1252::toQString(lines[i]), u';', left, right);
        if (right == moduleName)
            found = i;
    }
    if (found >= 0)
        lines[found] = newLine;
    else
        lines.append(newLine);
    WriteFileAtomically(menuPath, TextLines::join(lines));
}

} // namespace AddOnMenu
