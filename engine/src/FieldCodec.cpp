#include "FieldCodec.h"

#include "DbException.h"
#include "Text1252.h"
#include "dbeng.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace dbeng {

int32_t readInt32(const uint8_t *p) {
    return static_cast<int32_t>(readUInt32(p));
}
uint32_t readUInt32(const uint8_t *p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int16_t readInt16(const uint8_t *p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}
double readDouble(const uint8_t *p) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | p[i];
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}
void writeUInt32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void writeInt32(uint8_t *p, int32_t v) {
    writeUInt32(p, static_cast<uint32_t>(v));
}
void writeInt16(uint8_t *p, int16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8);
}
void writeDouble(uint8_t *p, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

void nullImage(const FieldDef &field, uint8_t *image) {
    uint32_t size = imageSize(field.type, field.length);
    switch (field.type) {
    case DB_TYPE_LOGICAL:
        image[0] = ' ';
        break;
    case DB_TYPE_INTEGER:
        writeInt32(image, INT32_MIN);
        break;
    case DB_TYPE_SHORTINT:
        writeInt16(image, -32768);
        break;
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
        writeInt32(image, -1);
        break;
    default:
        std::memset(image, 0, size);
    }
}

bool isNullImage(const FieldDef &field, const uint8_t *image) {
    switch (field.type) {
    case DB_TYPE_LOGICAL:
        return image[0] == ' ' || image[0] == 0;
    case DB_TYPE_INTEGER:
        return readInt32(image) == INT32_MIN;
    case DB_TYPE_SHORTINT:
        return readInt16(image) == -32768;
    case DB_TYPE_TIME:
    case DB_TYPE_AUTOINC:
        return readInt32(image) == -1;
    default: {
        uint32_t size = imageSize(field.type, field.length);
        for (uint32_t i = 0; i < size; ++i)
            if (image[i])
                return false;
        return true;
    }
    }
}

void nullRecord(const TableDef &def, uint8_t *record) {
    for (const FieldDef &f : def.fields)
        nullImage(f, record + f.offset);
}

bool parseNumber(std::string_view text, double &value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == 0))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                   std::chars_format::fixed | std::chars_format::scientific);
    return ec == std::errc() && p == text.data() + text.size() && std::isfinite(value);
}

bool formatNumeric(double value, uint32_t width, uint16_t decimals, uint8_t *image) {
    char buf[96];
    int n = std::snprintf(buf, sizeof buf, "%*.*f", static_cast<int>(width),
                          static_cast<int>(decimals), value);
    if (n < 0 || static_cast<uint32_t>(n) > width)
        return false;
    // "-0.00" reads back as 0; keep the image free of a lone minus sign.
    if (std::strchr(buf, '-') && std::fabs(value) < 0.5 * std::pow(10.0, -decimals))
        n = std::snprintf(buf, sizeof buf, "%*.*f", static_cast<int>(width),
                          static_cast<int>(decimals), 0.0);
    std::memcpy(image, buf, width);
    return true;
}

std::string imageToText(const FieldDef &field, const uint8_t *image, const EngineSettings &settings,
                        bool trimRight) {
    if (isNullImage(field, image) && !isStringType(field.type))
        return std::string();
    char buf[64];
    switch (field.type) {
    case DB_TYPE_LOGICAL:
        return image[0] == 'T' ? "T" : "F";
    case DB_TYPE_NUMERIC: {
        std::string s(reinterpret_cast<const char *>(image), field.length);
        size_t b = s.find_first_not_of(' ');
        return b == std::string::npos ? std::string() : s.substr(b);
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
        return settings.dateFormat.format(readInt32(image));
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        size_t n = field.length;
        // Zero bytes end the text (an empty string is stored as zero bytes).
        const void *zero = std::memchr(image, 0, n);
        if (zero)
            n = static_cast<size_t>(static_cast<const uint8_t *>(zero) - image);
        if (trimRight)
            while (n > 0 && image[n - 1] == ' ')
                --n;
        return std::string(reinterpret_cast<const char *>(image), n);
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(settings.decimals),
                      readDouble(image));
        return buf;
    case DB_TYPE_INTEGER:
    case DB_TYPE_AUTOINC:
        return std::to_string(readInt32(image));
    case DB_TYPE_SHORTINT:
        return std::to_string(readInt16(image));
    case DB_TYPE_TIME:
        return formatTime(readInt32(image));
    case DB_TYPE_TIMESTAMP:
        return settings.dateFormat.format(readInt32(image)) + " " +
               formatTime(readInt32(image + 4));
    case DB_TYPE_RAW:
        return std::string(reinterpret_cast<const char *>(image), field.length);
    default:
        return std::string();
    }
}

