// Field values through DbSetField/DbGetField and the record image layout of dbeng.h, before
// and after they have been stored.
#include "EngineFixture.h"

#include <cstring>

namespace {

const char *kAllTypes =
    "L,1;N,2,10,2;D,3;S,4,10;M,5;B,6;IM,7;V,8;CD,9;DB,10;IN,11;SH,12;T,13;TS,14;"
    "AI,15;R,16,4;CU,17;CI,20,10";

std::string hex(const uint8_t *p, size_t n) {
    static const char *digits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

struct Case {
    const char *field;
    const char *in;
    DBRESULT result;
    const char *image; // hex, little-endian layout of dbeng.h
    const char *out;   // DbGetField with DB_TRIM_RIGHT
};

void PrintTo(const Case &c, std::ostream *os) {
    *os << c.field << "=\"" << c.in << "\"";
}

class ConversionTest : public EngineTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ConversionTest, TextToImageAndBackBeforeAndAfterStoring) {
    const Case &c = GetParam();
    DBHANDLE t = create("All.TBL", kAllTypes);
    uint16_t f = field(t, c.field);
    uint32_t flen = 0;
    ASSERT_DB(DbGetFieldLength(t, f, &flen));
    ASSERT_DB(DbAppendRecord(t));
    DBRESULT rc = DbSetField(t, f, c.in, static_cast<uint32_t>(std::strlen(c.in)));
    ASSERT_EQ(rc, c.result) << lastErrorText();
    if (rc != 0) {
        // The failed value changed nothing: the field is still null.
        uint16_t empty = 0;
        ASSERT_DB(DbIsEmpty(t, f, &empty));
        EXPECT_EQ(empty, 1);
        return;
    }
    for (int stored = 0; stored < 2; ++stored) {
        if (stored) {
            ASSERT_DB(DbWriteRecord(t));
            uint32_t r = recno(t);
            ASSERT_DB(DbCloseTable(t));
            t = open("All.TBL");
            ASSERT_DB(DbGotoRecord(t, r));
        }
        uint8_t image[64];
        uint32_t len = sizeof image;
        ASSERT_DB(DbGetFieldRaw(t, f, image, &len));
        EXPECT_EQ(hex(image, len), c.image) << (stored ? "stored" : "pending");
        EXPECT_EQ(text(t, c.field), c.out) << (stored ? "stored" : "pending");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, ConversionTest,
    ::testing::Values(
        Case{"L", "T", 0, "54", "T"}, Case{"L", "f", 0, "46", "F"}, Case{"L", "", 0, "20", ""},
        Case{"L", "maybe", DBE_VALUE_INVALID, "", ""},
        Case{"N", "12.5", 0, "202020202031322e3530", "12.50"},
        Case{"N", "-3", 0, "20202020202d332e3030", "-3.00"},
        Case{"N", "", 0, "00000000000000000000", ""},
        Case{"N", "12345678.9", DBE_VALUE_INVALID, "", ""},
        Case{"N", "1x", DBE_VALUE_INVALID, "", ""},
        Case{"D", "12/31/2020", 0, "4f862500", "12/31/2020"}, Case{"D", "", 0, "00000000", ""},
        Case{"D", "02/30/2020", DBE_VALUE_INVALID, "", ""},
        Case{"CD", "1/2/2000", 0, "5a682500", "01/02/2000"},
        Case{"S", "abc", 0, "61626320202020202020", "abc"},
        Case{"S", "", 0, "00000000000000000000", ""},
        Case{"S", "0123456789ABC", DBE_VALUE_INVALID, "", ""},
        Case{"S", "\xe4\xf6\xfc", 0, "e4f6fc20202020202020", "\xe4\xf6\xfc"},
        Case{"CI", "AbC", 0, "41624320202020202020", "AbC"},
        Case{"DB", "1.5", 0, "000000000000f83f", "1.50"},
        Case{"CU", "-2.25", 0, "00000000000002c0", "-2.25"},
        Case{"DB", "", 0, "0000000000000000", ""}, Case{"DB", "1,5", DBE_VALUE_INVALID, "", ""},
        Case{"IN", "-42", 0, "d6ffffff", "-42"}, Case{"IN", "", 0, "00000080", ""},
        Case{"IN", "2147483648", DBE_VALUE_INVALID, "", ""}, Case{"SH", "7", 0, "0700", "7"},
        Case{"SH", "", 0, "0080", ""}, Case{"SH", "40000", DBE_VALUE_INVALID, "", ""},
        Case{"T", "13:45:10", 0, "7076f302", "13:45:10"},
        Case{"T", "00:00:00.250", 0, "fa000000", "00:00:00.250"}, Case{"T", "", 0, "ffffffff", ""},
        Case{"T", "25:00", DBE_VALUE_INVALID, "", ""},
        Case{"TS", "12/31/2020 13:45:10", 0, "4f8625007076f302", "12/31/2020 13:45:10"},
        Case{"TS", "", 0, "0000000000000000", ""}, Case{"R", "abcd", 0, "61626364", "abcd"},
        Case{"AI", "17", 0, "11000000", "17"}),
    [](const ::testing::TestParamInfo<Case> &info) {
        return std::string(info.param.field) + "_" + std::to_string(info.index);
    });

class LayoutTest : public EngineTest {};

TEST_F(LayoutTest, FieldsLieAtFixedOffsetsInTheRecordImage) {
    DBHANDLE t = create("All.TBL", kAllTypes);
    const uint32_t widths[] = {1, 10, 4, 10, 8, 8, 8, 8, 4, 8, 4, 2, 4, 8, 4, 4, 8, 10};
    const uint32_t lengths[] = {1, 10, 4, 10, 8, 8, 8, 8, 4, 8, 4, 2, 4, 8, 4, 4, 8, 10};
    uint16_t n = 0;
    ASSERT_DB(DbGetNumFields(t, &n));
    ASSERT_EQ(n, 18);
    uint32_t offset = 0;
    for (uint16_t f = 1; f <= n; ++f) {
        uint32_t off = 0, len = 0;
        ASSERT_DB(DbGetFieldOffset(t, f, &off));
        ASSERT_DB(DbGetFieldLength(t, f, &len));
        EXPECT_EQ(off, offset) << "field " << f;
        EXPECT_EQ(len, lengths[f - 1]) << "field " << f;
        offset += widths[f - 1];
    }
    uint32_t recordLength = 0;
    ASSERT_DB(DbGetRecordLength(t, &recordLength));
    EXPECT_EQ(recordLength, offset);

    // A new record is all nulls, each in its own form; the autoincrement value is given on write.
    ASSERT_DB(DbAppendRecord(t));
    std::vector<uint8_t> image(recordLength);
    uint32_t len = recordLength;
    ASSERT_DB(DbGetRecord(t, image.data(), &len));
    EXPECT_EQ(image[0], ' ');
    EXPECT_EQ(hex(&image[69], 4), "00000080"); // IN
    EXPECT_EQ(hex(&image[73], 2), "0080");     // SH
    EXPECT_EQ(hex(&image[75], 4), "ffffffff"); // T
    EXPECT_EQ(hex(&image[87], 4), "ffffffff"); // AI
    std::string memo = "Zeile 1\r\nZeile 2";
    ASSERT_DB(DbSetField(t, field(t, "M"), memo.c_str(), static_cast<uint32_t>(memo.size())));
    ASSERT_DB(DbWriteRecord(t));
    len = recordLength;
    ASSERT_DB(DbGetRecord(t, image.data(), &len));
    EXPECT_EQ(hex(&image[87], 4), "01000000") << "the first autoincrement value";
    uint32_t ref = 0, memoLen = 0;
    std::memcpy(&ref, &image[25], 4);
    std::memcpy(&memoLen, &image[29], 4);
    EXPECT_NE(ref, 0u);
    EXPECT_EQ(memoLen, memo.size());
    EXPECT_EQ(text(t, "M"), memo);
    char part[8];
    uint32_t partLen = 5;
    ASSERT_DB(DbGetBinary(t, field(t, "M"), 6, reinterpret_cast<uint8_t *>(part), &partLen));
    EXPECT_EQ(std::string(part, partLen), "1\r\nZe");

    // A buffer that is too small gets what fits and the length needed.
    uint8_t small[3];
    len = sizeof small;
    EXPECT_EQ(DbGetRecord(t, small, &len), DBE_INSUFFICIENT_BUFFER);
    EXPECT_EQ(len, recordLength);
    char shortText[3];
    uint32_t textLen = sizeof shortText;
    EXPECT_EQ(DbGetField(t, field(t, "M"), shortText, &textLen, 0), DBE_INSUFFICIENT_BUFFER);
    EXPECT_EQ(textLen, memo.size());
    EXPECT_STREQ(shortText, "Ze");
}

TEST_F(LayoutTest, StringsKeepTheirBlanksUnlessTrimmedAndEmptyIsZeroBytes) {
    DBHANDLE t = create("S.TBL", "S,4,6");
    add(t, {{"S", "ab"}});
    char buf[16];
    uint32_t len = sizeof buf;
    ASSERT_DB(DbGetField(t, 1, buf, &len, DB_TRIM_NONE));
    EXPECT_EQ(std::string(buf, len), "ab    ");
    uint8_t raw[6] = {'x', 'y', 0, 0, 0, 0};
    ASSERT_DB(DbSetFieldRaw(t, 1, raw, 6));
    ASSERT_DB(DbWriteRecord(t));
    EXPECT_EQ(text(t, "S"), "xy");
    ASSERT_DB(DbSetEmpty(t, 1));
    ASSERT_DB(DbWriteRecord(t));
    uint16_t empty = 0;
    ASSERT_DB(DbIsEmpty(t, 1, &empty));
    EXPECT_EQ(empty, 1);
    len = sizeof buf;
    ASSERT_DB(DbGetFieldRaw(t, 1, reinterpret_cast<uint8_t *>(buf), &len));
    EXPECT_EQ(hex(reinterpret_cast<uint8_t *>(buf), len), "000000000000");
}

struct FormatCase {
    const char *format;
    DBRESULT result;
    const char *in;  // a date in this format
    const char *out; // read back in this format
};

void PrintTo(const FormatCase &c, std::ostream *os) {
    *os << "\"" << c.format << "\"";
}

class DateFormatTest : public EngineTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    void TearDown() override {
        DbSetDateFormat("MM/DD/CCYY");
        EngineTest::TearDown();
    }
};

TEST_P(DateFormatTest, FormatIsCheckedAndUsedBothWays) {
    const FormatCase &c = GetParam();
    ASSERT_EQ(DbSetDateFormat(c.format), c.result) << lastErrorText();
    if (c.result != 0)
        return;
    DBHANDLE t = create("D.TBL", "D,3");
    add(t, {{"D", c.in}});
    EXPECT_EQ(text(t, "D"), c.out);
    ASSERT_DB(DbSetDateFormat("MM/DD/CCYY"));
    EXPECT_EQ(text(t, "D"), "12/31/2020");
}

INSTANTIATE_TEST_SUITE_P(Formats, DateFormatTest,
                         ::testing::Values(FormatCase{"DD.MM.YYYY", 0, "31.12.2020", "31.12.2020"},
                                           FormatCase{"dd.mm.ccyy", 0, "31.12.2020", "31.12.2020"},
                                           FormatCase{"DD.MM.YY", 0, "31.12.20", "31.12.20"},
                                           FormatCase{"YYYY-MM-DD", 0, "2020-12-31", "2020-12-31"},
                                           FormatCase{"DDMMYYYY", 0, "31122020", "31122020"},
                                           FormatCase{"D.M.YYYY", 0, "31.12.2020", "31.12.2020"},
                                           FormatCase{"DD.MM.YYYY  extra", 0, "31.12.2020",
                                                      "31.12.2020 "},
                                           FormatCase{"DD.MM.YYYX", DBE_INVALID_ARGUMENT, "", ""},
                                           FormatCase{"DD.MM", DBE_INVALID_ARGUMENT, "", ""},
                                           FormatCase{"DD.DD.YYYY", DBE_INVALID_ARGUMENT, "", ""},
                                           FormatCase{"", DBE_INVALID_ARGUMENT, "", ""}));

TEST_F(DateFormatTest, DefaultFormatAndDecimalsAreReported) {
    char buf[16];
    uint16_t len = sizeof buf;
    ASSERT_DB(DbGetDateFormat(buf, &len));
    EXPECT_STREQ(buf, "MM/DD/CCYY");
    ASSERT_DB(DbSetDecimals(3));
    DBHANDLE t = create("F.TBL", "F,10");
    add(t, {{"F", "2.5"}});
    EXPECT_EQ(text(t, "F"), "2.500");
    ASSERT_DB(DbSetDecimals(2));
    uint16_t d = 0;
    ASSERT_DB(DbGetDecimals(&d));
    EXPECT_EQ(d, 2);
    EXPECT_EQ(DbSetDecimals(40), DBE_INVALID_ARGUMENT);
}

} // namespace
