// deletion_runner DIR: "Überprüfen" and then "Alle doppelten löschen" on the data folder, with
// the question answered yes, as a user of the module does it. The deletion tests start it as
// a second user at the same time as a first, and kill it at random moments. Its messages go to
// standard error; it ends with 1 when it showed one.
#include "CheckSession.h"

#include "platform/Exception.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("Aufruf: deletion_runner DIR\n", stderr);
        return 2;
    }
    const char *step = "Öffnen";
    try {
        CheckSession session(QString::fromLocal8Bit(argv[1]));
        step = "Prüfen";
        session.check().check();
        step = "Löschen";
        session.deleteDuplicates();
        for (const QString &message : session.messages)
            std::fprintf(stderr, "%s\n", message.toUtf8().constData());
        return session.messages.isEmpty() ? 0 : 1;
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s: %s\n", step, e.message().toUtf8().constData());
        return 1;
    }
}
