// The settings commands of dupcheck-host: show what the module's start loads from a data
// folder's settings table (and KLEVO.INI), and write single rows of that table.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace SettingsCommands {

// "settings DIR": loads the settings as the module's start does and writes every member
// (SettingsDump.h). The loader's messages go to stderr; the exit code is 1 when it showed one.
int show(const QString &folder, QTextStream &out);

// "setting DIR IDENT [--text T] [--memo-file F] [--pack]": writes the first row with that
// Ident, appending it when there is none. --text sets stringItem, --memo-file the bytes of
// MemoItem, packed (zlib) with --pack. Failures throw HostError.
int write(const QString &folder, const QString &ident, const QStringList &options,
          QTextStream &out);

} // namespace SettingsCommands
