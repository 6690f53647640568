// TMemTable: a data set whose records live only in memory, in the order they were added. No
// indexes, nothing loaded or saved; Locate is a linear scan in list order.
//
// Fields come from persistent field objects (created by the owner before opening) or, when
// there are none, from FieldDefs(). Record positions (RecNo, SetRecNo, FieldValueAt) count the
// whole list from 1; Filtered with OnFilterRecord only affects moving and Locate.
#pragma once

#include "data/DataSet.h"
#include "platform/Exception.h"

#include <map>
#include <vector>

DUPCHECK_EXCEPTION_CLASS(EMemTableError, EDatabaseError)

class TMemTable : public TDataSet {
    Q_OBJECT
public:
    explicit TMemTable(QObject *owner = nullptr);
    ~TMemTable() override;

    // Drops every record (after completing or cancelling a pending change). The controls are
    // told once, as the data set's controls are disabled meanwhile.
    void EmptyTable();

    int RecNo() const override;
    void SetRecNo(int recNo) override;
    QVariant FieldValueAt(int recNo, const TField *field) const override;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    void InternalFieldsReady() override;
    bool InternalFirst() override;
    bool InternalLast() override;
    bool InternalNext() override;
    bool InternalPrior() override;
    int InternalRecordCount() override;
    const QVariant &GetFieldData(const TField *field) const override;
    void SetFieldData(TField *field, const QVariant &value) override;
    void InternalEdit() override;
    void InternalAppend() override;
    void InternalPost() override;
    void InternalCancel() override;
    bool InternalDelete() override;
    bool InternalLocate(const QList<TField *> &keyFields, const QVariantList &keyValues,
                        TLocateOptions options) override;
    void CheckLocateValues(const QVariantList &keyValues) const override;

private:
    using Record = std::vector<QVariant>;
    bool Accepts(qsizetype index);
    // The first accepted record from index on in the direction step (+1/-1); -1 when none.
    qsizetype Seek(qsizetype index, int step);
    int Slot(const TField *field) const;

    // One field's values as integers, for the search by one integer key: kept beside the
    // records while searches use it, changed with every post and delete.
    struct IntColumn {
        // The integer, or a mark for no value or for a value of another type.
        std::vector<qint64> values;
        static qint64 of(const QVariant &value);
    };
    IntColumn &IntColumnOf(int slot);

    std::vector<Record> m_records;
    Record m_buffer;
    qsizetype m_current = -1;
    int m_width = 0;
    std::map<int, IntColumn> m_intColumns; // by slot
};
