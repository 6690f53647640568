#include "HostFolder.h"

#include "EngineSession.h"

#include "DataPath.h"
#include "schema/HostSchema.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kStagingPrefix[] = ".dupcheck-create.";
const char kLockName[] = "lock";
// Written when the tables in the staging folder are complete, before the first is linked in.
const char kCompleteName[] = "complete";

QByteArray encoded(const QString &path) {
    return QFile::encodeName(path);
}

[[noreturn]] void failed(const QString &what, int error) {
    throw HostError(QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(error))));
}

void removeStaging(const QString &staging) {
    QDir dir(staging);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        unlink(encoded(dir.filePath(name)).constData());
    rmdir(encoded(staging).constData());
}

void syncFolder(const QString &folder) {
    const int fd = open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

void markComplete(const QString &staging) {
    const QByteArray path = encoded(QDir(staging).filePath(QLatin1String(kCompleteName)));
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 || fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            close(fd);
        failed(QStringLiteral("Im Ordner '%1' kann nicht angelegt werden").arg(staging), error);
    }
    close(fd);
    syncFolder(staging);
}

// A staging folder of a run that has ended: nobody holds its lock (or it has none yet).
bool abandoned(const QString &staging) {
    const int fd = open(encoded(QDir(staging).filePath(QLatin1String(kLockName))).constData(),
                        O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return free;
}

void removeLeftovers(const QDir &folder) {
    const QStringList stagings =
        folder.entryList({QLatin1String(kStagingPrefix) + u'*'}, QDir::Dirs | QDir::Hidden);
    for (const QString &name : stagings) {
        const QString staging = folder.filePath(name);
        if (!abandoned(staging))
            continue;
        // Its tables were complete and it may have linked in some: link in the others too (a
        // name taken meanwhile by another file stays as it is).
        if (QFileInfo::exists(QDir(staging).filePath(QLatin1String(kCompleteName)))) {
            for (const HostSchema::Table *schema : HostSchema::all()) {
                const QString table = QString::fromStdString(schema->fileName);
                link(encoded(QDir(staging).filePath(table)).constData(),
                     encoded(folder.filePath(table)).constData());
            }
        }
        removeStaging(staging);
    }
}

QString existingName(const QDir &folder, const std::string &fileName) {
    const QStringList names = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (datapath::sameName(encoded(name).toStdString(), fileName))
            return name;
    }
    return {};
}

} // namespace

namespace HostFolder {

void createTables(const QString &folder, const std::function<void(EngineConnection &)> &make) {
    if (remoteServer()) {
        // A data set has no folder to stage in: the server's transaction stages instead.
        EngineConnection connection(folder, EngineConnection::AllOrNothing{});
        for (const HostSchema::Table *schema : HostSchema::all()) {
            const QString file = QString::fromStdString(schema->fileName);
            if (connection.hasTable(file))
                throw HostError(
                    QStringLiteral("Die Tabelle '%1' gibt es in '%2' schon.").arg(file, folder));
        }
        make(connection);
        connection.commit();
        return;
    }
    if (!QDir().mkpath(folder))
        throw HostError(QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(folder));
    const QDir dir(folder);
    removeLeftovers(dir);
    for (const HostSchema::Table *schema : HostSchema::all()) {
        const QString found = existingName(dir, schema->fileName);
        if (!found.isEmpty())
            throw HostError(
                QStringLiteral("Die Tabelle '%1' gibt es in '%2' schon.").arg(found, folder));
    }

    QByteArray pattern = encoded(dir.filePath(QLatin1String(kStagingPrefix) + "XXXXXX"));
    if (!mkdtemp(pattern.data()))
        failed(QStringLiteral("Im Ordner '%1' kann nicht angelegt werden").arg(folder), errno);
    const QString staging = QFile::decodeName(pattern);
    // Held until the end of this run (the system drops it when the process ends, however).
    const int lock = open(encoded(QDir(staging).filePath(QLatin1String(kLockName))).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || flock(lock, LOCK_EX) != 0) {
        const int error = errno;
        if (lock >= 0)
            close(lock);
        removeStaging(staging);
        failed(QStringLiteral("Im Ordner '%1' kann nicht angelegt werden").arg(folder), error);
    }
    struct Staging {
        QString path;
        int lock;
        ~Staging() {
            removeStaging(path);
            close(lock);
        }
    } cleanup{staging, lock};

    {
        EngineConnection connection(staging);
        make(connection);
    }
    for (const HostSchema::Table *schema : HostSchema::all()) {
        const QString from = QDir(staging).filePath(QString::fromStdString(schema->fileName));
        if (!QFileInfo(from).isFile() || QFileInfo(from + QStringLiteral("-wal")).size() > 0)
            throw HostError(QStringLiteral("Die Tabelle '%1' ist nicht vollständig geschrieben.")
                                .arg(QString::fromStdString(schema->fileName)));
    }
    syncFolder(staging);
    markComplete(staging);

    std::vector<QString> placed;
    for (const HostSchema::Table *schema : HostSchema::all()) {
        const QString name = QString::fromStdString(schema->fileName);
        const QString from = QDir(staging).filePath(name);
        const QString to = dir.filePath(name);
        // link() refuses an existing name: a table made meanwhile by someone else stays.
        if (link(encoded(from).constData(), encoded(to).constData()) != 0) {
            const int error = errno;
            // Nobody has seen them yet: the run leaves nothing behind.
            for (const QString &p : placed)
                unlink(encoded(p).constData());
            if (error == EEXIST)
                throw HostError(
                    QStringLiteral("Die Tabelle '%1' gibt es in '%2' schon.").arg(name, folder));
            failed(QStringLiteral("Die Tabelle '%1' kann in '%2' nicht angelegt werden")
                       .arg(name, folder),
                   error);
        }
        placed.push_back(to);
    }
    // The tables' record lock files come along, so the folder holds what a table opened in
    // place would have left (a name taken meanwhile stays as it is).
    for (const HostSchema::Table *schema : HostSchema::all()) {
        const QString name = QString::fromStdString(schema->fileName) + QStringLiteral(".lck");
        link(encoded(QDir(staging).filePath(name)).constData(),
             encoded(dir.filePath(name)).constData());
    }
    // The new names last through a crash of the system too.
    syncFolder(folder);
}

} // namespace HostFolder
