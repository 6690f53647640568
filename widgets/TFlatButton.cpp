#include "widgets/TFlatButton.h"

#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Keys.h"
#include "widgets/AdvColors.h"
#include "widgets/FlatButtonGeometry.h"
#include "widgets/ParentColor.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>

// One hover timer for all buttons of the process: it watches the button under the mouse and
// takes its highlight away once the mouse has gone elsewhere, also when no leave event came.
class FlatButtonHover {
public:
    static void attach() {
        if (s_buttons++ == 0) {
            s_timer = new QTimer;
            s_timer->setInterval(100);
            QObject::connect(s_timer, &QTimer::timeout, [] {
                guarded([] {
                    if (s_watched)
                        s_watched->hoverCheck();
                });
            });
        }
    }
    static void detach(TFlatButton *button) {
        if (s_watched == button)
            s_watched = nullptr;
        if (--s_buttons == 0) {
            delete s_timer;
            s_timer = nullptr;
        }
    }
    static TFlatButton *watched() { return s_watched; }
    static void watch(TFlatButton *button) {
        s_timer->stop();
        s_watched = button;
        s_timer->start();
    }
    static void unwatch(TFlatButton *button) {
        if (s_watched != button)
            return;
        s_timer->stop();
        s_watched = nullptr;
    }

private:
    static inline int s_buttons = 0;
    static inline QTimer *s_timer = nullptr;
    static inline QPointer<TFlatButton> s_watched;
};

namespace {

// The glyph with every pixel of its bottom-left pixel's colour made transparent.
QImage cutTransparent(const QImage &glyph) {
    if (glyph.isNull())
        return {};
    QImage image = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return image;
}

// A single-colour silhouette of the image's visible pixels.
QImage silhouette(const QImage &image, const QColor &color) {
    QImage out(image.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= 128)
                out.setPixel(x, y, color.rgba());
        }
    }
    return out;
}

bool isTabStop(QWidget *w) {
    return !w->isWindow() && !w->focusProxy() && (w->focusPolicy() & Qt::TabFocus) &&
           w->isVisible() && w->isEnabled();
}

bool canFocus(QWidget *w) {
    return w && !w->isWindow() && w->focusPolicy() != Qt::NoFocus && w->isVisible() &&
           w->isEnabled();
}

} // namespace

TFlatButton::TFlatButton(QWidget *parent) : QWidget(parent) {
    FlatButtonHover::attach();
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover, false);
    resize(25, 25);
    followParentColor();
}

TFlatButton::~TFlatButton() {
    FlatButtonHover::detach(this);
}

void TFlatButton::SetCaption(const QString &caption) {
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateShortcut();
    update();
}

void TFlatButton::SetColor(TColor color) {
    m_color = color;
    m_parentColor = false;
    if (m_useAdvColors)
        applyAdvColors();
    update();
}

void TFlatButton::SetColorFocused(TColor color) {
    m_colorFocused = color;
    update();
}

void TFlatButton::SetColorDown(TColor color) {
    m_colorDown = color;
    update();
}

void TFlatButton::SetColorBorder(TColor color) {
    m_colorBorder = color;
    update();
}

void TFlatButton::SetColorHighLight(TColor color) {
    m_colorHighLight = color;
    update();
}

void TFlatButton::SetColorShadow(TColor color) {
    m_colorShadow = color;
    update();
}

TColor TFlatButton::FontColor() const {
    return Colors::fromQColor(palette().color(QPalette::WindowText));
}

void TFlatButton::SetFontColor(TColor color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Colors::toQColor(color));
    setPalette(p);
    update();
}

void TFlatButton::SetParentColor(bool on) {
    m_parentColor = on;
    if (on)
        followParentColor();
}

void TFlatButton::SetParentFont(bool on) {
    if (on)
        setFont(QFont());
}

void TFlatButton::SetUseAdvColors(bool on) {
    m_useAdvColors = on;
    if (on) {
        m_parentColor = true;
        followParentColor();
        applyAdvColors();
    }
}

void TFlatButton::SetAdvColorFocused(int steps) {
    m_advColorFocused = std::clamp(steps, 0, 100);
    if (m_useAdvColors)
        applyAdvColors();
}

void TFlatButton::SetAdvColorDown(int steps) {
    m_advColorDown = std::clamp(steps, 0, 100);
    if (m_useAdvColors)
        applyAdvColors();
}

void TFlatButton::SetAdvColorBorder(int steps) {
    m_advColorBorder = std::clamp(steps, 0, 100);
    if (m_useAdvColors)
        applyAdvColors();
}

