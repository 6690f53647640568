#include "platform/AtomicFile.h"

#include "platform/Exception.h"
#include "platform/Paths.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The rename is durable once the folder's own entry has reached the disk. By then the file has
// its new content for every reader, so a folder that cannot be flushed is no failure of the
// write.
void syncFolder(const QString &folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

TAtomicFile::TAtomicFile(const QString &path)
    : m_path(Paths::normalize(path)), m_file(std::make_unique<QSaveFile>(m_path)) {
    // Without a temporary file the save would write straight into the old file.
    m_file->setDirectWriteFallback(false);
    if (!m_file->open(QIODevice::WriteOnly))
        Fail(m_file->errorString());
}

TAtomicFile::~TAtomicFile() {
    if (m_file && m_file->isOpen())
        m_file->cancelWriting();
}

void TAtomicFile::Fail(const QString &why) {
    if (m_file->isOpen())
        m_file->cancelWriting();
    throw EInOutError(
        QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(m_path, why));
}

void TAtomicFile::Write(const char *data, qsizetype size) {
    if (m_file->write(data, size) != size)
        Fail(m_file->errorString());
}

void TAtomicFile::Commit() {
    if (!m_file->flush())
        Fail(m_file->errorString());
    // The content reaches the disk before the name points to it.
    if (::fsync(m_file->handle()) != 0)
        Fail(systemError(errno));
    if (!m_file->commit())
        Fail(m_file->errorString());
    syncFolder(QFileInfo(QFileInfo(m_path).canonicalFilePath()).absolutePath());
}

void WriteFileAtomically(const QString &path, const QByteArray &bytes) {
    TAtomicFile file(path);
    file.Write(bytes);
    file.Commit();
}
