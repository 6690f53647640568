// Runs a piece of a test the way a user without write access to a data folder runs it. The
// folder (and, with Files, its files) lose their write permission; root, who may write
// anything, runs the piece in a child process under the user "nobody" instead. Plain C++, for
// the engine's tests and the ones above it.
#pragma once

#include <functional>
#include <string>

namespace WithoutWriteAccess {

enum class Scope {
    Folder, // the folder and its files are read-only
    Files,  // only the files are read-only; new files may be made in the folder
};

// Runs body without write access to what scope names and answers what body answered (in a
// child process when the caller is root; a child that dies answers a text saying so).
// Permissions are restored afterwards. body's answer is the test's finding: empty when all
// was as expected, otherwise what was not.
std::string run(const std::string &folder, Scope scope, const std::function<std::string()> &body);

} // namespace WithoutWriteAccess
