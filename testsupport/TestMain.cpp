// Test entry that creates the Qt application object the tests under it need. Offscreen is the
// default platform so that a test run never needs a display.
#include <gtest/gtest.h>

#include <cstdlib>

#if DUPCHECK_TEST_APP == 1
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#elif DUPCHECK_TEST_APP == 2
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QApplication>
using TestApplication = QApplication;
#endif

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
