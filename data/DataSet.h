// The data-set framework: a cursor over records with fields, states and the notifications that
// data-aware controls follow. TMemTable and TDbDataSet derive from it.
//
// States and transitions (each arrow names the operation that takes it):
//
//                 Open                            Edit (Append when empty)
//   dsInactive  ------->  dsBrowse  -------------------------------------->  dsEdit
//       ^       <-------     |  ^   <--------------------------------------
//       |        Close       |  |     Post (succeeded), Cancel, Delete
//       |                    |  |
//       |            Append  |  |  Post (succeeded), Cancel
//       |                    v  |
//       |                  dsInsert
//       +---- Close from dsEdit / dsInsert cancels the pending change first.
//
//   - A Post that fails keeps dsEdit / dsInsert and marks the change as failed. An operation
//     that completes a pending change on its own (moving, Locate, SeekKey, an index change,
//     Append or Edit) posts a change that has not failed, and cancels one that has: a change
//     the user was told had failed is never written later without a word.
//   - Delete in dsInsert only cancels the new record.
//
// Invariants (asserted): State() is dsInactive exactly when the data set is closed; dsEdit
// always has a current record; the DisableControls count is never negative; an empty open data
// set stands at Eof and Bof.
//
// Moving: First and Last set Bof and Eof; Next at the last record sets Eof and keeps that
// record current (Prior at the first: Bof). Record numbers (RecNo) count from 1.
//
// Errors are EDatabaseError with the component's name and ": " in front of the framework's
// texts.
#pragma once

#include "data/FieldType.h"

#include <QFlags>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

class TField;
class TDataSource;

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

