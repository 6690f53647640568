// Automatic actions per document kind (Ident 1511), stored as a component stream whose root
// is a TAutoActionItemsWrapper publishing the collection as "AutoActionItems".
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

enum TAutoAction { aa_none, aa_manual, aa_auto };
enum TAutoMailType { aa_html, aa_pdf, aa_text };

class TAutoActionItem {
public:
    static const QStringList &ActionNames();
    static const QStringList &MailTypeNames();

    TAutoAction PDFFileAfterClose = aa_none;
    TAutoAction PDFFileAfterSave = aa_none;
    TAutoAction WVLAfterSave = aa_none;
    TAutoAction WVLAfterClose = aa_none;
    TAutoAction PrintAfterSendClose = aa_none;
    bool SendAfterPrintClose = false;
    TAutoMailType DefaultMailType = aa_html;
    QString BCC;
    bool SLayout = false;
    bool NextDocByClose = false;

    bool operator==(const TAutoActionItem &) const = default;
};

class TAutoActionItems {
public:
    // The number of document kinds; the loader pads the collection to it.
    static constexpr int KindCount = 14;

    std::vector<TAutoActionItem> Items;
};

class TAutoActionItemsWrapper {
public:
    TAutoActionItems AutoActionItems;

    // Raises EReadError for a damaged stream or one that holds anything else; the items then
    // are left as they were.
    void ReadFromStream(const QByteArray &stream);
    QByteArray WriteToStream() const;
};
