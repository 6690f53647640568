// The four long operations of the check begin and end through LongOperation: busy flag,
// progress, wait cursor, the result table's display and the message loop, seen through the
// feedback the check is given; and after a failure the window is given back all the same.
#include "CheckData.h"

#include "check/core/CheckFeedback.h"
#include "check/core/DuplicateCheck.h"
#include "check/core/ResultTable.h"
#include "check/core/TDeleteList.h"
#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/MemTable.h"
#include "platform/Cp1252.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Writes down what the check asked of it, with the busy flag where the order matters. Runs of
// steps are written once with their count; each step notes whether the flag was set and the
// result table's display suspended meanwhile.
class RecordingFeedback : public CheckFeedback {
public:
    explicit RecordingFeedback(const TMemTable &result) : m_result(result) {}

    QStringList events;
    int stepsBusy = 0;
    int stepsSuspended = 0;
    bool answer = true;

    void progressStart(int steps) override { add(QStringLiteral("start %1").arg(steps)); }
    void progressStep(int steps) override {
        stepsBusy += m_result.Tag() == 1 ? steps : 0;
        stepsSuspended += m_result.ControlsDisabled() ? steps : 0;
        if (!events.isEmpty() && events.last().startsWith(QLatin1String("step*"))) {
            events.last() = QStringLiteral("step*%1").arg(events.last().mid(5).toInt() + steps);
            return;
        }
        add(QStringLiteral("step*%1").arg(steps));
    }
    void progressEnd() override { add(QStringLiteral("end")); }
    void setWaiting(bool waiting) override {
        add(QStringLiteral("waiting %1 busy %2").arg(int(waiting)).arg(m_result.Tag()));
    }
    void processMessages() override { add(QStringLiteral("messages")); }
    void setStatusText(const QString &markup) override { add(QStringLiteral("status ") + markup); }
    void showMessage(const QString &markup) override { add(QStringLiteral("message ") + markup); }
    bool askYesNo(const QString &markup) override {
        add(QStringLiteral("question ") + markup);
        return answer;
    }

private:
    void add(const QString &event) { events << event; }
    const TMemTable &m_result;
};

class LongOperationTest : public ::testing::Test {
public:
    // Opens the tables of data as the main window does and makes the check.
    void open() {
        connection = new TDbConnection(&owner);
        connection->SetConnectPath(data.path());
        articles = table(QStringLiteral("Table_ARTMAIN"), QStringLiteral("ArtikelMain.TBL"));
        bookings = table(QStringLiteral("Subtable"), QStringLiteral("Artikelsub.TBL"));
        result = new TMemTable(&owner);
        result->setObjectName(QStringLiteral("KM"));
        ResultTable::createFields(*result, &owner);
        result->Open();
        feedback = std::make_unique<RecordingFeedback>(*result);
        check = std::make_unique<DuplicateCheck>(*articles, *bookings, *result, *feedback);
    }

    TDbTable *table(const QString &name, const QString &file) {
        auto *t = new TDbTable(&owner);
        t->setObjectName(name);
        t->SetDbConnection(connection);
        t->SetTableName(file);
        t->Open();
        return t;
    }

    // Given back: flag 0, display updates resumed.
    void expectIdle() {
        EXPECT_EQ(result->Tag(), 0);
        EXPECT_FALSE(result->ControlsDisabled());
    }

    CheckData data;
    QObject owner;
    TDbConnection *connection = nullptr;
    TDbTable *articles = nullptr;
    TDbTable *bookings = nullptr;
    TMemTable *result = nullptr;
    std::unique_ptr<RecordingFeedback> feedback;
    std::unique_ptr<DuplicateCheck> check;
    TDeleteList candidates;
};

} // namespace

TEST_F(LongOperationTest, EveryOperationBeginsAndEndsTheSameWay) {
    // Run N: 1, 2 (2 booked), 3. Unique: 4.
    data.makeTables({{"a", "N"}, {"b", "N", 1}, {"c", "N"}, {"d", "U"}});
    open();
    check->scan();
    EXPECT_EQ(
        feedback->events,
        QStringList({"start 4", "waiting 1 busy 1", "messages", "step*4", "end", "waiting 0 busy 0",
                     "status <B>Es existieren mindestens 3<BR>doppelte Bestellnummern."}));
    expectIdle();

    feedback->events.clear();
    check->markBookings();
    EXPECT_EQ(feedback->events, QStringList({"start 3", "waiting 1 busy 1", "messages", "step*3",
                                             "end", "waiting 0 busy 0"}));
    expectIdle();
    EXPECT_EQ(result->RecNo(), 1) << "the bookings pass ends on the first row";

    feedback->events.clear();
    result->Last();
    check->collectCandidates(candidates);
    EXPECT_EQ(feedback->events, QStringList({"start 3", "waiting 1 busy 1", "messages", "step*3",
                                             "end", "waiting 0 busy 0"}));
    expectIdle();
    EXPECT_EQ(result->RecNo(), 1) << "the collection ends on the first row";
    EXPECT_EQ(candidates.Count(), 2);
    EXPECT_EQ(feedback->stepsBusy, 10);
    EXPECT_EQ(feedback->stepsSuspended, 10);

    // The pass over the bookings (one) is a long operation like the others. The deletion loop:
    // no suspended display, no run of the message loop before its steps, and the cursor back
    // before the busy flag.
    feedback->events.clear();
    EXPECT_TRUE(check->deleteSurplus(candidates));
    EXPECT_EQ(feedback->events,
              QStringList({"question Doppelte Artikel <b>jetzt löschen</b>?", "start 1",
                           "waiting 1 busy 1", "messages", "step*1", "end", "waiting 0 busy 0",
                           "start 2", "waiting 1 busy 1", "status N <b>löschen..", "step*1",
                           "status N <b>überspringen..", "step*1", "end", "waiting 0 busy 1"}));
    expectIdle();
    EXPECT_EQ(feedback->stepsBusy, 13);
    EXPECT_EQ(feedback->stepsSuspended, 11);
    // Run N is listed 2, 1, 3 and 2 has bookings: 1 was collected first and stays.
    EXPECT_EQ(data.storedIds(), (QList<int>{1, 2, 4}));
}

