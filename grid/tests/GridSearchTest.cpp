#include "grid/GridSearch.h"

#include "data/DataSet.h"
#include "data/Field.h"
#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Result = GridSearch::Result;

TEST(GridSearchText, TypedCharactersFromTheAsteriskOnAndTheSpaceExtendTheText) {
    GridSearch search;
    EXPECT_EQ(search.Type(u'a'), Result::Changed);
    EXPECT_EQ(search.Type(u' '), Result::Changed);
    EXPECT_EQ(search.Type(u'*'), Result::Changed);
    EXPECT_EQ(search.Type(u'0'), Result::Changed);
    EXPECT_EQ(search.Type(u'ä'), Result::Changed);
    EXPECT_EQ(search.Text(), QStringLiteral("a *0ä"));
    // Below 42 only the space counts: "!" is 33, ")" 41, Enter 13, Tab 9, the null character.
    for (char16_t c : {u'!', u')', u'\r', u'\t', u'\0', u'"', u'&'})
        EXPECT_EQ(search.Type(QChar(c)), Result::Ignored) << int(c);
    EXPECT_EQ(search.Text(), QStringLiteral("a *0ä"));
}

TEST(GridSearchText, BackspaceShortensAndAnEmptyTextCloses) {
    GridSearch search;
    EXPECT_EQ(search.Type(QChar(8)), Result::Ignored);
    search.Type(u'a');
    search.Type(u'b');
    EXPECT_EQ(search.Type(QChar(8)), Result::Changed);
    EXPECT_EQ(search.Text(), QStringLiteral("a"));
    EXPECT_EQ(search.Type(QChar(8)), Result::Closed);
    EXPECT_FALSE(search.Active());
}

TEST(GridSearchText, EscapeCloses) {
    GridSearch search;
    EXPECT_EQ(search.Type(QChar(27)), Result::Ignored);
    search.Type(u'x');
    EXPECT_EQ(search.Type(QChar(27)), Result::Closed);
    EXPECT_EQ(search.Text(), QString());
    // The next character starts a new text.
    search.Type(u'y');
    EXPECT_EQ(search.Text(), QStringLiteral("y"));
}

TEST(GridSearchText, PasteTakesTheTrimmedClipboardCutTo20Characters) {
    GridSearch search;
    search.Type(u'q');
    EXPECT_EQ(search.Paste(QStringLiteral("  \tABCDEFGHIJKLMNOPQRSTUVWXYZ \r\n")), Result::Changed);
    EXPECT_EQ(search.Text(), QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(search.Paste(QStringLiteral("  \n ")), Result::Closed);
    EXPECT_FALSE(search.Active());
    EXPECT_EQ(search.Paste(QString()), Result::Ignored);
}

// --- Search values ---------------------------------------------------------------------------

enum class Kind { String, Integer, Float, Boolean, Date, Memo };

std::unique_ptr<TField> makeField(Kind kind) {
    switch (kind) {
    case Kind::String:
        return std::make_unique<TStringField>(nullptr, 5);
    case Kind::Integer:
        return std::make_unique<TIntegerField>();
    case Kind::Float:
        return std::make_unique<TFloatField>();
    case Kind::Boolean:
        return std::make_unique<TBooleanField>();
    case Kind::Date:
        return std::make_unique<TDateField>();
    case Kind::Memo:
        return std::make_unique<TMemoField>();
    }
    return {};
}

struct ValueCase {
    const char *name;
    Kind kind;
    QString text;
    QVariant expected; // invalid: no search
};

class SearchValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SearchValueTest, ConvertsToTheFieldsType) {
    const ValueCase &c = GetParam();
    const auto field = makeField(c.kind);
    const std::optional<QVariant> value = SearchValueFor(field.get(), c.text);
    if (!c.expected.isValid()) {
        EXPECT_FALSE(value.has_value()) << value->toString().toStdString();
        return;
    }
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->typeId(), c.expected.typeId());
    EXPECT_EQ(*value, c.expected);
}

QString decimal(const char *whole, const char *fraction) {
    return QString::fromLatin1(whole) + formatSettings().decimalSeparator +
           QString::fromLatin1(fraction);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchValueTest,
    ::testing::Values(
        // Texts go unchanged (Locate cuts them to the field size itself).
        ValueCase{"string", Kind::String, QStringLiteral("ab"), QStringLiteral("ab")},
        ValueCase{"string_longer_than_field", Kind::String, QStringLiteral("abcdefgh"),
                  QStringLiteral("abcdefgh")},
        ValueCase{"string_blank", Kind::String, QStringLiteral(" "), QStringLiteral(" ")},
        ValueCase{"integer", Kind::Integer, QStringLiteral("42"), 42},
        ValueCase{"integer_invalid", Kind::Integer, QStringLiteral("4x"), QVariant()},
        ValueCase{"integer_sign_only", Kind::Integer, QStringLiteral("-"), QVariant()},
        ValueCase{"integer_out_of_range", Kind::Integer, QStringLiteral("99999999999"), QVariant()},
        ValueCase{"float", Kind::Float, decimal("1", "5"), 1.5},
        ValueCase{"float_invalid", Kind::Float, QStringLiteral("1x5"), QVariant()},
        ValueCase{"date", Kind::Date, formatDate(QDate(2024, 3, 1)), QDate(2024, 3, 1)},
        ValueCase{"date_invalid", Kind::Date, QStringLiteral("abc"), QVariant()},
        ValueCase{"boolean_zero", Kind::Boolean, QStringLiteral("0"), false},
        ValueCase{"boolean_one", Kind::Boolean, QStringLiteral("1"), true},
        ValueCase{"boolean_two", Kind::Boolean, QStringLiteral("2"), QVariant()},
        ValueCase{"boolean_minus_one", Kind::Boolean, QStringLiteral("-1"), QVariant()},
        ValueCase{"boolean_no_number", Kind::Boolean, QStringLiteral("ja"), false},
        ValueCase{"memo_not_searched", Kind::Memo, QStringLiteral("ab"), QVariant()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SearchValue, NoFieldNoSearch) {
    EXPECT_FALSE(SearchValueFor(nullptr, QStringLiteral("a")).has_value());
}

} // namespace
