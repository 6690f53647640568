#include "data/DataSet.h"

#include "data/DataSource.h"
#include "data/Field.h"
#include "platform/Exception.h"

#include <cassert>

namespace {

// Field types a persistent field may have for a stored type: the exact one, or a close
// relative whose values convert without loss.
bool compatible(TFieldType fieldType, TFieldType storedType) {
    if (fieldType == storedType)
        return true;
    auto family = [](TFieldType t) {
        switch (t) {
        case ftInteger:
        case ftSmallint:
        case ftAutoInc:
            return 1;
        case ftFloat:
        case ftCurrency:
            return 2;
        case ftBlob:
        case ftMemo:
            return 3;
        default:
            return 100 + int(t);
        }
    };
    return family(fieldType) == family(storedType);
}

} // namespace

TDataSet::TDataSet(QObject *owner) : QObject(owner) {}

TDataSet::~TDataSet() {
    // A concrete data set has closed itself already (CloseForDestruction). Persistent fields
    // outlive us and must forget us; default fields are our children and die with us.
    for (TField *field : std::as_const(m_fields))
        field->SetDataSetInternal(nullptr);
    m_fields.clear();
    for (const QPointer<TDataSource> &source : std::as_const(m_dataSources)) {
        if (source)
            source->DataSetGone();
    }
}

void TDataSet::DatabaseError(const QString &text) const {
    const QString name = objectName();
    throw EDatabaseError(name.isEmpty() ? text : name + QStringLiteral(": ") + text);
}

void TDataSet::RaiseNotEditing() const {
    DatabaseError(QStringLiteral("Datenmenge nicht im Bearbeitungs- oder Einfügemodus"));
}

void TDataSet::CheckActive() const {
    if (!Active())
        DatabaseError(QStringLiteral("Operation bei geschlossener Datenmenge nicht ausführbar"));
}

void TDataSet::CheckNotEmpty() const {
    if (!m_hasCurrent)
        DatabaseError(QStringLiteral("Operation bei leerer Datenmenge nicht ausführbar"));
}

void TDataSet::Fire(const TDataSetNotifyEvent &event) {
    if (event)
        event(this);
}

void TDataSet::CheckInvariants() const {
    assert(m_disableCount >= 0);
    assert(m_state != dsEdit || m_hasCurrent);
    assert(Active() || (!m_hasCurrent && !m_modified));
    assert(!(Active() && m_state == dsBrowse && !m_hasCurrent) || (m_eof && m_bof));
}

// --- Opening and closing ------------------------------------------------------------------------

void TDataSet::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Open() {
    if (Active())
        return;
    Fire(BeforeOpen);
    InternalOpen();
    try {
        BindFields();
        InternalFieldsReady();
        m_state = dsBrowse;
        m_modified = false;
        m_postFailed = false;
        const bool has = InternalFirst();
        SetCursorFlags(has, true, !has);
    } catch (...) {
        m_state = dsInactive;
        SetCursorFlags(false, true, true);
        try {
            InternalClose();
        } catch (...) {
        }
        DestroyDefaultFields();
        throw;
    }
    CheckInvariants();
    DataEvent(TDataEvent::StateChanged);
    DataEvent(TDataEvent::DataSetChanged);
    Fire(AfterOpen);
}

void TDataSet::Close() {
    if (!Active())
        return;
    Fire(BeforeClose);
    if (m_state == dsEdit || m_state == dsInsert) {
        try {
            InternalCancel();
        } catch (const Exception &) {
            // Closing drops the pending change whatever the storage says about it.
        }
    }
    m_state = dsInactive;
    m_modified = false;
    m_postFailed = false;
    SetCursorFlags(false, true, true);
    struct FieldCleanup {
        TDataSet *ds;
        ~FieldCleanup() { ds->DestroyDefaultFields(); }
    } cleanup{this};
    InternalClose();
    CheckInvariants();
    DataEvent(TDataEvent::StateChanged);
    Fire(AfterClose);
}

void TDataSet::CloseForDestruction() {
    BeforeClose = nullptr;
    AfterClose = nullptr;
    m_dataSources.clear();
    try {
        Close();
    } catch (...) {
        // A destructor reports nothing; the storage releases what it still holds.
    }
}

