#include "module/InstallModule.h"

#include "feedback/Cursors.h"
#include "feedback/TFSB_BOX.h"
#include "module/AddOnMenu.h"
#include "platform/CommandLine.h"
#include "platform/Convert.h"
#include "platform/Exception.h"
#include "platform/StandardError.h"
#include "platform/ui/TCustomForm.h"

QString RequiredVersionName;

namespace {

bool registerInMenu(const QString &moduleName, TCustomForm *window) {
    try {
        const QString program = ParamStr(0);
        AddOnMenu::Register(AddOnMenu::MenuFilePath(program), program, moduleName);
    } catch (const Exception &e) {
        WriteErrorLine(e.message());
        return false;
    } catch (const std::exception &e) {
        WriteErrorLine(QString::fromLocal8Bit(e.what()));
        return false;
    }
    if (window)
        window->PostClose();
    return true;
}

} // namespace

bool InstallModule(const QString &moduleName, const QString &, TCustomForm *window,
                   int minimumBuild) {
    if (ParamStr(1) == QLatin1String("INSTALL") && registerInMenu(moduleName, window))
        return true;
    const TWaitCursorScope wait;
    if (!window)
        return false;
    window->repaint();
    if (ParamStr(1).isEmpty() || ParamStr(2).isEmpty() || ParamStr(3).isEmpty()) {
        ShowMessageBox(QStringLiteral("Starten Sie das Programm über zusätzlich > ") + moduleName);
        window->PostClose();
        return false;
    }
    if (Convert::toIntDef(ParamStr(3), 0) < minimumBuild) {
        ShowMessageBox(QStringLiteral("Das Programm benötigt mindestens ") + RequiredVersionName +
                       QStringLiteral(" , Release ") + QString::number(minimumBuild));
        window->PostClose();
        return false;
    }
    return false;
}
