#include "platform/Paths.h"

#include "DataPath.h"
#include "platform/EnginePath.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString &programPathOverride() {
    static QString path;
    return path;
}
} // namespace

namespace Paths {

bool isDelimiter(QChar c) {
    return c == u'/' || c == u'\\';
}

QString normalize(const QString &path) {
    QString out = path;
    out.replace(u'\\', u'/');
    return out;
}

QString includeTrailingDelimiter(const QString &path) {
    QString out = normalize(path);
    if (!out.isEmpty() && !out.endsWith(u'/'))
        out += u'/';
    return out;
}

QString excludeTrailingDelimiter(const QString &path) {
    QString out = normalize(path);
    while (out.size() > 1 && out.endsWith(u'/'))
        out.chop(1);
    return out;
}

static qsizetype lastDelimiter(const QString &path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isDelimiter(path[i]))
            return i;
    }
    return -1;
}

QString extractFilePath(const QString &path) {
    return normalize(path.left(lastDelimiter(path) + 1));
}

QString extractFileName(const QString &path) {
    return path.mid(lastDelimiter(path) + 1);
}

QString join(const QString &folder, const QString &name) {
    if (folder.isEmpty())
        return normalize(name);
    QString n = normalize(name);
    while (n.startsWith(u'/'))
        n.remove(0, 1);
    return includeTrailingDelimiter(folder) + n;
}

QString findIgnoringCase(const QString &path) {
    // The engine's rule, which finds the host's table files the same way.
    const QByteArray bytes = EnginePath::toEngine(path);
    const std::string found =
        datapath::resolveCase(std::string_view(bytes.constData(), size_t(bytes.size())));
    return EnginePath::fromEngine(QByteArray(found.data(), qsizetype(found.size())));
}

void overrideProgramPath(const QString &path) {
    programPathOverride() = normalize(path);
}

QString programPath() {
    if (!programPathOverride().isEmpty())
        return programPathOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString programDir() {
    return extractFilePath(programPath());
}

QString programFileName() {
    return extractFileName(programPath());
}

} // namespace Paths
