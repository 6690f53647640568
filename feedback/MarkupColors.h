// Colour values of the markup language: "#RRGGBB" or one of the markup's own colour names
// ("clred", "clbtnface", ...), in any case. The names are a fixed set of their own: colour
// identifiers that the rest of the program knows but the markup does not give black.
#pragma once

#include "platform/Colors.h"

#include <QString>

#include <optional>

namespace MarkupColors {

// A colour name of the markup (any case); nullopt for a name that is not one.
std::optional<TColor> byName(const QString &name);
// The hexadecimal digits after the first "#" as red, green, blue; digits are read up to the
// first character that is not one, a value without digits is 0.
TColor fromHex(const QString &value);
// A colour value of a tag: "#" and hexadecimal digits, or a colour name; anything else is
// black.
TColor parse(const QString &value);
// The BODY tag's reading: a value containing "#" is hexadecimal, else one containing "CL" is a
// name; nullopt when it has neither.
std::optional<TColor> parseBody(const QString &value);

} // namespace MarkupColors
