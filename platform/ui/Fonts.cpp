#include "platform/ui/Fonts.h"

#include "platform/ui/WindowsLineMetrics.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

#include <cmath>

namespace {
bool g_setUp = false;
bool g_tahoma = false;

const char *const kWineFontDirs[] = {"/usr/share/wine/fonts", "/usr/lib/wine/fonts"};
} // namespace

namespace Fonts {

void setup() {
    if (g_setUp || !QGuiApplication::instance())
        return;
    g_setUp = true;
    for (const char *dir : kWineFontDirs) {
        // Only the regular face: the bold file of that package carries regular-weight
        // letters, spaced wider. Bold text is emboldened from the regular face instead.
        // Measured as Windows measures it, so that the marks of capitals lie inside the line.
        QFile file(QString::fromLatin1(dir) + QStringLiteral("/tahoma.ttf"));
        if (file.open(QIODevice::ReadOnly) && QFontDatabase::addApplicationFontFromData(
                                                  WindowsLineMetrics::apply(file.readAll())) >= 0)
            g_tahoma = true;
        if (g_tahoma)
            break;
    }
    const QString fallback = QStringLiteral("DejaVu Sans");
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {fallback});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Tahoma"), fallback});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), fallback});
    QFont::insertSubstitutions(QStringLiteral("Symbol"), {fallback});
}

bool tahomaAvailable() {
    return g_tahoma;
}

QFont make(const QString &family, int height, bool bold, bool italic, bool underline,
           bool strikeOut) {
    QFont f(family == QLatin1String("MS Sans Serif") && g_tahoma ? QStringLiteral("Tahoma")
                                                                 : family);
    f.setPixelSize(std::max(1, std::abs(height)));
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    // Hinting as the designs were measured: whole pixels, no fractional advances.
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

int pointsToPixels(int points) {
    return int(std::lround(points * 96.0 / 72.0));
}

QFont fromPoints(const QString &family, int points, bool bold) {
    return make(family, -pointsToPixels(points), bold);
}

} // namespace Fonts
