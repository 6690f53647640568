// dupcheck-host journal and restore, and check: after the module's deletion the journal lists
// what was deleted, a restore gives the exported table back byte for byte, and the integrity
// check names a damaged bookings index.
#include "EngineSession.h"
#include "HostCommands.h"

#include "CheckSession.h"
#include "check/core/DeletionJournal.h"
#include "data/DbTable.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

class JournalCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString said;
        QTextStream out(&said);
        // Many shared numbers, so that the deletion has much to do.
        HostCommands::demo(data(),
                           {QStringLiteral("--articles"), QStringLiteral("3000"),
                            QStringLiteral("--seed"), QStringLiteral("7"),
                            QStringLiteral("--shared-percent"), QStringLiteral("40")},
                           out);
    }

    QString data() const { return m_dir.filePath(QStringLiteral("daten")); }

    QString run(const std::function<int(QTextStream &)> &command, int expected = 0) {
        QString text;
        QTextStream out(&text);
        EXPECT_EQ(command(out), expected);
        out.flush();
        return text;
    }
    QString exported() {
        QBuffer standardOutput;
        standardOutput.open(QIODevice::WriteOnly);
        EXPECT_EQ(HostCommands::exportTable(data(), QStringLiteral("ArtikelMain"),
                                            QStringLiteral("ID"), {}, standardOutput),
                  0);
        return QString::fromUtf8(standardOutput.data());
    }
    // The module's "Überprüfen" and "Alle doppelten löschen"; answers how many it deleted.
    int deleteDuplicates() {
        CheckSession session(data());
        session.check().check();
        const int before = session.articles().RecordCount();
        EXPECT_TRUE(session.deleteDuplicates());
        EXPECT_TRUE(session.messages.isEmpty()) << session.messages.join(u'|').toStdString();
        return before - session.articles().RecordCount();
    }

private:
    QTemporaryDir m_dir;
};

TEST_F(JournalCommandsTest, ADeletionFollowedByARestoreGivesTheExportedTableBackByteForByte) {
    const QString before = exported();
    const int deleted = deleteDuplicates();
    ASSERT_GT(deleted, 50);
    ASSERT_NE(exported(), before);

    const QString listing =
        run([&](QTextStream &out) { return HostCommands::journal(data(), out); });
    EXPECT_TRUE(listing.startsWith(QStringLiteral("Löschjournal %1: %2 Einträge\n")
                                       .arg(DeletionJournal::pathIn(QDir(data()).absolutePath()))
                                       .arg(deleted)))
        << listing.toStdString();
    EXPECT_EQ(listing.count(QRegularExpression(QStringLiteral("  gelöscht\n"))), deleted);

    const QString restored =
        run([&](QTextStream &out) { return HostCommands::restore(data(), QString(), out); });
    EXPECT_EQ(restored, QStringLiteral("%1 Artikel mit ihren IDs zurückgeholt.\n").arg(deleted));
    EXPECT_TRUE(exported() == before) << "the table differs from its export before the deletion";
    EXPECT_EQ(run([&](QTextStream &out) {
                  return HostCommands::journal(data(), out);
              }).count(QStringLiteral("zurückgeholt am")),
              deleted);
    EXPECT_EQ(run([&](QTextStream &out) { return HostCommands::restore(data(), QString(), out); }),
              QStringLiteral("Es gibt keine gelöschten Artikel zurückzuholen.\n"));
}

TEST_F(JournalCommandsTest, RestoreSinceATimeAndItsRefusals) {
    EXPECT_EQ(run([&](QTextStream &out) { return HostCommands::journal(data(), out); }),
              QStringLiteral("Für %1 gibt es kein Löschjournal: es wurde noch nichts "
                             "gelöscht.\n")
                  .arg(QDir(data()).absolutePath()));
    deleteDuplicates();
    const QDateTime later = QDateTime::currentDateTime().addSecs(3600);
    for (const QString &since : {later.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                                 later.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 later.date().addDays(1).toString(Qt::ISODate)})
        EXPECT_EQ(run([&](QTextStream &out) { return HostCommands::restore(data(), since, out); }),
                  QStringLiteral("Es gibt keine gelöschten Artikel zurückzuholen.\n"))
            << since.toStdString();
    try {
        run([&](QTextStream &out) {
            return HostCommands::restore(data(), QStringLiteral("gestern"), out);
        });
        ADD_FAILURE() << "an unreadable time was taken";
    } catch (const HostError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("'gestern' ist keine Zeit")));
    }
}

TEST_F(JournalCommandsTest, CheckReportsEveryTableAndNamesWhatAnIndexLacks) {
    const QString sound = run([&](QTextStream &out) { return HostCommands::check(data(), out); });
    EXPECT_EQ(sound.count(QStringLiteral(": in Ordnung (")), 3) << sound.toStdString();
    EXPECT_TRUE(sound.endsWith(QStringLiteral("Alle Tabellen sind in Ordnung.\n")));

    // Bookings of article 5 that the index "ID_ART" lacks, and a file that is no table.
    const QByteArray bookings = QFile::encodeName(data() + QStringLiteral("/Artikelsub.TBL"));
    for (const char *sql :
         {"PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = sql || ' WHERE 0' "
          "WHERE name = 'dbe_tag_ID_ART'",
          "INSERT INTO dbe_records(ID_ART) VALUES(5), (5)",
          "PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = substr(sql, 1, length(sql) "
          "- 8) WHERE name = 'dbe_tag_ID_ART'"}) {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(bookings.constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    QFile text(data() + QStringLiteral("/Notiz.TBL"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(1000, 'x'));
    text.close();
    QDir(data()).mkdir(QStringLiteral("Ordner.TBL"));

    const QString damaged =
        run([&](QTextStream &out) { return HostCommands::check(data(), out); }, 1);
    EXPECT_TRUE(damaged.contains(QRegularExpression(QStringLiteral(
        "Artikelsub.TBL: beschädigt, \\d+ Befunde:\n  Datensatz \\d+ fehlt im Index \"ID_ART\"."))))
        << damaged.toStdString();
    EXPECT_TRUE(damaged.contains(QStringLiteral("ArtikelMain.TBL: in Ordnung (")));
    EXPECT_TRUE(damaged.contains(QStringLiteral("Notiz.TBL: kann nicht geprüft werden: ")));
    EXPECT_TRUE(
        damaged.contains(QStringLiteral("Ordner.TBL: ein Ordner, keine Tabellendatei")));
    EXPECT_TRUE(damaged.endsWith(QStringLiteral(
        "Nicht alle Tabellen sind in Ordnung; die Daten müssen repariert werden.\n")));
}

} // namespace
