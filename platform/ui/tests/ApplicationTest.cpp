#include "platform/ui/Application.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
struct Captured {
    QString caption;
    QString text;
    int calls = 0;
};
} // namespace

class ErrorDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
        Application::setErrorDisplay([this](const QString &caption, const QString &text) {
            shown.caption = caption;
            shown.text = text;
            ++shown.calls;
        });
    }
    void TearDown() override { Application::setErrorDisplay({}); }
    Captured shown;
};

struct FullStopCase {
    const char *message;
    const char *shown;
};

class FullStopRule : public ::testing::TestWithParam<FullStopCase> {};

TEST_P(FullStopRule, AppendsAFullStopAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(Application::errorDisplayText(QString::fromUtf8(GetParam().message)),
              QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FullStopRule,
    ::testing::Values(FullStopCase{"Fehler", "Fehler."}, FullStopCase{"Fehler.", "Fehler."},
                      FullStopCase{"Wirklich?", "Wirklich?."}, FullStopCase{"Ende!", "Ende!"},
                      FullStopCase{"Wert: 5", "Wert: 5."}, FullStopCase{"(x)", "(x)"},
                      FullStopCase{"a-", "a-"}, FullStopCase{"", ""}));

TEST_F(ErrorDisplayTest, GuardShowsTheExceptionWithTheApplicationTitle) {
    guarded([] { throw Exception(QStringLiteral("Tabelle fehlt")); });
    EXPECT_EQ(shown.calls, 1);
    EXPECT_EQ(shown.caption, QStringLiteral("Check auf doppelte Artikelnummern"));
    EXPECT_EQ(shown.text, QStringLiteral("Tabelle fehlt."));
}

TEST_F(ErrorDisplayTest, AbortIsShownNowhere) {
    guarded([] { Abort(); });
    guarded([] { throw EAbort(QStringLiteral("x")); });
    EXPECT_EQ(shown.calls, 0);
}

TEST_F(ErrorDisplayTest, ForeignExceptionsShowTheirText) {
    guarded([] { throw std::runtime_error("kaputt"); });
    EXPECT_EQ(shown.text, QStringLiteral("kaputt."));
}

TEST_F(ErrorDisplayTest, GuardLetsNormalBodiesRun) {
    int ran = 0;
    guarded([&] { ++ran; });
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(shown.calls, 0);
}
