#include "data/MemTableCsv.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "platform/Cp1252.h"
#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The tax texts table of the settings: four texts of 50, an integer and a float.
class MemTableCsvTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_format = formatSettings();
        formatSettings().decimalSeparator = u',';
        table = std::make_unique<TMemTable>();
        for (const char *name : {"Text", "Text2", "Text1Netto", "Text2Netto"}) {
            auto *f = new TStringField(table.get(), 50);
            f->SetFieldName(QString::fromLatin1(name));
            f->SetDataSet(table.get());
        }
        auto *steuer = new TIntegerField(table.get());
        steuer->SetFieldName(QStringLiteral("Steuer"));
        steuer->SetDataSet(table.get());
        auto *value = new TFloatField(table.get());
        value->SetFieldName(QStringLiteral("Value"));
        value->SetDataSet(table.get());
        table->Open();
    }
    void TearDown() override { formatSettings() = m_format; }

    QString at(int recNo, const char *field) {
        return table->FieldValueAt(recNo, table->FieldByName(QString::fromLatin1(field)))
            .toString();
    }

    std::unique_ptr<TMemTable> table;

private:
    FormatSettings m_format;
};

TEST_F(MemTableCsvTest, ReadsQuotedFieldsNullsAndLocalNumbers) {
    MemTableCsv::Load(table.get(),
                      Cp1252::fromQString(QStringLiteral(
                          "Umsatzsteuer;\"inkl. \"\"19 %\"\"\";\"zwei\r\nZeilen\";;1;19,5\r\n"
                          "ermäßigt;;;;2;7\n"
                          "\r\n"
                          "kurz;x")));
    ASSERT_EQ(table->RecordCount(), 3);
    EXPECT_EQ(at(1, "Text2"), QStringLiteral("inkl. \"19 %\""));
    EXPECT_EQ(at(1, "Text1Netto"), QStringLiteral("zwei\r\nZeilen"));
    EXPECT_FALSE(
        table->FieldValueAt(1, table->FieldByName(QStringLiteral("Text2Netto"))).isValid());
    EXPECT_EQ(table->FieldValueAt(1, table->FieldByName(QStringLiteral("Value"))).toDouble(), 19.5);
    EXPECT_EQ(at(2, "Text"), QStringLiteral("ermäßigt"));
    EXPECT_EQ(table->FieldValueAt(2, table->FieldByName(QStringLiteral("Steuer"))).toInt(), 2);
    EXPECT_EQ(at(3, "Text2"), QStringLiteral("x"));
    EXPECT_FALSE(table->FieldValueAt(3, table->FieldByName(QStringLiteral("Steuer"))).isValid());
}

TEST_F(MemTableCsvTest, SaveAndLoadGiveTheSameRecords) {
    const QByteArray stream =
        Cp1252::fromQString(QStringLiteral("a;\"b;c\";\" d \";\"e\"\"f\";-3;0,125\r\nÄ;;;;;\r\n"));
    MemTableCsv::Load(table.get(), stream);
    EXPECT_EQ(MemTableCsv::Save(table.get()), stream);
    TMemTable &t = *table;
    t.EmptyTable();
    MemTableCsv::Load(&t, stream);
    EXPECT_EQ(t.RecordCount(), 2);
}

TEST_F(MemTableCsvTest, AMalformedStreamAppendsNothing) {
    for (const char *bad : {"a;b;c;d;kein;1\r\n", "a;b;c;d;1;1,5x\r\n", "a;b;c;d;1;2;7\r\n",
                            "ok;;;;1;1\r\n\"offen;;;;1;1\r\n", "\"a\"b;;;;;\r\n"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(MemTableCsv::Load(table.get(), QByteArray(bad)), EConvertError);
        EXPECT_EQ(table->RecordCount(), 0);
    }
}

} // namespace
