#include "EngineSession.h"
#include "HostCommands.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class TableImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString said;
        QTextStream out(&said);
        ASSERT_EQ(HostCommands::create(data(), out), 0);
    }

    QString data() const { return dir.filePath(QStringLiteral("daten")); }

    QString file(const QByteArray &content) {
        const QString path = dir.filePath(QStringLiteral("import%1.csv").arg(++m_files));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    void import(const QString &table, const QByteArray &content) {
        QString said;
        QTextStream out(&said);
        HostCommands::import(data(), table, file(content), out);
    }

    // The message of an import that must fail.
    QString refused(const QString &table, const QByteArray &content) {
        try {
            import(table, content);
        } catch (const HostError &e) {
            return e.message();
        }
        ADD_FAILURE() << "imported: " << content.left(80).toStdString();
        return {};
    }

    QByteArray exported(const QString &table, const QString &tag = {}) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        EXPECT_EQ(HostCommands::exportTable(data(), table, tag, {}, out), 0);
        return out.data();
    }

    QTemporaryDir dir;
    int m_files = 0;
};

} // namespace

TEST_F(TableImportTest, AValueThatCannotBeStoredExactlyIsRefusedWithItsLineFieldAndReason) {
    import(QStringLiteral("ArtikelMain"), "ID,BZK,BSTN\n1,Schraube,A-1\n");
    import(QStringLiteral("Artikelsub"), "ID_ART,BELEG\n1,RE-1\n");
    import(QStringLiteral("setup"), "Ident,stringItem\n1,Mandant\n");
    const QByteArray before = exported("ArtikelMain") + exported("Artikelsub") + exported("setup");

    struct Case {
        const char *table;
        QByteArray csv;
        const char *where;  // the line and the field
        const char *reason; // a part of the reason
    };
    const QByteArray longNumber(51, 'N');
    const Case cases[] = {
        {"ArtikelMain", "ID,BZK\n2,ok\n3,Schraube \xF0\x9F\x98\x80\n", "Zeile 3, Feld BZK:",
         "das Zeichen \xE2\x80\x9E\xF0\x9F\x98\x80\xE2\x80\x9C (U+1F600) gibt es in Windows-1252 "
         "nicht"},
        {"ArtikelMain", "ID,BZL\n2,\xE4\xB8\xAD\xE6\x96\x87\n", "Zeile 2, Feld BZL:", "(U+4E2D)"},
        {"ArtikelMain",
         "ID,MATCH0\n2,\xC5\x81"
         "ODZ\n",
         "Zeile 2, Feld MATCH0:", "(U+0141)"},
        {"ArtikelMain",
         "ID,BSTN\n2,A\xEF\xBB\xBF"
         "B\n",
         "Zeile 2, Feld BSTN:", "das nicht druckbare Zeichen (U+FEFF) gibt es"},
        {"ArtikelMain",
         "ID,BZK\n2,Gr\xF6\xDF"
         "e 9\n",
         "Zeile 2, Feld BZK:", "das Byte 0xF6 an Stelle 3 des Werts ist kein UTF-8"},
        {"ArtikelMain", QByteArray("ID,BZK\n2,a\0b\n", 13), "Zeile 2, Feld BZK:", "Nullzeichen"},
        {"ArtikelMain", "ID,BSTN\n2,ok\n\n4," + longNumber + "\n",
         "Zeile 4, Feld BSTN:", "der Wert hat 51 Zeichen, das Feld fasst nur 50"},
        {"ArtikelMain", "ID,BSTN\n2," + QByteArray(1000, 'x') + "\n",
         "Zeile 2, Feld BSTN:", "hat 1000 Zeichen"},
        {"Artikelsub", "ID_ART,BELEG\n2,RE-000000000000000021\n",
         "Zeile 2, Feld BELEG:", "der Wert hat 21 Zeichen, das Feld fasst nur 20"},
        {"setup", "Ident,stringItem\n2," + QByteArray(101, 's') + "\n",
         "Zeile 2, Feld stringItem:", "der Wert hat 101 Zeichen, das Feld fasst nur 100"},
        {"ArtikelMain", "ID,EKEU\n2,1.5\n3,zwölf\n", "Zeile 3:", "keine Zahl"},
    };
    for (const Case &c : cases) {
        const QString message = refused(QString::fromLatin1(c.table), c.csv);
        EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.where))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << message.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral("Aus der Datei wurde nichts übernommen.")))
            << message.toStdString();
    }
    EXPECT_EQ(exported("ArtikelMain") + exported("Artikelsub") + exported("setup"), before)
        << "a refused file changes nothing";
}

