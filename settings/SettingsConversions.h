// The conversions every setting is read with. A row of the settings table names one of them;
// the loader never parses a stored text in any other way.
//
//   text       the column's text as the field gives it
//   number(d)  a whole number (optional sign, "$" for hexadecimal); d when it is no number
//   flag       number(0) kept in one byte; on when that byte is not 0
//   one        on exactly when the text is "1"
//   float      trimmed, "." and "," read as the decimal separator; 0 when it is no number
//   date       the locale's short date format; no date (an invalid QDate) when it fails
//   lines      CR LF, CR or LF end a line; a line end at the very end adds no empty line
//   stream     the memo's bytes (PackedStream.h unpacks the packed ones)
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace SettingsConvert {

qint32 Number(const QString &text, qint32 fallback);
bool Flag(const QString &text);
bool One(const QString &text);
double Float(const QString &text);
QDate Date(const QString &text);
QStringList Lines(const QString &text);

// "." and "," (everywhere) replaced by the locale's decimal separator.
QString WithLocaleDecimalSeparator(const QString &text);
// A floating-point text written with the locale's decimal separator (and only that one);
// nullopt when it is no number.
std::optional<double> LocaleFloat(const QString &text);

// The list padded with empty entries to at least count entries.
void PadLines(QStringList &lines, qsizetype count);
// The list sorted in place, ascending, without regard to case (when it has more than one entry).
void SortLines(QStringList &lines);

} // namespace SettingsConvert
