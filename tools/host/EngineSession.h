// A thin C++ layer over the engine's C interface for the host tools: handles that close
// themselves, and failures turned into exceptions that carry the engine's German text.
#pragma once

#include "dbeng.h"
#include "schema/HostSchema.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>

class HostError : public std::runtime_error {
public:
    explicit HostError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// Throws HostError with the engine's last error text when result is not 0.
void checkEngine(DBRESULT result, const QString &context = {});

// The server the host tools work on: the local server (a data folder) or, with the option
// --remote, the remote server (a data set on the PostgreSQL server that libpq's environment
// names).
bool remoteServer();
void setRemoteServer(bool remote);

class EngineConnection {
public:
    // With create, a data folder or data set that is not there yet is made.
    explicit EngineConnection(const QString &folder, bool create = false);
    // A connection to a data set of the remote server that begins in its connection
    // transaction, the making of the data set (when it is not there yet) included: what it
    // makes is there only after commit(); until then a failure, or the end of the connection,
    // leaves nothing behind.
    struct AllOrNothing {};
    EngineConnection(const QString &dataSet, AllOrNothing);
    ~EngineConnection();
    EngineConnection(const EngineConnection &) = delete;
    EngineConnection &operator=(const EngineConnection &) = delete;

    DBHANDLE handle() const { return m_handle; }
    const QString &folder() const { return m_folder; }
    // Whether the table exists in the folder or data set.
    bool hasTable(const QString &fileName);
    // Whether the connection's transaction is open (AllOrNothing, until commit()).
    bool inTransaction() const { return m_inTransaction; }
    void commit();

private:
    QString m_folder;
    DBHANDLE m_handle = 0;
    bool m_inTransaction = false;
};

struct FieldInfo {
    QString name;
    quint16 type = 0;
    quint32 length = 0;
    quint16 decimals = 0;
};

struct IndexInfo {
    QString name;
    QString fields;
    bool unique = false;
};

class EngineTable {
public:
    // Opens an existing table file of the connection's folder.
    EngineTable(EngineConnection &connection, const QString &fileName);
    // Adopts a handle (from DbCreateTable).
    explicit EngineTable(DBHANDLE handle) : m_handle(handle) {}
    ~EngineTable();
    EngineTable(const EngineTable &) = delete;
    EngineTable &operator=(const EngineTable &) = delete;

    DBHANDLE handle() const { return m_handle; }
    QList<FieldInfo> fields() const;
    QList<IndexInfo> indexes() const;
    quint16 fieldNumber(const QString &name) const;
    DBHANDLE index(const QString &tag) const;
    quint32 recordCount() const;

    // The current record's field as text (trailing blanks removed).
    QString text(quint16 field) const;
    QByteArray bytes(quint16 field) const;
    void setText(quint16 field, const QString &value);
    void setBytes(quint16 field, const QByteArray &value);

private:
    DBHANDLE m_handle = 0;
};

// Dates cross the host tools' CSV files and demo texts in ISO form (CCYY-MM-DD), whatever
// the engine's default is.
void useIsoDates();

// A table of the module host created in the connection's folder (see HostSchema); the index
// tags are created when asked, after a bulk load.
DBHANDLE createHostTable(EngineConnection &connection, const HostSchema::Table &table);
void createHostIndexes(DBHANDLE table, const HostSchema::Table &schema);

// Texts (field values, names, filters) cross the engine's interface as Windows-1252; paths
// cross it as the file system's bytes (EnginePath).
QString fromEngine(const char *text);
QByteArray toEngine(const QString &text);
