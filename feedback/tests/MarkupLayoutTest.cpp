#include "MarkupFixture.h"

#include "feedback/TImageList.h"
#include "feedback/TPictureCache.h"
#include "feedback/TPictureContainer.h"

#include <QFontInfo>
#include <QPixmap>
#include <QTemporaryDir>

#include <vector>

namespace {

// One row of the layout table: a text in a rectangle of a width, and what comes out.
struct LayoutCase {
    const char *name;
    const char16_t *text;
    const char16_t *fitText;       // the rectangle is just wide enough for this; empty: 1000 wide
    QList<const char16_t *> lines; // the lines' texts (also their widths: word by word)
    const char16_t *plain;
    int heightInLines = 1; // the text height in "gh" lines of the label's font
    MarkupHost host = MarkupHost::MarkupLabel;
    bool firstLineBold = false;
};

std::vector<LayoutCase> layoutCases() {
    return {
        {"Empty", u"", u"", {}, u"", 1},
        {"OnlyTags", u"<I><U>", u"", {u""}, u"", 1},
        {"LineBreaks",
         u"eins<BR>zwei<br>drei",
         u"",
         {u"eins", u"zwei", u"drei"},
         u"eins\rzwei\rdrei",
         3},
        {"TrailingBreakAddsNoLine", u"eins<BR>", u"", {u"eins"}, u"eins\r", 1},
        {"EmptyLineBetweenBreaks", u"a<BR><BR>b", u"", {u"a", u"", u"b"}, u"a\r\rb", 3},
        {"CarriageReturnBreaksLineFeedDoesNot", u"a\r\nb\nc", u"", {u"a", u"bc"}, u"a\rbc", 2},
        {"ErrorTextAfterHeadline",
         u"<B>Fehler:</B><BR>Datei nicht gefunden",
         u"",
         {u"Fehler:", u"Datei nicht gefunden"},
         u"Fehler:\rDatei nicht gefunden",
         2,
         MarkupHost::Sbhtm,
         true},
        {"LoneLessThanCutsTheRest", u"Wert a < b ist falsch", u"", {u"Wert a "}, u"Wert a ", 1},
        {"LessThanAtTheEndIsDropped", u"abc<", u"", {u"abc"}, u"abc", 1},
        {"LessThanAndOneCharacterAtTheEnd", u"abc<>", u"", {u"abc"}, u"abc", 1},
        {"UnknownTagsAreRemoved", u"a<XYZ>b<Q attr=\"1\">c</QQ>d", u"", {u"abcd"}, u"abcd", 1},
        {"SlashAloneIsUnknown", u"a</>b", u"", {u"ab"}, u"ab", 1},
        {"TagBetweenLessThanAndGreaterThan", u"a < b > c", u"", {u"a  c"}, u"a  c", 1},
        {"EscapedAngles", u"&lt;b&gt; bleibt", u"", {u"<b> bleibt"}, u"<b> bleibt", 1},
        {"AmpersandBeforeBlank", u"A& B", u"", {u"A B"}, u"A B", 1},
        {"AmpEntityShowsOneAmpersand", u"A&amp; B", u"", {u"A& B"}, u"A& B", 1},
        {"PermilInCapitals", u"5&PERMIL;", u"", {u"5\u2030"}, u"5\u2030", 1},
        {"HashForm", u"<#Nummer>1", u"", {u"#Nummer1"}, u"#Nummer1", 1},
        {"WrapBeforeRunThatDoesNotFit",
         u"aaa bbb ccc",
         u"aaa bbb ",
         {u"aaa bbb ", u"ccc"},
         u"aaa bbb ccc",
         2},
        {"OverlongWordIsPlacedNotBroken",
         u"Donaudampfschifffahrt kurz",
         u"Donau",
         {u"Donaudampfschifffahrt ", u"kurz"},
         u"Donaudampfschifffahrt kurz",
         2},
        {"HiddenTextTakesNoRoom", u"vor <Z>versteckt </Z>nach", u"", {u"vor nach"}, u"vor nach", 1},
        {"NonBreakingBlankKeepsWordsTogether",
         u"aaa bbb&nbsp;ccc",
         u"aaa bbb ",
         {u"aaa ", u"bbb\u00A0ccc"},
         u"aaa bbb\u00A0ccc",
         2},
        {"ListInStatusLabelBreaksLines",
         u"a<UL>b</UL>c</LI>d",
         u"",
         {u"a", u"bc", u"d"},
         u"abcd",
         3},
        {"ListInMessageLabelDoesNot",
         u"a<UL>b</UL>c</LI>d",
         u"",
         {u"abcd"},
         u"abcd",
         1,
         MarkupHost::Sbhtm},
        {"RuleAndParagraphEndBreak", u"a<HR>b</P>c", u"", {u"a", u"b", u"c"}, u"abc", 3},
        {"SecondListItemBeginsANewLine",
         u"<LI>eins<LI>zwei",
         u"",
         {u"eins", u"zwei"},
         u"einszwei",
         2,
         MarkupHost::Sbhtm},
    };
}

class LayoutTableTest : public MarkupFixture, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTableTest, LinesWidthsHeightAndPlainText) {
    const LayoutCase &c = GetParam();
    const QString fit = QString::fromUtf16(c.fitText);
    const MarkupLayout layout =
        measure(QString::fromUtf16(c.text), fit.isEmpty() ? 1000 : widthFitting(fit), c.host);
    QStringList expectedLines;
    for (const char16_t *line : c.lines)
        expectedLines << QString::fromUtf16(line);
    EXPECT_EQ(lineTexts(layout), expectedLines);
    EXPECT_EQ(layout.plainText, QString::fromUtf16(c.plain));
    EXPECT_EQ(layout.textHeight, c.heightInLines * gh());
    int widest = 0;
    for (qsizetype i = 0; i < layout.lines.size() && i < expectedLines.size(); ++i) {
        // List items take 12 pixels of room before their text.
        const int listRoom = QString::fromUtf16(c.text).contains(QLatin1String("<LI>")) ? 12 : 0;
        EXPECT_EQ(layout.lines[i].width,
                  lineWidth(expectedLines[i], i == 0 && c.firstLineBold) + listRoom)
            << "line " << i;
        widest = std::max(widest, layout.lines[i].width);
    }
    EXPECT_EQ(layout.maxWidth, widest);
}

