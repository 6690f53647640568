// Reading the attributes of a markup tag. Every number an attribute gives is read here and kept
// within what a label can show, so that the sums of positions and sizes that the layout and the
// painter build from them cannot overflow, whatever a text asks for.
#pragma once

#include <QString>

#include <optional>

namespace MarkupAttributes {

// What a number stands for, and so how far it may go.
enum class Quantity {
    Distance,   // pixels: IND X, P INDENT, IMG WIDTH and HEIGHT; 0 to 10000
    FontPoints, // FONT SIZE; 0 to 300 (0 keeps the size in force)
    Angle,      // R A, degrees; -360 to 360
};
int minimum(Quantity quantity);
int maximum(Quantity quantity);

// The text between the next two double quotes at or after `from`; nullopt without a pair, and
// for a negative `from` (the attribute's name was not found).
std::optional<QString> quotedAfter(const QString &tag, qsizetype from);

// The digits from `from` up to the first character that is not one, 0 without any; a minus sign
// at `from` makes the number negative when `sign` is set. Limited to the quantity's range.
int leadingNumber(const QString &text, qsizetype from, Quantity quantity, bool sign = false);

// The text (blanks around it removed) as a whole number with an optional sign, limited to the
// quantity's range; nullopt when it is not a whole number.
std::optional<int> wholeNumber(const QString &text, Quantity quantity);

} // namespace MarkupAttributes
