#include "check/core/ResultTable.h"

#include "data/Field.h"
#include "data/MemTable.h"

#include <cassert>

namespace ResultTable {

namespace {

template <typename F>
F *field(TMemTable &table, F *f, const char *name) {
    f->SetFieldName(QLatin1String(name));
    f->setObjectName(table.objectName() + QLatin1String(name));
    f->SetDataSet(&table);
    return f;
}

template <typename F>
F *find(TMemTable &table, const char *name) {
    auto *f = qobject_cast<F *>(table.FieldByName(QLatin1String(name)));
    assert(f && "the result table lacks a field of the check");
    return f;
}

} // namespace

Fields createFields(TMemTable &table, QObject *owner) {
    Fields f;
    f.id = field(table, new TIntegerField(owner), "ID");
    f.bz = field(table, new TStringField(owner, 100), "BZ");
    f.del = field(table, new TBooleanField(owner), "DEL");
    f.bstn = field(table, new TStringField(owner, 50), "BSTN");
    f.hasBooks = field(table, new TBooleanField(owner), "HASBOOKS");
    return f;
}

Fields fields(TMemTable &table) {
    Fields f;
    f.id = find<TIntegerField>(table, "ID");
    f.bz = find<TStringField>(table, "BZ");
    f.del = find<TBooleanField>(table, "DEL");
    f.bstn = find<TStringField>(table, "BSTN");
    f.hasBooks = find<TBooleanField>(table, "HASBOOKS");
    return f;
}

} // namespace ResultTable
