// Markup with extreme attribute values, laid out and painted under the address and
// undefined-behaviour sanitizers (this program is built with them): no overflow anywhere, and
// every value kept within what a label can show.
#include "feedback/MarkupAttributes.h"
#include "feedback/MarkupLayout.h"
#include "feedback/MarkupPainter.h"
#include "feedback/TPictureContainer.h"
#include "platform/ui/Fonts.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using MarkupAttributes::Quantity;

const int kMaxDistance = MarkupAttributes::maximum(Quantity::Distance);

class MarkupHostileValues : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Fonts::setup(); }
    void SetUp() override {
        QPixmap picture(16, 16);
        picture.fill(Qt::red);
        pictures.Add(QStringLiteral("P"), picture);
    }

    MarkupRequest request(const QString &text, MarkupHost host = MarkupHost::MarkupLabel) {
        MarkupRequest r;
        r.text = text;
        r.rect = QRect(0, 0, 300, 120);
        r.font = Fonts::make(QStringLiteral("Tahoma"), -11);
        r.host = host;
        r.pictures.container = &pictures;
        return r;
    }
    // Lays the text out, measuring and drawing, and paints it.
    MarkupLayout render(const MarkupRequest &r) {
        MarkupRequest measuring = r;
        measuring.draw = false;
        LayoutMarkup(measuring);
        const MarkupLayout layout = LayoutMarkup(r);
        QImage image(r.rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintMarkup(painter, layout);
        return layout;
    }
    template <typename Item>
    static const Item *first(const MarkupLayout &layout) {
        for (const MarkupItem &item : layout.items) {
            if (const auto *found = std::get_if<Item>(&item))
                return found;
        }
        return nullptr;
    }

    TPictureContainer pictures;
};

TEST_F(MarkupHostileValues, ExtremeAttributesLayAndPaintWithoutOverflow) {
    const QString big = QStringLiteral("2147483647");
    const QString huge = QStringLiteral("99999999999999999999999999");
    const QString texts[] = {
        QStringLiteral("<IND X=\"%1\">Äpfel<IND X=\"%1\">Öl W W W").arg(big),
        QStringLiteral("<IND X=\"-2147483648\">x<IND X=\"%1\">y").arg(huge),
        QStringLiteral("<R A=\"-2147483648\">gedreht</R> und <R A=\"%1\">wieder</R>").arg(big),
        QStringLiteral("<R A=\"%1\">x<R A=\"-%1\">y").arg(huge),
        QStringLiteral("<FONT SIZE=\"%1\">Ä</FONT><FONT SIZE=%2>g</FONT>").arg(big, huge),
        QStringLiteral("<P INDENT=\"%1\">eingerückt<BR>noch einmal</P>").arg(big),
        QStringLiteral("<P ALIGN=\"RIGHT\" INDENT=\"%1\">rechts<P ALIGN=\"CENTER\">mitte").arg(big),
        QStringLiteral("<IMG SRC=\"P\" WIDTH=\"%1\" HEIGHT=\"%1\" ALIGN=\"TOP\">Bild").arg(big),
        QStringLiteral("<IMG SRC=\"P\" WIDTH=\"%1\" HEIGHT=\"1\" ALIGN=\"MIDDLE\">").arg(huge),
        QStringLiteral("<E><SH><SUP><FONT SIZE=\"%1\" BGCOLOR=\"clRed\">Fehlr</FONT></SUP>"
                       "<SUB>tief</SUB></SH></E>")
            .arg(big),
        QStringLiteral("<UL><LI><FONT SIZE=\"%1\">Punkt</FONT><UL><LI>zwei</UL></UL>").arg(big),
        QStringLiteral("<A HREF=\"x\"><IMG SRC=\"P\" WIDTH=\"%1\" HEIGHT=\"%1\"></A>").arg(big),
        QStringLiteral("<P BGCOLOR=\"clRed\" BGCOLORTO=\"clBlue\" INDENT=\"%1\">Verlauf").arg(big),
    };
    // Many of them on one line add up.
    QString repeated;
    for (int i = 0; i < 200; ++i)
        repeated +=
            QStringLiteral("<IMG SRC=\"P\" WIDTH=\"%1\" HEIGHT=\"%1\"><IND X=\"%1\">").arg(big);

    for (const MarkupHost host : {MarkupHost::MarkupLabel, MarkupHost::Sbhtm}) {
        for (const bool wrap : {true, false}) {
            for (const QString &text :
                 QList<QString>(std::begin(texts), std::end(texts)) + QList<QString>{repeated}) {
                SCOPED_TRACE(text.left(80).toStdString());
                MarkupRequest r = request(text, host);
                r.wordWrap = wrap;
                r.elide = !wrap;
                r.hover = true;
                r.hoverLink = 1;
                const MarkupLayout layout = render(r);
                EXPECT_GE(layout.maxWidth, 0);
                EXPECT_GT(layout.textHeight, 0);
                for (const MarkupLine &line : layout.lines) {
                    EXPECT_LE(std::abs(qint64(line.x)), 1 << 24);
                    EXPECT_LE(qint64(line.width), 1 << 24);
                }
            }
        }
    }
}

