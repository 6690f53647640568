// TColorWrapper gives a window the colours and the few layout values of the module's colour
// scheme copy ("<program file name>.SKM" beside the program). The window preparation does not
// link this layer: it finds the class by its name "TColorWrapper" in the class registry, where
// this file registers it when the program starts, and calls its published operation
// SetProperties with the window.
//
// SetProperties walks the window and, depth-first in creation order, every object it owns. A
// component whose class name is one of the class table's (TColorWrapper.cpp; exact names, with
// case, except the rows for any descendant of TCustomForm and of ToxPopupMenu) gets every
// property of its row that the scheme gives a valid value: first under the component key
// "<window>.<component>|<property key>", else under the row's class key
// ("TFlatButton_Color", "Form_Color", ...). A window's own colour is "<window>|Color". Values are
// set by property name through the Qt property system, so a class that does not publish a
// property is skipped. Nothing is kept between calls, and no failure is ever reported: an
// error while one component is changed ends the walk over its remaining siblings and their
// components, the levels above go on.
//
// A scheme whose first line is "DEBUGOUTPUT" also writes the names of the window's components
// (the window's name with ".", then every named component in the walk's order; the toolkit's
// own inner parts, named "qt_...", are left out) to "DEBUGSKIN/<window>-DEBUG.DAT" beside the
// program, so that a scheme author can learn the keys.
#pragma once

#include <QObject>

class TColorWrapper : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TColorWrapper(QObject *parent = nullptr);

    // Uses no state of the instance.
    Q_INVOKABLE void SetProperties(QObject *component);
};
