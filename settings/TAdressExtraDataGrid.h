// The extra-data grid of the address window: three lists (Idents 751 to 753) and the cells
// with their own gray text and read-only state (Ident 754, a stored component stream whose
// root is a TAdressExCellInfosWrapper).
#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <vector>

class TAdressExCellInfos;
class QObject;

class TAdressExCellInfo {
public:
    explicit TAdressExCellInfo(TAdressExCellInfos *collection = nullptr)
        : m_collection(collection) {}

    // Copies the four values; the owning collection tells of the change once, afterwards.
    void Assign(const TAdressExCellInfo &source);

    qint32 Col = 0;
    qint32 Row = 0;
    QString Gray;
    bool Readonly = false;

private:
    friend class TAdressExCellInfos;
    TAdressExCellInfos *m_collection;
};

class TAdressExCellInfos {
public:
    TAdressExCellInfos() = default;
    TAdressExCellInfos(const TAdressExCellInfos &) = delete;
    TAdressExCellInfos &operator=(const TAdressExCellInfos &) = delete;

    qsizetype Count() const { return qsizetype(m_items.size()); }
    TAdressExCellInfo &Item(qsizetype i) { return m_items[size_t(i)]; }
    const TAdressExCellInfo &Item(qsizetype i) const { return m_items[size_t(i)]; }
    TAdressExCellInfo &Add();
    void Clear();
    // Replaces the items by copies of source's; one change notice at the end.
    void Assign(const TAdressExCellInfos &source);

    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();

    // On while a stream is read into the cells.
    bool Loading = false;
    // Called once per change, after the changes of an update are all made.
    std::function<void()> OnChange;

private:
    void Changed();

    std::vector<TAdressExCellInfo> m_items;
    int m_updateCount = 0;
};

// The stored stream's root: it publishes the cells as "AdressExCellInfos".
class TAdressExCellInfosWrapper {
public:
    TAdressExCellInfos AdressExCellInfos;

    // Raises EReadError for a damaged stream or one that holds anything else; the cells then
    // are left as they were.
    void ReadFromStream(const QByteArray &stream);
    QByteArray WriteToStream() const;
};

class TAdressExtraDataGrid {
public:
    // Fired before and after the loader reloads the grid's settings, with a nil sender.
    std::function<void(QObject *sender)> OnBeforeReload;
    std::function<void(QObject *sender)> OnAfterReload;

    QStringList List751;
    QStringList List752;
    QStringList List753;
    TAdressExCellInfos Cells;
};
