#include "data/DbDataSet.h"

#include "data/DbConnection.h"
#include "data/DbEngineError.h"
#include "data/Field.h"
#include "data/RecordImage.h"
#include "dbeng.h"
#include "platform/Cp1252.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Reads of single fields of one record before the whole image is cheaper.
constexpr int kSingleFieldReads = 4;
constexpr uint32_t kNoOrder = 0xFFFFFFFFu;

using RecordImage::allZero;
using RecordImage::load;
using RecordImage::store;

TFieldType fieldTypeOf(uint16_t engineType, uint32_t length, uint16_t decimals) {
    switch (engineType) {
    case DB_TYPE_LOGICAL:
        return ftBoolean;
    case DB_TYPE_NUMERIC:
        return decimals > 0 || length > 4 ? ftFloat : ftSmallint;
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
        return ftDate;
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
        return ftString;
    case DB_TYPE_MEMO:
    case DB_TYPE_VARCHAR:
        return ftMemo;
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE:
        return ftBlob;
    case DB_TYPE_DOUBLE:
        return ftFloat;
    case DB_TYPE_INTEGER:
        return ftInteger;
    case DB_TYPE_SHORTINT:
        return ftSmallint;
    case DB_TYPE_TIME:
        return ftTime;
    case DB_TYPE_TIMESTAMP:
        return ftDateTime;
    case DB_TYPE_AUTOINC:
        return ftAutoInc;
    case DB_TYPE_RAW:
        return ftBytes;
    case DB_TYPE_CURDOUBLE:
        return ftCurrency;
    default:
        return ftUnknown;
    }
}

// A stored text as a QString value. Texts without the bytes 0x80..0x9F, where Windows-1252 and
// Latin-1 differ, take the fast Latin-1 path; the QString is moved into the value uncopied.
QVariant textVariant(const uint8_t *p, uint32_t len) {
    bool latin1 = true;
    for (uint32_t i = 0; i < len && latin1; ++i)
        latin1 = p[i] < 0x80 || p[i] >= 0xA0;
    QString text = latin1 ? QString::fromLatin1(reinterpret_cast<const char *>(p), qsizetype(len))
                          : Cp1252::toQString(reinterpret_cast<const char *>(p), len);
    QVariant value(QMetaType::fromType<QString>());
    *static_cast<QString *>(value.data()) = std::move(text);
    return value;
}

bool isString(uint16_t type) {
    return type == DB_TYPE_STRING || type == DB_TYPE_CISTRING;
}

// Why the field cannot store the value exactly; empty when it can. Texts travel to the engine
// in Windows-1252, strings end at a zero byte and fill at most their field: a value that lost
// anything on that way would be another value.
QString unstorableReason(uint16_t type, uint32_t length, const QVariant &value) {
    if (!value.isValid() || value.isNull())
        return {};
    const bool memo = type == DB_TYPE_MEMO || type == DB_TYPE_VARCHAR;
    if (isString(type) || memo) {
        const QString text = value.toString();
        const qsizetype bad = Cp1252::firstWithoutCode(text);
        if (bad >= 0)
            return Cp1252::describeCharacter(text, bad) + QStringLiteral(" gibt es im Zeichensatz "
                                                                         "Windows-1252 nicht");
        if (memo)
            return {};
        if (text.contains(QChar(0)))
            return QStringLiteral("er enthält ein Nullzeichen");
        if (text.size() > qsizetype(length))
            return QStringLiteral("er ist %1 Zeichen lang, das Feld fasst %2")
                .arg(text.size())
                .arg(length);
    } else if (type == DB_TYPE_RAW) {
        const QByteArray bytes = value.toByteArray();
        if (bytes.size() > qsizetype(length) &&
            !allZero(reinterpret_cast<const uint8_t *>(bytes.constData()) + length,
                     uint32_t(bytes.size() - qsizetype(length))))
            return QStringLiteral("er ist %1 Bytes lang, das Feld fasst %2")
                .arg(bytes.size())
                .arg(length);
    }
    return {};
}

QString engineText(const char *buf, uint32_t len) {
    return Cp1252::toQString(buf, len);
}

// A number as the engine writes it: '.' before the decimals.
QString numberText(const QVariant &value) {
    if (value.typeId() == QMetaType::Double) {
        QString t = QString::number(value.toDouble(), 'f', 10);
        if (t.contains(u'.')) {
            while (t.endsWith(u'0'))
                t.chop(1);
            if (t.endsWith(u'.'))
                t.chop(1);
        }
        return t;
    }
    return value.toString();
}

} // namespace

TDbDataSet::TDbDataSet(QObject *owner) : TDataSet(owner) {}

TDbDataSet::~TDbDataSet() {
    if (m_connection)
        m_connection->DetachTable(this);
}

void TDbDataSet::Check(uint32_t result) const {
    CheckDbResult(this, result);
}

void TDbDataSet::Fail(const QString &text) const {
    RaiseDbEngineError(this, 5121, text);
}

void TDbDataSet::RaiseNotEditing() const {
    Fail(QStringLiteral("Dataset not in edit mode"));
}

void TDbDataSet::SetDbConnection(TDbConnection *connection) {
    if (Active())
        Fail(QStringLiteral("Table must not be Active."));
    if (connection == m_connection)
        return;
    if (m_connection)
        m_connection->DetachTable(this);
    m_connection = connection;
    if (connection)
        connection->AttachTable(this);
}

void TDbDataSet::ConnectionGone() {
    ReleaseHandles();
    m_connection = nullptr;
}

void TDbDataSet::ReleaseHandles() {
    if (Active()) {
        try {
            Close();
        } catch (const Exception &) {
        }
    }
    m_handle = 0;
}

