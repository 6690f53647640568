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

TEST(Cp1252, UtfEightOfEveryByteIsTheUtfEightOfItsCharacter) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QByteArray utf8("x");
    Cp1252::appendUtf8(utf8, all.constData(), all.size());
    EXPECT_EQ(utf8, "x" + Cp1252::toQString(all).toUtf8());
    QByteArray back("old");
    EXPECT_EQ(Cp1252::fromUtf8Exactly(utf8.mid(1), back).kind, Cp1252::Utf8Problem::None);
    EXPECT_EQ(back, all);
}

TEST(Cp1252, UtfEightThatCannotBeStoredExactlyIsNamedNotSubstituted) {
    struct Case {
        const char *utf8;
        Cp1252::Utf8Problem::Kind kind;
        qsizetype offset;
        char32_t character;
    };
    using P = Cp1252::Utf8Problem;
    const Case cases[] = {
        {"ok \xF0\x9F\x98\x80", P::NoCode, 3, 0x1F600}, // an emoji
        {"\xE4\xB8\xAD", P::NoCode, 0, 0x4E2D},         // CJK
        {"\xC5\x81odz", P::NoCode, 0, 0x141},           // "Ł"
        {"a\xEF\xBB\xBF"
         "b",
         P::NoCode, 1, 0xFEFF}, // a byte order mark inside
        {"Gr\xF6\xDF"
         "e",
         P::NotUtf8, 2, 0},                     // Latin-1, not UTF-8
        {"\xC0\x80", P::NotUtf8, 0, 0},         // an overlong zero
        {"\xED\xA0\x80", P::NotUtf8, 0, 0},     // a surrogate
        {"ab\xE2\x82", P::NotUtf8, 2, 0},       // cut off at the end
        {"\xF4\x90\x80\x80", P::NotUtf8, 0, 0}, // beyond U+10FFFF
        {"\x80", P::NotUtf8, 0, 0},             // a continuation byte alone
    };
    for (const Case &c : cases) {
        QByteArray out("old");
        const P problem = Cp1252::fromUtf8Exactly(QByteArrayView(c.utf8), out);
        EXPECT_EQ(problem.kind, c.kind) << c.utf8;
        EXPECT_EQ(problem.offset, c.offset) << c.utf8;
        EXPECT_EQ(problem.character, c.character) << c.utf8;
        EXPECT_TRUE(out.isEmpty()) << c.utf8;
        if (c.kind == P::NotUtf8) {
            EXPECT_EQ(problem.byte, uchar(c.utf8[c.offset])) << c.utf8;
        }
    }
    QByteArray out;
    EXPECT_EQ(Cp1252::fromUtf8Exactly("Stra\xC3\x9F"
                                      "e \xE2\x82\xAC",
                                      out)
                  .kind,
              P::None);
    EXPECT_EQ(out, QByteArray("Stra\xDF"
                              "e \x80"));
}
