#include "HostSchema.h"

#include "platform/Paths.h"

namespace {

FieldDef f(const char *name, quint16 type, quint32 length = 0, quint16 decimals = 0) {
    return FieldDef{QString::fromLatin1(name), type, length, decimals};
}

TableSchema makeArticles() {
    TableSchema s;
    s.fileName = QStringLiteral("ArtikelMain.TBL");
    s.fields = {
        f("ID", DB_TYPE_AUTOINC),        f("BZK", DB_TYPE_STRING, 50),
        f("BZL", DB_TYPE_STRING, 50),    f("LFT", DB_TYPE_MEMO),
        f("BST", DB_TYPE_DOUBLE),        f("EKEU", DB_TYPE_DOUBLE),
        f("VKEU", DB_TYPE_DOUBLE),       f("MWST", DB_TYPE_DOUBLE),
        f("MEM", DB_TYPE_MEMO),          f("ARTN", DB_TYPE_STRING, 50),
        f("EINH", DB_TYPE_STRING, 15),   f("GRUP", DB_TYPE_SHORTINT),
        f("CFAC", DB_TYPE_DOUBLE),       f("MATCH0", DB_TYPE_STRING, 50),
        f("MATCH1", DB_TYPE_STRING, 10), f("MATCH2", DB_TYPE_STRING, 10),
        f("MATCH3", DB_TYPE_STRING, 10), f("MATCH4", DB_TYPE_STRING, 10),
        f("LAART", DB_TYPE_LOGICAL),     f("BSTN", DB_TYPE_STRING, 50),
        f("SRNS", DB_TYPE_MEMO),         f("GEK", DB_TYPE_CURDOUBLE),
        f("MinEK", DB_TYPE_CURDOUBLE),   f("MaxEK", DB_TYPE_CURDOUBLE),
        f("GSTEK", DB_TYPE_CURDOUBLE),   f("GSTVK", DB_TYPE_DOUBLE),
        f("GVK", DB_TYPE_DOUBLE),        f("MinVK", DB_TYPE_DOUBLE),
        f("MaxVK", DB_TYPE_DOUBLE),      f("MiddVK", DB_TYPE_DOUBLE),
        f("DEZ", DB_TYPE_SHORTINT),      f("MiddEK", DB_TYPE_DOUBLE),
    };
    s.indexes = {
        {QStringLiteral("ID"), QStringLiteral("ID"), true},
        {QStringLiteral("BZK"), QStringLiteral("BZK")},
        {QStringLiteral("BZL"), QStringLiteral("BZL")},
        {QStringLiteral("ARTN"), QStringLiteral("ARTN")},
        {QStringLiteral("MATCH0"), QStringLiteral("MATCH0;MATCH1;MATCH2;MATCH3;MATCH4")},
        {QStringLiteral("LAART"), QStringLiteral("LAART")},
        {QStringLiteral("GRUP"), QStringLiteral("GRUP")},
        {QStringLiteral("BSTN"), QStringLiteral("BSTN")},
    };
    return s;
}

TableSchema makeBookings() {
    TableSchema s;
    s.fileName = QStringLiteral("Artikelsub.TBL");
    s.fields = {
        f("ID", DB_TYPE_AUTOINC),   f("ID_ART", DB_TYPE_INTEGER), f("DATUM", DB_TYPE_DATE),
        f("MENGE", DB_TYPE_DOUBLE), f("EPREIS", DB_TYPE_DOUBLE),  f("BELEG", DB_TYPE_STRING, 20),
        f("ART", DB_TYPE_SHORTINT),
    };
    s.indexes = {
        {QStringLiteral("ID"), QStringLiteral("ID"), true},
        {QStringLiteral("ID_ART"), QStringLiteral("ID_ART")},
    };
    return s;
}

TableSchema makeSettings() {
    TableSchema s;
    s.fileName = QStringLiteral("setup.TBL");
    s.fields = {
        f("ID", DB_TYPE_AUTOINC),    f("Ident", DB_TYPE_INTEGER),
        f("MemoItem", DB_TYPE_MEMO), f("stringItem", DB_TYPE_STRING, 100),
        f("logo", DB_TYPE_BINARY),
    };
    s.indexes = {{QStringLiteral("IDENT"), QStringLiteral("Ident")}};
    return s;
}

} // namespace

namespace HostSchema {

const TableSchema &articles() {
    static const TableSchema s = makeArticles();
    return s;
}

const TableSchema &bookings() {
    static const TableSchema s = makeBookings();
    return s;
}

const TableSchema &settings() {
    static const TableSchema s = makeSettings();
    return s;
}

QList<const TableSchema *> all() {
    return {&articles(), &bookings(), &settings()};
}

const TableSchema *find(const QString &fileName) {
    for (const TableSchema *s : all()) {
        if (s->fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return s;
    }
    return nullptr;
}

QString fieldList(const TableSchema &schema) {
    QStringList parts;
    for (const FieldDef &d : schema.fields)
        parts
            << QStringLiteral("%1,%2,%3,%4").arg(d.name).arg(d.type).arg(d.length).arg(d.decimals);
    return parts.join(u';');
}

DBHANDLE createTable(EngineConnection &connection, const TableSchema &schema) {
    DBHANDLE table = 0;
    const QByteArray path = toEngine(Paths::join(connection.folder(), schema.fileName));
    checkEngine(DbCreateTable(connection.handle(), path.constData(),
                              toEngine(fieldList(schema)).constData(), &table),
                schema.fileName);
    return table;
}

void createIndexes(DBHANDLE table, const TableSchema &schema) {
    for (const IndexDef &i : schema.indexes) {
        DBHANDLE index = 0;
        checkEngine(DbCreateIndex(table, toEngine(i.tag).constData(),
                                  toEngine(i.fields).constData(), i.unique ? DB_INDEX_UNIQUE : 0,
                                  &index),
                    QStringLiteral("%1, Index %2").arg(schema.fileName, i.tag));
    }
}

} // namespace HostSchema
