// How the settings loader reports a settings table it cannot read. The loader sits below the
// windows: it hands each message to a handler, which the program sets to its message box
// (settings/ui) and dupcheck-host to its error output. A message is a markup headline, the
// failure's own text (plain, not markup) and a markup tail.
#pragma once

#include <QString>

#include <functional>

using TSettingsMessageHandler =
    std::function<void(const QString &headline, const QString &detail, const QString &tail)>;

// An empty handler restores the default, which writes the message as plain text to stderr.
void SetSettingsMessageHandler(TSettingsMessageHandler handler);
void ShowSettingsMessage(const QString &headline, const QString &detail,
                         const QString &tail = QString());

// The message as plain text for a console: "<BR>" becomes a line break (LF), other markup tags
// are dropped.
QString SettingsMessagePlainText(const QString &headline, const QString &detail,
                                 const QString &tail);
