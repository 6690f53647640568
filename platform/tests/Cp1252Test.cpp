#include "platform/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(Cp1252::fromQString(Cp1252::toQString(all)), all);
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
