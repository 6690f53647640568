#include "EngineFolder.h"
#include "ExceptionText.h"

#include "data/DbConnection.h"
#include "data/DbEngineError.h"
#include "data/DbSettings.h"
#include "data/DbTable.h"
#include "platform/FormatSettings.h"

#include <QObject>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString engineDateFormat() {
    char buf[32] = {};
    uint16_t len = sizeof buf;
    DbGetDateFormat(buf, &len);
    return QString::fromLatin1(buf);
}

class DbConnectionTest : public ::testing::Test {
protected:
    EngineFolder folder;
    std::unique_ptr<QObject> window = std::make_unique<QObject>();
    TDbConnection *connection = nullptr;

    void SetUp() override {
        connection = new TDbConnection(window.get());
        connection->setObjectName(QStringLiteral("DbConnection"));
        connection->SetDbServerTypes(EngineFolder::serverTypes());
        TDbConnection::SetLoginPromptFunction(nullptr);
    }
    void TearDown() override { TDbConnection::SetLoginPromptFunction(nullptr); }
};

class DbSettingsTest : public ::testing::Test {
protected:
    void TearDown() override { resetFormatSettings(); }
};

} // namespace

TEST_F(DbConnectionTest, ConnectsToADataFolderAndIgnoresRepeatedStates) {
    connection->SetConnectPath(folder.path());
    int before = 0, after = 0;
    connection->BeforeConnect = [&](QObject *) { ++before; };
    connection->OnConnect = [&](QObject *) { ++after; };
    connection->SetIsConnected(true);
    ASSERT_TRUE(connection->IsConnected());
    const uint32_t handle = connection->ConnectionHandle();
    EXPECT_NE(handle, 0u);
    uint16_t type = 0;
    ok(DbGetServerType(handle, &type));
    EXPECT_EQ(type, EngineFolder::serverType());
    connection->SetIsConnected(true);
    EXPECT_EQ(connection->ConnectionHandle(), handle);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(
        messageOf<DbConnectionError>([&] { connection->SetConnectPath(QStringLiteral("x")); }),
        QStringLiteral("The TDbConnection.ConnectPath may not be changed when IsConnected "
                       "is TRUE"));

    // Disconnecting closes the attached tables first.
    folder.makeArticles();
    TDbTable table(window.get());
    table.SetDbConnection(connection);
    table.SetTableName(QStringLiteral("ArtikelMain.TBL"));
    table.Open();
    connection->SetIsConnected(false);
    EXPECT_FALSE(table.Active());
    EXPECT_FALSE(connection->IsConnected());
    EXPECT_EQ(connection->ConnectionHandle(), 0u);
    connection->SetIsConnected(false);
    EXPECT_EQ(messageOf<DbConnectionError>([&] { connection->ServerName(); }),
              QStringLiteral("Must be connected to get the database server name."));
}

TEST_F(DbConnectionTest, ConnectFailuresLeaveItDisconnected) {
    EXPECT_EQ(messageOf<DbConnectionError>([&] { connection->SetIsConnected(true); }),
              QStringLiteral("Must specify connection string before getting a server connection."));
    EXPECT_FALSE(connection->IsConnected());
    connection->SetConnectPath(folder.path() + QStringLiteral("/gibt/es/nicht"));
    try {
        connection->SetIsConnected(true);
        ADD_FAILURE();
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.EngineError(), uint32_t(DBE_FILE_NOT_FOUND));
        EXPECT_EQ(e.DataSetName(), QString()) << "no data set: the engine's text alone";
        EXPECT_FALSE(e.message().startsWith(QStringLiteral("DbConnection")));
    }
    EXPECT_FALSE(connection->IsConnected());
}

