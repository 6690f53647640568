#include "data/MemTable.h"

#include "data/Field.h"

#include <cassert>
#include <limits>

TMemTable::TMemTable(QObject *owner) : TDataSet(owner) {}

TMemTable::~TMemTable() {
    CloseForDestruction();
}

void TMemTable::InternalOpen() {
    if (Fields().isEmpty() && FieldDefs().isEmpty())
        throw EMemTableError(objectName() + QStringLiteral(": Keine Felddefinitionen vorhanden"));
    for (qsizetype i = 0; i < FieldDefs().size(); ++i)
        FieldDefs()[i].FieldNo = int(i) + 1;
    m_records.clear();
    m_intColumns.clear();
    m_current = -1;
}

void TMemTable::InternalFieldsReady() {
    m_width = 0;
    for (TField *field : Fields())
        m_width = std::max(m_width, field->FieldNo());
    m_intColumns.clear();
}

void TMemTable::InternalClose() {
    m_records.clear();
    m_intColumns.clear();
    m_buffer.clear();
    m_current = -1;
}

int TMemTable::Slot(const TField *field) const {
    const int slot = field->FieldNo() - 1;
    assert(slot >= 0 && slot < m_width);
    return slot;
}

bool TMemTable::Accepts(qsizetype index) {
    if (!Filtered() || !OnFilterRecord)
        return true;
    const qsizetype saved = m_current;
    m_current = index;
    bool accept = true;
    struct Restore {
        qsizetype &current;
        qsizetype saved;
        ~Restore() { current = saved; }
    } restore{m_current, saved};
    OnFilterRecord(this, accept);
    return accept;
}

qsizetype TMemTable::Seek(qsizetype index, int step) {
    for (; index >= 0 && index < qsizetype(m_records.size()); index += step) {
        if (Accepts(index))
            return index;
    }
    return -1;
}

bool TMemTable::InternalFirst() {
    m_current = Seek(0, 1);
    return m_current >= 0;
}

bool TMemTable::InternalLast() {
    m_current = Seek(qsizetype(m_records.size()) - 1, -1);
    return m_current >= 0;
}

bool TMemTable::InternalNext() {
    if (m_current < 0)
        return false;
    const qsizetype next = Seek(m_current + 1, 1);
    if (next < 0)
        return false;
    m_current = next;
    return true;
}

bool TMemTable::InternalPrior() {
    if (m_current < 0)
        return false;
    const qsizetype prior = Seek(m_current - 1, -1);
    if (prior < 0)
        return false;
    m_current = prior;
    return true;
}

int TMemTable::InternalRecordCount() {
    return int(m_records.size());
}

int TMemTable::RecNo() const {
    if (!Active())
        return 0;
    if (State() == dsInsert)
        return int(m_records.size()) + 1;
    return int(m_current + 1);
}

void TMemTable::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    if (recNo < 1 || recNo > int(m_records.size()))
        DatabaseError(QStringLiteral("Datensatz %1 existiert nicht").arg(recNo));
    if (BeforeScroll)
        BeforeScroll(this);
    m_current = recNo - 1;
    RecordFound();
}

QVariant TMemTable::FieldValueAt(int recNo, const TField *field) const {
    CheckActive();
    const bool editing = State() == dsEdit || State() == dsInsert;
    if (editing && recNo == RecNo())
        return m_buffer[Slot(field)];
    if (recNo < 1 || recNo > int(m_records.size()))
        DatabaseError(QStringLiteral("Datensatz %1 existiert nicht").arg(recNo));
    return m_records[recNo - 1][Slot(field)];
}

const QVariant &TMemTable::GetFieldData(const TField *field) const {
    static const QVariant null;
    if (State() == dsEdit || State() == dsInsert)
        return m_buffer[Slot(field)];
    if (m_current < 0)
        return null;
    return m_records[m_current][Slot(field)];
}

void TMemTable::SetFieldData(TField *field, const QVariant &value) {
    m_buffer[Slot(field)] = value;
}

void TMemTable::InternalEdit() {
    m_buffer = m_records[m_current];
}

void TMemTable::InternalAppend() {
    m_buffer.assign(m_width, QVariant());
}

void TMemTable::InternalPost() {
    if (State() == dsEdit) {
        m_records[m_current] = std::move(m_buffer);
        for (auto &[slot, column] : m_intColumns)
            column.values[size_t(m_current)] = IntColumn::of(m_records[m_current][slot]);
    } else {
        m_records.push_back(std::move(m_buffer));
        m_current = qsizetype(m_records.size()) - 1;
        for (auto &[slot, column] : m_intColumns)
            column.values.push_back(IntColumn::of(m_records.back()[slot]));
    }
    m_buffer.clear();
}