namespace {

// The value as a message shows it: Windows-1252 read as such, control bytes by their number,
// at most 80 bytes of it.
std::string shownValue(std::string_view text) {
    std::string shown;
    for (char ch : text.substr(0, 80)) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "<%02X>", c);
            shown += code;
        } else {
            shown += cp1252ToUtf8(std::string_view(&ch, 1));
        }
    }
    return text.size() > 80 ? shown + "…" : shown;
}

[[noreturn]] void invalid(const FieldDef &field, std::string_view text, const std::string &file,
                          const std::string &why) {
    std::string shown = shownValue(text);
    throw DbException(DBE_VALUE_INVALID, "Der Wert \"" + shown + "\" passt nicht in das Feld \"" +
                                             field.name + "\" (" + typeName(field.type) +
                                             ") der Tabelle " + quoteFile(file) + ": " + why);
}

bool parseInteger(std::string_view text, int64_t &value) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && p == text.data() + text.size();
}

bool blank(std::string_view text) {
    for (char c : text)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

// Bytes past the end of a field that carry nothing: blanks and zero bytes after a string,
// zero bytes after raw bytes.
bool onlyPadding(std::string_view rest, bool blanksToo) {
    for (char c : rest)
        if (c != 0 && !(blanksToo && c == ' '))
            return false;
    return true;
}

[[noreturn]] void tooLong(const FieldDef &field, std::string_view text, const std::string &file) {
    const bool bytes = field.type == DB_TYPE_RAW;
    invalid(field, text, file,
            "er ist " + std::to_string(text.size()) + (bytes ? " Bytes" : " Zeichen") +
                " lang, das Feld fasst " + std::to_string(field.length) + ".");
}

} // namespace

std::string valueText(const FieldDef &field, const char *bytes, uint32_t len,
                      const std::string &file) {
    std::string_view all(bytes, len);
    if (field.type == DB_TYPE_RAW)
        return std::string(all);
    const size_t zero = all.find('\0');
    if (zero == std::string_view::npos)
        return std::string(all);
    // A zero byte ends the text; what follows it may only pad it.
    if (!onlyPadding(all.substr(zero), true))
        invalid(field, all, file,
                "er enthält ein Nullzeichen (Byte 0) vor weiteren Zeichen; gespeichert würde nur "
                "der Teil davor.");
    return std::string(all.substr(0, zero));
}

void checkImageLength(const FieldDef &field, const uint8_t *bytes, uint32_t len,
                      const std::string &file) {
    const uint32_t size = imageSize(field.type, field.length);
    const bool padded = isStringType(field.type) || field.type == DB_TYPE_RAW;
    if (!padded || len <= size)
        return;
    std::string_view all(reinterpret_cast<const char *>(bytes), len);
    if (!onlyPadding(all.substr(size), isStringType(field.type)))
        tooLong(field, all, file);
}

