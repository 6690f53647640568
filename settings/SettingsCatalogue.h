// The catalogue of the settings table: every row the loader reads, in reading order, with the
// value its member is reset to before a load and the way it is read. SettingsLoader runs it;
// the constructor of TSettings applies the same resets.
#pragma once

class TSettings;
class TSettingsTableReader;

namespace SettingsCatalogue {

// Group one: the values reset before anything else is done (after the index is selected).
void ResetGroupOne(TSettings &s);
// Group two: every member whose row gives a default, the lists the loader empties, the
// captions and the document types. Touches only the object: the account list and the address
// grid's event are the loader's own steps.
void ResetGroupTwo(TSettings &s);
// Reads every row in order. A row marked silent catches its own failures; any other failure
// leaves this function.
void Read(TSettings &s, TSettingsTableReader &reader);
// The closing steps of every load (the decimal-places mode aside).
void Close(TSettings &s);

} // namespace SettingsCatalogue
