// Text-to-number conversions with the rules of the host's data: an optional sign, decimal
// digits, or hexadecimal after a leading "$" (or "0x"); surrounding blanks are allowed,
// anything else makes the text no number.
#pragma once

#include <QString>

#include <optional>

namespace Convert {

std::optional<qint32> toInt(const QString &text);
std::optional<qint64> toInt64(const QString &text);
inline qint32 toIntDef(const QString &text, qint32 fallback) {
    return toInt(text).value_or(fallback);
}

// Removes blanks and control characters (everything up to U+0020) at both ends.
QString trim(const QString &text);
QString trimRight(const QString &text);
QString trimLeft(const QString &text);

} // namespace Convert
