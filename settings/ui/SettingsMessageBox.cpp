#include "settings/ui/SettingsMessageBox.h"

#include "feedback/EscapeMarkup.h"
#include "feedback/TFSB_BOX.h"
#include "settings/SettingsMessages.h"

void UseMessageBoxForSettings() {
    SetSettingsMessageHandler(
        [](const QString &headline, const QString &detail, const QString &tail) {
            ShowMessageBox(headline + EscapeMarkup(detail) + tail);
        });
}
