// TDbTable: an engine table opened by name from its connection's folder, with the index
// chosen by name (IndexName) or by its fields (IndexFieldNames).
//
// Open reads the field and index definitions from the engine and goes to the first record of
// the active order. Changing IndexName keeps the current record current in the new order; a
// tag the table does not have leaves the old index active, restores the old name and raises
// the engine's error. The component's own failures are EDbEngineError number 5121 with the
// table's name in front, for example "Table_ARTMAIN: Missing TableName property".
#pragma once

#include "data/DbDataSet.h"

class TDbTable : public TDbDataSet {
    Q_OBJECT
public:
    explicit TDbTable(QObject *owner = nullptr);
    ~TDbTable() override;

    const QString &TableName() const { return m_tableName; }
    void SetTableName(const QString &name);
    TDbTableTypes TableType() const { return m_tableType; }
    void SetTableType(TDbTableTypes type);
    const QString &IndexName() const { return m_indexName; }
    void SetIndexName(const QString &name);
    const QString &IndexFieldNames() const { return m_indexFieldNames; }
    void SetIndexFieldNames(const QString &names);
    TDbIndexCollationMismatch IndexCollationMismatch() const { return m_collation; }
    void SetIndexCollationMismatch(TDbIndexCollationMismatch mode) { m_collation = mode; }

    QString ErrorTableName() const override { return m_tableName; }

protected:
    uint32_t OpenTableHandle() override;
    uint32_t ChooseActiveOrder() override;

private:
    uint32_t IndexHandleFor(const QString &indexName, const QString &fieldNames) const;
    // Selects an index by name or by field names; a failure restores the old selection.
    void SelectIndex(const QString &name, const QString &fieldNames);

    QString m_tableName;
    QString m_indexName;
    QString m_indexFieldNames;
    TDbTableTypes m_tableType = ttDbNative;
    TDbIndexCollationMismatch m_collation = icmError;
};

// The settings loader's form: SeekKey on the table's active index.
bool SeekKey(TDbTable *table, const QString &key, bool softSeek);
