// A value is stored exactly as given or refused with a text that names the field and the
// reason: the engine never cuts a value to its field, never stops at a zero byte inside it and
// never stores a byte that is no Windows-1252 character in a string field.
#include "EngineFixture.h"

#include <cstring>

namespace {

const char *kFields = "S,4,10;CI,20,10;M,5;R,16,4;IN,11";

struct Refused {
    const char *field;
    std::string value;
    bool raw;           // DbSetFieldRaw instead of DbSetField
    const char *reason; // part of the error text
};

void PrintTo(const Refused &c, std::ostream *os) {
    *os << c.field << (c.raw ? " raw" : "") << " (" << c.value.size() << " bytes)";
}

class RefusedValueTest : public EngineTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedValueTest, IsRefusedNamingFieldAndReasonAndChangesNothing) {
    const Refused &c = GetParam();
    DBHANDLE t = create("X.TBL", kFields);
    add(t, {{c.field, c.field == std::string("IN") ? "7" : "ok"}});
    const std::string before = text(t, c.field);
    const uint16_t f = field(t, c.field);
    const uint32_t len = static_cast<uint32_t>(c.value.size());
    DBRESULT rc = c.raw
                      ? DbSetFieldRaw(t, f, reinterpret_cast<const uint8_t *>(c.value.data()), len)
                      : DbSetField(t, f, c.value.data(), len);
    EXPECT_EQ(rc, DBE_VALUE_INVALID) << lastErrorText();
    const std::string error = lastErrorText();
    EXPECT_NE(error.find("\"" + std::string(c.field) + "\""), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_NE(error.find("X.TBL"), std::string::npos) << error;
    // Nothing of it reached the record, pending or stored.
    EXPECT_EQ(text(t, c.field), before);
    DbWriteRecord(t);
    EXPECT_EQ(text(t, c.field), before);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Values, RefusedValueTest,
    ::testing::Values(Refused{"S", "0123456789A", false, "11 Zeichen lang, das Feld fasst 10"},
                      Refused{"CI", std::string(1000, 'x'), false,
                              "1000 Zeichen lang, das Feld fasst 10"},
                      Refused{"S", "0123456789AB", true, "12 Zeichen lang, das Feld fasst 10"},
                      Refused{"R", "abcde", false, "5 Bytes lang, das Feld fasst 4"},
                      Refused{"R", "abcde", true, "5 Bytes lang, das Feld fasst 4"},
                      Refused{"S", "AB\0CD"s, false, "Nullzeichen"},
                      Refused{"S", "AB\0CD     "s, true, "Nullzeichen"},
                      Refused{"M", "Zeile\0Rest"s, false, "Nullzeichen"},
                      Refused{"IN",
                              "12\0"
                              "34"s,
                              false, "Nullzeichen"}),
    [](const ::testing::TestParamInfo<Refused> &info) {
        return std::string(info.param.field) + (info.param.raw ? "_raw_" : "_") +
               std::to_string(info.index);
    });

class ExactValueTest : public EngineTest {};

TEST_F(ExactValueTest, PaddingIsNoPartOfTheValueAndIsAccepted) {
    DBHANDLE t = create("X.TBL", kFields);
    ASSERT_DB(DbAppendRecord(t));
    // Blanks beyond a string field and zero bytes after the value are padding.
    const std::string padded = "0123456789" + std::string(40, ' ');
    ASSERT_DB(DbSetField(t, field(t, "S"), padded.data(), static_cast<uint32_t>(padded.size())));
    const std::string zeros = "AB\0\0\0 "s;
    ASSERT_DB(DbSetField(t, field(t, "CI"), zeros.data(), static_cast<uint32_t>(zeros.size())));
    // A raw field takes every byte, zero bytes inside too.
    const std::string bytes = "a\0b\0\0\0"s;
    ASSERT_DB(DbSetField(t, field(t, "R"), bytes.data(), static_cast<uint32_t>(bytes.size())));
    const std::string memo = "Zeile 1\r\n\xc4\xd6\xdc \x80";
    ASSERT_DB(DbSetField(t, field(t, "M"), memo.data(), static_cast<uint32_t>(memo.size())));
    ASSERT_DB(DbWriteRecord(t));
    EXPECT_EQ(text(t, "S"), "0123456789");
    EXPECT_EQ(text(t, "CI"), "AB");
    EXPECT_EQ(text(t, "M"), memo);
    uint8_t raw[4];
    uint32_t len = sizeof raw;
    ASSERT_DB(DbGetFieldRaw(t, field(t, "R"), raw, &len));
    EXPECT_EQ(std::string(reinterpret_cast<char *>(raw), len), "a\0b\0"s);
}

TEST_F(ExactValueTest, KeysLongerThanTheirFieldAreRefusedNotCutToAMatch) {
    DBHANDLE t = create("X.TBL", kFields);
    add(t, {{"S", "0123456789"}});
    DBHANDLE ix = index(t, "S", "S");
    // Cut to ten characters, either key would find the record that does not carry it.
    const std::string longer = "0123456789X";
    ASSERT_DB(DbInitRawKey(ix));
    EXPECT_EQ(DbSetField(t, field(t, "S"), longer.data(), static_cast<uint32_t>(longer.size())),
              DBE_VALUE_INVALID);
    uint8_t key[DB_MAX_KEY_LENGTH];
    uint16_t keyLen = sizeof key;
    DbBuildRawKey(ix, key, &keyLen);
    uint16_t found = 9;
    EXPECT_EQ(DbSeek(ix, reinterpret_cast<const uint8_t *>(longer.data()),
                     static_cast<uint16_t>(longer.size()), DB_KEY_TEXT, DB_SEEK_HARD, &found),
              DBE_VALUE_INVALID);
    EXPECT_EQ(found, 0);
    EXPECT_NE(lastErrorText().find("11 Zeichen lang"), std::string::npos) << lastErrorText();
}

} // namespace
