// Step 6 of the settings loader: the workstation settings file KLEVO.INI into TUserPrinterDef.
#pragma once

#include <QString>

class TUserPrinterDef;

// Resets the workstation values, then reads the file's keys in order. A missing file or key
// gives the default. Raises for a file that cannot be read and for an invalid colour text;
// the keys after it then keep their defaults.
void ReadWorkstationSettings(TUserPrinterDef &def, const QString &fileName);