TEST_F(LongOperationTest, NoCandidatesOrNoMeansNoDeletionLoop) {
    data.makeTables({{"a", "N"}, {"b", "N"}});
    open();
    EXPECT_FALSE(check->deleteSurplus(candidates)) << "an empty list asks nothing";
    EXPECT_TRUE(feedback->events.isEmpty());
    check->check();
    check->collectCandidates(candidates);
    feedback->events.clear();
    feedback->answer = false;
    EXPECT_FALSE(check->deleteSurplus(candidates));
    EXPECT_EQ(feedback->events, QStringList({"question Doppelte Artikel <b>jetzt löschen</b>?"}));
    EXPECT_EQ(data.storedIds(), (QList<int>{1, 2}));
}

TEST_F(LongOperationTest, AnArticleAnotherUserHoldsIsPassedOverAndKeepsNoOtherAlive) {
    data.makeTables({{"a", "N"}, {"b", "N"}, {"c", "N"}});
    open();
    check->check();
    check->collectCandidates(candidates);
    DBHANDLE connection = 0, table = 0;
    ASSERT_EQ(DbConnect(Cp1252::fromQString(data.path()).constData(), DB_SERVER_LOCAL, "", "", 0,
                        &connection),
              0u);
    struct Release {
        DBHANDLE connection;
        ~Release() { DbDisconnect(connection); }
    } release{connection};
    ASSERT_EQ(DbOpenTable(connection, "ArtikelMain.TBL", nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                          DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &table),
              0u);
    // The list holds 3, 1, 2: article 3 would go first, but another user holds it.
    ASSERT_EQ(DbLockRecord(table, 3), 0u);
    feedback->events.clear();
    EXPECT_TRUE(check->deleteSurplus(candidates));
    EXPECT_TRUE(feedback->events.contains(QStringLiteral("status N <b>überspringen..")))
        << feedback->events.join(u'|').toStdString();
    // 1 goes, as 2 stays; 2 stays although 3 is still stored: the holder of 3 may renumber or
    // delete it, and the number would be left without an article.
    EXPECT_EQ(data.storedIds(), (QList<int>{2, 3}));
    expectIdle();
}

class FailureTest;

struct FailureCase {
    const char *name;
    TableTags tags;
    // Runs the operation that fails; answers whether the failure came out as its result.
    std::function<bool(FailureTest &)> run;
};

class FailureTest : public LongOperationTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, GivesTheWindowBack) {
    data.makeTables({{"a", "N"}, {"b", "N"}, {"c", "N"}}, GetParam().tags);
    open();
    bool failed = false;
    try {
        failed = GetParam().run(*this);
    } catch (const Exception &e) {
        failed = true;
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_TRUE(failed);
    expectIdle();
    const qsizetype end = feedback->events.lastIndexOf(QStringLiteral("end"));
    ASSERT_GE(end, 0) << feedback->events.join(u'|').toStdString();
    EXPECT_EQ(feedback->events.value(end + 1), QStringLiteral("waiting 0 busy 0"));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FailureTest,
    ::testing::Values(
        // The scan reports its failure in the status line and in its result.
        FailureCase{"scan_without_tag_BSTN",
                    {.bstn = false},
                    [](FailureTest &t) {
                        const DuplicateCheck::ScanResult r = t.check->scan();
                        EXPECT_TRUE(t.feedback->events.last().startsWith(
                            QStringLiteral("status <B>Fehler:</B><BR>Table_ARTMAIN: ")));
                        return r.failure.has_value();
                    }},
        FailureCase{"bookings_pass_without_tag_ID_ART",
                    {.idArt = false},
                    [](FailureTest &t) {
                        t.check->scan();
                        t.check->markBookings();
                        return false;
                    }},
        // The article table went away under the deletion.
        FailureCase{"deletion_without_the_article_table",
                    {},
                    [](FailureTest &t) {
                        t.check->check();
                        t.check->collectCandidates(t.candidates);
                        t.articles->Close();
                        t.check->deleteSurplus(t.candidates);
                        return false;
                    }}),
    [](const ::testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });
