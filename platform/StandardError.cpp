#include "platform/StandardError.h"

#include "platform/Paths.h"

#include <cstdio>

void WriteErrorLine(const QString &text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    const QByteArray bytes =
        (Paths::programFileName() + QStringLiteral(": ") + line + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}
