// The process-wide decimal-places mode of the framework's amount display. The settings loader
// sets it to 0 while it reads and gives the old mode back when it is done, also after a failure.
#pragma once

int DecimalPlacesMode();
void SetDecimalPlacesMode(int mode);
