#include "settings/SettingsConversions.h"

#include "platform/Convert.h"
#include "platform/FormatSettings.h"

#include <algorithm>
#include <cmath>

namespace SettingsConvert {

qint32 Number(const QString &text, qint32 fallback) {
    return Convert::toIntDef(text, fallback);
}

bool Flag(const QString &text) {
    return (Number(text, 0) & 0xFF) != 0;
}

bool One(const QString &text) {
    return text == QLatin1String("1");
}

QString WithLocaleDecimalSeparator(const QString &text) {
    const QChar separator = formatSettings().decimalSeparator;
    QString out = text;
    for (QChar &c : out) {
        if (c == u'.' || c == u',')
            c = separator;
    }
    return out;
}

std::optional<double> LocaleFloat(const QString &text) {
    const QChar separator = formatSettings().decimalSeparator;
    const QString t = Convert::trim(text);
    if (t.isEmpty())
        return std::nullopt;
    // Only digits, one sign in front, an exponent and the locale's separator make a number:
    // "1.5" is no number where the separator is ",", as the host's own conversion has it.
    QString plain;
    plain.reserve(t.size());
    for (QChar c : t) {
        if (c == separator)
            plain += u'.';
        else if (c == u'.' || c == u',' || c.isSpace())
            return std::nullopt;
        else
            plain += c;
    }
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // QString::toDouble also takes "inf" and "nan"; the texts above are refused by isfinite,
    // but a text like "1e" must not count either: toDouble already refuses it.
    return value;
}

double Float(const QString &text) {
    return LocaleFloat(WithLocaleDecimalSeparator(Convert::trim(text))).value_or(0.0);
}

QDate Date(const QString &text) {
    return parseDate(text).value_or(QDate());
}

QStringList Lines(const QString &text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

void PadLines(QStringList &lines, qsizetype count) {
    while (lines.size() < count)
        lines << QString();
}

void SortLines(QStringList &lines) {
    if (lines.size() > 1)
        std::sort(lines.begin(), lines.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
}

} // namespace SettingsConvert
