#include "data/Field.h"

#include "data/DataSet.h"
#include "platform/Convert.h"
#include "platform/Cp1252.h"
#include "platform/Exception.h"
#include "platform/FormatSettings.h"

#include <cmath>
#include <limits>

namespace {

QString decimalText(double value, char format, int precision) {
    QString text = QString::number(value, format, precision);
    const QChar sep = formatSettings().decimalSeparator;
    if (sep != u'.')
        text.replace(u'.', sep);
    return text;
}

// A number text in the process's format or with '.'; nullopt when it is none.
std::optional<double> parseFloat(const QString &text) {
    QString t = Convert::trim(text);
    if (t.isEmpty())
        return std::nullopt;
    const QChar sep = formatSettings().decimalSeparator;
    if (sep != u'.')
        t.replace(sep, u'.');
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<QTime> parseTime(const QString &text) {
    const QString t = Convert::trim(text);
    for (const char *format : {"h:m:s.z", "h:m:s", "h:m"}) {
        const QTime time = QTime::fromString(t, QString::fromLatin1(format));
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

bool isNullVariant(const QVariant &value) {
    return !value.isValid() || value.isNull();
}

const QDate kZeroDate(1899, 12, 30);

} // namespace

QString FieldTypeName(TFieldType type) {
    switch (type) {
    case ftString:
        return QStringLiteral("String");
    case ftSmallint:
        return QStringLiteral("Smallint");
    case ftInteger:
        return QStringLiteral("Integer");
    case ftBoolean:
        return QStringLiteral("Boolean");
    case ftFloat:
        return QStringLiteral("Float");
    case ftCurrency:
        return QStringLiteral("Currency");
    case ftDate:
        return QStringLiteral("Date");
    case ftTime:
        return QStringLiteral("Time");
    case ftDateTime:
        return QStringLiteral("DateTime");
    case ftBytes:
        return QStringLiteral("Bytes");
    case ftAutoInc:
        return QStringLiteral("AutoInc");
    case ftBlob:
        return QStringLiteral("Blob");
    case ftMemo:
        return QStringLiteral("Memo");
    case ftUnknown:
        break;
    }
    return QStringLiteral("Unknown");
}

// --- TField -----------------------------------------------------------------------------------

TField::TField(TFieldType type, int size, QObject *owner)
    : QObject(owner), m_dataType(type), m_size(size) {}

TField::~TField() {
    if (m_dataSet)
        m_dataSet->RemoveField(this);
}

void TField::SetDataSet(TDataSet *dataSet) {
    if (dataSet == m_dataSet)
        return;
    if ((dataSet && dataSet->Active()) || (m_dataSet && m_dataSet->Active()))
        throw EDatabaseError(QStringLiteral("%1: Operation bei geöffneter Datenmenge nicht "
                                            "ausführbar")
                                 .arg(dataSet && dataSet->Active() ? dataSet->objectName()
                                                                   : m_dataSet->objectName()));
    if (m_dataSet)
        m_dataSet->RemoveField(this);
    if (dataSet)
        dataSet->AddField(this);
}

void TField::SetFieldName(const QString &name) {
    if (m_dataSet && m_dataSet->Active())
        m_dataSet->DatabaseError(
            QStringLiteral("Operation bei geöffneter Datenmenge nicht ausführbar"));
    TDataSet *ds = m_dataSet;
    if (ds)
        ds->RemoveField(this);
    m_fieldName = name;
    if (ds)
        ds->AddField(this);
}

void TField::SetSize(int size) {
    if (m_dataSet && m_dataSet->Active())
        m_dataSet->DatabaseError(
            QStringLiteral("Operation bei geöffneter Datenmenge nicht ausführbar"));
    m_size = size;
}

int TField::Index() const {
    return m_dataSet ? int(m_dataSet->Fields().indexOf(this)) : -1;
}

QString TField::DisplayName() const {
    return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel;
}

QVariant TField::Value() const {
    if (!m_dataSet)
        throw EDatabaseError(
            QStringLiteral("Das Feld '%1' gehört zu keiner Datenmenge").arg(DisplayName()));
    m_dataSet->CheckActive();
    return m_dataSet->GetFieldData(this);
}

void TField::SetValue(const QVariant &value) {
    if (!m_dataSet)
        throw EDatabaseError(
            QStringLiteral("Das Feld '%1' gehört zu keiner Datenmenge").arg(DisplayName()));
    m_dataSet->CheckActive();
    const TDataSetState state = m_dataSet->State();
    if (state != dsEdit && state != dsInsert)
        m_dataSet->RaiseNotEditing();
    if (m_readOnly)
        throw EDatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(DisplayName()));
    m_dataSet->FieldAssigned(this,
                             m_dataSet->CutsToFieldSize() ? Convert(value) : ConvertWhole(value));
}

bool TField::IsNull() const {
    return isNullVariant(Value());
}

void TField::Clear() {
    SetValue(QVariant());
}

const QVariant &TField::ValueRef() const {
    if (!m_dataSet)
        throw EDatabaseError(
            QStringLiteral("Das Feld '%1' gehört zu keiner Datenmenge").arg(DisplayName()));
    m_dataSet->CheckActive();
    return m_dataSet->GetFieldData(this);
}

QString TField::AsString() const {
    const QVariant &v = ValueRef();
    if (v.typeId() == QMetaType::QString) // the common case, without a second copy
        return *static_cast<const QString *>(v.constData());
    return isNullVariant(v) ? QString() : TextOf(v);
}

void TField::SetAsString(const QString &text) {
    SetValue(text);
}

qint32 TField::AsInteger() const {
    const QVariant &v = ValueRef();
    if (isNullVariant(v))
        return 0;
    switch (v.typeId()) {
    case QMetaType::Int:
        return v.toInt();
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::Double: {
        const double d = std::round(v.toDouble());
        if (d < std::numeric_limits<qint32>::min() || d > std::numeric_limits<qint32>::max())
            ConversionError(TextOf(v), QStringLiteral("Integerwert"));
        return qint32(d);
    }
    case QMetaType::QString: {
        const auto n = Convert::toInt(v.toString());
        if (!n)
            ConversionError(v.toString(), QStringLiteral("Integerwert"));
        return *n;
    }
    default:
        ConversionError(TextOf(v), QStringLiteral("Integerwert"));
    }
}

void TField::SetAsInteger(qint32 value) {
    SetValue(value);
}

double TField::AsFloat() const {
    const QVariant &v = ValueRef();
    if (isNullVariant(v))
        return 0.0;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Double:
        return v.toDouble();
    case QMetaType::Bool:
        return v.toBool() ? 1.0 : 0.0;
    case QMetaType::QString: {
        const auto d = parseFloat(v.toString());
        if (!d)
            ConversionError(v.toString(), QStringLiteral("Gleitkommawert"));
        return *d;
    }
    default:
        ConversionError(TextOf(v), QStringLiteral("Gleitkommawert"));
    }
}

void TField::SetAsFloat(double value) {
    SetValue(value);
}

bool TField::AsBoolean() const {
    const QVariant &v = ValueRef();
    if (isNullVariant(v))
        return false;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
        return v.toInt() != 0;
    case QMetaType::Double:
        return v.toDouble() != 0.0;
    case QMetaType::QString: {
        const QString s = v.toString();
        return !s.isEmpty() && QStringLiteral("1TtYy").contains(s[0]);
    }
    default:
        ConversionError(TextOf(v), QStringLiteral("Boolescher Wert"));
    }
}

