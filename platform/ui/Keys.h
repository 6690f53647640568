// Virtual key codes: the handlers of the program's windows and controls speak in these numbers
// (Escape is 27, Enter 13), so Qt's key codes are translated once, here.
#pragma once

#include <QtGlobal>

enum VirtualKey : quint16 {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_F1 = 112,
    VK_F2 = 113,
    VK_F12 = 123,
    VK_LCONTROL = 162,
    VK_RCONTROL = 163,
};

// The virtual key code of a Qt key (letters as 'A'..'Z', digits as '0'..'9'); 0 when the key
// has none.
quint16 virtualKeyFromQt(int qtKey);
