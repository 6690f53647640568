// Icon and cursor files (.ico, .cur): the plain cursor resources are such files, and so is every
// frame of an animated cursor. Our own reader, so that a damaged file is refused cleanly
// instead of being half-read by a general image loader.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

struct TIconImage {
    QImage Image; // ARGB32
    QPoint HotSpot;
};

namespace IconFile {

// Decodes the image of the file that best fits a 32 × 32 cursor (the first 32 × 32 entry, else
// the first entry). Images may be bitmaps of 1, 4, 8, 24 or 32 bits per pixel with their mask,
// or PNG. A cursor file gives its hot spot; an icon's hot spot is its centre. Anything damaged
// gives nullopt and, when asked for, the reason in `error`.
std::optional<TIconImage> decode(const QByteArray &data, QString *error = nullptr);

} // namespace IconFile
