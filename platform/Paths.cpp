#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
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
    const QString wanted = normalize(path);
    if (wanted.isEmpty() || QFileInfo::exists(wanted))
        return wanted;
    const QStringList parts = wanted.split(u'/', Qt::SkipEmptyParts);
    QString found = wanted.startsWith(u'/') ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString candidate = found + parts[i];
        if (!QFileInfo::exists(candidate)) {
            // Sorted, so that a folder holding two such names always gives the same one.
            const QStringList entries = QDir(found.isEmpty() ? QStringLiteral(".") : found)
                                            .entryList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot,
                                                       QDir::Name);
            qsizetype match = -1;
            for (qsizetype e = 0; e < entries.size() && match < 0; ++e) {
                if (entries[e].compare(parts[i], Qt::CaseInsensitive) == 0)
                    match = e;
            }
            if (match < 0)
                return wanted;
            candidate = found + entries[match];
        }
        found = i + 1 < parts.size() ? candidate + u'/' : candidate;
    }
    return found;
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
