// The loaded settings object as text for a person: one member per line, in the loader's
// reading order, "name: value". Texts stand in double quotes with line breaks and control
// characters escaped (\r, \n, \t, \xNN); lists are one line of such texts; streams show their
// size and their bytes as text, cut after 200 bytes. The format is stable, so that tests and
// scripts may compare it.
#pragma once

#include <QTextStream>

class TSettings;

namespace SettingsDump {

void Write(const TSettings &settings, QTextStream &out);

} // namespace SettingsDump
