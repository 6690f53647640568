// The settings loader: fills the settings object from the host's settings table. This first
// version selects the settings index and remembers the table; the catalogue of single settings
// comes with the settings store.
#pragma once

class TDbTable;
class TSettings;

// Switches the table's filter off and makes "Ident" its index. False after a failure, which it
// has shown ("Einstellungen Zugriffsfehler").
bool SelectSettingsIndex(TDbTable *table);

// Fills settings from the open settings table.
void Load(TSettings *settings, TDbTable *table);
