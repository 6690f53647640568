// The message and question box driven as a user would: the modal loop runs inside the test,
// and the steps run on the shown box from a zero timer.
#include "feedback/TFSB_BOX.h"

#include "feedback/ScreenLayout.h"
#include "feedback/TSBHTM.h"
#include "platform/ClassRegistry.h"
#include "platform/Exception.h"
#include "platform/ui/Application.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatPanel.h"
#include "widgets/TPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

TFSB_BOX *shownBox() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<TFSB_BOX *>(w); box && box->isVisible())
            return box;
    }
    return nullptr;
}

int boxCount() {
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<TFSB_BOX *>(w) ? 1 : 0;
    return n;
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget *target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "nothing has the focus";
    QTest::keyClick(target, key, modifiers);
}

// Runs `call` (which shows a box modally) and, once the box is shown, `steps` on it. A box the
// steps leave open is closed after a while, so that a broken close cannot hang the run.
template <typename Call>
auto withBox(Call call, std::function<void(TFSB_BOX &)> steps) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        TFSB_BOX *box = shownBox();
        if (!box) {
            ADD_FAILURE() << "no box is shown";
            return;
        }
        QApplication::setActiveWindow(box);
        ran = true;
        steps(*box);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (TFSB_BOX *box = shownBox()) {
            ADD_FAILURE() << "the box was left open";
            box->close();
        }
    });
    watchdog.start(5000);
    struct Finally {
        bool &ran;
        ~Finally() { EXPECT_TRUE(ran) << "the steps never ran"; }
    } finally{ran};
    return call();
}

class MessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
        ScreenLayout::setProvider([] {
            return TScreenLayout{{QRect(0, 0, 1280, 1024)}, QRect(0, 0, 1280, 984)};
        });
    }
    void TearDown() override {
        ScreenLayout::setProvider({});
        EXPECT_EQ(boxCount(), 0) << "every box is freed after its call";
    }
};

} // namespace

TEST_F(MessageBox, EnterOnJaAnswersYes) {
    EXPECT_TRUE(
        withBox([] { return AskYesNo(QStringLiteral("Doppelte Artikel <b>jetzt löschen</b>?")); },
                [](TFSB_BOX &box) {
                    EXPECT_EQ(QApplication::focusWidget(), box.FB_OK);
                    press(Qt::Key_Return);
                }));
}

TEST_F(MessageBox, TabToNeinAndEnterAnswersNo) {
    EXPECT_FALSE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                         [](TFSB_BOX &box) {
                             press(Qt::Key_Tab);
                             EXPECT_EQ(QApplication::focusWidget(), box.FB_BREAK1);
                             press(Qt::Key_Return);
                         }));
}

TEST_F(MessageBox, EscapeAnswersNo) {
    EXPECT_FALSE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                         [](TFSB_BOX &) { press(Qt::Key_Escape); }));
}

TEST_F(MessageBox, TheTitleBarsCloseButtonAnswersNo) {
    EXPECT_FALSE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                         [](TFSB_BOX &box) { box.close(); }));
}

TEST_F(MessageBox, ClickingTheButtonsAnswers) {
    EXPECT_TRUE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                        [](TFSB_BOX &box) { QTest::mouseClick(box.FB_OK, Qt::LeftButton); }));
    EXPECT_FALSE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                         [](TFSB_BOX &box) { QTest::mouseClick(box.FB_BREAK1, Qt::LeftButton); }));
}

TEST_F(MessageBox, ArrowsMoveBetweenJaAndNein) {
    EXPECT_TRUE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                        [](TFSB_BOX &box) {
                            press(Qt::Key_Right);
                            EXPECT_EQ(QApplication::focusWidget(), box.FB_BREAK1);
                            press(Qt::Key_Left);
                            EXPECT_EQ(QApplication::focusWidget(), box.FB_OK);
                            press(Qt::Key_Left);
                            EXPECT_EQ(QApplication::focusWidget(), box.FB_BREAK1);
                            press(Qt::Key_Right);
                            press(Qt::Key_Return);
                        }));
}

TEST_F(MessageBox, AQuestionIgnoresLettersAndF1) {
    EXPECT_FALSE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                         [](TFSB_BOX &box) {
                             press(Qt::Key_A);
                             press(Qt::Key_F1);
                             EXPECT_TRUE(box.isVisible());
                             press(Qt::Key_Escape);
                         }));
}

