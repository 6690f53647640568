#include "MarkupFixture.h"

#include "feedback/EscapeMarkup.h"

namespace {

class MarkupEscapeTest : public MarkupFixture,
                         public ::testing::WithParamInterface<const char16_t *> {};

// Error texts from exceptions and the engine, appended to the program's own headline, show
// exactly as they are.
TEST_P(MarkupEscapeTest, EscapedTextShowsLiterally) {
    const QString text = QString::fromUtf16(GetParam());
    const MarkupLayout alone = measure(EscapeMarkup(text), 10000, MarkupHost::Sbhtm);
    EXPECT_EQ(alone.plainText, text);
    const MarkupLayout inMessage = measure(QStringLiteral("<B>Fehler:</B><BR>") +
                                               EscapeMarkup(text) + QStringLiteral("<BR>Ende"),
                                           10000, MarkupHost::Sbhtm);
    EXPECT_EQ(inMessage.plainText, QStringLiteral("Fehler:\r") + text + QStringLiteral("\rEnde"));
}

TEST_P(MarkupEscapeTest, EscapedTextUnderlinesNothing) {
    MarkupRequest r = request(EscapeMarkup(QString::fromUtf16(GetParam())), 10000);
    r.draw = true;
    for (const MarkupRunItem &run : runs(LayoutMarkup(r)))
        EXPECT_TRUE(run.underlined.isEmpty()) << run.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(NastyTexts, MarkupEscapeTest,
                         ::testing::Values(u"a < b", u"x>y", u"A&B", u"&lt;", u"&amp;", u"<b>",
                                           u"&", u"Ende&", u"50%", u"<", u">", u"<>", u"</>",
                                           u"<#1>", u"&&", u"&nbsp;", u"&quot;&euro;", u"&AMP;LT;",
                                           u"Tabelle <ArtikelMain.TBL> fehlt", u"a & b < c > d",
                                           u"<BR>", u"#13#10", u"Pfad C:\\Daten\\<neu>&alt",
                                           u"ß & Ü < ä", u"", u"  zwei Blanks  "));

TEST(EscapeMarkupTest, LineEndsBecomeLineBreaks) {
    EXPECT_EQ(EscapeMarkup(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a<BR>b<BR>c<BR>d"));
}

TEST(EscapeMarkupTest, TextWithoutSpecialCharactersIsUnchanged) {
    EXPECT_EQ(EscapeMarkup(QStringLiteral("Datei nicht gefunden.")),
              QStringLiteral("Datei nicht gefunden."));
}

} // namespace
