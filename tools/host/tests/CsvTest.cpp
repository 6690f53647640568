#include "Csv.h"
#include "EngineSession.h"

#include <gtest/gtest.h>

TEST(Csv, ReadsQuotedFieldsWithSeparatorsQuotesAndLineBreaks) {
    const CsvDocument d = parseCsv("ID,BZK\n1,\"Schraube, verzinkt\"\n2,\"Zoll \"\"Stock\"\"\"\n"
                                   "3,\"zwei\nZeilen\"\n4,letzte");
    ASSERT_EQ(d.records.size(), 5);
    EXPECT_EQ(d.records[1].fields, (QStringList{"1", "Schraube, verzinkt"}));
    EXPECT_EQ(d.records[2].fields, (QStringList{"2", "Zoll \"Stock\""}));
    EXPECT_EQ(d.records[3].fields, (QStringList{"3", "zwei\nZeilen"}));
    EXPECT_EQ(d.records[3].line, 4);
    EXPECT_EQ(d.records[4].line, 6) << "a line break inside quotes still counts as a line";
}

TEST(Csv, SemicolonHeadersSwitchTheSeparatorAndUtf8Survives) {
    const CsvDocument d =
        parseCsv(QString::fromUtf8("\xEF\xBB\xBFID;BZK\r\n1;Größe 9 – weiß\r\n").toUtf8());
    EXPECT_EQ(d.separator, QChar(u';'));
    ASSERT_EQ(d.records.size(), 2);
    EXPECT_EQ(d.records[1].fields[1], QStringLiteral("Größe 9 – weiß"));
}

TEST(Csv, MalformedRecordsNameTheirLine) {
    try {
        parseCsv("A,B\n1,2\n3,\"offen\n");
        FAIL() << "an unterminated quote must fail";
    } catch (const HostError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Zeile 3:"))) << e.what();
    }
    EXPECT_THROW(parseCsv("A,B\n1,\"x\"y\n"), HostError);
}

TEST(Csv, WritingQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(csvLine({"a", "b,c", "d\"e", " f", ""}),
              QStringLiteral("a,\"b,c\",\"d\"\"e\",\" f\","));
    const QStringList fields{"x", "y;z", "zwei\nZeilen"};
    const CsvDocument back = parseCsv((csvLine(fields) + u'\n').toUtf8());
    EXPECT_EQ(back.records[0].fields, fields);
}
