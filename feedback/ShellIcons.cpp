#include "feedback/ShellIcons.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace ShellIcons {

QPixmap icon(const QString &nameOrNumber, bool large) {
    const int size = large ? kLargeSize : kSmallSize;
    QFileIconProvider provider;
    bool isNumber = false;
    const int number = nameOrNumber.trimmed().toInt(&isNumber);
    QIcon icon;
    if (isNumber) {
        if (number < int(QFileIconProvider::Computer) || number > int(QFileIconProvider::File))
            return {};
        icon = provider.icon(QFileIconProvider::IconType(number));
    } else {
        if (nameOrNumber.isEmpty())
            return {};
        icon = provider.icon(QFileInfo(nameOrNumber));
        if (icon.isNull())
            icon = provider.icon(QFileInfo(nameOrNumber).isDir() ? QFileIconProvider::Folder
                                                                 : QFileIconProvider::File);
    }
    if (icon.isNull())
        return {};
    return icon.pixmap(size, size);
}

} // namespace ShellIcons