TEST_F(MessageBox, AnyLetterClosesAMessageButShiftAloneAndF1DoNot) {
    withBox([] { ShowMessageBox(QStringLiteral("Meldung")); },
            [](TFSB_BOX &box) {
                EXPECT_EQ(QApplication::focusWidget(), box.FB_BREAK2);
                press(Qt::Key_Shift);
                EXPECT_TRUE(box.isVisible()) << "Shift alone";
                press(Qt::Key_F1);
                EXPECT_TRUE(box.isVisible()) << "F1";
                press(Qt::Key_A, Qt::ShiftModifier);
                EXPECT_TRUE(box.isVisible()) << "a letter with Shift";
                press(Qt::Key_C, Qt::ControlModifier);
                EXPECT_TRUE(box.isVisible()) << "a letter with Ctrl";
                press(Qt::Key_Control);
                EXPECT_TRUE(box.isVisible()) << "Ctrl alone";
                press(Qt::Key_X);
                EXPECT_FALSE(box.isVisible()) << "a letter";
                EXPECT_EQ(box.ModalResult(), mrCancel);
            });
}

TEST_F(MessageBox, EnterOnSchliessenClosesWithOk) {
    withBox([] { ShowMessageBox(QStringLiteral("Meldung")); },
            [](TFSB_BOX &box) {
                press(Qt::Key_Return);
                EXPECT_FALSE(box.isVisible());
                EXPECT_EQ(box.ModalResult(), mrOk);
            });
}

TEST_F(MessageBox, WithoutHelpTextThereIsNoHelpButton) {
    withBox([] { ShowMessageBox(QStringLiteral("Meldung")); },
            [](TFSB_BOX &box) {
                EXPECT_TRUE(box.FBhelpS->isHidden());
                const int height = box.ClientHeight();
                box.HelpClick(box.FBhelpS);
                EXPECT_EQ(box.ClientHeight(), height) << "an empty help text shows nothing";
                EXPECT_TRUE(box.FP_help->isHidden());
                box.close();
            });
    withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
            [](TFSB_BOX &box) {
                EXPECT_TRUE(box.FBhelpQ->isHidden());
                box.close();
            });
}

TEST_F(MessageBox, HelpGrowsTheWindowBelowTheButtonsAndDisablesItsButton) {
    withBox(
        [] {
            return AskYesNo(QStringLiteral("Frage?"),
                            QStringLiteral("Erste Zeile#13#10zweite Zeile"));
        },
        [](TFSB_BOX &box) {
            ASSERT_FALSE(box.FBhelpQ->isHidden());
            EXPECT_TRUE(box.FP_help->isHidden());
            const int before = box.ClientHeight();
            QTest::mouseClick(box.FBhelpQ, Qt::LeftButton);
            EXPECT_FALSE(box.FP_help->isHidden());
            EXPECT_FALSE(box.FBhelpQ->isEnabled());
            EXPECT_EQ(box.FP_help->height(), box.HelpLabel->height() + 5);
            EXPECT_EQ(box.ClientHeight(), before + box.FP_help->height());
            EXPECT_EQ(box.FP_help->y(), box.Pquestion->y() + box.Pquestion->height())
                << "the help lies below the buttons";
            EXPECT_EQ(box.FP_help->y() + box.FP_help->height(), box.ClientHeight());
            EXPECT_EQ(box.Pquestion->y(), box.MessageLabel->height() + 2)
                << "the buttons still lie directly below the message";
            EXPECT_EQ(box.HelpLabel->Text(), QStringLiteral("Erste Zeile<BR>zweite Zeile"));
            // A second click on the disabled button changes nothing.
            QTest::mouseClick(box.FBhelpQ, Qt::LeftButton);
            EXPECT_EQ(box.ClientHeight(), before + box.FP_help->height());
            press(Qt::Key_Escape);
        });
}

namespace {
struct Measured {
    int label;
    int client;
    int panelTop;
    int panelBottom;
};
Measured measure(const QString &text) {
    Measured m{};
    withBox([&] { ShowMessageBox(text); },
            [&](TFSB_BOX &box) {
                m = {box.MessageLabel->height(), box.ClientHeight(), box.Pmsg->y(),
                     box.Pmsg->y() + box.Pmsg->height()};
                box.close();
            });
    return m;
}
} // namespace

TEST_F(MessageBox, OneLineGivesOneTextLinePlusSixPlus37) {
    const Measured one = measure(QStringLiteral("Eine Zeile"));
    const Measured two = measure(QStringLiteral("Eine Zeile#13#10und noch eine"));
    const int line = two.label - one.label;
    EXPECT_GT(line, 5) << "#13#10 breaks the line";
    EXPECT_EQ(one.label, line + 6);
    EXPECT_EQ(one.client, line + 6 + 37);
    EXPECT_EQ(two.client, 2 * line + 6 + 37);
    EXPECT_EQ(one.panelTop, one.label + 2) << "the buttons lie directly below the message";
    EXPECT_EQ(one.panelBottom, one.client);
    const Measured realLineEnd = measure(QStringLiteral("Eine Zeile\r\nund noch eine"));
    EXPECT_EQ(realLineEnd.label, one.label) << "a real line end does not break the line";
}