INSTANTIATE_TEST_SUITE_P(Table, LayoutTableTest, ::testing::ValuesIn(layoutCases()),
                         [](const auto &info) { return std::string(info.param.name); });

using MarkupLayoutTest = MarkupFixture;

TEST_F(MarkupLayoutTest, LinesAreAsHighAsTheFontsWindowsMetricsSay) {
    // Tahoma at 11 pixels: ascent 11, descent 2, the classic line of 13 pixels.
    EXPECT_EQ(TextMetrics::of(labelFont()).ascent, 11);
    EXPECT_EQ(gh(), 13);
    EXPECT_EQ(measure(QString()).textHeight, 13);
    EXPECT_EQ(measure(QStringLiteral("gh<BR>gh")).textHeight, 26);
}

TEST_F(MarkupLayoutTest, BoldTextIsMeasuredBoldAndStaysBoldToTheEnd) {
    MarkupRequest r = request(QStringLiteral("<B>Alle Bestellnummern sind eindeutig."), 1000);
    r.draw = true;
    const MarkupLayout layout = LayoutMarkup(r);
    ASSERT_EQ(layout.lines.size(), 1);
    EXPECT_EQ(layout.lines[0].width,
              lineWidth(QStringLiteral("Alle Bestellnummern sind eindeutig."), true));
    const auto placed = runs(layout);
    ASSERT_FALSE(placed.isEmpty());
    for (const MarkupRunItem &run : placed)
        EXPECT_TRUE(run.font.bold()) << run.text.toStdString();
}

