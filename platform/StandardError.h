// The program's only diagnostic output besides its windows: one line on standard error,
// "<program file name>: <text>", for a start or an installation that failed, so that whoever
// started the program (the module host, a script, a terminal) learns why.
#pragma once

#include <QString>

// Line breaks inside the text become blanks, so that the text stays one line.
void WriteErrorLine(const QString &text);
