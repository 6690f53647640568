// The hint window style of the program. While a TFlatHint exists, the hints (tooltips) of all
// widgets appear in its style: a frame in ColorBorder, a strip at the left in
// ColorArrowBackground with an arrow in ColorArrow, the text on Color in Font, wrapped at
// MaxHintWidth pixels. The most recently created TFlatHint is the one in force.
#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QObject>
#include <QPointer>

class FlatHintWindow;

class TFlatHint : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int ColorBorder READ ColorBorder WRITE SetColorBorder)
    Q_PROPERTY(int ColorArrowBackground READ ColorArrowBackground WRITE SetColorArrowBackground)
    Q_PROPERTY(int ColorArrow READ ColorArrow WRITE SetColorArrow)
    Q_PROPERTY(int FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(int MaxHintWidth READ MaxHintWidth WRITE SetMaxHintWidth)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)

public:
    explicit TFlatHint(QObject *owner = nullptr);
    ~TFlatHint() override;

    TColor Color() const { return m_color; }
    void SetColor(TColor color) { m_color = color; }
    TColor ColorBorder() const { return m_colorBorder; }
    void SetColorBorder(TColor color) { m_colorBorder = color; }
    TColor ColorArrowBackground() const { return m_colorArrowBackground; }
    void SetColorArrowBackground(TColor color) { m_colorArrowBackground = color; }
    TColor ColorArrow() const { return m_colorArrow; }
    void SetColorArrow(TColor color) { m_colorArrow = color; }
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color) { m_fontColor = color; }
    int MaxHintWidth() const { return m_maxHintWidth; }
    void SetMaxHintWidth(int width);
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font) { m_font = font; }

    // Shows a hint with the text below the given screen point, or hides the one shown.
    void ActivateHint(const QPoint &globalPos, const QString &text);
    void HideHint();
    // The hint window while one is shown, else null.
    QWidget *HintWindow() const;

    // The TFlatHint in force, if any.
    static TFlatHint *current();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TColor m_color = clInfoBk;
    TColor m_colorBorder = clBlack;
    TColor m_colorArrowBackground = clNavy;
    TColor m_colorArrow = clWhite;
    TColor m_fontColor = clInfoText;
    int m_maxHintWidth = 300;
    QFont m_font;
    QPointer<FlatHintWindow> m_window;
    QPointer<QWidget> m_hintOwner; // the widget whose hint is shown
};