void TField::SetAsBoolean(bool value) {
    SetValue(value);
}

QDateTime TField::AsDateTime() const {
    const QVariant &v = ValueRef();
    if (isNullVariant(v))
        return {};
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime();
    case QMetaType::QDate:
        return QDateTime(v.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return QDateTime(kZeroDate, v.toTime());
    case QMetaType::QString: {
        TDateTimeField probe;
        return probe.Convert(v).toDateTime();
    }
    default:
        ConversionError(TextOf(v), QStringLiteral("Datum"));
    }
}

void TField::SetAsDateTime(const QDateTime &value) {
    SetValue(value.isValid() ? QVariant(value) : QVariant());
}

QByteArray TField::AsBytes() const {
    const QVariant &v = ValueRef();
    if (isNullVariant(v))
        return {};
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return Cp1252::fromQString(TextOf(v));
}

void TField::SetAsBytes(const QByteArray &value) {
    SetValue(value);
}

QString TField::DisplayText() const {
    return DisplayTextOf(Value());
}

QString TField::DisplayTextOf(const QVariant &value) const {
    QString text = isNullVariant(value) ? QString() : DisplayTextOfValue(value);
    if (OnGetText)
        OnGetText(const_cast<TField *>(this), text);
    return text;
}

QString TField::TextOf(const QVariant &value) const {
    return value.toString();
}

