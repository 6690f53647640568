// Reading the published properties of a stored object from its stream tree: the value of a
// property must have the property's type, and an unknown property makes the stream unreadable,
// as with the host's own reader. Every failure raises EReadError.
#pragma once

#include "settings/ComponentStream.h"

#include <QStringList>

namespace StreamedProperties {

[[noreturn]] void Unknown(const QString &property);
void ExpectClass(const TStreamObject &root, QLatin1String className);
// The properties every component publishes (Name, Tag), which a stored root may carry.
bool IsComponentProperty(const QString &name, const TStreamValue &value);

qint32 Int32(const QString &property, const TStreamValue &value);
QString Text(const QString &property, const TStreamValue &value);
bool Boolean(const QString &property, const TStreamValue &value);
// The position of the value's identifier among names.
int Enumeration(const QString &property, const TStreamValue &value, const QStringList &names);
const std::vector<TStreamItem> &Items(const QString &property, const TStreamValue &value);

} // namespace StreamedProperties
