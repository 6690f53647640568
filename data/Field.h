// Field objects: the typed view of one column of a data set's current record.
//
// A field holds no value itself; it reads and writes through its data set, which keeps the
// record (the in-memory table its row list, the engine table its record image). Values travel
// as QVariant in one canonical type per field type:
//
//   string, memo                        QString        blob, bytes     QByteArray
//   integer, small integer, autoinc     int            boolean         bool
//   float, currency                     double         date / time     QDate / QTime
//   date-time                           QDateTime      null            an invalid QVariant
//
// A null value reads as the empty text, 0, False or an invalid date. Assigning is allowed in
// edit or insert state only. A text longer than a string field's Size is cut to it in the
// in-memory table; an engine table refuses it, and any value it cannot store exactly.
//
// Persistent field objects are created by the data set's owner (KMID for "ID" of KM):
//     auto *KMID = new TIntegerField(owner); KMID->setObjectName("KMID");
//     KMID->SetFieldName("ID"); KMID->SetDataSet(KM);
// They belong to the data set while it is closed; a data set without them creates default
// fields from its field definitions when it opens and frees them when it closes.
#pragma once

#include "data/FieldType.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

class TDataSet;

class TField : public QObject {
    Q_OBJECT
public:
    ~TField() override;

    TDataSet *DataSet() const { return m_dataSet; }
    // Adds the field to the data set's field list (at the end); only while it is closed.
    void SetDataSet(TDataSet *dataSet);

    const QString &FieldName() const { return m_fieldName; }
    void SetFieldName(const QString &name);
    TFieldType DataType() const { return m_dataType; }
    int Size() const { return m_size; }
    void SetSize(int size);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // 1-based number of the field in the data set's storage; 0 while unbound.
    int FieldNo() const { return m_fieldNo; }
    // Position in the data set's field list (0-based), -1 without a data set.
    int Index() const;
    const QString &DisplayLabel() const { return m_displayLabel; }
    void SetDisplayLabel(const QString &label) { m_displayLabel = label; }
    // The label when set, else the field name; used by error texts.
    QString DisplayName() const;
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    // Numbers stand right-aligned, everything else left-aligned.
    virtual Qt::Alignment Alignment() const { return Qt::AlignLeft; }

    // The current record's value (of the edit buffer while editing).
    QVariant Value() const;
    void SetValue(const QVariant &value);
    bool IsNull() const;
    void Clear();

    QString AsString() const;
    void SetAsString(const QString &text);
    qint32 AsInteger() const;
    void SetAsInteger(qint32 value);
    double AsFloat() const;
    void SetAsFloat(double value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    QDateTime AsDateTime() const;
    void SetAsDateTime(const QDateTime &value);
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray &value);

    // The text a grid or label shows for the current record.
    QString DisplayText() const;
    // The text shown for any value of this field (the grid reads other rows with it).
    QString DisplayTextOf(const QVariant &value) const;

    // Turns any value into this field's canonical type (raises EConvertError when it does not
    // convert) and cuts texts to Size. The scratch record of Locate uses it too.
    virtual QVariant Convert(const QVariant &value) const = 0;
    // The same without cutting: for data sets that refuse what does not fit
    // (TDataSet::CutsToFieldSize).
    virtual QVariant ConvertWhole(const QVariant &value) const { return Convert(value); }

    // Replaces the display text; gets the field and the text to show.
    std::function<void(TField *sender, QString &text)> OnGetText;

protected:
    TField(TFieldType type, int size, QObject *owner);

    // Canonical value (not null) to the texts of AsString and DisplayText.
    virtual QString TextOf(const QVariant &value) const;
    virtual QString DisplayTextOfValue(const QVariant &value) const { return TextOf(value); }
    [[noreturn]] void ConversionError(const QString &text, const QString &what) const;
    // The current value without a copy; valid until the data set moves or the field changes.
    const QVariant &ValueRef() const;

private:
    friend class TDataSet;
    void SetDataSetInternal(TDataSet *dataSet) { m_dataSet = dataSet; }

