#include "HostCommands.h"
#include "EngineSession.h"
#include "schema/HostSchema.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

QString run(const std::function<int(QTextStream &)> &command) {
    QString text;
    QTextStream out(&text);
    EXPECT_EQ(command(out), 0);
    out.flush();
    return text;
}

QString exportOf(const QString &folder, const QString &table, const QString &tag = {}) {
    QBuffer standardOutput;
    standardOutput.open(QIODevice::WriteOnly);
    EXPECT_EQ(HostCommands::exportTable(folder, table, tag, {}, standardOutput), 0);
    return QString::fromUtf8(standardOutput.data());
}

void writeFile(const QString &path, const QByteArray &content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

class HostCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString data() const { return dir.filePath(QStringLiteral("daten")); }
};

} // namespace

TEST_F(HostCommandsTest, CreateMakesTheThreeTablesWithTheirFieldsAndTags) {
    run([&](QTextStream &out) { return HostCommands::create(data(), out); });
    EngineConnection c(data());
    EngineTable articles(c, QStringLiteral("ArtikelMain.TBL"));
    const QList<FieldInfo> fields = articles.fields();
    ASSERT_EQ(size_t(fields.size()), HostSchema::articles().fields.size());
    EXPECT_EQ(fields[19].name, QStringLiteral("BSTN"));
    EXPECT_EQ(fields[19].type, DB_TYPE_STRING);
    EXPECT_EQ(fields[19].length, 50u);
    QStringList tags;
    for (const IndexInfo &i : articles.indexes())
        tags << i.name;
    EXPECT_EQ(tags, (QStringList{"ID", "BZK", "BZL", "ARTN", "MATCH0", "LAART", "GRUP", "BSTN"}));
    EngineTable bookings(c, QStringLiteral("artikelsub.tbl"));
    EXPECT_NE(bookings.index(QStringLiteral("ID_ART")), 0u);
    EngineTable settings(c, QStringLiteral("setup.TBL"));
    EXPECT_NE(settings.index(QStringLiteral("IDENT")), 0u);
}

TEST_F(HostCommandsTest, ImportAndExportRoundTripInIndexOrder) {
    run([&](QTextStream &out) { return HostCommands::create(data(), out); });
    const QString csv = dir.filePath(QStringLiteral("a.csv"));
    writeFile(csv, QStringLiteral("ID,BZK,BSTN,LAART,EKEU\n"
                                  "1,Schraube M6,\"B-2, neu\",T,1.25\n"
                                  "2,Dübel Ø 8 mm,A-1,F,0.10\n"
                                  "3,Zollstock,,T,\n")
                       .toUtf8());
    const QString said = run([&](QTextStream &out) {
        return HostCommands::import(data(), QStringLiteral("ArtikelMain"), csv, out);
    });
    EXPECT_TRUE(said.contains(QStringLiteral("3 Datensätze"))) << said.toStdString();
    const QStringList lines = exportOf(data(), QStringLiteral("ArtikelMain.TBL"), "BSTN")
                                  .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("3,Zollstock,"))) << "empty numbers first";
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("2,Dübel Ø 8 mm,")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("\"B-2, neu\"")));
}

TEST_F(HostCommandsTest, ABadLineImportsNothingOfTheFile) {
    run([&](QTextStream &out) { return HostCommands::create(data(), out); });
    const QString csv = dir.filePath(QStringLiteral("b.csv"));
    writeFile(csv, "ID_ART,DATUM,MENGE\n1,2026-01-05,3\n2,kein Datum,1\n3,2026-01-07,2\n");
    QString text;
    QTextStream out(&text);
    try {
        HostCommands::import(data(), QStringLiteral("Artikelsub.TBL"), csv, out);
        FAIL() << "a date that is no date must fail";
    } catch (const HostError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Zeile 3:"))) << e.what();
    }
    EngineConnection c(data());
    EngineTable bookings(c, QStringLiteral("Artikelsub.TBL"));
    EXPECT_EQ(bookings.recordCount(), 0u);
}

TEST_F(HostCommandsTest, UnknownFieldsAndShortLinesAreRejected) {
    run([&](QTextStream &out) { return HostCommands::create(data(), out); });
    const QString csv = dir.filePath(QStringLiteral("c.csv"));
    QString text;
    QTextStream out(&text);
    writeFile(csv, "ID,GIBTESNICHT\n1,x\n");
    EXPECT_THROW(HostCommands::import(data(), QStringLiteral("ArtikelMain"), csv, out), HostError);
    writeFile(csv, "ID,BZK\n1,x\n2\n");
    try {
        HostCommands::import(data(), QStringLiteral("ArtikelMain"), csv, out);
        FAIL();
    } catch (const HostError &e) {
        EXPECT_EQ(
            e.message(),
            QStringLiteral("Zeile 3: 1 Werte statt 2. Aus der Datei wurde nichts übernommen."));
    }
}

