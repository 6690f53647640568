#include "FilterExpr.h"

#include "DbException.h"
#include "FieldCodec.h"
#include "Text1252.h"
#include "dbeng.h"

#include <cctype>

namespace dbeng {

namespace {

class Parser {
public:
    Parser(const std::string &text, const TableDef &def, bool exact, const EngineSettings &settings)
        : s_(text), def_(def), exact_(exact), settings_(settings) {}

    Filter run() {
        Filter f;
        f.expression = s_;
        skipSpace();
        if (atEnd())
            fail("der Ausdruck ist leer");
        while (true) {
            f.terms.push_back(term());
            skipSpace();
            if (atEnd())
                break;
            if (!keyword("AND"))
                fail("erwartet wird \" AND \" oder das Ende des Ausdrucks");
        }
        return f;
    }

private:
    [[noreturn]] void fail(const std::string &why) {
        std::string shown = s_.size() > 200 ? s_.substr(0, 200) + "..." : s_;
        throw DbException(DBE_EXPRESSION, "Der Filterausdruck \"" + shown + "\" für die Tabelle " +
                                              quoteFile(def_.path) +
                                              " wird nicht verstanden: " + why + " (an Stelle " +
                                              std::to_string(pos_ + 1) + ").");
    }
    bool atEnd() const { return pos_ >= s_.size(); }
    void skipSpace() {
        while (!atEnd() && std::isspace(static_cast<unsigned char>(s_[pos_])))
            ++pos_;
    }
    bool peek(char c) {
        skipSpace();
        return !atEnd() && s_[pos_] == c;
    }
    void expect(char c) {
        if (!peek(c))
            fail(std::string("erwartet wird \"") + c + "\"");
        ++pos_;
    }
    // A word (letters, digits, _) compared without regard to case; consumed when it matches.
    bool keyword(const char *word) {
        skipSpace();
        size_t n = std::char_traits<char>::length(word);
        if (pos_ + n > s_.size())
            return false;
        for (size_t i = 0; i < n; ++i)
            if (std::toupper(static_cast<unsigned char>(s_[pos_ + i])) != word[i])
                return false;
        if (pos_ + n < s_.size() &&
            (std::isalnum(static_cast<unsigned char>(s_[pos_ + n])) || s_[pos_ + n] == '_'))
            return false;
        pos_ += n;
        return true;
    }
    // .TRUE. / .FALSE., either case.
    bool dotted(const char *word) {
        skipSpace();
        size_t n = std::char_traits<char>::length(word);
        if (pos_ + n > s_.size())
            return false;
        for (size_t i = 0; i < n; ++i)
            if (std::toupper(static_cast<unsigned char>(s_[pos_ + i])) != word[i])
                return false;
        pos_ += n;
        return true;
    }
    std::string identifier() {
        skipSpace();
        size_t start = pos_;
        while (!atEnd() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
            ++pos_;
        if (start == pos_)
            fail("erwartet wird ein Feldname");
        return s_.substr(start, pos_ - start);
    }
    int field() {
        std::string name = identifier();
        int f = def_.fieldIndex(name);
        if (f < 0)
            fail("die Tabelle hat kein Feld \"" + name + "\"");
        return f;
    }
    // "text" with optional + Chr(34) + "text" joints for double quotes.
    std::string quoted() {
        std::string out;
        while (true) {
            expect('"');
            size_t end = s_.find('"', pos_);
            if (end == std::string::npos)
                fail("ein Text ist nicht mit \" abgeschlossen");
            out += s_.substr(pos_, end - pos_);
            pos_ = end + 1;
            size_t save = pos_;
            if (peek('+')) {
                ++pos_;
                if (keyword("CHR") && peek('(')) {
                    ++pos_;
                    skipSpace();
                    if (s_.compare(pos_, 2, "34") != 0)
                        fail("nur Chr(34) ist als Verbindung erlaubt");
                    pos_ += 2;
                    expect(')');
                    expect('+');
                    out += '"';
                    continue;
                }
            }
            pos_ = save;
            return out;
        }
    }
    std::string number() {
        skipSpace();
        size_t start = pos_;
        if (!atEnd() && (s_[pos_] == '-' || s_[pos_] == '+'))
            ++pos_;
        while (!atEnd() && (std::isdigit(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.'))
            ++pos_;
        std::string t = s_.substr(start, pos_ - start);
        double v;
        if (!parseNumber(t, v))
            fail("erwartet wird ein Wert (Zahl, Text, .TRUE., .FALSE., ctod, ctot oder ctots)");
        return t;
    }
    FilterTerm term() {
        bool paren = peek('(');
        if (paren)
            ++pos_;
        FilterTerm t;
        if (keyword("EMPTY")) {
            expect('(');
            t.kind = FilterTerm::Empty;
            t.field = field();
            expect(')');
        } else {
            bool upperLeft = false;
            if (keyword("UPPER")) {
                expect('(');
                upperLeft = true;
            }
            t.field = field();
            if (upperLeft)
                expect(')');
            expect('=');
            value(t, upperLeft);
        }
        if (paren)
            expect(')');
        return t;
    }
    void value(FilterTerm &t, bool upperLeft) {
        const FieldDef &f = def_.fields[t.field];
        bool textual = isStringType(f.type) || isBlobType(f.type);
        if (upperLeft && !isStringType(f.type) && !isBlobType(f.type))
            fail("UPPER() passt nur zu Textfeldern, nicht zu \"" + f.name + "\"");
        t.upper = upperLeft;
        skipSpace();
        std::string literal;
        if (dotted(".TRUE.")) {
            logical(t, f, true);
            return;
        }
        if (dotted(".FALSE.")) {
            logical(t, f, false);
            return;
        }
        const char *conversion = nullptr;
        if (keyword("CTOTS"))
            conversion = "ctots";
        else if (keyword("CTOD"))
            conversion = "ctod";
        else if (keyword("CTOT"))
            conversion = "ctot";
        if (conversion) {
            expect('(');
            literal = quoted();
            expect(')');
            std::string c = conversion;
            bool fits =
                (c == "ctod" && (f.type == DB_TYPE_DATE || f.type == DB_TYPE_COMPACTDATE)) ||
                (c == "ctot" && f.type == DB_TYPE_TIME) ||
                (c == "ctots" && f.type == DB_TYPE_TIMESTAMP);
            if (!fits)
                fail(c + "() passt nicht zum Feld \"" + f.name + "\" (" + typeName(f.type) + ")");
            convert(t, f, literal);
            return;
        }
        bool upperRight = false;
        if (keyword("UPPER")) {
            expect('(');
            upperRight = true;
        }
        if (peek('"'))
            literal = quoted();
        else
            literal = number();
        if (upperRight) {
            expect(')');
            if (!upperLeft)
                fail("UPPER() muss auf beiden Seiten stehen");
        }
        if (textual) {
            t.kind = FilterTerm::Equals;
            t.text = literal;
            if (isStringType(f.type) && t.text.size() > f.length)
                t.text.resize(f.length);
            if (t.upper)
                t.text = upper1252(t.text);
            t.prefix = !exact_;
            return;
        }
        convert(t, f, literal);
    }
    void logical(FilterTerm &t, const FieldDef &f, bool value) {
        if (f.type != DB_TYPE_LOGICAL)
            fail(std::string(value ? ".TRUE." : ".FALSE.") +
                 " passt nur zu logischen Feldern, nicht zu \"" + f.name + "\"");
        t.kind = value ? FilterTerm::IsTrue : FilterTerm::IsFalse;
    }
    void convert(FilterTerm &t, const FieldDef &f, const std::string &literal) {
        t.kind = FilterTerm::Equals;
        t.image.assign(imageSize(f.type, f.length), 0);
        try {
            textToImage(f, literal, t.image.data(), settings_, def_.path);
        } catch (const DbException &e) {
            fail(std::string("der Wert passt nicht zum Feld: ") + e.what());
        }
    }

    const std::string &s_;
    const TableDef &def_;
    bool exact_;
    const EngineSettings &settings_;
    size_t pos_ = 0;
};

} // namespace

Filter parseFilter(const std::string &expression, const TableDef &def, bool exact,
                   const EngineSettings &settings) {
    return Parser(expression, def, exact, settings).run();
}

} // namespace dbeng
