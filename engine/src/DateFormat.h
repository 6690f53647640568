// The engine's date format ("MM/DD/CCYY", "DD.MM.YYYY", ...) and the calendar arithmetic of the
// stored values: dates are Julian day numbers, times milliseconds since midnight.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dbeng {

class DateFormat {
public:
    // nullopt for a text that is not a valid format (letters other than D, M, Y, C, digits,
    // a part missing or given twice). The text is cut to 11 characters first.
    static std::optional<DateFormat> parse(std::string_view text);
    static DateFormat defaultFormat();

    const std::string &text() const { return text_; }
    std::string format(int32_t julianDay) const;
    // nullopt when the text is not a date in this format; an empty text is not handled here.
    std::optional<int32_t> read(std::string_view text) const;

private:
    struct Part {
        char kind; // 'D', 'M', 'Y' or 0 for a separator
        int width;
        char separator;
    };
    std::string text_;
    Part parts_[11] = {};
    int count_ = 0;
};

int32_t julianDay(int year, int month, int day);
void civilDate(int32_t julianDay, int &year, int &month, int &day);
bool validDate(int year, int month, int day);

std::string formatTime(int32_t ms);
std::optional<int32_t> readTime(std::string_view text);

} // namespace dbeng