TEST_F(MarkupLayoutTest, LowerCaseBoldActsLikeUpperCase) {
    MarkupRequest upper = request(QStringLiteral("<B>Fehler:</B><BR>x"), 1000);
    MarkupRequest lower = request(QStringLiteral("<b>Fehler:</b><br>x"), 1000);
    upper.draw = lower.draw = true;
    const auto a = runs(LayoutMarkup(upper));
    const auto b = runs(LayoutMarkup(lower));
    ASSERT_EQ(a.size(), 2);
    ASSERT_EQ(b.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(a[i].font.bold(), b[i].font.bold());
        EXPECT_EQ(a[i].bottom, b[i].bottom);
    }
    EXPECT_TRUE(a[0].font.bold());
    EXPECT_FALSE(a[1].font.bold());
}

TEST_F(MarkupLayoutTest, WordWithBoldMiddleIsNeverBrokenAtItsTags) {
    // "xx Wor" fits, "xx Wortte" does not: the word stays whole on the first line.
    const MarkupLayout layout =
        measure(QStringLiteral("xx Wor<b>tte</b>il"), widthFitting(QStringLiteral("xx Wor")));
    ASSERT_EQ(layout.lines.size(), 1);
    EXPECT_EQ(layout.lines[0].text, QStringLiteral("xx Wortteil"));
}

TEST_F(MarkupLayoutTest, AmpersandUnderlinesTheBlankAfterIt) {
    MarkupRequest r = request(QStringLiteral("A& B"), 1000);
    r.draw = true;
    const auto placed = runs(LayoutMarkup(r));
    ASSERT_EQ(placed.size(), 2);
    EXPECT_EQ(placed[0].text, QStringLiteral("A "));
    EXPECT_EQ(placed[0].underlined, QList<int>{1});
}

TEST_F(MarkupLayoutTest, WithoutWordWrapAnOverflowingRunIsPlacedAndTheRestDropped) {
    MarkupRequest r =
        request(QStringLiteral("aaa <B>bbb<I>ccc"), widthFitting(QStringLiteral("aaa b")));
    r.wordWrap = false;
    MarkupLayout layout = LayoutMarkup(r);
    ASSERT_EQ(layout.lines.size(), 1);
    EXPECT_EQ(layout.plainText, QStringLiteral("aaa bbb"));
    // With word wrap the same text goes on on the next line.
    r.wordWrap = true;
    layout = LayoutMarkup(r);
    EXPECT_EQ(lineTexts(layout), (QStringList{QStringLiteral("aaa "), QStringLiteral("bbbccc")}));
}

TEST_F(MarkupLayoutTest, SubscriptAndSuperscriptAddAQuarterLineEach) {
    EXPECT_EQ(measure(QStringLiteral("H<SUB>2</SUB>O")).textHeight, gh() + gh() / 4);
    EXPECT_EQ(measure(QStringLiteral("x<sup>2</sup> + y<sub>1</sub>")).textHeight,
              gh() + 2 * (gh() / 4));
    // "<SUBX>" is no subscript.
    EXPECT_EQ(measure(QStringLiteral("H<SUBX>2")).textHeight, gh());
}

TEST_F(MarkupLayoutTest, ParagraphAlignmentAndIndentHoldForFollowingLines) {
    const int w = lineWidth(QStringLiteral("abc"));
    MarkupLayout layout = measure(QStringLiteral("<P ALIGN=\"RIGHT\">abc<BR>abc"), 200);
    ASSERT_EQ(layout.lines.size(), 2);
    EXPECT_EQ(layout.lines[0].x, 200 - w);
    EXPECT_EQ(layout.lines[1].x, 200 - w);

    layout = measure(QStringLiteral("<P ALIGN=\"CENTER\">abc"), 200);
    EXPECT_EQ(layout.lines[0].x, 1 + (200 - 1 - w) / 2);

    // CENTER wins over LEFT and LEFT over RIGHT.
    layout = measure(QStringLiteral("<P ALIGN=\"RIGHT LEFT\">abc"), 200);
    EXPECT_EQ(layout.lines[0].x, 1);

    layout = measure(QStringLiteral("<P INDENT=\"20\">abc<BR>abc</P>abc"), 200);
    ASSERT_EQ(layout.lines.size(), 3);
    for (const MarkupLine &line : layout.lines)
        EXPECT_EQ(line.x, 21);
}

TEST_F(MarkupLayoutTest, IndentTagMovesTheDrawingPositionForward) {
    MarkupLayout layout = measure(QStringLiteral("a<IND x=\"50\">b"));
    EXPECT_EQ(layout.lines[0].width, 50 + width(QStringLiteral("b")));
    // A position left of what is already placed is ignored.
    layout = measure(QStringLiteral("abcdefghijkl<IND x=\"2\">b"));
    EXPECT_EQ(layout.lines[0].width,
              width(QStringLiteral("abcdefghijkl")) + width(QStringLiteral("b")));
}

TEST_F(MarkupLayoutTest, FontSizesAreGivenInPoints) {
    const int sized = TextMetrics::lineHeight(Fonts::make("Tahoma", -21)); // 16 points
    EXPECT_EQ(measure(QStringLiteral("<FONT SIZE=\"5\">gross</FONT>")).textHeight, sized);
    EXPECT_EQ(measure(QStringLiteral("<FONT SIZE=5>gross</FONT>")).textHeight, sized);
    const int twenty = TextMetrics::lineHeight(Fonts::make("Tahoma", -27)); // 20 points
    EXPECT_EQ(measure(QStringLiteral("<font size=\"20\">gross")).textHeight, twenty);
    // After the closing tag the label's font size is back.
    EXPECT_EQ(measure(QStringLiteral("<FONT SIZE=\"5\">a</FONT><BR>b")).lines[1].height, gh());
}

