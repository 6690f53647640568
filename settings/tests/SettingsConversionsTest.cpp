#include "settings/SettingsConversions.h"
#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

namespace {

// The conversions depend on the locale's decimal separator and date format: the tests use the
// German ones the host's data is written with, and restore the process-wide ones afterwards.
class GermanFormat : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = formatSettings();
        formatSettings().decimalSeparator = u',';
        formatSettings().shortDateFormat = QStringLiteral("dd.MM.yyyy");
        formatSettings().dateSeparator = u'.';
    }
    void TearDown() override { formatSettings() = m_saved; }

private:
    FormatSettings m_saved;
};

struct NumberCase {
    const char *text;
    qint32 fallback;
    qint32 number;
    bool flag;
};

class NumberConversion : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberConversion, GivesTheNumberOrTheFallbackAndTheFlagFromTheLowByte) {
    const NumberCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(SettingsConvert::Number(text, c.fallback), c.number);
    EXPECT_EQ(SettingsConvert::Flag(text), c.flag);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberConversion,
    ::testing::Values(NumberCase{"12", 5, 12, true}, NumberCase{"-7", 5, -7, true},
                      NumberCase{"+3", 5, 3, true}, NumberCase{"$1F", 5, 31, true},
                      NumberCase{"$FFFFFFFF", 5, -1, true}, NumberCase{"256", 5, 256, false},
                      NumberCase{"0", 5, 0, false}, NumberCase{"", 5, 5, false},
                      NumberCase{"1,5", 2, 2, false}, NumberCase{"zwei", -1, -1, false},
                      NumberCase{"99999999999", 2, 2, false}));

TEST(OneConversion, IsOnExactlyForTheTextOne) {
    EXPECT_TRUE(SettingsConvert::One(QStringLiteral("1")));
    for (const char *t : {"", "0", "01", " 1", "2", "ja"})
        EXPECT_FALSE(SettingsConvert::One(QString::fromLatin1(t))) << t;
}

struct FloatCase {
    const char *text;
    double value;
};

class FloatConversion : public GermanFormat, public ::testing::WithParamInterface<FloatCase> {};

TEST_P(FloatConversion, ReadsPointAndCommaAsTheDecimalSeparator) {
    EXPECT_DOUBLE_EQ(SettingsConvert::Float(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, FloatConversion,
                         ::testing::Values(FloatCase{"1.5", 1.5}, FloatCase{"1,5", 1.5},
                                           FloatCase{"  -0,25 ", -0.25}, FloatCase{"20", 20},
                                           FloatCase{"1.234,5", 0}, FloatCase{"", 0},
                                           FloatCase{"abc", 0}, FloatCase{"1e3", 1000},
                                           FloatCase{"inf", 0}, FloatCase{"nan", 0}));

TEST_F(GermanFormat, LocaleFloatTakesOnlyTheLocaleSeparator) {
    EXPECT_EQ(SettingsConvert::LocaleFloat(QStringLiteral("1,5")), 1.5);
    EXPECT_FALSE(SettingsConvert::LocaleFloat(QStringLiteral("1.5")).has_value());
    EXPECT_FALSE(SettingsConvert::LocaleFloat(QString()).has_value());
}

TEST_F(GermanFormat, DateReadsTheShortDateFormatAndGivesNoDateOtherwise) {
    EXPECT_EQ(SettingsConvert::Date(QStringLiteral("24.12.2026")), QDate(2026, 12, 24));
    EXPECT_FALSE(SettingsConvert::Date(QStringLiteral("31.02.2026")).isValid());
    EXPECT_FALSE(SettingsConvert::Date(QStringLiteral("kein Datum")).isValid());
    EXPECT_FALSE(SettingsConvert::Date(QString()).isValid());
}

struct LinesCase {
    const char *text;
    QStringList lines;
};

class LinesConversion : public ::testing::TestWithParam<LinesCase> {};

TEST_P(LinesConversion, SplitsAtCrLfCrAndLf) {
    EXPECT_EQ(SettingsConvert::Lines(QString::fromUtf8(GetParam().text)), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinesConversion,
    ::testing::Values(LinesCase{"", {}}, LinesCase{"a", {"a"}}, LinesCase{"a\r\nb\r\n", {"a", "b"}},
                      LinesCase{"a\rb\nc", {"a", "b", "c"}}, LinesCase{"a\n\rb", {"a", "", "b"}},
                      LinesCase{"\r\n\r\nx", {"", "", "x"}}, LinesCase{"a\r\n\r\n", {"a", ""}}));

TEST(ListHelpers, PadAndSortWithoutRegardToCase) {
    QStringList l = {QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("gamma")};
    SettingsConvert::SortLines(l);
    EXPECT_EQ(l, QStringList({"Alpha", "beta", "gamma"}));
    SettingsConvert::PadLines(l, 5);
    EXPECT_EQ(l, QStringList({"Alpha", "beta", "gamma", "", ""}));
}

} // namespace