void TFlatButton::SetTransparentMode(TTransparentMode mode) {
    m_transparentMode = mode;
    update();
}

void TFlatButton::SetGlyph(const QImage &glyph) {
    m_glyph = glyph;
    m_glyphTransparent = cutTransparent(glyph);
    if (const int n = FlatButtonGeometry::impliedNumGlyphs(glyph.size()))
        m_numGlyphs = n;
    update();
}

void TFlatButton::SetGlyph(const QPixmap &glyph) {
    SetGlyph(glyph.toImage());
}

void TFlatButton::SetNumGlyphs(int count) {
    m_numGlyphs = std::clamp(count, 1, 4);
    update();
}

void TFlatButton::SetLayout(TButtonLayout layout) {
    m_layout = layout;
    update();
}

void TFlatButton::SetMargin(int margin) {
    m_margin = std::max(margin, -1);
    update();
}

void TFlatButton::SetSpacing(int spacing) {
    m_spacing = spacing;
    update();
}

void TFlatButton::SetGroupIndex(int index) {
    if (index == m_groupIndex)
        return;
    m_groupIndex = index;
    tellGroup();
    update();
}

void TFlatButton::SetDown(bool down) {
    if (m_groupIndex == 0)
        down = false;
    if (down == m_down)
        return;
    if (m_down && !m_allowAllUp)
        return;
    m_down = down;
    if (down) {
        if (m_state != bsDisabled)
            m_state = bsExclusive;
    } else if (m_state != bsDisabled) {
        m_state = bsUp;
    }
    update();
    if (down)
        tellGroup();
}

void TFlatButton::SetAllowAllUp(bool on) {
    if (on == m_allowAllUp)
        return;
    m_allowAllUp = on;
    tellGroup();
    update();
}

void TFlatButton::SetDefault(bool on) {
    m_default = on;
    update();
}

void TFlatButton::SetRound(int round) {
    round = std::clamp(round, 0, 100);
    if (round == m_round)
        return;
    m_round = round;
    updateMask();
    update();
}

void TFlatButton::SetVKKey(const QString &text) {
    m_vkKey = text;
    update();
}

void TFlatButton::SetTabStop(bool on) {
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

QMenu *TFlatButton::PopupMenu() const {
    return m_popupMenu;
}

void TFlatButton::SetPopupMenu(QMenu *menu) {
    m_popupMenu = menu;
}

void TFlatButton::Click() {
    if (!Enabled() || !Visible())
        return;
    if (OnBeforeClick) {
        bool clicked = true;
        OnBeforeClick(this, clicked);
        if (!clicked)
            return;
    }
    QPointer<TFlatButton> self(this);
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *form = qobject_cast<TCustomForm *>(w)) {
            form->SetModalResult(m_modalResult);
            break;
        }
    }
    if (self && OnClick)
        OnClick(this);
    if (self && m_popupMenu)
        m_popupMenu->popup(mapToGlobal(QPoint(0, height())));
}

bool TFlatButton::ClaimsKey(quint16 key, Qt::KeyboardModifiers) const {
    return key == VK_RETURN;
}

// Groups: the buttons of one parent with the same non-zero GroupIndex share AllowAllUp, and
// only one of them is latched at a time.
void TFlatButton::tellGroup() {
    if (m_groupIndex == 0 || !parentWidget())
        return;
    for (QObject *o : parentWidget()->children()) {
        auto *other = qobject_cast<TFlatButton *>(o);
        if (!other || other == this || other->m_groupIndex != m_groupIndex)
            continue;
        other->m_allowAllUp = m_allowAllUp;
        if (m_down && other->m_down) {
            other->m_down = false;
            if (other->m_state != bsDisabled)
                other->m_state = bsUp;
            other->update();
        }
    }
}

void TFlatButton::followParentColor() {
    if (!m_parentColor)
        return;
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    m_color = ParentColor::of(parent);
    if (m_useAdvColors)
        applyAdvColors();
    update();
}

void TFlatButton::applyAdvColors() {
    m_colorFocused = AdvColors::lighter(m_color, m_advColorFocused);
    m_colorDown = AdvColors::darker(m_color, m_advColorDown);
    m_colorBorder = AdvColors::darker(m_color, m_advColorBorder);
    update();
}

void TFlatButton::updateMask() {
    if (m_round > 0)
        setMask(FlatButtonGeometry::roundedOutline(size(), m_round));
    else
        clearMask();
}

void TFlatButton::updateShortcut() {
    if (m_shortcutId) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    const QKeySequence mnemonic = QKeySequence::mnemonic(m_caption);
    if (!mnemonic.isEmpty())
        m_shortcutId = grabShortcut(mnemonic);
}

