// The process-wide format settings: short date format, date separator and decimal separator.
// They start from the system locale and may be changed while the program runs (the engine
// settings component switches the date format to the one the data uses).
//
// Date formats use the letters d, M and y (dd.MM.yyyy); a "/" in a format stands for the
// current date separator.
#pragma once

#include <QDate>
#include <QString>

#include <optional>

struct FormatSettings {
    QString shortDateFormat;
    QChar dateSeparator;
    QChar decimalSeparator;
    QChar thousandSeparator;
};

// The one instance; initialised from the system locale on first use.
FormatSettings &formatSettings();
// Back to the system locale's values.
void resetFormatSettings();
// The system locale's values, without touching the process-wide ones.
FormatSettings systemFormatSettings();

QString formatDate(const QDate &date);
QString formatDate(const QDate &date, const QString &format);
// Reads a date in the order of the short date format; numbers may be separated by any
// non-digit. Two-digit years fall within 50 years around today. nullopt when not a date.
std::optional<QDate> parseDate(const QString &text);
std::optional<QDate> parseDate(const QString &text, const QString &format);

// The locale's language as the host writes it (for example "Deutsch (Deutschland)").
QString localeLanguageName();
