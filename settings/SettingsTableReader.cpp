#include "settings/SettingsTableReader.h"

#include "data/DbTable.h"
#include "data/Field.h"
#include "settings/SettingsConversions.h"

namespace {

const QString kStringItem = QStringLiteral("StringItem");
const QString kMemoItem = QStringLiteral("MemoItem");

} // namespace

bool TSettingsTableReader::Seek(int ident) {
    return m_table->SeekKey(QString::number(ident), true);
}

std::optional<QString> TSettingsTableReader::Text(int ident) {
    if (!Seek(ident))
        return std::nullopt;
    return m_table->FieldByName(kStringItem)->AsString();
}

std::optional<QString> TSettingsTableReader::Memo(int ident) {
    if (!Seek(ident))
        return std::nullopt;
    return m_table->FieldByName(kMemoItem)->AsString();
}

std::optional<QStringList> TSettingsTableReader::Lines(int ident) {
    if (auto memo = Memo(ident))
        return SettingsConvert::Lines(*memo);
    return std::nullopt;
}

std::optional<QByteArray> TSettingsTableReader::Bytes(int ident) {
    if (!Seek(ident))
        return std::nullopt;
    return m_table->FieldByName(kMemoItem)->AsBytes();
}

bool TSettingsTableReader::ReadText(int ident, const QString &fallback, QString &text) {
    const auto found = Text(ident);
    text = found.value_or(fallback);
    return found.has_value();
}

bool TSettingsTableReader::ReadLines(int ident, QStringList &list, bool clearWhenMissing) {
    const auto found = Lines(ident);
    if (found)
        list = *found;
    else if (clearWhenMissing)
        list.clear();
    return found.has_value();
}

double TSettingsTableReader::ReadFloat() {
    return SettingsConvert::Float(m_table->FieldByName(kStringItem)->AsString());
}
