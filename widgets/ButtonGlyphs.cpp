#include "widgets/ButtonGlyphs.h"

#include <QFile>

// The resources live in a static library: nothing would pull their registration into the
// program unless someone calls for it, which the first load does.
static void registerResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(widgets);
        return true;
    }();
    (void)registered;
}

namespace ButtonGlyphs {

QString path(const QString &name) {
    registerResources();
    return QStringLiteral(":/widgets/glyphs/") + name + QStringLiteral(".png");
}

QImage load(const QString &name) {
    registerResources();
    const QString file = path(name);
    if (!QFile::exists(file))
        return {};
    return QImage(file);
}

} // namespace ButtonGlyphs
