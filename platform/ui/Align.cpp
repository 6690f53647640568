#include "platform/ui/Align.h"

#include <QEvent>
#include <QPointer>

#include <algorithm>

namespace {

const char *const kAlignProperty = "_dupcheck_align";

class AlignFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::LayoutRequest: {
            auto *w = qobject_cast<QWidget *>(watched);
            if (!w)
                break;
            // A resized child re-arranges its parent; a resized parent its children.
            if (GetAlign(w) != alNone && w->parentWidget())
                ArrangeAligned(w->parentWidget());
            if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
                ArrangeAligned(w);
            break;
        }
        default:
            break;
        }
        return false;
    }
};

AlignFilter *filterFor(QWidget *w) {
    static QPointer<AlignFilter> filter;
    if (!filter)
        filter = new AlignFilter(nullptr);
    Q_UNUSED(w);
    return filter;
}

QList<QWidget *> g_arranging;

} // namespace

TAlign GetAlign(const QWidget *control) {
    const QVariant v = control->property(kAlignProperty);
    return v.isValid() ? TAlign(v.toInt()) : alNone;
}

void SetAlign(QWidget *control, TAlign align) {
    control->setProperty(kAlignProperty, int(align));
    control->installEventFilter(filterFor(control));
    if (QWidget *parent = control->parentWidget()) {
        parent->installEventFilter(filterFor(parent));
        ArrangeAligned(parent);
    }
}

void ArrangeAligned(QWidget *parent) {
    if (!parent || g_arranging.contains(parent))
        return;
    QList<QWidget *> children;
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && !w->isWindow() && GetAlign(w) != alNone && !w->isHidden())
            children << w;
    }
    if (children.isEmpty())
        return;
    g_arranging.append(parent);
    QRect rest = parent->contentsRect();
    auto take = [&](TAlign a, auto less) {
        QList<QWidget *> group;
        for (QWidget *w : children) {
            if (GetAlign(w) == a)
                group << w;
        }
        std::stable_sort(group.begin(), group.end(), less);
        for (QWidget *w : group) {
            switch (a) {
            case alTop:
                w->setGeometry(rest.left(), rest.top(), rest.width(), w->height());
                rest.setTop(rest.top() + w->height());
                break;
            case alBottom:
                w->setGeometry(rest.left(), rest.bottom() + 1 - w->height(), rest.width(),
                               w->height());
                rest.setBottom(rest.bottom() - w->height());
                break;
            case alLeft:
                w->setGeometry(rest.left(), rest.top(), w->width(), std::max(0, rest.height()));
                rest.setLeft(rest.left() + w->width());
                break;
            case alRight:
                w->setGeometry(rest.right() + 1 - w->width(), rest.top(), w->width(),
                               std::max(0, rest.height()));
                rest.setRight(rest.right() - w->width());
                break;
            case alClient:
                w->setGeometry(rest.left(), rest.top(), std::max(0, rest.width()),
                               std::max(0, rest.height()));
                break;
            default:
                break;
            }
        }
    };
    take(alTop, [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    take(alBottom,
         [](QWidget *a, QWidget *b) { return a->geometry().bottom() > b->geometry().bottom(); });
    take(alLeft, [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
    take(alRight,
         [](QWidget *a, QWidget *b) { return a->geometry().right() > b->geometry().right(); });
    take(alClient, [](QWidget *, QWidget *) { return false; });
    g_arranging.removeOne(parent);
}
