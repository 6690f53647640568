#include "settings/SettingsLoader.h"

#include "data/DbTable.h"
#include "feedback/EscapeMarkup.h"
#include "feedback/TFSB_BOX.h"
#include "platform/Exception.h"
#include "settings/TSettings.h"

bool SelectSettingsIndex(TDbTable *table) {
    try {
        if (table->Filtered())
            table->SetFiltered(false);
        // The engine finds tags regardless of case, so "Ident" selects the tag IDENT; the
        // comparison here is exact on purpose, so the first call after opening always sets it.
        if (table->IndexName() != QLatin1String("Ident"))
            table->SetIndexName(QStringLiteral("Ident"));
        return true;
    } catch (const Exception &e) {
        ShowMessageBox(QStringLiteral("<B>Einstellungen Zugriffsfehler.</B><BR>") +
                       EscapeMarkup(e.message()));
        return false;
    }
}

void Load(TSettings *settings, TDbTable *table) {
    settings->SetTable(table);
    if (!SelectSettingsIndex(table))
        return;
}
