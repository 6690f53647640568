#include "settings/TUpperLowerPartField.h"

const std::array<QString, 3> &TUpperLowerPartField::ModeNames() {
    static const std::array<QString, 3> names = {QStringLiteral("Ignorieren"),
                                                 QStringLiteral("Großschreibung"),
                                                 QStringLiteral("Kleinschreibung")};
    return names;
}
