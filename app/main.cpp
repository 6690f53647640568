// The dupcheck program: the module's entry. The module host starts it with the data path, the
// server kind and its build number (or with "INSTALL"). Its exit status says how it ended
// (module/ExitStatus.h).
#include "check/TFMain.h"
#include "data/ui/LoginDialog.h"
#include "feedback/Cursors.h"
#include "feedback/WindowPreparation.h"
#include "module/ExitStatus.h"
#include "platform/StandardError.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/GraphicalSession.h"

#include <QApplication>

int main(int argc, char **argv) {
    if (const QString reason = GraphicalSession::missingReason(); !reason.isEmpty()) {
        WriteErrorLine(reason);
        return esNoDisplay;
    }
    const auto app = GraphicalSession::createApplication(argc, argv, esNoDisplay);
    Fonts::setup();
    RegisterCursors();
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    Application::setWindowPreparation(PrepareWindow);
    InstallLoginDialog();
    int result = 0;
    {
        TFMain mainForm;
        Application::setMainForm(&mainForm);
        mainForm.show();
        result = QApplication::exec();
        Application::setMainForm(nullptr);
        if (result == 0)
            result = mainForm.ExitStatus();
    }
    return result;
}
