#include "feedback/TPictureCache.h"

#include <QUrl>

QPixmap TPictureCache::Get(const QString &address) {
    const auto found = m_pictures.constFind(address);
    if (found != m_pictures.constEnd())
        return *found;
    QPixmap picture;
    const QUrl url(address);
    if (url.isLocalFile())
        picture.load(url.toLocalFile());
    else if (url.scheme().compare(QLatin1String("qrc"), Qt::CaseInsensitive) == 0)
        picture.load(u':' + url.path());
    m_pictures.insert(address, picture);
    return picture;
}
