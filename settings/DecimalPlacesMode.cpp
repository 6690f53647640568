#include "settings/DecimalPlacesMode.h"

namespace {

int g_mode = 0;

} // namespace

int DecimalPlacesMode() {
    return g_mode;
}

void SetDecimalPlacesMode(int mode) {
    g_mode = mode;
}
