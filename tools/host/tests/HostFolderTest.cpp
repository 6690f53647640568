#include "EngineSession.h"
#include "HostCommands.h"
#include "schema/HostSchema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace {

QStringList tagsOf(EngineTable &table) {
    QStringList tags;
    for (const IndexInfo &i : table.indexes())
        tags << i.name;
    return tags;
}

QStringList schemaTags(const HostSchema::Table &schema) {
    QStringList tags;
    for (const HostSchema::Index &i : schema.indexes)
        tags << QString::fromStdString(i.tag);
    return tags;
}

// Every table under its name is complete: all its tags (the last thing made) are there.
void expectOnlyCompleteTables(const QString &folder, const char *when) {
    EngineConnection c(folder);
    for (const HostSchema::Table *schema : HostSchema::all()) {
        const QString name = QString::fromStdString(schema->fileName);
        if (!QFileInfo::exists(QDir(folder).filePath(name)))
            continue;
        EngineTable table(c, name);
        EXPECT_EQ(tagsOf(table), schemaTags(*schema)) << name.toStdString() << " " << when;
    }
}

} // namespace

TEST(HostFolderTest, ACreateKilledAtAnyMomentLeavesNoHalfTableAndTheNextOneCompletes) {
    QTemporaryDir dir;
    int round = 0;
    for (int delay : {0, 10, 30, 60, 100, 150, 250, 400, 600, 900}) {
        const QString folder = dir.filePath(QStringLiteral("lauf%1").arg(++round));
        QProcess host;
        host.start(
            QStringLiteral(DUPCHECK_HOST),
            {QStringLiteral("demo"), folder, QStringLiteral("--articles"), QStringLiteral("4000")});
        ASSERT_TRUE(host.waitForStarted());
        if (!host.waitForFinished(delay))
            kill(pid_t(host.processId()), SIGKILL);
        host.waitForFinished();
        const std::string when = "after " + std::to_string(delay) + " ms";
        if (QDir(folder).exists())
            expectOnlyCompleteTables(folder, when.c_str());

        // The next run puts the leftovers right: it makes the tables, or finds the killed
        // run's (complete) tables in place.
        QString said;
        QTextStream out(&said);
        try {
            HostCommands::create(folder, out);
        } catch (const HostError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("gibt es in"))) << e.what();
        }
        expectOnlyCompleteTables(folder, when.c_str());
        for (const HostSchema::Table *schema : HostSchema::all())
            EXPECT_TRUE(
                QFileInfo::exists(QDir(folder).filePath(QString::fromStdString(schema->fileName))))
                << schema->fileName << " " << when;
        const QStringList rest =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString &name : rest)
            EXPECT_TRUE(name.endsWith(QLatin1String(".TBL")) ||
                        name.endsWith(QLatin1String(".TBL.lck")))
                << name.toStdString() << " left over " << when;
    }
}

TEST(HostFolderTest, LeftoversOfAKilledRunAreCompletedNeverRemoved) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("daten"));
    QString said;
    QTextStream out(&said);
    // What a run killed while it linked its tables in leaves: the staging folder, marked
    // complete, and the first table in place.
    const QString made = dir.filePath(QStringLiteral("fertig"));
    ASSERT_EQ(HostCommands::create(made, out), 0);
    const QString staging = QDir(folder).filePath(QStringLiteral(".dupcheck-create.ab12CD"));
    ASSERT_TRUE(QDir().mkpath(staging));
    for (const HostSchema::Table *schema : HostSchema::all()) {
        const QString name = QString::fromStdString(schema->fileName);
        ASSERT_TRUE(QFile::copy(QDir(made).filePath(name), QDir(staging).filePath(name)));
    }
    QFile(QDir(staging).filePath(QStringLiteral("complete"))).open(QIODevice::WriteOnly);
    ASSERT_EQ(link(QFile::encodeName(QDir(staging).filePath(QStringLiteral("ArtikelMain.TBL")))
                       .constData(),
                   QFile::encodeName(QDir(folder).filePath(QStringLiteral("ArtikelMain.TBL")))
                       .constData()),
              0);
    // Records written into it meanwhile stay.
    {
        EngineConnection c(folder);
        EngineTable articles(c, QStringLiteral("ArtikelMain.TBL"));
        checkEngine(DbAppendRecord(articles.handle()));
        articles.setText(articles.fieldNumber(QStringLiteral("BZK")), QStringLiteral("bleibt"));
        checkEngine(DbWriteRecord(articles.handle()));
    }
    try {
        HostCommands::create(folder, out);
        FAIL() << "the killed run's tables are in place";
    } catch (const HostError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("gibt es in"))) << e.what();
    }
    EXPECT_FALSE(QFileInfo::exists(staging));
    expectOnlyCompleteTables(folder, "after the repair");
    EngineConnection c(folder);
    EngineTable articles(c, QStringLiteral("ArtikelMain.TBL"));
    EXPECT_EQ(articles.recordCount(), 1u);
    EngineTable settings(c, QStringLiteral("setup.TBL"));
    EXPECT_EQ(settings.recordCount(), 0u);
}