void TField::ConversionError(const QString &text, const QString &what) const {
    QString phrase;
    if (what == QStringLiteral("Datum"))
        phrase = QStringLiteral("kein gültiges Datum");
    else if (what == QStringLiteral("Zeit"))
        phrase = QStringLiteral("keine gültige Zeit");
    else
        phrase = QStringLiteral("kein gültiger ") + what;
    throw EConvertError(QStringLiteral("'%1' ist %2").arg(text, phrase));
}

// --- Typed fields -----------------------------------------------------------------------------

TStringField::TStringField(QObject *owner, int size) : TField(ftString, size, owner) {}

QVariant TStringField::Convert(const QVariant &value) const {
    QVariant whole = ConvertWhole(value);
    if (Size() > 0 && whole.isValid()) {
        QString text = whole.toString();
        if (text.size() > Size())
            return text.left(Size());
    }
    return whole;
}

QVariant TStringField::ConvertWhole(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    QString text;
    if (value.typeId() == QMetaType::Bool)
        text = value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    else if (value.typeId() == QMetaType::Double)
        text = decimalText(value.toDouble(), 'g', 15);
    else if (value.typeId() == QMetaType::QByteArray)
        text = Cp1252::toQString(value.toByteArray());
    else
        text = value.toString();
    if (text.isEmpty())
        return {};
    return text;
}

TIntegerField::TIntegerField(QObject *owner) : TField(ftInteger, 0, owner) {}
TIntegerField::TIntegerField(TFieldType type, QObject *owner) : TField(type, 0, owner) {}
qint64 TIntegerField::MinValue() const {
    return std::numeric_limits<qint32>::min();
}
qint64 TIntegerField::MaxValue() const {
    return std::numeric_limits<qint32>::max();
}

QVariant TIntegerField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    qint64 n = 0;
    switch (value.typeId()) {
    case QMetaType::Bool:
        n = value.toBool() ? 1 : 0;
        break;
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9e15)
            ConversionError(decimalText(d, 'g', 15), QStringLiteral("Integerwert"));
        n = qint64(std::llround(d));
        break;
    }
    case QMetaType::QString: {
        if (Convert::trim(value.toString()).isEmpty())
            return {};
        const auto parsed = Convert::toInt64(value.toString());
        if (!parsed)
            ConversionError(value.toString(), QStringLiteral("Integerwert"));
        n = *parsed;
        break;
    }
    default: {
        bool ok = false;
        n = value.toLongLong(&ok);
        if (!ok)
            ConversionError(value.toString(), QStringLiteral("Integerwert"));
    }
    }
    if (n < MinValue() || n > MaxValue())
        throw EDatabaseError(
            QStringLiteral("Der Wert %1 liegt für das Feld '%2' außerhalb des zulässigen "
                           "Bereichs (%3..%4)")
                .arg(n)
                .arg(DisplayName())
                .arg(MinValue())
                .arg(MaxValue()));
    return int(n);
}

