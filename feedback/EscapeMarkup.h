// Texts that do not come from the program itself (an exception's message, an engine error,
// a file name) are shown inside markup, e.g. "<B>Fehler:</B><BR>" followed by the error text.
// Appended as they are, their "<", ">" and "&" would be read as markup: a lone "<" cuts the
// rest of the message off, an "&" underlines the next letter. EscapeMarkup turns such a text
// into markup that shows exactly the text; its line ends become line breaks.
#pragma once

#include <QString>

QString EscapeMarkup(const QString &text);
