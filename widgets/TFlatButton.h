// The program's push button: a focusable control that paints itself flat in a few colours,
// shows a glyph and a one-line caption, and adds to an ordinary button a click gate
// (OnBeforeClick), keyboard navigation of its own (Enter moves the focus, OnSelectNext), key
// events for arrows and letters, a hover highlight, optional rounded corners and an optional
// shortcut label. The colour scheme sets its colours, Round, Margin, Spacing and Visible by
// property name, so these are Q_PROPERTYs with exactly those names.
#pragma once

#include "platform/Colors.h"
#include "platform/ui/TCustomForm.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

class QMenu;

class TFlatButton : public QWidget, public TKeyClaimer {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_PROPERTY(int ColorFocused READ ColorFocused WRITE SetColorFocused)
    Q_PROPERTY(int ColorDown READ ColorDown WRITE SetColorDown)
    Q_PROPERTY(int ColorBorder READ ColorBorder WRITE SetColorBorder)
    Q_PROPERTY(int ColorHighLight READ ColorHighLight WRITE SetColorHighLight)
    Q_PROPERTY(int ColorShadow READ ColorShadow WRITE SetColorShadow)
    Q_PROPERTY(int FontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(bool UseAdvColors READ UseAdvColors WRITE SetUseAdvColors)
    Q_PROPERTY(int AdvColorFocused READ AdvColorFocused WRITE SetAdvColorFocused)
    Q_PROPERTY(int AdvColorDown READ AdvColorDown WRITE SetAdvColorDown)
    Q_PROPERTY(int AdvColorBorder READ AdvColorBorder WRITE SetAdvColorBorder)
    Q_PROPERTY(TTransparentMode TransparentMode READ TransparentMode WRITE SetTransparentMode)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(TButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(int Margin READ Margin WRITE SetMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int Round READ Round WRITE SetRound)
    Q_PROPERTY(QString VKKey READ VKKey WRITE SetVKKey)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)

public:
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TButtonLayout)
    enum TTransparentMode { tmAlways, tmNotFocused, tmNone };
    Q_ENUM(TTransparentMode)
    // The paint state: up, disabled, pressed (bsDown) and latched (bsExclusive).
    enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
    Q_ENUM(TButtonState)

    static constexpr TColor DefaultColor = 14805739;      // red 235, green 234, blue 225
    static constexpr TColor DefaultColorDown = 12965593;  // red 217, green 214, blue 197
    static constexpr TColor DefaultColorBorder = 8623776; // red 160, green 162, blue 131

