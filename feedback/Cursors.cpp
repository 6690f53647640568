#include "feedback/Cursors.h"

#include "feedback/AnimatedCursorFile.h"
#include "feedback/IconFile.h"
#include "feedback/ScreenCursor.h"

#include <QDir>
#include <QFile>

// The cursor resources live in this static library; nothing else refers to them, so the
// linker would drop them unless they are initialised by name.
static void initCursorResources() {
    Q_INIT_RESOURCE(cursors);
}

namespace {

const char kTempFileName[] = "Temp.ani";

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
    const QString tempPath = QDir::current().absoluteFilePath(QLatin1String(kTempFileName));
    bool entered = false;
    {
        // Only a file we have just written completely is read back: when writing fails, a file
        // of that name left by someone else must not become our cursor.
        QFile temp(tempPath);
        const QByteArray bytes = resource.readAll();
        const bool written = temp.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                             temp.write(bytes) == bytes.size() && temp.flush();
        temp.close();
        if (written) {
            if (auto cursor = AnimatedCursorFile::load(tempPath)) {
                ScreenCursor::enter(number, *cursor);
                entered = true;
            }
        }
    }
    QFile::remove(tempPath);
    return entered;
}

void ShowWaitCursor() {
    ScreenCursor::set(crWaitAnimated);
}

void ResetCursor() {
    ScreenCursor::set(crDefault);
}
