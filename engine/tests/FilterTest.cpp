// The filter expressions a lookup builds, the exact setting, both filters restricting what
// skipping and counting see, the 5005/5037 answers and DbEvalLogicalExpr.
#include "EngineFixture.h"

#include "engine/src/Text1252.h"

#include <algorithm>
#include <map>

namespace {

class FilterTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        t_ = create("F.TBL", "S,4,20;L,1;D,3;T,13;TS,14;I,11;F,10;M,5;CI,20,8");
        add(t_, {{"S", "Meier"},
                 {"L", "T"},
                 {"D", "05/01/2021"},
                 {"T", "08:30:00"},
                 {"TS", "05/01/2021 08:30:00"},
                 {"I", "7"},
                 {"F", "1.5"},
                 {"M", "Notiz"},
                 {"CI", "Abc"}});
        add(t_, {{"S", "Meier-Schulz"},
                 {"L", "F"},
                 {"D", "05/02/2021"},
                 {"I", "8"},
                 {"F", "0"},
                 {"CI", "ABC"}});
        add(t_, {{"S", "Say \"hi\""}, {"I", "-3"}, {"F", "2"}});
        add(t_, {{"S", ""}, {"L", "T"}, {"I", "7"}, {"CI", "x"}});
        add(t_, {{"S", "meier"}, {"I", "7"}});
    }
    void TearDown() override {
        DbSetExact(1);
        EngineTest::TearDown();
    }

    std::vector<uint32_t> visible() { return walk(t_); }

    DBHANDLE t_ = 0;
};

struct Expr {
    const char *expression;
    bool exact;
    std::vector<uint32_t> records;
};

void PrintTo(const Expr &e, std::ostream *os) {
    *os << e.expression << (e.exact ? " exact" : " not exact");
}

class FilterExpressionTest : public FilterTest, public ::testing::WithParamInterface<Expr> {};

TEST_P(FilterExpressionTest, RestrictsSkippingToMatchingRecords) {
    const Expr &e = GetParam();
    ASSERT_DB(DbSetExact(e.exact ? 1 : 0));
    ASSERT_DB(DbSetOptFilter(t_, e.expression, DB_RESOLVE_DYNAMIC));
    ASSERT_DB(DbSetExact(1)); // the setting in force when the filter was set counts
    EXPECT_EQ(visible(), e.records);
    std::vector<uint32_t> back = walk(t_, true);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, e.records);
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(t_, DB_RESPECT_FILTERS, &count));
    EXPECT_EQ(count, e.records.size());
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, FilterExpressionTest,
    ::testing::Values(
        Expr{"(S=\"Meier\")", true, {1}}, Expr{"(S=\"Meier\")", false, {1, 2}},
        Expr{"(S=\"Meier   \")", true, {1}}, Expr{"(S=\"\")", true, {4}},
        Expr{"(S=\"\")", false, {1, 2, 3, 4, 5}},
        Expr{"(S=\"Say \"+ Chr(34) + \"hi\"+ Chr(34) + \"\")", true, {3}},
        Expr{"(UPPER(S)=UPPER(\"MEIER\"))", true, {1, 5}},
        Expr{"(UPPER(S)=UPPER(\"mei\"))", false, {1, 2, 5}}, Expr{"(empty(S))", true, {4}},
        Expr{"(L=.TRUE.)", true, {1, 4}}, Expr{"(L=.FALSE.)", true, {2, 3, 5}},
        Expr{"(empty(L))", true, {3, 5}}, Expr{"(D=ctod(\"05/02/2021\"))", true, {2}},
        Expr{"(T=ctot(\"08:30:00\"))", true, {1}},
        Expr{"(TS=ctots(\"05/01/2021 08:30:00\"))", true, {1}}, Expr{"(I=7)", true, {1, 4, 5}},
        Expr{"(I=-3)", true, {3}}, Expr{"(F=1.5)", true, {1}}, Expr{"(empty(F))", true, {2, 4, 5}},
        Expr{"(I=7) AND (L=.TRUE.)", true, {1, 4}}, Expr{"(I=7) and (empty(L))", true, {5}},
        Expr{"(M=\"Notiz\")", true, {1}}, Expr{"(empty(M))", true, {2, 3, 4, 5}},
        Expr{"(CI=\"abc\")", true, {1, 2}}, Expr{"(S=\"Nobody\")", true, {}}));