TEST_F(MarkupLayoutTest, FontFaceArrivesInCapitalsAndStillFindsTheFont) {
    MarkupRequest r =
        request(QStringLiteral("<FONT FACE=\"Liberation Mono\">iiii</FONT>iiii"), 1000);
    r.draw = true;
    const auto placed = runs(LayoutMarkup(r));
    ASSERT_EQ(placed.size(), 2);
    EXPECT_EQ(placed[0].font.family(), QStringLiteral("LIBERATION MONO"));
    EXPECT_EQ(QFontInfo(placed[0].font).family(), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(placed[0].width, 4 * QFontMetrics(placed[0].font).horizontalAdvance(u'i'));
    EXPECT_EQ(placed[1].font.family(), labelFont().family());
}

TEST_F(MarkupLayoutTest, ColoursOfFontTagsAndLinks) {
    MarkupRequest r = request(QStringLiteral("<FONT COLOR=\"clRed\">a</FONT>b<FONT "
                                             "color=\"#00ff00\" bgcolor=\"clYellow\">c</FONT>"
                                             "<A href=\"x\">d</A><BLINK>e</BLINK>f"),
                              1000);
    r.draw = true;
    r.fontColor = clNavy;
    r.backgroundColor = clWhite;
    const auto placed = runs(LayoutMarkup(r));
    ASSERT_EQ(placed.size(), 6);
    EXPECT_EQ(placed[0].color, clRed);
    EXPECT_EQ(placed[1].color, clNavy);
    EXPECT_EQ(placed[2].color, clLime);
    EXPECT_EQ(placed[2].background, clYellow);
    EXPECT_EQ(placed[3].color, clBlue);
    EXPECT_TRUE(placed[3].font.underline());
    EXPECT_EQ(placed[3].background, clNone);
    EXPECT_EQ(placed[4].color, clWhite); // BLINK: in the label's own colour
    EXPECT_EQ(placed[5].color, clNavy);
}

TEST_F(MarkupLayoutTest, HighlightUsesTheSelectionColoursUntilItsEnd) {
    MarkupRequest r = request(QStringLiteral("<HI>a</HI>b"), 1000);
    r.draw = true;
    const auto placed = runs(LayoutMarkup(r));
    ASSERT_EQ(placed.size(), 2);
    EXPECT_EQ(placed[0].background, clHighlight);
    EXPECT_EQ(placed[0].color, clHighlightText);
    EXPECT_EQ(placed[1].background, clNone);
    EXPECT_EQ(placed[1].color, clWindowText);
}

TEST_F(MarkupLayoutTest, LinksAreNumberedAndHitByPoint) {
    const QString text = QStringLiteral(
        "Siehe <A href=\"http://Example.org/A\">Seite</A> und <a HREF=\"intern\">hier</a>");
    MarkupRequest r = request(text, 1000);
    const int seiteX = 1 + width(QStringLiteral("Siehe "));
    r.testPoint = QPoint(seiteX + 2, gh() / 2);
    MarkupLayout layout = LayoutMarkup(r);
    EXPECT_TRUE(layout.linkHit);
    EXPECT_EQ(layout.hitTarget, QStringLiteral("http://Example.org/A")); // target keeps its case
    EXPECT_EQ(layout.hitNumber, 1);

    const int hierX = seiteX + width(QStringLiteral("Seite")) + width(QStringLiteral(" ")) +
                      width(QStringLiteral("und "));
    r.testPoint = QPoint(hierX + 1, gh() - 1);
    layout = LayoutMarkup(r);
    EXPECT_TRUE(layout.linkHit);
    EXPECT_EQ(layout.hitTarget, QStringLiteral("intern"));
    EXPECT_EQ(layout.hitNumber, 2);

    r.testPoint = QPoint(3, gh() / 2); // on "Siehe"
    EXPECT_FALSE(LayoutMarkup(r).linkHit);
    r.testPoint = QPoint(seiteX + 2, gh() + 1); // below the line
    EXPECT_FALSE(LayoutMarkup(r).linkHit);

    ASSERT_EQ(layout.links.size(), 2);
    EXPECT_EQ(layout.links[0].rect, QRect(seiteX, 0, width(QStringLiteral("Seite")), gh()));
}

TEST_F(MarkupLayoutTest, HoverUnderlinesOnlyTheLinkUnderTheMouse) {
    MarkupRequest r =
        request(QStringLiteral("<A href=\"1\">eins</A> <A href=\"2\">zwei</A>"), 1000);
    r.draw = true;
    r.hover = true;
    r.hoverLink = 2;
    r.hoverColor = clYellow;
    r.hoverFontColor = clRed;
    const auto placed = runs(LayoutMarkup(r));
    ASSERT_EQ(placed.size(), 3);
    EXPECT_FALSE(placed[0].font.underline());
    EXPECT_EQ(placed[0].color, clBlue);
    EXPECT_EQ(placed[0].background, clNone);
    EXPECT_TRUE(placed[2].font.underline());
    EXPECT_EQ(placed[2].color, clRed);
    EXPECT_EQ(placed[2].background, clYellow);
}

TEST_F(MarkupLayoutTest, PicturesTakeRoomAndLineHeightOnlyWhereTheLabelHasThem) {
    TImageList images;
    images.SetWidth(20);
    images.SetHeight(30);
    QPixmap pic(20, 30);
    pic.fill(Qt::red);
    images.Add(pic);
    MarkupRequest r = request(QStringLiteral("a<IMG src=\"idx:0\">b"), 1000);
    r.pictures.images = &images;
    MarkupLayout layout = LayoutMarkup(r);
    EXPECT_EQ(layout.textHeight, 30);
    EXPECT_EQ(layout.lines[0].width, width(QStringLiteral("a")) + 20 + width(QStringLiteral("b")));

    r.host = MarkupHost::Sbhtm; // the message label has no image list
    layout = LayoutMarkup(r);
    EXPECT_EQ(layout.textHeight, gh());
    EXPECT_EQ(layout.lines[0].width, width(QStringLiteral("a")) + width(QStringLiteral("b")));

    // WIDTH and HEIGHT stretch the picture.
    r.host = MarkupHost::MarkupLabel;
    r.text = QStringLiteral("<IMG SRC=\"IDX:0\" WIDTH=\"40\" HEIGHT=\"50\">");
    EXPECT_EQ(LayoutMarkup(r).textHeight, 50);

    // A picture wider than the rest of the line begins the next line.
    r.text = QStringLiteral("abc<IMG SRC=\"IDX:0\">");
    r.rect.setWidth(1 + width(QStringLiteral("abc")) + 10);
    layout = LayoutMarkup(r);
    ASSERT_EQ(layout.lines.size(), 2);
    EXPECT_EQ(layout.lines[1].width, 20);
}

TEST_F(MarkupLayoutTest, PicturesFromTheContainerTheCacheAndTheShell) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A mixed-case file name: the address keeps its case although tags are read in capitals.
    const QString file = dir.path() + QStringLiteral("/Bild_Gross.png");
    QPixmap onDisk(24, 40);
    onDisk.fill(Qt::green);
    ASSERT_TRUE(onDisk.save(file));
    TPictureContainer container;
    QPixmap named(10, 35);
    named.fill(Qt::red);
    container.Add(QStringLiteral("Logo"), named);
    TPictureCache cache;

    MarkupRequest r = request(QString(), 1000);
    r.pictures.container = &container;
    r.pictures.cache = &cache;
    r.text = QStringLiteral("<IMG SRC=\"logo\">");
    EXPECT_EQ(LayoutMarkup(r).textHeight, 35);
    r.text = QStringLiteral("<img src=\"file://") + file + QStringLiteral("\">");
    EXPECT_EQ(LayoutMarkup(r).textHeight, 40);
    EXPECT_EQ(LayoutMarkup(r).lines[0].width, 24);
    EXPECT_EQ(cache.Count(), 1);
    r.text = QStringLiteral("<IMG SRC=\"file:///gibt/es/nicht.png\">x");
    EXPECT_EQ(LayoutMarkup(r).textHeight, gh()); // a missing picture takes no room

    // The message label has neither container nor cache, but it has the shell's icons.
    r.host = MarkupHost::Sbhtm;
    r.text = QStringLiteral("<IMG SRC=\"logo\">");
    EXPECT_EQ(LayoutMarkup(r).textHeight, gh());
    r.text = QStringLiteral("<IMG SRC=\"LSYS:") + dir.path() + QStringLiteral("\">");
    const MarkupLayout large = LayoutMarkup(r);
    r.text = QStringLiteral("<IMG SRC=\"ssys:") + dir.path() + QStringLiteral("\">");
    const MarkupLayout small = LayoutMarkup(r);
    EXPECT_GT(large.lines[0].width, small.lines[0].width);
    EXPECT_GT(small.lines[0].width, 0);
    EXPECT_LE(small.lines[0].width, 16);
}

