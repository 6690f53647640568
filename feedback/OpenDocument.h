// Opening a link target with its program: the program listed for the target's extension in
// "PLUGINS/OpenFileEx.txt" beside the program, else the one the desktop associates with it;
// web and mail addresses go to the desktop's "open". With the right Ctrl key held down, the
// user may pick the program, which is then remembered in the list.
#pragma once

#include <QString>

#include <optional>

enum OpenDocumentResult {
    odOpened = 0,      // opened, or the user cancelled the program choice
    odShellFailed = 1, // the desktop (or the program) reported a failure, e.g. file not found
    odNoProgram = 2,   // no program is associated with the target
};

// Runs through DocumentShell::Current(), so that tests can replace the desktop.
int OpenDocument(const QString &verb, const QString &target, bool allowChoice);

namespace OpenFileList {

// Whether the target is a web or mail address, which has no program of its own.
bool IsAddress(const QString &target);
// "PLUGINS/OpenFileEx.txt" beside the program.
QString Path();
// The key of a target in the list: its extension in lower case with the dot; empty without.
QString KeyOf(const QString &target);
// The program listed for the key; nullopt when the list has no entry (an unreadable list
// counts as empty).
std::optional<QString> Lookup(const QString &key);
// Enters or replaces the key's program; false when the list cannot be written.
bool Store(const QString &key, const QString &program);

} // namespace OpenFileList
