// The small window that shows the grid's search text next to the current cell. It never takes
// the focus or the mouse, so typing goes on in the grid while it is shown.
#pragma once

#include <QWidget>

class TGridSearchHint : public QWidget {
    Q_OBJECT
public:
    explicit TGridSearchHint(QWidget *owner);

    QString Text() const { return m_text; }
    // Shows the text with the window's top left corner at the global point.
    void ShowAt(const QString &text, QPoint globalTopLeft);
    // The size the window takes for a text.
    QSize SizeFor(const QString &text) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};
