// Controls whose colour follows their parent's (ParentColor) read it here: our containers and
// windows publish a Color property, which keeps system colour references as they are; any
// other widget only has its palette.
#pragma once

#include "platform/Colors.h"

class QWidget;

namespace ParentColor {

TColor of(const QWidget *parent);

// Shows a container in its own colour: the palette's window role carries it, so that children
// that follow their parent hear of the change. A container that follows its parent instead
// drops its own palette and inherits.
void applyOwn(QWidget *container, TColor color);
void inherit(QWidget *container);

} // namespace ParentColor
