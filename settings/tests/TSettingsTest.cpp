#include "settings/TSettings.h"

#include <gtest/gtest.h>

struct TagCase {
    const char *path;
    const char *tag;
};

class DataPathTagCases : public ::testing::TestWithParam<TagCase> {};

TEST_P(DataPathTagCases, IsTheLastFolderNameMadeSafe) {
    EXPECT_EQ(DataPathTagFromPath(QString::fromUtf8(GetParam().path)),
              QString::fromUtf8(GetParam().tag));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataPathTagCases,
    ::testing::Values(TagCase{"C:\\DATEN\\Mandant 1\\", "Mandant_1"}, TagCase{"D", "D_"},
                      TagCase{"C:", "C"}, TagCase{"\\\\server\\daten\\firma", "firma"},
                      TagCase{"", ""}, TagCase{"/home/lager/demo-data", "demo-data"},
                      TagCase{"/home/lager/demo.daten/", "demo_daten"},
                      // The cut comes before the replacement: 40 characters give their first 30.
                      TagCase{"C:\\x\\Mandant (Alt) äöü & Co. Lager 2026 Nord",
                              "Mandant__Alt________Co__Lager_"},
                      TagCase{"C:\\Ü ß%'^", "Ü_ß%'^"}));

TEST(TSettings, AccessorReturnsTheSameObjectAndSetConnectPathSetsTheTag) {
    TSettings *a = Settings();
    EXPECT_EQ(Settings(), a);
    a->SetConnectPath(QStringLiteral("C:\\DATEN\\Mandant 1\\"));
    EXPECT_EQ(a->ConnectPath(), QStringLiteral("C:\\DATEN\\Mandant 1\\"));
    EXPECT_EQ(a->DataPathTag(), QStringLiteral("Mandant_1"));
    EXPECT_EQ(DataPathTag(), QStringLiteral("Mandant_1"));
}
