// Locate by one integer field, the check's search of its listed rows by ID: the same answers
// as any other Locate, also around empty IDs, equal IDs and a record filter.
#include "ResultTableFixture.h"

#include <gtest/gtest.h>

namespace {

struct IdCase {
    const char *name;
    QVariant key;
    bool filtered; // records named "third" are passed over
    int foundRow;  // 0: not found
};

class MemTableIdLocate : public ::testing::TestWithParam<IdCase>, public ResultTableFixture {
protected:
    // Rows: 1 an ID never set, 2 an ID set and cleared again, 3 ID 0, 4 and 5 ID 7, 6 ID 9.
    void SetUp() override {
        KM->Append();
        KMBZ->SetAsString(QStringLiteral("never set"));
        KM->Post();
        KM->Append();
        KMID->SetAsInteger(5);
        KMID->Clear();
        KMBZ->SetAsString(QStringLiteral("cleared"));
        KM->Post();
        add(0, QStringLiteral("zero"), QString());
        add(7, QStringLiteral("third"), QString());
        add(7, QStringLiteral("fourth"), QString());
        add(9, QStringLiteral("last"), QString());
        KM->OnFilterRecord = [this](TDataSet *, bool &accept) {
            accept = KMBZ->AsString() != QLatin1String("third");
        };
    }
};

} // namespace

TEST_P(MemTableIdLocate, FindsTheFirstAcceptedRowWithThatId) {
    const IdCase &c = GetParam();
    KM->SetFiltered(c.filtered);
    KM->Last();
    const int before = KM->RecNo();
    EXPECT_EQ(KM->Locate(QStringLiteral("ID"), c.key, {}), c.foundRow != 0);
    EXPECT_EQ(KM->RecNo(), c.foundRow != 0 ? c.foundRow : before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MemTableIdLocate,
    ::testing::Values(IdCase{"ZeroIsNotAnEmptyId", 0, false, 3},
                      IdCase{"EqualIdsGiveTheFirst", 7, false, 4},
                      IdCase{"AFilteredRowIsPassedOver", 7, true, 5},
                      IdCase{"TheLastRow", 9, false, 6}, IdCase{"NoSuchId", 8, false, 0},
                      IdCase{"AClearedIdIsNotFound", 5, false, 0},
                      IdCase{"AnEmptyKeyFindsTheFirstEmptyId", QVariant(), false, 1},
                      IdCase{"ALongKey", QVariant(qint64(7)), false, 4},
                      IdCase{"AKeyAsText", QStringLiteral("9"), false, 6}),
    [](const ::testing::TestParamInfo<IdCase> &info) { return std::string(info.param.name); });