void TDataSet::BindFields() {
    if (m_fields.isEmpty()) {
        for (const TFieldDef &def : std::as_const(m_fieldDefs)) {
            TField *field = CreateField(def.DataType, def.Size, this);
            if (!field)
                DatabaseError(QStringLiteral("Feldtyp %1 des Feldes '%2' wird nicht unterstützt")
                                  .arg(int(def.DataType))
                                  .arg(def.Name));
            field->m_fieldName = def.Name;
            field->m_fieldNo = def.FieldNo;
            field->m_readOnly = def.ReadOnly;
            AddField(field);
        }
        m_defaultFields = !m_fields.isEmpty();
        return;
    }
    if (m_fieldDefs.isEmpty()) {
        for (qsizetype i = 0; i < m_fields.size(); ++i)
            m_fields[i]->m_fieldNo = int(i) + 1;
        return;
    }
    for (TField *field : std::as_const(m_fields)) {
        const TFieldDef *found = nullptr;
        for (const TFieldDef &def : std::as_const(m_fieldDefs)) {
            if (def.Name.compare(field->FieldName(), Qt::CaseInsensitive) == 0) {
                found = &def;
                break;
            }
        }
        if (!found)
            DatabaseError(
                QStringLiteral("Das Feld '%1' wurde nicht gefunden").arg(field->FieldName()));
        if (!compatible(field->DataType(), found->DataType))
            DatabaseError(QStringLiteral("Typ für Feld '%1' stimmt nicht überein. Erwartet: %2 "
                                         "Aktuell: %3")
                              .arg(field->FieldName(), FieldTypeName(field->DataType()),
                                   FieldTypeName(found->DataType)));
        field->m_fieldNo = found->FieldNo;
        if (found->Size > 0)
            field->m_size = found->Size;
        if (found->ReadOnly)
            field->m_readOnly = true;
    }
}

void TDataSet::SetFieldNo(TField *field, int fieldNo) {
    field->m_fieldNo = fieldNo;
}

void TDataSet::DestroyDefaultFields() {
    if (!m_defaultFields)
        return;
    const QList<TField *> fields = m_fields;
    m_fields.clear();
    m_fieldsByName.clear();
    m_lastFound = nullptr;
    m_defaultFields = false;
    for (TField *field : fields) {
        field->SetDataSetInternal(nullptr);
        delete field;
    }
}

void TDataSet::AddField(TField *field) {
    m_lastFound = nullptr;
    if (m_fields.contains(field))
        return;
    m_fields.append(field);
    field->SetDataSetInternal(this);
    if (!m_fieldsByName.contains(field->FieldName()))
        m_fieldsByName.insert(field->FieldName(), field);
}

void TDataSet::RemoveField(TField *field) {
    m_lastFound = nullptr;
    m_fields.removeAll(field);
    field->SetDataSetInternal(nullptr);
    m_fieldsByName.clear();
    for (TField *f : std::as_const(m_fields)) {
        if (!m_fieldsByName.contains(f->FieldName()))
            m_fieldsByName.insert(f->FieldName(), f);
    }
}

TField *TDataSet::FindField(const QString &fieldName) const {
    // Loops ask for the same few names again and again, mostly with the same literal.
    if (m_lastFound && fieldName.size() == m_lastName.size() &&
        (fieldName.constData() == m_lastName.constData() || fieldName == m_lastName))
        return m_lastFound;
    TField *found = FindFieldUncached(fieldName);
    if (found) {
        m_lastName = fieldName;
        m_lastFound = found;
    }
    return found;
}

TField *TDataSet::FindFieldUncached(const QString &fieldName) const {
    if (TField *exact = m_fieldsByName.value(fieldName))
        return exact;
    for (TField *field : m_fields) {
        if (field->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return field;
    }
    return nullptr;
}

TField *TDataSet::FieldByName(const QString &fieldName) const {
    TField *field = FindField(fieldName);
    if (!field)
        DatabaseError(QStringLiteral("Das Feld '%1' wurde nicht gefunden").arg(fieldName));
    return field;
}

// --- Moving ------------------------------------------------------------------------------------

void TDataSet::SetCursorFlags(bool hasCurrent, bool bof, bool eof) {
    m_hasCurrent = hasCurrent;
    m_bof = bof || !hasCurrent;
    m_eof = eof || !hasCurrent;
}

bool TDataSet::IsEmpty() const {
    return Active() && !m_hasCurrent && m_state != dsInsert;
}

void TDataSet::First() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    const bool has = InternalFirst();
    SetCursorFlags(has, true, !has);
    CheckInvariants();
    DataEvent(TDataEvent::Scrolled);
    Fire(AfterScroll);
}

void TDataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    const bool has = InternalLast();
    SetCursorFlags(has, !has, true);
    CheckInvariants();
    DataEvent(TDataEvent::Scrolled);
    Fire(AfterScroll);
}

void TDataSet::Next() {
    MoveBy(1);
}

void TDataSet::Prior() {
    MoveBy(-1);
}

int TDataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    if (distance == 0 || (distance > 0 && m_eof) || (distance < 0 && m_bof))
        return 0;
    Fire(BeforeScroll);
    int moved = 0;
    while (moved != distance) {
        const bool forward = distance > 0;
        if (!(forward ? InternalNext() : InternalPrior())) {
            if (forward)
                m_eof = true;
            else
                m_bof = true;
            break;
        }
        m_hasCurrent = true;
        if (forward) {
            m_bof = false;
            m_eof = false;
            ++moved;
        } else {
            m_eof = false;
            m_bof = false;
            --moved;
        }
    }
    CheckInvariants();
    if (moved != 0)
        DataEvent(TDataEvent::Scrolled);
    Fire(AfterScroll);
    return moved;
}

int TDataSet::NextSharedKey(int most) {
    CheckActive();
    CheckBrowseMode();
    if (m_eof)
        return 0;
    Fire(BeforeScroll);
    int passed = 0;
    const bool moved = InternalNextSharedKey(most, passed);
    if (moved) {
        m_hasCurrent = true;
        m_bof = false;
    }
    m_eof = !moved;
    CheckInvariants();
    if (moved || passed > 0)
        DataEvent(TDataEvent::Scrolled);
    Fire(AfterScroll);
    return passed;
}

int TDataSet::RecordCount() {
    CheckActive();
    return InternalRecordCount();
}

void TDataSet::SetRecNo(int) {
    DatabaseError(QStringLiteral("Die Datenmenge kann nicht über Datensatznummern positioniert "
                                 "werden"));
}

QVariant TDataSet::FieldValueAt(int recNo, const TField *field) const {
    if (recNo == RecNo() && recNo > 0)
        return GetFieldData(field);
    DatabaseError(QStringLiteral("Die Datenmenge kann nicht über Datensatznummern gelesen "
                                 "werden"));
}

QString TDataSet::DisplayTextAt(int recNo, const TField *field) const {
    return field->DisplayTextOf(FieldValueAt(recNo, field));
}

void TDataSet::RecordFound() {
    SetCursorFlags(true, false, false);
    CheckInvariants();
    DataEvent(TDataEvent::Scrolled);
    Fire(AfterScroll);
}

void TDataSet::CurrentRecordReread() {
    DataEvent(TDataEvent::RecordChanged);
}

bool TDataSet::Locate(const QString &keyFields, const QVariant &keyValues, TLocateOptions options) {
    CheckActive();
    CheckBrowseMode();
    QList<TField *> fields;
    for (const QString &name : keyFields.split(u';'))
        fields << FieldByName(name.trimmed());
    QVariantList raw;
    const bool isList = keyValues.typeId() == QMetaType::QVariantList ||
                        keyValues.typeId() == QMetaType::QStringList;
    if (fields.size() == 1) {
        if (isList) {
            const QVariantList list = keyValues.toList();
            raw << (list.isEmpty() ? QVariant() : list.first());
        } else {
            raw << keyValues;
        }
    } else {
        raw = keyValues.toList();
        if (raw.size() < fields.size())
            DatabaseError(QStringLiteral("Zu wenige Suchwerte für die Felder '%1'").arg(keyFields));
    }
    CheckLocateValues(raw);
    QVariantList converted;
    for (qsizetype i = 0; i < fields.size(); ++i)
        converted << (CutsToFieldSize() ? fields[i]->Convert(raw[i])
                                        : fields[i]->ConvertWhole(raw[i]));
    Fire(BeforeScroll);
    const bool found = InternalLocate(fields, converted, options);
    if (found)
        RecordFound();
    return found;
}

void TDataSet::CheckLocateValues(const QVariantList &) const {}

// --- Changing ----------------------------------------------------------------------------------

