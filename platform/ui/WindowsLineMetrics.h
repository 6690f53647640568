// Makes a TrueType font measure its lines as the Windows text functions do.
//
// Windows takes a line's ascent and descent from the font's Windows ascent and descent (OS/2
// usWinAscent and usWinDescent) at every size, and ignores both the typographic metrics and the
// line metrics of embedded bitmap strikes. Our text engine honours both, which for the Tahoma of
// fonts-wine is wrong: the font asks for its typographic metrics (ascent 1566 of 2048), and its
// bitmap strikes claim an ascent of 9 pixels at 11 pixels, while "É" stands 11 pixels and "Ä" 10
// pixels above the baseline. Every text placed at the top of its rectangle or centred in it then
// loses the marks of its capitals at the rectangle's top edge. With the Windows ascent and
// descent the marks lie inside the line, and lines are as tall as the windows were designed for
// (13 pixels for 8-point Tahoma).
#pragma once

#include <QByteArray>

namespace WindowsLineMetrics {

// The font file with the typographic-metrics flag cleared and each bitmap strike's horizontal
// ascender and descender set to the Windows ascent and descent at the strike's size (rounded to
// whole pixels), table checksums and the file checksum adjusted. Anything that is not a
// TrueType file with an OS/2 table comes back unchanged.
QByteArray apply(const QByteArray &fontFile);

} // namespace WindowsLineMetrics
