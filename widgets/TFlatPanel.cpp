#include "widgets/TFlatPanel.h"

#include "platform/ui/Application.h"
#include "widgets/PanelPainting.h"
#include "widgets/ParentColor.h"

#include <QEvent>
#include <QPainter>

TFlatPanel::TFlatPanel(QWidget *parent) : QWidget(parent) {
    resize(185, 41);
    setContentsMargins(1, 1, 1, 1);
    followParentColor();
}

void TFlatPanel::SetColor(TColor color) {
    m_parentColor = false;
    m_color = color;
    ParentColor::applyOwn(this, color);
}

void TFlatPanel::SetParentColor(bool on) {
    m_parentColor = on;
    followParentColor();
}

void TFlatPanel::SetColorHighLight(TColor color) {
    m_colorHighLight = color;
    update();
}

void TFlatPanel::SetColorShadow(TColor color) {
    m_colorShadow = color;
    update();
}

void TFlatPanel::SetCaption(const QString &caption) {
    m_caption = caption;
    update();
}

void TFlatPanel::followParentColor() {
    if (!m_parentColor || !parentWidget())
        return;
    m_color = ParentColor::of(parentWidget());
    ParentColor::inherit(this);
}

void TFlatPanel::changeEvent(QEvent *e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ParentChange || e->type() == QEvent::PaletteChange)
        guarded([&] { followParentColor(); });
}

void TFlatPanel::paintEvent(QPaintEvent *) {
    QPainter p(this);
    QRect r = rect();
    PanelPainting::frame(p, r, Colors::toQColor(m_colorHighLight), Colors::toQColor(m_colorShadow),
                         1);
    p.fillRect(r, Colors::toQColor(m_color));
    if (!m_caption.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, m_caption);
    }
}
