// The window library's panel: a container with a colour, an optional centred caption and two
// bevels (outer and inner) around a border. Its children are laid out inside the bevels and
// the border, which the panel reports as its contents margins.
#pragma once

#include "platform/Colors.h"

#include <QWidget>

class TPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)

    explicit TPanel(QWidget *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut bevel);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut bevel);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool on) { setVisible(on); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void followParentColor();
    void updateMargins();

    TColor m_color = clBtnFace;
    bool m_parentColor = false;
    QString m_caption;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
};

constexpr auto bvNone = TPanel::bvNone;
constexpr auto bvLowered = TPanel::bvLowered;
constexpr auto bvRaised = TPanel::bvRaised;
constexpr auto bvSpace = TPanel::bvSpace;