TEST_F(FilterTest, BothFiltersApplyTogetherAndAreReportedAsSetOrNot) {
    char buf[64];
    uint16_t len = sizeof buf;
    EXPECT_EQ(DbGetFilter(t_, buf, &len), DBE_NO_FILTER);
    len = sizeof buf;
    EXPECT_EQ(DbGetOptFilter(t_, buf, &len), DBE_NO_FILTER);
    ASSERT_DB(DbSetFilter(t_, "(I=7)"));
    ASSERT_DB(DbSetOptFilter(t_, "(L=.TRUE.)", DB_RESOLVE_DYNAMIC));
    EXPECT_EQ(visible(), (std::vector<uint32_t>{1, 4}));
    len = 0;
    EXPECT_EQ(DbGetFilter(t_, nullptr, &len), DBE_INSUFFICIENT_BUFFER) << "a zero buffer only asks";
    len = 3;
    EXPECT_EQ(DbGetOptFilter(t_, buf, &len), DBE_INSUFFICIENT_BUFFER);
    len = sizeof buf;
    ASSERT_DB(DbGetOptFilter(t_, buf, &len));
    EXPECT_STREQ(buf, "(L=.TRUE.)");
    ASSERT_DB(DbClearOptFilter(t_));
    EXPECT_EQ(visible(), (std::vector<uint32_t>{1, 4, 5}));
    // A record reached directly can be outside the filter: it is then not visible.
    ASSERT_DB(DbGotoRecord(t_, 2));
    uint16_t vis = 1;
    ASSERT_DB(DbIsRecordVisible(t_, &vis));
    EXPECT_EQ(vis, 0);
    ASSERT_DB(DbGotoRecord(t_, 5));
    ASSERT_DB(DbIsRecordVisible(t_, &vis));
    EXPECT_EQ(vis, 1);
    ASSERT_DB(DbClearFilter(t_));
    len = sizeof buf;
    EXPECT_EQ(DbGetFilter(t_, buf, &len), DBE_NO_FILTER);
    EXPECT_EQ(visible().size(), 5u);
}

TEST_F(FilterTest, EvaluatesAnExpressionOnTheCurrentRecord) {
    ASSERT_DB(DbGotoRecord(t_, 2));
    uint16_t result = 9;
    ASSERT_DB(DbEvalLogicalExpr(t_, "(S=\"Meier-Schulz\") AND (I=8)", &result));
    EXPECT_EQ(result, 1);
    ASSERT_DB(DbEvalLogicalExpr(t_, "(S=\"Meier\")", &result));
    EXPECT_EQ(result, 0) << "exact is on";
    ASSERT_DB(DbSetExact(0));
    ASSERT_DB(DbEvalLogicalExpr(t_, "(S=\"Meier\")", &result));
    EXPECT_EQ(result, 1);
    ASSERT_DB(DbGotoBOF(t_));
    EXPECT_EQ(DbEvalLogicalExpr(t_, "(I=8)", &result), DBE_NO_CURRENT_RECORD);
}

TEST_F(FilterTest, AnythingElseIsRefusedWithATextAndChangesNothing) {
    ASSERT_DB(DbSetFilter(t_, "(I=7)"));
    const char *bad[] = {"(I>7)",
                         "(I=7) OR (I=8)",
                         "(NOPE=1)",
                         "(S=\"open)",
                         "(D=ctod(\"31.12.2020\"))",
                         "(I=ctod(\"05/01/2021\"))",
                         "(L=1.5.)",
                         "(UPPER(I)=UPPER(\"x\"))",
                         "",
                         "(S=\"a\") AND",
                         "(S=\"a\"+ Chr(35) + \"b\")",
                         "(I=\"abc\")"};
    for (const char *e : bad) {
        if (!*e)
            continue;
        EXPECT_EQ(DbSetFilter(t_, e), DBE_EXPRESSION) << e;
        uint32_t code = 0;
        char text[DB_MAX_ERROR_TEXT + 1];
        uint16_t len = sizeof text;
        DbGetLastError(&code, text, &len);
        EXPECT_EQ(code, DBE_EXPRESSION);
        EXPECT_NE(std::string(text).find("F.TBL"), std::string::npos) << text;
    }
    char buf[32];
    uint16_t len = sizeof buf;
    ASSERT_DB(DbGetFilter(t_, buf, &len));
    EXPECT_STREQ(buf, "(I=7)") << "a refused filter leaves the old one";
}

