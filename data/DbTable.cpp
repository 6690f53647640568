#include "data/DbTable.h"

#include "data/DbConnection.h"
#include "data/DbEngineError.h"
#include "dbeng.h"
#include "platform/Cp1252.h"
#include "platform/EnginePath.h"
#include "platform/Paths.h"

TDbTable::TDbTable(QObject *owner) : TDbDataSet(owner) {}

TDbTable::~TDbTable() {
    CloseForDestruction();
}

void TDbTable::SetTableName(const QString &name) {
    if (Active())
        Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_tableName = name;
}

void TDbTable::SetTableType(TDbTableTypes type) {
    if (Active())
        Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_tableType = type;
}

uint32_t TDbTable::OpenTableHandle() {
    if (Handle() != 0)
        Fail(QStringLiteral("Table is already open."));
    if (m_tableName.isEmpty())
        Fail(QStringLiteral("Missing TableName property"));
    TDbConnection *connection = DbConnection();
    uint32_t options = (Exclusive() ? DB_OPEN_EXCLUSIVE : 0) | (ReadOnly() ? DB_OPEN_READONLY : 0);
    if (connection && connection->ReadOnly()) {
        options |= DB_OPEN_READONLY;
        SetReadOnly(true);
    }
    if (m_collation == icmIgnore)
        options |= DB_OPEN_IGNORE_COLLATION;
    else if (m_collation == icmReindex)
        options |= DB_OPEN_REINDEX;
    const TDbTableOptions &o = DbTableOptions();
    const uint16_t lockType = o.DbLockType == TDbTableOptions::Proprietary ? DB_LOCKTYPE_PROPRIETARY
                                                                           : DB_LOCKTYPE_COMPATIBLE;
    const uint16_t charType =
        o.DbCharType == TDbTableOptions::ANSI ? DB_CHARTYPE_ANSI : DB_CHARTYPE_OEM;
    const uint16_t rights = o.DbRightsCheck ? DB_RIGHTS_CHECK : DB_RIGHTS_IGNORE;
    uint16_t typeCode = m_tableType == ttDbCDX   ? DB_TABLE_CDX
                        : m_tableType == ttDbNTX ? DB_TABLE_NTX
                                                 : DB_TABLE_NATIVE;
    const bool dictionary = connection && connection->IsDictionary();

    const QString directory = connection ? connection->ResolvedDirectory() : QString();
    if (directory.isEmpty())
        Fail(QStringLiteral("One of the DatabaseName property or the DbConnection property must "
                            "have a value."));
    const QByteArray freePath = EnginePath::toEngine(Paths::join(directory, m_tableName));
    const QByteArray name = dictionary ? EnginePath::toEngine(m_tableName) : freePath;

    if (!connection->IsConnected())
        connection->SetIsConnected(true);
    if (connection->ConnectionHandle() == 0)
        Fail(QStringLiteral("Internal Error: invalid connection handle."));

    uint32_t handle = 0;
    uint32_t r = DbOpenTable(connection->ConnectionHandle(), name.constData(), nullptr,
                             dictionary ? DB_TABLE_DICTIONARY : typeCode, charType, lockType,
                             rights, options, &handle);
    if (dictionary && r == DBE_NOT_IN_DICTIONARY)
        r = DbOpenTable(connection->ConnectionHandle(), freePath.constData(), nullptr, typeCode,
                        charType, lockType, rights, options, &handle);
    Check(r);
    return handle;
}

uint32_t TDbTable::IndexHandleFor(const QString &indexName, const QString &fieldNames) const {
    if (!fieldNames.isEmpty()) {
        QStringList wanted;
        for (const QString &f : fieldNames.split(u';', Qt::SkipEmptyParts))
            wanted << f.trimmed().toUpper();
        for (const TDbIndexDef &d : IndexDefs()) {
            QStringList have;
            for (const QString &f : d.Fields)
                have << f.toUpper();
            if (have == wanted)
                return d.Handle;
        }
        Fail(QStringLiteral("Not a valid index field name:") + fieldNames);
    }
    if (indexName.isEmpty() ||
        indexName.compare(QStringLiteral("DB_DEFAULT"), Qt::CaseInsensitive) == 0)
        return 0; // a free table's default order is its natural order
    uint32_t index = 0;
    Check(DbGetIndexHandle(Handle(), Cp1252::fromQString(indexName).constData(), &index));
    return index;
}

uint32_t TDbTable::ChooseActiveOrder() {
    return IndexHandleFor(m_indexName, m_indexFieldNames);
}

void TDbTable::SetIndexName(const QString &name) {
    SelectIndex(name, QString());
}

void TDbTable::SetIndexFieldNames(const QString &names) {
    SelectIndex(QString(), names);
}

void TDbTable::SelectIndex(const QString &name, const QString &fieldNames) {
    if (Active())
        CheckBrowseMode();
    const QString oldName = m_indexName;
    const QString oldFields = m_indexFieldNames;
    m_indexName = name;
    m_indexFieldNames = fieldNames;
    if (!Active())
        return;
    uint32_t index = 0;
    try {
        index = IndexHandleFor(m_indexName, m_indexFieldNames);
    } catch (...) {
        // The engine has no such index: the old selection stays.
        m_indexName = oldName;
        m_indexFieldNames = oldFields;
        throw;
    }
    SetActiveOrder(index);
    DataEvent(TDataEvent::DataSetChanged);
}

bool SeekKey(TDbTable *table, const QString &key, bool softSeek) {
    return table->SeekKey(key, softSeek);
}
