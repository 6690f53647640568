#include "platform/FormatSettings.h"

#include <QLocale>

namespace {

FormatSettings fromLocale(const QLocale &locale) {
    FormatSettings s;
    s.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    s.dateSeparator = u'/';
    for (QChar c : s.shortDateFormat) {
        if (c != u'd' && c != u'M' && c != u'y' && c != u'D' && c != u'Y' && c != u'm') {
            s.dateSeparator = c;
            break;
        }
    }
    const QString dp = locale.decimalPoint();
    s.decimalSeparator = dp.isEmpty() ? QChar(u'.') : dp[0];
    const QString gs = locale.groupSeparator();
    s.thousandSeparator = gs.isEmpty() ? QChar(u',') : gs[0];
    return s;
}

// The order of day, month and year in a format, as the letters 'd', 'M', 'y'.
QString fieldOrder(const QString &format) {
    QString order;
    for (QChar c : format) {
        QChar f = c == u'D' ? u'd' : c == u'Y' ? u'y' : c == u'm' ? u'M' : c;
        if ((f == u'd' || f == u'M' || f == u'y') && !order.contains(f))
            order += f;
    }
    return order.size() == 3 ? order : QStringLiteral("Mdy");
}

} // namespace

FormatSettings systemFormatSettings() {
    return fromLocale(QLocale::system());
}

FormatSettings &formatSettings() {
    static FormatSettings settings = systemFormatSettings();
    return settings;
}

void resetFormatSettings() {
    formatSettings() = systemFormatSettings();
}

QString formatDate(const QDate &date) {
    return formatDate(date, formatSettings().shortDateFormat);
}

QString formatDate(const QDate &date, const QString &format) {
    if (!date.isValid())
        return {};
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype n = 1;
        while (i + n < format.size() && format[i + n] == c)
            ++n;
        const QChar f = c == u'D' ? u'd' : c == u'Y' ? u'y' : c == u'm' ? u'M' : c;
        if (f == u'd')
            out += n >= 2 ? QString::asprintf("%02d", date.day()) : QString::number(date.day());
        else if (f == u'M')
            out += n >= 2 ? QString::asprintf("%02d", date.month()) : QString::number(date.month());
        else if (f == u'y')
            out += n <= 2 ? QString::asprintf("%02d", date.year() % 100)
                          : QString::asprintf("%04d", date.year());
        else if (c == u'/')
            out += QString(n, formatSettings().dateSeparator);
        else
            out += QString(n, c);
        i += n;
    }
    return out;
}

std::optional<QDate> parseDate(const QString &text) {
    return parseDate(text, formatSettings().shortDateFormat);
}

std::optional<QDate> parseDate(const QString &text, const QString &format) {
    QList<int> numbers;
    QList<int> widths;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].isDigit()) {
            int value = 0;
            int width = 0;
            while (i < text.size() && text[i].isDigit()) {
                if (width < 9)
                    value = value * 10 + text[i].digitValue();
                ++width;
                ++i;
            }
            numbers << value;
            widths << width;
        } else if (text[i].isSpace() || text[i].isPunct() || text[i] == u'/') {
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (numbers.size() != 3)
        return std::nullopt;
    const QString order = fieldOrder(format);
    int day = 0, month = 0, year = 0, yearWidth = 0;
    for (int k = 0; k < 3; ++k) {
        if (order[k] == u'd')
            day = numbers[k];
        else if (order[k] == u'M')
            month = numbers[k];
        else {
            year = numbers[k];
            yearWidth = widths[k];
        }
    }
    if (yearWidth <= 2) {
        const int thisYear = QDate::currentDate().year();
        int century = (thisYear - 50) / 100 * 100;
        year += century;
        if (year < thisYear - 50)
            year += 100;
    }
    QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString localeLanguageName() {
    const QLocale l = QLocale::system();
    return QStringLiteral("%1 (%2)").arg(l.nativeLanguageName(), l.nativeTerritoryName());
}
