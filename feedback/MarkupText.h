// Text-level steps of the markup language that need no fonts: the entities, the "<#" form,
// line ends, the mnemonic ampersands of a text run, and the plain-text reduction used for hints.
#pragma once

#include <QList>
#include <QString>

namespace MarkupText {

// Upper case character by character, so that every index into the result is valid in the
// original text as well (a full case mapping would turn "ß" into two letters).
QString upper(const QString &text);

// The entities that are replaced in the whole text before layout ("&amp;" becomes two
// ampersands, which the mnemonic rule draws as one), without regard to case, repeated until
// none is left.
QString replaceEntities(const QString &text);
// The first "<#" loses its "<" and the first ">" after it is removed.
QString applyHashForm(const QString &text);
// Everything that happens to a text before it is laid out: entities, the "<#" form, each
// carriage return becomes "<BR>" and each line feed is dropped.
QString prepare(const QString &text);
// "&nbsp;", "&lt;" and "&gt;", which are replaced inside a run once it has been cut.
QString replaceRunEntities(const QString &run);

// A run as the platform's mnemonic-prefix rule shows it: a single "&" is not shown and
// underlines the character after it, two ampersands show one.
struct ShownRun {
    QString text;
    QList<int> underlined; // indices into text
};
ShownRun applyMnemonics(const QString &run);

} // namespace MarkupText

// The text without markup: every "<BR>" and "<HR>" (any case) becomes a line break (CR LF),
// then everything from a "<" to the next ">" is removed; a "<" without a ">" after it keeps
// the rest of the text as it is.
QString MarkupToPlainText(const QString &text);
