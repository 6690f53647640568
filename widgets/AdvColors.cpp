#include "widgets/AdvColors.h"

#include <algorithm>
#include <cmath>

namespace {

TColor shifted(TColor color, int steps) {
    const QColor c = Colors::toQColor(color);
    float h = 0, s = 0, l = 0;
    c.getHslF(&h, &s, &l);
    // Work in whole lightness steps so that equal inputs always give equal colours.
    const int lightness = std::clamp(int(std::lround(l * 100.0)) + steps, 0, 100);
    return Colors::fromQColor(QColor::fromHslF(h, s, lightness / 100.0f));
}

} // namespace

namespace AdvColors {

TColor lighter(TColor color, int steps) {
    return shifted(color, std::abs(steps));
}

TColor darker(TColor color, int steps) {
    return shifted(color, -std::abs(steps));
}

} // namespace AdvColors
