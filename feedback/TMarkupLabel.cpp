#include "feedback/TMarkupLabel.h"

#include "feedback/DocumentShell.h"
#include "feedback/MarkupText.h"
#include "feedback/TImageList.h"
#include "feedback/TMarkupHintWindow.h"
#include "feedback/TPictureContainer.h"
#include "platform/ui/Application.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

bool isUrlTarget(const QString &target) {
    return target.contains(QLatin1String("://")) ||
           target.contains(QLatin1String("mailto:"), Qt::CaseInsensitive);
}

const QPoint kHintOffset(10, -10);

} // namespace

TMarkupLabel::TMarkupLabel(QWidget *owner) : TMarkupLabelBase(owner) {
    SystemDocumentShell::WatchRightControl();
}

TMarkupLabel::~TMarkupLabel() {
    delete m_hintWindow;
}

void TMarkupLabel::SetBorderStyle(TBorderStyle style) {
    m_borderStyle = style;
    AdjustToText();
    update();
}

void TMarkupLabel::SetURLColor(TColor color) {
    m_urlColor = color;
    update();
}

void TMarkupLabel::SetShadowColor(TColor color) {
    m_shadowColor = color;
    update();
}

void TMarkupLabel::SetShadowOffset(int offset) {
    m_shadowOffset = offset;
    update();
}

void TMarkupLabel::SetHover(bool on) {
    m_hover = on;
    update();
}

void TMarkupLabel::SetHoverColor(TColor color) {
    m_hoverColor = color;
    update();
}

void TMarkupLabel::SetHoverFontColor(TColor color) {
    m_hoverFontColor = color;
    update();
}

void TMarkupLabel::SetEllipsis(bool on) {
    m_ellipsis = on;
    AdjustToText();
    update();
}

void TMarkupLabel::SetVAlignment(TVAlignment alignment) {
    m_vAlignment = alignment;
    update();
}

void TMarkupLabel::SetImages(TImageList *images) {
    m_images = images;
    AdjustToText();
    update();
}

void TMarkupLabel::SetPictureContainer(TPictureContainer *container) {
    m_container = container;
    AdjustToText();
    update();
}

MarkupRequest TMarkupLabel::MakeRequest(const QRect &rect, bool draw,
                                        std::optional<QPoint> testPoint) const {
    MarkupRequest request = TMarkupLabelBase::MakeRequest(rect, draw, testPoint);
    request.host = MarkupHost::MarkupLabel;
    request.wordWrap = !m_ellipsis;
    request.elide = m_ellipsis;
    request.linkColor = m_urlColor;
    request.hover = m_hover;
    request.hoverLink = LinkUnderMouse();
    request.hoverColor = m_hoverColor;
    request.hoverFontColor = m_hoverFontColor;
    request.shadowColor = m_shadowColor;
    request.shadowOffset = m_shadowOffset;
    request.pictures.images = m_images.data();
    request.pictures.container = m_container.data();
    request.pictures.cache = &m_cache;
    return request;
}

int TMarkupLabel::ExtraInset() const {
    return m_borderStyle == bsSingle ? BorderWidth() : 0;
}

void TMarkupLabel::PaintExtraFrame(QPainter &painter, const QRect &rect) {
    if (m_borderStyle != bsSingle || BorderWidth() <= 0)
        return;
    // A single border is a black frame of the border width.
    const int w = BorderWidth();
    const QRect r = rect;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), w), Qt::black);
    painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), Qt::black);
    painter.fillRect(QRect(r.left(), r.top(), w, r.height()), Qt::black);
    painter.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), Qt::black);
}

QRect TMarkupLabel::AlignVertically(const QRect &rect) const {
    if (m_vAlignment == tvaTop)
        return rect;
    const MarkupLayout layout = LayoutMarkup(TMarkupLabel::MakeRequest(rect, false, std::nullopt));
    if (layout.textHeight >= height())
        return rect;
    QRect r = rect;
    if (m_vAlignment == tvaCenter)
        r.setTop(r.top() + (height() - layout.textHeight) / 2);
    else
        r.setTop(r.top() + r.height() - layout.textHeight);
    return r;
}

void TMarkupLabel::LinkClicked(const QString &target) {
    if (isUrlTarget(target)) {
        DocumentShell::Current().Execute(QStringLiteral("open"), target);
        return;
    }
    if (OnAnchorClick)
        OnAnchorClick(this, target);
}

void TMarkupLabel::LinkEntered(const QString &target) {
    if (OnAnchorEnter)
        OnAnchorEnter(this, target);
}

void TMarkupLabel::LinkLeft(const QString &target) {
    if (OnAnchorExit)
        OnAnchorExit(this, target);
}

void TMarkupLabel::HoverChanged(int oldLink, int newLink) {
    if (!m_hover)
        return;
    UpdateLink(oldLink);
    UpdateLink(newLink);
}

QString TMarkupLabel::HintAt(const QPoint &point, bool *markup) {
    if (markup)
        *markup = false;
    if (m_anchorHint) {
        const MarkupLayout layout = Measure(point);
        if (layout.linkHit) {
            QString anchor = layout.hitTarget;
            if (OnAnchorHint)
                OnAnchorHint(this, anchor);
            return anchor;
        }
    }
    if (m_hintShowFull) {
        if (m_htmlHint) {
            if (markup)
                *markup = true;
            return Text();
        }
        return MarkupToPlainText(Text());
    }
    return {};
}

bool TMarkupLabel::event(QEvent *event) {
    if (event->type() != QEvent::ToolTip)
        return TMarkupLabelBase::event(event);
    guarded([&] {
        auto *help = static_cast<QHelpEvent *>(event);
        bool markup = false;
        const QString hint = HintAt(help->pos(), &markup);
        if (m_hintWindow)
            m_hintWindow->hide();
        if (hint.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return;
        }
        const QPoint at = help->globalPos() + kHintOffset;
        if (markup) {
            QToolTip::hideText();
            if (!m_hintWindow)
                m_hintWindow = new TMarkupHintWindow();
            m_hintWindow->setFont(font());
            m_hintWindow->ShowAt(hint, at);
        } else {
            QToolTip::showText(at, hint, this);
        }
    });
    return true;
}

void TMarkupLabel::leaveEvent(QEvent *event) {
    if (m_hintWindow)
        m_hintWindow->hide();
    TMarkupLabelBase::leaveEvent(event);
}
