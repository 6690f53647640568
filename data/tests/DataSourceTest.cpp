#include "ResultTableFixture.h"

#include "data/DataSource.h"

#include <gtest/gtest.h>

namespace {

struct RecordingLink : TDataLink {
    QStringList events;
    void DataSetChanged() override { events << QStringLiteral("data"); }
    void RecordChanged(TField *field) override {
        events << QStringLiteral("record:") + (field ? field->FieldName() : QStringLiteral("*"));
    }
    void StateChanged() override { events << QStringLiteral("state"); }
    void DataSetScrolled() override { events << QStringLiteral("scrolled"); }
};

class DataSource : public ::testing::Test, public ResultTableFixture {
protected:
    TDataSource *source = new TDataSource(owner.get());
    RecordingLink link;
    void SetUp() override {
        source->SetDataSet(KM);
        link.SetDataSource(source);
    }
};

} // namespace

TEST_F(DataSource, LinksFollowStateValuesAndMoves) {
    KM->Append();
    KMID->SetAsInteger(1);
    KM->Post();
    KM->First();
    EXPECT_EQ(link.events, (QStringList{QStringLiteral("state"), QStringLiteral("data"),
                                        QStringLiteral("record:ID"), QStringLiteral("state"),
                                        QStringLiteral("data"), QStringLiteral("scrolled")}));
}

TEST_F(DataSource, SilentWhileControlsAreDisabledAndToldOnceAfterwards) {
    KM->DisableControls();
    KM->DisableControls();
    for (int i = 1; i <= 3; ++i)
        add(i, QStringLiteral("x"), QStringLiteral("y"));
    KM->First();
    KM->EnableControls();
    EXPECT_TRUE(KM->ControlsDisabled());
    EXPECT_TRUE(link.events.isEmpty()) << link.events.join(u',').toStdString();
    KM->EnableControls();
    EXPECT_FALSE(KM->ControlsDisabled());
    EXPECT_EQ(link.events, QStringList{QStringLiteral("data")});
    KM->EnableControls(); // an unbalanced call changes nothing
    EXPECT_EQ(link.events.size(), 1);
}

TEST_F(DataSource, AStateChangeWhileDisabledIsReportedWithTheRedraw) {
    add(1, QStringLiteral("x"), QStringLiteral("y"));
    link.events.clear();
    KM->DisableControls();
    KM->Edit();
    KM->EnableControls();
    EXPECT_EQ(link.events, (QStringList{QStringLiteral("state"), QStringLiteral("data")}));
}

TEST_F(DataSource, OwnerEventsAndDetachedLinks) {
    int dataChanges = 0;
    source->OnDataChange = [&](TDataSource *, TField *) { ++dataChanges; };
    add(1, QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_GT(dataChanges, 0);
    link.SetDataSource(nullptr);
    link.events.clear();
    add(2, QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_TRUE(link.events.isEmpty());
    delete KM; // the source forgets a data set that goes away
    KM = nullptr;
    EXPECT_EQ(source->DataSet(), nullptr);
}
