#include "platform/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Cp1252::toQString(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(Cp1252::fromQString(text), all);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(Cp1252::fromQChar(Cp1252::toQChar(uchar(b))), char(b)) << b;
        EXPECT_TRUE(Cp1252::isRepresentable(text[b])) << b;
        EXPECT_EQ(text.indexOf(text[b]), b) << "two bytes read as the same character: " << b;
    }
}

TEST(Cp1252, TheFiveUnassignedBytesAreTheC1ControlsOfTheirValue) {
    for (uchar b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(Cp1252::toQChar(b).unicode(), b);
        EXPECT_EQ(Cp1252::fromQChar(QChar(b)), char(b));
    }
    // The other C1 controls have Windows-1252 characters on their bytes, so they have no code.
    EXPECT_EQ(Cp1252::fromQChar(QChar(0x80)), '?');
    EXPECT_EQ(Cp1252::fromQChar(QChar(0x9F)), '?');
}

TEST(Cp1252, MapsTheCharactersThatDifferFromLatin1) {
    EXPECT_EQ(Cp1252::toQString("\x80"), QStringLiteral("€"));
    EXPECT_EQ(Cp1252::toQString("\x89"), QStringLiteral("‰"));
    EXPECT_EQ(Cp1252::toQString("\xe4\xf6\xfc\xdf"), QStringLiteral("äöüß"));
    EXPECT_EQ(Cp1252::fromQString(QStringLiteral("Größe 5 €")), QByteArray("Gr\xf6\xdf"
                                                                           "e 5 \x80"));
}

TEST(Cp1252, CharactersWithoutACodeBecomeQuestionMarks) {
    EXPECT_EQ(Cp1252::fromQString(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
    EXPECT_FALSE(Cp1252::isRepresentable(QChar(0x4e2d)));
    EXPECT_TRUE(Cp1252::isRepresentable(QChar(0x20AC)));
}
