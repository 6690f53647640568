// The deletion as separate processes do it (deletion_runner): two users deleting at once on one
// folder end where the two deletions one after the other end, and a deletion killed at any
// moment loses no article: each one is in the table or comes back from the journal.
#include "CheckData.h"

#include "check/core/JournalRecord.h"
#include "check/core/JournalRestore.h"
#include "dbeng.h"
#include "platform/Cp1252.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <random>

namespace {

class DeletionProcessTest : public ::testing::Test {
protected:
    // A copy of the data folder's tables.
    QString copy(const QString &name) {
        const QString folder = m_work.filePath(name);
        QDir().mkpath(folder);
        for (const QString &file : QDir(data.path()).entryList({QStringLiteral("*.TBL")}))
            EXPECT_TRUE(QFile::copy(QDir(data.path()).filePath(file), folder + u'/' + file));
        return folder;
    }

    // A deletion process on the folder, started.
    static std::unique_ptr<QProcess> start(const QString &folder) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QStringLiteral(DELETION_RUNNER), {folder});
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }

    static void finish(QProcess &process) {
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    // Every article of the folder, in the order of its ID, with all its values.
    static QStringList articles(const QString &folder) {
        QStringList out;
        DBHANDLE connection = 0, table = 0, byId = 0;
        EXPECT_EQ(DbConnect(Cp1252::fromQString(folder).constData(), DB_SERVER_LOCAL, "", "", 0,
                            &connection),
                  0u);
        EXPECT_EQ(DbOpenTable(connection, "ArtikelMain.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1,
                              DB_OPEN_READONLY, &table),
                  0u);
        EXPECT_EQ(DbGetIndexHandle(table, "ID", &byId), 0u);
        uint16_t eof = 0;
        for (DbGotoTop(byId); DbAtEOF(table, &eof) == 0 && !eof; DbSkip(byId, 1)) {
            QStringList fields;
            for (const JournalRecord::Field &field : JournalRecord::read(table))
                fields << JournalRecord::encode(field);
            out << fields.join(u'\t');
        }
        DbDisconnect(connection);
        return out;
    }

    // Another user holding the articles with these IDs (their record locks) while it lives.
    struct Holder {
        DBHANDLE connection = 0;
        ~Holder() { DbDisconnect(connection); }
    };
    static std::unique_ptr<Holder> hold(const QString &folder, const QList<int> &ids) {
        auto holder = std::make_unique<Holder>();
        DBHANDLE table = 0, byId = 0;
        EXPECT_EQ(DbConnect(Cp1252::fromQString(folder).constData(), DB_SERVER_LOCAL, "", "", 0,
                            &holder->connection),
                  0u);
        EXPECT_EQ(DbOpenTable(holder->connection, "ArtikelMain.TBL", nullptr, DB_TABLE_NATIVE, 1, 1,
                              1, 0, &table),
                  0u);
        EXPECT_EQ(DbGetIndexHandle(table, "ID", &byId), 0u);
        for (int id : ids) {
            const QByteArray key = QByteArray::number(id);
            uint16_t found = 0;
            EXPECT_EQ(DbSeek(byId, reinterpret_cast<const uint8_t *>(key.constData()),
                             uint16_t(key.size()), DB_KEY_TEXT, DB_SEEK_HARD, &found),
                      0u);
            EXPECT_TRUE(found) << id;
            EXPECT_EQ(DbLockRecord(table, 0), 0u) << id;
        }
        return holder;
    }

    // A field's value in a line of articles().
    static QString value(const QString &article, const QString &field) {
        for (const QString &column : article.split(u'\t'))
            if (column.startsWith(field + u'='))
                return column.mid(field.size() + 1);
        return {};
    }

    // The IDs of the articles, for a failure's message.
    static std::string ids(const QStringList &articles) {
        QStringList out;
        for (const QString &a : articles)
            out << a.section(u'\t', 0, 0).mid(3);
        return out.join(u' ').toStdString();
    }

    CheckData data;

private:
    QTemporaryDir m_work;
};

