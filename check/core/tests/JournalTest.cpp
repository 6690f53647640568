// The deletion journal: every deleted article with all its values, entries whose article was
// not deleted recognised as such, and the restore that puts the deleted articles back exactly,
// never twice, and refuses an ID that is in the table again.
#include "CheckData.h"
#include "CheckSession.h"

#include "check/core/DeletionJournal.h"
#include "check/core/JournalRecord.h"
#include "check/core/JournalRestore.h"
#include "data/DbTable.h"
#include "dbeng.h"
#include "platform/Cp1252.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class JournalTest : public ::testing::Test {
protected:
    // Runs N: 1, 2, 3; M: 4, 5; a unique 6. Article 2 has values in every kind of field.
    void SetUp() override {
        data.makeTables({{"a", "N"}, {"b", "N"}, {"c", "N"}, {"d", "M"}, {"e", "M"}, {"f", "U"}});
        table([&](DBHANDLE t) {
            seek(t, 2);
            set(t, "BZL", "Grüße\t\"Zeile\"\r\n100 % €");
            set(t, "MEM", "Memo mit\nzwei Zeilen und %41");
            set(t, "EKEU", "0.004");
            set(t, "VKEU", "1e-300");
            set(t, "GRUP", "-7");
            set(t, "LAART", "T");
            set(t, "GEK", "19.99");
            ASSERT_EQ(DbWriteRecord(t), 0u);
        });
        before = records();
    }

    // Runs body with the article table open through the engine.
    void table(const std::function<void(DBHANDLE)> &body) {
        DBHANDLE connection = 0, t = 0;
        ASSERT_EQ(DbConnect(Cp1252::fromQString(data.path()).constData(), DB_SERVER_LOCAL, "", "",
                            0, &connection),
                  0u);
        ASSERT_EQ(
            DbOpenTable(connection, "ArtikelMain.TBL", nullptr, DB_TABLE_NATIVE, 1, 1, 1, 0, &t),
            0u);
        body(t);
        DbDisconnect(connection);
    }
    static bool seek(DBHANDLE t, int id) {
        DBHANDLE byId = 0;
        DbGetIndexHandle(t, "ID", &byId);
        const QByteArray key = QByteArray::number(id);
        uint16_t found = 0;
        DbSeek(byId, reinterpret_cast<const uint8_t *>(key.constData()), uint16_t(key.size()),
               DB_KEY_TEXT, DB_SEEK_HARD, &found);
        return found != 0;
    }
    static void set(DBHANDLE t, const char *field, const QString &value) {
        uint16_t n = 0;
        DbGetFieldNum(t, field, &n);
        const QByteArray bytes = Cp1252::fromQString(value);
        EXPECT_EQ(DbSetField(t, n, bytes.constData(), uint32_t(bytes.size())), 0u) << field;
    }
    // Every stored article with all its values, by ID.
    QMap<int, JournalRecord::Record> records() {
        QMap<int, JournalRecord::Record> out;
        table([&](DBHANDLE t) {
            for (int id : data.storedIds()) {
                seek(t, id);
                out.insert(id, JournalRecord::read(t));
            }
        });
        return out;
    }
    static QString values(const JournalRecord::Record &record) {
        QStringList out;
        for (const JournalRecord::Field &f : record)
            out << JournalRecord::encode(f);
        return out.join(u'\t');
    }
    void expectAllBack() {
        const QMap<int, JournalRecord::Record> now = records();
        ASSERT_EQ(now.keys(), before.keys());
        for (int id : before.keys())
            EXPECT_EQ(values(now[id]), values(before[id])) << "article " << id;
    }
    void deleteDuplicates() {
        CheckSession session(data.path());
        session.check().check();
        ASSERT_TRUE(session.deleteDuplicates());
        ASSERT_TRUE(session.messages.isEmpty()) << session.messages.join(u'|').toStdString();
    }

    CheckData data;
    QMap<int, JournalRecord::Record> before;
};

