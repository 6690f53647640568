// The tables made from the description are the tables it describes, read back through the
// engine: every field in its place with its type and length, every tag with its fields.
#include "schema/HostSchema.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string lastError() {
    uint32_t number = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof text;
    DbGetLastError(&number, text, &len);
    return std::to_string(number) + " " + text;
}

class HostSchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "hostschema.XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        ASSERT_EQ(DbConnect(folder.c_str(), DB_SERVER_LOCAL, "", "", 0, &connection), 0u)
            << lastError();
    }
    void TearDown() override {
        DbDisconnect(connection);
        std::filesystem::remove_all(folder);
    }

    std::string folder;
    DBHANDLE connection = 0;
};

std::string fieldName(DBHANDLE table, uint16_t n) {
    char name[256] = {};
    uint16_t len = sizeof name;
    EXPECT_EQ(DbGetFieldName(table, n, name, &len), 0u);
    return name;
}

} // namespace

TEST_F(HostSchemaTest, EveryTableIsCreatedAsDescribed) {
    for (const HostSchema::Table *schema : HostSchema::all()) {
        SCOPED_TRACE(schema->fileName);
        DBHANDLE table = 0;
        ASSERT_EQ(HostSchema::createTable(connection, *schema, &table), 0u) << lastError();
        ASSERT_EQ(HostSchema::createIndexes(table, *schema), 0u) << lastError();
        ASSERT_EQ(DbCloseTable(table), 0u);
        ASSERT_TRUE(std::filesystem::exists(folder + "/" + schema->fileName))
            << "in the connection's folder";

        ASSERT_EQ(DbOpenTable(connection, schema->fileName.c_str(), nullptr, DB_TABLE_NATIVE,
                              DB_CHARTYPE_ANSI, DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0,
                              &table),
                  0u)
            << lastError();
        uint16_t count = 0;
        ASSERT_EQ(DbGetNumFields(table, &count), 0u);
        ASSERT_EQ(count, schema->fields.size());
        for (uint16_t n = 1; n <= count; ++n) {
            const HostSchema::Field &f = schema->fields[n - 1];
            EXPECT_EQ(fieldName(table, n), f.name);
            EXPECT_EQ(schema->fieldNumber(f.name), n);
            uint16_t type = 0;
            ASSERT_EQ(DbGetFieldType(table, n, &type), 0u);
            EXPECT_EQ(type, f.type) << f.name;
            if (f.type == DB_TYPE_STRING) {
                uint32_t length = 0;
                ASSERT_EQ(DbGetFieldLength(table, n, &length), 0u);
                EXPECT_EQ(length, f.length) << f.name;
            }
        }
        uint16_t tags = 0;
        ASSERT_EQ(DbGetNumIndexes(table, &tags), 0u);
        ASSERT_EQ(tags, schema->indexes.size());
        for (const HostSchema::Index &i : schema->indexes) {
            DBHANDLE index = 0;
            ASSERT_EQ(DbGetIndexHandle(table, i.tag.c_str(), &index), 0u) << i.tag;
            char expr[256] = {};
            uint16_t len = sizeof expr;
            ASSERT_EQ(DbGetIndexExpr(index, expr, &len), 0u);
            EXPECT_EQ(std::string(expr), i.fields) << i.tag;
            uint16_t unique = 0;
            ASSERT_EQ(DbIsIndexUnique(index, &unique), 0u);
            EXPECT_EQ(unique != 0, i.unique) << i.tag;
        }
        DbCloseTable(table);
    }
}

TEST(HostSchema, TablesAreFoundWithoutRegardToCaseAndFieldsByTheirExactName) {
    const HostSchema::Table &a = HostSchema::articles();
    EXPECT_EQ(HostSchema::find("artikelmain.tbl"), &a);
    EXPECT_EQ(HostSchema::find("ArtikelMain"), nullptr);
    EXPECT_EQ(a.fieldNumber("BSTN"), 20);
    EXPECT_EQ(a.fieldNumber("bstn"), 0);
    EXPECT_EQ(a.fieldNumber("ID_ART"), 0);
}
