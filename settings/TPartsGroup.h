// Parts groups (Idents 964, 219, 650, 651, 660, 661, 663): groups with a code, a value, a
// position and pricing rule lines, plus the list-wide default code, mode and percentage.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct TPartGroup {
    QString Name;
    QString DisplayName;
    QString Code;
    QString Value;
    qint32 Number = 0;
    QStringList Rules;
};

class TPartsGroup {
public:
    void Clear();
    // Sorted without regard to case by the key of each display name: "#12 Text" sorts as
    // "000012" and is named "Text"; other names are their own key.
    void Sort();

    std::vector<TPartGroup> Groups;
    QString DefaultCode = QStringLiteral("2");
    qint32 Mode = 0;
    qint32 Percentage = 100;
};
