// Creates a folder together with every missing folder above it.
#pragma once

#include <QString>

// An empty path raises EInOutError "Das Verzeichnis kann nicht erstellt werden". Trailing
// separators are ignored. A path that exists as a folder, or that is its own parent (the root),
// needs nothing; otherwise its parent is made the same way first. Returns whether the folder
// exists afterwards (false when a part of the path cannot be created, for example because a
// file of that name is in the way).
bool ForceDirectories(const QString &path);
