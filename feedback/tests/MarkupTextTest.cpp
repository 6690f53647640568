#include "feedback/MarkupText.h"
#include "feedback/MarkupColors.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const char16_t *input;
    const char16_t *expected;
};

class PrepareTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PrepareTest, ReplacesEntitiesHashFormAndLineEnds) {
    EXPECT_EQ(MarkupText::prepare(QString::fromUtf16(GetParam().input)),
              QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrepareTest,
    ::testing::Values(TextCase{u"A&amp;B", u"A&&B"}, TextCase{u"&AMP;", u"&&"},
                      TextCase{u"&amp;amp;", u"&&&"}, // repeated until none is left
                      TextCase{u"&quot;x&quot;", u"\"x\""}, TextCase{u"&PERMIL;", u"\u2030"},
                      TextCase{u"&sect;&reg;&copy;&para;&trade;&euro;",
                               u"\u00A7\u00AE\u00A9\u00B6\u2122\u20AC"},
                      TextCase{u"&lt;b&gt;", u"&lt;b&gt;"}, // replaced later, inside runs
                      TextCase{u"<#Nr>1<#x>", u"#Nr1<#x>"}, // only the first "<#"
                      TextCase{u"a\r\nb", u"a<BR>b"}, TextCase{u"a\nb", u"ab"}));

TEST(MarkupTextTest, RunEntitiesBecomeCharactersThatStartNoTag) {
    EXPECT_EQ(MarkupText::replaceRunEntities(QStringLiteral("&LT;b&gt;&nbsp;")),
              QStringLiteral("<b>") + QChar(0xA0));
}

TEST(MarkupTextTest, MnemonicsHideSingleAmpersandsAndUnderlineTheNextCharacter) {
    auto shown = MarkupText::applyMnemonics(QStringLiteral("& x"));
    EXPECT_EQ(shown.text, QStringLiteral(" x"));
    EXPECT_EQ(shown.underlined, QList<int>{0});

    shown = MarkupText::applyMnemonics(QStringLiteral("A&&B"));
    EXPECT_EQ(shown.text, QStringLiteral("A&B"));
    EXPECT_TRUE(shown.underlined.isEmpty());

    shown = MarkupText::applyMnemonics(QStringLiteral("ende&"));
    EXPECT_EQ(shown.text, QStringLiteral("ende"));
}

TEST(MarkupTextTest, UpperKeepsEveryIndex) {
    const QString text = QStringLiteral("straße <img src=\"a\">");
    EXPECT_EQ(MarkupText::upper(text).size(), text.size());
}

TEST(MarkupTextTest, PlainTextTurnsBreaksIntoLineEndsAndDropsTags) {
    EXPECT_EQ(MarkupToPlainText(QStringLiteral("<B>Fehler:</B><br>Text<HR>Ende")),
              QStringLiteral("Fehler:\r\nText\r\nEnde"));
    // A "<" without ">" after it keeps the rest as it is.
    EXPECT_EQ(MarkupToPlainText(QStringLiteral("<b>a</b> < b")), QStringLiteral("a < b"));
}

struct ColorCase {
    const char *value;
    TColor expected;
};

class MarkupColorTest : public ::testing::TestWithParam<ColorCase> {};

TEST_P(MarkupColorTest, ParsesNamesAndHexadecimal) {
    EXPECT_EQ(MarkupColors::parse(QString::fromLatin1(GetParam().value)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupColorTest,
    ::testing::Values(ColorCase{"clred", clRed}, ColorCase{"CLRED", clRed},
                      ColorCase{"ClReD", clRed}, ColorCase{"#FF0000", clRed},
                      ColorCase{"#ff0000", clRed}, ColorCase{"#0000Ff", clBlue},
                      ColorCase{"#123456", rgbColor(0x12, 0x34, 0x56)},
                      ColorCase{"clunknown", clBlack}, ColorCase{"clMoneyGreen", clBlack},
                      ColorCase{"cl3ddkshadow", cl3DDkShadow}, ColorCase{"clBtnFace", clBtnFace},
                      ColorCase{"clinfobk", clInfoBk}, ColorCase{"", clBlack}));

TEST(MarkupColorTest, BodyReadsHashAsHexadecimalAndClAsName) {
    EXPECT_EQ(MarkupColors::parseBody(QStringLiteral("CLRED")), clRed);
    EXPECT_EQ(MarkupColors::parseBody(QStringLiteral("#00FF00")), clLime);
    EXPECT_EQ(MarkupColors::parseBody(QStringLiteral("CL#0000FF")), clBlue); // hex wins
    EXPECT_FALSE(MarkupColors::parseBody(QStringLiteral("RED")).has_value());
}

} // namespace
