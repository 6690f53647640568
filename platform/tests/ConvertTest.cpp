#include "platform/Convert.h"

#include <gtest/gtest.h>

struct IntCase {
    const char *text;
    std::optional<qint32> value;
};

class ConvertToInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ConvertToInt, ReadsTheHostsNumberTexts) {
    EXPECT_EQ(Convert::toInt(QString::fromLatin1(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConvertToInt,
    ::testing::Values(IntCase{"12413", 12413}, IntCase{" 12413 ", 12413}, IntCase{"-5", -5},
                      IntCase{"+7", 7}, IntCase{"$FF", 255}, IntCase{"0x10", 16},
                      IntCase{"$FFFFFFFF", -1}, IntCase{"12413a", std::nullopt},
                      IntCase{"", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"1 2", std::nullopt}, IntCase{"99999999999", std::nullopt},
                      IntCase{"2147483647", 2147483647},
                      IntCase{"-2147483648", std::numeric_limits<qint32>::min()}));

TEST(Convert, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(Convert::trim(QStringLiteral("\t a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(Convert::trimRight(QStringLiteral(" a  ")), QStringLiteral(" a"));
    EXPECT_EQ(Convert::trimLeft(QStringLiteral("  a ")), QStringLiteral("a "));
}
