// Whether the program has a graphical session to show its windows in. Without one, the
// toolkit ends the program with its own crash message and an abort (status 134); the program
// instead writes one line that says what is missing and how to start it (platform/
// StandardError.h), and ends with a status of its own.
#pragma once

#include <QString>

#include <memory>

class QApplication;

namespace GraphicalSession {

// The text to report when no display is named: neither DISPLAY nor WAYLAND_DISPLAY is set, and
// no platform is chosen with QT_QPA_PLATFORM. Empty when one is. Needs no application object.
QString missingReason();

// Creates the application object. When the display that is named cannot be reached, writes the
// line naming it and ends the process with exitStatus. The toolkit's own messages while it
// starts are kept back and passed on once it has started.
std::unique_ptr<QApplication> createApplication(int &argc, char **argv, int exitStatus);

} // namespace GraphicalSession