TEST_F(MarkupHostileValues, ValuesAreKeptWithinWhatALabelCanShow) {
    const int left = 1; // the layout starts one pixel in
    {
        const MarkupLayout l = render(request(QStringLiteral("<IND X=\"2147483647\">x")));
        ASSERT_NE(first<MarkupRunItem>(l), nullptr);
        EXPECT_EQ(first<MarkupRunItem>(l)->x, left + kMaxDistance);
        const MarkupLayout plain = render(request(QStringLiteral("<IND X=\" 12 \">x")));
        EXPECT_EQ(first<MarkupRunItem>(plain)->x, left + 12) << "ordinary values are unchanged";
    }
    for (const auto &[angle, expected] :
         {std::pair{"-2147483648", -360.0}, {"2147483647", 360.0}, {"-45", -45.0}, {"30", 30.0}}) {
        const MarkupLayout l =
            render(request(QStringLiteral("<R A=\"%1\">x").arg(QLatin1String(angle))));
        ASSERT_NE(first<MarkupRunItem>(l), nullptr) << angle;
        EXPECT_EQ(first<MarkupRunItem>(l)->angle, expected) << angle;
    }
    for (const auto &[size, pixels] :
         {std::pair{"2147483647", std::lround(300 * 96 / 72.0)}, {"3", 16L}, {"9", 12L}}) {
        const MarkupLayout l =
            render(request(QStringLiteral("<FONT SIZE=\"%1\">x").arg(QLatin1String(size))));
        ASSERT_NE(first<MarkupRunItem>(l), nullptr) << size;
        EXPECT_EQ(first<MarkupRunItem>(l)->font.pixelSize(), pixels) << size;
    }
    {
        const MarkupLayout l = render(request(QStringLiteral("<P INDENT=\"99999999999\">x")));
        ASSERT_FALSE(l.lines.isEmpty());
        EXPECT_EQ(l.lines.first().x, left + kMaxDistance);
    }
    {
        const MarkupLayout l = render(
            request(QStringLiteral("<IMG SRC=\"P\" WIDTH=\"2147483647\" HEIGHT=\"2147483647\">")));
        ASSERT_NE(first<MarkupPictureItem>(l), nullptr);
        EXPECT_EQ(first<MarkupPictureItem>(l)->rect.size(), QSize(kMaxDistance, kMaxDistance));
    }
}

TEST(MarkupAttributeNumbers, ReadAndLimited) {
    using MarkupAttributes::leadingNumber;
    using MarkupAttributes::wholeNumber;
    EXPECT_EQ(leadingNumber(QStringLiteral("12px"), 0, Quantity::Distance), 12);
    EXPECT_EQ(leadingNumber(QStringLiteral("px"), 0, Quantity::Distance), 0);
    EXPECT_EQ(leadingNumber(QStringLiteral("=\"2147483648\""), 2, Quantity::Distance),
              kMaxDistance);
    EXPECT_EQ(leadingNumber(QStringLiteral("-7"), 0, Quantity::Distance), 0) << "no sign here";
    EXPECT_EQ(leadingNumber(QStringLiteral("-7"), 0, Quantity::Angle, true), -7);
    EXPECT_EQ(leadingNumber(QStringLiteral("-99999999999999999999"), 0, Quantity::Angle, true),
              -360);
    EXPECT_EQ(leadingNumber(QStringLiteral("400"), 0, Quantity::FontPoints), 300);
    EXPECT_EQ(leadingNumber(QStringLiteral("5"), 7, Quantity::Distance), 0) << "past the end";

    EXPECT_EQ(wholeNumber(QStringLiteral(" +7 "), Quantity::Distance), 7);
    EXPECT_EQ(wholeNumber(QStringLiteral("2147483648"), Quantity::Distance), kMaxDistance);
    EXPECT_EQ(wholeNumber(QStringLiteral("-3"), Quantity::Angle), -3);
    for (const char *notANumber : {"", "-", "+", "12a", "1 2", "x"})
        EXPECT_EQ(wholeNumber(QLatin1String(notANumber), Quantity::Distance), std::nullopt)
            << notANumber;
}

} // namespace
