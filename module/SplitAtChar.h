// Splits a text at the first occurrence of a separator: left is everything before it, right at
// most 200 characters after it with blanks and control characters removed at both ends. A text
// without the separator sets neither result; both keep what they held.
#pragma once

#include <QString>

void SplitAtChar(const QString &text, QChar separator, QString &left, QString &right);
