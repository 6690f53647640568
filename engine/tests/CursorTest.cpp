// Walking in index and record order: equal keys, batch borders, both directions, ends,
// deletions under the cursor, counts and bookmarks.
#include "EngineFixture.h"

#include <algorithm>
#include <functional>
#include <tuple>

namespace {

class CursorTest : public EngineTest {
protected:
    // Keys in a deliberate mix: a run of equal keys longer than the largest read-ahead batch,
    // empty keys, keys that differ only in trailing blanks.
    void SetUp() override {
        EngineTest::SetUp();
        t_ = create("W.TBL", "K,4,10;N,11;C,20,10");
        ASSERT_DB(DbBeginTransaction(t_));
        for (int i = 0; i < 1500; ++i) {
            std::string k;
            switch (i % 7) {
            case 0:
            case 1:
            case 2:
            case 3:
                k = "B";
                break;
            case 4:
                k = i % 2 ? "A " : "A";
                break;
            case 5:
                k = "";
                break;
            default:
                k = "C" + std::to_string(i % 13);
            }
            std::string n = i % 11 == 0 ? "" : std::to_string((i * 37) % 101 - 50);
            std::string c = std::string(1, "aAbB"[i % 4]) + (i % 3 ? "x" : "X");
            uint32_t r = add(t_, {{"K", k}, {"N", n}, {"C", c}});
            rows_.push_back({k == "A " ? "A" : k, n, c, r});
        }
        ASSERT_DB(DbCommitTransaction(t_));
        byK_ = index(t_, "K", "K");
    }

    struct Row {
        std::string k, n, c;
        uint32_t recno;
    };

    std::vector<uint32_t> expected(const std::function<bool(const Row &, const Row &)> &less) {
        std::vector<Row> sorted = rows_;
        std::stable_sort(sorted.begin(), sorted.end(), less);
        std::vector<uint32_t> out;
        for (const Row &r : sorted)
            out.push_back(r.recno);
        return out;
    }

    DBHANDLE t_ = 0, byK_ = 0;
    std::vector<Row> rows_;
};

TEST_F(CursorTest, WalksAnIndexWithLongRunsOfEqualKeysInBothDirections) {
    std::vector<uint32_t> want = expected([](const Row &a, const Row &b) {
        return std::tie(a.k, a.recno) <
               std::tie(b.k, b.recno); // empty first, ties by record number
    });
    EXPECT_EQ(walk(byK_), want);
    std::vector<uint32_t> back = walk(byK_, true);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, want);
}

TEST_F(CursorTest, ChangingDirectionInsideARunAndAcrossBatchBordersKeepsThePlace) {
    std::vector<uint32_t> want = expected(
        [](const Row &a, const Row &b) { return std::tie(a.k, a.recno) < std::tie(b.k, b.recno); });
    ASSERT_DB(DbGotoTop(byK_));
    long pos = 0;
    // Forward and back in steps that end inside the run of "B" and cross read-ahead borders.
    const int steps[] = {700, -300, 1, -1, 257, -256, 400, -600, 999, -2};
    for (int step : steps) {
        ASSERT_DB(DbSkip(byK_, step));
        pos = std::clamp<long>(pos + step, 0, static_cast<long>(want.size()) - 1);
        ASSERT_EQ(recno(t_), want[static_cast<size_t>(pos)]) << "after skipping " << step;
        uint16_t visible = 0;
        ASSERT_DB(DbIsRecordVisible(byK_, &visible));
        EXPECT_EQ(visible, 1);
    }
}

TEST_F(CursorTest, OtherKeyTypesOrderAsTheHeaderSays) {
    DBHANDLE byN = index(t_, "N", "N");
    auto num = [](const Row &r) { return r.n.empty() ? -1000 : std::stoi(r.n); }; // null first
    EXPECT_EQ(walk(byN), expected([&](const Row &a, const Row &b) {
                  return std::make_tuple(num(a), a.recno) < std::make_tuple(num(b), b.recno);
              }));
    DBHANDLE byC = index(t_, "C", "C");
    auto folded = [](std::string s) {
        for (char &ch : s)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return s;
    };
    EXPECT_EQ(walk(byC), expected([&](const Row &a, const Row &b) {
                  return std::make_tuple(folded(a.c), a.recno) <
                         std::make_tuple(folded(b.c), b.recno);
              }));
    DBHANDLE byKN = index(t_, "KN", "K;N");
    EXPECT_EQ(walk(byKN, true), [&] {
        auto v = expected([&](const Row &a, const Row &b) {
            return std::make_tuple(a.k, num(a), a.recno) < std::make_tuple(b.k, num(b), b.recno);
        });
        std::reverse(v.begin(), v.end());
        return v;
    }());
    // The table order is the record number order.
    std::vector<uint32_t> natural = walk(t_);
    EXPECT_TRUE(std::is_sorted(natural.begin(), natural.end()));
    EXPECT_EQ(natural.size(), rows_.size());
}

