// Window preparation: help context, placement on the (fake) monitors, and the colour scheme
// hook found by name.
#include "feedback/WindowPreparation.h"

#include "feedback/ScreenLayout.h"
#include "platform/ClassRegistry.h"
#include "platform/Exception.h"
#include "platform/ui/Application.h"
#include "platform/ui/TCustomForm.h"

#include <QApplication>

#include <gtest/gtest.h>

// Stands in for the colour scheme class, which lives in a layer above this one.
class TestColorWrapper : public QObject {
    Q_OBJECT
public:
    TestColorWrapper() { ++alive; }
    ~TestColorWrapper() override { --alive; }
    Q_INVOKABLE void SetProperties(QObject *component) {
        prepared.append(component);
        if (fail)
            throw Exception(QStringLiteral("Farbschema kaputt"));
    }
    static inline int alive = 0;
    static inline bool fail = false;
    static inline QList<QObject *> prepared;
};

namespace {

class WindowPreparation : public ::testing::Test {
protected:
    void SetUp() override {
        ScreenLayout::setProvider([] {
            return TScreenLayout{{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)},
                                 QRect(0, 40, 1920, 1040)};
        });
        QApplication::setActiveWindow(nullptr);
        TestColorWrapper::prepared.clear();
        TestColorWrapper::fail = false;
    }
    void TearDown() override {
        ScreenLayout::setProvider({});
        ClassRegistry::unregisterClass(QStringLiteral("TColorWrapper"));
        Application::setMainForm(nullptr);
    }
};

} // namespace

TEST_F(WindowPreparation, ACentredWindowIsCentredOnceInTheWorkArea) {
    TForm window;
    window.SetPosition(TCustomForm::poScreenCenter);
    window.resize(406, 100);
    PrepareWindow(&window, true);
    EXPECT_EQ(window.HelpContext(), 1);
    EXPECT_EQ(window.pos(), QPoint(757, 510));
    EXPECT_EQ(window.Position(), TCustomForm::poDesigned);
    // Placed again it stays where it is.
    PlaceWindow(&window, false);
    EXPECT_EQ(window.pos(), QPoint(757, 510));
}

TEST_F(WindowPreparation, WithoutPlaceTheWindowIsNotMoved) {
    TForm window;
    window.SetPosition(TCustomForm::poScreenCenter);
    window.setGeometry(-100, -100, 300, 200);
    PrepareWindow(&window, false);
    EXPECT_EQ(window.HelpContext(), 1);
    EXPECT_EQ(window.pos(), QPoint(-100, -100));
    EXPECT_EQ(window.Position(), TCustomForm::poScreenCenter);
}

TEST_F(WindowPreparation, AWindowWithoutBorderIsPlacedOnlyWhenForced) {
    TForm window;
    window.SetBorderStyle(TCustomForm::bsNone);
    window.setGeometry(-100, -100, 300, 200);
    PrepareWindow(&window, true);
    EXPECT_EQ(window.pos(), QPoint(-100, -100));
    PlaceWindow(&window, false);
    EXPECT_EQ(window.pos(), QPoint(-100, -100));
    PlaceWindow(&window, true);
    EXPECT_EQ(window.pos(), QPoint(0, 0)) << "top to 0, not to the work area's top";
}

TEST_F(WindowPreparation, TheMainWindowsMonitorIsUsedWhenNoWindowIsActive) {
    TForm mainWindow;
    mainWindow.setGeometry(2000, 100, 800, 600);
    Application::setMainForm(&mainWindow);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    TForm box;
    box.SetPosition(TCustomForm::poScreenCenter);
    box.resize(406, 100);
    PrepareWindow(&box, true);
    EXPECT_EQ(box.pos(), QPoint(2357, 462)) << "centred on the second monitor's rectangle";
}

TEST_F(WindowPreparation, TheColourSchemeClassIsCalledWithTheWindowAndFreed) {
    ClassRegistry::registerClass(QStringLiteral("TColorWrapper"),
                                 [] { return new TestColorWrapper; });
    TForm window;
    PrepareWindow(&window, true);
    EXPECT_EQ(TestColorWrapper::prepared, QList<QObject *>{&window});
    EXPECT_EQ(TestColorWrapper::alive, 0);
}

TEST_F(WindowPreparation, AFailingColourSchemeStillFreesItsInstance) {
    ClassRegistry::registerClass(QStringLiteral("TColorWrapper"),
                                 [] { return new TestColorWrapper; });
    TestColorWrapper::fail = true;
    TForm window;
    EXPECT_THROW(PrepareWindow(&window, false), Exception);
    EXPECT_EQ(TestColorWrapper::alive, 0);
}

TEST_F(WindowPreparation, WithoutAColourSchemeClassNothingHappens) {
    ClassRegistry::registerClass(QStringLiteral("TColorWrapper"),
                                 [] { return new QObject; }); // without SetProperties
    TForm window;
    PrepareWindow(&window, false);
    ClassRegistry::unregisterClass(QStringLiteral("TColorWrapper"));
    PrepareWindow(&window, false);
    EXPECT_EQ(window.HelpContext(), 1);
    EXPECT_TRUE(TestColorWrapper::prepared.isEmpty());
}

#include "WindowPreparationTest.moc"
