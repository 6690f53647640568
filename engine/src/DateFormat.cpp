#include "DateFormat.h"

#include <cctype>
#include <cstdio>

namespace dbeng {

std::optional<DateFormat> DateFormat::parse(std::string_view text) {
    if (text.size() > 11)
        text = text.substr(0, 11);
    if (text.empty())
        return std::nullopt;
    DateFormat f;
    f.text_ = std::string(text);
    bool seenD = false, seenM = false, seenY = false;
    for (size_t i = 0; i < text.size();) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (c == 'D' || c == 'M' || c == 'Y' || c == 'C') {
            size_t j = i;
            while (j < text.size() && std::toupper(static_cast<unsigned char>(text[j])) == c)
                ++j;
            int run = static_cast<int>(j - i);
            Part p{c, run, 0};
            if (c == 'C') {
                // Century digits must be followed directly by the year in the century.
                size_t k = j;
                while (k < text.size() && std::toupper(static_cast<unsigned char>(text[k])) == 'Y')
                    ++k;
                if (run != 2 || k - j != 2)
                    return std::nullopt;
                p = Part{'Y', 4, 0};
                j = k;
            } else if (c == 'Y') {
                if (run != 2 && run != 4)
                    return std::nullopt;
            } else if (run > 2) {
                return std::nullopt;
            }
            bool &seen = p.kind == 'D' ? seenD : p.kind == 'M' ? seenM : seenY;
            if (seen)
                return std::nullopt;
            seen = true;
            f.parts_[f.count_++] = p;
            i = j;
        } else {
            if (std::isalnum(static_cast<unsigned char>(text[i])) ||
                static_cast<unsigned char>(text[i]) < 0x20)
                return std::nullopt;
            f.parts_[f.count_++] = Part{0, 1, text[i]};
            ++i;
        }
    }
    if (!seenD || !seenM || !seenY)
        return std::nullopt;
    return f;
}

DateFormat DateFormat::defaultFormat() {
    return *parse("MM/DD/CCYY");
}

std::string DateFormat::format(int32_t jd) const {
    int y, m, d;
    civilDate(jd, y, m, d);
    std::string out;
    char buf[16];
    for (int i = 0; i < count_; ++i) {
        const Part &p = parts_[i];
        if (p.kind == 0) {
            out += p.separator;
            continue;
        }
        int value = p.kind == 'D' ? d : p.kind == 'M' ? m : (p.width == 2 ? y % 100 : y);
        std::snprintf(buf, sizeof buf, "%0*d", p.width, value);
        out += buf;
    }
    return out;
}

std::optional<int32_t> DateFormat::read(std::string_view text) const {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int y = -1, m = -1, d = -1;
    bool twoDigitYear = false;
    size_t pos = 0;
    for (int i = 0; i < count_; ++i) {
        const Part &p = parts_[i];
        if (p.kind == 0) {
            if (pos >= text.size()) {
                // A format cut to 11 characters may end in separators the text lacks.
                bool onlySeparators = true;
                for (int j = i; j < count_; ++j)
                    onlySeparators = onlySeparators && parts_[j].kind == 0;
                if (onlySeparators)
                    break;
                return std::nullopt;
            }
            if (std::isdigit(static_cast<unsigned char>(text[pos])))
                return std::nullopt;
            ++pos;
            continue;
        }
        // Digits up to the width, or fewer when a separator follows.
        int maxDigits = p.kind == 'Y' ? 4 : 2;
        size_t start = pos;
        int value = 0;
        while (pos < text.size() && static_cast<int>(pos - start) < maxDigits &&
               std::isdigit(static_cast<unsigned char>(text[pos]))) {
            value = value * 10 + (text[pos] - '0');
            ++pos;
        }
        int digits = static_cast<int>(pos - start);
        if (digits == 0)
            return std::nullopt;
        if (p.kind == 'D')
            d = value;
        else if (p.kind == 'M')
            m = value;
        else {
            y = value;
            twoDigitYear = digits <= 2;
        }
    }
    if (pos != text.size())
        return std::nullopt;
    if (twoDigitYear)
        y += y < 50 ? 2000 : 1900;
    if (!validDate(y, m, d))
        return std::nullopt;
    return julianDay(y, m, d);
}

int32_t julianDay(int year, int month, int day) {
    // Gregorian calendar to Julian day number (Fliegel and Van Flandern).
    int a = (14 - month) / 12;
    int y = year + 4800 - a;
    int m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

void civilDate(int32_t jd, int &year, int &month, int &day) {
    int64_t a = static_cast<int64_t>(jd) + 32044;
    int64_t b = (4 * a + 3) / 146097;
    int64_t c = a - 146097 * b / 4;
    int64_t d = (4 * c + 3) / 1461;
    int64_t e = c - 1461 * d / 4;
    int64_t m = (5 * e + 2) / 153;
    day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    month = static_cast<int>(m + 3 - 12 * (m / 10));
    year = static_cast<int>(100 * b + d - 4800 + m / 10);
}

bool validDate(int year, int month, int day) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    int limit = days[month - 1];
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && leap)
        limit = 29;
    return day <= limit;
}

std::string formatTime(int32_t ms) {
    char buf[32];
    int h = ms / 3600000, mi = ms / 60000 % 60, s = ms / 1000 % 60, f = ms % 1000;
    if (f)
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", h, mi, s, f);
    else
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
    return buf;
}

std::optional<int32_t> readTime(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    int parts[3] = {0, 0, 0};
    size_t pos = 0;
    int count = 0;
    while (count < 3) {
        size_t start = pos;
        int v = 0;
        while (pos < text.size() && pos - start < 2 &&
               std::isdigit(static_cast<unsigned char>(text[pos])))
            v = v * 10 + (text[pos++] - '0');
        if (pos == start)
            return std::nullopt;
        parts[count++] = v;
        if (pos < text.size() && text[pos] == ':' && count < 3) {
            ++pos;
            continue;
        }
        break;
    }
    if (count < 2)
        return std::nullopt;
    int ms = 0;
    if (pos < text.size() && text[pos] == '.' && count == 3) {
        ++pos;
        int digits = 0;
        while (pos < text.size() && digits < 3 &&
               std::isdigit(static_cast<unsigned char>(text[pos]))) {
            ms = ms * 10 + (text[pos++] - '0');
            ++digits;
        }
        if (digits == 0)
            return std::nullopt;
        while (digits++ < 3)
            ms *= 10;
    }
    if (pos != text.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000 + ms;
}

} // namespace dbeng