TEST_F(CursorTest, EndsBehaveAsDocumented) {
    ASSERT_DB(DbGotoBOF(byK_));
    EXPECT_TRUE(bof(t_));
    uint16_t visible = 9;
    EXPECT_EQ(DbIsRecordVisible(byK_, &visible), DBE_NO_CURRENT_RECORD);
    EXPECT_EQ(visible, 0);
    ASSERT_DB(DbSkip(byK_, -1));
    EXPECT_TRUE(bof(t_)) << "skipping back from BOF stays there";
    ASSERT_DB(DbGotoBottom(byK_));
    uint32_t last = recno(t_);
    ASSERT_DB(DbSkip(byK_, 1));
    EXPECT_TRUE(eof(t_));
    ASSERT_DB(DbSkip(byK_, 1));
    EXPECT_TRUE(eof(t_));
    ASSERT_DB(DbSkip(byK_, -1));
    EXPECT_EQ(recno(t_), last) << "skipping back from EOF reaches the last record";
    ASSERT_DB(DbSkip(byK_, 100000));
    EXPECT_TRUE(eof(t_));
    uint32_t r = 0;
    EXPECT_EQ(DbGetRecordNum(t_, &r), DBE_NO_CURRENT_RECORD);

    DBHANDLE empty = create("E.TBL", "X,4,5");
    DBHANDLE ex = index(empty, "X", "X");
    ASSERT_DB(DbGotoTop(ex));
    EXPECT_TRUE(eof(empty));
    ASSERT_DB(DbGotoBottom(ex));
    EXPECT_TRUE(bof(empty));
    uint32_t count = 99;
    ASSERT_DB(DbGetRecordCount(ex, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, 0u);
}

TEST_F(CursorTest, ADeletedRecordLeavesTheCursorAtItsPlace) {
    std::vector<uint32_t> want = walk(byK_);
    ASSERT_DB(DbGotoTop(byK_));
    ASSERT_DB(DbSkip(byK_, 500)); // inside the run of "B"
    ASSERT_EQ(recno(t_), want[500]);
    ASSERT_DB(DbDeleteRecord(t_));
    ASSERT_EQ(DbWriteRecord(t_), 0u)
        << "the write that callers send after a delete confirms it" << lastErrorText();
    uint16_t visible = 1;
    EXPECT_EQ(DbIsRecordVisible(byK_, &visible), DBE_NO_CURRENT_RECORD);
    EXPECT_EQ(visible, 0);
    uint8_t buf[64];
    uint32_t len = sizeof buf;
    EXPECT_EQ(DbGetRecord(t_, buf, &len), DBE_NO_CURRENT_RECORD);
    ASSERT_DB(DbSkip(byK_, 1));
    EXPECT_EQ(recno(t_), want[501]);
    ASSERT_DB(DbSkip(byK_, -1));
    EXPECT_EQ(recno(t_), want[499]) << "the deleted record is skipped over going back";
    // Deleting away from the read-ahead, then moving backwards first.
    ASSERT_DB(DbGotoRecord(t_, want[800]));
    ASSERT_DB(DbDeleteRecord(t_));
    ASSERT_DB(DbSkip(byK_, -1));
    EXPECT_EQ(recno(t_), want[799]);
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(byK_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, want.size() - 2);
    EXPECT_EQ(DbWriteRecord(t_), DBE_NO_UPDATE_PENDING) << "after a move nothing is waiting";
}

// Another user deletes the record this handle's cursor stands on, as happens when two
// workstations work on one table. Every move must work from there, whether or not a fresh read
// has found the record gone yet; only what needs that very record reports that it is gone.
TEST_F(CursorTest, MovesWorkFromARecordAnotherHandleDeleted) {
    const DBHANDLE other = open("W.TBL");
    // The records in "K" order still stored.
    std::vector<uint32_t> inK = walk(byK_);
    auto keyOf = [&](uint32_t recno) {
        for (const Row &row : rows_)
            if (row.recno == recno)
                return row.k;
        return std::string("?");
    };
    // The first record in "K" order with this key: where a seek of it lands.
    auto firstWith = [&](const std::string &k) {
        for (uint32_t r : inK)
            if (keyOf(r) == k)
                return r;
        return 0u;
    };
    auto seek = [&](DBHANDLE order, const std::string &key) {
        uint16_t found = 0;
        DBRESULT rc = DbSeek(order, reinterpret_cast<const uint8_t *>(key.data()),
                             static_cast<uint16_t>(key.size()), DB_KEY_TEXT, DB_SEEK_HARD, &found);
        return rc != DBE_SUCCESS ? rc : found ? DBE_SUCCESS : DBE_RECORD_NOT_FOUND;
    };
    struct Case {
        const char *move;
        std::function<DBRESULT(size_t at)> apply;
        std::function<uint32_t(size_t at)> lands; // 0: EOF
    };
    const std::vector<Case> cases = {
        {"skip forward", [&](size_t) { return DbSkip(byK_, 1); },
         [&](size_t at) { return inK[at + 1]; }},
        {"skip back", [&](size_t) { return DbSkip(byK_, -1); },
         [&](size_t at) { return inK[at - 1]; }},
        {"skip by 3", [&](size_t) { return DbSkip(byK_, 3); },
         [&](size_t at) { return inK[at + 3]; }},
        {"top", [&](size_t) { return DbGotoTop(byK_); }, [&](size_t) { return inK[0]; }},
        {"bottom", [&](size_t) { return DbGotoBottom(byK_); }, [&](size_t) { return inK.back(); }},
        {"seek", [&](size_t) { return seek(byK_, "C5"); }, [&](size_t) { return firstWith("C5"); }},
        {"seek of nothing",
         [&](size_t) { return seek(byK_, "Z") == DBE_RECORD_NOT_FOUND ? 0u : 1u; },
         [&](size_t) { return 0u; }},
        {"record", [&](size_t at) { return DbGotoRecord(t_, inK[at + 2]); },
         [&](size_t at) { return inK[at + 2]; }},
        {"bookmark of another record", [&](size_t at) { return DbGotoBookmark(t_, inK[at + 4]); },
         [&](size_t at) { return inK[at + 4]; }},
        {"shared key",
         [&](size_t) {
             uint32_t passed = 0;
             return DbSkipToSharedKey(byK_, 10, &passed);
         },
         [&](size_t at) { return inK[at + 1]; }},
    };
    size_t at = 500;
    for (const bool foundGone : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.move) + (foundGone ? ", gone found by a read" : ""));
            at += 10; // inside the long run of "B": every record shares its key with the next
            ASSERT_DB(DbGotoTop(byK_));
            ASSERT_DB(DbSkip(byK_, static_cast<int32_t>(at)));
            ASSERT_EQ(recno(t_), inK[at]);
            ASSERT_DB(DbGotoRecord(other, inK[at]));
            ASSERT_DB(DbDeleteRecord(other));
            if (foundGone) {
                uint8_t image[64];
                uint32_t len = sizeof image;
                ASSERT_EQ(DbGetRecord(t_, image, &len), DBE_NO_CURRENT_RECORD);
                EXPECT_NE(lastErrorText().find("Datensatz " + std::to_string(inK[at])),
                          std::string::npos)
                    << lastErrorText();
            }
            // The place keeps its bookmark; going back to it finds the record gone.
            uint32_t mark = 0;
            EXPECT_EQ(DbGetBookmark(t_, &mark), DBE_SUCCESS) << lastErrorText();
            EXPECT_EQ(mark, inK[at]);
            EXPECT_EQ(c.apply(at), DBE_SUCCESS) << lastErrorText();
            const uint32_t want = c.lands(at);
            if (want == 0) {
                EXPECT_TRUE(eof(t_));
            } else {
                EXPECT_EQ(recno(t_), want);
                EXPECT_EQ(text(t_, "K"), keyOf(want)) << "the landed record reads";
            }
            inK.erase(inK.begin() + static_cast<long>(at));
        }
    }
    EXPECT_DB(DbCloseTable(other));
}

