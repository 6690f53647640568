// The value types a data-set field can have, and the definitions a data set makes its fields
// from when no persistent field objects were created for it.
#pragma once

#include <QList>
#include <QString>

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftAutoInc,
    ftBlob,
    ftMemo
};

// The type's name as error texts show it ("String", "Integer", ...).
QString FieldTypeName(TFieldType type);

struct TFieldDef {
    QString Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;    // characters of a string, bytes of a byte field; 0 otherwise
    int FieldNo = 0; // 1-based position in the data set's storage (engine field number)
    bool ReadOnly = false;
};

using TFieldDefs = QList<TFieldDef>;