TEST_F(MessageBox, ATextTallerThanTheWindowIsCutAndTheButtonsStay) {
    ScreenLayout::setProvider([] {
        return TScreenLayout{{QRect(0, 0, 800, 400)}, QRect(0, 0, 800, 400)};
    });
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("Zeile %1#13#10").arg(i);
    const Measured m = measure(text);
    EXPECT_EQ(m.client, 280) << "70 % of the screen height";
    EXPECT_GT(m.label, m.client);
    EXPECT_EQ(m.panelBottom, m.client);
}

TEST(MessageBoxHeight, GreatestHeightIsSeventyPercentRoundedHalfToEven) {
    EXPECT_EQ(TFSB_BOX::MaxHeightForScreen(1080), 756);
    EXPECT_EQ(TFSB_BOX::MaxHeightForScreen(768), 538);  // 537.6
    EXPECT_EQ(TFSB_BOX::MaxHeightForScreen(1005), 704); // 703.5 -> even
    EXPECT_EQ(TFSB_BOX::MaxHeightForScreen(1015), 710); // 710.5 -> even
    EXPECT_EQ(TFSB_BOX::MaxHeightForScreen(1001), 701); // 700.7
}

TEST(MessageBoxText, LineBreakCodesBecomeBreakTags) {
    EXPECT_EQ(TFSB_BOX::ExpandLineBreaks(QStringLiteral("a#13#10b#13#10#13#10c")),
              QStringLiteral("a<BR>b<BR><BR>c"));
    EXPECT_EQ(TFSB_BOX::ExpandLineBreaks(QStringLiteral("#13 #10 #13#1")),
              QStringLiteral("#13 #10 #13#1"));
}

TEST_F(MessageBox, AnEmptyCaptionIsTheApplicationsTitle) {
    withBox([] { ShowMessageBox(QStringLiteral("Meldung")); },
            [](TFSB_BOX &box) {
                EXPECT_EQ(box.Caption(), QStringLiteral("Check auf doppelte Artikelnummern"));
                box.close();
            });
    withBox([] { ShowMessageBox(QStringLiteral("Meldung"), QString(), QStringLiteral("Eigen")); },
            [](TFSB_BOX &box) {
                EXPECT_EQ(box.Caption(), QStringLiteral("Eigen"));
                box.close();
            });
}

TEST_F(MessageBox, TheWindowIsBuiltAndPlacedAsDesigned) {
    withBox([] { ShowMessageBox(QStringLiteral("Meldung")); },
            [](TFSB_BOX &box) {
                EXPECT_EQ(box.objectName(), QStringLiteral("FSB_BOX"));
                EXPECT_EQ(box.ClientWidth(), 406);
                EXPECT_EQ(box.MessageLabel->width(), 406);
                EXPECT_EQ(box.HelpContext(), 1);
                EXPECT_EQ(box.Color(), clWhite);
                EXPECT_TRUE(box.StayOnTop());
                EXPECT_TRUE(box.KeyPreview());
                EXPECT_EQ(box.BorderStyle(), TCustomForm::bsDialog);
                EXPECT_EQ(box.maximumHeight(), 717); // 70 % of 1024
                for (TPanel *panel : {box.Pmsg, box.Pinput, box.Pquestion})
                    EXPECT_EQ(panel->Color(), clBtnFace) << panel->objectName().toStdString();
                EXPECT_TRUE(box.Pquestion->isHidden());
                EXPECT_TRUE(box.Pinput->isHidden());
                EXPECT_FALSE(box.FBhelpS->TabStop());
                EXPECT_TRUE(box.FB_BREAK2->TabStop());
                EXPECT_EQ(box.FB_BREAK2->Caption(), QStringLiteral("Schließen"));
                // Centred in the work area with its design size; the height computed when it was
                // shown kept the top edge.
                EXPECT_EQ(box.pos(),
                          QPoint((1280 - 406) / 2, (984 - TFSB_BOX::DesignClientHeight) / 2));
                box.close();
            });
}

