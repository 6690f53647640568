#include "MarkupFixture.h"

#include "feedback/RenderMarkup.h"

#include <QImage>
#include <QPainter>

namespace {

class MarkupPainterTest : public MarkupFixture {
protected:
    // Renders the text on a white image of the given size, in a rectangle of the same size.
    QImage render(const QString &text, QSize size = QSize(120, 40),
                  std::function<void(MarkupRequest &)> adjust = {}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        MarkupRequest r = request(text, size.width());
        r.rect = QRect(QPoint(0, 0), size);
        r.draw = true;
        r.fontColor = clBlack;
        r.backgroundColor = clWhite;
        if (adjust)
            adjust(r);
        RenderMarkup(&painter, r);
        return image;
    }
    static int countPixels(const QImage &image, auto test, QRect area = QRect()) {
        if (area.isNull())
            area = image.rect();
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += test(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    }
    static bool isRed(const QColor &c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }
    static bool isDark(const QColor &c) { return c.lightness() < 100; }
};

TEST_F(MarkupPainterTest, TextIsDrawnInTheFontColour) {
    EXPECT_GT(countPixels(render(QStringLiteral("Hallo")), isDark), 10);
    EXPECT_GT(countPixels(render(QStringLiteral("<FONT COLOR=\"clRed\">Hallo</FONT>")), isRed), 10);
}

TEST_F(MarkupPainterTest, BlinkTextIsInvisibleAndHiddenTextIsNotDrawn) {
    EXPECT_EQ(countPixels(render(QStringLiteral("<BLINK>WWWW</BLINK>")), isDark), 0);
    EXPECT_EQ(countPixels(render(QStringLiteral("<Z>WWWW</Z>")), isDark), 0);
}

TEST_F(MarkupPainterTest, BodyColourFillsTheTextArea) {
    const QImage image = render(QStringLiteral("<BODY BGCOLOR=\"clRed\">x"));
    EXPECT_TRUE(isRed(image.pixelColor(100, 30)));
    EXPECT_TRUE(isRed(image.pixelColor(0, 0)));
}

TEST_F(MarkupPainterTest, ErrorMarkingDrawsARedZigZagUnderTheRun) {
    const QImage marked = render(QStringLiteral("<E>Fehlr</E> gut"));
    const int bottom = gh();
    const QRect band(0, bottom - 1, 120, 3);
    EXPECT_GT(countPixels(marked, isRed, band), 10);
    // The zig-zag's lower points lie where x is divisible by four.
    EXPECT_TRUE(isRed(marked.pixelColor(4, bottom + 1)));
    EXPECT_TRUE(isRed(marked.pixelColor(2, bottom - 1)));
    // Nothing red under the unmarked word.
    const int gut = 1 + width(QStringLiteral("Fehlr")) + width(QStringLiteral(" ")) + 2;
    EXPECT_EQ(countPixels(marked, isRed, QRect(gut, bottom - 1, 10, 3)), 0);
    EXPECT_EQ(countPixels(render(QStringLiteral("Fehlr gut")), isRed), 0);
}

TEST_F(MarkupPainterTest, ShadowIsDrawnInTheShadowColourOffsetByTheShadowOffset) {
    const QImage image =
        render(QStringLiteral("<SHAD>WWW</SHAD>"), QSize(120, 40), [](MarkupRequest &r) {
            r.shadowColor = clRed;
            r.shadowOffset = 3;
        });
    EXPECT_GT(countPixels(image, isRed), 10);
    EXPECT_EQ(countPixels(render(QStringLiteral("WWW")), isRed), 0);
}

TEST_F(MarkupPainterTest, RuleIsABlackLineBelowTheLine) {
    const QImage image = render(QStringLiteral("a<HR>b"));
    const int y = gh();
    for (int x = 10; x < 120; x += 10)
        EXPECT_TRUE(isDark(image.pixelColor(x, y))) << x;
}

TEST_F(MarkupPainterTest, GradientRunsFromTheFirstToTheSecondColour) {
    const QImage image = render(
        QStringLiteral("<P BGCOLOR=\"#FF0000\" BGCOLORTO=\"#0000FF\">&nbsp;</P>"), QSize(128, 40));
    const QColor left = image.pixelColor(0, 2);
    const QColor right = image.pixelColor(127, 2);
    EXPECT_EQ(left, QColor(255, 0, 0));
    EXPECT_EQ(right, QColor(0, 0, 255));
    const QColor middle = image.pixelColor(64, 2);
    EXPECT_NEAR(middle.red(), 127, 4);
    EXPECT_NEAR(middle.blue(), 128, 4);
}

TEST_F(MarkupPainterTest, RenderingLeavesThePaintersFontAndPenAsFound) {
    QImage image(50, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    const QFont font = Fonts::make("Tahoma", -30);
    painter.setFont(font);
    painter.setPen(Qt::green);
    MarkupRequest r = request(QStringLiteral("<B><FONT COLOR=\"clRed\">x"), 50);
    r.draw = true;
    RenderMarkup(&painter, r);
    EXPECT_EQ(painter.font(), font);
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
}

} // namespace
