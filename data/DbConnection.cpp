#include "data/DbConnection.h"

#include "data/DbDataSet.h"
#include "data/DbEngineError.h"
#include "dbeng.h"
#include "platform/Cp1252.h"
#include "platform/EnginePath.h"

#include <exception>

namespace {

TDbConnection::LoginPromptFunction &loginPrompt() {
    static TDbConnection::LoginPromptFunction prompt;
    return prompt;
}

uint32_t compressionCode(TDbCompressionTypes compression) {
    switch (compression) {
    case ccDbCompressInternet:
        return 12;
    case ccDbCompressAlways:
        return 4;
    case ccDbCompressNever:
        return 8;
    case ccDbCompressionNotSet:
        break;
    }
    return 0;
}

void fire(const TDbConnection::TNotifyEvent &event, QObject *sender) {
    if (event)
        event(sender);
}

} // namespace

TDbConnection::TDbConnection(QObject *owner) : QObject(owner) {}

TDbConnection::~TDbConnection() {
    if (m_connected) {
        try {
            Disconnect(true);
        } catch (...) {
            // Going away: the engine closes what is left with the process.
        }
    }
    for (const QPointer<TDbDataSet> &table : std::as_const(m_tables)) {
        if (table)
            table->ConnectionGone();
    }
}

void TDbConnection::SetLoginPromptFunction(LoginPromptFunction prompt) {
    loginPrompt() = std::move(prompt);
}

const TDbConnection::LoginPromptFunction &TDbConnection::LoginPromptHook() {
    return loginPrompt();
}

void TDbConnection::SetConnectPath(const QString &path) {
    if (m_connected)
        throw DbConnectionError(QStringLiteral(
            "The TDbConnection.ConnectPath may not be changed when IsConnected is TRUE"));
    m_connectPath = path;
    m_dictionary = EnginePath::isDictionary(path);
}

QString TDbConnection::ResolvedDirectory() const {
    return EnginePath::tableFolder(m_connectPath);
}

void TDbConnection::SetIsConnected(bool connected) {
    if (connected == m_connected)
        return;
    if (m_loading) {
        m_connectWhenLoaded = connected;
        return;
    }
    if (connected)
        Connect();
    else
        Disconnect(false);
}

void TDbConnection::EndLoad() {
    m_loading = false;
    if (m_connectWhenLoaded) {
        m_connectWhenLoaded = false;
        SetIsConnected(true);
    }
}

bool TDbConnection::AskLogin(QString &user, QString &password) {
    if (OnLogin) {
        user.clear();
        password.clear();
        OnLogin(this, user, password);
        return true;
    }
    const LoginPromptFunction &prompt = loginPrompt();
    return prompt && prompt(objectName(), user, password);
}

void TDbConnection::Connect() {
    fire(BeforeConnect, this);
    if (m_connectPath.isEmpty())
        throw DbConnectionError(
            QStringLiteral("Must specify connection string before getting a server connection."));
    const QString path = m_connectPath.left(254);
    QString user = m_username;
    QString password = m_password;
    auto cancelled = [this] {
        return EDbLoginCancelled(
            QStringLiteral("Cannot connect to database '%1'").arg(objectName()));
    };
    if (m_loginPrompt && m_dictionary) {
        if (!AskLogin(user, password))
            throw cancelled();
        m_username = user;
        m_password = password;
    }
    // The remote server checks who connects; the local server has no users.
    const bool remote = !m_serverTypes.testFlag(stDB_LOCAL) && m_serverTypes.testFlag(stDB_REMOTE);
    if (!m_dictionary && !remote) {
        user.clear();
        password.clear();
    }
    const uint32_t options =
        compressionCode(m_compression) + (m_middleTier ? 1 : 0) + (m_storedProcedure ? 2 : 0);
    uint32_t handle = 0;
    auto connect = [&] {
        return DbConnect(EnginePath::toEngine(path).constData(), DbServerTypeCode(m_serverTypes),
                         Cp1252::fromQString(user.left(260)).constData(),
                         Cp1252::fromQString(password.left(260)).constData(), options, &handle);
    };
    uint32_t r = connect();
    // The server asked for a login, or refused the one given: ask the user.
    for (int attempt = 0; r == DBE_LOGIN_FAILED && m_loginPrompt && attempt < 3; ++attempt) {
        if (!AskLogin(user, password))
            throw cancelled();
        r = connect();
        if (r == DBE_SUCCESS) {
            m_username = user;
            m_password = password;
        }
    }
    CheckDbResult(nullptr, r);
    m_handle = handle;
    m_connected = true;
    fire(AfterConnect, this);
    fire(OnConnect, this);
}

void TDbConnection::StartTransaction() {
    CheckDbResult(nullptr, DbBeginConnectionTransaction(m_handle));
}

void TDbConnection::Commit() {
    CheckDbResult(nullptr, DbCommitConnectionTransaction(m_handle));
}

void TDbConnection::Rollback() {
    const QList<TDbDataSet *> tables = AttachedTables();
    // Every data set gets its place back, also when one of them fails; the first failure
    // is the one reported.
    std::exception_ptr failure;
    for (TDbDataSet *table : tables) {
        try {
            table->BeforeRollback();
        } catch (const Exception &) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    const uint32_t r = DbRollbackConnectionTransaction(m_handle);
    for (TDbDataSet *table : tables) {
        try {
            table->AfterRollback();
        } catch (const Exception &) {
            if (!failure)
                failure = std::current_exception();
        }
    }
    CheckDbResult(nullptr, r);
    if (failure)
        std::rethrow_exception(failure);
}

void TDbConnection::CloseAttachedTables() {
    const QList<QPointer<TDbDataSet>> tables = m_tables;
    for (const QPointer<TDbDataSet> &table : tables) {
        if (!table)
            continue;
        try {
            table->Close();
        } catch (const Exception &) {
            // A table that cannot close cleanly still goes with the connection.
        }
        table->ReleaseHandles();
    }
}

void TDbConnection::Disconnect(bool destroying) {
    if (!destroying)
        fire(BeforeDisconnect, this);
    CloseAttachedTables();
    const uint32_t r = DbDisconnect(m_handle);
    m_connected = false;
    m_handle = 0;
    if (destroying)
        return;
    fire(AfterDisconnect, this);
    fire(OnDisconnect, this);
    if (r != DBE_SUCCESS)
        throw DbError::FromLastError();
}

QString TDbConnection::ServerName() const {
    if (!m_connected)
        throw DbConnectionError(
            QStringLiteral("Must be connected to get the database server name."));
    uint16_t type = 0;
    CheckDbResult(nullptr, DbGetServerType(m_handle, &type));
    switch (type) {
    case DB_SERVER_LOCAL:
        return QStringLiteral("Local Server");
    case DB_SERVER_REMOTE:
        return QStringLiteral("Remote Server");
    case DB_SERVER_INTERNET:
        return QStringLiteral("Internet Server");
    default:
        return QString::number(type);
    }
}

void TDbConnection::AttachTable(TDbDataSet *table) {
    if (!m_tables.contains(table))
        m_tables.append(table);
}

void TDbConnection::DetachTable(TDbDataSet *table) {
    m_tables.removeAll(table);
}

QList<TDbDataSet *> TDbConnection::AttachedTables() const {
    QList<TDbDataSet *> out;
    for (const QPointer<TDbDataSet> &table : m_tables) {
        if (table)
            out << table;
    }
    return out;
}
