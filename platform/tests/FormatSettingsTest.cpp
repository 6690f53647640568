#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

TEST(FormatSettings, FormatsWithTheGivenPattern) {
    const QDate d(2026, 3, 7);
    EXPECT_EQ(formatDate(d, QStringLiteral("dd.MM.yyyy")), QStringLiteral("07.03.2026"));
    EXPECT_EQ(formatDate(d, QStringLiteral("d.M.yy")), QStringLiteral("7.3.26"));
    EXPECT_EQ(formatDate(QDate(), QStringLiteral("dd.MM.yyyy")), QString());
}

TEST(FormatSettings, SlashStandsForTheCurrentDateSeparator) {
    FormatSettings saved = formatSettings();
    formatSettings().dateSeparator = u'-';
    EXPECT_EQ(formatDate(QDate(2026, 12, 24), QStringLiteral("dd/MM/yyyy")),
              QStringLiteral("24-12-2026"));
    formatSettings() = saved;
}

TEST(FormatSettings, ParsesInTheOrderOfTheFormat) {
    EXPECT_EQ(parseDate(QStringLiteral("24.12.2026"), QStringLiteral("dd.MM.yyyy")),
              QDate(2026, 12, 24));
    EXPECT_EQ(parseDate(QStringLiteral("12/24/2026"), QStringLiteral("MM/dd/yyyy")),
              QDate(2026, 12, 24));
    EXPECT_EQ(parseDate(QStringLiteral("2026-12-24"), QStringLiteral("yyyy-MM-dd")),
              QDate(2026, 12, 24));
    EXPECT_EQ(parseDate(QStringLiteral("1.2.26"), QStringLiteral("dd.MM.yyyy")), QDate(2026, 2, 1));
}

TEST(FormatSettings, RejectsTextsThatAreNoDate) {
    const QString f = QStringLiteral("dd.MM.yyyy");
    EXPECT_FALSE(parseDate(QStringLiteral("31.02.2026"), f));
    EXPECT_FALSE(parseDate(QStringLiteral("heute"), f));
    EXPECT_FALSE(parseDate(QStringLiteral("1.2"), f));
    EXPECT_FALSE(parseDate(QString(), f));
}

TEST(FormatSettings, ChangesAreProcessWideAndResettable) {
    formatSettings().shortDateFormat = QStringLiteral("dd.MM.yyyy");
    formatSettings().dateSeparator = u'.';
    EXPECT_EQ(formatDate(QDate(2026, 1, 2)), QStringLiteral("02.01.2026"));
    resetFormatSettings();
    EXPECT_EQ(formatSettings().shortDateFormat, systemFormatSettings().shortDateFormat);
}
