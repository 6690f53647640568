#include "feedback/TMarkupLabelBase.h"

#include "feedback/RenderMarkup.h"
#include "platform/ui/Align.h"
#include "platform/ui/Application.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>

namespace {

constexpr int kAutoSizeReach = 65535; // how far the text area reaches while autosizing
constexpr int kAutoSizeMargin = 6;

// A bevel of the given width: one colour on the top and left edges, the other on the bottom
// and right edges.
void paintBevel(QPainter &painter, const QRect &rect, TColor topLeft, TColor bottomRight,
                int width) {
    QRect r = rect;
    const QColor tl = Colors::toQColor(topLeft);
    const QColor br = Colors::toQColor(bottomRight);
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), tl);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), tl);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), br);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), br);
        r.adjust(1, 1, -1, -1);
    }
}

void paintCut(QPainter &painter, const QRect &rect, TMarkupLabelBase::TBevelCut cut, int width) {
    if (cut == TMarkupLabelBase::bvLowered)
        paintBevel(painter, rect, clBtnShadow, clBtnHighlight, width);
    else if (cut == TMarkupLabelBase::bvRaised)
        paintBevel(painter, rect, clBtnHighlight, clBtnShadow, width);
}

QRect inset(const QRect &rect, int by) {
    return rect.adjusted(by, by, -by, -by);
}

} // namespace

TMarkupLabelBase::TMarkupLabelBase(QWidget *owner) : QWidget(owner) {
    setMouseTracking(true);
}

void TMarkupLabelBase::SetHTMLText(const QStringList &lines) {
    m_html = lines;
    TextChanged();
}

void TMarkupLabelBase::SetText(const QString &text) {
    // Like any string list given a whole text, the list splits it at its line ends; as the
    // lines are joined without anything between them, a line end in the text breaks no line.
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    m_html = text.isEmpty() ? QStringList() : text.split(lineEnd);
    TextChanged();
}

void TMarkupLabelBase::TextChanged() {
    ForgetLink();
    AdjustToText();
    update();
}

void TMarkupLabelBase::SetAutoSizing(bool on) {
    if (m_autoSizing == on)
        return;
    m_autoSizing = on;
    if (on) {
        // The size starts from the bare margin and then follows the text.
        const TAlign align = GetAlign(this);
        if (align == alLeft || align == alRight)
            resize(kAutoSizeMargin, height());
        else if (align == alTop || align == alBottom)
            resize(width(), kAutoSizeMargin);
    }
    AdjustToText();
    update();
}

void TMarkupLabelBase::SetAutoSizeType(TAutoSizeType type) {
    m_autoSizeType = type;
    AdjustToText();
    update();
}

void TMarkupLabelBase::SetBorderWidth(int width) {
    m_borderWidth = std::max(0, width);
    AdjustToText();
    update();
}

void TMarkupLabelBase::SetBevelInner(TBevelCut cut) {
    m_bevelInner = cut;
    AdjustToText();
    update();
}

void TMarkupLabelBase::SetBevelOuter(TBevelCut cut) {
    m_bevelOuter = cut;
    AdjustToText();
    update();
}

void TMarkupLabelBase::SetBevelWidth(int width) {
    m_bevelWidth = std::max(0, width);
    AdjustToText();
    update();
}

void TMarkupLabelBase::SetColor(TColor color) {
    m_color = color;
    m_parentColor = false;
    update();
}

void TMarkupLabelBase::SetParentColor(bool on) {
    m_parentColor = on;
    update();
}

void TMarkupLabelBase::SetFontColor(TColor color) {
    m_fontColor = color;
    update();
}

void TMarkupLabelBase::SetTransparent(bool on) {
    m_transparent = on;
    update();
}

TColor TMarkupLabelBase::EffectiveColor() const {
    if (!m_parentColor)
        return m_color;
    if (const QWidget *parent = parentWidget()) {
        const QVariant color = parent->property("Color");
        if (color.isValid() && color.canConvert<int>())
            return TColor(color.toInt());
        return Colors::fromQColor(parent->palette().color(parent->backgroundRole()));
    }
    return m_color;
}

bool TMarkupLabelBase::SizesHeight() const {
    const TAlign align = GetAlign(this);
    return m_autoSizing && (align == alNone || align == alTop || align == alBottom) &&
           (m_autoSizeType == asVertical || m_autoSizeType == asBoth);
}

bool TMarkupLabelBase::SizesWidth() const {
    const TAlign align = GetAlign(this);
    return m_autoSizing && (align == alNone || align == alLeft || align == alRight) &&
           (m_autoSizeType == asHorizontal || m_autoSizeType == asBoth);
}

QRect TMarkupLabelBase::TextRect() const {
    QRect r = rect();
    if (m_bevelOuter != bvNone)
        r = inset(r, m_bevelWidth);
    r = inset(r, m_borderWidth);
    if (m_bevelInner != bvNone)
        r = inset(r, m_bevelWidth);
    if (m_bevelInner != bvNone || m_bevelOuter != bvNone)
        r = inset(r, m_bevelWidth);
    r = inset(r, ExtraInset());
    if (SizesHeight())
        r.setHeight(std::max(0, r.height()) + kAutoSizeReach);
    if (SizesWidth())
        r.setWidth(std::max(0, r.width()) + kAutoSizeReach);
    return AlignVertically(r);
}