TEST_F(TableImportTest, WhatFitsIsStoredExactly) {
    const QByteArray memo = "zwei\nZeilen, \"zitiert\" und " + QByteArray(3000, 'm') + "  ";
    import(QStringLiteral("ArtikelMain"), "ID,BZK,BSTN,MEM,EKEU,GEK,LAART\n"
                                          "7,\"  Größe 9 – 5 € ‰\"," +
                                              QByteArray(50, 'B') + "   ,\"" +
                                              QByteArray(memo).replace("\"", "\"\"") +
                                              "\",0.004,-1e-7,F\n");
    EngineConnection c(data());
    EngineTable articles(c, QStringLiteral("ArtikelMain.TBL"));
    checkEngine(DbGotoTop(articles.handle()));
    EXPECT_EQ(articles.text(articles.fieldNumber("BZK")), QStringLiteral("  Größe 9 – 5 € ‰"));
    EXPECT_EQ(articles.bytes(articles.fieldNumber("BSTN")), QByteArray(50, 'B'))
        << "blanks at the end of a text carry nothing";
    EXPECT_EQ(articles.bytes(articles.fieldNumber("MEM")), memo);
    double value = 0;
    quint32 length = sizeof value;
    checkEngine(DbGetFieldRaw(articles.handle(), articles.fieldNumber("EKEU"),
                              reinterpret_cast<quint8 *>(&value), &length));
    EXPECT_EQ(value, 0.004);
    checkEngine(DbGetFieldRaw(articles.handle(), articles.fieldNumber("GEK"),
                              reinterpret_cast<quint8 *>(&value), &length));
    EXPECT_EQ(value, -1e-7);
}

TEST_F(TableImportTest, ABulkLoadBuildsItsIndexesAtTheEndOrLeavesThemAsTheyWere) {
    // Enough lines for the engine to take it as a bulk load (indexes built at the end).
    auto lines = [](int count, int badAt) {
        QByteArray csv = "ID,BZK,BSTN\n";
        for (int i = 1; i <= count; ++i) {
            csv += QByteArray::number(i) + ",Artikel " + QByteArray::number(i % 97) + ",N-" +
                   QByteArray::number((i * 7919) % 30011) + "\n";
            if (i == badAt)
                csv += QByteArray::number(i + 100000) + ",Umlaut \xE4,X\n";
        }
        return csv;
    };
    EXPECT_TRUE(refused(QStringLiteral("ArtikelMain"), lines(25000, 24000))
                    .startsWith(QStringLiteral("Zeile 24002, Feld BZK:")));
    EXPECT_EQ(exported("ArtikelMain"), "ID,BZK,BZL,LFT,BST,EKEU,VKEU,MWST,MEM,ARTN,EINH,GRUP,CFAC,"
                                       "MATCH0,MATCH1,MATCH2,MATCH3,MATCH4,LAART,BSTN,SRNS,GEK,"
                                       "MinEK,MaxEK,GSTEK,GSTVK,GVK,MinVK,MaxVK,MiddVK,DEZ,"
                                       "MiddEK\n");

    import(QStringLiteral("ArtikelMain"), lines(25000, 0));
    const QList<QByteArray> byNumber = exported("ArtikelMain", "BSTN").split('\n');
    ASSERT_EQ(byNumber.size(), 25002);
    QList<QByteArray> numbers;
    for (qsizetype i = 1; i + 1 < byNumber.size(); ++i)
        numbers << byNumber[i].split(',')[19];
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end())) << "the tag BSTN orders again";
    // A duplicate of the unique tag "ID" is still refused at its line.
    EXPECT_TRUE(refused(QStringLiteral("ArtikelMain"), "ID,BZK\n30000,a\n12,b\n")
                    .startsWith(QStringLiteral("Zeile 3:")));
}

TEST_F(TableImportTest, AnImportKilledAtAnyMomentLeavesTheTableAsItWasOrComplete) {
    QByteArray csv = "ID,BZK,BSTN\n";
    const int count = 60000;
    for (int i = 1; i <= count; ++i)
        csv += QByteArray::number(i) + ",Artikel " + QByteArray::number(i) + ",K-" +
               QByteArray::number((i * 7919) % 50021) + "\n";
    const QString path = file(csv);
    const QByteArray empty = exported("ArtikelMain");
    for (int delay : {20, 80, 200, 400, 700, 1000, 1500}) {
        QProcess host;
        host.start(QStringLiteral(DUPCHECK_HOST),
                   {QStringLiteral("import"), data(), QStringLiteral("ArtikelMain"), path});
        ASSERT_TRUE(host.waitForStarted());
        const bool finished = host.waitForFinished(delay);
        if (!finished)
            kill(pid_t(host.processId()), SIGKILL);
        host.waitForFinished();
        EngineConnection c(data());
        EngineTable articles(c, QStringLiteral("ArtikelMain.TBL"));
        const quint32 records = articles.recordCount();
        EXPECT_TRUE(records == 0 || records == quint32(count)) << records << " after " << delay;
        EXPECT_EQ(articles.indexes().size(), 8) << "every tag still there after " << delay;
        if (records == 0)
            continue;
        EXPECT_TRUE(finished || records == quint32(count));
        break; // the import went through before the kill: nothing further to see
    }
}
