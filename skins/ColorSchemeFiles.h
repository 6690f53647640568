// The host's colour scheme files. A scheme folder (by default the program's folder) holds any
// number of schemes "COLORSHEMA_<name>.DAT" and "SHEMA.INI", whose key VALUE in section
// ASHEMA names the active one. Installing the module copies the active scheme to
// "<program file name>.SKM" beside the program; at run time the module reads only that copy.
//
// The host writes these files on a case-insensitive file system, so every one of them is found
// here without regard to letter case ("colorshema_blau.dat" is the scheme Blau). The copy is
// written as "<program file name>.SKM", or under the name of an existing copy in other letter
// case, which it then replaces.
#pragma once

#include <QString>
#include <QStringList>

namespace ColorSchemeFiles {

// Entry 0 of every scheme list: no colour scheme.
inline const QString NoScheme = QStringLiteral("Kein Farbschema");

// Appends "Kein Farbschema" and then the names of the scheme files in the folder (empty: the
// program's folder), sorted by file name: a file's name without its first 11 and its last 4
// characters ("COLORSHEMA_Blau.DAT" gives "Blau", "COLORSHEMA.DAT" the empty name). Only
// files are listed. A folder that cannot be read ends the list silently after entry 0.
void ListSchemes(const QString &folder, QStringList &list);

// The position in the list of the scheme that "SHEMA.INI" in the folder names, compared
// without regard to case; 0 ("Kein Farbschema") when the file or the key is missing or the
// name is not in the list. A "SHEMA.INI" that cannot be read raises EInOutError.
int ActiveSchemeIndex(const QStringList &list, const QString &folder);

// The module's copy in the folder (empty: the program's folder): an existing
// "<program file name>.SKM" in any letter case, else that name as written.
QString SchemeCopyPath(const QString &folder = QString());

// Copies the active scheme of the scheme folder to the copy in the target folder (each empty:
// the program's folder), creating the target folder with its parents. Nothing happens when no
// scheme is active or its file is missing, so an older copy stays. The copy replaces the old
// one as a whole or not at all. Reports nothing, whatever happens; returns whether a copy was
// written.
bool InstallSchemeCopy(const QString &schemeFolder, const QString &targetFolder);

} // namespace ColorSchemeFiles
