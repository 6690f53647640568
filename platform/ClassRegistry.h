// A registry of classes by name, so that code can create an object of a class it does not
// link against at build time (the window preparation finds the colour-scheme class this way),
// and call one of its published operations by name through Qt's meta-object system.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace ClassRegistry {

using Factory = std::function<QObject *()>;

// Registers (or replaces) a class under its name. Registration usually runs from a static
// initialiser of the class's own file.
void registerClass(const QString &name, Factory factory);
void unregisterClass(const QString &name);
bool isRegistered(const QString &name);
// A new object of the class, owned by the caller; nullptr when the name is not registered.
QObject *create(const QString &name);

// Calls the published (Q_INVOKABLE) operation `method` of `target` with one QObject* argument.
// Returns false when the class has no such operation; exceptions of the operation pass on.
bool invokeWithObject(QObject *target, const char *method, QObject *argument);

} // namespace ClassRegistry
