// The colour model behind UseAdvColors: a colour made lighter or darker by whole steps of
// lightness on a scale of 100, keeping its hue and saturation. System colour references are
// resolved first; the result is always an RGB colour.
#pragma once

#include "platform/Colors.h"

namespace AdvColors {

TColor lighter(TColor color, int steps);
TColor darker(TColor color, int steps);

} // namespace AdvColors
