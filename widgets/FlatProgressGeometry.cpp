#include "widgets/FlatProgressGeometry.h"

#include <algorithm>

namespace FlatProgressGeometry {

int snappedLength(int length) {
    if (length > 11)
        return BlockStride * ((length - 3) / BlockStride) + 3;
    return 12;
}

int places(int length) {
    return std::max(0, (length - 3) / BlockStride);
}

int filledBlocks(int position, int min, int max, int places) {
    if (places <= 0 || max <= min)
        return 0;
    // The small addend keeps exact multiples from falling a block short through rounding.
    const double perBlock = (double(max) - double(min)) / places;
    const int filled = int((double(position) - double(min)) / perBlock + 0.00000001);
    return std::clamp(filled, 0, places);
}

QRect blockRect(int index, QSize client, bool vertical, bool rightToLeft) {
    const int near = 2 + BlockStride * index;
    if (vertical)
        return QRect(2, client.height() - near - BlockSize, client.width() - 4, BlockSize);
    if (rightToLeft)
        return QRect(client.width() - near - BlockSize, 2, BlockSize, client.height() - 4);
    return QRect(near, 2, BlockSize, client.height() - 4);
}

QRect blocksRect(int first, int last, QSize client, bool vertical, bool rightToLeft) {
    return blockRect(first, client, vertical, rightToLeft)
        .united(blockRect(last, client, vertical, rightToLeft));
}

int smoothLength(int position, int min, int max, int length) {
    if (max <= min)
        return 0;
    // Measured from Min, so that a range that does not start at 0 still ends at the frame.
    const long long done =
        (long long)(length - 4) * ((long long)position - min) / ((long long)max - min);
    return int(std::clamp<long long>(done, 0, std::max(0, length - 4)));
}

QRect smoothRect(int position, int min, int max, QSize client, bool vertical) {
    if (vertical) {
        const int len = smoothLength(position, min, max, client.height());
        return QRect(2, client.height() - 2 - len, client.width() - 4, len);
    }
    const int len = smoothLength(position, min, max, client.width());
    return QRect(2, 2, len, client.height() - 4);
}

} // namespace FlatProgressGeometry
