// TDbDataSet: a data set over one open engine table handle. It moves the engine's cursor in
// the active order (an index, or the table's natural order), reads field values lazily from
// the record image layout, and changes records under the engine's record lock. TDbTable adds
// opening by table name and choosing the index.
//
// Reading: a move only learns the record's bookmark. A field read asks the engine for that one
// field (DbGetFieldRaw) and keeps the value until the record changes; once several fields of
// the same record were read, the whole image (DbGetRecord) serves the rest. The engine's cursor
// always stands on the current record, so these reads need no positioning.
//
// Null values (native tables): numbers, dates, strings and raw bytes all zero, a logical
// blank, integer INT32_MIN, short integer -32768, autoincrement and time -1, memos and blobs a
// zero reference. They read as the empty text, 0 or False.
//
// Every engine result goes through CheckDbResult with this data set, so failures raise
// EDbEngineError "<Name>: <engine text>".
#pragma once

#include "data/DataSet.h"
#include "data/DbConnection.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

enum TDbTableTypes { ttDbCDX, ttDbNTX, ttDbNative, ttDbDefault };
enum TDbIndexCollationMismatch { icmError, icmIgnore, icmReindex };

struct TDbTableOptions {
    enum TDbLockType { Proprietary, Compatible };
    enum TDbCharType { ANSI, OEM };
    enum TDbFilterOptions { IGNORE_WHEN_COUNTING, RESPECT_WHEN_COUNTING };
    enum TDbScopeOptions { IGNORE_SCOPES_WHEN_COUNTING, RESPECT_SCOPES_WHEN_COUNTING };
    enum TDbRecordCache { rcNone, rcStandard, rcAggressive };
    enum TDbRecordLockingMode { lmPessimistic, lmOptimistic };

    TDbLockType DbLockType = Proprietary;
    TDbCharType DbCharType = ANSI;
    TDbFilterOptions DbFilterOptions = IGNORE_WHEN_COUNTING;
    TDbScopeOptions DbScopeOptions = IGNORE_SCOPES_WHEN_COUNTING;
    bool DbFreshRecordCount = false;
    bool DbRightsCheck = true;
    bool DbOptimizedFilters = true;
    TDbRecordCache DbRecordCache = rcStandard;
    TDbRecordLockingMode DbRecordLockingMode = lmPessimistic;
};

// An index tag of the open table as the engine describes it.
struct TDbIndexDef {
    QString Name;
    QStringList Fields; // segment field names in key order
    uint32_t Handle = 0;
    bool Unique = false;
    bool Custom = false;
    bool HasScope = false;
    bool HasCondition = false;
};

class TDbDataSet : public TDataSet {
    Q_OBJECT
public:
    ~TDbDataSet() override;

    TDbConnection *DbConnection() const { return m_connection; }
    // Refused on an open table ("Table must not be Active.").
    void SetDbConnection(TDbConnection *connection);
    const QString &DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const QString &name) { m_databaseName = name; }
    // The folder the table was opened from (the connection's resolved directory).
    QString ResolvedDirectory() const;
    // The table name that errors report.
    virtual QString ErrorTableName() const { return {}; }

    bool Exclusive() const { return m_exclusive; }
    void SetExclusive(bool exclusive);
    TDbTableOptions &DbTableOptions() { return m_options; }
    const TDbTableOptions &DbTableOptions() const { return m_options; }

    bool CanModify() const override;
    // An engine table stores a value exactly or refuses it when it is assigned.
    bool CutsToFieldSize() const override { return false; }
    // The engine handle of the open table (0 while closed) and of the active order.
    uint32_t Handle() const { return m_handle; }
    uint32_t ActiveOrder() const { return m_order; }
    const QList<TDbIndexDef> &IndexDefs() const { return m_indexes; }

    // Seeks a text key on the active index (DbSeek with a text key; soft: stop at the next
    // greater key). At engine BOF the data set goes to First, at EOF to Last, otherwise the
    // engine's record becomes current. Answers whether the key was found exactly.
    bool SeekKey(const QString &key, bool softSeek);

    // The index Locate would seek on for these key fields and options; empty when it would
    // search with a filter expression instead.
    QString IndexForLocate(const QString &keyFields, TLocateOptions options) const;

    // For TDbConnection: close without a usable connection, forget the connection.
    void ReleaseHandles();
    void ConnectionGone();
    // For TDbConnection, around the rollback of its transaction, which may take away the
    // current record (appended inside it) and leaves the engine's cursor nowhere: before it, a
    // change not written is given up and the current record remembered; after it, the data
    // set stands on that record again, else on the nearest one in its order, else it is empty.
    void BeforeRollback();
    void AfterRollback();