TEST_F(DeletionProcessTest, TwoDeletionsAtOnceEndAsTheTwoOneAfterTheOther) {
    // Runs of four shapes; "B" marks an article with bookings. Where a booked article shares
    // the number, the other deletion's survivor or deleted candidates must not let this
    // deletion take the last candidate.
    const std::vector<std::vector<int>> shapes = {{1, 0, 0}, {0, 0, 0}, {0, 1, 0, 0}, {0, 0}};
    std::vector<Article> runs;
    for (int n = 0; n < 120; ++n)
        for (int bookings : shapes[size_t(n) % shapes.size()])
            runs.push_back({QStringLiteral("Artikel"),
                            QStringLiteral("N-%1").arg(n, 4, 10, QChar(u'0')), bookings});
    data.makeTables(runs);

    const QString oneAfterTheOther = copy(QStringLiteral("nacheinander"));
    for (int k = 0; k < 2; ++k)
        finish(*start(oneAfterTheOther));
    const QStringList expected = articles(oneAfterTheOther);
    ASSERT_EQ(expected.size(), 120 + 60) << "one candidate per number, and the booked ones";

    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        const QString folder = copy(QStringLiteral("gleichzeitig-%1").arg(round));
        auto first = start(folder);
        auto second = start(folder);
        finish(*first);
        finish(*second);
        const QStringList stored = articles(folder);
        EXPECT_TRUE(stored == expected) << ids(stored) << "\ninstead of\n" << ids(expected);
    }
}

TEST_F(DeletionProcessTest, AHeldArticleKeepsNoOtherAliveAlsoWithTwoDeletionsAtOnce) {
    // Triples and pairs; another user holds one article of many numbers (renaming it, say)
    // while two deletions run. A held article may lose its number any moment: every number
    // must keep an article that no one holds.
    data.makeTables({});
    data.appendRuns(30, 30);
    QList<int> held;
    for (int id = 1; id <= 150; id += 4)
        held << id;
    auto endState = [&](const QString &folder, bool atOnce) {
        auto holder = hold(folder, held);
        auto first = start(folder);
        if (!atOnce)
            finish(*first);
        auto second = start(folder);
        if (atOnce)
            finish(*first);
        finish(*second);
        return articles(folder);
    };
    const QStringList expected = endState(copy(QStringLiteral("nacheinander")), false);
    QSet<QString> numbers;
    for (const QString &article : expected)
        if (!held.contains(value(article, QStringLiteral("ID")).toInt()))
            numbers.insert(value(article, QStringLiteral("BSTN")));
    EXPECT_EQ(numbers.size(), 60) << "a number left with only a held article";
    EXPECT_LT(expected.size(), 150) << "nothing deleted";
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const QStringList stored =
            endState(copy(QStringLiteral("gleichzeitig-gehalten-%1").arg(round)), true);
        EXPECT_TRUE(stored == expected) << ids(stored) << "\ninstead of\n" << ids(expected);
    }
}

TEST_F(DeletionProcessTest, AKilledDeletionNeverLosesAnArticle) {
    // A deletion of 1,000 articles: 1,000 numbers with two articles each.
    data.makeTables({});
    data.appendRuns(1000, 0);
    const QStringList original = articles(data.path());
    ASSERT_EQ(original.size(), 2000);

    std::random_device device;
    const unsigned seed = device();
    std::mt19937 random(seed);
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    // The moments spread over the check and the whole deletion (about 10 s on a busy machine;
    // a kill after the end finds a finished deletion, which must hold as well).
    const int rounds = 8;
    const double window = 10000.0;
    for (int round = 0; round < rounds; ++round) {
        const int at =
            int(window * (round + std::uniform_real_distribution<>(0, 1)(random)) / rounds);
        SCOPED_TRACE(::testing::Message() << "killed after " << at << " ms");
        const QString folder = copy(QStringLiteral("getoetet-%1").arg(round));
        auto process = start(folder);
        process->waitForFinished(at);
        process->kill();
        process->waitForFinished();
        const QStringList left = articles(folder);
        EXPECT_GE(left.size(), 1000);
        JournalRestore::restore(folder, std::nullopt);
        const QStringList restored = articles(folder);
        EXPECT_TRUE(restored == original)
            << left.size() << " left before the restore, " << restored.size() << " after";
    }
}

} // namespace
