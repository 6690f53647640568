// How a path crosses the engine's 8-bit interface from the Qt side: as the file system's own
// bytes (QFile::encodeName, the UTF-8 of its characters here), never as Windows-1252 like field
// texts, so that every folder a user can name opens. The rules for data paths themselves (the
// dictionary test, the folder of a dictionary's tables) are the engine's (DataPath.h); these
// give them QStrings. See "Paths" at the top of dbeng.h.
#pragma once

#include <QByteArray>
#include <QString>

namespace EnginePath {

QByteArray toEngine(const QString &path);
QString fromEngine(const QByteArray &path);

// A connect path with ".DIC" anywhere in it, in any letter case: a dictionary connection.
bool isDictionary(const QString &path);
// The folder a connection's tables are opened from: the folder of a dictionary file, else the
// path itself; with "/" as separators.
QString tableFolder(const QString &path);

} // namespace EnginePath
