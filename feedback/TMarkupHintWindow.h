// A hint window that shows markup, for labels whose hints are markup themselves.
#pragma once

#include <QString>
#include <QWidget>

class TMarkupHintWindow : public QWidget {
    Q_OBJECT

public:
    explicit TMarkupHintWindow(QWidget *parent = nullptr);

    // Sizes the window to the markup and shows it with its top-left corner at the point.
    void ShowAt(const QString &markup, const QPoint &globalPos);
    QString Markup() const { return m_markup; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_markup;
};
