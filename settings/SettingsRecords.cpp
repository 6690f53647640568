#include "settings/SettingsRecords.h"

#include "platform/Convert.h"
#include "settings/SettingsConversions.h"

namespace {

QString numberWithoutLeadingZeros(const QString &text) {
    const qint32 n = SettingsConvert::Number(text, 0);
    return n == 0 ? QString() : QString::number(n);
}

} // namespace

void NormalizeKNR(TKNR &k) {
    QString mask;
    for (QChar c : k.ZeroMask.left(10)) {
        if (c == u'0')
            mask += c;
    }
    k.ZeroMask = mask.isEmpty() ? QStringLiteral("0") : mask;
    k.Prefix = Convert::trim(k.Prefix).left(10);
    k.Suffix = Convert::trim(k.Suffix).left(10);
    k.Suffix = k.Suffix.left(qMax<qsizetype>(0, 20 - k.ZeroMask.size() - k.Prefix.size()));
    const QString start = numberWithoutLeadingZeros(k.Start);
    k.Start = numberWithoutLeadingZeros(start.right(k.ZeroMask.size()));
}
