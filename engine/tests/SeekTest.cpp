// Seeking: raw keys built with DbInitRawKey/DbBuildRawKey, text keys, hard and soft, prefixes,
// several segments, case-insensitive keys.
#include "EngineFixture.h"

#include <cstring>

namespace {

class SeekTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        t_ = create("Art.TBL", "ID,15;BSTN,4,20;Q,11;NAME,20,10;D,3");
        const char *bstn[] = {"A-1", "B-7", "B-7", "B-70", "C", "", "B-7", "b-7"};
        const char *names[] = {"Meier",  "MEIER", "Schulz", "meier",
                               "Zander", "Adam",  "Otto",   "Bach"};
        for (int i = 0; i < 8; ++i)
            add(t_, {{"BSTN", bstn[i]},
                     {"Q", std::to_string(i * 10)},
                     {"NAME", names[i]},
                     {"D", i % 2 ? "01/15/2021" : "03/01/2020"}});
        byBstn_ = index(t_, "BSTN", "BSTN");
        byId_ = index(t_, "ID", "ID", true);
        byBq_ = index(t_, "BQ", "BSTN;Q");
        byName_ = index(t_, "NAME", "NAME");
    }

    // Seeks a raw key built from the given (field, text, bytes) segments.
    uint16_t seekRaw(DBHANDLE ix, const std::vector<std::pair<std::string, std::string>> &segs,
                     uint16_t type, int prefixLength = -1) {
        EXPECT_DB(DbInitRawKey(ix));
        for (size_t i = 0; i < segs.size(); ++i) {
            uint32_t len = static_cast<uint32_t>(segs[i].second.size());
            if (i + 1 == segs.size() && prefixLength >= 0)
                len = static_cast<uint32_t>(prefixLength);
            EXPECT_DB(DbSetField(t_, field(t_, segs[i].first), segs[i].second.c_str(), len));
        }
        uint8_t key[DB_MAX_KEY_LENGTH];
        uint16_t len = sizeof key;
        EXPECT_DB(DbBuildRawKey(ix, key, &len));
        uint16_t found = 9;
        EXPECT_DB(DbSeek(ix, key, len, DB_KEY_RAW, type, &found));
        return found;
    }

    uint16_t seekText(DBHANDLE ix, const std::string &text, uint16_t type) {
        uint16_t found = 9;
        EXPECT_DB(DbSeek(ix, reinterpret_cast<const uint8_t *>(text.data()),
                         static_cast<uint16_t>(text.size()), DB_KEY_TEXT, type, &found));
        return found;
    }

    DBHANDLE t_ = 0, byBstn_ = 0, byId_ = 0, byBq_ = 0, byName_ = 0;
};

