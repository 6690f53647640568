#include "platform/ForceDirectories.h"

#include "platform/Exception.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

bool ForceDirectories(const QString &path) {
    if (path.isEmpty())
        throw EInOutError(QStringLiteral("Das Verzeichnis kann nicht erstellt werden"));
    const QString folder = Paths::excludeTrailingDelimiter(path);
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = Paths::extractFilePath(folder);
    // The root is its own parent; a relative name without a folder in front lies in the
    // working folder, which exists.
    if (parent == folder)
        return false;
    if (!parent.isEmpty() && !ForceDirectories(parent))
        return false;
    return QDir().mkdir(folder) || QFileInfo(folder).isDir();
}
