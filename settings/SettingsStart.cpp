#include "settings/SettingsStart.h"

#include "data/DbEngineError.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "dbeng.h"
#include "settings/TSettings.h"

void OpenSettingsTable(TDbTable *table) {
    try {
        table->Open();
    } catch (const EDbEngineError &e) {
        if (e.EngineError() != DBE_INDEX_NOT_FOUND || table->IndexName().isEmpty())
            throw;
        table->SetIndexName(QString());
        table->Open();
    }
}

void ReadIdent1Text(TSettings *settings, TDbTable *table) {
    // Without an index no row can be sought: the text stays as it is.
    if (table->IndexName().isEmpty() && table->IndexFieldNames().isEmpty())
        return;
    if (table->SeekKey(QStringLiteral("1"), true))
        settings->SetIdent1Text(table->FieldByName(QStringLiteral("stringItem"))->AsString());
}