bool TFlatButton::canTakeFocus() const {
    return canFocus(const_cast<TFlatButton *>(this));
}

bool TFlatButton::insideForMouse(const QPointF &pos) const {
    // The bottom edge counts as inside, as the pointer tracking always did.
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= height();
}

void TFlatButton::accelerator() {
    if (!canTakeFocus())
        return;
    if (m_groupIndex != 0)
        SetDown(true);
    Click();
}

// ---- hover ---------------------------------------------------------------------------------

void TFlatButton::enterHover() {
    if (!isEnabled() || m_highlighted)
        return;
    m_highlighted = true;
    update();
}

void TFlatButton::leaveHover() {
    if (!isEnabled() || !m_highlighted || m_mousePressed)
        return;
    if (!hasFocus())
        m_highlighted = false;
    FlatButtonHover::unwatch(this);
    update();
}

void TFlatButton::hoverCheck() {
    if (QApplication::widgetAt(QCursor::pos()) != this)
        leaveHover();
}

void TFlatButton::reevaluateHover(const QPoint &globalPos) {
    if (QApplication::widgetAt(globalPos) == this)
        enterHover();
    else
        leaveHover();
}

// ---- events --------------------------------------------------------------------------------

bool TFlatButton::event(QEvent *e) {
    if (e->type() == QEvent::Shortcut) {
        auto *se = static_cast<QShortcutEvent *>(e);
        if (se->shortcutId() == m_shortcutId) {
            guarded([&] { accelerator(); });
            return true;
        }
    }
    return QWidget::event(e);
}

void TFlatButton::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    if (m_round > 0)
        updateMask();
}

void TFlatButton::changeEvent(QEvent *e) {
    QWidget::changeEvent(e);
    switch (e->type()) {
    case QEvent::EnabledChange:
        guarded([&] {
            if (!isEnabled()) {
                m_highlighted = false;
                m_state = bsDisabled;
                m_mousePressed = false;
                m_spacePressed = false;
                FlatButtonHover::unwatch(this);
            } else if (m_state == bsDisabled) {
                m_state = m_down && m_groupIndex != 0 ? bsExclusive : bsUp;
            }
            if (isVisible())
                reevaluateHover(QCursor::pos());
            update();
        });
        break;
    case QEvent::PaletteChange:
    case QEvent::ParentChange:
        guarded([&] { followParentColor(); });
        break;
    default:
        break;
    }
}

void TFlatButton::enterEvent(QEnterEvent *e) {
    QWidget::enterEvent(e);
    guarded([&] {
        if (OnMouseEnter)
            OnMouseEnter(this);
    });
}

void TFlatButton::leaveEvent(QEvent *e) {
    QWidget::leaveEvent(e);
    guarded([&] {
        leaveHover();
        if (OnMouseLeave)
            OnMouseLeave(this);
    });
}

void TFlatButton::focusInEvent(QFocusEvent *e) {
    QWidget::focusInEvent(e);
    m_focused = true;
    m_highlighted = true;
    update();
}

void TFlatButton::focusOutEvent(QFocusEvent *e) {
    QWidget::focusOutEvent(e);
    m_focused = false;
    guarded([&] { leaveHover(); });
    update();
}

void TFlatButton::mousePressEvent(QMouseEvent *e) {
    guarded([&] { handleMousePress(e); });
}

void TFlatButton::handleMousePress(QMouseEvent *e) {
    if (e->button() != Qt::LeftButton || !isEnabled())
        return;
    if (!m_down)
        m_state = bsDown;
    m_mousePressed = true;
    setFocus(Qt::MouseFocusReason);
    update();
}

void TFlatButton::mouseMoveEvent(QMouseEvent *e) {
    guarded([&] {
        const QPointF pos = e->position();
        if (rect().contains(pos.toPoint()) && FlatButtonHover::watched() != this) {
            if (TFlatButton *previous = FlatButtonHover::watched())
                previous->leaveHover();
            if (QApplication::activeWindow()) {
                FlatButtonHover::watch(this);
                enterHover();
            }
        }
        if (!m_mousePressed)
            return;
        TButtonState state;
        if (insideForMouse(pos))
            state = m_down ? bsExclusive : bsDown;
        else
            state = m_down ? bsExclusive : bsUp;
        if (state != m_state) {
            m_state = state;
            update();
        }
    });
}

