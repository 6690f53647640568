// The drawing half of the renderer: puts on a surface what LayoutMarkup produced, without
// measuring anything again.
#pragma once

#include "feedback/MarkupLayout.h"

class QPainter;

// Paints the layout's items in order. The painter's state is left as it was found.
void PaintMarkup(QPainter &painter, const MarkupLayout &layout);
