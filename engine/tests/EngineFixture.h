// Test support: a temporary data folder with a connection, and short forms of the C calls
// whose failures print the engine's own error text.
#pragma once

#include "dbeng.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

std::string lastErrorText();

// Asserts a zero result and shows the engine's text otherwise.
#define ASSERT_DB(call)                                                                            \
    do {                                                                                           \
        DBRESULT rc_ = (call);                                                                     \
        ASSERT_EQ(rc_, 0u) << #call << ": " << lastErrorText();                                    \
    } while (0)
#define EXPECT_DB(call)                                                                            \
    do {                                                                                           \
        DBRESULT rc_ = (call);                                                                     \
        EXPECT_EQ(rc_, 0u) << #call << ": " << lastErrorText();                                    \
    } while (0)

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFileBytes(const std::string &path);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    DBHANDLE create(const std::string &name, const std::string &fields);
    DBHANDLE open(const std::string &name, uint32_t options = 0);
    DBHANDLE index(DBHANDLE table, const std::string &tag, const std::string &fields,
                   bool unique = false);
    // Appends one record from (field name, text) pairs and returns its record number.
    uint32_t add(DBHANDLE table, const std::vector<std::pair<std::string, std::string>> &values);
    uint16_t field(DBHANDLE table, const std::string &name);
    std::string text(DBHANDLE table, const std::string &name);
    uint32_t recno(DBHANDLE table);
    bool eof(DBHANDLE table);
    bool bof(DBHANDLE table);
    // Record numbers in order from the top (or bottom) to the end.
    std::vector<uint32_t> walk(DBHANDLE order, bool backwards = false);

    TempFolder folder_;
    DBHANDLE connection_ = 0;
};

// The helper program for the tests that need a second process.
std::string helperProgram();
