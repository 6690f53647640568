// The entries of a loaded colour scheme: lines "key=value", looked up by key without regard to
// case, the first line with the key counting; lines without "=" are no entries. A value is the
// text after the first "=" to the end of the line, not trimmed, and is only used when it is
// valid for what it sets:
//  - a colour: a colour identifier (clBtnFace, in any case) or a text that converts completely
//    to a whole number (decimal, or hexadecimal after "$");
//  - a number: a whole number other than -1 (so -1 can never be set).
#pragma once

#include "platform/Colors.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class TSchemeValues {
public:
    explicit TSchemeValues(const QStringList &lines);

    std::optional<TColor> Color(const QString &key) const;
    std::optional<int> Number(const QString &key) const;

private:
    const QString *Find(const QString &key) const;

    QHash<QString, QString> m_values; // by case-folded key, the first line's value
};
