// Every window of the module takes the colour scheme copy beside the program: the main window,
// the message and question box, the input dialog and the login dialog, each prepared as the
// program prepares them (the real TColorWrapper, found by name).
#include "check/TFMain.h"
#include "data/ui/LoginDialog.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TMarkupLabel.h"
#include "feedback/WindowPreparation.h"
#include "grid/TI_DBGrid.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"
#include "platform/ui/InputQuery.h"
#include "widgets/TFlatButton.h"
#include "widgets/TPanel.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SchemeOnEveryWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Paths::overrideProgramPath(dir.filePath(QStringLiteral("dupcheck")));
        QFile scheme(dir.filePath(QStringLiteral("dupcheck.SKM")));
        ASSERT_TRUE(scheme.open(QIODevice::WriteOnly));
        scheme.write("Form_Color=clYellow\r\n"
                     "TPanel_Color=clAqua\r\n"
                     "TFlatButton_Color=clRed\r\n"
                     "FMain.FlatButton1|Color=clNavy\r\n"
                     "TI_DBGrid_Color=clLime\r\n"
                     "TI_DBGrid_FixedColor=clGray\r\n"
                     "TMarkupLabel_Color=clFuchsia\r\n"
                     "FSB_BOX.Panel1|Color=clBlue\r\n");
        scheme.close();
        Application::setWindowPreparation(PrepareWindow);
    }
    void TearDown() override {
        Application::setWindowPreparation({});
        Paths::overrideProgramPath(QString());
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SchemeOnEveryWindow, TheMainWindow) {
    TFMain form;
    EXPECT_EQ(form.Color(), clYellow);
    EXPECT_EQ(form.Panel3->Color(), clAqua);
    EXPECT_EQ(form.Panel1->Color(), clAqua);
    EXPECT_EQ(form.FlatButton4->Color(), clRed);
    EXPECT_EQ(form.FlatButton1->Color(), clNavy);
    EXPECT_EQ(form.Grid->Color(), clLime);
    EXPECT_EQ(form.Grid->FixedColor(), clGray);
    EXPECT_EQ(form.rlb->Color(), clFuchsia);
}

TEST_F(SchemeOnEveryWindow, TheMessageAndQuestionBox) {
    TFSB_BOX box;
    EXPECT_EQ(box.FB_OK->Color(), clRed);
    EXPECT_EQ(box.FB_BREAK2->Color(), clRed);
    EXPECT_EQ(box.Panel1->Color(), clBlue);
    // The box gives its button panels the button face and itself white after the scheme.
    EXPECT_EQ(box.Pquestion->Color(), clBtnFace);
}

TEST_F(SchemeOnEveryWindow, TheInputDialog) {
    TInputQueryForm form(QStringLiteral("Eingabedialog"), QStringLiteral("Eingabeaufforderung"),
                         QStringLiteral("A-1"), 255);
    EXPECT_EQ(form.Color(), clYellow);
}

TEST_F(SchemeOnEveryWindow, TheLoginDialog) {
    TLoginDialog dialog;
    EXPECT_EQ(dialog.Color(), clYellow);
}
