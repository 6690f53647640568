// Pictures that markup names by address ("file:///...", "qrc:/..."), loaded once per label and
// kept. The program has no network access of its own, so addresses of other kinds give no
// picture; a picture that cannot be loaded is remembered as missing and not tried again.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>

class TPictureCache {
public:
    QPixmap Get(const QString &address);
    int Count() const { return int(m_pictures.size()); }
    void Clear() { m_pictures.clear(); }

private:
    QHash<QString, QPixmap> m_pictures;
};
