// The application's screen-wide cursor: a table of cursors by number, and one setting that,
// while it is not 0, makes every window of the application show that cursor whatever its
// controls would show. It is one application-wide override cursor, not a stack: setting it
// twice and resetting once shows the controls' own cursors again. Animated cursors step
// through their frames on a timer while they are shown.
#pragma once

#include "feedback/AnimatedCursorFile.h"

#include <QCursor>

namespace ScreenCursor {

// Enters (or replaces) the cursor shown for a number. Needs the application object.
void enter(int number, const TIconImage &image);
void enter(int number, const TAniCursor &cursor);
bool has(int number);
// Frames of the cursor entered under the number (0 when none).
int frameCount(int number);
// The cursor a number shows now (its first frame); the default arrow for a number without one.
QCursor cursorFor(int number);

// The screen-wide setting; 0 is the default cursor.
void set(int number);
int current();

// The animation's step (index into the shown cursor's steps) and its timer's work: show the
// next step's frame and wait for its display time.
int currentStep();
void advanceAnimation();
bool animating();

} // namespace ScreenCursor