void TDataSet::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
}

void TDataSet::CheckCanModify() const {
    if (!CanModify())
        DatabaseError(
            QStringLiteral("Eine Datenmenge, die nur zum Lesen ist, kann nicht geändert werden"));
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    // A change whose Post failed was reported to the user as failed; writing it now, as a
    // side effect of moving on, would store what the user believes was not stored.
    if (m_modified && !m_postFailed)
        Post();
    else
        Cancel();
}

void TDataSet::SetState(TDataSetState state) {
    if (m_state == state)
        return;
    m_state = state;
    CheckInvariants();
    DataEvent(TDataEvent::StateChanged);
}

void TDataSet::Append() {
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
    InternalAppend();
    m_modified = false;
    m_postFailed = false;
    SetState(dsInsert);
    if (OnNewRecord)
        OnNewRecord(this);
    m_modified = false;
    DataEvent(TDataEvent::DataSetChanged);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TDataSet::Edit() {
    CheckActive();
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    CheckCanModify();
    if (!m_hasCurrent) {
        Append();
        return;
    }
    Fire(BeforeEdit);
    InternalEdit();
    m_modified = false;
    m_postFailed = false;
    SetState(dsEdit);
    Fire(AfterEdit);
}

void TDataSet::Post() {
    CheckActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    try {
        Fire(BeforePost);
        InternalPost();
    } catch (...) {
        m_postFailed = true;
        throw;
    }
    const bool wasInsert = m_state == dsInsert;
    m_modified = false;
    m_postFailed = false;
    m_hasCurrent = true;
    m_eof = false;
    m_bof = false;
    SetState(dsBrowse);
    if (wasInsert)
        DataEvent(TDataEvent::DataSetChanged);
    else
        DataEvent(TDataEvent::RecordChanged);
    Fire(AfterPost);
}

void TDataSet::Cancel() {
    CheckActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    Fire(BeforeCancel);
    const bool wasInsert = m_state == dsInsert;
    struct Leave {
        TDataSet *ds;
        bool wasInsert;
        ~Leave() {
            ds->m_modified = false;
            ds->m_postFailed = false;
            ds->SetState(dsBrowse);
            ds->DataEvent(wasInsert ? TDataEvent::DataSetChanged : TDataEvent::RecordChanged);
        }
    };
    {
        Leave leave{this, wasInsert};
        InternalCancel();
    }
    Fire(AfterCancel);
}

void TDataSet::Delete() {
    CheckActive();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    CheckNotEmpty();
    CheckCanModify();
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    const bool has = InternalDelete();
    m_modified = false;
    m_postFailed = false;
    SetCursorFlags(has, !has, !has);
    SetState(dsBrowse);
    CheckInvariants();
    DataEvent(TDataEvent::DataSetChanged);
    Fire(AfterDelete);
    Fire(AfterScroll);
}

void TDataSet::FieldAssigned(TField *field, const QVariant &value) {
    SetFieldData(field, value);
    m_modified = true;
    DataEvent(TDataEvent::RecordChanged, field);
}

void TDataSet::SetFiltered(bool filtered) {
    if (m_filtered == filtered)
        return;
    m_filtered = filtered;
    if (Active())
        First();
}

// --- Notifications -----------------------------------------------------------------------------

void TDataSet::DisableControls() {
    if (m_disableCount++ == 0) {
        m_stateAtDisable = m_state;
    }
}

void TDataSet::EnableControls() {
    if (m_disableCount == 0)
        return;
    if (--m_disableCount > 0)
        return;
    if (m_state != m_stateAtDisable)
        DataEvent(TDataEvent::StateChanged);
    if (Active())
        DataEvent(TDataEvent::DataSetChanged);
}

void TDataSet::DataEvent(TDataEvent event, TField *field) {
    if (m_disableCount > 0 || m_dataSources.isEmpty())
        return;
    const QList<QPointer<TDataSource>> sources = m_dataSources;
    for (const QPointer<TDataSource> &source : sources) {
        if (source)
            source->Notify(int(event), field);
    }
}

void TDataSet::AddDataSource(TDataSource *source) {
    if (!m_dataSources.contains(source))
        m_dataSources.append(source);
}

void TDataSet::RemoveDataSource(TDataSource *source) {
    m_dataSources.removeAll(source);
}
