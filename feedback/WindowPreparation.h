// What every window of the program runs when it is created: its help context, its placement
// on the right monitor, and the colours of the active colour scheme. The colour scheme code is
// not linked here; it is found by name in the class registry, so a program without it still
// prepares its windows.
#pragma once

class TCustomForm;

// Help context 1; with place, a window that has a border is placed (PlaceWindow without
// force); then the registered class "TColorWrapper", if any, applies the colour scheme through
// its published operation "SetProperties" with the window as its argument.
void PrepareWindow(TCustomForm *window, bool place);

// Places the window on the monitor of the application's active window (or of its main window
// when none is active). A window without a border is left alone unless forced. A window
// centred on the screen is centred once and then keeps its position mode as designed, so that
// a later placement only keeps it inside the screen.
void PlaceWindow(TCustomForm *window, bool force);
