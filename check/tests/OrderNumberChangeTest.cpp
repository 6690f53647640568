#include "CheckFixture.h"

#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "platform/Cp1252.h"

TEST_F(CheckTest, ARenamedArticleKeepsItsRowUntilTheNextCheck) {
    makeTables({{"a", "N"}, {"b", "N", 1}, {"c", "O"}});
    start();
    check();
    ASSERT_EQ(rows(), (QStringList{"2:N:Ja", "1:N:Nein"}));
    form->KM->SetRecNo(2);
    answerInput(QStringLiteral("N-neu"));
    form->GridDblClick(form->Grid);
    EXPECT_EQ(inputShown, QStringLiteral("N"));
    EXPECT_EQ(storedNumber(1), QStringLiteral("N-neu"));
    EXPECT_EQ(storedNumber(2), QStringLiteral("N"));
    EXPECT_EQ(rows(), (QStringList{"2:N:Ja", "1:N-neu:Nein"})) << "same place, same marks";
    EXPECT_TRUE(boxes.empty());
    check();
    EXPECT_TRUE(rows().isEmpty());
}

struct NoChangeCase {
    const char *entered;
    bool cancel;
};

class NoChangeTest : public CheckTest, public ::testing::WithParamInterface<NoChangeCase> {};

TEST_P(NoChangeTest, ChangesNothingAndShowsNothing) {
    makeTables({{"a", "Nr-1"}, {"b", "Nr-1"}});
    start();
    check();
    answerInput(QString::fromUtf8(GetParam().entered), GetParam().cancel);
    form->FlatButton2->Click();
    EXPECT_EQ(storedNumber(1), QStringLiteral("Nr-1"));
    EXPECT_EQ(storedNumber(2), QStringLiteral("Nr-1"));
    EXPECT_EQ(rows(), (QStringList{"2:Nr-1:Nein", "1:Nr-1:Nein"}));
    EXPECT_TRUE(boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, NoChangeTest,
                         ::testing::Values(NoChangeCase{"Nr-1", false}, NoChangeCase{"", false},
                                           NoChangeCase{"anders", true}));

TEST_F(CheckTest, AChangeOfLetterCaseAloneIsAChange) {
    makeTables({{"a", "nr-1"}, {"b", "nr-1"}});
    start();
    check();
    answerInput(QStringLiteral("NR-1"));
    form->FlatButton2->Click();
    EXPECT_EQ(storedNumber(2), QStringLiteral("NR-1")) << "the first row is the run's second";
}

TEST_F(CheckTest, TheDialogTakesNoMoreThanTheFieldHolds) {
    makeTables({{"a", "N"}, {"b", "N"}});
    start();
    check();
    answerInput(QString(), true);
    form->FlatButton2->Click();
    EXPECT_EQ(inputMaxLength, 50);
}

// A character the table cannot hold is refused and named; stored as "?" it would make the
// number equal to another one.
TEST_F(CheckTest, ANumberWithACharacterTheTableCannotHoldIsRefusedNamingIt) {
    makeTables({{"a", "N"}, {"b", "N"}, {"c", "N-?"}});
    start();
    check();
    struct Case {
        QString entered, named;
    };
    for (const Case &c : {Case{QStringLiteral("N-Ł"), QStringLiteral("„Ł“ (U+0141)")},
                          Case{QStringLiteral("N-😀"), QStringLiteral("„😀“ (U+1F600)")},
                          Case{QStringLiteral("N-\uFEFF1"), QStringLiteral("(U+FEFF)")}}) {
        boxes.clear();
        answerInput(c.entered);
        form->FlatButton2->Click();
        ASSERT_EQ(boxes.size(), 1u) << c.entered.toStdString();
        EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("<B>Fehler:</B><BR>")) &&
                    boxes[0].text.contains(QStringLiteral("'BSTN'")) &&
                    boxes[0].text.contains(c.named))
            << boxes[0].text.toStdString();
        EXPECT_EQ(storedNumber(2), QStringLiteral("N"));
        EXPECT_EQ(rows(), (QStringList{"2:N:Nein", "1:N:Nein"}));
        EXPECT_EQ(form->Table_ARTMAIN->State(), dsBrowse);
    }
}

TEST_F(CheckTest, AFailedWriteIsDroppedAtOnceAndItsTextShownLiterally) {
    makeTables({{"a", "N"}, {"b", "N"}});
    start();
    check();
    // Another user holds the article's lock.
    DBHANDLE other = 0, connection = 0;
    ASSERT_EQ(DbConnect(Cp1252::fromQString(dataPath()).constData(), DB_SERVER_LOCAL, "", "", 0,
                        &connection),
              0u);
    const QByteArray path = Cp1252::fromQString(dataPath() + QStringLiteral("/ArtikelMain.TBL"));
    ASSERT_EQ(DbOpenTable(connection, path.constData(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                          DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &other),
              0u);
    ASSERT_EQ(DbLockRecord(other, 2), 0u);
    answerInput(QStringLiteral("neu <b>fett</b> & mehr"));
    form->FlatButton2->Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("<B>Fehler:</B><BR>Table_ARTMAIN: ")))
        << boxes[0].text.toStdString();
    EXPECT_FALSE(boxes[0].text.contains(QStringLiteral("<b>fett"))) << "no markup from outside";
    EXPECT_EQ(form->Table_ARTMAIN->State(), dsBrowse) << "the edit is cancelled at once";
    EXPECT_EQ(rows(), (QStringList{"2:N:Nein", "1:N:Nein"}));
    // Once the other user lets go, nothing of the failed change is written later.
    ASSERT_EQ(DbUnlockRecord(other, 2), 0u);
    form->Table_ARTMAIN->First();
    form->Table_ARTMAIN->Locate(QStringLiteral("ID"), 1, {});
    EXPECT_EQ(storedNumber(2), QStringLiteral("N"));
    DbCloseTable(other);
    DbDisconnect(connection);
}

TEST_F(CheckTest, WithTheListEmptyRenamingDoesNothing) {
    makeTables({{"a", "N"}, {"b", "O"}});
    data.appendArticle(0, QStringLiteral("Artikel null"), QStringLiteral("Z-0"));
    ASSERT_EQ(storedNumber(0), QStringLiteral("Z-0"));
    start();
    // Before any check, and after a check that listed nothing.
    for (const char *when : {"before the check", "after a check without rows"}) {
        SCOPED_TRACE(when);
        answerInput(QStringLiteral("neu"));
        form->FlatButton2->Click();
        form->GridDblClick(form->Grid);
        EXPECT_EQ(inputMaxLength, -1) << "no dialog";
        EXPECT_EQ(storedNumber(0), QStringLiteral("Z-0"));
        EXPECT_EQ(form->KM->RecordCount(), 0) << "no row appears";
        EXPECT_TRUE(boxes.empty());
        check();
        ASSERT_EQ(status(), QStringLiteral("<B>Alle Bestellnummern sind eindeutig."));
    }
}
