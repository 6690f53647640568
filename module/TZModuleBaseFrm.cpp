#include "module/TZModuleBaseFrm.h"

#include "data/DbConnection.h"
#include "data/DbEngineError.h"
#include "data/DbSettings.h"
#include "feedback/EscapeMarkup.h"
#include "feedback/TFSB_BOX.h"
#include "module/InstallModule.h"
#include "platform/CommandLine.h"
#include "platform/Convert.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/StandardError.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "skins/ColorSchemeFiles.h"
#include "widgets/TFlatHint.h"

#include <QShowEvent>

TZModuleBaseFrm::TZModuleBaseFrm(QWidget *owner) : TForm(owner) {
    DbSettingsmain = new TDbSettings(this);
    DbSettingsmain->setObjectName(QStringLiteral("DbSettingsmain"));
    DbSettingsmain->SetDateFormat(QStringLiteral("DD.MM.YYYY"));
    DbSettingsmain->SetNumDecimals(2);
    DbSettingsmain->SetSetLocaleDate(true);
    DbSettingsmain->SetShowDeleted(true);
    DbSettingsmain->SetDbServerTypes(TDbServerTypes{stDB_REMOTE} | TDbServerTypes{stDB_LOCAL} |
                                     TDbServerTypes{stDB_INTERNET});
    DbSettingsmain->SetNumCachedTables(0);
    DbSettingsmain->SetNumCachedCursors(25);

    DbConnection = new TDbConnection(this);
    DbConnection->setObjectName(QStringLiteral("DbConnection"));
    DbConnection->SetIsConnected(false);
    DbConnection->SetDbServerTypes(TDbServerTypes{stDB_LOCAL});
    DbConnection->SetLoginPrompt(true);
    DbConnection->SetCompression(ccDbCompressionNotSet);

    FlatHint1 = new TFlatHint(this);
    FlatHint1->setObjectName(QStringLiteral("FlatHint1"));
    FlatHint1->SetColorBorder(rgbColor(128, 128, 255));
    FlatHint1->SetColorArrowBackground(rgbColor(128, 128, 255));
    FlatHint1->SetColorArrow(clWhite);
    FlatHint1->SetMaxHintWidth(600);
    FlatHint1->SetFont(Fonts::make(QStringLiteral("Tahoma"), -11));
}

TZModuleBaseFrm::~TZModuleBaseFrm() = default;

void TZModuleBaseFrm::FormShow(QObject *) {
    PostMessage(this, WM_STARTUP);
}

QString TZModuleBaseFrm::ModuleName() {
    return {};
}

void TZModuleBaseFrm::DatabaseReady() {}

void TZModuleBaseFrm::showEvent(QShowEvent *event) {
    TForm::showEvent(event);
    // Shown by the program, not restored from a minimised state by the window manager.
    if (!event->spontaneous())
        guarded([&] { FormShow(this); });
}

void TZModuleBaseFrm::MessageReceived(TMessageEvent &message) {
    if (message.Msg == WM_STARTUP)
        HandleStartup(message);
}

void TZModuleBaseFrm::HandleStartup(TMessageEvent &) {
    if (ParamStr(1) == QLatin1String("INSTALL"))
        RunInstallation();
    else
        ConnectDatabase(true);
}

namespace {

// The text of whatever was thrown; empty for an abort, which has said all there is to say.
QString failureText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort &) {
        return {};
    } catch (const Exception &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler");
    }
}

// The reason a start failed. A cancelled login is the user's own choice; the data layer's text
// for it names a component and is English, so the user is told in words of the program.
QString startFailureText(std::exception_ptr error, const QString &dataPath) {
    try {
        std::rethrow_exception(error);
    } catch (const EDbLoginCancelled &) {
        return QStringLiteral(
                   "Die Anmeldung an der Datenbank wurde abgebrochen (Datenpfad \"%1\").")
            .arg(dataPath);
    } catch (...) {
        return failureText(error);
    }
}

} // namespace

void TZModuleBaseFrm::RunInstallation() {
    QString name;
    try {
        name = ModuleName();
        if (name.isEmpty())
            throw Exception(QStringLiteral("Application Name missing."));
        ColorSchemeFiles::InstallSchemeCopy({}, {});
        if (!InstallModule(name, Paths::programFileName(), this, kInstallMinimumBuild)) {
            m_exitStatus = esNotInstalled;
            PostClose();
        }
    } catch (...) {
        m_exitStatus = esNotInstalled;
        const QString text = failureText(std::current_exception());
        WriteErrorLine(name + QStringLiteral(": Installation fehlgeschlagen: ") + text);
        // The window closes whatever happens while the message is shown.
        guarded([&] {
            ShowMessageBox(name + QStringLiteral(": Installation fehlgeschlagen: Fehler: ") +
                           EscapeMarkup(text));
        });
        PostClose();
    }
}

void TZModuleBaseFrm::StartFailed(const QString &reason) {
    WriteErrorLine(reason);
    ShowMessageBox(QStringLiteral("<B>Das Modul kann nicht starten:</B><BR>") +
                   EscapeMarkup(reason));
}

void TZModuleBaseFrm::ConnectDatabase(bool run) {
    if (!run)
        return;
    try {
        if (Convert::toIntDef(ParamStr(3), 0) < kMinimumHostBuild) {
            m_exitStatus = esHostTooOld;
            WriteErrorLine(QStringLiteral("Es wird mindestens die Version 5 benötigt (Build %1 "
                                          "oder höher, angegeben: \"%2\").")
                               .arg(kMinimumHostBuild)
                               .arg(ParamStr(3)));
            ShowMessageBox(QStringLiteral("Es wird <b>mindestens die Version 5</b> benötigt."));
            Abort();
        }
        const QString dataPath = ParamStr(1);
        const QString serverKind = ParamStr(2);
        DbConnection->SetIsConnected(false);
        DbConnection->SetDbServerTypes(serverKind == QLatin1String("1")
                                           ? TDbServerTypes{stDB_LOCAL}
                                           : TDbServerTypes{stDB_REMOTE});
        DbConnection->SetConnectPath(dataPath);
        DbConnection->SetIsConnected(true);
        if (DbConnection->IsConnected())
            DatabaseReady();
    } catch (...) {
        if (m_exitStatus == esOk)
            m_exitStatus = esStartFailed;
        const QString reason = startFailureText(std::current_exception(), ParamStr(1));
        // The window closes whatever happens while the reason is shown.
        if (!reason.isEmpty())
            guarded([&] { StartFailed(reason); });
        PostClose();
    }
}
