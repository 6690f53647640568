#include "platform/Colors.h"

#include <gtest/gtest.h>

TEST(Colors, BlueIsInTheHighByte) {
    // 16744576 is red 128, green 128, blue 255.
    EXPECT_EQ(rgbColor(128, 128, 255), 16744576);
    EXPECT_EQ(Colors::toQColor(16744576), QColor(128, 128, 255));
    EXPECT_EQ(Colors::fromQColor(QColor(255, 225, 121)), 7987711);
}

TEST(Colors, SystemColorsResolveThroughTheClassicTable) {
    EXPECT_TRUE(isSystemColor(clBtnFace));
    EXPECT_EQ(quint32(clBtnFace), 0x8000000Fu);
    EXPECT_EQ(Colors::toRGB(clBtnFace), rgbColor(212, 208, 200));
    EXPECT_EQ(Colors::toRGB(clWindow), clWhite);
    EXPECT_EQ(Colors::toRGB(cl3DDkShadow), rgbColor(64, 64, 64));
    EXPECT_EQ(Colors::toRGB(clRed), clRed);
    EXPECT_EQ(Colors::systemColorRGB(99), clBlack);
}

TEST(Colors, IdentifiersParseWithoutRegardToCase) {
    EXPECT_EQ(Colors::identToColor(QStringLiteral("clbtnface")), clBtnFace);
    EXPECT_EQ(Colors::identToColor(QStringLiteral("CLWHITE")), clWhite);
    EXPECT_FALSE(Colors::identToColor(QStringLiteral("clNoSuchColour")));
    EXPECT_EQ(Colors::colorToIdent(clBtnFace), QStringLiteral("clBtnFace"));
}

TEST(Colors, StringsAreIdentifiersOrNumbers) {
    EXPECT_EQ(Colors::stringToColor(QStringLiteral("clRed")), clRed);
    EXPECT_EQ(Colors::stringToColor(QStringLiteral("16744576")), 16744576);
    EXPECT_EQ(Colors::stringToColor(QStringLiteral("$FF8080")), 16744576);
    EXPECT_EQ(Colors::stringToColor(QStringLiteral("$8000000F")), clBtnFace);
    EXPECT_FALSE(Colors::stringToColor(QStringLiteral("rot")));
}
