// Entering the module into the host's add-on menu, with the start check that runs when that is
// not possible.
#pragma once

#include <QString>

class TCustomForm;

// Quoted in the start check's message about the host's build; nothing in this module sets it.
extern QString RequiredVersionName;

// Started with "INSTALL", enters the line "<program path>;<moduleName>" into the menu file
// beside the program (module/AddOnMenu.h), closes the window (when one is given) and returns
// true. Otherwise, and when the menu file cannot be read or written (the reason goes to
// standard error, the user sees no message about the file), runs the start check: with a
// window, a missing argument 1, 2 or 3 gives "Starten Sie das Programm über zusätzlich > " and
// the module name, a host build below minimumBuild gives "Das Programm benötigt mindestens ...";
// either closes the window. Returns false then. The wait cursor shows while the check runs.
// exeName is not used; the program's own path goes into the line.
bool InstallModule(const QString &moduleName, const QString &exeName, TCustomForm *window,
                   int minimumBuild);