TEST_F(MarkupLayoutTest, BodyBackgroundIsTiledOnlyInTheStatusLabel) {
    TPictureContainer container;
    QPixmap tile(8, 8);
    tile.fill(Qt::cyan);
    container.Add(QStringLiteral("Muster"), tile);
    MarkupRequest r =
        request(QStringLiteral("<BODY BACKGROUND=\"Muster\" BGCOLOR=\"clRed\">x"), 100);
    r.draw = true;
    r.pictures.container = &container;
    auto kinds = [](const MarkupLayout &l) {
        QStringList k;
        for (const MarkupItem &item : l.items) {
            if (std::holds_alternative<MarkupTile>(item))
                k << QStringLiteral("tile");
            else if (const auto *fill = std::get_if<MarkupFill>(&item))
                k << (fill->color == clRed ? QStringLiteral("red") : QStringLiteral("fill"));
        }
        return k;
    };
    EXPECT_EQ(kinds(LayoutMarkup(r)), (QStringList{QStringLiteral("red"), QStringLiteral("tile")}));
    r.host = MarkupHost::Sbhtm;
    EXPECT_EQ(kinds(LayoutMarkup(r)), QStringList{QStringLiteral("red")});
}

TEST_F(MarkupLayoutTest, PictureInsideALinkHitsTheLink) {
    TImageList images;
    QPixmap pic(16, 16);
    pic.fill(Qt::blue);
    images.Add(pic);
    MarkupRequest r = request(QStringLiteral("<A href=\"bild\"><IMG SRC=\"IDX:0\"></A>"), 1000);
    r.pictures.images = &images;
    r.testPoint = QPoint(8, 8);
    const MarkupLayout layout = LayoutMarkup(r);
    EXPECT_TRUE(layout.linkHit);
    EXPECT_EQ(layout.hitTarget, QStringLiteral("bild"));
}