protected:
    explicit TDbDataSet(QObject *owner);

    // Opens the engine table; TDbTable builds the name and options.
    virtual uint32_t OpenTableHandle() = 0;
    // After the fields and indexes are read: the active order (0: the table's own order).
    virtual uint32_t ChooseActiveOrder() { return 0; }

    void InternalOpen() override;
    void InternalClose() override;
    void InternalFieldsReady() override;
    bool InternalFirst() override;
    bool InternalLast() override;
    bool InternalNext() override;
    bool InternalPrior() override;
    bool InternalNextSharedKey(int most, int &passed) override;
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
    [[noreturn]] void RaiseNotEditing() const override;

    void Check(uint32_t result) const;
    [[noreturn]] void Fail(const QString &text) const;
    // Makes order (an index handle, or 0 for the table's order) the active order; the current
    // record stays current.
    void SetActiveOrder(uint32_t indexHandle);
    uint32_t IndexOrder() const { return m_indexOrder; }

private:
    struct FieldInfo {
        QString name;
        uint16_t number = 0;
        uint16_t type = 0;
        uint32_t length = 0;
        uint16_t decimals = 0;
        uint32_t offset = 0;
        uint16_t permissions = 0;
    };

    void ReadDefinitions();
    bool Fetch(int direction);
    bool Step(int direction);
    bool Filtering() const;
    void NewRecord(uint32_t recno);
    // The current record's values are read afresh.
    void Reread();
    // The cursor's record became current; its number is asked for when needed.
    void NewRecordAtCursor();
    uint32_t CurrentRecno() const;
    // Takes the engine's cursor back to the record this data set stood on, which becomes
    // current again; when another user has deleted it, the first or the last record becomes
    // current instead.
    enum class Gone { First, Last };
    void GoBackTo(uint32_t recno, Gone gone);
    bool IsBlob(const FieldInfo &info) const;
    QVariant Decode(const FieldInfo &info, const uint8_t *bytes) const;
    QVariant ReadBlob(const FieldInfo &info) const;
    void Encode(const FieldInfo &info, const QVariant &value, uint8_t *bytes) const;
    QByteArray NullImage() const;
    void WriteChangedFields();
    const TDbIndexDef *ChooseIndex(const QList<TField *> &keyFields, QString *lastField) const;
    bool SeekWithIndex(const TDbIndexDef &index, const QList<TField *> &keyFields,
                       const QVariantList &keyValues, const QString &lastField, bool partial,
                       bool stay);
    bool SearchWithFilter(const QList<TField *> &keyFields, const QVariantList &keyValues,
                          TLocateOptions options);
    QString EngineDateText(const QDate &date) const;
    void Unlock();
    // Seeks index on the raw key that setSegments fills in with the field setters (the scratch
    // record of DbInitRawKey); true on an exact key.
    bool SeekBuiltKey(const TDbIndexDef &index, uint16_t seekType,
                      const std::function<void()> &setSegments);
    // Soft-seeks the active index on the key that image holds; false at the end of the order.
    bool SeekImageKey(const QByteArray &image);

    QPointer<TDbConnection> m_connection;
    QString m_databaseName;
    TDbTableOptions m_options;
    bool m_exclusive = false;

    uint32_t m_handle = 0;
    uint32_t m_order = 0;      // active order: index handle or the table handle
    uint32_t m_indexOrder = 0; // active index handle, 0 for the table's order
    uint32_t m_openOptions = 0;
    uint32_t m_recordLength = 0;
    std::vector<FieldInfo> m_info; // by engine field number - 1
    QList<TDbIndexDef> m_indexes;

    // The current record and its lazily read values.
    mutable uint32_t m_recno = 0;
    mutable bool m_recnoKnown = false;
    mutable std::vector<QVariant> m_values;
    mutable std::vector<uint32_t> m_valueGeneration;
    mutable uint32_t m_generation = 1;
    mutable int m_fieldReads = 0;
    mutable QByteArray m_image;
    mutable bool m_imageValid = false;
    mutable std::vector<uint8_t> m_scratch;
    mutable QVariant m_editValue;

    // The pending change.
    QByteArray m_editImage;
    QByteArray m_checkImage;
    std::vector<bool> m_changed;
    std::map<int, QVariant> m_blobEdits;
    bool m_locked = false;
    // Where the data set stood when its connection's transaction began to roll back.
    struct RollbackPlace {
        bool hasRecord = false;
        uint32_t recno = 0;
        QByteArray image; // the record, for its key in the active index
    };
    RollbackPlace m_rollbackPlace;
};
