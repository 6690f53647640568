#include "skins/TSchemeValues.h"

#include "platform/Convert.h"

TSchemeValues::TSchemeValues(const QStringList &lines) {
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = line.left(equals).toCaseFolded();
        if (!m_values.contains(key))
            m_values.insert(key, line.mid(equals + 1));
    }
}

const QString *TSchemeValues::Find(const QString &key) const {
    const auto it = m_values.constFind(key.toCaseFolded());
    return it == m_values.constEnd() ? nullptr : &*it;
}

std::optional<TColor> TSchemeValues::Color(const QString &key) const {
    const QString *value = Find(key);
    return value ? Colors::stringToColor(*value) : std::nullopt;
}

std::optional<int> TSchemeValues::Number(const QString &key) const {
    const QString *value = Find(key);
    if (!value)
        return std::nullopt;
    const int number = Convert::toIntDef(*value, -1);
    if (number == -1)
        return std::nullopt;
    return number;
}
