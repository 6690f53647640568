// Applying the scheme copy to a window: which key wins, which values count, which classes are
// matched, how far an error reaches, and the debug list. The windows are built from the
// program's own widgets and, for the classes of the table this module does not use, from small
// stand-ins that carry only the class name and the properties the table names.
#include "skins/TColorWrapper.h"

#include "SchemeFolder.h"
#include "feedback/TMarkupLabel.h"
#include "feedback/WindowPreparation.h"
#include "platform/ClassRegistry.h"
#include "platform/ui/TCustomForm.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatPanel.h"
#include "widgets/TPanel.h"

#include <QScrollArea>

#include <stdexcept>

// Stand-ins for classes of the table that the module does not use.
class TScrollBox : public QScrollArea {
    Q_OBJECT
public:
    using QScrollArea::QScrollArea;
};

class TListBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Color MEMBER Color)
public:
    using QWidget::QWidget;
    int Color = 0;
};

class TCPrivateBrowser : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(int ReadOnlyColor_ MEMBER ReadOnlyColor)
    Q_PROPERTY(int RichEmptyEditColor_ MEMBER EmptyColor)
public:
    using QObject::QObject;
    int Color = 0, ReadOnlyColor = 0, EmptyColor = 0;
};

class TMenuBackground : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Gradient MEMBER Gradient)
public:
    using QObject::QObject;
    int Gradient = 0;
};

class ToxPopupMenu : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Color MEMBER Color)
    Q_PROPERTY(QObject *Background READ Background)
public:
    explicit ToxPopupMenu(QObject *parent) : QObject(parent), m_background(this) {}
    QObject *Background() { return &m_background; }
    int Color = 0;
    TMenuBackground m_background;
};

class TProductMenu : public ToxPopupMenu {
    Q_OBJECT
public:
    using ToxPopupMenu::ToxPopupMenu;
};

// A flat button under a name of its own: the table matches names, so it is not coloured.
class TBigFlatButton : public TFlatButton {
    Q_OBJECT
public:
    using TFlatButton::TFlatButton;
};

class TDialogWindow : public TForm {
    Q_OBJECT
public:
    using TForm::TForm;
};

// A string grid whose colour cannot be set: the error ends the walk at its level.
class TStringGrid : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
public:
    using QObject::QObject;
    int Color() const { return 0; }
    void SetColor(int) { throw std::runtime_error("kaputt"); }
};

namespace {

QColor paletteColour(const QWidget *w) {
    return w->palette().color(QPalette::Window);
}

class ColorWrapper : public SchemeFolder {
protected:
    void SetUp() override {
        SchemeFolder::SetUp();
        window.setObjectName(QStringLiteral("FMain"));
        top = new TPanel(&window);
        top->setObjectName(QStringLiteral("Panel3"));
        check = new TFlatButton(top);
        check->setObjectName(QStringLiteral("FlatButton4"));
        bottom = new TPanel(&window);
        bottom->setObjectName(QStringLiteral("Panel1"));
        label = new TMarkupLabel(&window);
        label->setObjectName(QStringLiteral("rlb"));
    }
    void scheme(const QByteArray &lines) { write(QStringLiteral("dupcheck.SKM"), lines); }
    void apply(QObject *w) { TColorWrapper().SetProperties(w); }

    TForm window;
    TPanel *top = nullptr;
    TFlatButton *check = nullptr;
    TPanel *bottom = nullptr;
    TMarkupLabel *label = nullptr;
};

} // namespace

TEST_F(ColorWrapper, TheComponentKeyWinsOverTheClassKey) {
    scheme("TPanel_Color=clRed\r\n"
           "FMain.Panel3|Color=$00FF00\r\n"
           "TFlatButton_Color=12345\r\n"
           "TMarkupLabel_Color=clAqua\r\n");
    apply(&window);
    EXPECT_EQ(top->Color(), 0x00FF00);
    EXPECT_EQ(bottom->Color(), clRed);
    EXPECT_EQ(check->Color(), 12345);
    EXPECT_EQ(label->Color(), clAqua);
}

TEST_F(ColorWrapper, AnInvalidComponentValueFallsBackToTheClassKey) {
    scheme("FMain.Panel3|Color=keine Farbe\r\n"
           "FMain.Panel1|Color=12abc\r\n"
           "TPanel_Color=clYellow\r\n"
           "FMain.FlatButton4|Color=\r\n");
    check->SetColor(4711);
    apply(&window);
    EXPECT_EQ(top->Color(), clYellow);
    EXPECT_EQ(bottom->Color(), clYellow);
    EXPECT_EQ(check->Color(), 4711) << "an empty value is no colour, and there is no class key";
}

TEST_F(ColorWrapper, MinusOneAndTextsAreNoNumbers) {
    top->SetBevelOuter(bvLowered);
    bottom->SetBevelOuter(bvLowered);
    bottom->SetBevelInner(bvLowered);
    scheme("FMain.Panel3|BevelOuter=-1\r\n"
           "TPanel_BevelOuter=0\r\n"
           "FMain.Panel1|BevelOuter=-1\r\n"
           "FMain.Panel1|BevelInner=zwei\r\n"
           "FMain.FlatButton4|Margin=-1\r\n"
           "FMain.FlatButton4|Spacing=$A\r\n");
    apply(&window);
    EXPECT_EQ(top->BevelOuter(), bvNone) << "-1 falls back to the class key";
    EXPECT_EQ(bottom->BevelOuter(), bvNone);
    EXPECT_EQ(bottom->BevelInner(), bvLowered);
    EXPECT_EQ(check->Margin(), -1);
    EXPECT_EQ(check->Spacing(), 10);
}

TEST_F(ColorWrapper, ANumberOutsideAnEnumerationIsNotSet) {
    top->SetBevelOuter(bvRaised);
    scheme("FMain.Panel3|BevelOuter=7\r\nFMain.Panel1|BevelOuter=3\r\n");
    apply(&window);
    EXPECT_EQ(top->BevelOuter(), bvRaised);
    EXPECT_EQ(bottom->BevelOuter(), bvSpace);
}

TEST_F(ColorWrapper, AComponentKeyBelongsToItsWindowOnly) {
    TForm other;
    other.setObjectName(QStringLiteral("FOther"));
    auto *otherPanel = new TPanel(&other);
    otherPanel->setObjectName(QStringLiteral("Panel3"));
    scheme("FOther.Panel3|Color=clRed\r\n"
           "FMain|Color=clYellow\r\n"
           "Form_Color=clAqua\r\n"
           "FMain.FMain|Color=clGreen\r\n");
    apply(&window);
    apply(&other);
    EXPECT_EQ(top->Color(), clBtnFace);
    EXPECT_EQ(otherPanel->Color(), clRed);
    EXPECT_EQ(window.Color(), clYellow) << "a window's own key has no prefix";
    EXPECT_EQ(other.Color(), clAqua);
    EXPECT_EQ(paletteColour(&window), QColor(255, 255, 0)) << "set on the window itself";
}

TEST_F(ColorWrapper, KeysAndColourNamesIgnoreCaseButNotBlanks) {
    scheme("fmain.PANEL3|color=CLRED\r\n"
           "FMain.Panel1 |Color=clBlue\r\n"
           "FMain.rlb|Color= clBlue\r\n"
           "TPANEL_COLOR=cllime\r\n");
    apply(&window);
    EXPECT_EQ(top->Color(), clRed);
    EXPECT_EQ(bottom->Color(), clLime) << "a blank before \"=\" makes another key";
    EXPECT_EQ(label->Color(), clBtnFace) << "a blank before a colour name makes it no colour";
}

TEST_F(ColorWrapper, TheFirstLineWithAKeyCountsAndLinesWithoutEqualsAreNoEntries) {
    scheme("TPanel_Color\r\n"
           "TPanel_Color=clRed\r\n"
           "tpanel_color=clBlue\r\n"
           "FMain.Panel3|Color=kaputt\n"
           "FMain.Panel3|Color=clBlue\r");
    apply(&window);
    EXPECT_EQ(bottom->Color(), clRed);
    EXPECT_EQ(top->Color(), clRed) << "an invalid first value is not replaced by a later line";
}

TEST_F(ColorWrapper, AFlatButtonTakesItsWholeRow) {
    auto *other = new TFlatButton(&window);
    other->setObjectName(QStringLiteral("FlatButton1"));
    window.show();
    scheme("TFlatButton_Color=1\r\nTFlatButton_ColorDown=2\r\nTFlatButton_ColorFocused=3\r\n"
           "TFlatButton_ColorBorder=4\r\nTFlatButton_ColorHighLight=5\r\n"
           "TFlatButton_ColorShadow=6\r\nTFlatButton_ROUND=7\r\nTFlatButton_Margin=8\r\n"
           "TFlatButton_Spacing=9\r\nTFlatButton_Visible=0\r\n"
           "FMain.FlatButton4|Visible=0\r\nFMain.FlatButton4|round=50\r\n");
    apply(&window);
    EXPECT_EQ(check->Color(), 1);
    EXPECT_EQ(check->ColorDown(), 2);
    EXPECT_EQ(check->ColorFocused(), 3);
    EXPECT_EQ(check->ColorBorder(), 4);
    EXPECT_EQ(check->ColorHighLight(), 5);
    EXPECT_EQ(check->ColorShadow(), 6);
    EXPECT_EQ(check->Round(), 50);
    EXPECT_EQ(other->Round(), 7);
    EXPECT_EQ(check->Margin(), 8);
    EXPECT_EQ(check->Spacing(), 9);
    EXPECT_FALSE(check->Visible());
    EXPECT_TRUE(other->Visible()) << "Visible has no class key";
}

TEST_F(ColorWrapper, ClassNamesMatchExactlyExceptForWindowsAndPopupMenus) {
    auto *big = new TBigFlatButton(&window);
    big->setObjectName(QStringLiteral("Big"));
    auto *popup = new TProductMenu(&window);
    popup->setObjectName(QStringLiteral("Popup"));
    auto *plainPopup = new ToxPopupMenu(&window);
    plainPopup->setObjectName(QStringLiteral("PlainPopup"));
    TDialogWindow dialog;
    dialog.setObjectName(QStringLiteral("FDialog"));
    scheme("TFlatButton_Color=111\r\n"
           "MENUPOP_Color=222\r\n"
           "MENUPOP_FirstColor=333\r\n"
           "FMain.Popup|FirstColor=444\r\n"
           "Form_Color=clRed\r\n");
    big->SetColor(4711);
    apply(&window);
    apply(&dialog);
    EXPECT_EQ(check->Color(), 111);
    EXPECT_EQ(big->Color(), 4711) << "a descendant of TFlatButton under another name";
    EXPECT_EQ(popup->Color, 222);
    EXPECT_EQ(popup->m_background.Gradient, 444);
    EXPECT_EQ(plainPopup->m_background.Gradient, 333);
    EXPECT_EQ(dialog.Color(), clRed);
    EXPECT_EQ(window.Color(), clRed);
}

TEST_F(ColorWrapper, ClassesTheModuleDoesNotUseAreMatchedByName) {
    auto *box = new TScrollBox(&window);
    box->setObjectName(QStringLiteral("ScrollBox1"));
    auto *list = new TListBox(&window);
    list->setObjectName(QStringLiteral("ListBox1"));
    auto *browser = new TCPrivateBrowser(&window);
    browser->setObjectName(QStringLiteral("Browser"));
    scheme("TScrollBox_Color=$0000FF\r\n"
           "TListBox_Color=clWhite\r\n"
           "FMain.Browser|ReadOnlyColor=5\r\n"
           "TCPrivateBrowser_EmptyColor=6\r\n"
           "FMain.Browser|RichEmptyEditColor_=7\r\n");
    apply(&window);
    EXPECT_EQ(paletteColour(box), QColor(255, 0, 0)) << "a scroll box's colour is the control's";
    EXPECT_TRUE(box->autoFillBackground());
    EXPECT_EQ(list->Color, clWhite);
    EXPECT_EQ(browser->ReadOnlyColor, 5);
    EXPECT_EQ(browser->EmptyColor, 6) << "the file's key is EmptyColor, whatever the property";
}

