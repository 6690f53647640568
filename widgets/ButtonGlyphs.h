// The button pictures compiled into the program (widgets/glyphs, drawn by make_glyphs.py).
// Each has a background in the colour of its bottom-left pixel, which the flat button leaves
// transparent.
#pragma once

#include <QImage>
#include <QString>

namespace ButtonGlyphs {

// Names of the pictures: 16 x 16 unless noted.
inline constexpr const char *Check = "check";   // magnifier: run the check
inline constexpr const char *Edit = "edit";     // pencil: change
inline constexpr const char *Delete = "delete"; // red cross: delete
inline constexpr const char *Close7 = "close7"; // 7 x 7 one-bit cross: close a window
inline constexpr const char *Yes = "yes";       // tick
inline constexpr const char *No = "no";         // cross
inline constexpr const char *Accept = "accept"; // tick
inline constexpr const char *Cancel = "cancel"; // cross
inline constexpr const char *Close = "close";   // door: close a message
inline constexpr const char *Help = "help";     // 32 x 16: question mark, normal and disabled

// The picture of that name; a null image for an unknown name.
QImage load(const QString &name);
// The resource path of a picture, for code that wants to load it itself.
QString path(const QString &name);

} // namespace ButtonGlyphs
