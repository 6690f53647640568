#include "widgets/TPanel.h"

#include "platform/ui/Application.h"
#include "widgets/PanelPainting.h"
#include "widgets/ParentColor.h"

#include <QEvent>
#include <QPainter>

TPanel::TPanel(QWidget *parent) : QWidget(parent) {
    resize(185, 41);
    ParentColor::applyOwn(this, m_color);
    updateMargins();
}

void TPanel::SetColor(TColor color) {
    m_parentColor = false;
    m_color = color;
    ParentColor::applyOwn(this, color);
}

void TPanel::SetParentColor(bool on) {
    m_parentColor = on;
    followParentColor();
}

void TPanel::followParentColor() {
    if (!m_parentColor || !parentWidget())
        return;
    m_color = ParentColor::of(parentWidget());
    ParentColor::inherit(this);
}

void TPanel::SetCaption(const QString &caption) {
    m_caption = caption;
    update();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
    m_bevelInner = bevel;
    updateMargins();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
    m_bevelOuter = bevel;
    updateMargins();
}

void TPanel::SetBevelWidth(int width) {
    m_bevelWidth = std::max(1, width);
    updateMargins();
}

void TPanel::SetBorderWidth(int width) {
    m_borderWidth = std::max(0, width);
    updateMargins();
}

void TPanel::updateMargins() {
    const int m =
        PanelPainting::frameWidth(m_bevelOuter, m_bevelInner, m_bevelWidth, m_borderWidth);
    setContentsMargins(m, m, m, m);
    update();
}

void TPanel::changeEvent(QEvent *e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ParentChange || e->type() == QEvent::PaletteChange)
        guarded([&] { followParentColor(); });
}

void TPanel::paintEvent(QPaintEvent *) {
    QPainter p(this);
    QRect r = rect();
    if (m_bevelOuter != bvNone)
        PanelPainting::bevel(p, r, m_bevelOuter, m_bevelWidth, Colors::toQColor(m_color));
    PanelPainting::frame(p, r, Colors::toQColor(m_color), Colors::toQColor(m_color), m_borderWidth);
    if (m_bevelInner != bvNone)
        PanelPainting::bevel(p, r, m_bevelInner, m_bevelWidth, Colors::toQColor(m_color));
    p.fillRect(r, Colors::toQColor(m_color));
    if (!m_caption.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, m_caption);
    }
}