TEST_F(MessageBox, TheBoxComesBackToTheFrontWhenDeactivated) {
    QWidget other;
    other.resize(200, 100);
    EXPECT_FALSE(withBox([] { return AskYesNo(QStringLiteral("Frage?")); },
                         [&](TFSB_BOX &box) {
                             other.show();
                             QApplication::setActiveWindow(&other);
                             QCoreApplication::processEvents();
                             EXPECT_EQ(QApplication::activeWindow(), &box);
                             press(Qt::Key_Escape);
                         }));
}

TEST_F(MessageBox, AnOpenedLinkClosesTheBoxAsNoAndLetsItStayBehind) {
    QPointer<TFSB_BOX> seen;
    EXPECT_FALSE(withBox([] { return AskYesNo(QStringLiteral("<a href=\"https://x\">Link</a>")); },
                         [&](TFSB_BOX &box) {
                             seen = &box;
                             ASSERT_TRUE(box.MessageLabel->OnLinkOpened);
                             box.MessageLabel->OnLinkOpened();
                             EXPECT_TRUE(box.LinkOpened());
                             EXPECT_FALSE(box.isVisible());
                         }));
    EXPECT_TRUE(seen.isNull()) << "the box is freed when its call returns";
}

// Stands in for the colour scheme class, here one that fails.
class FailingColorWrapper : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void SetProperties(QObject *) {
        throw Exception(QStringLiteral("Farbschema nicht lesbar"));
    }
};

TEST_F(MessageBox, AFailureWhileCreatingReachesTheCallerAndLeavesNoWindow) {
    ClassRegistry::registerClass(QStringLiteral("TColorWrapper"),
                                 [] { return new FailingColorWrapper; });
    EXPECT_THROW(ShowMessageBox(QStringLiteral("Meldung")), Exception);
    EXPECT_THROW(AskYesNo(QStringLiteral("Frage?")), Exception);
    ClassRegistry::unregisterClass(QStringLiteral("TColorWrapper"));
    EXPECT_EQ(boxCount(), 0);
}

// The input panel is part of the window though no operation opens it: its keys.
class MessageBoxInput : public MessageBox {
protected:
    int runInput(std::function<void(TFSB_BOX &)> prepare, std::function<void(TFSB_BOX &)> steps) {
        TFSB_BOX box;
        box.Pinput->show();
        prepare(box);
        return withBox([&] { return box.ShowModal(); }, steps);
    }
};

TEST_F(MessageBoxInput, EnterInTheComboBoxTakesTheInput) {
    EXPECT_EQ(runInput([](TFSB_BOX &box) { box.FINPE->setFocus(); },
                       [](TFSB_BOX &box) {
                           EXPECT_EQ(box.ClientHeight(), box.MessageLabel->height() + 70);
                           QTest::keyClicks(box.FINPE->lineEdit(), QStringLiteral("abc"));
                           EXPECT_EQ(box.FINPE->currentText(), QStringLiteral("abc"));
                           press(Qt::Key_Return);
                       }),
              mrOk);
}

TEST_F(MessageBoxInput, EscapeCancelsUnlessAbbrechenIsHidden) {
    EXPECT_EQ(runInput([](TFSB_BOX &box) { box.FINPE->setFocus(); },
                       [](TFSB_BOX &) { press(Qt::Key_Escape); }),
              mrCancel);
    EXPECT_EQ(runInput(
                  [](TFSB_BOX &box) {
                      box.FB_ICANCEL->hide();
                      box.FINPE->setFocus();
                  },
                  [](TFSB_BOX &) { press(Qt::Key_Escape); }),
              mrOk);
}

TEST_F(MessageBoxInput, ArrowsAndEnterOnItsButtons) {
    EXPECT_EQ(runInput([](TFSB_BOX &box) { box.FB_IOK->setFocus(); },
                       [](TFSB_BOX &box) {
                           press(Qt::Key_Right);
                           EXPECT_EQ(QApplication::focusWidget(), box.FB_ICANCEL);
                           press(Qt::Key_Right);
                           EXPECT_EQ(QApplication::focusWidget(), box.FB_IOK);
                           press(Qt::Key_Left);
                           press(Qt::Key_Return); // on "Abbrechen"
                       }),
              mrCancel);
    EXPECT_EQ(runInput(
                  [](TFSB_BOX &box) {
                      box.FB_ICANCEL->SetEnabled(false);
                      box.FB_IOK->setFocus();
                  },
                  [](TFSB_BOX &box) {
                      press(Qt::Key_Right);
                      EXPECT_EQ(QApplication::focusWidget(), box.FB_IOK)
                          << "a disabled Abbrechen cannot take the focus";
                      press(Qt::Key_Return);
                  }),
              mrOk);
}

#include "MessageBoxTest.moc"