TEST_F(JournalTest, EveryDeletedArticleIsInTheJournalWithAllItsValues) {
    deleteDuplicates();
    // N keeps 2 (listed first), M keeps 5.
    ASSERT_EQ(data.storedIds(), (QList<int>{2, 5, 6}));
    const QList<JournalRestore::Item> items = JournalRestore::list(data.path());
    QList<int> deleted;
    for (const JournalRestore::Item &item : items) {
        EXPECT_EQ(item.state, JournalRestore::State::Deleted);
        EXPECT_EQ(item.entry.outcome, DeletionJournal::Entry::Outcome::Deleted);
        EXPECT_EQ(item.entry.tableFile, QStringLiteral("ArtikelMain.TBL"));
        EXPECT_LE(qAbs(item.entry.time.secsTo(QDateTime::currentDateTime())), 60);
        const int id = item.entry.articleId().toInt();
        deleted << id;
        EXPECT_EQ(values(item.entry.record), values(before[id]));
    }
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, (QList<int>{1, 3, 4}));
}

TEST_F(JournalTest, ARestorePutsEveryDeletedArticleBackExactlyAndOnlyOnce) {
    deleteDuplicates();
    const JournalRestore::Result result = JournalRestore::restore(data.path(), std::nullopt);
    EXPECT_EQ(result.restored, 3);
    expectAllBack();
    for (const JournalRestore::Item &item : JournalRestore::list(data.path()))
        EXPECT_EQ(item.state, JournalRestore::State::Restored);
    // Once back, nothing comes back again; a new deletion can be restored as well.
    EXPECT_EQ(JournalRestore::restore(data.path(), std::nullopt).restored, 0);
    expectAllBack();
    deleteDuplicates();
    EXPECT_EQ(JournalRestore::restore(data.path(), std::nullopt).restored, 3);
    expectAllBack();
}

// The program stopped between the journal entry and the delete, or between the delete and the
// word after it: the table says which.
TEST_F(JournalTest, AnEntryWithoutAWordCountsAsDeletedOnlyWhenItsArticleIsGone) {
    table([&](DBHANDLE t) {
        DeletionJournal journal(data.path());
        const DeletionJournal::Lock held = journal.lock();
        seek(t, 1);
        journal.recordDeletion(QStringLiteral("ArtikelMain.TBL"), JournalRecord::read(t));
        seek(t, 4);
        journal.recordDeletion(QStringLiteral("ArtikelMain.TBL"), JournalRecord::read(t));
        ASSERT_EQ(DbDeleteRecord(t), 0u);
    });
    // A line cut short by the stop is no entry, also once the next line has ended it.
    QFile file(DeletionJournal::pathIn(data.path()));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("L\t9999\t2026-12-10T10:00:00.000+01:00\tArtikelMain.TBL\tID=3\tBZK=ha");
    file.close();
    DeletionJournal(data.path()).lock();

    const QList<JournalRestore::Item> items = JournalRestore::list(data.path());
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].entry.articleId(), QStringLiteral("1"));
    EXPECT_EQ(items[0].state, JournalRestore::State::NotDeleted);
    EXPECT_EQ(items[1].entry.articleId(), QStringLiteral("4"));
    EXPECT_EQ(items[1].state, JournalRestore::State::Deleted);

    EXPECT_EQ(JournalRestore::restore(data.path(), std::nullopt).restored, 1);
    expectAllBack();
}

TEST_F(JournalTest, AnIdThatIsInTheTableAgainStopsTheRestoreBeforeAnything) {
    deleteDuplicates();
    data.appendArticle(3, QStringLiteral("neu"), QStringLiteral("X"));
    try {
        JournalRestore::restore(data.path(), std::nullopt);
        ADD_FAILURE() << "restored over an article that is there again";
    } catch (const EJournalError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Nichts wurde zurückgeholt")) &&
                    e.message().contains(QStringLiteral("Artikel 3 (Bestellnummer N)")))
            << e.message().toStdString();
    }
    EXPECT_EQ(data.storedIds(), (QList<int>{2, 3, 5, 6}));
    EXPECT_EQ(data.storedNumber(3), QStringLiteral("X"));
}

TEST_F(JournalTest, ARestoreSinceATimeLeavesOlderDeletionsAlone) {
    deleteDuplicates();
    QList<JournalRestore::Item> items = JournalRestore::list(data.path());
    ASSERT_EQ(items.size(), 3);
    // The later two entries only.
    const QDateTime since = items[1].entry.time;
    EXPECT_EQ(JournalRestore::restore(data.path(), since).restored,
              items[2].entry.time >= since ? 2 : 1);
    EXPECT_FALSE(data.storedIds().contains(items[0].entry.articleId().toInt()));
    EXPECT_TRUE(data.storedIds().contains(items[1].entry.articleId().toInt()));
}

} // namespace
