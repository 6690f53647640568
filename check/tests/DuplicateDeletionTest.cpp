#include "CheckFixture.h"

#include "data/Field.h"
#include "data/MemTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

TEST_F(CheckTest, DeletionKeepsOneCandidatePerNumberAndEveryArticleWithBookings) {
    makeTables({{"n1", "N"},
                {"n2", "N"},
                {"n3", "N"}, // three candidates: the run's second (2) survives
                {"m1", "M", 1},
                {"m2", "M"},
                {"m3", "M"}, // with bookings one survives beside a candidate
                {"k1", "K", 1},
                {"k2", "K"}, // only one candidate: nothing goes
                {"u", "U"}});
    start();
    check();
    answerQuestions(true);
    form->FlatButton3->Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Doppelte Artikel <b>jetzt löschen</b>?"));
    EXPECT_TRUE(boxes[0].question);
    // Run M is listed 5, 4, 6; its first candidate collected (5) survives.
    EXPECT_EQ(storedIds(), (QList<int>{2, 4, 5, 7, 8, 9}));
    // The check ran again and lists what remains.
    EXPECT_EQ(rows(), (QStringList{"8:K:Nein", "7:K:Ja", "5:M:Nein", "4:M:Ja"}));
    EXPECT_EQ(form->KM->Tag(), 0);
}

TEST_F(CheckTest, NoMeansNothingIsDeletedAndTheMarksStay) {
    makeTables({{"a", "N"}, {"b", "N"}, {"c", "N", 1}});
    start();
    check();
    answerQuestions(false);
    form->FlatButton3->Click();
    EXPECT_EQ(storedIds(), (QList<int>{1, 2, 3}));
    EXPECT_EQ(form->DeleteList()->Count(), 2);
    int marked = 0;
    for (int r = 1; r <= form->KM->RecordCount(); ++r)
        marked += form->KM->FieldValueAt(r, form->KMDEL).toBool() ? 1 : 0;
    EXPECT_EQ(marked, 2);
}

TEST_F(CheckTest, WithoutCandidatesThereIsNoQuestion) {
    makeTables({{"a", "N", 1}, {"b", "N", 2}});
    start();
    check();
    form->FlatButton3->Click();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(storedIds(), (QList<int>{1, 2}));
}

TEST_F(CheckTest, CandidatesThatDifferOnlyInCaseAreNeverDeletedForEachOther) {
    makeTables({{"a", "ab"}, {"b", "ab", 1}, {"c", "AB"}, {"d", "AB", 1}});
    start();
    check();
    form->FlatButton3->Click();
    EXPECT_EQ(storedIds(), (QList<int>{1, 2, 3, 4}));
}

TEST_F(CheckTest, CandidateListIsSortedWithoutRegardToCaseAndTheRunsSecondLast) {
    makeTables({{"a", "b"}, {"b", "b"}, {"c", "A"}, {"d", "A"}, {"e", "A"}});
    start();
    check();
    answerQuestions(false);
    form->FlatButton3->Click();
    TDeleteList *list = form->DeleteList();
    QStringList entries;
    for (int i = 0; i < list->Count(); ++i)
        entries << list->Strings(i) + u'#' + list->Objects(i)->ID;
    // Collected in row order (4, 3, 5 for "A"; 2, 1 for "b"); equal texts go before the others.
    EXPECT_EQ(entries, (QStringList{"A#5", "A#3", "A#4", "b#1", "b#2"}));
    EXPECT_EQ(form->CountEqual(QStringLiteral("A")), 3);
    EXPECT_EQ(form->CountEqual(QStringLiteral("a")), 0);
}

// Other users work on the same tables between the check and the deletion.
TEST_F(CheckTest, AnArticleBookedSinceTheCheckIsPassedOver) {
    makeTables({{"a", "N"}, {"b", "N"}, {"c", "N"}});
    start();
    check();
    addBooking(1);
    form->FlatButton3->Click();
    // The list holds 3, 1, 2 (2 collected first). 3 goes, as 2 stays; 1 has a booking now and
    // stays. 2 is the last candidate without bookings and stays too, as a check after the
    // booking would have kept it.
    EXPECT_EQ(storedIds(), (QList<int>{1, 2}));
}

TEST_F(CheckTest, TheLastArticleOfANumberIsNeverDeleted) {
    makeTables({{"a", "N"}, {"b", "N"}});
    start();
    check();
    // Another user renumbers the survivor: the other one is the last "N" now.
    data.renumber(2, QStringLiteral("Z"));
    form->FlatButton3->Click();
    EXPECT_EQ(storedIds(), (QList<int>{1, 2}));
    EXPECT_EQ(storedNumber(1), QStringLiteral("N"));
}

namespace {

// Counts the runs of the message loop: an event that posts itself again is delivered once per
// run, since a run delivers only the events posted before it began.
class LoopRuns : public QObject {
public:
    LoopRuns() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }
    int count = 0;

protected:
    bool event(QEvent *e) override {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        ++count;
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        return true;
    }
};

} // namespace

TEST_F(CheckTest, CollectingTheCandidatesRunsTheMessageLoopAtMostEvery2ms) {
    makeTables({});
    appendRuns(2500, 0);
    start();
    check();
    ASSERT_EQ(form->KM->RecordCount(), 5000);
    LoopRuns runs;
    QElapsedTimer clock;
    clock.start();
    form->CollectDeleteCandidates();
    const qint64 elapsedNs = clock.nsecsElapsed();
    EXPECT_EQ(form->DeleteList()->Count(), 5000);
    // Once before the rows, then per row only when the last run is 2 ms ago.
    EXPECT_GE(runs.count, 1);
    EXPECT_LE(runs.count, 2 + elapsedNs / 2'000'000) << "in " << elapsedNs / 1000 << " µs";
}