// What needs the very record another handle deleted reports that it is gone, and the cursor
// still moves on from its place afterwards.
TEST_F(CursorTest, WhatNeedsARecordAnotherHandleDeletedReportsItGone) {
    const DBHANDLE other = open("W.TBL");
    const std::vector<uint32_t> inK = walk(byK_);
    const size_t at = 400;
    ASSERT_DB(DbGotoTop(byK_));
    ASSERT_DB(DbSkip(byK_, static_cast<int32_t>(at)));
    ASSERT_DB(DbGotoRecord(other, inK[at]));
    ASSERT_DB(DbDeleteRecord(other));
    uint8_t image[64];
    uint32_t len = sizeof image;
    EXPECT_EQ(DbGetRecord(t_, image, &len), DBE_NO_CURRENT_RECORD);
    EXPECT_EQ(DbLockRecord(t_, 0), DBE_NO_CURRENT_RECORD);
    EXPECT_EQ(DbDeleteRecord(t_), DBE_NO_CURRENT_RECORD);
    uint32_t number = 0;
    EXPECT_EQ(DbGetRecordNum(t_, &number), DBE_NO_CURRENT_RECORD);
    uint16_t visible = 1;
    EXPECT_EQ(DbIsRecordVisible(byK_, &visible), DBE_NO_CURRENT_RECORD);
    EXPECT_EQ(DbLockRecord(t_, inK[at]), DBE_RECORD_NOT_FOUND);
    EXPECT_EQ(DbGotoBookmark(t_, inK[at]), DBE_RECORD_NOT_FOUND);
    EXPECT_TRUE(eof(t_));
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(byK_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, inK.size() - 1);
    EXPECT_DB(DbCloseTable(other));
}

