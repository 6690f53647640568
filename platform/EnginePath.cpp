#include "platform/EnginePath.h"

#include "DataPath.h"

#include <QFile>

#include <string_view>

namespace {

std::string_view view(const QByteArray &bytes) {
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

} // namespace

namespace EnginePath {

QByteArray toEngine(const QString &path) {
    return QFile::encodeName(path);
}

QString fromEngine(const QByteArray &path) {
    return QFile::decodeName(path);
}

bool isDictionary(const QString &path) {
    return datapath::isDictionary(view(toEngine(path)));
}

QString tableFolder(const QString &path) {
    const std::string folder = datapath::tableFolder(view(toEngine(path)));
    return fromEngine(QByteArray(folder.data(), qsizetype(folder.size())));
}

} // namespace EnginePath
