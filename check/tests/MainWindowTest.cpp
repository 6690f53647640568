#include "CheckFixture.h"

#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/MemTable.h"
#include "module/ExitStatus.h"
#include "platform/ui/Keys.h"
#include "settings/TSettings.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

TEST_F(CheckTest, AfterTheStartTheCaptionIsTheDataPathAndTheTablesAreOpen) {
    makeTables({{"a", "N"}});
    start();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Caption(), dataPath());
    EXPECT_TRUE(form->Table_ARTMAIN->Active());
    EXPECT_TRUE(form->Subtable->Active());
    EXPECT_EQ(Settings()->Ident1Text(), QStringLiteral("Testmandant"));
    EXPECT_EQ(Settings()->ConnectPath(), dataPath());
    EXPECT_EQ(form->ModuleName(), QStringLiteral("Doppelte Bestellnummern ermitteln"));
    EXPECT_TRUE(boxes.empty());
}

// What the user sees when the start ends: nothing (the window runs), the build message, or the
// failure's own text under a headline.
enum class StartMessage { None, Build, Reason };

struct StartCase {
    const char *name;
    QStringList arguments; // "$DIR" stands for the data folder
    StartMessage message;
    bool running;
    TExitStatus exitStatus;
};

void PrintTo(const StartCase &c, std::ostream *os) {
    *os << c.name;
}

class StartTest : public CheckTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartTest, FollowsTheFailureTable) {
    makeTables({{"a", "N"}});
    QStringList args = GetParam().arguments;
    for (QString &a : args)
        a.replace(QStringLiteral("$DIR"), dataPath());
    // An empty list would mean "the usual arguments" to the fixture.
    start(args.isEmpty() ? QStringList{QString()} : args);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->isVisible(), GetParam().running);
    EXPECT_EQ(form->DbConnection->IsConnected(), GetParam().running);
    EXPECT_EQ(form->ExitStatus(), GetParam().exitStatus);
    switch (GetParam().message) {
    case StartMessage::None:
        EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
        break;
    case StartMessage::Build:
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text,
                  QStringLiteral("Es wird <b>mindestens die Version 5</b> benötigt."));
        break;
    case StartMessage::Reason:
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(
            boxes[0].text.startsWith(QStringLiteral("<B>Das Modul kann nicht starten:</B><BR>")))
            << boxes[0].text.toStdString();
        EXPECT_GT(boxes[0].text.size(), 45) << "the reason follows the headline";
        break;
    }
    EXPECT_TRUE(errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartTest,
    ::testing::Values(
        StartCase{"no_arguments", {}, StartMessage::Build, false, esHostTooOld},
        StartCase{"build_12412", {"$DIR", "1", "12412"}, StartMessage::Build, false, esHostTooOld},
        StartCase{"build_12413", {"$DIR", "1", "12413"}, StartMessage::None, true, esOk},
        StartCase{
            "build_with_letter", {"$DIR", "1", "12413a"}, StartMessage::Build, false, esHostTooOld},
        StartCase{"build_missing", {"$DIR", "1"}, StartMessage::Build, false, esHostTooOld},
        StartCase{"install_lower_case_is_a_path",
                  {"install", "1", "12413"},
                  StartMessage::Reason,
                  false,
                  esStartFailed},
        StartCase{"install_lower_case_without_build",
                  {"install"},
                  StartMessage::Build,
                  false,
                  esHostTooOld},
        StartCase{"missing_folder",
                  {"$DIR/fehlt", "1", "12413"},
                  StartMessage::Reason,
                  false,
                  esStartFailed},
        StartCase{"server_kind_blank_1_is_remote",
                  {"$DIR", " 1", "12413"},
                  StartMessage::Reason,
                  false,
                  esStartFailed},
        StartCase{"server_kind_01_is_remote",
                  {"$DIR", "01", "12413"},
                  StartMessage::Reason,
                  false,
                  esStartFailed},
        StartCase{"server_kind_empty_is_remote",
                  {"$DIR", "", "12413"},
                  StartMessage::Reason,
                  false,
                  esStartFailed},
        StartCase{
            "install_with_more_arguments", {"INSTALL", "x", "1"}, StartMessage::None, false, esOk}),
    [](const ::testing::TestParamInfo<StartCase> &info) { return std::string(info.param.name); });

