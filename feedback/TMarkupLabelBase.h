// What the two markup labels share: the markup text, autosizing, bevels and border, painting
// through the renderer, and the mouse over links. TMarkupLabel (the status line) and TSBHTM
// (the message box) add their own links, hover and hints.
#pragma once

#include "feedback/MarkupLayout.h"
#include "platform/Colors.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class TMarkupLabelBase : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList HTMLText READ HTMLText WRITE SetHTMLText)
    Q_PROPERTY(bool AutoSizing READ AutoSizing WRITE SetAutoSizing)
    Q_PROPERTY(TAutoSizeType AutoSizeType READ AutoSizeType WRITE SetAutoSizeType)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(int FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)

public:
    enum TAutoSizeType { asVertical, asHorizontal, asBoth };
    Q_ENUM(TAutoSizeType)
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)

    explicit TMarkupLabelBase(QWidget *owner = nullptr);

    // The markup is the lines of HTMLText joined without anything between them.
    QStringList HTMLText() const { return m_html; }
    void SetHTMLText(const QStringList &lines);
    // Replaces the whole text at once, split at its line ends into the lines of HTMLText; an
    // autosizing label has its new size on return.
    void SetText(const QString &text);
    QString Text() const { return m_html.join(QString()); }

    bool AutoSizing() const { return m_autoSizing; }
    void SetAutoSizing(bool on);
    TAutoSizeType AutoSizeType() const { return m_autoSizeType; }
    void SetAutoSizeType(TAutoSizeType type);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int width);
    // The label's own colour; with ParentColor (the default) the parent's colour is used.
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);

    // The colour the label fills its area with.
    TColor EffectiveColor() const;
    // The rectangle the text is laid out in, as painting uses it (reaching far down or right
    // while autosizing).
    QRect TextRect() const;
    // Lays the text out as painting would, without painting, testing the point against links.
    MarkupLayout Measure(std::optional<QPoint> testPoint = std::nullopt) const;
    // The link under the mouse (0 for none) and its target.
    int LinkUnderMouse() const { return m_linkNumber; }
    QString LinkTargetUnderMouse() const { return m_linkTarget; }

    // Sizes the label to its text now, if it autosizes.
    void AdjustToText();

protected:
    // The request the label lays its text out with; the labels add their own settings.
    virtual MarkupRequest MakeRequest(const QRect &rect, bool draw,
                                      std::optional<QPoint> testPoint) const;
    // The frame inside the bevels and the border (TMarkupLabel's single border).
    virtual int ExtraInset() const { return 0; }
    virtual void PaintExtraFrame(QPainter &painter, const QRect &rect);
    // Where the text starts vertically (TMarkupLabel's vertical alignment).
    virtual QRect AlignVertically(const QRect &rect) const { return rect; }
    virtual void LinkClicked(const QString &target) = 0;
    virtual void LinkEntered(const QString &target) { Q_UNUSED(target); }
    virtual void LinkLeft(const QString &target) { Q_UNUSED(target); }
    virtual void HoverChanged(int oldLink, int newLink) {
        Q_UNUSED(oldLink);
        Q_UNUSED(newLink);
    }
    // Repaints the areas of a link.
    void UpdateLink(int number);
    void TextChanged();

    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The autosizing directions the label's edge alignment allows.
    bool SizesHeight() const;
    bool SizesWidth() const;
    void ForgetLink();

    QStringList m_html;
    bool m_autoSizing = false;
    TAutoSizeType m_autoSizeType = asVertical;
    int m_borderWidth = 0;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvNone;
    int m_bevelWidth = 1;
    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    TColor m_fontColor = clWindowText;
    bool m_transparent = false;
    bool m_adjusting = false;
    bool m_handCursor = false;
    int m_linkNumber = 0;
    QString m_linkTarget;
};
