#include "settings/SettingsMessages.h"

#include "feedback/MarkupText.h"

#include <cstdio>

namespace {

TSettingsMessageHandler &handler() {
    static TSettingsMessageHandler h;
    return h;
}

// Our own headlines hold only tags and line breaks; a console wants LF alone.
QString plainMarkup(const QString &markup) {
    return MarkupToPlainText(markup).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

void SetSettingsMessageHandler(TSettingsMessageHandler h) {
    handler() = std::move(h);
}

QString SettingsMessagePlainText(const QString &headline, const QString &detail,
                                 const QString &tail) {
    return plainMarkup(headline) + detail + plainMarkup(tail);
}

void ShowSettingsMessage(const QString &headline, const QString &detail, const QString &tail) {
    if (handler()) {
        handler()(headline, detail, tail);
        return;
    }
    fprintf(stderr, "%s\n",
            SettingsMessagePlainText(headline, detail, tail).toLocal8Bit().constData());
}
