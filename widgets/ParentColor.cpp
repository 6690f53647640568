#include "widgets/ParentColor.h"

#include <QVariant>
#include <QWidget>

namespace ParentColor {

TColor of(const QWidget *parent) {
    if (!parent)
        return clBtnFace;
    const QVariant v = parent->property("Color");
    bool ok = false;
    const int c = v.toInt(&ok);
    return ok ? TColor(c) : Colors::fromQColor(parent->palette().color(QPalette::Window));
}

void applyOwn(QWidget *container, TColor color) {
    QPalette p = container->palette();
    p.setColor(QPalette::Window, Colors::toQColor(color));
    container->setPalette(p);
    container->update();
}

void inherit(QWidget *container) {
    if (container->testAttribute(Qt::WA_SetPalette))
        container->setPalette(QPalette());
    container->update();
}

} // namespace ParentColor
