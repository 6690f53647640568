// The flat panel: a container in one colour, framed by a single line that is light at the top
// left and dark at the bottom right. Its colour follows the parent's until it is set.
#pragma once

#include "platform/Colors.h"

#include <QWidget>

class TFlatPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(int ColorHighLight READ ColorHighLight WRITE SetColorHighLight)
    Q_PROPERTY(int ColorShadow READ ColorShadow WRITE SetColorShadow)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    explicit TFlatPanel(QWidget *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    TColor ColorHighLight() const { return m_colorHighLight; }
    void SetColorHighLight(TColor color);
    TColor ColorShadow() const { return m_colorShadow; }
    void SetColorShadow(TColor color);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool on) { setVisible(on); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void followParentColor();

    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    TColor m_colorHighLight = clWhite;
    TColor m_colorShadow = clBlack;
    QString m_caption;
};
