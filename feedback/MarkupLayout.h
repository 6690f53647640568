// Laying out a markup text: the measuring half of the renderer. It turns a text and a
// rectangle into lines, widths, heights, link areas, the plain text and, when asked to draw,
// the list of things the painter puts on the surface. It needs fonts but no surface, so it
// runs the same with and without a screen.
#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>
#include <variant>

class TImageList;
class TPictureContainer;
class TPictureCache;

// The two labels read a few tags differently (lists, paragraph gradients, pictures, narrow
// runs); the layout follows the label it works for.
enum class MarkupHost { MarkupLabel, Sbhtm };

// Where the pictures of a TMarkupLabel come from; the message label has only shell icons.
struct MarkupPictureSources {
    TImageList *images = nullptr;
    TPictureContainer *container = nullptr;
    TPictureCache *cache = nullptr;
};

struct MarkupRequest {
    QString text;
    QRect rect;                      // the layout rectangle
    bool draw = true;                // false: measure only (all lines, nothing to paint)
    std::optional<QPoint> testPoint; // a point to test against the links
    bool wordWrap = true;
    QFont font; // the label's font
    TColor fontColor = clWindowText;
    TColor backgroundColor = clBtnFace; // the colour the label fills its area with
    TColor linkColor = clBlue;
    bool hover = false;
    int hoverLink = 0; // the number of the link under the mouse, 0 for none
    TColor hoverColor = clNone;
    TColor hoverFontColor = clNone;
    TColor shadowColor = clGray;
    int shadowOffset = 2;
    MarkupHost host = MarkupHost::MarkupLabel;
    MarkupPictureSources pictures;
    qreal dpi = 96.0;   // the surface's resolution, for point sizes and pictures
    bool elide = false; // runs that overflow the rectangle end in an ellipsis when drawn
};

// Things to paint, in painting order.
struct MarkupFill {
    QRect rect;
    TColor color;
};
struct MarkupGradient {
    QRect rect;
    TColor from;
    TColor to;
};
struct MarkupTile {
    QRect rect;
    QPixmap picture;
};
struct MarkupRunItem {
    QString text;          // as shown (entities replaced, mnemonics applied)
    QList<int> underlined; // mnemonic underlines, indices into text
    QFont font;
    TColor color = clBlack;
    TColor background = clNone;
    int x = 0;
    int bottom = 0; // the text cell's bottom edge
    int right = 0;  // the end of the box the run is drawn in (the rectangle's right)
    int width = 0;
    int height = 0;
    qreal angle = 0; // rotation in degrees, counter-clockwise
    bool shadow = false;
    TColor shadowColor = clGray;
    int shadowOffset = 2;
    bool errorMark = false;
    bool elide = false;
    bool visible = true; // the message label leaves runs in too narrow a room undrawn
};
struct MarkupPictureItem {
    QRect rect;
    QPixmap picture;
};
struct MarkupRule {
    int x1;
    int x2;
    int y;
};
using MarkupItem = std::variant<MarkupFill, MarkupGradient, MarkupTile, MarkupRunItem,
                                MarkupPictureItem, MarkupRule>;

struct MarkupLine {
    int top = 0;
    int height = 0; // including the subscript and superscript extras
    int x = 0;      // where the line starts
    int width = 0;  // without the blank at the end of its last run
    QString text;   // what the line shows
};

struct MarkupLinkArea {
    int number = 0;
    QString target;
    QRect rect;
};

struct MarkupLayout {
    int textHeight = 0; // the sum of the line heights; one "gh" line for an empty text
    int maxWidth = 0;   // the widest line
    QList<MarkupLine> lines;
    QList<MarkupLinkArea> links; // one area per run or picture inside a link
    bool linkHit = false;
    QString hitTarget;
    int hitNumber = 0;
    QString plainText;       // the runs, and a carriage return for each line break tag
    QList<MarkupItem> items; // empty when only measuring
};

MarkupLayout LayoutMarkup(const MarkupRequest &request);