TEST_F(MarkupLayoutTest, DrawingStopsWhenTheNextLineWouldNotFit) {
    MarkupRequest r = request(QStringLiteral("a<BR>b<BR>c<BR>d"), 1000);
    r.rect.setHeight(2 * gh() + 1);
    r.draw = true;
    const MarkupLayout drawn = LayoutMarkup(r);
    EXPECT_EQ(drawn.lines.size(), 2);
    EXPECT_EQ(drawn.plainText, QStringLiteral("a\rb\r"));
    r.draw = false; // measuring lays every line out
    EXPECT_EQ(LayoutMarkup(r).lines.size(), 4);
}

TEST_F(MarkupLayoutTest, ParagraphBackgroundBandsLastUntilTheClosingTag) {
    MarkupRequest r = request(QStringLiteral("<P BGCOLOR=\"clYellow\">a<BR>b</P>c"), 200);
    r.draw = true;
    const MarkupLayout layout = LayoutMarkup(r);
    QList<QRect> bands;
    for (const MarkupItem &item : layout.items) {
        if (const auto *fill = std::get_if<MarkupFill>(&item)) {
            EXPECT_EQ(fill->color, clYellow);
            bands << fill->rect;
        }
    }
    EXPECT_EQ(bands, (QList<QRect>{QRect(0, 0, 200, gh()), QRect(0, gh(), 200, gh())}));
}

TEST_F(MarkupLayoutTest, GradientOnlyInTheStatusLabel) {
    MarkupRequest r =
        request(QStringLiteral("<P BGCOLOR=\"clRed\" BGCOLORTO=\"clBlue\">a</P>"), 200);
    r.draw = true;
    auto count = [](const MarkupLayout &l) {
        int n = 0;
        for (const MarkupItem &item : l.items)
            n += std::holds_alternative<MarkupGradient>(item) ? 1 : 0;
        return n;
    };
    EXPECT_EQ(count(LayoutMarkup(r)), 1);
    r.host = MarkupHost::Sbhtm;
    EXPECT_EQ(count(LayoutMarkup(r)), 0);
}

TEST_F(MarkupLayoutTest, MessageLabelLeavesRunsInNarrowRoomUndrawn) {
    const int w = width(QStringLiteral("aaaa"));
    MarkupRequest r = request(QStringLiteral("aaaa<B>i"), 1 + w + width(QStringLiteral("W")));
    r.draw = true;
    r.host = MarkupHost::Sbhtm;
    auto placed = runs(LayoutMarkup(r));
    ASSERT_EQ(placed.size(), 2);
    EXPECT_TRUE(placed[0].visible);
    EXPECT_FALSE(placed[1].visible); // the room left is exactly one "W"
    r.host = MarkupHost::MarkupLabel;
    placed = runs(LayoutMarkup(r));
    EXPECT_TRUE(placed[1].visible);
}

TEST_F(MarkupLayoutTest, RotationTurnsTheFollowingRuns) {
    MarkupRequest r = request(QStringLiteral("<ROTATE ANGLE=\"90\">hoch</R>quer"), 1000);
    r.draw = true;
    const auto placed = runs(LayoutMarkup(r));
    ASSERT_EQ(placed.size(), 2);
    EXPECT_EQ(placed[0].angle, 90);
    EXPECT_EQ(placed[1].angle, 0);
}

} // namespace
