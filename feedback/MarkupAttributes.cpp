#include "feedback/MarkupAttributes.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct Range {
    int min;
    int max;
};

Range rangeOf(MarkupAttributes::Quantity quantity) {
    switch (quantity) {
    case MarkupAttributes::Quantity::Distance:
        // More than any screen is wide or high, and far from where sums of a few of them overflow.
        return {0, 10000};
    case MarkupAttributes::Quantity::FontPoints:
        return {0, 300};
    case MarkupAttributes::Quantity::Angle:
        return {-360, 360};
    }
    return {0, 0};
}

// The digits from `from` on, saturating at `limit` (the remaining digits are still read).
qint64 digitsFrom(const QString &text, qsizetype from, qint64 limit, qsizetype *end = nullptr) {
    qint64 value = 0;
    qsizetype i = std::max<qsizetype>(0, from);
    for (; i < text.size() && text.at(i).isDigit(); ++i)
        value = std::min(limit, value * 10 + text.at(i).digitValue());
    if (end)
        *end = i;
    return value;
}

int clamped(qint64 value, MarkupAttributes::Quantity quantity) {
    const Range r = rangeOf(quantity);
    return int(std::clamp<qint64>(value, r.min, r.max));
}

} // namespace

namespace MarkupAttributes {

int minimum(Quantity quantity) {
    return rangeOf(quantity).min;
}

int maximum(Quantity quantity) {
    return rangeOf(quantity).max;
}

std::optional<QString> quotedAfter(const QString &tag, qsizetype from) {
    if (from < 0)
        return std::nullopt;
    const qsizetype open = tag.indexOf(u'"', from);
    if (open < 0)
        return std::nullopt;
    const qsizetype close = tag.indexOf(u'"', open + 1);
    if (close < 0)
        return std::nullopt;
    return tag.mid(open + 1, close - open - 1);
}

int leadingNumber(const QString &text, qsizetype from, Quantity quantity, bool sign) {
    const bool negative = sign && from >= 0 && from < text.size() && text.at(from) == u'-';
    // One past the largest magnitude is enough to saturate either end of the range.
    const Range r = rangeOf(quantity);
    const qint64 limit = qint64(std::max(std::abs(r.min), std::abs(r.max))) + 1;
    const qint64 magnitude = digitsFrom(text, negative ? from + 1 : from, limit);
    return clamped(negative ? -magnitude : magnitude, quantity);
}

std::optional<int> wholeNumber(const QString &text, Quantity quantity) {
    const QString t = text.trimmed();
    qsizetype start = 0;
    const bool negative = t.startsWith(u'-');
    if (negative || t.startsWith(u'+'))
        start = 1;
    const Range r = rangeOf(quantity);
    const qint64 limit = qint64(std::max(std::abs(r.min), std::abs(r.max))) + 1;
    qsizetype end = 0;
    const qint64 magnitude = digitsFrom(t, start, limit, &end);
    if (end == start || end != t.size())
        return std::nullopt;
    return clamped(negative ? -magnitude : magnitude, quantity);
}

} // namespace MarkupAttributes
