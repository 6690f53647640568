// The markup renderer: every message, question and status text of the program is drawn by it.
// Laying out (MarkupLayout.h) and painting (MarkupPainter.h) are separate steps; this is the
// one call that does both, as the labels need it.
#pragma once

#include "feedback/MarkupLayout.h"

class QPainter;

// Lays the text out in the request's rectangle and, when the request asks to draw and a
// painter is given, paints it. Every call starts again from the request's font: nothing
// carries over from one text to the next. The painter's state is left as it was found.
MarkupLayout RenderMarkup(QPainter *painter, const MarkupRequest &request);