void textToImage(const FieldDef &field, std::string_view text, uint8_t *image,
                 const EngineSettings &settings, const std::string &file) {
    if (isStringType(field.type)) {
        // An empty text is stored as zero bytes, any other is padded with blanks. Blanks past
        // the field's end carry nothing; anything else there would be lost.
        if (text.size() > field.length && !onlyPadding(text.substr(field.length), true))
            tooLong(field, text, file);
        size_t n = std::min<size_t>(text.size(), field.length);
        if (n == 0) {
            std::memset(image, 0, field.length);
            return;
        }
        std::memcpy(image, text.data(), n);
        std::memset(image + n, ' ', field.length - n);
        return;
    }
    if (field.type == DB_TYPE_RAW) {
        if (text.size() > field.length && !onlyPadding(text.substr(field.length), false))
            tooLong(field, text, file);
        size_t n = std::min<size_t>(text.size(), field.length);
        std::memcpy(image, text.data(), n);
        std::memset(image + n, 0, field.length - n);
        return;
    }
    if (blank(text)) {
        nullImage(field, image);
        return;
    }
    switch (field.type) {
    case DB_TYPE_LOGICAL: {
        std::string t(text);
        while (!t.empty() && t.back() == ' ')
            t.pop_back();
        while (!t.empty() && t.front() == ' ')
            t.erase(0, 1);
        if (t == "T" || t == "t" || t == "Y" || t == "y" || t == "1" || t == ".T." || t == ".t.")
            image[0] = 'T';
        else if (t == "F" || t == "f" || t == "N" || t == "n" || t == "0" || t == ".F." ||
                 t == ".f.")
            image[0] = 'F';
        else
            invalid(field, text, file, "erwartet wird T oder F.");
        return;
    }
    case DB_TYPE_NUMERIC: {
        double v;
        if (!parseNumber(text, v))
            invalid(field, text, file, "keine Zahl.");
        if (!formatNumeric(v, field.length, field.decimals, image))
            invalid(field, text, file,
                    "die Zahl ist zu groß für " + std::to_string(field.length) + " Stellen.");
        return;
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE: {
        auto jd = settings.dateFormat.read(text);
        if (!jd)
            invalid(field, text, file,
                    "kein gültiges Datum im Format \"" + settings.dateFormat.text() + "\".");
        writeInt32(image, *jd);
        return;
    }
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE: {
        double v;
        if (!parseNumber(text, v))
            invalid(field, text, file, "keine Zahl.");
        writeDouble(image, v);
        return;
    }
    case DB_TYPE_INTEGER:
    case DB_TYPE_AUTOINC: {
        int64_t v;
        int64_t low = field.type == DB_TYPE_INTEGER ? INT32_MIN + 1LL : 0;
        if (!parseInteger(text, v) || v < low || v > INT32_MAX)
            invalid(field, text, file, "keine ganze Zahl im erlaubten Bereich.");
        writeInt32(image, static_cast<int32_t>(v));
        return;
    }
    case DB_TYPE_SHORTINT: {
        int64_t v;
        if (!parseInteger(text, v) || v < -32767 || v > 32767)
            invalid(field, text, file, "keine ganze Zahl von -32767 bis 32767.");
        writeInt16(image, static_cast<int16_t>(v));
        return;
    }
    case DB_TYPE_TIME: {
        auto ms = readTime(text);
        if (!ms)
            invalid(field, text, file, "keine gültige Uhrzeit (HH:MM:SS).");
        writeInt32(image, *ms);
        return;
    }
    case DB_TYPE_TIMESTAMP: {
        std::string t(text);
        while (!t.empty() && t.back() == ' ')
            t.pop_back();
        size_t space = t.rfind(' ');
        std::optional<int32_t> jd, ms = 0;
        if (space == std::string::npos) {
            jd = settings.dateFormat.read(t);
        } else {
            jd = settings.dateFormat.read(std::string_view(t).substr(0, space));
            ms = readTime(std::string_view(t).substr(space + 1));
        }
        if (!jd || !ms)
            invalid(field, text, file,
                    "kein gültiger Zeitstempel (\"" + settings.dateFormat.text() + " HH:MM:SS\").");
        writeInt32(image, *jd);
        writeInt32(image + 4, *ms);
        return;
    }
    default:
        invalid(field, text, file, "der Feldtyp nimmt keinen Text an.");
    }
}

void checkImage(const FieldDef &field, const uint8_t *image, const std::string &file) {
    auto bad = [&](const std::string &why) {
        throw DbException(DBE_VALUE_INVALID, "Ungültiger Rohwert für das Feld \"" + field.name +
                                                 "\" der Tabelle " + quoteFile(file) + ": " + why);
    };
    if (isNullImage(field, image))
        return;
    switch (field.type) {
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
        // Reading stops at a zero byte: a value must not go on after one.
        valueText(field, reinterpret_cast<const char *>(image), field.length, file);
        break;
    case DB_TYPE_LOGICAL:
        if (std::strchr("TFtfYyNn10", image[0]) == nullptr || image[0] == 0)
            bad("erwartet wird 'T', 'F' oder ' '.");
        break;
    case DB_TYPE_NUMERIC: {
        double v;
        if (!parseNumber(std::string_view(reinterpret_cast<const char *>(image), field.length), v))
            bad("keine Zahl.");
        break;
    }
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE: {
        int y, m, d;
        civilDate(readInt32(image), y, m, d);
        if (readInt32(image) <= 0 || !validDate(y, m, d))
            bad("kein gültiger Tag.");
        break;
    }
    case DB_TYPE_TIME:
        if (readInt32(image) < 0 || readInt32(image) >= 86400000)
            bad("keine gültige Uhrzeit.");
        break;
    case DB_TYPE_TIMESTAMP:
        if (readInt32(image) <= 0 || readInt32(image + 4) < 0 || readInt32(image + 4) >= 86400000)
            bad("kein gültiger Zeitstempel.");
        break;
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        if (!std::isfinite(readDouble(image)))
            bad("keine endliche Zahl.");
        break;
    case DB_TYPE_AUTOINC:
        if (readInt32(image) < 0)
            bad("negativer Autoinkrement-Wert.");
        break;
    default:
        break;
    }
}

} // namespace dbeng