void TMemTable::InternalCancel() {
    m_buffer.clear();
}

bool TMemTable::InternalDelete() {
    m_buffer.clear();
    m_records.erase(m_records.begin() + m_current);
    for (auto &[slot, column] : m_intColumns)
        column.values.erase(column.values.begin() + m_current);
    qsizetype next = Seek(m_current, 1);
    if (next < 0)
        next = Seek(m_current - 1, -1);
    m_current = next;
    return m_current >= 0;
}

void TMemTable::CheckLocateValues(const QVariantList &keyValues) const {
    for (const QVariant &value : keyValues) {
        if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
            throw EMemTableError(
                QStringLiteral("Values variant array has invalid dimension count"));
    }
}

namespace {

bool matches(const QVariant &value, const QVariant &key, TLocateOptions options) {
    const bool keyNull = !key.isValid() || key.isNull();
    const bool valueNull = !value.isValid() || value.isNull();
    if (keyNull || valueNull)
        return keyNull && valueNull;
    if (key.typeId() == QMetaType::QString) {
        const Qt::CaseSensitivity cs =
            options.testFlag(loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        const QString text = value.toString();
        if (options.testFlag(loPartialKey))
            return text.startsWith(key.toString(), cs);
        return text.compare(key.toString(), cs) == 0;
    }
    return value == key;
}

// What a value is to the search by one integer key besides an integer: no value, or a value
// of another type (a double, a text), which may still equal an integer key. No int is either.
constexpr qint64 kNull = std::numeric_limits<qint64>::min();
constexpr qint64 kOtherType = kNull + 1;

} // namespace

qint64 TMemTable::IntColumn::of(const QVariant &value) {
    if (!value.isValid() || value.isNull())
        return kNull;
    if (value.metaType() == QMetaType::fromType<int>())
        return *static_cast<const int *>(value.constData());
    return kOtherType;
}

TMemTable::IntColumn &TMemTable::IntColumnOf(int slot) {
    auto found = m_intColumns.find(slot);
    if (found != m_intColumns.end())
        return found->second;
    IntColumn &column = m_intColumns[slot];
    column.values.reserve(m_records.size());
    for (const Record &record : m_records)
        column.values.push_back(IntColumn::of(record[slot]));
    return column;
}

bool TMemTable::InternalLocate(const QList<TField *> &keyFields, const QVariantList &keyValues,
                               TLocateOptions options) {
    // One integer key, as the check searches its listed rows by ID once per duplicate it
    // finds: the search runs over a copy of that field's values as plain integers, kept
    // beside the records. Through QVariant the comparison took most of the time of a check
    // that lists thousands of rows, each search scanning all of them.
    const QMetaType intType = QMetaType::fromType<int>();
    if (keyFields.size() == 1 && keyValues[0].metaType() == intType && !keyValues[0].isNull()) {
        const int slot = Slot(keyFields[0]);
        const qint64 key = *static_cast<const int *>(keyValues[0].constData());
        const qint64 *values = IntColumnOf(slot).values.data();
        for (qsizetype i = 0; i < qsizetype(m_records.size()); ++i) {
            if (values[i] != key && values[i] != kOtherType)
                continue;
            const bool match =
                values[i] == key || matches(m_records[i][slot], keyValues[0], options);
            if (match && Accepts(i)) {
                m_current = i;
                return true;
            }
        }
        return false;
    }
    for (qsizetype i = 0; i < qsizetype(m_records.size()); ++i) {
        const Record &record = m_records[i];
        bool all = true;
        for (qsizetype k = 0; k < keyFields.size() && all; ++k)
            all = matches(record[Slot(keyFields[k])], keyValues[k], options);
        if (all && Accepts(i)) {
            m_current = i;
            return true;
        }
    }
    return false;
}

void TMemTable::EmptyTable() {
    DisableControls();
    struct Enable {
        TDataSet *ds;
        ~Enable() { ds->EnableControls(); }
    } enable{this};
    if (Active())
        CheckBrowseMode();
    m_records.clear();
    m_intColumns.clear();
    m_buffer.clear();
    m_current = -1;
    if (Active()) {
        SetCursorFlags(false, true, true);
        DataEvent(TDataEvent::DataSetChanged);
    }
}
