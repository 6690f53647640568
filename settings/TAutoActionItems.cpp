#include "settings/TAutoActionItems.h"

#include "settings/ComponentStream.h"
#include "settings/StreamedProperties.h"

const QStringList &TAutoActionItem::ActionNames() {
    static const QStringList names = {QStringLiteral("aa_none"), QStringLiteral("aa_manual"),
                                      QStringLiteral("aa_auto")};
    return names;
}

const QStringList &TAutoActionItem::MailTypeNames() {
    static const QStringList names = {QStringLiteral("aa_html"), QStringLiteral("aa_pdf"),
                                      QStringLiteral("aa_text")};
    return names;
}

namespace {

const char kWrapperClass[] = "TAutoActionItemsWrapper";
const char kCollection[] = "AutoActionItems";

struct ActionProperty {
    const char *name;
    TAutoAction TAutoActionItem::*member;
};

const ActionProperty kActions[] = {
    {"PDFFileAfterClose", &TAutoActionItem::PDFFileAfterClose},
    {"PDFFileAfterSave", &TAutoActionItem::PDFFileAfterSave},
    {"WVLAfterSave", &TAutoActionItem::WVLAfterSave},
    {"WVLAfterClose", &TAutoActionItem::WVLAfterClose},
    {"PrintAfterSendClose", &TAutoActionItem::PrintAfterSendClose},
};

struct BoolProperty {
    const char *name;
    bool TAutoActionItem::*member;
};

const BoolProperty kSwitches[] = {
    {"SendAfterPrintClose", &TAutoActionItem::SendAfterPrintClose},
    {"SLayout", &TAutoActionItem::SLayout},
    {"NextDocByClose", &TAutoActionItem::NextDocByClose},
};

bool is(const QString &name, const char *property) {
    return name.compare(QLatin1String(property), Qt::CaseInsensitive) == 0;
}

void readProperty(TAutoActionItem &item, const QString &name, const TStreamValue &v) {
    using namespace StreamedProperties;
    for (const ActionProperty &p : kActions) {
        if (is(name, p.name)) {
            item.*p.member = TAutoAction(Enumeration(name, v, TAutoActionItem::ActionNames()));
            return;
        }
    }
    for (const BoolProperty &p : kSwitches) {
        if (is(name, p.name)) {
            item.*p.member = Boolean(name, v);
            return;
        }
    }
    if (is(name, "DefaultMailType"))
        item.DefaultMailType =
            TAutoMailType(Enumeration(name, v, TAutoActionItem::MailTypeNames()));
    else if (is(name, "BCC"))
        item.BCC = Text(name, v);
    else
        Unknown(name);
}

} // namespace

void TAutoActionItemsWrapper::ReadFromStream(const QByteArray &stream) {
    const TStreamObject root = ComponentStream::Read(stream);
    StreamedProperties::ExpectClass(root, QLatin1String(kWrapperClass));
    std::vector<TAutoActionItem> items;
    for (const auto &[name, value] : root.properties) {
        if (StreamedProperties::IsComponentProperty(name, value))
            continue;
        if (!is(name, kCollection))
            StreamedProperties::Unknown(name);
        for (const TStreamItem &streamed : StreamedProperties::Items(name, value)) {
            TAutoActionItem item;
            for (const auto &[prop, v] : streamed.properties)
                readProperty(item, prop, v);
            items.push_back(std::move(item));
        }
    }
    AutoActionItems.Items = std::move(items);
}

QByteArray TAutoActionItemsWrapper::WriteToStream() const {
    const TAutoActionItem defaults;
    TStreamObject root;
    root.className = QLatin1String(kWrapperClass);
    TStreamValue collection;
    collection.type = TValueType::Collection;
    for (const TAutoActionItem &item : AutoActionItems.Items) {
        TStreamItem streamed;
        auto &props = streamed.properties;
        for (const ActionProperty &p : kActions) {
            if (item.*p.member != defaults.*p.member)
                props.emplace_back(
                    QLatin1String(p.name),
                    TStreamValue::Identifier(TAutoActionItem::ActionNames()[item.*p.member]));
        }
        if (item.SendAfterPrintClose)
            props.emplace_back(QStringLiteral("SendAfterPrintClose"), TStreamValue::Boolean(true));
        if (item.DefaultMailType != defaults.DefaultMailType)
            props.emplace_back(
                QStringLiteral("DefaultMailType"),
                TStreamValue::Identifier(TAutoActionItem::MailTypeNames()[item.DefaultMailType]));
        if (!item.BCC.isEmpty())
            props.emplace_back(QStringLiteral("BCC"), TStreamValue::Text(item.BCC));
        if (item.SLayout)
            props.emplace_back(QStringLiteral("SLayout"), TStreamValue::Boolean(true));
        if (item.NextDocByClose)
            props.emplace_back(QStringLiteral("NextDocByClose"), TStreamValue::Boolean(true));
        collection.items.push_back(std::move(streamed));
    }
    root.properties.emplace_back(QLatin1String(kCollection), std::move(collection));
    return ComponentStream::Write(root);
}
