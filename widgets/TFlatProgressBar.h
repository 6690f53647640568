// The flat progress bar: a non-focusable control that draws a frame and a row of blocks for
// the part of its range already done. Long operations advance Position once per record, up
// to a million times, so a step that shows no new block costs a comparison and paints
// nothing; a step that shows new blocks repaints only their area.
#pragma once

#include "platform/Colors.h"

#include <QWidget>

class TFlatProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Step READ Step WRITE SetStep)
    Q_PROPERTY(TProgressBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(int ColorElement READ ColorElement WRITE SetColorElement)
    Q_PROPERTY(int ColorBorder READ ColorBorder WRITE SetColorBorder)
    Q_PROPERTY(bool UseAdvColors READ UseAdvColors WRITE SetUseAdvColors)
    Q_PROPERTY(int AdvColorBorder READ AdvColorBorder WRITE SetAdvColorBorder)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)

public:
    enum TProgressBarOrientation { pbHorizontal, pbVertical };
    Q_ENUM(TProgressBarOrientation)

    static constexpr TColor DefaultColorElement = 10053171; // red 51, green 102, blue 153
    static constexpr TColor DefaultColorBorder = 8623776;   // red 160, green 162, blue 131

    explicit TFlatProgressBar(QWidget *parent = nullptr);

    int Min() const { return m_min; }
    // Max - Min never drops to 0 or below: Max becomes Min + 1 instead.
    void SetMin(int min);
    int Max() const { return m_max; }
    void SetMax(int max);
    int Position() const { return m_position; }
    // Limited to Min .. Max.
    void SetPosition(int position);
    int Step() const { return m_step; }
    void SetStep(int step) { m_step = step; }
    TProgressBarOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TProgressBarOrientation orientation);
    bool Smooth() const { return m_smooth; }
    void SetSmooth(bool on);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    TColor ColorElement() const { return m_colorElement; }
    void SetColorElement(TColor color);
    TColor ColorBorder() const { return m_colorBorder; }
    void SetColorBorder(TColor color);
    bool UseAdvColors() const { return m_useAdvColors; }
    void SetUseAdvColors(bool on);
    int AdvColorBorder() const { return m_advColorBorder; }
    void SetAdvColorBorder(int steps);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on);
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool on) { setVisible(on); }

    // The number of block places and of filled blocks as the bar shows them now.
    int Places();
    int FilledBlocks();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool vertical() const { return m_orientation == pbVertical; }
    int length() const { return vertical() ? height() : width(); }
    void snap();
    // Max - Min never drops to 0 or below.
    void fixRange();
    // Recomputes the shown blocks after the range or the size changed.
    void recompute();
    void syncGeometry();
    void followParentColor();
    void applyAdvColors();

    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_step = 10;
    TProgressBarOrientation m_orientation = pbHorizontal;
    bool m_smooth = false;
    TColor m_color = clBtnFace;
    bool m_parentColor = true;
    TColor m_colorElement = DefaultColorElement;
    TColor m_colorBorder = DefaultColorBorder;
    bool m_useAdvColors = false;
    int m_advColorBorder = 50;
    bool m_transparent = false;

    int m_geometryLength = -1;
    int m_places = 0;
    int m_filled = 0;    // blocks shown (block mode)
    int m_smoothLen = 0; // bar length shown (smooth mode)
};

constexpr auto pbHorizontal = TFlatProgressBar::pbHorizontal;
constexpr auto pbVertical = TFlatProgressBar::pbVertical;
