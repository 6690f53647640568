#include "settings/StreamedProperties.h"

#include <limits>

namespace StreamedProperties {

namespace {

[[noreturn]] void WrongType(const QString &property) {
    throw EReadError(QStringLiteral("Ungültiger Wert für die Eigenschaft %1").arg(property));
}

} // namespace

void Unknown(const QString &property) {
    throw EReadError(QStringLiteral("Unbekannte Eigenschaft %1").arg(property));
}

void ExpectClass(const TStreamObject &root, QLatin1String className) {
    if (root.className.compare(className, Qt::CaseInsensitive) != 0)
        throw EReadError(QStringLiteral("Der Komponentenstrom enthält %1 statt %2")
                             .arg(root.className, className));
}

bool IsComponentProperty(const QString &name, const TStreamValue &value) {
    if (name.compare(QLatin1String("Tag"), Qt::CaseInsensitive) == 0) {
        Int32(name, value);
        return true;
    }
    if (name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
        Text(name, value);
        return true;
    }
    return false;
}

qint32 Int32(const QString &property, const TStreamValue &value) {
    if (!value.IsInteger() || value.integer < std::numeric_limits<qint32>::min() ||
        value.integer > std::numeric_limits<qint32>::max())
        WrongType(property);
    return qint32(value.integer);
}

QString Text(const QString &property, const TStreamValue &value) {
    if (!value.IsText())
        WrongType(property);
    return value.text;
}

bool Boolean(const QString &property, const TStreamValue &value) {
    if (!value.IsBoolean())
        WrongType(property);
    return value.type == TValueType::True;
}

int Enumeration(const QString &property, const TStreamValue &value, const QStringList &names) {
    if (value.type != TValueType::Ident)
        WrongType(property);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names[i].compare(value.text, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    WrongType(property);
}

const std::vector<TStreamItem> &Items(const QString &property, const TStreamValue &value) {
    if (value.type != TValueType::Collection)
        WrongType(property);
    return value.items;
}

} // namespace StreamedProperties