    QPointer<TDataSet> m_dataSet;
    QString m_fieldName;
    QString m_displayLabel;
    TFieldType m_dataType;
    int m_size;
    int m_fieldNo = 0;
    bool m_readOnly = false;
    bool m_visible = true;
};

class TStringField : public TField {
    Q_OBJECT
public:
    explicit TStringField(QObject *owner = nullptr, int size = 20);
    QVariant Convert(const QVariant &value) const override;
    QVariant ConvertWhole(const QVariant &value) const override;

protected:
    TStringField(TFieldType type, int size, QObject *owner) : TField(type, size, owner) {}
};

class TIntegerField : public TField {
    Q_OBJECT
public:
    explicit TIntegerField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;
    Qt::Alignment Alignment() const override { return Qt::AlignRight; }

protected:
    TIntegerField(TFieldType type, QObject *owner);
    virtual qint64 MinValue() const;
    virtual qint64 MaxValue() const;
};

class TSmallintField : public TIntegerField {
    Q_OBJECT
public:
    explicit TSmallintField(QObject *owner = nullptr);

protected:
    qint64 MinValue() const override { return -32768; }
    qint64 MaxValue() const override { return 32767; }
};

class TAutoIncField : public TIntegerField {
    Q_OBJECT
public:
    explicit TAutoIncField(QObject *owner = nullptr);
};

class TFloatField : public TField {
    Q_OBJECT
public:
    explicit TFloatField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;
    Qt::Alignment Alignment() const override { return Qt::AlignRight; }

protected:
    TFloatField(TFieldType type, QObject *owner) : TField(type, 0, owner) {}
    QString TextOf(const QVariant &value) const override;
};

class TCurrencyField : public TFloatField {
    Q_OBJECT
public:
    explicit TCurrencyField(QObject *owner = nullptr);

protected:
    // Two decimals in the display, like every amount the program shows.
    QString DisplayTextOfValue(const QVariant &value) const override;
};

class TBooleanField : public TField {
    Q_OBJECT
public:
    explicit TBooleanField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;

protected:
    QString TextOf(const QVariant &value) const override;
};

class TDateTimeField : public TField {
    Q_OBJECT
public:
    explicit TDateTimeField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;

protected:
    TDateTimeField(TFieldType type, QObject *owner) : TField(type, 0, owner) {}
    QString TextOf(const QVariant &value) const override;
};

class TDateField : public TDateTimeField {
    Q_OBJECT
public:
    explicit TDateField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;

protected:
    QString TextOf(const QVariant &value) const override;
};

class TTimeField : public TDateTimeField {
    Q_OBJECT
public:
    explicit TTimeField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;

protected:
    QString TextOf(const QVariant &value) const override;
};

// Variable-length bytes (engine binary and image fields).
class TBlobField : public TField {
    Q_OBJECT
public:
    explicit TBlobField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;

protected:
    TBlobField(TFieldType type, QObject *owner) : TField(type, 0, owner) {}
    QString TextOf(const QVariant &value) const override;
    QString DisplayTextOfValue(const QVariant &value) const override;
};

// Variable-length text; its bytes are the Windows-1252 form of the text.
class TMemoField : public TBlobField {
    Q_OBJECT
public:
    explicit TMemoField(QObject *owner = nullptr);
    QVariant Convert(const QVariant &value) const override;

protected:
    QString TextOf(const QVariant &value) const override;
    QString DisplayTextOfValue(const QVariant &value) const override;
};

// Fixed-length bytes (engine raw fields); a shorter value is padded with zero bytes.
class TBytesField : public TField {
    Q_OBJECT
public:
    explicit TBytesField(QObject *owner = nullptr, int size = 16);
    QVariant Convert(const QVariant &value) const override;
    QVariant ConvertWhole(const QVariant &value) const override;

protected:
    QString TextOf(const QVariant &value) const override;
};

// A new field object of the type's class, owned by owner.
TField *CreateField(TFieldType type, int size, QObject *owner);