TEST_F(SeekTest, HardSeekFindsTheFirstOfEqualKeysOrGoesToEOF) {
    EXPECT_EQ(seekText(byBstn_, "B-7", DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 2u);
    EXPECT_EQ(text(t_, "BSTN"), "B-7");
    ASSERT_DB(DbSkip(byBstn_, 1));
    EXPECT_EQ(recno(t_), 3u);
    ASSERT_DB(DbSkip(byBstn_, 1));
    EXPECT_EQ(recno(t_), 7u) << "equal keys stand together, by record number";
    EXPECT_EQ(seekText(byBstn_, "B-7   ", DB_SEEK_HARD), 1)
        << "trailing blanks are not significant";
    EXPECT_EQ(recno(t_), 2u);
    EXPECT_EQ(seekText(byBstn_, "B-", DB_SEEK_HARD), 0) << "a text key compares exactly";
    EXPECT_TRUE(eof(t_));
    EXPECT_EQ(seekText(byBstn_, "", DB_SEEK_HARD), 1) << "the empty key exists";
    EXPECT_EQ(recno(t_), 6u);
}

TEST_F(SeekTest, SoftSeekStandsOnTheNextGreaterKey) {
    EXPECT_EQ(seekText(byBstn_, "B-8", DB_SEEK_SOFT), 0);
    EXPECT_EQ(text(t_, "BSTN"), "C");
    EXPECT_EQ(seekText(byBstn_, "B-7", DB_SEEK_SOFT), 1);
    EXPECT_EQ(recno(t_), 2u);
    EXPECT_EQ(seekText(byBstn_, "zzz", DB_SEEK_SOFT), 0);
    EXPECT_TRUE(eof(t_));
    EXPECT_EQ(seekText(byBstn_, "a", DB_SEEK_SOFT), 0) << "byte order: lower case after upper case";
    EXPECT_EQ(text(t_, "BSTN"), "b-7");
}

TEST_F(SeekTest, TextKeysAreConvertedToTheSegmentType) {
    EXPECT_EQ(seekText(byId_, "5", DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 5u);
    EXPECT_EQ(seekText(byId_, "9", DB_SEEK_HARD), 0);
    EXPECT_TRUE(eof(t_));
    uint16_t found = 0;
    EXPECT_EQ(
        DbSeek(byId_, reinterpret_cast<const uint8_t *>("x"), 1, DB_KEY_TEXT, DB_SEEK_HARD, &found),
        DBE_VALUE_INVALID);
    DBHANDLE byD = index(t_, "D", "D");
    EXPECT_EQ(seekText(byD, "01/15/2021", DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 2u);
}

TEST_F(SeekTest, RawKeysWithOneOrMoreSegmentsAndPrefixes) {
    std::string b7 = "B-7";
    b7.resize(20, ' '); // the whole field length: an exact segment
    EXPECT_EQ(seekRaw(byBq_, {{"BSTN", b7}, {"Q", "60"}}, DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 7u);
    EXPECT_EQ(seekRaw(byBq_, {{"BSTN", b7}, {"Q", "15"}}, DB_SEEK_SOFT), 0);
    EXPECT_EQ(recno(t_), 3u) << "next greater second segment under the same first";
    EXPECT_EQ(seekRaw(byBq_, {{"BSTN", b7}, {"Q", "99"}}, DB_SEEK_SOFT), 0);
    EXPECT_EQ(text(t_, "BSTN"), "B-70") << "past the last of the first segment: the next one";
    EXPECT_EQ(seekRaw(byBq_, {{"BSTN", "B-7"}, {"Q", "99"}}, DB_SEEK_SOFT), 0);
    EXPECT_EQ(text(t_, "BSTN"), "C") << "a prefix \"B-7\" takes in B-70 as well";
    EXPECT_EQ(seekRaw(byBq_, {{"BSTN", "B-7"}}, DB_SEEK_HARD), 1) << "only the segments set count";
    EXPECT_EQ(recno(t_), 2u);
    // A string set with fewer bytes than its length matches as a prefix.
    EXPECT_EQ(seekRaw(byBstn_, {{"BSTN", "B-"}}, DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 2u);
    EXPECT_EQ(seekRaw(byBstn_, {{"BSTN", "B-70"}}, DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 4u);
    EXPECT_EQ(seekRaw(byBstn_, {{"BSTN", "B-9"}}, DB_SEEK_SOFT), 0);
    EXPECT_EQ(text(t_, "BSTN"), "C");
    // The whole field length given (as a lookup pads it) compares exactly.
    std::string padded = "B-7";
    padded.resize(20, ' ');
    EXPECT_EQ(seekRaw(byBstn_, {{"BSTN", padded}}, DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 2u);
    // A text ends at its zero byte; the rest of the buffer is zero bytes.
    EXPECT_EQ(seekRaw(byBstn_, {{"BSTN", std::string("B-7 ").append(16, '\0')}}, DB_SEEK_HARD, 20),
              1);
    // Building the key leaves the current record untouched.
    ASSERT_DB(DbGotoRecord(t_, 5));
    ASSERT_DB(DbInitRawKey(byBstn_));
    ASSERT_DB(DbSetField(t_, field(t_, "BSTN"), "zz", 2));
    uint8_t key[64];
    uint16_t len = sizeof key;
    ASSERT_DB(DbBuildRawKey(byBstn_, key, &len));
    EXPECT_EQ(text(t_, "BSTN"), "C");
    uint16_t pending = 0;
    EXPECT_EQ(DbCancelUpdate(t_), DBE_NO_UPDATE_PENDING) << "no change was started";
    (void)pending;
}

TEST_F(SeekTest, CaseInsensitiveStringsSeekWithoutRegardToCase) {
    EXPECT_EQ(seekText(byName_, "meier", DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 1u);
    ASSERT_DB(DbSkip(byName_, 1));
    EXPECT_EQ(recno(t_), 2u);
    ASSERT_DB(DbSkip(byName_, 1));
    EXPECT_EQ(recno(t_), 4u);
    EXPECT_EQ(text(t_, "NAME"), "meier") << "the stored text keeps its case";
    EXPECT_EQ(seekRaw(byName_, {{"NAME", "SCH"}}, DB_SEEK_HARD), 1);
    EXPECT_EQ(recno(t_), 3u);
}

// A hard seek that stays and misses leaves the cursor on its record, as it was: its fields read
// as before and skipping goes on from it in its own order, also when the seek was on another
// index. A hit is the same as without it, and reading the record with the seek changes nothing
// of what the caller sees.
TEST_F(SeekTest, AStayingHardSeekThatMissesLeavesTheCursorWhereItStood) {
    const uint16_t stay = DB_SEEK_HARD | DB_SEEK_STAY;
    ASSERT_EQ(seekText(byBstn_, "B-70", DB_SEEK_HARD), 1);
    ASSERT_EQ(recno(t_), 4u);
    struct Case {
        DBHANDLE index;
        const char *key;
        uint16_t type;
    };
    const Case misses[] = {
        {byBstn_, "B-8", stay},
        {byBstn_, "B-8", stay | DB_SEEK_READ_RECORD},
        {byName_, "Nobody", stay},
        {byId_, "99", stay | DB_SEEK_READ_RECORD},
    };
    for (const Case &c : misses) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(seekText(c.index, c.key, c.type), 0);
        EXPECT_FALSE(eof(t_));
        EXPECT_EQ(recno(t_), 4u);
        EXPECT_EQ(text(t_, "NAME"), "meier");
    }
    ASSERT_DB(DbSkip(byBstn_, 1));
    EXPECT_EQ(text(t_, "BSTN"), "C") << "skipping goes on in the order it stood in";
    ASSERT_DB(DbSkip(byBstn_, -2));
    EXPECT_EQ(recno(t_), 7u);

    EXPECT_EQ(seekText(byName_, "Otto", stay | DB_SEEK_READ_RECORD), 1);
    EXPECT_EQ(recno(t_), 7u);
    EXPECT_EQ(text(t_, "BSTN"), "B-7");
    ASSERT_DB(DbSkip(byName_, 1));
    EXPECT_EQ(text(t_, "NAME"), "Schulz") << "a hit goes on in the seek's order";

    uint16_t found = 9;
    EXPECT_EQ(DbSeek(byBstn_, reinterpret_cast<const uint8_t *>("B"), 1, DB_KEY_TEXT,
                     DB_SEEK_SOFT | DB_SEEK_STAY, &found),
              DBE_INVALID_ARGUMENT)
        << "a soft seek stands on the next key; it cannot stay";
}

TEST_F(SeekTest, BadKeysAndSeeksWithoutAnIndexAreRefused) {
    uint16_t found = 0;
    uint8_t junk[3] = {5, 1, 0};
    EXPECT_EQ(DbSeek(byBstn_, junk, 3, DB_KEY_RAW, DB_SEEK_HARD, &found), DBE_INVALID_ARGUMENT);
    EXPECT_EQ(DbSeek(t_, junk, 3, DB_KEY_RAW, DB_SEEK_HARD, &found), DBE_INVALID_HANDLE);
    EXPECT_EQ(DbSeek(static_cast<DBHANDLE>(-1), junk, 3, DB_KEY_TEXT, DB_SEEK_HARD, &found),
              DBE_INVALID_HANDLE);
    EXPECT_EQ(DbSeek(byBstn_, junk, 3, DB_KEY_TEXT, 7, &found), DBE_INVALID_ARGUMENT);
    uint8_t key[16];
    uint16_t len = sizeof key;
    EXPECT_EQ(DbBuildRawKey(byBstn_, key, &len), DBE_INVALID_ARGUMENT) << "no DbInitRawKey";
}

} // namespace
