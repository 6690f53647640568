// The program's cursor set and the screen-wide wait cursor. The six cursors are program
// resources: three plain cursors and three animated ones, registered under fixed numbers at
// start; the number 0 is the default cursor.
#pragma once

#include <QString>

constexpr int crDefault = 0;
constexpr int crXHand = 17779;
constexpr int crXMagnify = 17780;
constexpr int crXMove = 17782;
constexpr int crWaitAnimated = 17786;
constexpr int crPrintAnimated = 17787;
constexpr int crPdfAnimated = 17788;

// The resource folders of the two kinds of cursor (":/RT_CURSOR/X_HAND", ...).
inline const char *const kCursorResourceType = "RT_CURSOR";
inline const char *const kAnimatedCursorResourceType = "RT_ANICURSOR";

// Enters the six cursors into the screen-wide cursor table. Runs once while the program
// starts, after the application object exists and before any window does.
void RegisterCursors();

// Loads the animated cursor resource of the given name through a private temporary file in the
// system's temporary folder (created exclusively, loaded, deleted in every case) and enters it
// under the number. A file named "Temp.ani" in the current directory is not touched.
// A cursor that cannot be written or read is not entered, so its number shows the default
// cursor. Returns whether the cursor was entered.
bool LoadAnimatedCursor(const QString &resourceName, int number);

// The screen-wide wait cursor (17786) and back to the default cursor. Not counted: one
// ResetCursor ends any number of ShowWaitCursor calls.
void ShowWaitCursor();
void ResetCursor();

// The wait cursor for as long as it lives, the default cursor after it, also when the work in
// between fails.
class TWaitCursorScope {
public:
    TWaitCursorScope() { ShowWaitCursor(); }
    ~TWaitCursorScope() { ResetCursor(); }
    TWaitCursorScope(const TWaitCursorScope &) = delete;
    TWaitCursorScope &operator=(const TWaitCursorScope &) = delete;
};