void TFlatButton::mouseReleaseEvent(QMouseEvent *e) {
    if (e->button() != Qt::LeftButton || !m_mousePressed)
        return;
    QPointer<TFlatButton> self(this);
    guarded([&] {
        m_mousePressed = false;
        const bool inside = insideForMouse(e->position());
        if (m_groupIndex == 0) {
            m_state = bsUp;
            m_highlighted = false;
        } else if (inside) {
            SetDown(!m_down);
        } else {
            // Also when no move event told us that the pointer had left.
            m_state = m_down ? bsExclusive : bsUp;
        }
        update();
        if (inside)
            Click();
        else
            leaveHover();
    });
    if (self)
        guarded([&] { reevaluateHover(e->globalPosition().toPoint()); });
}

void TFlatButton::mouseDoubleClickEvent(QMouseEvent *e) {
    guarded([&] {
        if (e->button() == Qt::LeftButton && m_down && OnDblClick)
            OnDblClick(this);
    });
    // The second press of a double click is a press like any other.
    if (e->button() == Qt::LeftButton)
        guarded([&] { handleMousePress(e); });
}

// ---- keys ----------------------------------------------------------------------------------

void TFlatButton::keyPressEvent(QKeyEvent *e) {
    e->accept();
    guarded([&] { handleKey(e); });
}

