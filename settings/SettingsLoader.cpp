#include "settings/SettingsLoader.h"

#include "data/DbTable.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "settings/DecimalPlacesMode.h"
#include "settings/SettingsCatalogue.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsTableReader.h"
#include "settings/TDIKontoStack.h"
#include "settings/TSettings.h"
#include "settings/WorkstationSettings.h"

namespace {

QString &workstationFolderOverride() {
    static QString folder;
    return folder;
}

// Gives the decimal-places mode back however the load ends.
class DecimalPlacesModeSaver {
public:
    DecimalPlacesModeSaver() : m_saved(DecimalPlacesMode()) { SetDecimalPlacesMode(0); }
    ~DecimalPlacesModeSaver() { SetDecimalPlacesMode(m_saved); }
    DecimalPlacesModeSaver(const DecimalPlacesModeSaver &) = delete;
    DecimalPlacesModeSaver &operator=(const DecimalPlacesModeSaver &) = delete;

private:
    int m_saved;
};

void showDatabaseFailure(const QString &text) {
    ShowSettingsMessage(QStringLiteral("<B>Möglicher Fehler in der Datenbank:<BR></B>"), text,
                        QStringLiteral("<BR>Führen Sie das Datenbankdienstprogramm aus."));
}

} // namespace

bool SelectSettingsIndex(TDbTable *table) {
    try {
        if (table->Filtered())
            table->SetFiltered(false);
        // The engine finds tags regardless of case, so "Ident" selects the tag IDENT; the
        // comparison here is exact on purpose, so the first call after opening always sets it.
        if (table->IndexName() != QLatin1String("Ident"))
            table->SetIndexName(QStringLiteral("Ident"));
        return true;
    } catch (const std::exception &e) {
        const auto *ours = dynamic_cast<const Exception *>(&e);
        ShowSettingsMessage(QStringLiteral("<B>Einstellungen Zugriffsfehler.</B><BR>"),
                            ours ? ours->message() : QString::fromLocal8Bit(e.what()));
        return false;
    }
}

void Load(TSettings *settings, TDbTable *table) {
    TSettings &s = *settings;
    s.SetTable(table);
    if (!SelectSettingsIndex(table))
        return;
    SettingsCatalogue::ResetGroupOne(s);
    {
        DecimalPlacesModeSaver mode;
        try {
            // The grid hears of the reload while it still holds its lists.
            if (s.AdressExtraDataGrid->OnBeforeReload)
                s.AdressExtraDataGrid->OnBeforeReload(nullptr);
            SettingsCatalogue::ResetGroupTwo(s);
            KontoStack()->Rebuild();
            TSettingsTableReader reader(table);
            SettingsCatalogue::Read(s, reader);
            try {
                ReadWorkstationSettings(
                    *s.UserPrinterDef,
                    Paths::join(WorkstationSettingsFolder(), QStringLiteral("KLEVO.INI")));
            } catch (const std::exception &) {
                // The workstation file is optional: a failure keeps its later keys' defaults.
            }
        } catch (const Exception &e) {
            showDatabaseFailure(e.message());
        } catch (const std::exception &e) {
            showDatabaseFailure(QString::fromLocal8Bit(e.what()));
        }
    }
    SettingsCatalogue::Close(s);
}

QString WorkstationSettingsFolder() {
    const QString &folder = workstationFolderOverride();
    return folder.isEmpty() ? Paths::programDir() : folder;
}

void SetWorkstationSettingsFolder(const QString &folder) {
    workstationFolderOverride() = folder;
}