TEST_F(DbConnectionTest, TheRemoteServerAsksForTheLoginWhenItWantsOne) {
    if (!EngineFolder::remote())
        GTEST_SKIP() << "nur beim Remote-Server";
    // Members of "password_required" must give their password on the scratch server.
    const std::string role = "lager" + std::to_string(getpid());
    ScratchServer::execute("CREATE ROLE " + role +
                           " LOGIN SUPERUSER PASSWORD 'Pa\u00df' IN ROLE password_required");
    setenv("PGPASSFILE", "/nonexistent", 1);
    std::vector<QString> shown;
    int answer = 0;
    TDbConnection::SetLoginPromptFunction([&](const QString &name, QString &user, QString &pw) {
        shown.push_back(name + QStringLiteral(" ") + user);
        user = QString::fromStdString(role);
        pw = ++answer == 1 ? QStringLiteral("falsch") : QStringLiteral("Pa\u00df");
        return true;
    });
    connection->SetConnectPath(folder.path());
    connection->SetUsername(QString::fromStdString(role));
    connection->SetIsConnected(true);
    EXPECT_TRUE(connection->IsConnected());
    // Asked twice: once because the server wanted a password, once because it was wrong.
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], QStringLiteral("DbConnection ") + QString::fromStdString(role));
    EXPECT_EQ(connection->Password(), QStringLiteral("Pa\u00df"));
    connection->SetIsConnected(false);

    // Cancelled: the connect fails as a cancelled login does.
    TDbConnection::SetLoginPromptFunction(
        [](const QString &, QString &, QString &) { return false; });
    connection->SetPassword(QString());
    EXPECT_EQ(messageOf<EDbLoginCancelled>([&] { connection->SetIsConnected(true); }),
              QStringLiteral("Cannot connect to database 'DbConnection'"));
    // Without LoginPrompt the engine's refusal comes through.
    connection->SetLoginPrompt(false);
    try {
        connection->SetIsConnected(true);
        ADD_FAILURE();
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.EngineError(), uint32_t(DBE_LOGIN_FAILED));
        EXPECT_TRUE(e.message().contains(QStringLiteral("Passwort"))) << e.message().toStdString();
    }
    unsetenv("PGPASSFILE");
    ScratchServer::execute("DROP ROLE " + role);
}

TEST_F(DbConnectionTest, OnlyADictionaryPathAsksForTheLogin) {
    if (EngineFolder::remote())
        GTEST_SKIP() << "the remote server sends the user name (see the test before)";
    int asked = 0;
    TDbConnection::SetLoginPromptFunction([&](const QString &name, QString &user, QString &) {
        ++asked;
        EXPECT_EQ(name, QStringLiteral("DbConnection"));
        EXPECT_EQ(user, QStringLiteral("admin"));
        return false;
    });
    connection->SetUsername(QStringLiteral("admin"));
    connection->SetConnectPath(folder.path());
    EXPECT_FALSE(connection->IsDictionary());
    connection->SetIsConnected(true);
    EXPECT_EQ(asked, 0);
    connection->SetIsConnected(false);

    if (EngineFolder::remote())
        return; // a dictionary path names the data set of its folder, which is there
    connection->SetConnectPath(folder.path() + QStringLiteral("/daten.dic"));
    EXPECT_TRUE(connection->IsDictionary());
    EXPECT_EQ(messageOf<EDbLoginCancelled>([&] { connection->SetIsConnected(true); }),
              QStringLiteral("Cannot connect to database 'DbConnection'"));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(connection->IsConnected());

    // Without an installed dialog the prompt counts as cancelled.
    TDbConnection::SetLoginPromptFunction(nullptr);
    EXPECT_THROW(connection->SetIsConnected(true), EDatabaseError);

    // OnLogin answers instead of the dialog, starting from empty texts.
    connection->OnLogin = [&](TDbConnection *, QString &user, QString &password) {
        EXPECT_TRUE(user.isEmpty());
        user = QStringLiteral("u");
        password = QStringLiteral("p");
    };
    EXPECT_THROW(connection->SetIsConnected(true), EDbEngineError) << "no such dictionary";
    EXPECT_EQ(connection->Username(), QStringLiteral("u"));
    EXPECT_EQ(connection->Password(), QStringLiteral("p"));
}

TEST(DbServerTypes, EngineCodesAreSummedOverTheSet) {
    EXPECT_EQ(DbServerTypeCode(stDB_LOCAL), 1);
    EXPECT_EQ(DbServerTypeCode(stDB_REMOTE), 2);
    EXPECT_EQ(DbServerTypeCode(stDB_REMOTE | stDB_INTERNET), 6);
    EXPECT_EQ(DbServerTypeCode(stDB_LOCAL | stDB_REMOTE | stDB_INTERNET), 7);
    EXPECT_EQ(DbServerTypeCode({}), 0);
}