enum TLocateOption { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
Q_DECLARE_FLAGS(TLocateOptions, TLocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLocateOptions)

// What a data set tells its data sources (and through them their links).
enum class TDataEvent { DataSetChanged, RecordChanged, StateChanged, Scrolled };

class TDataSet : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 Tag READ Tag WRITE SetTag)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet *dataSet)>;
    using TFilterRecordEvent = std::function<void(TDataSet *dataSet, bool &accept)>;

    ~TDataSet() override;

    void Open();
    void Close();
    bool Active() const { return m_state != dsInactive; }
    void SetActive(bool active);
    TDataSetState State() const { return m_state; }

    void First();
    void Last();
    void Next();
    void Prior();
    // Moves by distance records (negative: backwards); answers how far it got.
    int MoveBy(int distance);
    // Next for a walk that only looks at records whose key (in the active order) another record
    // shares: the data set may first pass over records whose key neither neighbour shares, at
    // most `most` of them, and answers how many it passed. Without keys it is Next.
    int NextSharedKey(int most);
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const;
    int RecordCount();

    // Position of the current record, counted from 1 in the data set's order; 0 when there is
    // none (empty data set). In insert state, the position the new record will take.
    // Data sets that cannot count positions cheaply answer -1.
    virtual int RecNo() const { return -1; }
    // Makes the record at position recNo (1 .. RecordCount) current, after completing a
    // pending change; positions out of range raise.
    virtual void SetRecNo(int recNo);
    // A field's value (or display text) in the record at position recNo, without moving the
    // current record. Grids read their rows with it.
    virtual QVariant FieldValueAt(int recNo, const TField *field) const;
    QString DisplayTextAt(int recNo, const TField *field) const;

    const QList<TField *> &Fields() const { return m_fields; }
    int FieldCount() const { return int(m_fields.size()); }
    TField *FindField(const QString &fieldName) const;
    // Raises "Das Feld '...' wurde nicht gefunden" for an unknown name.
    TField *FieldByName(const QString &fieldName) const;
    TFieldDefs &FieldDefs() { return m_fieldDefs; }
    const TFieldDefs &FieldDefs() const { return m_fieldDefs; }

    // keyFields: one name or several separated by ";"; keyValues: the value, or a QVariantList
    // with one element per key field. Found: that record is current; else nothing moves, unless
    // the current record was deleted by another user meanwhile and its place is lost: then the
    // first record of the data set becomes current.
    bool Locate(const QString &keyFields, const QVariant &keyValues, TLocateOptions options);

    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Whether a field was assigned since Edit or Append.
    bool Modified() const { return m_modified; }
    virtual bool CanModify() const { return !m_readOnly; }
    // Whether a text assigned to a field, or searched for, is cut to the field's size (the
    // in-memory table) or given whole to the data set, which refuses what it cannot store.
    virtual bool CutsToFieldSize() const { return true; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    qint32 Tag() const { return m_tag; }
    void SetTag(qint32 tag) { m_tag = tag; }

    bool Filtered() const { return m_filtered; }
    virtual void SetFiltered(bool filtered);

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeEdit, AfterEdit, BeforeInsert, AfterInsert;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord;
    // Consulted while moving when Filtered is set; a record it rejects is passed over.
    TFilterRecordEvent OnFilterRecord;

    // The framework's error: EDatabaseError with "Name: " in front when the data set has a
    // name.
    [[noreturn]] void DatabaseError(const QString &text) const;

protected:
    explicit TDataSet(QObject *owner);

    // --- What a concrete data set provides -------------------------------------------------
    // Open the storage and set up the field definitions; the framework then binds or creates
    // the fields and calls InternalFirst.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    // Called after the fields are bound or created, before the first move.
    virtual void InternalFieldsReady() {}
    // Moves; true when a record is current afterwards. InternalNext/InternalPrior answer false
    // at the end and keep the current record.
    virtual bool InternalFirst() = 0;
    virtual bool InternalLast() = 0;
    virtual bool InternalNext() = 0;
    virtual bool InternalPrior() = 0;
    // NextSharedKey's move: passed counts the records passed before the one that is current
    // afterwards (at the end: before the end).
    virtual bool InternalNextSharedKey(int most, int &passed) {
        (void)most;
        passed = 0;
        return InternalNext();
    }
    virtual int InternalRecordCount() = 0;
    // The value of the current record (of the edit buffer in edit and insert state). The
    // reference stays valid until the data set moves or the field is read or written again.
    virtual const QVariant &GetFieldData(const TField *field) const = 0;
    // Stores a canonical value into the edit buffer.
    virtual void SetFieldData(TField *field, const QVariant &value) = 0;
    virtual void InternalEdit() = 0;
    virtual void InternalAppend() = 0;
    // Stores the edit buffer; on failure raises and keeps the buffer.
    virtual void InternalPost() = 0;
    virtual void InternalCancel() = 0;
    // Removes the current record; true when a record is current afterwards.
    virtual bool InternalDelete() = 0;
    // keyValues has one converted value per key field. True: the found record is current.
    virtual bool InternalLocate(const QList<TField *> &keyFields, const QVariantList &keyValues,
                                TLocateOptions options) = 0;
    // Raised when a field is assigned outside edit and insert state.
    [[noreturn]] virtual void RaiseNotEditing() const;

    // --- Services for concrete data sets -----------------------------------------------------
    void CheckActive() const;
    // Completes a pending change: posts it, or cancels it when it was modified but its Post
    // failed, or when nothing was modified.
    void CheckBrowseMode();
    void CheckNotEmpty() const;
    void CheckCanModify() const;
    // Refuses key values the data set cannot search with (before they are converted).
    virtual void CheckLocateValues(const QVariantList &keyValues) const;
    // Creates the fields from the field definitions unless persistent fields exist; binds
    // persistent fields to their definitions (FieldNo, Size).
    void BindFields();
    // After a search or seek made another record current.
    void RecordFound();
    // After the current record changed in place (re-read).
    void CurrentRecordReread();
    void DataEvent(TDataEvent event, TField *field = nullptr);
    bool HasCurrentRecord() const { return m_hasCurrent; }
    void SetCursorFlags(bool hasCurrent, bool bof, bool eof);
    bool PostFailed() const { return m_postFailed; }
    static void SetFieldNo(TField *field, int fieldNo);
    // A subclass destructor calls this: the base destructor cannot reach InternalClose.
    void CloseForDestruction();

private:
    friend class TField;
    friend class TDataSource;
    TField *FindFieldUncached(const QString &fieldName) const;
    void AddField(TField *field);
    void RemoveField(TField *field);
    void FieldAssigned(TField *field, const QVariant &value);
    void AddDataSource(TDataSource *source);
    void RemoveDataSource(TDataSource *source);
    void SetState(TDataSetState state);
    void DestroyDefaultFields();
    void Fire(const TDataSetNotifyEvent &event);
    void CheckInvariants() const;

    TDataSetState m_state = dsInactive;
    TDataSetState m_stateAtDisable = dsInactive;
    QList<TField *> m_fields;
    QHash<QString, TField *> m_fieldsByName;
    mutable QString m_lastName;
    mutable TField *m_lastFound = nullptr;
    TFieldDefs m_fieldDefs;
    QList<QPointer<TDataSource>> m_dataSources;
    bool m_defaultFields = false;
    bool m_eof = true;
    bool m_bof = true;
    bool m_hasCurrent = false;
    bool m_modified = false;
    bool m_postFailed = false;
    bool m_readOnly = false;
    bool m_filtered = false;
    int m_disableCount = 0;
    qint32 m_tag = 0;
};
