// The process-wide account list: the built-in accounts (three constant tables: 25 revenue,
// 50 expense and 50 balance accounts) with the changes the settings table makes to them
// (Ident 16012).
#pragma once

#include <QString>

#include <array>
#include <vector>

struct TDIKonto {
    qint32 Number = 0;
    QString Name;
    bool Active = false;
    std::array<QString, 3> Numbers; // up to four digits each, empty for 0
    quint8 Mode = 0;                // 0 to 3
    quint8 Kind = 0;                // 0 or 1
    quint8 Options = 0;             // bits 1 and 2
};

class TDIKontoStack {
public:
    TDIKontoStack();

    // Back to the built-in accounts.
    void Rebuild();
    // The account with that number, or nullptr.
    TDIKonto *Find(qint32 number);
    // Applies one stored line "number;name;switch;n1;n2;n3;mode;kind;options"; a number that
    // is not in the list skips the line.
    void ApplyLine(const QString &line);

    std::vector<TDIKonto> Accounts;
};

// The one account list, created on first use.
TDIKontoStack *KontoStack();
