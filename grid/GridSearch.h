// The typing search of the data grid: the search text the user builds key by key, and the
// search value that text stands for in a field's type.
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

class TField;

class GridSearch {
public:
    // What a key did to the search.
    enum class Result {
        Ignored, // nothing changed
        Changed, // the text changed: search with it
        Closed,  // the search ended
    };

    // The longest clipboard text taken as a search text.
    static constexpr int MaxPastedLength = 20;

    bool Active() const { return !m_text.isEmpty(); }
    const QString &Text() const { return m_text; }

    // A character typed: the space and every character from "*" (42) on extend the text;
    // Backspace (8) removes its last character and Escape (27) closes the search; everything
    // else below 42 (Enter, Tab, the null character, ...) adds nothing. A text that becomes
    // empty closes the search.
    Result Type(QChar c);
    // The search text becomes the clipboard text, trimmed and cut to MaxPastedLength.
    Result Paste(const QString &clipboard);
    void Close() { m_text.clear(); }

private:
    QString m_text;
};

// The value to search for in the field: texts unchanged; numbers, dates and times only when
// the text is valid for the type; booleans False for "0" or for a text that is no number, True
// for "1" (another number searches nothing). nullopt: the text starts no search.
std::optional<QVariant> SearchValueFor(const TField *field, const QString &text);
