// Windows-1252 is the only 8-bit text encoding the program meets: in the engine's C interface
// and in the text files of the module host. Every conversion between it and QString goes
// through here, with the program's one table (the engine's Windows1252.h): each of the 256
// bytes reads as a character of its own and is written back as the same byte.
#pragma once

#include <QByteArray>
#include <QString>

namespace Cp1252 {

QString toQString(const char *bytes, qsizetype length = -1);
inline QString toQString(const QByteArray &bytes) {
    return toQString(bytes.constData(), bytes.size());
}
// Characters without a Windows-1252 code become '?'.
QByteArray fromQString(const QString &text);

QChar toQChar(unsigned char byte);
// '?' when the character has no Windows-1252 code.
char fromQChar(QChar c);
bool isRepresentable(QChar c);

// The position of the first character of text that Windows-1252 has no code for (one that
// fromQChar would turn into '?'), -1 when every character has one.
qsizetype firstWithoutCode(const QString &text);
// The character at index named for a message: "das Zeichen „Ł“ (U+0141)", or for one that
// cannot be seen "das nicht druckbare Zeichen (U+FEFF)"; a surrogate pair is one character.
QString describeCharacter(const QString &text, qsizetype index);

// Files of other programs are UTF-8. These convert between UTF-8 bytes and Windows-1252
// bytes directly, for data files of a million lines.

// Appends the UTF-8 of Windows-1252 bytes.
void appendUtf8(QByteArray &out, const char *bytes, qsizetype length);

// What stands in the way of storing UTF-8 text exactly as Windows-1252.
struct Utf8Problem {
    enum Kind { None, NotUtf8, NoCode };
    Kind kind = None;
    qsizetype offset = 0;   // of the first byte concerned
    char32_t character = 0; // NoCode: the character
    unsigned char byte = 0; // NotUtf8: the first byte that is not UTF-8
};
// Converts UTF-8 to Windows-1252 into out (reusing its storage) when every character has a
// code there; otherwise answers the first problem, and out holds nothing. Nothing is ever
// substituted.
Utf8Problem fromUtf8Exactly(QByteArrayView utf8, QByteArray &out);

} // namespace Cp1252
