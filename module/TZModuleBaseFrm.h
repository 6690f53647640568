// The module base window: the main window of every add-on module derives from it. It owns the
// database connection and carries the start-up protocol with the module host: when the window
// is shown it posts the start-up message to itself; its handler reads the command line and
// either runs the installation or checks the host's build number, connects to the data path and
// hands over to the concrete window's DatabaseReady.
//
//   created --show--> start-up message posted --HandleStartup--> installation: closing
//                                                           \--> build too low / start failed:
//                                                                closing (WM_CLOSE posted)
//                                                           \--> running, connected
//
// A start that fails shows why (the build message, or the failure's own text in the message
// box) and writes it as one line to standard error; ExitStatus then tells the program's caller
// what happened (module/ExitStatus.h).
#pragma once

#include "module/ExitStatus.h"
#include "platform/ui/TCustomForm.h"

class TDbConnection;
class TDbSettings;
class TFlatHint;

// The private message a module window posts to itself when shown.
constexpr int WM_STARTUP = WM_USER + 500;

// The lowest host build the module runs with.
constexpr int kMinimumHostBuild = 12413;
// The lowest host build the installation's start check asks for.
constexpr int kInstallMinimumBuild = 12340;

class TZModuleBaseFrm : public TForm {
    Q_OBJECT
public:
    explicit TZModuleBaseFrm(QWidget *owner = nullptr);
    ~TZModuleBaseFrm() override;

    TDbSettings *DbSettingsmain;
    TDbConnection *DbConnection;
    TFlatHint *FlatHint1;

    // The window's show handler; posts the start-up message. An override calls this one.
    virtual void FormShow(QObject *sender);
    // The name under which the host's add-on menu lists the module.
    virtual QString ModuleName();
    // Called once the connection is up.
    virtual void DatabaseReady();

    // The handler of the start-up message.
    void HandleStartup(TMessageEvent &message);
    // The normal start; does nothing when run is false.
    void ConnectDatabase(bool run);
    // The installation mode (started with "INSTALL"): the colour scheme copy, then the entry in
    // the host's add-on menu; the window closes in every case.
    void RunInstallation();

    // How the program ends: esOk until the start or the installation fails.
    TExitStatus ExitStatus() const { return m_exitStatus; }

protected:
    void showEvent(QShowEvent *event) override;
    void MessageReceived(TMessageEvent &message) override;

private:
    // Shows a failed start's reason, writes it to standard error and closes the window.
    void StartFailed(const QString &reason);

    TExitStatus m_exitStatus = esOk;
};
