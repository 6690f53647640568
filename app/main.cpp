// The dupcheck program: the module's entry. The module host starts it with the data path, the
// server kind and its build number (or with "INSTALL").
#include "check/TFMain.h"
#include "data/ui/LoginDialog.h"
#include "feedback/Cursors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    Fonts::setup();
    RegisterCursors();
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    InstallLoginDialog();
    int result = 0;
    {
        TFMain mainForm;
        Application::setMainForm(&mainForm);
        mainForm.show();
        result = QApplication::exec();
        Application::setMainForm(nullptr);
    }
    return result;
}
