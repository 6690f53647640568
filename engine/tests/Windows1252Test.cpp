// Texts cross the interface as Windows-1252: every byte comes back as it went in, also where
// the engine quotes it in a message (which it composes in UTF-8).
#include "EngineFixture.h"

#include "Windows1252.h"

namespace {

TEST_F(EngineTest, EveryByteOfANameComesBackUnchangedInTheErrorText) {
    DBHANDLE t = create("Setup.TBL", "IDENT,11");
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    uint16_t f = 0;
    EXPECT_EQ(DbGetFieldNum(t, all.c_str(), &f), DBE_INVALID_FIELD);
    const std::string text = lastErrorText();
    EXPECT_NE(text.find("hat kein Feld \"" + all + "\""), std::string::npos) << text;
}

TEST(Windows1252, EveryByteHasACharacterOfItsOwnThatGivesTheByteBack) {
    for (int b = 0; b < 256; ++b) {
        const char16_t c = windows1252::toUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(windows1252::fromUnicode(c), b) << b;
    }
    // The bytes Windows-1252 leaves unassigned are the C1 controls of their value.
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(windows1252::toUnicode(static_cast<unsigned char>(b)), char16_t(b));
    EXPECT_EQ(windows1252::toUnicode(0x80), u'\u20AC');
    EXPECT_EQ(windows1252::fromUnicode(0x80), -1) << "0x80 is the euro sign";
    EXPECT_EQ(windows1252::fromUnicode(0x0142), -1) << "no code for \"ł\"";
}

} // namespace