TEST_F(DbConnectionTest, ResolvedDirectoryOfDictionaryPaths) {
    // The engine's rule (DataPath.h), with "/" as the separator.
    const QList<std::pair<QString, QString>> cases = {
        {QStringLiteral("/daten/firma"), QStringLiteral("/daten/firma")},
        {QStringLiteral("/daten/firma/x.DIC"), QStringLiteral("/daten/firma")},
        {QStringLiteral("C:\\daten\\x.dic"), QStringLiteral("C:/daten")},
        {QStringLiteral("x.Dic"), QStringLiteral(".")},
        {QStringLiteral(".dic"), QStringLiteral(".dic")},
        {QStringLiteral("/srv/Bäckerei 1/Firma.dic"), QStringLiteral("/srv/Bäckerei 1")},
        {QStringLiteral("/home/łukasz/Daten"), QStringLiteral("/home/łukasz/Daten")},
    };
    for (const auto &[path, dir] : cases) {
        connection->SetConnectPath(path);
        EXPECT_EQ(connection->ResolvedDirectory(), dir) << path.toStdString();
    }
}

TEST_F(DbSettingsTest, OnlyOneInstanceAndItsEngineDefaults) {
    auto settings = std::make_unique<TDbSettings>();
    EXPECT_EQ(TDbSettings::Instance(), settings.get());
    EXPECT_EQ(settings->DbServerTypes(), stDB_REMOTE | stDB_INTERNET);
    EXPECT_EQ(settings->NumCachedCursors(), 25);
    EXPECT_TRUE(settings->SetLocaleDate());
    EXPECT_EQ(messageOf<Exception>([] { TDbSettings second; }),
              QStringLiteral("Only one DbSettings component is allowed per application"));
    settings.reset();
    EXPECT_EQ(TDbSettings::Instance(), nullptr);
    EXPECT_NO_THROW(TDbSettings again) << "a refused instance does not block later ones";
}

TEST_F(DbSettingsTest, DateFormatSetsTheEngineAndTheProcessFormat) {
    TDbSettings settings;
    settings.SetDateFormat(QStringLiteral("DD.MM.YYYY"));
    EXPECT_EQ(engineDateFormat().toUpper(), QStringLiteral("DD.MM.YYYY"));
    EXPECT_EQ(formatSettings().shortDateFormat, QStringLiteral("DD.MM.yyyy"));
    EXPECT_EQ(formatSettings().dateSeparator, QChar(u'.'));
    EXPECT_EQ(formatDate(QDate(2024, 3, 5)), QStringLiteral("05.03.2024"));

    settings.SetDateFormat(QString());
    EXPECT_EQ(engineDateFormat().toUpper(), QStringLiteral("MM/DD/CCYY"));
    EXPECT_EQ(settings.DateFormat(), QStringLiteral("MM/dd/ccyy"));
    EXPECT_EQ(formatSettings().shortDateFormat, QStringLiteral("MM/dd/yyyy"));

    settings.SetSetLocaleDate(false);
    settings.SetDateFormat(QStringLiteral("YYYY-MM-DD"));
    EXPECT_EQ(formatSettings().shortDateFormat, QStringLiteral("MM/dd/yyyy"))
        << "without SetLocaleDate only the engine changes";
}

TEST_F(DbSettingsTest, RefusedValuesKeepTheOldOnes) {
    TDbSettings settings;
    settings.SetDbServerTypes(stDB_LOCAL);
    EXPECT_EQ(messageOf<DbSettingsError>([&] { settings.SetDbServerTypes({}); }),
              QStringLiteral("At least one server type must be selected."));
    EXPECT_EQ(settings.DbServerTypes(), stDB_LOCAL);
    EXPECT_EQ(messageOf<Exception>([&] { settings.SetNumCachedTables(-1); }),
              QStringLiteral("NumCachedTables value must be greater than zero."));
    EXPECT_EQ(messageOf<Exception>([&] { settings.SetNumCachedCursors(-1); }),
              QStringLiteral("NumCachedCursors value must be greater than zero."));
    EXPECT_NO_THROW(settings.SetNumCachedTables(0));
    EXPECT_EQ(settings.NumCachedCursors(), 25);
    EXPECT_THROW(settings.SetDateFormat(QStringLiteral("DD.MM.QQQQ")), DbError);
    settings.SetNumDecimals(2);
    settings.SetShowDeleted(true);
    uint16_t decimals = 0, show = 0;
    ok(DbGetDecimals(&decimals));
    ok(DbGetShowDeleted(&show));
    EXPECT_EQ(decimals, 2);
    EXPECT_EQ(show, 1);
}
