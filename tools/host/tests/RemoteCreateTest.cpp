// dupcheck-host --remote create makes the host's tables of a data set, and the data set itself
// when it is new, all together or not at all: the server's transaction takes the place of the
// local server's staging folder.
#include "EngineSession.h"
#include "HostCommands.h"
#include "HostFolder.h"
#include "HostServerFixture.h"
#include "schema/HostSchema.h"

#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

#include <libpq-fe.h>

namespace {

class RemoteCreateTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HostServerData::remote())
            GTEST_SKIP() << "the local server's creation stages in a folder (HostFolderTest)";
    }

    // The names of the data set's tables as its catalogue lists them; just "-" when the
    // catalogue has no such data set.
    QStringList tables() {
        PGconn *c = PQconnectdb("");
        const QByteArray key = data.path().toUpper().toUtf8();
        const char *values[] = {key.constData()};
        PGresult *r = PQexecParams(c,
                                   "SELECT quote_ident(schema_name) FROM dbe_catalog.datasets "
                                   "WHERE path_key = $1",
                                   1, nullptr, values, nullptr, nullptr, 0);
        QStringList out;
        if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) == 0) {
            out << QStringLiteral("-");
        } else {
            const std::string sql = std::string("SELECT name FROM ") + PQgetvalue(r, 0, 0) +
                                    ".dbe_tables ORDER BY name";
            PQclear(r);
            r = PQexec(c, sql.c_str());
            for (int i = 0; i < PQntuples(r); ++i)
                out << QString::fromUtf8(PQgetvalue(r, i, 0));
        }
        PQclear(r);
        PQfinish(c);
        return out;
    }

    HostServerData data{"create"};
};

const QStringList kAll = {QStringLiteral("ArtikelMain.TBL"), QStringLiteral("Artikelsub.TBL"),
                          QStringLiteral("setup.TBL")};

// A table definition the server refuses after the first table and its index tags were made:
// nothing of the run is left, neither a table nor a data set it made; the next run makes all.
TEST_F(RemoteCreateTest, AFailureMidwayLeavesNothingBehind) {
    for (const bool dataSetBefore : {false, true}) {
        SCOPED_TRACE(dataSetBefore ? "into an empty data set" : "with a new data set");
        if (dataSetBefore) {
            EngineConnection made(data.path(), true);
        }
        ASSERT_EQ(tables(), dataSetBefore ? QStringList() : QStringList{QStringLiteral("-")});
        QString message;
        try {
            HostFolder::createTables(data.path(), [](EngineConnection &connection) {
                EngineTable articles(createHostTable(connection, HostSchema::articles()));
                createHostIndexes(articles.handle(), HostSchema::articles());
                EngineTable bookings(createHostTable(connection, HostSchema::bookings()));
                // The name is taken by now: the server refuses it.
                EngineTable again(createHostTable(connection, HostSchema::articles()));
            });
        } catch (const HostError &e) {
            message = e.message();
        }
        EXPECT_TRUE(message.contains(QStringLiteral("gibt es im Datenbestand schon")))
            << message.toStdString();
        EXPECT_EQ(tables(), dataSetBefore ? QStringList() : QStringList{QStringLiteral("-")})
            << "the run left something behind";

        QString said;
        QTextStream out(&said);
        EXPECT_EQ(HostCommands::create(data.path(), out), 0);
        EXPECT_EQ(tables(), kAll);
        ScratchServer::dropDataSet(data.path().toStdString());
    }
}

// Two runs on one new data set at once: one makes it with all its tables, the other waits for
// it and then refuses, and the data set holds each table once.
TEST_F(RemoteCreateTest, TwoRunsAtOnceMakeTheTablesOnce) {
    QProcess runs[2];
    for (QProcess &run : runs) {
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QStringLiteral(DUPCHECK_HOST),
                  {QStringLiteral("--remote"), QStringLiteral("create"), data.path()});
    }
    QStringList said;
    int succeeded = 0;
    for (QProcess &run : runs) {
        ASSERT_TRUE(run.waitForFinished(60000));
        said << QString::fromUtf8(run.readAll());
        succeeded += run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
    }
    EXPECT_EQ(succeeded, 1) << said.join(u'|').toStdString();
    EXPECT_TRUE(said.join(u'|').contains(
        QStringLiteral("Die Tabelle 'ArtikelMain.TBL' gibt es in '%1' schon.").arg(data.path())))
        << said.join(u'|').toStdString();
    EXPECT_EQ(tables(), kAll);
}

} // namespace