// UPPER() compares every byte a text can hold (all but NUL) as the engine's case table says,
// on either server: the remote server compares on the server, with SQL made from that table.
TEST_F(FilterTest, UpperFollowsTheCaseTableOnEveryByte) {
    DBHANDLE u = create("U.TBL", "S,4,3;M,5;B,6");
    // Record b holds "a", the byte b, "a" in both fields.
    for (int b = 1; b < 256; ++b) {
        const std::string v{'a', static_cast<char>(b), 'a'};
        ASSERT_EQ(add(u, {{"S", v}, {"M", v}}), static_cast<uint32_t>(b));
    }
    std::map<int, std::vector<uint32_t>> found; // by the byte of the probe
    for (int b = 1; b < 256; ++b) {
        std::vector<uint32_t> expected;
        for (int r = 1; r < 256; ++r)
            if (dbeng::upper1252(static_cast<unsigned char>(r)) ==
                dbeng::upper1252(static_cast<unsigned char>(b)))
                expected.push_back(static_cast<uint32_t>(r));
        // Exact: the probe "A", byte b, "A"; exact off: "A", byte b, which the values begin
        // with. A quote joins in as Chr(34).
        for (const bool exact : {true, false}) {
            const std::string tail = exact ? "A" : "";
            const std::string probe =
                b == '"' ? "\"A\"+ Chr(34) + \"" + tail + "\""
                         : "\"A" + std::string(1, static_cast<char>(b)) + tail + "\"";
            ASSERT_DB(DbSetExact(exact ? 1 : 0));
            for (const char *field : {"S", "M"}) {
                const std::string filter =
                    std::string("(UPPER(") + field + ")=UPPER(" + probe + "))";
                ASSERT_DB(DbSetFilter(u, filter.c_str()));
                const std::vector<uint32_t> seen = walk(u);
                EXPECT_EQ(seen, expected) << filter << ", byte " << b;
                found[b] = seen;
            }
        }
    }
    // The table itself, where Windows-1252 has its letters beyond ASCII: a letter and its
    // capital find each other, and a letter without a capital only itself.
    const std::vector<std::pair<int, std::vector<uint32_t>>> letters = {
        {'q', {'Q', 'q'}},    {0xE4, {0xC4, 0xE4}}, {0xC9, {0xC9, 0xE9}}, {0x9A, {0x8A, 0x9A}},
        {0x9C, {0x8C, 0x9C}}, {0xFF, {0x9F, 0xFF}}, {0xDF, {0xDF}},       {0xB5, {0xB5}},
        {0xF7, {0xF7}},       {0xD7, {0xD7}},       {'1', {'1'}}};
    for (const auto &[b, records] : letters)
        EXPECT_EQ(found[b], records) << "byte " << b;

    // A binary value that holds a NUL byte still compares (the remote server cannot read it
    // as text).
    ASSERT_DB(DbClearFilter(u));
    ASSERT_DB(DbAppendRecord(u));
    const uint8_t bytes[] = {'x', 0, 0xE4};
    ASSERT_DB(DbSetBinary(u, field(u, "B"), bytes, sizeof bytes));
    ASSERT_DB(DbWriteRecord(u));
    const uint32_t withNul = recno(u);
    ASSERT_DB(DbSetExact(0));
    ASSERT_DB(DbSetFilter(u, "(UPPER(B)=UPPER(\"X\"))"));
    EXPECT_EQ(walk(u), std::vector<uint32_t>{withNul});
    ASSERT_DB(DbSetExact(1));
    ASSERT_DB(DbSetFilter(u, "(UPPER(B)=UPPER(\"X\"))"));
    EXPECT_EQ(walk(u), std::vector<uint32_t>{});
}

} // namespace