void TDbDataSet::BeforeRollback() {
    m_rollbackPlace = RollbackPlace();
    if (!Active())
        return;
    // The rollback drops the engine's pending change; the data set's must not outlive it.
    Cancel();
    if (!HasCurrentRecord())
        return;
    m_rollbackPlace.hasRecord = true;
    m_rollbackPlace.recno = CurrentRecno();
    // A record another handle deleted under the cursor has no image to give; the rollback
    // brings it back, and it is found again by its number.
    QByteArray image(qsizetype(m_recordLength), '\0');
    uint32_t length = m_recordLength;
    if (m_indexOrder &&
        DbGetRecord(m_handle, reinterpret_cast<uint8_t *>(image.data()), &length) == DBE_SUCCESS)
        m_rollbackPlace.image = image;
}

void TDbDataSet::AfterRollback() {
    if (!Active())
        return;
    const RollbackPlace place = std::exchange(m_rollbackPlace, RollbackPlace());
    if (!place.hasRecord) {
        First();
    } else {
        if (BeforeScroll)
            BeforeScroll(this);
        Check(DbGotoBOF(m_order));
        const uint32_t r = DbGotoBookmark(m_handle, place.recno);
        if (r != DBE_RECORD_NOT_FOUND)
            Check(r);
        if (r == DBE_SUCCESS && Fetch(0)) {
            NewRecord(place.recno);
            RecordFound();
        } else if (m_indexOrder && !place.image.isEmpty() && SeekImageKey(place.image) &&
                   (Fetch(0) || Fetch(1))) {
            // The record was appended inside the transaction: the nearest is the next key.
            RecordFound();
        } else {
            // Past the last key; or in the table's own order, where every record after it was
            // appended inside the transaction too (numbers only grow, and the transaction kept
            // other writers out): the nearest is the last record.
            Last();
        }
    }
    // Whatever the data set shows may have changed, not only its current record.
    DataEvent(TDataEvent::DataSetChanged);
}

