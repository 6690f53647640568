// DbSkipToSharedKey against a plain walk: on every order and for every limit, the records it
// passes over share their key with neither neighbour, and (on the local server, which passes
// them inside SQLite) it stops on the first one that does, after `most` passed, or at EOF.
#include "EngineFixture.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

class SharedKeyTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        t_ = create("S.TBL", "K,4,10;C,20,10");
        ASSERT_DB(DbBeginTransaction(t_));
        // Singletons between runs of two and more, keys equal only without their trailing
        // blanks, empty keys, keys equal only without regard to case (on the ci field), and a
        // long stretch of singletons longer than a batch.
        for (int i = 0; i < 3000; ++i) {
            std::string k, c;
            switch (i % 10) {
            case 0:
            case 1:
                k = "R" + std::to_string(i / 10 % 40); // runs across the table
                break;
            case 2:
                k = i % 20 ? "T " : "T";
                break;
            case 3:
                k = i % 300 == 3 ? "" : "U" + std::to_string(i);
                break;
            default:
                k = "V" + std::to_string(i); // singletons
            }
            c = std::string(i % 2 ? "x" : "X") + std::to_string(i % 700);
            add(t_, {{"K", k}, {"C", c}});
        }
        ASSERT_DB(DbCommitTransaction(t_));
        byK_ = index(t_, "K", "K");
        byC_ = index(t_, "C", "C");
    }

    // The key of the current record as the order compares it.
    std::string key(bool folded) {
        std::string v = text(t_, folded ? "C" : "K");
        while (!v.empty() && v.back() == ' ')
            v.pop_back();
        if (folded)
            std::transform(v.begin(), v.end(), v.begin(),
                           [](unsigned char ch) { return char(std::toupper(ch)); });
        return v;
    }

    void check(DBHANDLE order, bool folded) {
        // The plain walk: each record's place and whether a neighbour shares its key.
        std::vector<uint32_t> records;
        std::vector<std::string> keys;
        ASSERT_DB(DbGotoTop(order));
        while (!eof(t_)) {
            records.push_back(recno(t_));
            keys.push_back(key(folded));
            ASSERT_DB(DbSkip(order, 1));
        }
        const size_t n = records.size();
        std::vector<bool> shared(n);
        for (size_t i = 0; i < n; ++i)
            shared[i] = (i > 0 && keys[i] == keys[i - 1]) || (i + 1 < n && keys[i] == keys[i + 1]);
        std::map<uint32_t, size_t> place;
        for (size_t i = 0; i < n; ++i)
            place[records[i]] = i;

        for (uint32_t most : {1u, 2u, 7u, 300u, 100000u}) {
            ASSERT_DB(DbGotoTop(order));
            size_t at = 0;
            size_t stops = 0;
            for (;;) {
                uint32_t passed = 0;
                ASSERT_DB(DbSkipToSharedKey(order, most, &passed));
                const size_t to = eof(t_) ? n : place.at(recno(t_));
                ASSERT_GT(to, at) << "most " << most;
                ASSERT_EQ(passed, to - at - 1) << "most " << most << " from " << at;
                ASSERT_LE(passed, most);
                for (size_t i = at + 1; i < to; ++i)
                    ASSERT_FALSE(shared[i])
                        << "passed over a shared key at " << i << " (from " << at << " to " << to
                        << ", most " << most << ", keys '" << keys[at] << "' '" << keys[i] << "' '"
                        << keys[to < n ? to : n - 1] << "')";
                if (!remote() && to < n) {
                    ASSERT_TRUE(shared[to] || passed == most)
                        << "stopped on an unshared key at " << to << ", most " << most;
                }
                if (to == n)
                    break;
                at = to;
                ++stops;
                // Every record it stops on reads as a plain walk reads it.
                ASSERT_EQ(key(folded), keys[to]);
            }
            if (!remote() && most >= n) {
                EXPECT_EQ(stops, size_t(std::count(shared.begin() + 1, shared.end(), true)))
                    << "with no limit it stops on every shared key and nowhere else";
            }
        }
    }

    DBHANDLE t_ = 0, byK_ = 0, byC_ = 0;
};

} // namespace

TEST_F(SharedKeyTest, PassesOnlyRecordsWhoseKeyNoNeighbourShares) {
    check(byK_, false);
}

TEST_F(SharedKeyTest, FoldedKeysAreSharedWithoutRegardToCase) {
    check(byC_, true);
}
