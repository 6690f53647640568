#include "feedback/TImageList.h"

int TImageList::Add(const QPixmap &picture) {
    QPixmap p = picture;
    if (!p.isNull() && (p.width() != m_width || p.height() != m_height))
        p = p.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_pictures.append(p);
    return int(m_pictures.size()) - 1;
}

QPixmap TImageList::Picture(int index) const {
    if (index < 0 || index >= m_pictures.size())
        return {};
    return m_pictures.at(index);
}
