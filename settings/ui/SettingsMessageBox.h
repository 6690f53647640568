// Shows the settings loader's messages in the program's message box (the text escaped into
// the markup headline). The program calls this once before it loads the settings.
#pragma once

void UseMessageBoxForSettings();
