#include "platform/ClassRegistry.h"

#include <QHash>
#include <QMetaMethod>

namespace {
QHash<QString, ClassRegistry::Factory> &registry() {
    static QHash<QString, ClassRegistry::Factory> classes;
    return classes;
}
} // namespace

namespace ClassRegistry {

void registerClass(const QString &name, Factory factory) {
    registry()[name] = std::move(factory);
}

void unregisterClass(const QString &name) {
    registry().remove(name);
}

bool isRegistered(const QString &name) {
    return registry().contains(name);
}

QObject *create(const QString &name) {
    auto it = registry().constFind(name);
    if (it == registry().constEnd() || !*it)
        return nullptr;
    return (*it)();
}

bool invokeWithObject(QObject *target, const char *method, QObject *argument) {
    if (!target)
        return false;
    const QMetaObject *meta = target->metaObject();
    const QByteArray signature = QByteArray(method) + "(QObject*)";
    const int index = meta->indexOfMethod(signature.constData());
    if (index < 0)
        return false;
    // A direct call, so that an exception thrown by the operation reaches our caller.
    return meta->method(index).invoke(target, Qt::DirectConnection, Q_ARG(QObject *, argument));
}

} // namespace ClassRegistry
