// Test support: a temporary data folder (local server) or data set (remote server) with a
// connection, and short forms of the C calls whose failures print the engine's own error text.
//
// The same tests run on both servers: ctest runs the program once as it is (local server) and
// once with DUPCHECK_TEST_SERVER naming the throwaway server's socket folder (remote server,
// tests named "remote/..."). The few tests of what only table files have skip on the remote
// server.
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

    // The server the tests run on this time, and the data path of the connection: the
    // temporary folder, or on the remote server a data set of this test's own.
    static bool remote();
    uint16_t serverType() const { return remote() ? DB_SERVER_REMOTE : DB_SERVER_LOCAL; }
    const std::string &dataPath() const { return dataPath_; }

    TempFolder folder_;
    std::string dataPath_;
    DBHANDLE connection_ = 0;
};

// For tests of what only table files have.
#define LOCAL_SERVER_ONLY()                                                                        \
    do {                                                                                           \
        if (EngineTest::remote())                                                                  \
            GTEST_SKIP() << "nur beim lokalen Server (Tabellendateien)";                           \
    } while (0)

// The helper program for the tests that need a second process.
std::string helperProgram();
