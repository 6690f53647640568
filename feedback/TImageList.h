// A numbered list of pictures of one size, the source of "IDX:" pictures in markup.
#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>

class TImageList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Count READ Count)

public:
    explicit TImageList(QObject *owner = nullptr) : QObject(owner) {}

    int Width() const { return m_width; }
    void SetWidth(int width) { m_width = width; }
    int Height() const { return m_height; }
    void SetHeight(int height) { m_height = height; }

    // Adds a picture, scaled to the list's size, and returns its number.
    int Add(const QPixmap &picture);
    int Count() const { return int(m_pictures.size()); }
    // The picture of that number; a null picture for a number out of range.
    QPixmap Picture(int index) const;
    void Clear() { m_pictures.clear(); }

private:
    int m_width = 16;
    int m_height = 16;
    QList<QPixmap> m_pictures;
};
