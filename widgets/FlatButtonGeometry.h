// The arithmetic of a flat button's face, apart from painting so that it can be checked
// without a screen: where glyph and caption stand, which image of the glyph strip is shown in
// which state, where the shortcut label goes, and the button's rounded outline.
#pragma once

#include "widgets/TFlatButton.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

namespace FlatButtonGeometry {

struct Placement {
    QPoint glyph;  // top-left corner of the glyph image
    QRect caption; // the rectangle the caption is centred in
};

// Places glyph (size of one image; empty for none) and caption (its single-line size; empty
// for none) in a client area. margin -1 centres both together; spacing -1 spreads them evenly.
// offset moves both (one pixel right and down while pressed or latched).
Placement place(QSize client, QSize glyph, QSize caption, TFlatButton::TButtonLayout layout,
                int margin, int spacing, QPoint offset = {});

struct GlyphChoice {
    int index = 0;             // zero-based image in the strip
    bool drawDisabled = false; // draw the single image embossed, as for a disabled button
};
GlyphChoice chooseGlyph(int numGlyphs, TFlatButton::TButtonState state);

// The size of one image of a strip of numGlyphs images side by side.
QSize imageSize(QSize strip, int numGlyphs);
// The NumGlyphs that a newly assigned strip implies, or 0 when it implies none.
int impliedNumGlyphs(QSize strip);

// The rectangle the shortcut label is centred in.
QRect shortcutLabelRect(QSize client, TFlatButton::TButtonLayout layout);

// The outline a button with rounded corners is clipped to (corner width and height round).
QRegion roundedOutline(QSize size, int round);

// The offset of the face's content in a paint state.
QPoint contentOffset(TFlatButton::TButtonState state);

} // namespace FlatButtonGeometry
