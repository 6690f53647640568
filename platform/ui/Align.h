// Edge alignment of child controls, as the window descriptions use it: controls aligned to the
// top or bottom take the parent's full width and stack from that edge inwards; left and right
// ones take the height that remains; the client-aligned one fills the rest. The parent
// re-arranges its aligned children whenever it or one of them changes size or visibility.
#pragma once

#include <QWidget>

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Sets the control's alignment and arranges its parent. Controls with the same alignment are
// stacked in the order of their current position (top ones by their top edge, bottom ones
// from the bottom edge up by their bottom edge), ties in creation order.
void SetAlign(QWidget *control, TAlign align);
TAlign GetAlign(const QWidget *control);

// Arranges the aligned children of the parent now.
void ArrangeAligned(QWidget *parent);