TEST_F(CursorTest, ARecordDeletedAfterASeekOnAnotherTagKeepsItsPlaceInTheWalkedOrder) {
    // As the deletion of duplicates does it: find the record by another tag, delete it, then
    // go on in the order being walked.
    DBHANDLE byN = index(t_, "N", "N");
    std::vector<uint32_t> inK = walk(byK_);
    const size_t at = 600;
    ASSERT_DB(DbGotoRecord(t_, inK[at]));
    const std::string key = text(t_, "N");
    // Seek the same record through the other tag; equal keys stand in record number order.
    uint16_t found = 0;
    ASSERT_DB(DbSeek(byN, reinterpret_cast<const uint8_t *>(key.data()),
                     static_cast<uint16_t>(key.size()), DB_KEY_TEXT, DB_SEEK_HARD, &found));
    ASSERT_EQ(found, 1);
    while (recno(t_) != inK[at])
        ASSERT_DB(DbSkip(byN, 1));
    ASSERT_DB(DbDeleteRecord(t_));
    ASSERT_DB(DbSkip(byK_, 1));
    EXPECT_EQ(recno(t_), inK[at + 1]) << "the walk goes on after the deleted record";
    ASSERT_DB(DbSkip(byK_, -1));
    EXPECT_EQ(recno(t_), inK[at - 1]);
}

TEST_F(CursorTest, SkippingInAnotherOrderContinuesFromTheCurrentRecord) {
    std::vector<uint32_t> inK = walk(byK_);
    ASSERT_DB(DbGotoRecord(t_, 700)); // positioned in no particular index order
    auto at = std::find(inK.begin(), inK.end(), 700u) - inK.begin();
    ASSERT_DB(DbSkip(byK_, 1));
    EXPECT_EQ(recno(t_), inK[static_cast<size_t>(at + 1)]);
    ASSERT_DB(DbSkip(t_, 1)); // table order now
    EXPECT_EQ(recno(t_), inK[static_cast<size_t>(at + 1)] + 1);
}

TEST_F(CursorTest, CountsAndBookmarks) {
    uint32_t count = 0;
    ASSERT_DB(DbGetRecordCount(byK_, DB_IGNORE_FILTERS, &count));
    EXPECT_EQ(count, rows_.size());
    ASSERT_DB(DbSetFilter(t_, "(K=\"B\")"));
    ASSERT_DB(DbGetRecordCount(t_, DB_RESPECT_FILTERS, &count));
    EXPECT_EQ(count, static_cast<uint32_t>(std::count_if(rows_.begin(), rows_.end(),
                                                         [](const Row &r) { return r.k == "B"; })));
    ASSERT_DB(DbGetRecordCount(t_, DB_IGNORE_FILTERS + 4, &count));
    EXPECT_EQ(count, rows_.size());
    ASSERT_DB(DbClearFilter(t_));

    std::vector<uint32_t> inK = walk(byK_);
    ASSERT_DB(DbGotoTop(byK_));
    ASSERT_DB(DbSkip(byK_, 42));
    uint32_t mark = 0;
    ASSERT_DB(DbGetBookmark(t_, &mark));
    uint32_t there = recno(t_);
    EXPECT_EQ(there, inK[42]);
    ASSERT_DB(DbSkip(byK_, 10));
    ASSERT_DB(DbGotoBookmark(t_, mark));
    EXPECT_EQ(recno(t_), there);
    ASSERT_DB(DbSkip(byK_, 1));
    EXPECT_EQ(recno(t_), inK[43]);
    ASSERT_DB(DbGotoRecord(t_, there));
    ASSERT_DB(DbDeleteRecord(t_));
    EXPECT_EQ(DbGotoBookmark(t_, mark), DBE_RECORD_NOT_FOUND);
    EXPECT_TRUE(eof(t_));
    EXPECT_EQ(DbGotoRecord(t_, 999999), DBE_RECORD_NOT_FOUND);
}

} // namespace
