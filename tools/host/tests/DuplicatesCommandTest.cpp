// dupcheck-host duplicates: the check's rows as CSV with a header or as a table with the
// status text, the limit of the check with its message, and failures as German messages.
#include "EngineSession.h"
#include "HostCommands.h"

#include "platform/Exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Output {
    QString out;
    QString err;
};

class DuplicatesCommandTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString data() const { return dir.filePath(QStringLiteral("daten")); }

    void import(const char *table, const QByteArray &csv) {
        const QString file = dir.filePath(QStringLiteral("import.csv"));
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(csv);
        f.close();
        QString said;
        QTextStream out(&said);
        HostCommands::import(data(), QString::fromLatin1(table), file, out);
    }

    void create() {
        QString said;
        QTextStream out(&said);
        HostCommands::create(data(), out);
    }

    Output duplicates(bool csv) {
        Output o;
        QTextStream out(&o.out), err(&o.err);
        EXPECT_EQ(HostCommands::duplicates(data(), csv, out, err), 0);
        out.flush();
        err.flush();
        return o;
    }
};

} // namespace

TEST_F(DuplicatesCommandTest, ListsTheCheckAsCsvWithAHeaderOrAsATable) {
    create();
    // In the order of "BSTN": "" (4), A-1 (2, 3 booked, 5), B-2 (1), b-2 (6).
    import("ArtikelMain", "ID,BZK,BSTN\n"
                          "1,Einzeln,B-2\n"
                          "2,\"Schraube, lang\",A-1\n"
                          "3,Dübel,A-1\n"
                          "4,Ohne Nummer,\n"
                          "5,Mutter,A-1\n"
                          "6,Klein,b-2\n");
    import("Artikelsub", "ID_ART,MENGE\n3,1\n3,2\n");

    const Output csv = duplicates(true);
    // The run A-1 as the window lists it: its second article, its first, its third. A single
    // article without a number is no duplicate; numbers that differ in case are none either.
    EXPECT_EQ(csv.out, QStringLiteral("ID,BZ,BSTN,HASBOOKS\n"
                                      "3,Dübel,A-1,Ja\n"
                                      "2,\"Schraube, lang\",A-1,Nein\n"
                                      "5,Mutter,A-1,Nein\n"));
    EXPECT_EQ(csv.err, QStringLiteral("Es existieren mindestens 3 doppelte Bestellnummern.\n"));

    const Output table = duplicates(false);
    EXPECT_EQ(table.out, QStringLiteral("ID  Bezeichnung 1   Bestellnummer  Buchungen vorhanden?\n"
                                        " 3  Dübel           A-1            Ja\n"
                                        " 2  Schraube, lang  A-1            Nein\n"
                                        " 5  Mutter          A-1            Nein\n"
                                        "\n"
                                        "Es existieren mindestens 3 doppelte Bestellnummern.\n"));
    EXPECT_TRUE(table.err.isEmpty());
}

TEST_F(DuplicatesCommandTest, WithoutDuplicatesOnlyTheStatus) {
    create();
    import("ArtikelMain", "ID,BZK,BSTN\n1,a,X\n2,b,Y\n");
    EXPECT_EQ(duplicates(false).out, QStringLiteral("Alle Bestellnummern sind eindeutig.\n"));
    EXPECT_EQ(duplicates(true).out, QStringLiteral("ID,BZ,BSTN,HASBOOKS\n"));
}

struct LimitCase {
    int pairs;
    int triples;
    int rows;
    bool message;
};

class DuplicatesLimitTest : public DuplicatesCommandTest,
                            public ::testing::WithParamInterface<LimitCase> {};

TEST_P(DuplicatesLimitTest, StopsLikeTheWindow) {
    create();
    QByteArray csv = "BZK,BSTN\n";
    int run = 0;
    auto add = [&](int length) {
        ++run;
        for (int k = 0; k < length; ++k)
            csv += "Artikel,N-" + QByteArray::number(run).rightJustified(5, '0') + '\n';
    };
    for (int i = 0; i < GetParam().triples; ++i)
        add(3);
    for (int i = 0; i < GetParam().pairs; ++i)
        add(2);
    import("ArtikelMain", csv);
    const Output o = duplicates(true);
    EXPECT_EQ(o.out.count(u'\n'), GetParam().rows + 1) << "the header and the rows";
    const QString status = QStringLiteral("Es existieren mindestens %1 doppelte Bestellnummern.\n")
                               .arg(GetParam().rows);
    const QString message =
        QStringLiteral("Abgebrochen. Es existieren mehr als 5000 doppelte Nummern.\n");
    EXPECT_EQ(o.err, GetParam().message ? message + status : status);
}

// The same cases as the window's: triples come first in index order; the limit is tested only
// when a further duplicate turns up, and the first duplicate of a run lists two rows at once.
INSTANTIATE_TEST_SUITE_P(Limit, DuplicatesLimitTest,
                         ::testing::Values(LimitCase{2, 1666, 5000, true},
                                           LimitCase{4, 1665, 5001, true},
                                           LimitCase{1, 1666, 5000, false}));

TEST_F(DuplicatesCommandTest, FailuresAreGermanMessages) {
    QString text;
    QTextStream out(&text), err(&text);
    try {
        HostCommands::duplicates(data(), false, out, err);
        FAIL() << "a missing folder";
    } catch (const HostError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Den Ordner '%1' gibt es nicht.").arg(data()));
    }
    ASSERT_TRUE(QDir().mkpath(data()));
    try {
        HostCommands::duplicates(data(), false, out, err);
        FAIL() << "a folder without tables";
    } catch (const Exception &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("ArtikelMain.TBL: ")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("nicht gefunden")));
    }
    EXPECT_TRUE(text.isEmpty());
}
