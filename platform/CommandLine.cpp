#include "platform/CommandLine.h"

#include "platform/Paths.h"

#include <QCoreApplication>

#include <optional>

namespace {
std::optional<QStringList> &overridden() {
    static std::optional<QStringList> args;
    return args;
}

QStringList arguments() {
    if (overridden())
        return *overridden();
    if (!QCoreApplication::instance())
        return {};
    return QCoreApplication::arguments().mid(1);
}
} // namespace

int ParamCount() {
    return int(arguments().size());
}

QString ParamStr(int index) {
    if (index == 0)
        return Paths::programPath();
    const QStringList args = arguments();
    return index > 0 && index <= args.size() ? args[index - 1] : QString();
}

void SetCommandLineArguments(const QStringList &arguments) {
    overridden() = arguments;
}

void ResetCommandLineArguments() {
    overridden().reset();
}