    explicit TFlatButton(QWidget *parent = nullptr);
    ~TFlatButton() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor ColorFocused() const { return m_colorFocused; }
    void SetColorFocused(TColor color);
    TColor ColorDown() const { return m_colorDown; }
    void SetColorDown(TColor color);
    TColor ColorBorder() const { return m_colorBorder; }
    void SetColorBorder(TColor color);
    TColor ColorHighLight() const { return m_colorHighLight; }
    void SetColorHighLight(TColor color);
    TColor ColorShadow() const { return m_colorShadow; }
    void SetColorShadow(TColor color);
    // The caption's colour (the font colour); inherited from the parent until set.
    TColor FontColor() const;
    void SetFontColor(TColor color);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool on);
    bool ParentFont() const { return !testAttribute(Qt::WA_SetFont); }
    void SetParentFont(bool on);
    bool UseAdvColors() const { return m_useAdvColors; }
    void SetUseAdvColors(bool on);
    int AdvColorFocused() const { return m_advColorFocused; }
    void SetAdvColorFocused(int steps);
    int AdvColorDown() const { return m_advColorDown; }
    void SetAdvColorDown(int steps);
    int AdvColorBorder() const { return m_advColorBorder; }
    void SetAdvColorBorder(int steps);
    TTransparentMode TransparentMode() const { return m_transparentMode; }
    void SetTransparentMode(TTransparentMode mode);

    QImage Glyph() const { return m_glyph; }
    // A picture whose width is a whole multiple (up to 4) of its height sets NumGlyphs.
    void SetGlyph(const QImage &glyph);
    void SetGlyph(const QPixmap &glyph);
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int count);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return m_margin; }
    void SetMargin(int margin);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int spacing);

    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index);
    bool Down() const { return m_down; }
    void SetDown(bool down);
    bool AllowAllUp() const { return m_allowAllUp; }
    void SetAllowAllUp(bool on);
    bool Default() const { return m_default; }
    void SetDefault(bool on);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }
    int Round() const { return m_round; }
    // Kept between 0 and 100.
    void SetRound(int round);
    QString VKKey() const { return m_vkKey; }
    void SetVKKey(const QString &text);

    // The control's own flags: a button inside a hidden panel is still Visible.
    bool Enabled() const { return !testAttribute(Qt::WA_Disabled); }
    void SetEnabled(bool on) { setEnabled(on); }
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool on) { setVisible(on); }
    // A tab stop is reached by Tab and by the Enter navigation; any button takes the focus
    // when clicked.
    bool TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }
    void SetTabStop(bool on);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString &hint) { setToolTip(hint); }
    // Shown at the button's bottom-left corner after a click.
    QMenu *PopupMenu() const;
    void SetPopupMenu(QMenu *menu);

    // Run-time state.
    TButtonState State() const { return m_state; }
    bool Highlighted() const { return m_highlighted; }
    bool MousePressed() const { return m_mousePressed; }

    // The press of the button, used by mouse, keyboard and accelerator and by other code: does
    // nothing when the button is disabled or invisible or the click gate refuses; otherwise
    // hands ModalResult to the window that holds the button and raises OnClick.
    void Click();

    bool ClaimsKey(quint16 key, Qt::KeyboardModifiers shift) const override;

    std::function<void(QObject *Sender)> OnClick;
    std::function<void(QObject *Sender, bool &Clicked)> OnBeforeClick;
    std::function<void(QWidget *&SourceControl, QWidget *&DestControl, quint16 CharCode,
                       bool &Accept)>
        OnSelectNext;
    std::function<void(QObject *Sender, bool Right)> OnLeftRightKeyPressed;
    std::function<void(QObject *Sender, bool &Accept)> OnUp;
    std::function<void(QObject *Sender, bool &Accept)> OnDown;
    std::function<void(QObject *Sender, quint16 Key)> OnAlpha;
    std::function<void(QObject *Sender)> OnMouseEnter;
    std::function<void(QObject *Sender)> OnMouseLeave;
    std::function<void(QObject *Sender)> OnDblClick;
    // The control's ordinary key event. Enter, which the window's key preview never sees on a
    // flat button, arrives here after the focus has moved on.
    std::function<void(QObject *Sender, quint16 &Key, Qt::KeyboardModifiers Shift)> OnKeyDown;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    friend class FlatButtonHover;

    void handleKey(QKeyEvent *event);
    void handleMousePress(QMouseEvent *event);
    void enterHover();
    void leaveHover();
    void reevaluateHover(const QPoint &globalPos);
    void hoverCheck();
    void accelerator();
    // Moves the focus to the next (previous) tab stop of the window, asking OnSelectNext.
    void selectNext(bool forward, quint16 charCode);
    // Dialog navigation of the arrows: the next (previous) control of the same parent that
    // can take the focus. Returns whether the focus moved.
    bool selectSibling(bool forward);
    void tellGroup();
    void followParentColor();
    void applyAdvColors();
    void updateMask();
    void updateShortcut();
    bool canTakeFocus() const;
    bool insideForMouse(const QPointF &pos) const;

    QString m_caption;
    TColor m_color = DefaultColor;
    TColor m_colorFocused = DefaultColor;
    TColor m_colorDown = DefaultColorDown;
    TColor m_colorBorder = DefaultColorBorder;
    TColor m_colorHighLight = clWhite;
    TColor m_colorShadow = clBlack;
    bool m_parentColor = true;
    bool m_useAdvColors = false;
    int m_advColorFocused = 10;
    int m_advColorDown = 10;
    int m_advColorBorder = 50;
    TTransparentMode m_transparentMode = tmNone;
    QImage m_glyph;
    QImage m_glyphTransparent; // m_glyph with its transparent colour cut out
    int m_numGlyphs = 1;
    TButtonLayout m_layout = blGlyphTop;
    int m_margin = -1;
    int m_spacing = 4;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_allowAllUp = false;
    bool m_default = false;
    int m_modalResult = 0;
    int m_round = 0;
    QString m_vkKey;
    QPointer<QMenu> m_popupMenu;

    TButtonState m_state = bsUp;
    bool m_highlighted = false;
    bool m_focused = false;
    bool m_mousePressed = false;
    bool m_spacePressed = false;
    int m_shortcutId = 0;
};

// The enumerations as the window descriptions write them, without the class name.
constexpr auto blGlyphLeft = TFlatButton::blGlyphLeft;
constexpr auto blGlyphRight = TFlatButton::blGlyphRight;
constexpr auto blGlyphTop = TFlatButton::blGlyphTop;
constexpr auto blGlyphBottom = TFlatButton::blGlyphBottom;
constexpr auto tmAlways = TFlatButton::tmAlways;
constexpr auto tmNotFocused = TFlatButton::tmNotFocused;
constexpr auto tmNone = TFlatButton::tmNone;
