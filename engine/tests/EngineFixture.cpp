#include "EngineFixture.h"

#include "testsupport/ScratchServer.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string lastErrorText() {
    uint32_t code = 0;
    char buf[DB_MAX_ERROR_TEXT + 1];
    uint16_t len = sizeof buf;
    DbGetLastError(&code, buf, &len);
    return "[" + std::to_string(code) + "] " + buf;
}

TempFolder::TempFolder() {
    char tmpl[] = "/tmp/engine-test-XXXXXX";
    char *p = mkdtemp(tmpl);
    if (!p)
        throw std::runtime_error("mkdtemp failed");
    path_ = p;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string readFileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool EngineTest::remote() {
    return ScratchServer::inUse();
}

void EngineTest::SetUp() {
    ASSERT_DB(DbSetDateFormat("MM/DD/CCYY"));
    ASSERT_DB(DbSetExact(1));
    if (remote()) {
        ScratchServer::useIt();
        dataPath_ = ScratchServer::uniqueDataSet("engine");
        ASSERT_DB(DbConnect(dataPath_.c_str(), DB_SERVER_REMOTE, "", "", DB_CONNECT_CREATE,
                            &connection_));
    } else {
        dataPath_ = folder_.path();
        ASSERT_DB(DbConnect(dataPath_.c_str(), DB_SERVER_LOCAL, "", "", 0, &connection_));
    }
}

void EngineTest::TearDown() {
    if (connection_)
        DbDisconnect(connection_);
    if (remote())
        ScratchServer::dropDataSet(dataPath_);
}

DBHANDLE EngineTest::create(const std::string &name, const std::string &fields) {
    DBHANDLE t = 0;
    DBRESULT rc = DbCreateTable(connection_, name.c_str(), fields.c_str(), &t);
    EXPECT_EQ(rc, 0u) << lastErrorText();
    return t;
}

DBHANDLE EngineTest::open(const std::string &name, uint32_t options) {
    DBHANDLE t = 0;
    DBRESULT rc = DbOpenTable(connection_, name.c_str(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                              DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, options, &t);
    EXPECT_EQ(rc, 0u) << lastErrorText();
    return t;
}

DBHANDLE EngineTest::index(DBHANDLE table, const std::string &tag, const std::string &fields,
                           bool unique) {
    DBHANDLE i = 0;
    DBRESULT rc =
        DbCreateIndex(table, tag.c_str(), fields.c_str(), unique ? DB_INDEX_UNIQUE : 0, &i);
    EXPECT_EQ(rc, 0u) << lastErrorText();
    return i;
}

uint16_t EngineTest::field(DBHANDLE table, const std::string &name) {
    uint16_t f = 0;
    DBRESULT rc = DbGetFieldNum(table, name.c_str(), &f);
    EXPECT_EQ(rc, 0u) << lastErrorText();
    return f;
}

uint32_t EngineTest::add(DBHANDLE table,
                         const std::vector<std::pair<std::string, std::string>> &values) {
    EXPECT_EQ(DbAppendRecord(table), 0u) << lastErrorText();
    for (const auto &[name, value] : values)
        EXPECT_EQ(DbSetField(table, field(table, name), value.c_str(),
                             static_cast<uint32_t>(value.size())),
                  0u)
            << name << ": " << lastErrorText();
    EXPECT_EQ(DbWriteRecord(table), 0u) << lastErrorText();
    return recno(table);
}

std::string EngineTest::text(DBHANDLE table, const std::string &name) {
    char buf[4096];
    uint32_t len = sizeof buf;
    DBRESULT rc = DbGetField(table, field(table, name), buf, &len, DB_TRIM_RIGHT);
    EXPECT_EQ(rc, 0u) << lastErrorText();
    return rc == 0 ? std::string(buf, len) : std::string("<error>");
}

uint32_t EngineTest::recno(DBHANDLE table) {
    uint32_t r = 0;
    DbGetRecordNum(table, &r);
    return r;
}

bool EngineTest::eof(DBHANDLE table) {
    uint16_t v = 0;
    DbAtEOF(table, &v);
    return v != 0;
}

bool EngineTest::bof(DBHANDLE table) {
    uint16_t v = 0;
    DbAtBOF(table, &v);
    return v != 0;
}

std::vector<uint32_t> EngineTest::walk(DBHANDLE order, bool backwards) {
    std::vector<uint32_t> out;
    EXPECT_EQ(backwards ? DbGotoBottom(order) : DbGotoTop(order), 0u) << lastErrorText();
    while (true) {
        uint16_t end = 0;
        if (backwards)
            DbAtBOF(order, &end);
        else
            DbAtEOF(order, &end);
        if (end)
            break;
        uint32_t r = 0;
        EXPECT_EQ(DbGetRecordNum(order, &r), 0u) << lastErrorText();
        out.push_back(r);
        EXPECT_EQ(DbSkip(order, backwards ? -1 : 1), 0u) << lastErrorText();
        if (out.size() > 10000000)
            break;
    }
    return out;
}

std::string helperProgram() {
    return ENGINE_TEST_HELPER;
}
