// The mail template and its layout values (Idents 14500, 14501).
#pragma once

#include <QStringList>

#include <array>

class THTML {
public:
    QStringList Template;
    double Factor1 = 0;
    double Factor2 = 0;
    std::array<bool, 3> Switches{};
    qint32 Number = 2;
};
