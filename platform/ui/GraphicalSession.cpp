#include "platform/ui/GraphicalSession.h"

#include "platform/StandardError.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

const QString kHowToStart =
    QStringLiteral("Starten Sie dupcheck in einer Desktop-Sitzung (X11 oder Wayland), zum "
                   "Beispiel über den Modul-Host.");

// What the message handler needs while the application object is being created.
struct TStart {
    int ExitStatus = 1;
    QStringList KeptBack;
};
TStart &start() {
    static TStart s;
    return s;
}

void whileStarting(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type != QtFatalMsg) {
        start().KeptBack.append(qFormatLogMessage(type, context, message));
        return;
    }
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    WriteErrorLine(QStringLiteral("Die grafische Sitzung \"%1\" ist nicht erreichbar. %2")
                       .arg(display, kHowToStart));
    std::_Exit(start().ExitStatus);
}

} // namespace

namespace GraphicalSession {

QString missingReason() {
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return {};
    }
    return QStringLiteral("Keine grafische Sitzung: weder DISPLAY noch WAYLAND_DISPLAY ist "
                          "gesetzt. ") +
           kHowToStart;
}

std::unique_ptr<QApplication> createApplication(int &argc, char **argv, int exitStatus) {
    start().ExitStatus = exitStatus;
    const QtMessageHandler previous = qInstallMessageHandler(whileStarting);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString &line : std::as_const(start().KeptBack))
        std::fprintf(stderr, "%s\n", qPrintable(line));
    start().KeptBack.clear();
    return app;
}

} // namespace GraphicalSession
