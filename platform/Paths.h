// Path handling for texts that may come from the Windows world: input paths may use "\" or
// "/" as separators; every path we produce uses "/".
#pragma once

#include <QString>

namespace Paths {

// Every "\" becomes "/".
QString normalize(const QString &path);
bool isDelimiter(QChar c);
// The path with one trailing "/" (an empty path stays empty).
QString includeTrailingDelimiter(const QString &path);
// The path without trailing separators, unless it is the root "/".
QString excludeTrailingDelimiter(const QString &path);
// The part up to and including the last separator ("" when there is none).
QString extractFilePath(const QString &path);
// The part after the last separator.
QString extractFileName(const QString &path);
// The folder and the name joined with exactly one "/".
QString join(const QString &folder, const QString &name);

// The host names its files on a case-insensitive file system ("ZS.MNU", "KLEVO.INI" may lie
// here as "zs.mnu", "Klevo.ini"): the path with each part that does not exist under its exact
// name replaced by an existing one that differs only in letter case (the letters of
// Windows-1252), part by part; parts that match nothing stay as given. Normalised: "/" as the
// separator, no trailing one. The engine finds its table files by the same rule.
QString findIgnoringCase(const QString &path);

// The running program: its full path, its folder (with a trailing "/") and its file name.
QString programPath();
QString programDir();
QString programFileName();
// Tests and tools may pretend to be another program; an empty path restores the real one.
void overrideProgramPath(const QString &path);

} // namespace Paths
