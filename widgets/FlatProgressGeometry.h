// The arithmetic of the flat progress bar, apart from painting so that it can be checked
// without a screen: blocks of 8 pixels with 1 pixel between them, inside a one-pixel frame.
#pragma once

#include <QRect>
#include <QSize>

namespace FlatProgressGeometry {

constexpr int BlockSize = 8;
constexpr int BlockStride = 9;

// The length the bar takes so that it holds whole blocks.
int snappedLength(int length);
// How many blocks fit into a client length.
int places(int length);
// How many blocks show a position, at most places.
int filledBlocks(int position, int min, int max, int places);
// Block index (0 is the first to be filled) in a client area. Horizontal bars fill from the
// left, or from the right when rightToLeft; vertical bars fill from the bottom up.
QRect blockRect(int index, QSize client, bool vertical, bool rightToLeft);
// The rectangle covering blocks first .. last (inclusive).
QRect blocksRect(int first, int last, QSize client, bool vertical, bool rightToLeft);
// The length of the continuous bar of a smooth progress bar.
int smoothLength(int position, int min, int max, int length);
QRect smoothRect(int position, int min, int max, QSize client, bool vertical);

} // namespace FlatProgressGeometry
