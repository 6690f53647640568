#include "settings/SettingsMessages.h"

#include <QRegularExpression>

#include <cstdio>

namespace {

TSettingsMessageHandler &handler() {
    static TSettingsMessageHandler h;
    return h;
}

QString plainMarkup(QString markup) {
    markup.replace(
        QRegularExpression(QStringLiteral("<br>"), QRegularExpression::CaseInsensitiveOption),
        QStringLiteral("\n"));
    markup.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return markup;
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