TEST_F(CheckTest, AFailedStartShowsTheEngineTextEscaped) {
    // A folder name with markup characters must reach the user as it is written.
    const QString folder = dataPath() + QStringLiteral("/<B>fehlt & weg</B>");
    start({folder, QStringLiteral("1"), QStringLiteral("12413")});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("&lt;B&gt;fehlt &&<X> weg&lt;/B&gt;")))
        << boxes[0].text.toStdString();
    EXPECT_EQ(form->ExitStatus(), esStartFailed);
}

TEST_F(CheckTest, ACancelledLoginEndsTheStartWithAGermanReason) {
    // A dictionary path asks for the login before it connects; the user cancels.
    makeTables({{"a", "N"}});
    int asked = 0;
    TDbConnection::SetLoginPromptFunction([&](const QString &, QString &, QString &) {
        ++asked;
        return false;
    });
    const QString path = dataPath() + QStringLiteral("/FIRMA.DIC");
    start({path, QStringLiteral("1"), QStringLiteral("12413")});
    TDbConnection::SetLoginPromptFunction(nullptr);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("<B>Das Modul kann nicht starten:</B><BR>Die Anmeldung an der "
                             "Datenbank wurde abgebrochen (Datenpfad \"") +
                  path + QStringLiteral("\")."))
        << boxes[0].text.toStdString();
    EXPECT_FALSE(form->DbConnection->IsConnected());
    EXPECT_EQ(form->ExitStatus(), esStartFailed);
}

TEST_F(CheckTest, InstallingWritesTheMenuLineBesideTheProgram) {
    start({QStringLiteral("INSTALL"), QStringLiteral("x"), QStringLiteral("1")});
    QFile menu(programDir() + QStringLiteral("/ZS.MNU"));
    ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
    EXPECT_EQ(menu.readAll(),
              (programDir() + QStringLiteral("/dupcheck;Doppelte Bestellnummern ermitteln\r\n"))
                  .toLatin1());
    EXPECT_FALSE(form->DbConnection->IsConnected());
}

TEST_F(CheckTest, EscapeClosesOnlyWhenIdle) {
    makeTables({{"a", "N"}, {"b", "N"}});
    start();
    QApplication::setActiveWindow(form.get());
    form->Grid->setFocus();
    form->KM->SetTag(1);
    QTest::keyClick(form->Grid, Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    form->KM->SetTag(0);
    QTest::keyClick(form->Grid, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(CheckTest, WhileACheckRunsEveryActionIsRefused) {
    makeTables({{"a", "N"}, {"b", "N"}, {"c", "O"}, {"d", "O"}});
    start();
    bool busySeen = false;
    // Runs inside the scan's message loop.
    QTimer::singleShot(0, form.get(), [&] {
        busySeen = form->KM->Tag() == 1;
        form->FlatButton3->Click();
        form->FlatButton2->Click();
        form->FlatButton4->Click();
        form->GridDblClick(form->Grid);
        QApplication::setActiveWindow(form.get());
        form->Grid->setFocus();
        QTest::keyClick(form->Grid, Qt::Key_Escape);
    });
    check();
    EXPECT_TRUE(busySeen);
    EXPECT_TRUE(boxes.empty()) << "no question, no dialog";
    EXPECT_TRUE(inputShown.isEmpty());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(storedIds(), (QList<int>{1, 2, 3, 4}));
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(CheckTest, CloseDuringACheckLetsItRunToItsEnd) {
    makeTables({{"a", "N"}, {"b", "N"}, {"c", "O"}, {"d", "O"}});
    start();
    QTimer::singleShot(0, form.get(), [&] { form->FlatButton1->Click(); });
    check();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(rows().size(), 4) << "the check ran to its end";
    EXPECT_EQ(status(),
              QStringLiteral("<B>Es existieren mindestens 4<BR>doppelte Bestellnummern."));
}

TEST_F(CheckTest, ADoubleClickWhenIdleOpensTheDialogForTheCurrentRow) {
    makeTables({{"a", "N-1"}, {"b", "N-1"}});
    start();
    check();
    answerInput(QString(), true);
    form->GridDblClick(form->Grid);
    EXPECT_EQ(inputShown, QStringLiteral("N-1"));
}
