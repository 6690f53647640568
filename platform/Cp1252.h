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

} // namespace Cp1252
