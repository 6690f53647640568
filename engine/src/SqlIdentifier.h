// A name in an SQL statement, as both servers' SQL takes it: in double quotes, a double quote
// inside doubled, so that any field or table name stands for itself.
#pragma once

#include <string>

namespace dbeng {

std::string quoteIdentifier(const std::string &name);

} // namespace dbeng