MarkupRequest TMarkupLabelBase::MakeRequest(const QRect &rect, bool draw,
                                            std::optional<QPoint> testPoint) const {
    MarkupRequest request;
    request.text = Text();
    request.rect = rect;
    request.draw = draw;
    request.testPoint = testPoint;
    request.font = font();
    request.fontColor = m_fontColor;
    request.backgroundColor = EffectiveColor();
    request.dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return request;
}

MarkupLayout TMarkupLabelBase::Measure(std::optional<QPoint> testPoint) const {
    return LayoutMarkup(MakeRequest(TextRect(), false, testPoint));
}

void TMarkupLabelBase::AdjustToText() {
    if (m_adjusting || !m_autoSizing)
        return;
    const bool sizeHeight = SizesHeight();
    const bool sizeWidth = SizesWidth();
    if (!sizeHeight && !sizeWidth)
        return;
    const MarkupLayout layout = Measure();
    const int newHeight = sizeHeight ? layout.textHeight + kAutoSizeMargin : height();
    const int newWidth = sizeWidth ? layout.maxWidth + kAutoSizeMargin : width();
    if (newHeight == height() && newWidth == width())
        return;
    m_adjusting = true;
    resize(newWidth, newHeight);
    m_adjusting = false;
    // A hidden label gets no resize event, so its aligned neighbours are arranged here.
    if (GetAlign(this) != alNone)
        ArrangeAligned(parentWidget());
}

void TMarkupLabelBase::PaintExtraFrame(QPainter &painter, const QRect &rect) {
    Q_UNUSED(painter);
    Q_UNUSED(rect);
}

void TMarkupLabelBase::paintEvent(QPaintEvent *) {
    guarded([&] {
        QPainter painter(this);
        if (!m_transparent)
            painter.fillRect(rect(), Colors::toQColor(EffectiveColor()));
        QRect r = rect();
        if (m_bevelOuter != bvNone) {
            paintCut(painter, r, m_bevelOuter, m_bevelWidth);
            r = inset(r, m_bevelWidth);
        }
        r = inset(r, m_borderWidth);
        if (m_bevelInner != bvNone) {
            paintCut(painter, r, m_bevelInner, m_bevelWidth);
            r = inset(r, m_bevelWidth);
        }
        if (m_bevelInner != bvNone || m_bevelOuter != bvNone)
            r = inset(r, m_bevelWidth);
        PaintExtraFrame(painter, r);
        RenderMarkup(&painter, MakeRequest(TextRect(), true, std::nullopt));
    });
}

void TMarkupLabelBase::UpdateLink(int number) {
    if (number <= 0)
        return;
    for (const MarkupLinkArea &area : Measure().links) {
        if (area.number == number)
            update(area.rect.adjusted(-1, -1, 1, 1));
    }
}

void TMarkupLabelBase::mouseMoveEvent(QMouseEvent *event) {
    guarded([&] {
        const MarkupLayout layout = Measure(event->position().toPoint());
        if (layout.linkHit) {
            if (!m_handCursor) {
                setCursor(Qt::PointingHandCursor);
                m_handCursor = true;
            }
            if (layout.hitNumber != m_linkNumber) {
                const int old = m_linkNumber;
                if (old != 0)
                    LinkLeft(m_linkTarget);
                m_linkNumber = layout.hitNumber;
                m_linkTarget = layout.hitTarget;
                LinkEntered(m_linkTarget);
                HoverChanged(old, m_linkNumber);
            }
        } else {
            if (m_handCursor) {
                unsetCursor();
                m_handCursor = false;
            }
            ForgetLink();
        }
    });
    QWidget::mouseMoveEvent(event);
}

void TMarkupLabelBase::ForgetLink() {
    if (m_linkNumber == 0)
        return;
    const int old = m_linkNumber;
    const QString target = m_linkTarget;
    m_linkNumber = 0;
    m_linkTarget.clear();
    LinkLeft(target);
    HoverChanged(old, 0);
}

void TMarkupLabelBase::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        guarded([&] {
            const MarkupLayout layout = Measure(event->position().toPoint());
            if (layout.linkHit)
                LinkClicked(layout.hitTarget);
        });
    }
    QWidget::mousePressEvent(event);
}

void TMarkupLabelBase::leaveEvent(QEvent *event) {
    guarded([&] {
        if (m_handCursor) {
            unsetCursor();
            m_handCursor = false;
        }
        ForgetLink();
    });
    QWidget::leaveEvent(event);
}

void TMarkupLabelBase::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    guarded([&] { AdjustToText(); });
}

void TMarkupLabelBase::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ParentChange)
        guarded([&] {
            AdjustToText();
            update();
        });
}
