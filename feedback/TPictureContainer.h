// Pictures by name, the source of markup pictures whose SRC is a plain name.
#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

class TPictureContainer : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    explicit TPictureContainer(QObject *owner = nullptr) : QObject(owner) {}

    // Adds or replaces the picture of that name.
    void Add(const QString &name, const QPixmap &picture);
    // Names compare without regard to case; a null picture when the name is unknown.
    QPixmap Find(const QString &name) const;
    int Count() const { return int(m_items.size()); }
    void Clear() { m_items.clear(); }

private:
    struct Item {
        QString name;
        QPixmap picture;
    };
    QList<Item> m_items;
};