void TFlatButton::handleKey(QKeyEvent *e) {
    quint16 key = virtualKeyFromQt(e->key());
    const Qt::KeyboardModifiers shift = e->modifiers();
    QPointer<TFlatButton> self(this);

    if (key == VK_RETURN) {
        selectNext(!(shift & Qt::ShiftModifier), key);
        if (self && OnKeyDown)
            OnKeyDown(this, key, shift);
        return;
    }
    if (key != VK_ESCAPE) {
        if (key == VK_BACK) {
            selectNext(false, key);
            if (!self)
                return;
        }
        if (OnSelectNext && key != 0) {
            QWidget *source = nullptr;
            QWidget *dest = nullptr;
            bool accept = true;
            OnSelectNext(source, dest, key, accept);
            if (!self)
                return;
            if (accept && canFocus(dest))
                dest->setFocus(Qt::OtherFocusReason);
        }
        switch (key) {
        case VK_SPACE:
            if (!e->isAutoRepeat()) {
                m_spacePressed = true;
                if (m_groupIndex != 0)
                    SetDown(!m_down);
                else
                    m_state = bsDown;
                update();
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (OnLeftRightKeyPressed)
                OnLeftRightKeyPressed(this, key == VK_RIGHT);
            else if (selectSibling(key == VK_RIGHT))
                return; // a navigation key is used up by the move
            break;
        case VK_UP:
        case VK_DOWN: {
            auto &handler = key == VK_UP ? OnUp : OnDown;
            bool accept = true;
            if (handler)
                handler(this, accept);
            if (!self || !accept)
                return;
            if (selectSibling(key == VK_DOWN))
                return;
            break;
        }
        default:
            if (key >= 48 && key <= 90 && OnAlpha)
                OnAlpha(this, key);
            break;
        }
        if (!self)
            return;
    }
    if (OnKeyDown && key != 0)
        OnKeyDown(this, key, shift);
}

void TFlatButton::keyReleaseEvent(QKeyEvent *e) {
    e->accept();
    if (e->key() != Qt::Key_Space || e->isAutoRepeat() || !m_spacePressed)
        return;
    guarded([&] {
        m_spacePressed = false;
        if (m_groupIndex == 0) {
            m_state = bsUp;
            update();
        }
        Click();
    });
}

void TFlatButton::selectNext(bool forward, quint16 charCode) {
    QWidget *form = window();
    QList<QWidget *> order;
    for (QWidget *w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain()) {
        if (form->isAncestorOf(w))
            order << w;
    }
    if (order.isEmpty())
        return;
    const int count = int(order.size());
    int start = int(order.indexOf(this));
    if (start < 0)
        start = forward ? count - 1 : 0;
    QWidget *dest = nullptr;
    // Stop without a destination once the search comes back to where it started.
    for (int step = 1; step < count; ++step) {
        QWidget *w = order[((start + (forward ? step : -step)) % count + count) % count];
        if (isTabStop(w)) {
            dest = w;
            break;
        }
    }
    if (!dest)
        return;
    QWidget *source = this;
    bool accept = true;
    if (OnSelectNext) {
        QPointer<TFlatButton> self(this);
        OnSelectNext(source, dest, charCode, accept);
        if (!self)
            return;
    }
    if (accept && dest)
        dest->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool TFlatButton::selectSibling(bool forward) {
    // When the window's key preview has already moved the focus, it stays where it went.
    QWidget *parent = parentWidget();
    if (!parent || window()->focusWidget() != this)
        return false;
    QList<QWidget *> siblings;
    for (QObject *o : parent->children()) {
        if (auto *w = qobject_cast<QWidget *>(o))
            siblings << w;
    }
    const int count = int(siblings.size());
    const int start = int(siblings.indexOf(this));
    for (int step = 1; step < count; ++step) {
        QWidget *w = siblings[((start + (forward ? step : -step)) % count + count) % count];
        if (canFocus(w) && !w->focusProxy()) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

// ---- painting ------------------------------------------------------------------------------

void TFlatButton::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QRect r = rect();

    if (isEnabled() && m_state == bsDisabled)
        m_state = m_down && m_groupIndex != 0 ? bsExclusive : bsUp;
    if (!isEnabled()) {
        m_state = bsDisabled;
        m_mousePressed = false;
    }
    const QPoint offset = FlatButtonGeometry::contentOffset(m_state);

    auto fill = [&](TColor c) { p.fillRect(r, Colors::toQColor(c)); };
    switch (m_transparentMode) {
    case tmNone:
        switch (m_state) {
        case bsUp:
            fill(m_highlighted ? m_colorFocused : m_color);
            break;
        case bsDisabled:
            fill(m_color);
            break;
        case bsDown:
            fill(m_colorDown);
            break;
        case bsExclusive:
            fill(m_highlighted ? m_colorFocused : m_colorDown);
            break;
        }
        break;
    case tmNotFocused:
        if (m_highlighted) {
            fill(m_state == bsDisabled ? m_color
                 : m_state == bsDown   ? m_colorDown
                                       : m_colorFocused);
        }
        break;
    case tmAlways:
        // The parent's background shows through: nothing to fill.
        break;
    }

    if (m_round == 0) {
        auto frame = [&](TColor topLeft, TColor bottomRight) {
            const QColor tl = Colors::toQColor(topLeft), br = Colors::toQColor(bottomRight);
            p.fillRect(QRect(r.left(), r.top(), r.width(), 1), tl);
            p.fillRect(QRect(r.left(), r.top(), 1, r.height()), tl);
            p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
            p.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
        };
        switch (m_state) {
        case bsDisabled:
            frame(m_colorBorder, m_colorBorder);
            break;
        case bsDown:
        case bsExclusive:
            frame(m_colorShadow, m_colorHighLight);
            break;
        case bsUp:
            if (m_highlighted) {
                frame(m_colorHighLight, m_colorShadow);
            } else {
                frame(m_colorBorder, m_colorBorder);
                if (m_default) {
                    p.setPen(Colors::toQColor(m_colorBorder));
                    p.drawRect(r.adjusted(1, 1, -2, -2));
                }
            }
            break;
        }
    }

    const QSize imgSize = FlatButtonGeometry::imageSize(m_glyphTransparent.size(), m_numGlyphs);
    const int textFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;
    const QSize captionSize =
        m_caption.isEmpty() ? QSize() : fontMetrics().size(textFlags, m_caption);
    const FlatButtonGeometry::Placement place = FlatButtonGeometry::place(
        size(), imgSize, captionSize, m_layout, m_margin, m_spacing, offset);

    if (!imgSize.isEmpty()) {
        const FlatButtonGeometry::GlyphChoice choice =
            FlatButtonGeometry::chooseGlyph(m_numGlyphs, m_state);
        const QImage image =
            m_glyphTransparent.copy(QRect(QPoint(choice.index * imgSize.width(), 0), imgSize));
        if (choice.drawDisabled) {
            p.drawImage(place.glyph + QPoint(1, 1),
                        silhouette(image, Colors::toQColor(clBtnHighlight)));
            p.drawImage(place.glyph, silhouette(image, Colors::toQColor(clBtnShadow)));
        } else {
            p.drawImage(place.glyph, image);
        }
    }

    if (!m_vkKey.isEmpty()) {
        p.save();
        p.setFont(
            Fonts::make(QStringLiteral("Tahoma"), -Fonts::pointsToPixels(8), false, false, true));
        p.setPen(Colors::toQColor(clNavy));
        p.drawText(FlatButtonGeometry::shortcutLabelRect(size(), m_layout),
                   Qt::AlignCenter | Qt::TextSingleLine, m_vkKey);
        p.restore();
    }

    if (!m_caption.isEmpty()) {
        if (m_state == bsDisabled) {
            p.setPen(Colors::toQColor(clBtnHighlight));
            p.drawText(place.caption.translated(1, 1), Qt::AlignCenter | textFlags, m_caption);
            p.setPen(Colors::toQColor(clBtnShadow));
        } else {
            p.setPen(palette().color(QPalette::WindowText));
        }
        p.drawText(place.caption, Qt::AlignCenter | textFlags, m_caption);
    }
}
