// The program's command line as the module host passes it: ParamStr(0) is the program's own
// path, ParamStr(1..) the arguments; an absent argument reads as the empty text.
#pragma once

#include <QString>
#include <QStringList>

int ParamCount();
QString ParamStr(int index);
// Replaces the arguments (index 1 onwards) that ParamStr reports, for tests and tools; an
// empty optional restores the process's own.
void SetCommandLineArguments(const QStringList &arguments);
void ResetCommandLineArguments();
