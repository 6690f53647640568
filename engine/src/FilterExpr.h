// The filter expressions the engine understands (see DbSetFilter in dbeng.h), parsed against a
// table's fields into terms a backend can evaluate. Values are converted to the field's type
// here, so every backend compares exactly what DbSetField would have stored.
#pragma once

#include "EngineSettings.h"
#include "TableDef.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dbeng {

struct FilterTerm {
    enum Kind { Empty, Equals, IsTrue, IsFalse };
    Kind kind = Equals;
    int field = 0;       // 0-based
    bool upper = false;  // UPPER(F)=UPPER("text"): compare without regard to case
    bool prefix = false; // exact off: the value only has to begin with the text
    // Equals on string and memo-like fields: the text (cut to a string field's length).
    // Equals on other fields: the field image of the value.
    std::string text;
    std::vector<uint8_t> image;
};

struct Filter {
    std::string expression;
    std::vector<FilterTerm> terms; // all must hold
};

// Throws DbException(DBE_EXPRESSION) with a text that says what was not understood.
Filter parseFilter(const std::string &expression, const TableDef &def, bool exact,
                   const EngineSettings &settings);

} // namespace dbeng
