// The check's result table: one row per listed article, in the order the scan lists them. Its
// fields, in this order: ID (integer, the article's ID), BZ (text 100, its description), DEL
// (boolean, set when the article becomes a deletion candidate), BSTN (text 50, its order
// number) and HASBOOKS (boolean, set when it has bookings; never set reads as false).
#pragma once

class QObject;
class TBooleanField;
class TIntegerField;
class TMemTable;
class TStringField;

namespace ResultTable {

struct Fields {
    TIntegerField *id = nullptr;
    TStringField *bz = nullptr;
    TBooleanField *del = nullptr;
    TStringField *bstn = nullptr;
    TBooleanField *hasBooks = nullptr;
};

// Creates the fields on the (closed) table, owned by owner; each is named after the table and
// its field, so the table "KM" gets "KMID", "KMBZ", ...
Fields createFields(TMemTable &table, QObject *owner);
// The fields of a table made by createFields.
Fields fields(TMemTable &table);

} // namespace ResultTable
