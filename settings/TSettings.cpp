#include "settings/TSettings.h"

#include "data/DbTable.h"

#include <memory>

namespace {

std::unique_ptr<TSettings> &instance() {
    static std::unique_ptr<TSettings> settings;
    return settings;
}

QString &dataPathTagVariable() {
    static QString tag;
    return tag;
}

bool isSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

// Characters that cannot stand in a tag. Capital umlauts, "ß", "%", "'" and "^" are allowed.
const QString kForbidden = QStringLiteral("?äüö#+*~!\"§$&()[]{?}:;,=+<>|\"[] \\./");

} // namespace

TSettings::TSettings() = default;
TSettings::~TSettings() = default;

TDbTable *TSettings::Table() const {
    return m_table.data();
}

void TSettings::SetTable(TDbTable *table) {
    m_table = table;
}

void TSettings::SetConnectPath(const QString &path) {
    m_connectPath = path;
    m_dataPathTag = DataPathTagFromPath(path);
    dataPathTagVariable() = m_dataPathTag;
}

TSettings *Settings() {
    if (!instance())
        instance() = std::make_unique<TSettings>();
    return instance().get();
}

QString DataPathTag() {
    return dataPathTagVariable();
}

QString DataPathTagFromPath(const QString &path) {
    QString text = path;
    // A trailing delimiter: a drive letter alone becomes its root.
    if (!text.isEmpty() && !text.endsWith(u':') && !isSeparator(text.back())) {
        if (text.size() == 1 && text[0].toUpper() >= u'A' && text[0].toUpper() <= u'Z')
            text += QStringLiteral(":\\");
        else
            text += u'\\';
    }
    text.chop(1);
    qsizetype cut = -1;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (isSeparator(text[i])) {
            cut = i;
            break;
        }
    }
    text = text.mid(cut + 1).left(30);
    for (QChar &c : text) {
        if (kForbidden.contains(c))
            c = u'_';
    }
    return text;
}