TEST_F(HostCommandsTest, DemoIsDeterministicAndPlantsDuplicates) {
    const QStringList options{"--articles", "600", "--seed", "7", "--shared-percent", "3"};
    const QString second = dir.filePath(QStringLiteral("zwei"));
    run([&](QTextStream &out) { return HostCommands::demo(data(), options, out); });
    run([&](QTextStream &out) { return HostCommands::demo(second, options, out); });
    EXPECT_EQ(exportOf(data(), "ArtikelMain", "BSTN"), exportOf(second, "ArtikelMain", "BSTN"));
    EXPECT_EQ(exportOf(data(), "Artikelsub"), exportOf(second, "Artikelsub"));
    const QString articles = exportOf(data(), "ArtikelMain");
    for (QChar c : articles)
        ASSERT_TRUE(c == u'\n' || c.unicode() >= 0x20) << "control character in the demo data";
    EXPECT_TRUE(articles.contains(QRegularExpression(QStringLiteral(",[A-Z]{2}-\\d{7}-[a-f],"))))
        << "some order numbers end in a letter";
    const QString info = run([&](QTextStream &out) { return HostCommands::info(data(), out); });
    EXPECT_TRUE(info.contains(QStringLiteral("ArtikelMain.TBL: 600 Datensätze")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Artikelsub.TBL: 1800 Datensätze")));
    const qsizetype at = info.indexOf(QStringLiteral("Doppelte Bestellnummern: "));
    ASSERT_GE(at, 0);
    const QStringList words = info.mid(at).split(u' ');
    // 3 % of 600 planted in runs of two and three, plus the run of empty numbers.
    EXPECT_GE(words[2].toInt(), 7);
    EXPECT_GE(words[4].toInt(), 18);
}

TEST_F(HostCommandsTest, DemoRefusesToOverwriteAnExistingFolder) {
    run([&](QTextStream &out) { return HostCommands::create(data(), out); });
    QString text;
    QTextStream out(&text);
    EXPECT_THROW(HostCommands::demo(data(), {}, out), HostError);
}

TEST_F(HostCommandsTest, FoldersWithAnyCharactersAreMadeFilledAndRead) {
    for (const QString &name : {QStringLiteral("łukasz/Daten"), QStringLiteral("Bäckerei 1"),
                                QStringLiteral("Ωmega €")}) {
        const QString folder = dir.filePath(name);
        run([&](QTextStream &out) {
            return HostCommands::demo(folder, {"--articles", "50", "--seed", "3"}, out);
        });
        const QString info = run([&](QTextStream &out) { return HostCommands::info(folder, out); });
        EXPECT_TRUE(info.contains(QStringLiteral("ArtikelMain.TBL: 50 Datensätze")))
            << name.toStdString() << ": " << info.toStdString();
        EXPECT_EQ(exportOf(folder, "ArtikelMain", "BSTN").count(u'\n'), 51) << name.toStdString();

        // The engine's text quotes the folder in Windows-1252: "?" for what it lacks.
        QBuffer standardOutput;
        standardOutput.open(QIODevice::WriteOnly);
        try {
            HostCommands::exportTable(folder, QStringLiteral("Fehlt"), {}, {}, standardOutput);
            ADD_FAILURE() << "a missing table was exported";
        } catch (const HostError &e) {
            const QString shown = QString(folder).replace(u'ł', u'?').replace(u'Ω', u'?');
            EXPECT_TRUE(e.message().contains(shown + QStringLiteral("/Fehlt.TBL\"")))
                << e.message().toStdString();
        }
    }
}

TEST_F(HostCommandsTest, InfoNamesEveryTableNameThatIsNoTableAndGoesOn) {
    run([&](QTextStream &out) { return HostCommands::create(data(), out); });
    const QDir folder(data());
    ASSERT_TRUE(folder.mkdir(QStringLiteral("Ordner.TBL")));
    ASSERT_EQ(
        mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("Pipe.tbl"))).constData(), 0644),
        0);
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("weg.TBL")),
                            folder.filePath(QStringLiteral("Verweis.TBL"))));
    writeFile(folder.filePath(QStringLiteral("Kaputt.TBL")), QByteArray(4096, 'x'));

    QString text;
    QTextStream out(&text);
    EXPECT_EQ(HostCommands::info(data(), out), 1);
    out.flush();
    for (const QString &line :
         {QStringLiteral("Ordner.TBL: ein Ordner, keine Tabellendatei"),
          QStringLiteral("Pipe.tbl: eine benannte Pipe (FIFO), keine Tabellendatei"),
          QStringLiteral("Verweis.TBL: ein Verweis auf '%1', den es nicht gibt, keine "
                         "Tabellendatei")
              .arg(folder.filePath(QStringLiteral("weg.TBL"))),
          QStringLiteral("Kaputt.TBL: nicht lesbar: "),
          QStringLiteral("ArtikelMain.TBL: 0 Datensätze"),
          QStringLiteral("setup.TBL: 0 Datensätze"),
          QStringLiteral("4 von 7 Tabellen konnten nicht gelesen werden.")})
        EXPECT_TRUE(text.contains(line)) << line.toStdString() << "\n" << text.toStdString();
}
