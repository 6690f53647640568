// Frames of the panels: a rectangle's edges drawn in a top-left and a bottom-right colour,
// the rectangle then shrunk by the frame's width, as the panels nest bevel, border and bevel.
#pragma once

#include "widgets/TPanel.h"

#include <QColor>
#include <QRect>

class QPainter;

namespace PanelPainting {

void frame(QPainter &p, QRect &rect, const QColor &topLeft, const QColor &bottomRight, int width);
// A raised bevel is light at the top left, a lowered one dark there; a space bevel is blank
// in the face colour.
void bevel(QPainter &p, QRect &rect, TPanel::TBevelCut cut, int width, const QColor &face);
// The width of everything that frames a panel's contents.
int frameWidth(TPanel::TBevelCut outer, TPanel::TBevelCut inner, int bevelWidth, int borderWidth);

} // namespace PanelPainting
