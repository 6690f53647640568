// The module host's add-on menu file "ZS.MNU": one line per module, the full path of the
// module's program, ";" and the name under which the host's menu lists it. The host builds its
// add-on menu from it; a module enters itself when it is installed.
//
// The file is Windows-1252 text. On reading, a line ends at CR LF, at a lone CR or at a lone LF
// and the text ends at a NUL byte; on writing every line ends with CR LF (platform/TextLines).
// The lines of the other modules are written back byte for byte and in their order, whatever
// bytes they hold.
//
// Registering is safe against crashes and against a second installation at the same moment:
// the file is read and rewritten under an exclusive lock on it, and the new content replaces
// the old file as a whole (platform/AtomicFile), so the host never sees half a menu and no
// module's line is lost.
#pragma once

#include <QString>

namespace AddOnMenu {

// The menu file beside a program: "ZS.MNU" in the program's folder, or a file of that name in
// other letter case when one exists there (the host writes it from a case-insensitive file
// system).
QString MenuFilePath(const QString &programPath);

// Enters the line "<programPath>;<moduleName>" into the menu file: in place of the first line
// whose part after its first ";" (at most 200 characters, trimmed) is the module name exactly,
// else at the end; a missing file is created. Raises EInOutError, with nothing changed, when
// the file cannot be read or written, when a NUL byte in it would cut off the lines after it,
// or when the line cannot be written in Windows-1252.
void Register(const QString &menuPath, const QString &programPath, const QString &moduleName);

} // namespace AddOnMenu
