#include "Csv.h"
#include "EngineSession.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

struct Read {
    char separator = ',';
    QList<QStringList> records;
    QList<int> lines;
};

Read readAll(const QByteArray &bytes) {
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(buffer);
    Read read;
    read.separator = reader.separator();
    while (reader.next()) {
        QStringList fields;
        for (qsizetype i = 0; i < reader.size(); ++i)
            fields << QString::fromUtf8(reader.field(i));
        read.records << fields;
        read.lines << reader.line();
    }
    return read;
}

} // namespace

TEST(Csv, ReadsQuotedFieldsWithSeparatorsQuotesAndLineBreaks) {
    const Read d = readAll("ID,BZK\n1,\"Schraube, verzinkt\"\n2,\"Zoll \"\"Stock\"\"\"\n"
                           "3,\"zwei\nZeilen\"\n4,letzte");
    ASSERT_EQ(d.records.size(), 5);
    EXPECT_EQ(d.records[1], (QStringList{"1", "Schraube, verzinkt"}));
    EXPECT_EQ(d.records[2], (QStringList{"2", "Zoll \"Stock\""}));
    EXPECT_EQ(d.records[3], (QStringList{"3", "zwei\nZeilen"}));
    EXPECT_EQ(d.lines[3], 4);
    EXPECT_EQ(d.lines[4], 6) << "a line break inside quotes still counts as a line";
}

TEST(Csv, SemicolonHeadersSwitchTheSeparatorAndUtf8Survives) {
    const Read d =
        readAll(QString::fromUtf8("\xEF\xBB\xBFID;BZK\r\n1;Größe 9 – weiß\r\n\n").toUtf8());
    EXPECT_EQ(d.separator, ';');
    ASSERT_EQ(d.records.size(), 2);
    EXPECT_EQ(d.records[0], (QStringList{"ID", "BZK"}));
    EXPECT_EQ(d.records[1][1], QStringLiteral("Größe 9 – weiß"));
}

TEST(Csv, RecordsLongerThanABlockAndQuotesAcrossItsBorderAreReadWhole) {
    // The reader holds one block of 1 MB; these cross its border at every place.
    QByteArray file = "A,B\n";
    QList<QStringList> expected{{"A", "B"}};
    int n = 0;
    while (file.size() < (3 << 20)) {
        const QString big =
            QString(QChar(u'a' + n % 26)).repeated(1000 + n % 977) + QStringLiteral("\"\"");
        file += QByteArray::number(n) + ",\"" + big.toUtf8() + "\"\r\n";
        expected << QStringList{QString::number(n),
                                QString(big).replace(QStringLiteral("\"\""), "\"")};
        ++n;
    }
    const Read d = readAll(file);
    ASSERT_EQ(d.records.size(), expected.size());
    EXPECT_EQ(d.records, expected);
    EXPECT_EQ(d.lines.last(), expected.size());
}

TEST(Csv, MalformedRecordsNameTheirLine) {
    try {
        readAll("A,B\n1,2\n3,\"offen\n");
        FAIL() << "an unterminated quote must fail";
    } catch (const HostError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Zeile 3:"))) << e.what();
    }
    try {
        readAll("A,B\n1,\"x\"y\n");
        FAIL() << "text after a closing quote must fail";
    } catch (const HostError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Zeile 2:"))) << e.what();
    }
}

TEST(Csv, WritingQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(csvLine({"a", "b,c", "d\"e", " f", ""}),
              QStringLiteral("a,\"b,c\",\"d\"\"e\",\" f\","));
    const QStringList fields{"x", "y;z", "zwei\nZeilen", "g "};
    const Read back = readAll((csvLine(fields) + u'\n').toUtf8());
    ASSERT_EQ(back.records.size(), 1);
    EXPECT_EQ(back.records[0], fields);
}