bool TDbDataSet::SeekImageKey(const QByteArray &image) {
    const TDbIndexDef *index = nullptr;
    for (const TDbIndexDef &def : m_indexes)
        if (def.Handle == m_indexOrder)
            index = &def;
    if (!index)
        return false;
    SeekBuiltKey(*index, DB_SEEK_SOFT, [&] {
        for (const QString &name : index->Fields) {
            auto info = std::find_if(m_info.begin(), m_info.end(), [&](const FieldInfo &f) {
                return f.name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (info == m_info.end())
                Fail(QStringLiteral("Field '%1' not found").arg(name));
            Check(DbSetFieldRaw(m_handle, info->number,
                                reinterpret_cast<const uint8_t *>(image.constData()) + info->offset,
                                info->length));
        }
    });
    uint16_t eof = 0;
    Check(DbAtEOF(m_handle, &eof));
    return !eof;
}

QString TDbDataSet::ResolvedDirectory() const {
    return m_connection ? m_connection->ResolvedDirectory() : m_databaseName;
}

void TDbDataSet::SetExclusive(bool exclusive) {
    if (Active())
        Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_exclusive = exclusive;
}

bool TDbDataSet::CanModify() const {
    return TDataSet::CanModify() && !(m_openOptions & DB_OPEN_READONLY);
}

// --- Opening ------------------------------------------------------------------------------------

void TDbDataSet::InternalOpen() {
    m_handle = OpenTableHandle();
    try {
        Check(DbGetRecordLength(m_handle, &m_recordLength));
        Check(DbGetTableOpenOptions(m_handle, &m_openOptions));
        ReadDefinitions();
        m_order = m_handle;
        m_indexOrder = 0;
        SetActiveOrder(ChooseActiveOrder());
        Check(DbGotoBOF(m_order));
    } catch (...) {
        DbCloseTable(m_handle);
        m_handle = 0;
        throw;
    }
}

void TDbDataSet::ReadDefinitions() {
    uint16_t count = 0;
    Check(DbGetNumFields(m_handle, &count));
    m_info.assign(count, FieldInfo());
    FieldDefs().clear();
    uint32_t widest = m_recordLength;
    for (uint16_t n = 1; n <= count; ++n) {
        FieldInfo &info = m_info[n - 1];
        info.number = n;
        Check(DbGetFieldType(m_handle, n, &info.type));
        Check(DbGetFieldLength(m_handle, n, &info.length));
        if (info.type == DB_TYPE_NUMERIC)
            Check(DbGetFieldDecimals(m_handle, n, &info.decimals));
        char name[256] = {};
        uint16_t len = sizeof name;
        Check(DbGetFieldName(m_handle, n, name, &len));
        info.name = engineText(name, len);
        Check(DbGetFieldOffset(m_handle, n, &info.offset));
        Check(DbGetColumnPermissions(m_handle, n, &info.permissions));
        const TFieldType type = fieldTypeOf(info.type, info.length, info.decimals);
        if (type == ftUnknown)
            Fail(QStringLiteral("Unknown field type (%1) encountered.").arg(info.type));
        TFieldDef def;
        def.Name = info.name;
        def.DataType = type;
        def.Size = type == ftString || type == ftBytes ? int(info.length) : 0;
        def.FieldNo = n;
        def.ReadOnly = !(info.permissions & DB_PERMISSION_WRITE);
        FieldDefs() << def;
        widest = std::max(widest, info.length);
    }
    m_scratch.assign(std::max<uint32_t>(widest, 16) + 1, 0);

    m_indexes.clear();
    uint16_t indexes = 0;
    Check(DbGetNumIndexes(m_handle, &indexes));
    for (uint16_t i = 1; i <= indexes; ++i) {
        TDbIndexDef def;
        Check(DbGetIndexHandleByOrder(m_handle, i, &def.Handle));
        char buf[DB_MAX_KEY_LENGTH + 1] = {};
        uint16_t len = sizeof buf;
        Check(DbGetIndexName(def.Handle, buf, &len));
        def.Name = engineText(buf, len);
        len = sizeof buf;
        Check(DbGetIndexExpr(def.Handle, buf, &len));
        for (const QString &f : engineText(buf, len).split(u';', Qt::SkipEmptyParts))
            def.Fields << f.trimmed();
        len = sizeof buf;
        def.HasCondition = DbGetIndexCondition(def.Handle, buf, &len) == DBE_SUCCESS && len > 0;
        len = sizeof buf;
        def.HasScope = DbGetScope(def.Handle, 0, buf, &len) == DBE_SUCCESS && len > 0;
        uint16_t flag = 0;
        Check(DbIsIndexUnique(def.Handle, &flag));
        def.Unique = flag != 0;
        Check(DbIsIndexCustom(def.Handle, &flag));
        def.Custom = flag != 0;
        m_indexes << def;
    }
}

void TDbDataSet::InternalFieldsReady() {
    m_values.assign(m_info.size(), QVariant());
    m_valueGeneration.assign(m_info.size(), 0);
    m_changed.assign(m_info.size(), false);
    m_imageValid = false;
}

void TDbDataSet::InternalClose() {
    const uint32_t handle = m_handle;
    m_handle = 0;
    m_order = 0;
    m_indexOrder = 0;
    m_recno = 0;
    m_locked = false;
    m_indexes.clear();
    m_info.clear();
    m_values.clear();
    m_valueGeneration.clear();
    FieldDefs().clear();
    if (handle)
        Check(DbCloseTable(handle));
}

void TDbDataSet::SetActiveOrder(uint32_t indexHandle) {
    m_indexOrder = indexHandle;
    m_order = indexHandle ? indexHandle : m_handle;
}

// --- Moving -------------------------------------------------------------------------------------

void TDbDataSet::NewRecord(uint32_t recno) {
    m_recno = recno;
    m_recnoKnown = true;
    ++m_generation;
    m_fieldReads = 0;
    m_imageValid = false;
}

void TDbDataSet::Reread() {
    ++m_generation;
    m_fieldReads = 0;
    m_imageValid = false;
}

void TDbDataSet::NewRecordAtCursor() {
    NewRecord(0);
    m_recnoKnown = false;
}

uint32_t TDbDataSet::CurrentRecno() const {
    if (!m_recnoKnown) {
        uint32_t bookmark = 0;
        Check(DbGetBookmark(m_handle, &bookmark));
        m_recno = bookmark;
        m_recnoKnown = true;
    }
    return m_recno;
}

bool TDbDataSet::Filtering() const {
    return Filtered() && bool(OnFilterRecord);
}

// Finds a visible (and accepted) record from the cursor on, in direction +1 / -1; 0 only
// checks the current one. A walk asks the engine for nothing more than the move and the
// visibility: the record number is learnt when something needs it.
bool TDbDataSet::Fetch(int direction) {
    for (;;) {
        uint16_t visible = 0;
        const uint32_t r = DbIsRecordVisible(m_order, &visible);
        if (r != DBE_SUCCESS && r != DBE_NO_CURRENT_RECORD)
            Check(r);
        if (r == DBE_SUCCESS && visible) {
            NewRecordAtCursor();
            if (!Filtering())
                return true;
            bool accept = true;
            OnFilterRecord(this, accept);
            if (accept)
                return true;
        } else {
            uint16_t end = 0;
            if (direction >= 0) {
                Check(DbAtEOF(m_handle, &end));
                if (end)
                    return false;
            }
            if (direction <= 0) {
                Check(DbAtBOF(m_handle, &end));
                if (end)
                    return false;
            }
        }
        if (direction == 0)
            return false;
        Check(DbSkip(m_order, direction));
    }
}

bool TDbDataSet::InternalFirst() {
    Check(DbGotoTop(m_order));
    return Fetch(1);
}

bool TDbDataSet::InternalLast() {
    Check(DbGotoBottom(m_order));
    return Fetch(-1);
}

bool TDbDataSet::Step(int direction) {
    if (!HasCurrentRecord())
        return false;
    // With a record filter the records passed over are not the current one, so the way back
    // is by bookmark; otherwise one skip back from the end reaches the current record.
    const bool filtering = Filtering();
    const uint32_t current = filtering ? CurrentRecno() : 0;
    Check(DbSkip(m_order, direction));
    if (Fetch(direction))
        return true;
    // The engine went past the end; the current record stays current, so its cursor goes back
    // to it for the reads and moves that follow.
    if (filtering) {
        // When another user deleted the current record meanwhile, the record nearest to the
        // end becomes current, as after a step from there.
        GoBackTo(current, direction > 0 ? Gone::Last : Gone::First);
    } else {
        // One skip back reaches the record before the end: the current one, or the one before
        // it when another user deleted it meanwhile. Which of them is not known without asking
        // the engine, so the record is learnt afresh (once, at the end of a walk).
        Check(DbSkip(m_order, -direction));
        NewRecordAtCursor();
    }
    return false;
}

void TDbDataSet::GoBackTo(uint32_t recno, Gone gone) {
    const uint32_t r = DbGotoBookmark(m_handle, recno);
    if (r != DBE_RECORD_NOT_FOUND) {
        Check(r);
        NewRecord(recno);
        return;
    }
    // Another user deleted the record meanwhile, and the engine's cursor has left its place:
    // there is nothing to go back to. Another record becomes current, so that what the data
    // set shows and where the engine's cursor stands agree again.
    gone == Gone::Last ? Last() : First();
}

bool TDbDataSet::InternalNext() {
    return Step(1);
}

bool TDbDataSet::InternalNextSharedKey(int most, int &passed) {
    passed = 0;
    // A record filter of the data set's own decides on each record: no record is passed then.
    if (!HasCurrentRecord() || Filtering() || most <= 0)
        return Step(1);
    const uint32_t generation = m_generation;
    uint32_t n = 0;
    Check(DbSkipToSharedKey(m_order, uint32_t(most), &n));
    passed = int(std::min<uint32_t>(n, uint32_t(std::numeric_limits<int>::max())));
    if (Fetch(1))
        return true;
    // Past the end: the last record becomes current, as after Next at the last record.
    Check(DbSkip(m_order, -1));
    if (n > 0 || m_generation != generation)
        NewRecordAtCursor();
    return false;
}

bool TDbDataSet::InternalPrior() {
    return Step(-1);
}

int TDbDataSet::InternalRecordCount() {
    uint16_t option = DB_IGNORE_FILTERS;
    if (m_options.DbFilterOptions == TDbTableOptions::RESPECT_WHEN_COUNTING)
        option = DB_RESPECT_FILTERS;
    if (m_options.DbScopeOptions == TDbTableOptions::RESPECT_SCOPES_WHEN_COUNTING)
        option = DB_RESPECT_SCOPES;
    if (m_options.DbFreshRecordCount)
        option += 4;
    uint32_t count = 0;
    Check(DbGetRecordCount(m_order, option, &count));
    return int(std::min<uint32_t>(count, uint32_t(std::numeric_limits<int>::max())));
}

// --- Reading ------------------------------------------------------------------------------------

bool TDbDataSet::IsBlob(const FieldInfo &info) const {
    switch (info.type) {
    case DB_TYPE_MEMO:
    case DB_TYPE_VARCHAR:
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE:
        return true;
    default:
        return false;
    }
}

QVariant TDbDataSet::Decode(const FieldInfo &info, const uint8_t *p) const {
    const uint32_t n = info.length;
    switch (info.type) {
    case DB_TYPE_LOGICAL:
        if (p[0] == ' ' || p[0] == 0)
            return {};
        return p[0] == '1' || p[0] == 'T' || p[0] == 'Y' || p[0] == 't' || p[0] == 'y';
    case DB_TYPE_NUMERIC: {
        if (allZero(p, n))
            return {};
        const QByteArray text = QByteArray(reinterpret_cast<const char *>(p), n).trimmed();
        if (text.isEmpty())
            return {};
        if (fieldTypeOf(info.type, info.length, info.decimals) == ftFloat)
            return text.toDouble();
        return text.toInt();
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE: {
        const int32_t jd = load<int32_t>(p);
        if (jd == 0)
            return {};
        return QDate::fromJulianDay(jd);
    }
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        const void *zero = std::memchr(p, 0, n);
        uint32_t len = zero ? uint32_t(static_cast<const uint8_t *>(zero) - p) : n;
        // Stored texts are mostly short and blank-padded: drop the padding eight bytes at a time.
        constexpr uint64_t kBlanks = 0x2020202020202020ull;
        while (len >= 8 && load<uint64_t>(p + len - 8) == kBlanks)
            len -= 8;
        while (len > 0 && p[len - 1] == ' ')
            --len;
        if (len == 0)
            return {};
        return textVariant(p, len);
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        if (allZero(p, 8))
            return {};
        return load<double>(p);
    case DB_TYPE_INTEGER: {
        const int32_t v = load<int32_t>(p);
        if (v == std::numeric_limits<int32_t>::min())
            return {};
        return int(v);
    }
    case DB_TYPE_SHORTINT: {
        const int16_t v = load<int16_t>(p);
        if (v == -32768)
            return {};
        return int(v);
    }
    case DB_TYPE_AUTOINC: {
        const int32_t v = load<int32_t>(p);
        if (v == -1)
            return {};
        return int(v);
    }
    case DB_TYPE_TIME: {
        const int32_t ms = load<int32_t>(p);
        if (ms == -1)
            return {};
        return QTime::fromMSecsSinceStartOfDay(ms);
    }
    case DB_TYPE_TIMESTAMP: {
        if (allZero(p, 8))
            return {};
        return QDateTime(QDate::fromJulianDay(load<int32_t>(p)),
                         QTime::fromMSecsSinceStartOfDay(load<int32_t>(p + 4)));
    }
    case DB_TYPE_RAW:
        if (allZero(p, n))
            return {};
        return QByteArray(reinterpret_cast<const char *>(p), n);
    default:
        return {};
    }
}

QVariant TDbDataSet::ReadBlob(const FieldInfo &info) const {
    uint8_t ref[8] = {};
    uint32_t len = sizeof ref;
    Check(DbGetFieldRaw(m_handle, info.number, ref, &len));
    if (load<uint32_t>(ref) == 0)
        return {};
    uint32_t size = 0;
    Check(DbGetBinaryLength(m_handle, info.number, &size));
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    uint32_t got = size;
    if (size > 0)
        Check(
            DbGetBinary(m_handle, info.number, 0, reinterpret_cast<uint8_t *>(bytes.data()), &got));
    bytes.truncate(qsizetype(std::min(got, size)));
    if (bytes.isEmpty())
        return {};
    if (info.type == DB_TYPE_MEMO || info.type == DB_TYPE_VARCHAR)
        return Cp1252::toQString(bytes);
    return bytes;
}

const QVariant &TDbDataSet::GetFieldData(const TField *field) const {
    static const QVariant null;
    const int i = field->FieldNo() - 1;
    assert(i >= 0 && i < int(m_info.size()));
    const FieldInfo &info = m_info[i];
    if (State() == dsEdit || State() == dsInsert) {
        QVariant &value = m_editValue;
        if (IsBlob(info)) {
            const auto edited = m_blobEdits.find(i);
            if (edited != m_blobEdits.end())
                return edited->second;
            value = State() == dsEdit ? ReadBlob(info) : QVariant();
        } else {
            value = Decode(info, reinterpret_cast<const uint8_t *>(m_editImage.constData()) +
                                     info.offset);
        }
        return value;
    }
    if (!HasCurrentRecord())
        return null;
    if (m_valueGeneration[i] == m_generation)
        return m_values[i];
    QVariant &value = m_values[i];
    if (IsBlob(info)) {
        value = ReadBlob(info);
    } else {
        if (!m_imageValid && ++m_fieldReads > kSingleFieldReads) {
            m_image.resize(qsizetype(m_recordLength));
            uint32_t len = m_recordLength;
            Check(DbGetRecord(m_handle, reinterpret_cast<uint8_t *>(m_image.data()), &len));
            m_imageValid = true;
        }
        if (m_imageValid) {
            value =
                Decode(info, reinterpret_cast<const uint8_t *>(m_image.constData()) + info.offset);
        } else {
            uint32_t len = uint32_t(m_scratch.size());
            Check(DbGetFieldRaw(m_handle, info.number, m_scratch.data(), &len));
            value = Decode(info, m_scratch.data());
        }
    }
    m_valueGeneration[i] = m_generation;
    return value;
}

// --- Changing
// -------------------------------------------------------------------------------------

void TDbDataSet::Encode(const FieldInfo &info, const QVariant &value, uint8_t *p) const {
    const uint32_t n = info.length;
    const bool null = !value.isValid() || value.isNull();
    switch (info.type) {
    case DB_TYPE_LOGICAL:
        p[0] = null ? ' ' : (value.toBool() ? 'T' : 'F');
        break;
    case DB_TYPE_NUMERIC: {
        // A value that does not fit is refused before anything is written.
        if (null) {
            std::memset(p, 0, n);
            break;
        }
        const QString text = info.decimals > 0
                                 ? QString::number(value.toDouble(), 'f', info.decimals)
                                 : QString::number(std::llround(value.toDouble()));
        if (uint32_t(text.size()) > n)
            DatabaseError(
                QStringLiteral("Der Wert %1 passt nicht in das Feld '%2'").arg(text, info.name));
        const QByteArray bytes = text.toLatin1().rightJustified(qsizetype(n), ' ');
        std::memcpy(p, bytes.constData(), n);
        break;
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
        store<int32_t>(p, null ? 0 : int32_t(value.toDate().toJulianDay()));
        break;
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        // An empty text is the stored empty value (zero bytes), any other text is blank-padded.
        std::memset(p, 0, n);
        if (null)
            break;
        // The text was checked when it was assigned: it fits and has a code for every character.
        const QByteArray bytes = Cp1252::fromQString(value.toString()).left(qsizetype(n));
        if (bytes.isEmpty())
            break;
        std::memset(p, ' ', n);
        std::memcpy(p, bytes.constData(), size_t(bytes.size()));
        break;
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        if (null)
            std::memset(p, 0, 8);
        else
            store<double>(p, value.toDouble());
        break;
    case DB_TYPE_INTEGER:
        store<int32_t>(p, null ? std::numeric_limits<int32_t>::min() : int32_t(value.toInt()));
        break;
    case DB_TYPE_SHORTINT:
        store<int16_t>(p, null ? int16_t(-32768) : int16_t(value.toInt()));
        break;
    case DB_TYPE_AUTOINC:
        store<int32_t>(p, null ? -1 : int32_t(value.toInt()));
        break;
    case DB_TYPE_TIME:
        store<int32_t>(p, null ? -1 : int32_t(value.toTime().msecsSinceStartOfDay()));
        break;
    case DB_TYPE_TIMESTAMP:
        if (null) {
            std::memset(p, 0, 8);
        } else {
            const QDateTime dt = value.toDateTime();
            store<int32_t>(p, int32_t(dt.date().toJulianDay()));
            store<int32_t>(p + 4, int32_t(dt.time().msecsSinceStartOfDay()));
        }
        break;
    case DB_TYPE_RAW: {
        std::memset(p, 0, n);
        if (!null) {
            const QByteArray bytes = value.toByteArray().left(qsizetype(n));
            std::memcpy(p, bytes.constData(), size_t(bytes.size()));
        }
        break;
    }
    default:
        break;
    }
}

QByteArray TDbDataSet::NullImage() const {
    QByteArray image(qsizetype(m_recordLength), '\0');
    for (const FieldInfo &info : m_info) {
        if (!IsBlob(info))
            Encode(info, QVariant(), reinterpret_cast<uint8_t *>(image.data()) + info.offset);
    }
    return image;
}

void TDbDataSet::SetFieldData(TField *field, const QVariant &value) {
    const int i = field->FieldNo() - 1;
    const FieldInfo &info = m_info[i];
    const QString reason = unstorableReason(info.type, info.length, value);
    if (!reason.isEmpty())
        DatabaseError(QStringLiteral("Der Wert passt nicht in das Feld '%1': %2.")
                          .arg(field->DisplayName(), reason));
    if (IsBlob(info))
        m_blobEdits[i] = value;
    else
        Encode(info, value, reinterpret_cast<uint8_t *>(m_editImage.data()) + info.offset);
    m_changed[i] = true;
}

void TDbDataSet::InternalEdit() {
    if (!(m_openOptions & DB_OPEN_UPDATE_PERMITTED))
        DbSetLastError(DBE_UPDATE_PERMISSION, "Update permission not granted on this table.");
    const bool lock =
        !m_exclusive && m_options.DbRecordLockingMode == TDbTableOptions::lmPessimistic;
    if (lock) {
        const uint32_t r = DbLockRecord(m_handle, CurrentRecno());
        if (r == DBE_STATIC_VIEW)
            RaiseDbEngineError(this, DBE_STATIC_VIEW,
                               QStringLiteral("This table is based on a static VIEW. Static "
                                              "VIEWs can not be updated."));
        Check(r);
    }
    try {
        Check(DbGotoRecord(m_handle, CurrentRecno()));
        QByteArray image(qsizetype(m_recordLength), '\0');
        uint32_t len = m_recordLength;
        Check(DbGetRecord(m_handle, reinterpret_cast<uint8_t *>(image.data()), &len));
        m_editImage = image;
        m_checkImage = image;
    } catch (...) {
        if (lock)
            DbUnlockRecord(m_handle, m_recno);
        throw;
    }
    m_locked = lock;
    Reread();
    std::fill(m_changed.begin(), m_changed.end(), false);
    m_blobEdits.clear();
}

void TDbDataSet::InternalAppend() {
    m_editImage = NullImage();
    std::fill(m_changed.begin(), m_changed.end(), false);
    m_blobEdits.clear();
}

void TDbDataSet::WriteChangedFields() {
    for (int i = int(m_info.size()) - 1; i >= 0; --i) {
        if (!m_changed[i])
            continue;
        const FieldInfo &info = m_info[i];
        if (info.type == DB_TYPE_AUTOINC)
            continue;
        if (IsBlob(info)) {
            // Memos and blobs are stored with the record, so a Post never loses them.
            const QVariant value = m_blobEdits[i];
            QByteArray bytes = value.typeId() == QMetaType::QString
                                   ? Cp1252::fromQString(value.toString())
                                   : value.toByteArray();
            if (bytes.isEmpty())
                Check(DbSetEmpty(m_handle, info.number));
            else
                Check(DbSetBinary(m_handle, info.number,
                                  reinterpret_cast<const uint8_t *>(bytes.constData()),
                                  uint32_t(bytes.size())));
            continue;
        }
        const char *bytes = m_editImage.constData() + info.offset;
        if (isString(info.type)) {
            bool blank = true;
            for (uint32_t k = 0; k < info.length && blank; ++k)
                blank = bytes[k] == ' ' || bytes[k] == 0;
            if (blank)
                Check(DbSetEmpty(m_handle, info.number));
            else
                Check(DbSetField(m_handle, info.number, bytes, info.length));
        } else {
            Check(DbSetFieldRaw(m_handle, info.number, reinterpret_cast<const uint8_t *>(bytes),
                                info.length));
        }
    }
}

void TDbDataSet::InternalPost() {
    if (State() == dsInsert) {
        Check(DbAppendRecord(m_handle));
        try {
            WriteChangedFields();
            Check(DbWriteRecord(m_handle));
        } catch (...) {
            // The engine's pending copy goes; ours stays, so the caller may correct and retry.
            DbCancelUpdate(m_handle);
            throw;
        }
        uint32_t recno = 0;
        Check(DbGetRecordNum(m_handle, &recno));
        NewRecord(recno);
        m_blobEdits.clear();
        return;
    }
    const bool optimistic =
        !m_exclusive && m_options.DbRecordLockingMode == TDbTableOptions::lmOptimistic;
    bool lockedHere = false;
    try {
        if (optimistic) {
            Check(DbLockRecord(m_handle, m_recno));
            lockedHere = true;
        }
        Check(DbGotoRecord(m_handle, m_recno));
        if (optimistic) {
            QByteArray now(qsizetype(m_recordLength), '\0');
            uint32_t len = m_recordLength;
            Check(DbGetRecord(m_handle, reinterpret_cast<uint8_t *>(now.data()), &len));
            if (now != m_checkImage)
                RaiseDbEngineError(this, 5186,
                                   QStringLiteral("Record was changed by another user."));
        }
        try {
            WriteChangedFields();
            Check(DbWriteRecord(m_handle));
        } catch (...) {
            DbCancelUpdate(m_handle);
            throw;
        }
    } catch (...) {
        if (lockedHere)
            DbUnlockRecord(m_handle, m_recno);
        throw;
    }
    if (lockedHere || m_locked) {
        m_locked = false;
        Check(DbUnlockRecord(m_handle, m_recno));
    }
    Reread();
    m_blobEdits.clear();
}

void TDbDataSet::Unlock() {
    if (!m_locked)
        return;
    m_locked = false;
    Check(DbUnlockRecord(m_handle, m_recno));
}

void TDbDataSet::InternalCancel() {
    const uint32_t r = DbCancelUpdate(m_handle);
    if (r != DBE_NO_CURRENT_RECORD && r != DBE_NO_UPDATE_PENDING)
        Check(r);
    m_blobEdits.clear();
    Reread();
    Unlock();
}

bool TDbDataSet::InternalDelete() {
    const uint32_t r = DbDeleteRecord(m_handle);
    if (r != DBE_SUCCESS) {
        // The cancel that follows a failed deletion usually has nothing to cancel; its answer
        // must not take the place of the deletion's error (a locked record, say).
        uint32_t number = 0;
        char text[DB_MAX_ERROR_TEXT + 1] = {};
        uint16_t len = sizeof text;
        DbGetLastError(&number, text, &len);
        DbCancelUpdate(m_handle);
        DbSetLastError(number, text);
        Check(r);
    }
    if (m_locked) {
        m_locked = false;
        DbUnlockRecord(m_handle, m_recno);
    }
    m_blobEdits.clear();
    // The deleted record is no longer visible: the next one becomes current, at the end the
    // previous one.
    if (Fetch(0))
        return true;
    Check(DbSkip(m_order, 1));
    if (Fetch(1))
        return true;
    Check(DbSkip(m_order, -1));
    if (Fetch(-1))
        return true;
    NewRecord(0);
    return false;
}

// --- Finding ------------------------------------------------------------------------------------

const TDbIndexDef *TDbDataSet::ChooseIndex(const QList<TField *> &keyFields,
                                           QString *lastField) const {
    const bool native = true; // every table the local server opens is a native table
    auto restricted = [&](const TDbIndexDef &d) {
        return d.HasScope || d.HasCondition || (d.Unique && !native) || d.Custom;
    };
    auto fits = [&](const TDbIndexDef &d) {
        const qsizetype n = keyFields.size();
        const qsizetype usable = std::min<qsizetype>(d.Fields.size(), 100);
        if (n > usable)
            return false;
        for (TField *key : keyFields) {
            bool found = false;
            for (qsizetype k = 0; k < n && !found; ++k)
                found =
                    d.Fields[k].compare(m_info[key->FieldNo() - 1].name, Qt::CaseInsensitive) == 0;
            if (!found)
                return false;
        }
        *lastField = d.Fields[n - 1];
        return true;
    };
    const TDbIndexDef *active = nullptr;
    for (const TDbIndexDef &d : m_indexes) {
        if (d.Handle == m_indexOrder && m_indexOrder != 0)
            active = &d;
    }
    if (active && restricted(*active))
        return fits(*active) ? active : nullptr;
    if (active && fits(*active))
        return active;
    for (const TDbIndexDef &d : m_indexes) {
        if (!restricted(d) && fits(d))
            return &d;
    }
    return nullptr;
}

QString TDbDataSet::IndexForLocate(const QString &keyFields, TLocateOptions options) const {
    CheckActive();
    if (options.testFlag(loCaseInsensitive))
        return {};
    QList<TField *> fields;
    for (const QString &name : keyFields.split(u';'))
        fields << FieldByName(name.trimmed());
    QString lastField;
    const TDbIndexDef *index = ChooseIndex(fields, &lastField);
    return index ? index->Name : QString();
}

bool TDbDataSet::SeekBuiltKey(const TDbIndexDef &index, uint16_t seekType,
                              const std::function<void()> &setSegments) {
    Check(DbInitRawKey(index.Handle));
    uint8_t key[DB_MAX_KEY_LENGTH + 1] = {};
    uint16_t keyLength = DB_MAX_KEY_LENGTH;
    try {
        setSegments();
        Check(DbBuildRawKey(index.Handle, key, &keyLength));
    } catch (...) {
        uint16_t ignored = DB_MAX_KEY_LENGTH;
        DbBuildRawKey(index.Handle, key, &ignored); // ends the scratch mode
        throw;
    }
    uint16_t found = 0;
    const uint32_t r = DbSeek(index.Handle, key, keyLength, DB_KEY_RAW, seekType, &found);
    if (r != DBE_NO_CURRENT_RECORD)
        Check(r);
    return found == 1;
}

bool TDbDataSet::SeekWithIndex(const TDbIndexDef &index, const QList<TField *> &keyFields,
                               const QVariantList &keyValues, const QString &lastField,
                               bool partial, bool stay) {
    // The record found is read next (Locate makes it current); a key not found leaves the
    // engine's cursor on the current record, so that nothing has to take it back there: on the
    // remote server a Locate is one round trip either way.
    const uint16_t seekType =
        DB_SEEK_HARD | DB_SEEK_READ_RECORD | (stay ? DB_SEEK_STAY : uint16_t(0));
    return SeekBuiltKey(index, seekType, [&] {
        for (qsizetype k = 0; k < keyFields.size(); ++k) {
            const FieldInfo &info = m_info[keyFields[k]->FieldNo() - 1];
            const QVariant &value = keyValues[k];
            if (!value.isValid() || value.isNull()) {
                Check(DbSetEmpty(m_handle, info.number));
            } else if (isString(info.type)) {
                QByteArray text = Cp1252::fromQString(value.toString());
                if (partial && info.name.compare(lastField, Qt::CaseInsensitive) == 0) {
                    while (text.endsWith(' '))
                        text.chop(1);
                } else {
                    text = text.leftJustified(qsizetype(info.length), ' ');
                }
                Check(DbSetField(m_handle, info.number, text.constData(), uint32_t(text.size())));
            } else {
                std::vector<uint8_t> bytes(std::max<uint32_t>(info.length, 8), 0);
                Encode(info, value, bytes.data());
                Check(DbSetFieldRaw(m_handle, info.number, bytes.data(), info.length));
            }
        }
    });
}

QString TDbDataSet::EngineDateText(const QDate &date) const {
    char buf[32] = {};
    uint16_t len = sizeof buf;
    Check(DbGetDateFormat(buf, &len));
    const QString format = QString::fromLatin1(buf, qstrnlen(buf, sizeof buf));
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i].toUpper();
        qsizetype n = 1;
        auto same = [&](QChar x) {
            const QChar u = x.toUpper();
            return c == u'Y' || c == u'C' ? (u == u'Y' || u == u'C') : u == c;
        };
        while (i + n < format.size() && same(format[i + n]))
            ++n;
        if (c == u'D')
            out += n >= 2 ? QString::asprintf("%02d", date.day()) : QString::number(date.day());
        else if (c == u'M')
            out += n >= 2 ? QString::asprintf("%02d", date.month()) : QString::number(date.month());
        else if (c == u'Y' || c == u'C')
            out += n >= 4 ? QString::asprintf("%04d", date.year())
                          : QString::asprintf("%02d", date.year() % 100);
        else
            out += format.mid(i, n);
        i += n;
    }
    return out;
}

bool TDbDataSet::SearchWithFilter(const QList<TField *> &keyFields, const QVariantList &keyValues,
                                  TLocateOptions options) {
    QStringList terms;
    for (qsizetype k = 0; k < keyFields.size(); ++k) {
        const FieldInfo &info = m_info[keyFields[k]->FieldNo() - 1];
        const QVariant &value = keyValues[k];
        if (!value.isValid() || value.isNull()) {
            terms << QStringLiteral("(empty(%1))").arg(info.name);
            continue;
        }
        QString text;
        switch (info.type) {
        case DB_TYPE_LOGICAL:
            text = value.toBool() ? QStringLiteral(".TRUE.") : QStringLiteral(".FALSE.");
            break;
        case DB_TYPE_DATE:
        case DB_TYPE_COMPACTDATE:
            text = QStringLiteral("ctod(\"%1\")").arg(EngineDateText(value.toDate()));
            break;
        case DB_TYPE_TIME:
            text = QStringLiteral("ctot(\"%1\")")
                       .arg(value.toTime().toString(QStringLiteral("hh:mm:ss")));
            break;
        case DB_TYPE_TIMESTAMP: {
            const QDateTime dt = value.toDateTime();
            text =
                QStringLiteral("ctots(\"%1 %2\")")
                    .arg(EngineDateText(dt.date()), dt.time().toString(QStringLiteral("hh:mm:ss")));
            break;
        }
        case DB_TYPE_STRING:
        case DB_TYPE_CISTRING: {
            QString quoted = value.toString();
            quoted.replace(u'"', QStringLiteral("\"+ Chr(34) + \""));
            quoted = u'"' + quoted + u'"';
            if (options.testFlag(loCaseInsensitive))
                terms << QStringLiteral("(UPPER(%1)=UPPER(%2))").arg(info.name, quoted);
            else
                terms << QStringLiteral("(%1=%2)").arg(info.name, quoted);
            continue;
        }
        default:
            text = numberText(value);
            break;
        }
        terms << QStringLiteral("(%1=%2)").arg(info.name, text);
    }
    const QByteArray expression = Cp1252::fromQString(terms.join(QStringLiteral(" AND ")));

    uint16_t exact = 1;
    Check(DbGetExact(&exact));
    Check(DbSetExact(options.testFlag(loPartialKey) ? 0 : 1));
    struct RestoreExact {
        uint16_t exact;
        ~RestoreExact() { DbSetExact(exact); }
    } restoreExact{exact};

    auto isSet = [&](uint32_t (*get)(uint32_t, char *, uint16_t *)) {
        char probe[1] = {};
        uint16_t len = 0;
        const uint32_t r = get(m_handle, probe, &len);
        if (r == DBE_INSUFFICIENT_BUFFER)
            return true;
        if (r == DBE_NO_FILTER || r == DBE_SUCCESS)
            return false;
        Check(r);
        return false;
    };
    const bool optSet = isSet(&DbGetOptFilter);
    const bool plainSet = isSet(&DbGetFilter);

    if (optSet && plainSet) {
        Check(DbGotoTop(m_order));
        for (;;) {
            uint16_t eof = 0;
            Check(DbAtEOF(m_handle, &eof));
            if (eof)
                return false;
            uint16_t result = 0;
            Check(DbEvalLogicalExpr(m_handle, expression.constData(), &result));
            if (result)
                return true;
            Check(DbSkip(m_order, 1));
        }
    }
    const bool installPlain = optSet;
    Check(installPlain ? DbSetFilter(m_handle, expression.constData())
                       : DbSetOptFilter(m_handle, expression.constData(), DB_RESOLVE_DYNAMIC));
    struct RemoveFilter {
        uint32_t handle;
        bool plain;
        ~RemoveFilter() { plain ? DbClearFilter(handle) : DbClearOptFilter(handle); }
    } removeFilter{m_handle, installPlain};
    Check(DbGotoTop(m_order));
    uint16_t eof = 0;
    Check(DbAtEOF(m_handle, &eof));
    return !eof;
}

bool TDbDataSet::InternalLocate(const QList<TField *> &keyFields, const QVariantList &keyValues,
                                TLocateOptions options) {
    // A key that no field can hold equals no stored value; cut or converted it might.
    for (qsizetype k = 0; k < keyFields.size(); ++k) {
        const FieldInfo &info = m_info[keyFields[k]->FieldNo() - 1];
        if (!unstorableReason(info.type, info.length, keyValues[k]).isEmpty())
            return false;
    }
    const bool hadRecord = HasCurrentRecord();
    const uint32_t saved = hadRecord ? CurrentRecno() : 0;
    QString lastField;
    const TDbIndexDef *index =
        options.testFlag(loCaseInsensitive) ? nullptr : ChooseIndex(keyFields, &lastField);
    bool found = false;
    // Whether the engine's cursor left the current record: a seek that stays does not when it
    // finds nothing.
    bool moved = true;
    try {
        found = index ? SeekWithIndex(*index, keyFields, keyValues, lastField,
                                      options.testFlag(loPartialKey), hadRecord)
                      : SearchWithFilter(keyFields, keyValues, options);
        moved = found || !index || !hadRecord;
        if (found) {
            uint32_t bookmark = 0;
            Check(DbGetBookmark(m_handle, &bookmark));
            NewRecord(bookmark);
            // The found record must pass the data set's own record filter too.
            if (Filtered() && OnFilterRecord) {
                bool accept = true;
                OnFilterRecord(this, accept);
                found = accept;
            }
        }
    } catch (...) {
        if (hadRecord) {
            NewRecord(saved);
            try {
                GoBackTo(saved, Gone::First);
            } catch (...) {
                // The failure of the search is the one to report.
            }
        }
        throw;
    }
    if (!found) {
        NewRecord(saved);
        // When another user deleted the record this data set stood on and the search took the
        // cursor away from its place, the first record becomes current.
        if (hadRecord && moved)
            GoBackTo(saved, Gone::First);
    }
    return found;
}

bool TDbDataSet::SeekKey(const QString &key, bool softSeek) {
    CheckActive();
    CheckBrowseMode();
    const QByteArray text = Cp1252::fromQString(key.left(DB_MAX_KEY_LENGTH));
    uint16_t found = 0;
    const uint32_t r = DbSeek(
        m_indexOrder ? m_indexOrder : kNoOrder, reinterpret_cast<const uint8_t *>(text.constData()),
        uint16_t(text.size()), DB_KEY_TEXT, softSeek ? DB_SEEK_SOFT : DB_SEEK_HARD, &found);
    if (r != DBE_NO_CURRENT_RECORD)
        Check(r);
    uint16_t eof = 0;
    uint16_t bof = 0;
    Check(DbAtEOF(m_handle, &eof));
    Check(DbAtBOF(m_handle, &bof));
    if (bof) {
        First();
    } else if (eof) {
        Last();
    } else {
        if (BeforeScroll)
            BeforeScroll(this);
        if (Fetch(0) || Fetch(1)) {
            RecordFound();
        } else {
            Last();
            return false;
        }
    }
    return found != 0;
}
