// TDbConnection: the connection to a data folder (or a dictionary) of the engine.
//
// Assigning IsConnected True connects, False disconnects (closing every attached table first);
// assigning the state it already has does nothing. A connect path containing ".DIC" (any case)
// is a dictionary connection: with LoginPrompt the OnLogin handler or the installed login
// prompt asks for user name and password before connecting. Without either, the prompt counts
// as cancelled ("Cannot connect to database '<name>'").
//
// User name and password go to the engine for a dictionary connection and for the remote
// server (server types without the local one). The remote server may ask for them itself
// (the engine answers DBE_LOGIN_FAILED): then, with LoginPrompt, the same prompt asks, and
// the connect is tried again, at most three times.
#pragma once

#include "data/DbServerTypes.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

class TDbDataSet;

enum TDbCompressionTypes {
    ccDbCompressionNotSet,
    ccDbCompressInternet,
    ccDbCompressAlways,
    ccDbCompressNever
};

class TDbConnection : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject *sender)>;
    using TDbDatabaseLoginEvent =
        std::function<void(TDbConnection *sender, QString &userName, QString &password)>;
    // The program's login dialog: gets the connection's name and the user name to show,
    // answers False when the user cancelled.
    using LoginPromptFunction =
        std::function<bool(const QString &databaseName, QString &userName, QString &password)>;

    explicit TDbConnection(QObject *owner = nullptr);
    ~TDbConnection() override;

    static void SetLoginPromptFunction(LoginPromptFunction prompt);
    static const LoginPromptFunction &LoginPromptHook();

    bool IsConnected() const { return m_connected; }
    void SetIsConnected(bool connected);
    const QString &ConnectPath() const { return m_connectPath; }
    void SetConnectPath(const QString &path);
    TDbServerTypes DbServerTypes() const { return m_serverTypes; }
    void SetDbServerTypes(TDbServerTypes types) { m_serverTypes = types; }
    bool LoginPrompt() const { return m_loginPrompt; }
    void SetLoginPrompt(bool prompt) { m_loginPrompt = prompt; }
    const QString &Username() const { return m_username; }
    void SetUsername(const QString &name) { m_username = name; }
    const QString &Password() const { return m_password; }
    void SetPassword(const QString &password) { m_password = password; }
    bool MiddleTierConnection() const { return m_middleTier; }
    void SetMiddleTierConnection(bool on) { m_middleTier = on; }
    bool StoredProcedureConnection() const { return m_storedProcedure; }
    void SetStoredProcedureConnection(bool on) { m_storedProcedure = on; }
    TDbCompressionTypes Compression() const { return m_compression; }
    void SetCompression(TDbCompressionTypes compression) { m_compression = compression; }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool StoreConnected() const { return m_storeConnected; }
    void SetStoreConnected(bool store) { m_storeConnected = store; }
    // The engine's handle while connected, else 0.
    uint32_t ConnectionHandle() const { return m_handle; }
    // The engine's name of the server kind in use; raises while disconnected.
    QString ServerName() const;

    bool IsDictionary() const { return m_dictionary; }

    // One transaction of the engine around everything the attached open tables read and write
    // (DbBeginConnectionTransaction); TDbTransaction holds one for a scope.
    void StartTransaction();
    void Commit();
    void Rollback();
    // The folder tables are opened from: the connect path, or for a dictionary file its folder
    // (EnginePath::tableFolder, the engine's own rule).
    QString ResolvedDirectory() const;

    // While a window description is being applied, IsConnected True is only remembered; the
    // connect happens in EndLoad.
    void BeginLoad() { m_loading = true; }
    void EndLoad();

    void AttachTable(TDbDataSet *table);
    void DetachTable(TDbDataSet *table);
    QList<TDbDataSet *> AttachedTables() const;

    TNotifyEvent BeforeConnect, AfterConnect, OnConnect;
    TNotifyEvent BeforeDisconnect, AfterDisconnect, OnDisconnect;
    TDbDatabaseLoginEvent OnLogin;

private:
    void Connect();
    // Asks OnLogin or the login prompt; false when the prompt was cancelled.
    bool AskLogin(QString &user, QString &password);
    void Disconnect(bool destroying);
    void CloseAttachedTables();

    QString m_connectPath;
    TDbServerTypes m_serverTypes = stDB_LOCAL;
    QString m_username;
    QString m_password;
    TDbCompressionTypes m_compression = ccDbCompressionNotSet;
    QList<QPointer<TDbDataSet>> m_tables;
    uint32_t m_handle = 0;
    bool m_connected = false;
    bool m_dictionary = false;
    bool m_loginPrompt = true;
    bool m_middleTier = false;
    bool m_storedProcedure = false;
    bool m_readOnly = false;
    bool m_storeConnected = true;
    bool m_loading = false;
    bool m_connectWhenLoaded = false;
};
