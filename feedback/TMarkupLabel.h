// The markup label of the main window's status line: markup text with links, hover, vertical
// alignment, hints and pictures from an image list, a picture container and its own cache.
#pragma once

#include "feedback/TImageList.h"
#include "feedback/TMarkupLabelBase.h"
#include "feedback/TPictureCache.h"
#include "feedback/TPictureContainer.h"

#include <QPointer>

#include <functional>

class TMarkupHintWindow;

class TMarkupLabel : public TMarkupLabelBase {
    Q_OBJECT
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int URLColor READ URLColor WRITE SetURLColor)
    Q_PROPERTY(int ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ShadowOffset READ ShadowOffset WRITE SetShadowOffset)
    Q_PROPERTY(bool Hover READ Hover WRITE SetHover)
    Q_PROPERTY(int HoverColor READ HoverColor WRITE SetHoverColor)
    Q_PROPERTY(int HoverFontColor READ HoverFontColor WRITE SetHoverFontColor)
    Q_PROPERTY(bool Ellipsis READ Ellipsis WRITE SetEllipsis)
    Q_PROPERTY(TVAlignment VAlignment READ VAlignment WRITE SetVAlignment)
    Q_PROPERTY(bool AnchorHint READ AnchorHint WRITE SetAnchorHint)
    Q_PROPERTY(bool HintShowFull READ HintShowFull WRITE SetHintShowFull)
    Q_PROPERTY(bool HTMLHint READ HTMLHint WRITE SetHTMLHint)
    Q_PROPERTY(TImageList *Images READ Images WRITE SetImages)
    Q_PROPERTY(TPictureContainer *PictureContainer READ PictureContainer WRITE SetPictureContainer)

public:
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)
    enum TVAlignment { tvaTop, tvaCenter, tvaBottom };
    Q_ENUM(TVAlignment)

    explicit TMarkupLabel(QWidget *owner = nullptr);
    ~TMarkupLabel() override;

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    TColor URLColor() const { return m_urlColor; }
    void SetURLColor(TColor color);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor color);
    int ShadowOffset() const { return m_shadowOffset; }
    void SetShadowOffset(int offset);
    bool Hover() const { return m_hover; }
    void SetHover(bool on);
    TColor HoverColor() const { return m_hoverColor; }
    void SetHoverColor(TColor color);
    TColor HoverFontColor() const { return m_hoverFontColor; }
    void SetHoverFontColor(TColor color);
    // With Ellipsis the text is not wrapped, and what overflows ends in an ellipsis.
    bool Ellipsis() const { return m_ellipsis; }
    void SetEllipsis(bool on);
    TVAlignment VAlignment() const { return m_vAlignment; }
    void SetVAlignment(TVAlignment alignment);
    bool AnchorHint() const { return m_anchorHint; }
    void SetAnchorHint(bool on) { m_anchorHint = on; }
    bool HintShowFull() const { return m_hintShowFull; }
    void SetHintShowFull(bool on) { m_hintShowFull = on; }
    bool HTMLHint() const { return m_htmlHint; }
    void SetHTMLHint(bool on) { m_htmlHint = on; }
    TImageList *Images() const { return m_images; }
    void SetImages(TImageList *images);
    TPictureContainer *PictureContainer() const { return m_container; }
    void SetPictureContainer(TPictureContainer *container);
    TPictureCache &PictureCache() { return m_cache; }

    // The hint for a point of the label: the link's target over a link (with AnchorHint),
    // else the whole text (with HintShowFull), as markup when `markup` comes back true.
    // Empty when there is none.
    QString HintAt(const QPoint &point, bool *markup = nullptr);

    // Events: a link without "://" or "mailto:" was clicked; the mouse entered or left a
    // link; the hint of a link is asked for and may be changed.
    std::function<void(QObject *sender, const QString &anchor)> OnAnchorClick;
    std::function<void(QObject *sender, const QString &anchor)> OnAnchorEnter;
    std::function<void(QObject *sender, const QString &anchor)> OnAnchorExit;
    std::function<void(QObject *sender, QString &anchor)> OnAnchorHint;

protected:
    MarkupRequest MakeRequest(const QRect &rect, bool draw,
                              std::optional<QPoint> testPoint) const override;
    int ExtraInset() const override;
    void PaintExtraFrame(QPainter &painter, const QRect &rect) override;
    QRect AlignVertically(const QRect &rect) const override;
    void LinkClicked(const QString &target) override;
    void LinkEntered(const QString &target) override;
    void LinkLeft(const QString &target) override;
    void HoverChanged(int oldLink, int newLink) override;
    bool event(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    TBorderStyle m_borderStyle = bsNone;
    TColor m_urlColor = clBlue;
    TColor m_shadowColor = clGray;
    int m_shadowOffset = 2;
    bool m_hover = false;
    TColor m_hoverColor = clNone;
    TColor m_hoverFontColor = clNone;
    bool m_ellipsis = false;
    TVAlignment m_vAlignment = tvaTop;
    bool m_anchorHint = false;
    bool m_hintShowFull = false;
    bool m_htmlHint = false;
    QPointer<TImageList> m_images;
    QPointer<TPictureContainer> m_container;
    mutable TPictureCache m_cache; // filled while laying out
    QPointer<TMarkupHintWindow> m_hintWindow;
};