TSmallintField::TSmallintField(QObject *owner) : TIntegerField(ftSmallint, owner) {}

TAutoIncField::TAutoIncField(QObject *owner) : TIntegerField(ftAutoInc, owner) {}

TFloatField::TFloatField(QObject *owner) : TField(ftFloat, 0, owner) {}

QVariant TFloatField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::QString: {
        if (Convert::trim(value.toString()).isEmpty())
            return {};
        const auto d = parseFloat(value.toString());
        if (!d)
            ConversionError(value.toString(), QStringLiteral("Gleitkommawert"));
        return *d;
    }
    default: {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            ConversionError(value.toString(), QStringLiteral("Gleitkommawert"));
        return d;
    }
    }
}

QString TFloatField::TextOf(const QVariant &value) const {
    return decimalText(value.toDouble(), 'g', 15);
}

TCurrencyField::TCurrencyField(QObject *owner) : TFloatField(ftCurrency, owner) {}

QString TCurrencyField::DisplayTextOfValue(const QVariant &value) const {
    return decimalText(value.toDouble(), 'f', 2);
}

TBooleanField::TBooleanField(QObject *owner) : TField(ftBoolean, 0, owner) {}

QVariant TBooleanField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    default: {
        const QString text = Convert::trim(value.toString()).toLower();
        if (text.isEmpty())
            return {};
        static const QStringList yes = {QStringLiteral("true"), QStringLiteral("t"),
                                        QStringLiteral("y"),    QStringLiteral("yes"),
                                        QStringLiteral("j"),    QStringLiteral("ja"),
                                        QStringLiteral("1"),    QStringLiteral("wahr")};
        static const QStringList no = {QStringLiteral("false"), QStringLiteral("f"),
                                       QStringLiteral("n"),     QStringLiteral("no"),
                                       QStringLiteral("nein"),  QStringLiteral("0"),
                                       QStringLiteral("falsch")};
        if (yes.contains(text))
            return true;
        if (no.contains(text))
            return false;
        ConversionError(value.toString(), QStringLiteral("Boolescher Wert"));
    }
    }
}

QString TBooleanField::TextOf(const QVariant &value) const {
    return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
}

TDateTimeField::TDateTimeField(QObject *owner) : TField(ftDateTime, 0, owner) {}

QVariant TDateTimeField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? value : QVariant();
    case QMetaType::QDate:
        return value.toDate().isValid() ? QVariant(QDateTime(value.toDate(), QTime(0, 0)))
                                        : QVariant();
    case QMetaType::QTime:
        return QDateTime(kZeroDate, value.toTime());
    default: {
        const QString text = Convert::trim(value.toString());
        if (text.isEmpty())
            return {};
        // The date in the process's short format, optionally followed by a time.
        const qsizetype blank = text.indexOf(u' ');
        const auto date = parseDate(blank < 0 ? text : text.left(blank));
        if (date) {
            if (blank < 0)
                return QDateTime(*date, QTime(0, 0));
            if (const auto time = parseTime(text.mid(blank + 1)))
                return QDateTime(*date, *time);
        } else if (const auto time = parseTime(text)) {
            return QDateTime(kZeroDate, *time);
        }
        ConversionError(value.toString(), QStringLiteral("Datum"));
    }
    }
}

QString TDateTimeField::TextOf(const QVariant &value) const {
    const QDateTime dt = value.toDateTime();
    if (dt.time() == QTime(0, 0))
        return formatDate(dt.date());
    return formatDate(dt.date()) + u' ' + dt.time().toString(QStringLiteral("hh:mm:ss"));
}

TDateField::TDateField(QObject *owner) : TDateTimeField(ftDate, owner) {}

