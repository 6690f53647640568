// The settings table at the module's start, around the loader (SettingsLoader.h):
//   1. OpenSettingsTable: the table component, bound to the connection, is opened
//   2. the loader runs
//   3. ReadIdent1Text: the row with Ident 1 gives the Ident 1 text
// The settings never stop the start: a table that lacks the index tag the component names
// opens in its table order, so that the loader's index selection reports it (one
// "Einstellungen Zugriffsfehler" message) and the module goes on; the Ident 1 text then stays
// empty. Every other failure to open the table is raised as before.
#pragma once

class TDbTable;
class TSettings;

void OpenSettingsTable(TDbTable *table);
void ReadIdent1Text(TSettings *settings, TDbTable *table);
