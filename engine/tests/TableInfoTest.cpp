// What a table tells about itself (fields, indexes, options) and the engine-wide defaults.
#include "EngineFixture.h"

#include <cstdio>
#include <unistd.h>

namespace {

class TableInfoTest : public EngineTest {};

TEST_F(TableInfoTest, FieldsAndIndexesAreDescribedInTheirOrder) {
    DBHANDLE t = create("Info.TBL", "ID,15;Name,20,30;Preis,2,9,2;Menge,10");
    index(t, "ID", "ID", true);
    index(t, "NAME_PREIS", "name;PREIS");
    uint16_t n = 0;
    ASSERT_DB(DbGetNumFields(t, &n));
    EXPECT_EQ(n, 4);
    char buf[64];
    uint16_t len = sizeof buf;
    ASSERT_DB(DbGetFieldName(t, 2, buf, &len));
    EXPECT_STREQ(buf, "Name");
    EXPECT_EQ(len, 4);
    len = 3;
    EXPECT_EQ(DbGetFieldName(t, 2, buf, &len), DBE_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(buf, "Na");
    EXPECT_EQ(len, 4) << "the length needed";
    uint16_t type = 0, decimals = 0, f = 0;
    ASSERT_DB(DbGetFieldType(t, 3, &type));
    EXPECT_EQ(type, DB_TYPE_NUMERIC);
    ASSERT_DB(DbGetFieldDecimals(t, 3, &decimals));
    EXPECT_EQ(decimals, 2);
    ASSERT_DB(DbGetFieldNum(t, "menge", &f));
    EXPECT_EQ(f, 4);

    uint16_t count = 0;
    ASSERT_DB(DbGetNumIndexes(t, &count));
    EXPECT_EQ(count, 2);
    DBHANDLE second = 0, byName = 0;
    ASSERT_DB(DbGetIndexHandleByOrder(t, 2, &second));
    ASSERT_DB(DbGetIndexHandle(t, "name_preis", &byName));
    EXPECT_EQ(second, byName) << "one handle per tag";
    len = sizeof buf;
    ASSERT_DB(DbGetIndexName(second, buf, &len));
    EXPECT_STREQ(buf, "NAME_PREIS");
    len = sizeof buf;
    ASSERT_DB(DbGetIndexExpr(second, buf, &len));
    EXPECT_STREQ(buf, "Name;Preis");
    len = sizeof buf;
    ASSERT_DB(DbGetIndexCondition(second, buf, &len));
    EXPECT_STREQ(buf, "");
    len = sizeof buf;
    ASSERT_DB(DbGetScope(second, 1, buf, &len));
    EXPECT_STREQ(buf, "");
    uint16_t unique = 9, custom = 9;
    ASSERT_DB(DbIsIndexUnique(second, &unique));
    EXPECT_EQ(unique, 0);
    ASSERT_DB(DbGetIndexHandleByOrder(t, 1, &second));
    ASSERT_DB(DbIsIndexUnique(second, &unique));
    EXPECT_EQ(unique, 1);
    ASSERT_DB(DbIsIndexCustom(second, &custom));
    EXPECT_EQ(custom, 0);
    EXPECT_EQ(DbGetIndexHandleByOrder(t, 3, &second), DBE_INDEX_NOT_FOUND);

    // The definitions come back the same from the file.
    ASSERT_DB(DbCloseTable(t));
    t = open("Info.TBL", DB_OPEN_REINDEX);
    ASSERT_DB(DbGetIndexHandleByOrder(t, 2, &second));
    len = sizeof buf;
    ASSERT_DB(DbGetIndexExpr(second, buf, &len));
    EXPECT_STREQ(buf, "Name;Preis");
    uint32_t options = 0;
    ASSERT_DB(DbGetTableOpenOptions(t, &options));
    EXPECT_EQ(options, static_cast<uint32_t>(DB_OPEN_REINDEX | DB_OPEN_UPDATE_PERMITTED));
}

TEST_F(TableInfoTest, ACaseInsensitiveKeyFollowsItsChangedValue) {
    DBHANDLE t = create("Ci.TBL", "NAME,20,10");
    DBHANDLE ix = index(t, "NAME", "NAME");
    uint32_t r = add(t, {{"NAME", "alpha"}});
    add(t, {{"NAME", "Beta"}});
    ASSERT_DB(DbGotoRecord(t, r));
    ASSERT_DB(DbSetField(t, 1, "Zulu", 4));
    ASSERT_DB(DbWriteRecord(t));
    uint16_t found = 0;
    ASSERT_DB(DbSeek(ix, reinterpret_cast<const uint8_t *>("ZULU"), 4, DB_KEY_TEXT, DB_SEEK_HARD,
                     &found));
    EXPECT_EQ(found, 1);
    EXPECT_EQ(recno(t), r);
    ASSERT_DB(DbSeek(ix, reinterpret_cast<const uint8_t *>("ALPHA"), 5, DB_KEY_TEXT, DB_SEEK_HARD,
                     &found));
    EXPECT_EQ(found, 0);
    EXPECT_EQ(walk(ix), (std::vector<uint32_t>{2, 1}));
}

TEST_F(TableInfoTest, EngineDefaultsAreKeptAndChecked) {
    uint16_t v = 9;
    ASSERT_DB(DbShowDeleted(1));
    ASSERT_DB(DbGetShowDeleted(&v));
    EXPECT_EQ(v, 1);
    ASSERT_DB(DbShowDeleted(0));
    ASSERT_DB(DbGetShowDeleted(&v));
    EXPECT_EQ(v, 0);
    EXPECT_DB(DbSetServerType(DB_SERVER_LOCAL | DB_SERVER_REMOTE | DB_SERVER_INTERNET));
    EXPECT_EQ(DbSetServerType(0), DBE_INVALID_ARGUMENT);
    EXPECT_EQ(DbSetServerType(8), DBE_INVALID_ARGUMENT);
    EXPECT_DB(DbCacheOpenCursors(25));
    EXPECT_DB(DbCacheOpenTables(0));
    ASSERT_DB(DbSetExact(0));
    ASSERT_DB(DbGetExact(&v));
    EXPECT_EQ(v, 0);
    ASSERT_DB(DbSetExact(1));

    // DbShowError writes the last error with the title to the standard error stream.
    DbSetLastError(DBE_RECORD_LOCKED, "gesperrt");
    testing::internal::CaptureStderr();
    ASSERT_DB(DbShowError("Db Exception Error"));
    std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("Db Exception Error"), std::string::npos) << shown;
    EXPECT_NE(shown.find("5035"), std::string::npos) << shown;
    EXPECT_NE(shown.find("gesperrt"), std::string::npos) << shown;
}

} // namespace
