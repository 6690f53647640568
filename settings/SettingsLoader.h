// The settings loader: fills the settings object from the host's settings table and the
// workstation settings file KLEVO.INI, in this order:
//   1. remember the table; select the settings index (on failure: stop, nothing changes)
//   2. reset group one
//   3. save the decimal-places mode and set it to 0
//   4. reset group two; rebuild the account list; the address grid's before-reload event
//   5. read the table's rows (SettingsCatalogue.cpp, in reading order)
//   6. read KLEVO.INI (WorkstationSettings.h); any failure there ends this step silently
//   7. always: restore the decimal-places mode, then the closing steps of the lists
// A failure in steps 4 to 6 that a row does not catch itself is shown as "Möglicher Fehler in
// der Datenbank" and ends the reading; the values read until then stay.
#pragma once

#include <QString>

class TDbTable;
class TSettings;

// Switches the table's filter off and makes "Ident" its index. False after a failure, which it
// has shown ("Einstellungen Zugriffsfehler").
bool SelectSettingsIndex(TDbTable *table);

// Fills settings from the open settings table.
void Load(TSettings *settings, TDbTable *table);

// The folder KLEVO.INI is read from: the program's folder unless a test or a tool has set
// another one (an empty folder restores the program's).
QString WorkstationSettingsFolder();
void SetWorkstationSettingsFolder(const QString &folder);
