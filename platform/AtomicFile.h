// TAtomicFile replaces a file as a whole: the new content goes to a temporary file in the same
// folder, is flushed to disk and then renamed over the old file, and the folder's entry is
// flushed after it. A crash, a full disk or any error on the way leaves either the old file or
// the new one, never a shortened one; a content that is not committed is thrown away with its
// temporary file. An existing file keeps its permissions; a symbolic link keeps pointing to
// the file, which gets the new content.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSaveFile;

class TAtomicFile {
public:
    // Starts the new content; the file's folder must exist. Raises EInOutError when the
    // temporary file cannot be created.
    explicit TAtomicFile(const QString &path);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile &) = delete;
    TAtomicFile &operator=(const TAtomicFile &) = delete;

    // Raise EInOutError on failure; the old file stays as it was.
    void Write(const char *data, qsizetype size);
    void Write(const QByteArray &bytes) { Write(bytes.constData(), bytes.size()); }
    void Commit();

    const QString &Path() const { return m_path; }

private:
    [[noreturn]] void Fail(const QString &why);

    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
};

// The whole content at once.
void WriteFileAtomically(const QString &path, const QByteArray &bytes);
