#include "settings/TAdressExtraDataGrid.h"

#include "settings/ComponentStream.h"
#include "settings/StreamedProperties.h"

void TAdressExCellInfo::Assign(const TAdressExCellInfo &source) {
    if (m_collection)
        m_collection->BeginUpdate();
    Col = source.Col;
    Row = source.Row;
    Gray = source.Gray;
    Readonly = source.Readonly;
    if (m_collection)
        m_collection->EndUpdate();
}

TAdressExCellInfo &TAdressExCellInfos::Add() {
    m_items.emplace_back(this);
    Changed();
    return m_items.back();
}

void TAdressExCellInfos::Clear() {
    if (m_items.empty())
        return;
    m_items.clear();
    Changed();
}

void TAdressExCellInfos::Assign(const TAdressExCellInfos &source) {
    if (&source == this)
        return;
    BeginUpdate();
    m_items.clear();
    for (const TAdressExCellInfo &s : source.m_items)
        Add().Assign(s);
    EndUpdate();
}

void TAdressExCellInfos::EndUpdate() {
    if (--m_updateCount == 0)
        Changed();
}

void TAdressExCellInfos::Changed() {
    if (m_updateCount == 0 && OnChange)
        OnChange();
}

namespace {

const char kWrapperClass[] = "TAdressExCellInfosWrapper";
const char kCollection[] = "AdressExCellInfos";

} // namespace

void TAdressExCellInfosWrapper::ReadFromStream(const QByteArray &stream) {
    const TStreamObject root = ComponentStream::Read(stream);
    StreamedProperties::ExpectClass(root, QLatin1String(kWrapperClass));
    TAdressExCellInfos cells;
    for (const auto &[name, value] : root.properties) {
        if (StreamedProperties::IsComponentProperty(name, value))
            continue;
        if (name.compare(QLatin1String(kCollection), Qt::CaseInsensitive) != 0)
            StreamedProperties::Unknown(name);
        for (const TStreamItem &item : StreamedProperties::Items(name, value)) {
            TAdressExCellInfo &cell = cells.Add();
            for (const auto &[prop, v] : item.properties) {
                if (prop.compare(QLatin1String("Col"), Qt::CaseInsensitive) == 0)
                    cell.Col = StreamedProperties::Int32(prop, v);
                else if (prop.compare(QLatin1String("Row"), Qt::CaseInsensitive) == 0)
                    cell.Row = StreamedProperties::Int32(prop, v);
                else if (prop.compare(QLatin1String("Gray"), Qt::CaseInsensitive) == 0)
                    cell.Gray = StreamedProperties::Text(prop, v);
                else if (prop.compare(QLatin1String("Readonly"), Qt::CaseInsensitive) == 0)
                    cell.Readonly = StreamedProperties::Boolean(prop, v);
                else
                    StreamedProperties::Unknown(prop);
            }
        }
    }
    // Only a stream read to its end reaches the cells.
    AdressExCellInfos.Assign(cells);
}

QByteArray TAdressExCellInfosWrapper::WriteToStream() const {
    TStreamObject root;
    root.className = QLatin1String(kWrapperClass);
    TStreamValue collection;
    collection.type = TValueType::Collection;
    for (qsizetype i = 0; i < AdressExCellInfos.Count(); ++i) {
        const TAdressExCellInfo &cell = AdressExCellInfos.Item(i);
        TStreamItem item;
        if (cell.Col != 0)
            item.properties.emplace_back(QStringLiteral("Col"), TStreamValue::Integer(cell.Col));
        if (cell.Row != 0)
            item.properties.emplace_back(QStringLiteral("Row"), TStreamValue::Integer(cell.Row));
        if (!cell.Gray.isEmpty())
            item.properties.emplace_back(QStringLiteral("Gray"), TStreamValue::Text(cell.Gray));
        if (cell.Readonly)
            item.properties.emplace_back(QStringLiteral("Readonly"), TStreamValue::Boolean(true));
        collection.items.push_back(std::move(item));
    }
    root.properties.emplace_back(QLatin1String(kCollection), std::move(collection));
    return ComponentStream::Write(root);
}
