#include "feedback/Cursors.h"

#include "feedback/AnimatedCursorFile.h"
#include "feedback/IconFile.h"
#include "feedback/ScreenCursor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

// The cursor resources live in this static library; nothing else refers to them, so the
// linker would drop them unless they are initialised by name.
static void initCursorResources() {
    Q_INIT_RESOURCE(cursors);
}

namespace {

QString resourcePath(const char *type, const QString &name) {
    return QStringLiteral(":/%1/%2").arg(QLatin1String(type), name);
}

void registerPlainCursor(const QString &name, int number) {
    QFile resource(resourcePath(kCursorResourceType, name));
    if (!resource.open(QIODevice::ReadOnly))
        return;
    if (auto image = IconFile::decode(resource.readAll()))
        ScreenCursor::enter(number, *image);
}

} // namespace

void RegisterCursors() {
    initCursorResources();
    registerPlainCursor(QStringLiteral("X_HAND"), crXHand);
    registerPlainCursor(QStringLiteral("X_MAGNIFY"), crXMagnify);
    registerPlainCursor(QStringLiteral("X_MOVE"), crXMove);
    LoadAnimatedCursor(QStringLiteral("CRCURSOR_PRINT"), crPrintAnimated);
    LoadAnimatedCursor(QStringLiteral("CRCURSOR_WAIT"), crWaitAnimated);
    LoadAnimatedCursor(QStringLiteral("CRCURSOR_PDF"), crPdfAnimated);
}

bool LoadAnimatedCursor(const QString &resourceName, int number) {
    initCursorResources();
    QFile resource(resourcePath(kAnimatedCursorResourceType, resourceName));
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    // A fixed name in a shared or user-chosen folder lets anyone who can put a link of that name
    // there have us overwrite the link's target. The temporary file gets a fresh name, is
    // created exclusively (never through an existing name or link) and readable only by us, and
    // is removed when it goes out of scope.
    QTemporaryFile temp(QDir::temp().filePath(QStringLiteral("dupcheck-cursor-XXXXXX.ani")));
    const QByteArray bytes = resource.readAll();
    // Only a file we have just written completely is read back.
    const bool written = temp.open() && temp.write(bytes) == bytes.size() && temp.flush();
    if (!written)
        return false;
    const auto cursor = AnimatedCursorFile::load(temp.fileName());
    if (!cursor)
        return false;
    ScreenCursor::enter(number, *cursor);
    return true;
}

void ShowWaitCursor() {
    ScreenCursor::set(crWaitAnimated);
}

void ResetCursor() {
    ScreenCursor::set(crDefault);
}
