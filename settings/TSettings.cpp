#include "settings/TSettings.h"

#include "data/DbTable.h"
#include "settings/SettingsCatalogue.h"

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

TSettings::TSettings()
    : AlterCurrency(std::make_unique<TAlterCurrencyInfo>()), VSOBJ(std::make_unique<TVSOBJ>()),
      HTML(std::make_unique<THTML>()),
      UpperLowerPartField(std::make_unique<TUpperLowerPartField>()),
      AutoActions(std::make_unique<TAutoActionItems>()),
      PartsGroups(std::make_unique<TPartsGroup>()),
      AdressExtraDataGrid(std::make_unique<TAdressExtraDataGrid>()),
      UserPrinterDef(std::make_unique<TUserPrinterDef>()) {
    for (int n = 0; n < 10; ++n) {
        AddressSets[size_t(n)].Number1 = quint8(n + 10);
        AddressSets[size_t(n)].Number2 = quint8(n);
    }
    SettingsCatalogue::ResetGroupOne(*this);
    SettingsCatalogue::ResetGroupTwo(*this);
    // Where a new object differs from a loaded one: it matters only for an object that is
    // never loaded.
    for (TDefaultText *captions : {&DocumentCaptions, &AlterCurrency->Captions}) {
        for (TSummenText &set : captions->Sets)
            set.Captions[2] = QStringLiteral("+Steuer: [ST1]%");
    }
    Byte12000 = 0;
    NormalizeKNR(KNR);
    HTML->Number = 2;
}

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

QString WithTrailingDelimiter(const QString &path) {
    if (path.isEmpty() || path.endsWith(u':') || isSeparator(path.back()))
        return path;
    if (path.size() == 1 && path[0].toUpper() >= u'A' && path[0].toUpper() <= u'Z')
        return path + QStringLiteral(":\\");
    return path + u'\\';
}

QString DataPathTagFromPath(const QString &path) {
    QString text = WithTrailingDelimiter(path);
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
