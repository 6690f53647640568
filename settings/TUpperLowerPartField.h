// Letter case of three article text parts (Ident 666) and one flag.
#pragma once

#include <QString>

#include <array>

class TUpperLowerPartField {
public:
    // The names of the letter-case modes 0, 1 and 2.
    static const std::array<QString, 3> &ModeNames();

    bool Flag = false;
    std::array<quint8, 3> Modes{};
};