TEST_F(ColorWrapper, AnErrorEndsItsLevelAndTheLevelsAboveGoOn) {
    // Panel3 holds, in this order: FlatButton4, the failing grid, a panel with a button, a
    // panel. The walk over Panel3's components stops at the grid; the window's further
    // components (Panel1, rlb) are still coloured.
    auto *grid = new TStringGrid(top);
    grid->setObjectName(QStringLiteral("Grid"));
    auto *inner = new TPanel(top);
    inner->setObjectName(QStringLiteral("Inner"));
    auto *innerButton = new TFlatButton(inner);
    innerButton->setObjectName(QStringLiteral("InnerButton"));
    scheme("TPanel_Color=clRed\r\nTFlatButton_Color=1\r\nTStringGrid_Color=clRed\r\n"
           "TMarkupLabel_Color=clRed\r\n");
    apply(&window);
    EXPECT_EQ(top->Color(), clRed);
    EXPECT_EQ(check->Color(), 1) << "before the grid";
    EXPECT_EQ(inner->Color(), clBtnFace) << "after the grid, on its level";
    EXPECT_NE(innerButton->Color(), 1) << "below that level";
    EXPECT_EQ(bottom->Color(), clRed) << "the level above goes on";
    EXPECT_EQ(label->Color(), clRed);
}

TEST_F(ColorWrapper, WithoutACopyOrWithAnEmptyOneNothingChanges) {
    apply(&window);
    EXPECT_EQ(top->Color(), clBtnFace);
    scheme("");
    apply(&window);
    EXPECT_EQ(top->Color(), clBtnFace);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("DEBUGSKIN"))));
}

TEST_F(ColorWrapper, ACopyInOtherLetterCaseIsRead) {
    write(QStringLiteral("DUPCHECK.skm"), "TPanel_Color=clRed\r\n");
    apply(&window);
    EXPECT_EQ(top->Color(), clRed);
}

TEST_F(ColorWrapper, DebugOutputAppliesTheSchemeAndWritesTheNames) {
    auto *unnamed = new TPanel(bottom); // listed by nobody: it has no name
    auto *deep = new TFlatPanel(unnamed);
    deep->setObjectName(QStringLiteral("FlatPanel\xC4"));
    scheme("DEBUGOUTPUT\r\nTPanel_Color=clRed\r\n");
    apply(&window);
    EXPECT_EQ(top->Color(), clRed);
    EXPECT_EQ(unnamed->Color(), clRed);
    EXPECT_EQ(read(QStringLiteral("DEBUGSKIN/FMain-DEBUG.DAT")),
              QByteArray("FMain.\r\nPanel3\r\nFlatButton4\r\nPanel1\r\nFlatPanel\xC4\r\nrlb\r\n"));
}

TEST_F(ColorWrapper, OnlyTheExactFirstLineSwitchesDebugOutputOn) {
    scheme("debugoutput\r\nTPanel_Color=clRed\r\n");
    apply(&window);
    scheme("TPanel_Color=clRed\r\nDEBUGOUTPUT\r\n");
    apply(&window);
    EXPECT_EQ(top->Color(), clRed);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("DEBUGSKIN"))));
    // An existing folder in other letter case is used.
    QDir(dir.path()).mkdir(QStringLiteral("debugskin"));
    scheme("DEBUGOUTPUT\r\n");
    apply(&window);
    EXPECT_EQ(entries(QStringLiteral("debugskin")), QStringList{QStringLiteral("FMain-DEBUG.DAT")});
}

TEST_F(ColorWrapper, AFailingDebugOutputIsSilent) {
    write(QStringLiteral("DEBUGSKIN"), "eine Datei, kein Ordner");
    scheme("DEBUGOUTPUT\r\nTPanel_Color=clRed\r\n");
    apply(&window);
    EXPECT_EQ(top->Color(), clRed);
    EXPECT_EQ(read(QStringLiteral("DEBUGSKIN")), QByteArray("eine Datei, kein Ordner"));
}

TEST_F(ColorWrapper, IsRegisteredAndReachedThroughTheWindowPreparation) {
    ASSERT_TRUE(ClassRegistry::isRegistered(QStringLiteral("TColorWrapper")));
    scheme("FMain|Color=clRed\r\nTPanel_Color=clYellow\r\n");
    PrepareWindow(&window, false);
    EXPECT_EQ(window.Color(), clRed);
    EXPECT_EQ(top->Color(), clYellow);
}

#include "TColorWrapperTest.moc"
