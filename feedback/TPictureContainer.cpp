#include "feedback/TPictureContainer.h"

void TPictureContainer::Add(const QString &name, const QPixmap &picture) {
    for (Item &item : m_items) {
        if (item.name.compare(name, Qt::CaseInsensitive) == 0) {
            item.picture = picture;
            return;
        }
    }
    m_items.append({name, picture});
}

QPixmap TPictureContainer::Find(const QString &name) const {
    for (const Item &item : m_items) {
        if (item.name.compare(name, Qt::CaseInsensitive) == 0)
            return item.picture;
    }
    return {};
}
