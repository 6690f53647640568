// Font set-up. The windows are designed for Tahoma and "MS Sans Serif"; Debian's fonts-wine
// ships a Tahoma outside fontconfig's path, which we load ourselves. "MS Sans Serif" is drawn
// with that Tahoma, "Arial" with Liberation Sans, and DejaVu Sans is the last fallback.
#pragma once

#include <QFont>
#include <QString>

namespace Fonts {

// Loads the fonts and installs the substitutions; safe to call more than once. Needs the
// application object.
void setup();
// Whether the Tahoma of fonts-wine was found.
bool tahomaAvailable();

// A font as the window descriptions give it: a negative height is a pixel size; a positive
// height is taken as a pixel size too (the cell height the designs use is close enough).
QFont make(const QString &family, int height, bool bold = false, bool italic = false,
           bool underline = false, bool strikeOut = false);
// A size in points at 96 dots per inch (8 points is 11 pixels).
QFont fromPoints(const QString &family, int points, bool bold = false);
int pointsToPixels(int points);

} // namespace Fonts
