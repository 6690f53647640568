#include "CheckFixture.h"

#include "data/Field.h"
#include "data/MemTable.h"

#include <QCoreApplication>

TEST_F(CheckTest, ARunIsListedSecondFirstThenTheRest) {
    makeTables({{"eins", "X-1"},
                {"zwei", "X-1"},
                {"einzeln", "A-0"},
                {"drei", "X-1"},
                {"vier", "X-1"},
                {"paar a", "B-7"},
                {"paar b", "B-7"}});
    start();
    check();
    // In the order of "BSTN": B-7 (6, 7), then X-1 (1, 2, 4, 5).
    EXPECT_EQ(rowIds(), (QList<int>{7, 6, 2, 1, 4, 5}));
    EXPECT_EQ(status(),
              QStringLiteral("<B>Es existieren mindestens 6<BR>doppelte Bestellnummern."));
    EXPECT_EQ(form->KM->Tag(), 0) << "the busy flag is cleared";
}

TEST_F(CheckTest, NumbersThatDifferOnlyInCaseAreNoDuplicates) {
    makeTables({{"a", "ab-1"}, {"b", "AB-1"}, {"c", "Ab-1"}, {"d", "ab-1 "}});
    start();
    check();
    // Trailing blanks are not significant: "ab-1 " equals "ab-1"; letter case is.
    EXPECT_EQ(rowIds(), (QList<int>{4, 1}));
}

TEST_F(CheckTest, AnEmptyTableHasOnlyUniqueNumbers) {
    makeTables({});
    start();
    check();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(status(), QStringLiteral("<B>Alle Bestellnummern sind eindeutig."));
}

TEST_F(CheckTest, ASingleArticleWithoutNumberIsNoDuplicate) {
    makeTables({{"ohne", ""}, {"x", "X"}, {"y", "Y"}});
    start();
    check();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(status(), QStringLiteral("<B>Alle Bestellnummern sind eindeutig."));
}

TEST_F(CheckTest, SeveralArticlesWithoutNumberAreARun) {
    makeTables({{"ohne 1", ""}, {"x", "X"}, {"ohne 2", "   "}, {"ohne 3", ""}});
    start();
    check();
    EXPECT_EQ(rows(), (QStringList{"3::Nein", "1::Nein", "4::Nein"}));
}

TEST_F(CheckTest, BookingsMarkEachListedArticleOnce) {
    makeTables({{"a", "N"}, {"b", "N", 3}, {"c", "N", 1}, {"d", "M", 2}});
    start();
    check();
    EXPECT_EQ(rows(), (QStringList{"2:N:Ja", "1:N:Nein", "3:N:Ja"}));
    EXPECT_EQ(form->KM->RecNo(), 1) << "the bookings pass ends on the first row";
}

TEST_F(CheckTest, TheGridShowsJaAndNeinForEachDrawnRow) {
    makeTables({{"a", "N"}, {"b", "N", 1}, {"c", "O"}, {"d", "O"}});
    start();
    QStringList drawn;
    const auto hook = form->Grid->OnDrawTextFormat;
    form->Grid->OnDrawTextFormat = [&](TField *field, QString &text) {
        hook(field, text);
        if (field == form->KMHASBOOKS)
            drawn << text;
    };
    // Before the bookings pass every row reads "Nein".
    form->CheckDuplicates();
    QCoreApplication::processEvents();
    drawn.clear();
    form->Grid->grab();
    EXPECT_EQ(drawn, (QStringList{"Nein", "Nein", "Nein", "Nein"}));
    form->MarkBookings();
    QCoreApplication::processEvents();
    drawn.clear();
    form->Grid->grab();
    EXPECT_EQ(drawn, (QStringList{"Ja", "Nein", "Nein", "Nein"}));
    QString other = QStringLiteral("unverändert");
    form->GridDrawTextFormat(form->KMBSTN, other);
    EXPECT_EQ(other, QStringLiteral("unverändert"));
}

TEST_F(CheckTest, ASecondCheckListsTheSameRowsAgain) {
    makeTables({{"a", "N"}, {"b", "N", 1}, {"c", "O"}, {"d", "O"}});
    start();
    check();
    const QStringList first = rows();
    check();
    EXPECT_EQ(rows(), first);
    EXPECT_EQ(first.size(), 4);
}

struct LimitCase {
    int pairs;
    int triples;
    int rows;
    bool message;
};

class LimitTest : public CheckTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(LimitTest, StopsPast5000Duplicates) {
    makeTables({});
    appendRuns(GetParam().pairs, GetParam().triples);
    start();
    check();
    EXPECT_EQ(form->KM->RecordCount(), GetParam().rows);
    const bool shown =
        !boxes.empty() &&
        boxes.front().text ==
            QStringLiteral("<B>Abgebrochen.</B><BR>Es existieren mehr als 5000 doppelte Nummern.");
    EXPECT_EQ(shown, GetParam().message);
    EXPECT_EQ(status(), QStringLiteral("<B>Es existieren mindestens %1<BR>doppelte "
                                       "Bestellnummern.")
                            .arg(GetParam().rows));
}

// Triples come first in index order. 1666 triples and a pair reach 5000 and the next pair
// stops; 1665 triples and two pairs leave 4999, so the next pair lists two more: 5001.
INSTANTIATE_TEST_SUITE_P(Limit, LimitTest,
                         ::testing::Values(LimitCase{2, 1666, 5000, true},
                                           LimitCase{4, 1665, 5001, true},
                                           LimitCase{1, 1666, 5000, false}));

TEST_F(CheckTest, AFailureInsideTheScanIsReportedInTheStatusLine) {
    // Without the tag "BSTN" the scan cannot select its order.
    makeTables({{"a", "N"}, {"b", "N"}}, {.bstn = false});
    start();
    check();
    EXPECT_TRUE(status().startsWith(QStringLiteral("<B>Fehler:</B><BR>Table_ARTMAIN: ")))
        << status().toStdString();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(form->KM->Tag(), 0);
    EXPECT_FALSE(form->KM->ControlsDisabled());
    EXPECT_TRUE(errors.isEmpty()) << "the scan reports nothing else";
}