QVariant TDateField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().isValid() ? value : QVariant();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = Convert::trim(value.toString());
    if (text.isEmpty())
        return {};
    const auto date = parseDate(text);
    if (!date)
        ConversionError(value.toString(), QStringLiteral("Datum"));
    return *date;
}

QString TDateField::TextOf(const QVariant &value) const {
    return formatDate(value.toDate());
}

TTimeField::TTimeField(QObject *owner) : TDateTimeField(ftTime, owner) {}

QVariant TTimeField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    if (value.typeId() == QMetaType::QTime)
        return value.toTime().isValid() ? value : QVariant();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().time();
    const QString text = Convert::trim(value.toString());
    if (text.isEmpty())
        return {};
    const auto time = parseTime(text);
    if (!time)
        ConversionError(value.toString(), QStringLiteral("Zeit"));
    return *time;
}

QString TTimeField::TextOf(const QVariant &value) const {
    return value.toTime().toString(QStringLiteral("hh:mm:ss"));
}

TBlobField::TBlobField(QObject *owner) : TField(ftBlob, 0, owner) {}

QVariant TBlobField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    const QByteArray bytes = value.typeId() == QMetaType::QByteArray
                                 ? value.toByteArray()
                                 : Cp1252::fromQString(value.toString());
    if (bytes.isEmpty())
        return {};
    return bytes;
}

QString TBlobField::TextOf(const QVariant &value) const {
    return Cp1252::toQString(value.toByteArray());
}

QString TBlobField::DisplayTextOfValue(const QVariant &) const {
    return QStringLiteral("(BLOB)");
}

TMemoField::TMemoField(QObject *owner) : TBlobField(ftMemo, owner) {}

QVariant TMemoField::Convert(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    const QString text = value.typeId() == QMetaType::QByteArray
                             ? Cp1252::toQString(value.toByteArray())
                             : value.toString();
    if (text.isEmpty())
        return {};
    return text;
}

QString TMemoField::TextOf(const QVariant &value) const {
    return value.toString();
}

QString TMemoField::DisplayTextOfValue(const QVariant &value) const {
    return value.toString();
}

TBytesField::TBytesField(QObject *owner, int size) : TField(ftBytes, size, owner) {}

QVariant TBytesField::Convert(const QVariant &value) const {
    const QVariant whole = ConvertWhole(value);
    if (Size() > 0 && whole.isValid())
        return whole.toByteArray().left(Size());
    return whole;
}

QVariant TBytesField::ConvertWhole(const QVariant &value) const {
    if (isNullVariant(value))
        return {};
    QByteArray bytes = value.typeId() == QMetaType::QByteArray
                           ? value.toByteArray()
                           : Cp1252::fromQString(value.toString());
    if (bytes.isEmpty())
        return {};
    if (Size() > 0 && bytes.size() < Size())
        bytes = bytes.leftJustified(Size(), '\0');
    return bytes;
}

QString TBytesField::TextOf(const QVariant &value) const {
    return QString::fromLatin1(value.toByteArray().toHex(' '));
}

TField *CreateField(TFieldType type, int size, QObject *owner) {
    switch (type) {
    case ftString:
        return new TStringField(owner, size);
    case ftSmallint:
        return new TSmallintField(owner);
    case ftInteger:
        return new TIntegerField(owner);
    case ftAutoInc:
        return new TAutoIncField(owner);
    case ftBoolean:
        return new TBooleanField(owner);
    case ftFloat:
        return new TFloatField(owner);
    case ftCurrency:
        return new TCurrencyField(owner);
    case ftDate:
        return new TDateField(owner);
    case ftTime:
        return new TTimeField(owner);
    case ftDateTime:
        return new TDateTimeField(owner);
    case ftBytes:
        return new TBytesField(owner, size);
    case ftBlob:
        return new TBlobField(owner);
    case ftMemo:
        return new TMemoField(owner);
    case ftUnknown:
        break;
    }
    return nullptr;
}
