// The module host's tables as the host creates them: fields in their stored order and the
// index tags. The article table carries all the fields the host declares for it and, besides
// its declared tags, the tag "BSTN" that the duplicate check walks.
#pragma once

#include "EngineSession.h"

#include <QList>
#include <QString>

struct FieldDef {
    QString name;
    quint16 type;
    quint32 length = 0;
    quint16 decimals = 0;
};

struct IndexDef {
    QString tag;
    QString fields;
    bool unique = false;
};

struct TableSchema {
    QString fileName;
    QList<FieldDef> fields;
    QList<IndexDef> indexes;
};

namespace HostSchema {

const TableSchema &articles();
const TableSchema &bookings();
const TableSchema &settings();
QList<const TableSchema *> all();
// The schema whose file name matches without regard to case, or nullptr.
const TableSchema *find(const QString &fileName);

// "NAME,TYPE,LENGTH,DECIMALS;..." as the engine's table creation takes it.
QString fieldList(const TableSchema &schema);

// Creates the table file in the connection's folder; the index tags are created when asked
// (bulk loads create them after the data, which is much faster).
DBHANDLE createTable(EngineConnection &connection, const TableSchema &schema);
void createIndexes(DBHANDLE table, const TableSchema &schema);

} // namespace HostSchema
