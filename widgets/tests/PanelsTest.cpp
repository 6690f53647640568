#include "widgets/TFlatPanel.h"
#include "widgets/TPanel.h"

#include "platform/ui/Align.h"
#include "platform/ui/TCustomForm.h"
#include "widgets/ButtonGlyphs.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatProgressBar.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

TEST(TPanel, DefaultsAndSchemePropertiesByName) {
    TPanel panel;
    EXPECT_EQ(panel.Color(), clBtnFace);
    EXPECT_EQ(panel.BevelOuter(), bvRaised);
    EXPECT_EQ(panel.BevelInner(), bvNone);
    EXPECT_EQ(panel.BevelWidth(), 1);
    EXPECT_EQ(panel.BorderWidth(), 0);
    // The colour scheme sets bevels as plain numbers.
    EXPECT_TRUE(panel.setProperty("BevelOuter", 0));
    EXPECT_EQ(panel.BevelOuter(), bvNone);
    EXPECT_TRUE(panel.setProperty("BevelInner", 1));
    EXPECT_EQ(panel.BevelInner(), bvLowered);
    EXPECT_TRUE(panel.setProperty("Color", int(clWhite)));
    EXPECT_EQ(panel.Color(), clWhite);
    panel.show();
    EXPECT_TRUE(panel.setProperty("Visible", 0));
    EXPECT_TRUE(panel.isHidden());
}

TEST(TPanel, ChildrenAreLaidOutInsideBevelsAndBorder) {
    TPanel panel;
    panel.resize(200, 100);
    EXPECT_EQ(panel.contentsRect(), QRect(1, 1, 198, 98)) << "the raised outer bevel";
    panel.SetBevelOuter(bvNone);
    EXPECT_EQ(panel.contentsRect(), panel.rect());
    panel.SetBorderWidth(6);
    panel.SetBevelInner(bvLowered);
    panel.SetBevelWidth(2);
    EXPECT_EQ(panel.contentsRect(), QRect(8, 8, 184, 84));
    auto *child = new QWidget(&panel);
    SetAlign(child, alTop);
    child->resize(10, 20);
    ArrangeAligned(&panel);
    EXPECT_EQ(child->geometry(), QRect(8, 8, 184, 20));
}

TEST(TPanel, PaintsBevelsAroundItsColour) {
    TPanel panel;
    panel.resize(40, 20);
    panel.SetColor(clWhite);
    QImage shot(panel.size(), QImage::Format_RGB32);
    panel.render(&shot);
    EXPECT_EQ(QColor(shot.pixel(0, 0)), Colors::toQColor(clBtnHighlight));
    EXPECT_EQ(QColor(shot.pixel(39, 19)), Colors::toQColor(clBtnShadow));
    EXPECT_EQ(QColor(shot.pixel(20, 10)), QColor(Qt::white));
    panel.SetBevelOuter(bvLowered);
    panel.render(&shot);
    EXPECT_EQ(QColor(shot.pixel(0, 0)), Colors::toQColor(clBtnShadow));
}

TEST(TPanel, ChildrenFollowingTheirParentTakeItsColour) {
    TForm form;
    form.SetColor(clWhite);
    auto *panel = new TPanel(&form);
    EXPECT_EQ(panel->Color(), clBtnFace) << "a panel has its own colour";
    auto *button = new TFlatButton(panel);
    auto *bar = new TFlatProgressBar(panel);
    auto *flat = new TFlatPanel(panel);
    EXPECT_EQ(button->Color(), clBtnFace);
    EXPECT_EQ(bar->Color(), clBtnFace);
    EXPECT_EQ(flat->Color(), clBtnFace);
    panel->SetColor(rgbColor(1, 2, 3));
    EXPECT_EQ(button->Color(), rgbColor(1, 2, 3));
    EXPECT_EQ(bar->Color(), rgbColor(1, 2, 3));
    EXPECT_EQ(flat->Color(), rgbColor(1, 2, 3));
    auto *grandchild = new TFlatButton(flat);
    EXPECT_EQ(grandchild->Color(), rgbColor(1, 2, 3));
    panel->SetColor(rgbColor(9, 9, 9));
    EXPECT_EQ(grandchild->Color(), rgbColor(9, 9, 9)) << "through a panel that follows too";
    panel->SetParentColor(true);
    EXPECT_EQ(panel->Color(), clWhite);
    EXPECT_EQ(button->Color(), clWhite);
}

TEST(TFlatPanel, PropertiesByNameAndFrame) {
    TFlatPanel panel;
    panel.resize(40, 20);
    EXPECT_TRUE(panel.setProperty("Color", int(clWhite)));
    EXPECT_TRUE(panel.setProperty("ColorHighLight", int(clRed)));
    EXPECT_TRUE(panel.setProperty("ColorShadow", int(clBlue)));
    EXPECT_FALSE(panel.ParentColor());
    QImage shot(panel.size(), QImage::Format_RGB32);
    panel.render(&shot);
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(shot.pixel(39, 19)), QColor(Qt::blue));
    EXPECT_EQ(QColor(shot.pixel(20, 10)), QColor(Qt::white));
    EXPECT_EQ(panel.contentsRect(), QRect(1, 1, 38, 18));
}

TEST(ButtonGlyphs, PicturesAreCompiledIn) {
    struct Expect {
        const char *name;
        QSize size;
    };
    for (const Expect &e :
         {Expect{ButtonGlyphs::Check, {16, 16}}, Expect{ButtonGlyphs::Edit, {16, 16}},
          Expect{ButtonGlyphs::Delete, {16, 16}}, Expect{ButtonGlyphs::Close7, {7, 7}},
          Expect{ButtonGlyphs::Yes, {16, 16}}, Expect{ButtonGlyphs::No, {16, 16}},
          Expect{ButtonGlyphs::Accept, {16, 16}}, Expect{ButtonGlyphs::Cancel, {16, 16}},
          Expect{ButtonGlyphs::Close, {16, 16}}, Expect{ButtonGlyphs::Help, {32, 16}}}) {
        const QImage image = ButtonGlyphs::load(QString::fromLatin1(e.name));
        EXPECT_EQ(image.size(), e.size) << e.name;
    }
    EXPECT_TRUE(ButtonGlyphs::load(QStringLiteral("nonexistent")).isNull());
    TFlatButton help;
    help.SetGlyph(ButtonGlyphs::load(ButtonGlyphs::Help));
    EXPECT_EQ(help.NumGlyphs(), 2) << "the help picture has a disabled image";
    EXPECT_EQ(ButtonGlyphs::load(ButtonGlyphs::Close7).depth(), 1) << "a one-bit picture";
}

} // namespace
