#include "platform/TextLines.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char *name;
    QByteArray bytes;
    QList<QByteArray> lines;
    bool stoppedAtNul;
};

void PrintTo(const SplitCase &c, std::ostream *os) {
    *os << c.name;
}

class Split : public ::testing::TestWithParam<SplitCase> {};

} // namespace

TEST_P(Split, EndsLinesAtCrLfCrOrLfAndTheTextAtNul) {
    const TextLines::TSplit split = TextLines::split(GetParam().bytes);
    EXPECT_EQ(split.Lines, GetParam().lines);
    EXPECT_EQ(split.StoppedAtNul, GetParam().stoppedAtNul);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Split,
    ::testing::Values(
        SplitCase{"empty", QByteArray(), {}, false},
        SplitCase{"crlf", "a\r\nb\r\n", {"a", "b"}, false},
        SplitCase{"lf", "a\nb\n", {"a", "b"}, false}, SplitCase{"cr", "a\rb\r", {"a", "b"}, false},
        SplitCase{"no_last_break", "a\r\nb", {"a", "b"}, false},
        SplitCase{"mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}, false},
        SplitCase{"empty_lines_stay", "\r\na\r\n\r\n\nb\r\n", {"", "a", "", "", "b"}, false},
        SplitCase{"lf_cr_is_two_breaks", "a\n\rb", {"a", "", "b"}, false},
        SplitCase{"break_alone", "\r\n", {""}, false},
        SplitCase{"nul_ends_the_text", QByteArray("a\r\nb\0c\r\nd\r\n", 11), {"a", "b"}, true},
        SplitCase{"nul_first", QByteArray("\0a\r\n", 4), {}, true},
        SplitCase{"bytes_kept", "\x80\x81\xFF;\x8D\r\n", {"\x80\x81\xFF;\x8D"}, false}),
    [](const ::testing::TestParamInfo<SplitCase> &info) { return std::string(info.param.name); });

TEST(TextLines, EveryLineEndsWithCrLfOnWriting) {
    EXPECT_EQ(TextLines::join({"a", "", "b"}), QByteArray("a\r\n\r\nb\r\n"));
    EXPECT_EQ(TextLines::join({}), QByteArray());
    EXPECT_EQ(TextLines::join(TextLines::split("x\ry\nz").Lines), QByteArray("x\r\ny\r\nz\r\n"));
}
