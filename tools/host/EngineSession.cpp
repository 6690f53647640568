#include "EngineSession.h"

#include "platform/Cp1252.h"
#include "platform/EnginePath.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

QString fromEngine(const char *text) {
    return Cp1252::toQString(text);
}
QByteArray toEngine(const QString &text) {
    return Cp1252::fromQString(text);
}

void useIsoDates() {
    DbSetDateFormat("CCYY-MM-DD");
}

void checkEngine(DBRESULT result, const QString &context) {
    if (result == DBE_SUCCESS)
        return;
    quint32 number = 0;
    char buf[DB_MAX_ERROR_TEXT + 1] = {};
    quint16 len = sizeof buf;
    DbGetLastError(&number, buf, &len);
    QString message = fromEngine(buf);
    if (message.isEmpty())
        message = QStringLiteral("Fehler %1 des Datenbankmoduls").arg(result);
    if (!context.isEmpty())
        message = context + QStringLiteral(": ") + message;
    throw HostError(message);
}

static bool &remoteFlag() {
    static bool remote = false;
    return remote;
}

bool remoteServer() {
    return remoteFlag();
}

void setRemoteServer(bool remote) {
    remoteFlag() = remote;
}

EngineConnection::EngineConnection(const QString &folder, bool create)
    : m_folder(Paths::normalize(folder)) {
    const QByteArray path = EnginePath::toEngine(m_folder);
    if (remoteServer()) {
        checkEngine(DbConnect(path.constData(), DB_SERVER_REMOTE, "", "",
                              create ? DB_CONNECT_CREATE : 0, &m_handle));
        return;
    }
    if (create && !QDir().mkpath(folder))
        throw HostError(QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(folder));
    checkEngine(DbConnect(path.constData(), DB_SERVER_LOCAL, "", "", 0, &m_handle));
}

EngineConnection::EngineConnection(const QString &dataSet, AllOrNothing)
    : m_folder(Paths::normalize(dataSet)) {
    checkEngine(DbConnect(EnginePath::toEngine(m_folder).constData(), DB_SERVER_REMOTE, "", "",
                          DB_CONNECT_CREATE | DB_CONNECT_IN_TRANSACTION, &m_handle));
    m_inTransaction = true;
}

void EngineConnection::commit() {
    m_inTransaction = false;
    checkEngine(DbCommitConnectionTransaction(m_handle));
}

bool EngineConnection::hasTable(const QString &fileName) {
    if (!remoteServer())
        return QFileInfo::exists(QDir(m_folder).filePath(fileName));
    DBHANDLE table = 0;
    const DBRESULT r =
        DbOpenTable(m_handle, EnginePath::toEngine(Paths::join(m_folder, fileName)).constData(),
                    nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI, DB_LOCKTYPE_PROPRIETARY,
                    DB_RIGHTS_CHECK, DB_OPEN_READONLY, &table);
    if (r == DBE_FILE_NOT_FOUND)
        return false;
    checkEngine(r, fileName);
    DbCloseTable(table);
    return true;
}

EngineConnection::~EngineConnection() {
    if (m_handle && m_inTransaction)
        DbRollbackConnectionTransaction(m_handle);
    if (m_handle)
        DbDisconnect(m_handle);
}

EngineTable::EngineTable(EngineConnection &connection, const QString &fileName) {
    const QByteArray path = EnginePath::toEngine(Paths::join(connection.folder(), fileName));
    checkEngine(DbOpenTable(connection.handle(), path.constData(), nullptr, DB_TABLE_NATIVE,
                            DB_CHARTYPE_ANSI, DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0,
                            &m_handle));
}

EngineTable::~EngineTable() {
    if (m_handle)
        DbCloseTable(m_handle);
}

static QString fetchText(DBRESULT (*get)(DBHANDLE, char *, quint16 *), DBHANDLE h) {
    char buf[1024] = {};
    quint16 len = sizeof buf;
    checkEngine(get(h, buf, &len));
    return fromEngine(buf);
}

QList<FieldInfo> EngineTable::fields() const {
    quint16 count = 0;
    checkEngine(DbGetNumFields(m_handle, &count));
    QList<FieldInfo> out;
    for (quint16 n = 1; n <= count; ++n) {
        FieldInfo f;
        char buf[256] = {};
        quint16 len = sizeof buf;
        checkEngine(DbGetFieldName(m_handle, n, buf, &len));
        f.name = fromEngine(buf);
        checkEngine(DbGetFieldType(m_handle, n, &f.type));
        checkEngine(DbGetFieldLength(m_handle, n, &f.length));
        checkEngine(DbGetFieldDecimals(m_handle, n, &f.decimals));
        out << f;
    }
    return out;
}

QList<IndexInfo> EngineTable::indexes() const {
    quint16 count = 0;
    checkEngine(DbGetNumIndexes(m_handle, &count));
    QList<IndexInfo> out;
    for (quint16 n = 1; n <= count; ++n) {
        DBHANDLE index = 0;
        checkEngine(DbGetIndexHandleByOrder(m_handle, n, &index));
        IndexInfo i;
        i.name = fetchText(DbGetIndexName, index);
        i.fields = fetchText(DbGetIndexExpr, index);
        quint16 unique = 0;
        checkEngine(DbIsIndexUnique(index, &unique));
        i.unique = unique != 0;
        out << i;
    }
    return out;
}

quint16 EngineTable::fieldNumber(const QString &name) const {
    quint16 n = 0;
    checkEngine(DbGetFieldNum(m_handle, toEngine(name).constData(), &n));
    return n;
}

DBHANDLE EngineTable::index(const QString &tag) const {
    DBHANDLE h = 0;
    checkEngine(DbGetIndexHandle(m_handle, toEngine(tag).constData(), &h));
    return h;
}

quint32 EngineTable::recordCount() const {
    quint32 n = 0;
    checkEngine(DbGetRecordCount(m_handle, DB_IGNORE_FILTERS, &n));
    return n;
}

QString EngineTable::text(quint16 field) const {
    return fromEngine(bytes(field).constData());
}

QByteArray EngineTable::bytes(quint16 field) const {
    std::vector<char> buf(256);
    for (;;) {
        quint32 len = quint32(buf.size());
        const DBRESULT r = DbGetField(m_handle, field, buf.data(), &len, DB_TRIM_RIGHT);
        if (r == DBE_INSUFFICIENT_BUFFER && len >= buf.size()) {
            buf.resize(len + 1);
            continue;
        }
        checkEngine(r);
        return QByteArray(buf.data(), qsizetype(len));
    }
}

DBHANDLE createHostTable(EngineConnection &connection, const HostSchema::Table &table) {
    DBHANDLE handle = 0;
    checkEngine(HostSchema::createTable(connection.handle(), table, &handle),
                QString::fromStdString(table.fileName));
    return handle;
}

void createHostIndexes(DBHANDLE table, const HostSchema::Table &schema) {
    for (const HostSchema::Index &index : schema.indexes)
        checkEngine(
            HostSchema::createIndex(table, index),
            QStringLiteral("%1, Index %2")
                .arg(QString::fromStdString(schema.fileName), QString::fromStdString(index.tag)));
}

void EngineTable::setText(quint16 field, const QString &value) {
    setBytes(field, toEngine(value));
}

void EngineTable::setBytes(quint16 field, const QByteArray &value) {
    if (value.isEmpty())
        checkEngine(DbSetEmpty(m_handle, field));
    else
        checkEngine(DbSetField(m_handle, field, value.constData(), quint32(value.size())));
}
