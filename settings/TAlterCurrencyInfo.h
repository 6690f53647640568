// The second-currency display: options, exchange rate, label, and captions of its own for the
// 13 document kinds and the headers.
#pragma once

#include "settings/SettingsRecords.h"

class TAlterCurrencyInfo {
public:
    quint8 Option1 = 0;
    quint8 Option2 = 0;
    double Rate = 0;
    QString Label;
    TDefaultText Captions;
    qint32 Enabled = 0;
};
