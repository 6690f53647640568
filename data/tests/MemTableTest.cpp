#include "ExceptionText.h"
#include "ResultTableFixture.h"

#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

class MemTable : public ::testing::Test, public ResultTableFixture {};

} // namespace

TEST_F(MemTable, AppendKeepsInsertionOrderAndEditKeepsThePlace) {
    add(3, QStringLiteral("c"), QStringLiteral("X"));
    add(1, QStringLiteral("a"), QStringLiteral("X"));
    add(2, QStringLiteral("b"), QStringLiteral("Y"));
    EXPECT_EQ(KM->RecordCount(), 3);
    EXPECT_EQ(KMID->AsInteger(), 2) << "the appended record becomes current";

    // A loop that edits as it goes continues with the following record.
    QList<int> seen;
    for (KM->First(); !KM->Eof(); KM->Next()) {
        seen << KMID->AsInteger();
        KM->Edit();
        KMHASBOOKS->SetAsBoolean(true);
        KMBSTN->SetAsString(QStringLiteral("Z"));
        KM->Post();
    }
    EXPECT_EQ(seen, (QList<int>{3, 1, 2}));
    EXPECT_EQ(ids(), (QList<int>{3, 1, 2}));
    KM->First();
    EXPECT_TRUE(KMHASBOOKS->AsBoolean());
    EXPECT_EQ(KMBSTN->AsString(), QStringLiteral("Z"));
}

TEST_F(MemTable, NeverAssignedFieldsAreNullAndReadAsEmptyZeroOrFalse) {
    KM->Append();
    KMID->SetAsInteger(7);
    KM->Post();
    EXPECT_TRUE(KMHASBOOKS->IsNull());
    EXPECT_FALSE(KMHASBOOKS->AsBoolean());
    EXPECT_EQ(KMHASBOOKS->DisplayText(), QString());
    EXPECT_EQ(KMBZ->AsString(), QString());
    EXPECT_EQ(KMBZ->AsInteger(), 0);
    EXPECT_FALSE(KMID->IsNull());
}

TEST_F(MemTable, TextsAreCutToTheFieldSize) {
    const QString text(120, u'x');
    add(1, text + QStringLiteral("tail"), text);
    EXPECT_EQ(KMBZ->AsString(), text.left(100));
    EXPECT_EQ(KMBSTN->AsString(), text.left(50));
}

TEST_F(MemTable, EmptyTableDropsEverythingAndIsHarmlessWhenEmpty) {
    KM->EmptyTable();
    KM->First();
    EXPECT_TRUE(KM->Eof());
    EXPECT_EQ(KM->RecordCount(), 0);
    add(1, QStringLiteral("a"), QStringLiteral("A"));
    add(2, QStringLiteral("b"), QStringLiteral("B"));
    KM->Edit();
    KMBSTN->SetAsString(QStringLiteral("changed"));
    KM->EmptyTable();
    EXPECT_EQ(KM->State(), dsBrowse);
    EXPECT_EQ(KM->RecordCount(), 0);
    EXPECT_TRUE(KM->Eof());
    EXPECT_TRUE(KM->Bof());
    EXPECT_FALSE(KM->ControlsDisabled());
}

TEST_F(MemTable, LocateFindsTheEarliestMatchAndLeavesTheCursorWhenNothingMatches) {
    add(5, QStringLiteral("first"), QStringLiteral("A"));
    add(6, QStringLiteral("second"), QStringLiteral("B"));
    add(5, QStringLiteral("third"), QStringLiteral("C"));
    EXPECT_TRUE(KM->Locate(QStringLiteral("ID"), 5, {}));
    EXPECT_EQ(KMBZ->AsString(), QStringLiteral("first"));
    EXPECT_EQ(KM->RecNo(), 1);

    KM->Last();
    EXPECT_FALSE(KM->Locate(QStringLiteral("ID"), 99, {}));
    EXPECT_EQ(KMBZ->AsString(), QStringLiteral("third"));

    // The ID given as text is converted through the field, as the deletion passes it.
    EXPECT_TRUE(KM->Locate(QStringLiteral("ID"), QStringLiteral("6"), {}));
    EXPECT_EQ(KMBZ->AsString(), QStringLiteral("second"));
}

struct LocateCase {
    const char *key;
    TLocateOptions options;
    int expectedId; // 0: not found
};

class MemTableLocateOptions : public MemTable, public ::testing::WithParamInterface<LocateCase> {};

TEST_P(MemTableLocateOptions, ComparesTextsAsTheOptionsSay) {
    add(1, QStringLiteral("Abend"), QString());
    add(2, QStringLiteral("abc"), QString());
    add(3, QStringLiteral("ABCDE"), QString());
    const LocateCase &c = GetParam();
    KM->First();
    const bool found = KM->Locate(QStringLiteral("BZ"), QString::fromUtf8(c.key), c.options);
    EXPECT_EQ(found, c.expectedId != 0);
    EXPECT_EQ(KMID->AsInteger(), c.expectedId ? c.expectedId : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MemTableLocateOptions,
    ::testing::Values(LocateCase{"abc", {}, 2}, LocateCase{"ABC", {}, 0},
                      LocateCase{"ABC", loCaseInsensitive, 2}, LocateCase{"ab", {}, 0},
                      LocateCase{"ab", loPartialKey, 2}, LocateCase{"AB", loPartialKey, 3},
                      LocateCase{"ab", loPartialKey | loCaseInsensitive, 1},
                      LocateCase{"abcd", loPartialKey | loCaseInsensitive, 3}));

TEST_F(MemTable, LocateOverSeveralFieldsAndItsErrors) {
    add(1, QStringLiteral("x"), QStringLiteral("A"));
    add(2, QStringLiteral("y"), QStringLiteral("A"));
    EXPECT_TRUE(KM->Locate(QStringLiteral("BSTN;BZ"),
                           QVariantList{QStringLiteral("A"), QStringLiteral("y")}, {}));
    EXPECT_EQ(KMID->AsInteger(), 2);

    EXPECT_EQ(messageOf<EMemTableError>([&] {
                  KM->Locate(QStringLiteral("BSTN;BZ"),
                             QVariantList{QVariantList{1, 2}, QStringLiteral("y")}, {});
              }),
              QStringLiteral("Values variant array has invalid dimension count"));
    EXPECT_EQ(messageOf<EDatabaseError>([&] { KM->Locate(QStringLiteral("NOPE"), 1, {}); }),
              QStringLiteral("KM: Das Feld 'NOPE' wurde nicht gefunden"));
}

TEST_F(MemTable, FrameworkErrorsCarryTheComponentName) {
    EXPECT_EQ(messageOf<EDatabaseError>([&] { KM->Delete(); }),
              QStringLiteral("KM: Operation bei leerer Datenmenge nicht ausführbar"));
    add(1, QStringLiteral("a"), QStringLiteral("A"));
    EXPECT_EQ(messageOf<EDatabaseError>([&] { KMBZ->SetAsString(QStringLiteral("b")); }),
              QStringLiteral("KM: Datenmenge nicht im Bearbeitungs- oder Einfügemodus"));
    EXPECT_EQ(messageOf<EDatabaseError>([&] { KM->FieldByName(QStringLiteral("XYZ")); }),
              QStringLiteral("KM: Das Feld 'XYZ' wurde nicht gefunden"));
    EXPECT_EQ(KM->FieldByName(QStringLiteral("bstn")), KMBSTN) << "names without regard to case";

    KMBZ->SetReadOnly(true);
    KM->Edit();
    EXPECT_EQ(messageOf<EDatabaseError>([&] { KMBZ->SetAsString(QStringLiteral("b")); }),
              QStringLiteral("Field 'BZ' cannot be modified"));
    KM->Cancel();

    KM->SetReadOnly(true);
    EXPECT_EQ(messageOf<EDatabaseError>([&] { KM->Edit(); }),
              QStringLiteral("KM: Eine Datenmenge, die nur zum Lesen ist, kann nicht geändert "
                             "werden"));
    KM->SetReadOnly(false);

    KM->Close();
    EXPECT_EQ(messageOf<EDatabaseError>([&] { KM->RecordCount(); }),
              QStringLiteral("KM: Operation bei geschlossener Datenmenge nicht ausführbar"));
    EXPECT_EQ(messageOf<EDatabaseError>([&] { (void)KMID->AsInteger(); }),
              QStringLiteral("KM: Operation bei geschlossener Datenmenge nicht ausführbar"));
}

TEST_F(MemTable, ConversionErrorsLeaveTheValueUnchanged) {
    add(1, QStringLiteral("a"), QStringLiteral("A"));
    KM->Edit();
    EXPECT_EQ(messageOf<EConvertError>([&] { KMID->SetAsString(QStringLiteral("12a")); }),
              QStringLiteral("'12a' ist kein gültiger Integerwert"));
    EXPECT_EQ(KMID->AsInteger(), 1);
    KMID->SetAsString(QStringLiteral(" 42 "));
    EXPECT_EQ(KMID->AsInteger(), 42);
    KM->Post();
}

TEST_F(MemTable, DeleteMakesTheNextRecordCurrentAndThePreviousAtTheEnd) {
    add(1, QStringLiteral("a"), QString());
    add(2, QStringLiteral("b"), QString());
    add(3, QStringLiteral("c"), QString());
    KM->First();
    KM->Next();
    KM->Delete();
    EXPECT_EQ(KMID->AsInteger(), 3);
    KM->Delete();
    EXPECT_EQ(KMID->AsInteger(), 1);
    EXPECT_FALSE(KM->Eof());
    KM->Delete();
    EXPECT_TRUE(KM->Eof());
    EXPECT_TRUE(KM->Bof());
    EXPECT_TRUE(KM->IsEmpty());
}

TEST_F(MemTable, NextAtTheEndKeepsTheLastRecordCurrent) {
    add(1, QStringLiteral("a"), QString());
    add(2, QStringLiteral("b"), QString());
    KM->First();
    EXPECT_TRUE(KM->Bof());
    KM->Next();
    KM->Next();
    EXPECT_TRUE(KM->Eof());
    EXPECT_EQ(KMID->AsInteger(), 2);
    KM->Prior();
    EXPECT_FALSE(KM->Eof());
    EXPECT_EQ(KMID->AsInteger(), 1);
}

TEST_F(MemTable, RowsCanBeReadByPositionWithoutMovingTheCursor) {
    add(1, QStringLiteral("a"), QString());
    add(2, QStringLiteral("b"), QString());
    KM->First();
    EXPECT_EQ(KM->DisplayTextAt(2, KMBZ), QStringLiteral("b"));
    EXPECT_EQ(KM->RecNo(), 1);
    KM->Edit();
    KMBZ->SetAsString(QStringLiteral("edited"));
    EXPECT_EQ(KM->DisplayTextAt(1, KMBZ), QStringLiteral("edited"));
    KM->Cancel();
    EXPECT_EQ(KM->DisplayTextAt(1, KMBZ), QStringLiteral("a"));
    KM->SetRecNo(2);
    EXPECT_EQ(KMID->AsInteger(), 2);
    EXPECT_THROW(KM->SetRecNo(3), EDatabaseError);
    EXPECT_THROW(KM->DisplayTextAt(0, KMBZ), EDatabaseError);
}

TEST_F(MemTable, FilterRecordPassesOverRejectedRecords) {
    for (int i = 1; i <= 5; ++i)
        add(i, QString(), QString());
    KM->OnFilterRecord = [&](TDataSet *, bool &accept) { accept = KMID->AsInteger() % 2 == 1; };
    KM->SetFiltered(true);
    EXPECT_EQ(ids(), (QList<int>{1, 3, 5}));
    EXPECT_FALSE(KM->Locate(QStringLiteral("ID"), 4, {}));
}

TEST_F(MemTable, DefaultFieldsComeFromFieldDefinitions) {
    TMemTable table;
    table.setObjectName(QStringLiteral("VS"));
    EXPECT_THROW(table.Open(), EMemTableError);
    table.FieldDefs() << TFieldDef{QStringLiteral("Text"), ftString, 50}
                      << TFieldDef{QStringLiteral("Steuer"), ftInteger}
                      << TFieldDef{QStringLiteral("Value"), ftFloat};
    table.Open();
    ASSERT_EQ(table.FieldCount(), 3);
    table.Append();
    table.FieldByName(QStringLiteral("Value"))->SetAsFloat(2.5);
    table.FieldByName(QStringLiteral("Text"))->SetAsString(QStringLiteral("t"));
    table.Post();
    EXPECT_DOUBLE_EQ(table.FieldByName(QStringLiteral("value"))->AsFloat(), 2.5);
    table.Close();
    EXPECT_EQ(table.FieldCount(), 0) << "default fields go with the close";
}

// A change whose Post failed was reported as failed; moving on must drop it, not store it.
TEST_F(MemTable, AChangeWhosePostFailedIsCancelledNotPostedByTheNextOperation) {
    add(1, QStringLiteral("a"), QStringLiteral("old"));
    add(2, QStringLiteral("b"), QStringLiteral("other"));
    KM->First();
    bool refuse = true;
    KM->BeforePost = [&](TDataSet *) {
        if (refuse)
            throw EDatabaseError(QStringLiteral("refused"));
    };
    KM->Edit();
    KMBSTN->SetAsString(QStringLiteral("new"));
    EXPECT_THROW(KM->Post(), EDatabaseError);
    EXPECT_EQ(KM->State(), dsEdit) << "a failed Post keeps the edit state";
    refuse = false;

    EXPECT_TRUE(KM->Locate(QStringLiteral("ID"), 2, {}));
    EXPECT_EQ(KM->State(), dsBrowse);
    KM->First();
    EXPECT_EQ(KMBSTN->AsString(), QStringLiteral("old"));

    // An explicit Post after a failure still writes: the caller asks for it.
    refuse = true;
    KM->Edit();
    KMBSTN->SetAsString(QStringLiteral("new"));
    EXPECT_THROW(KM->Post(), EDatabaseError);
    refuse = false;
    KM->Post();
    EXPECT_EQ(KMBSTN->AsString(), QStringLiteral("new"));

    // A change that never failed is still completed by moving on.
    KM->Edit();
    KMBSTN->SetAsString(QStringLiteral("newer"));
    KM->Next();
    KM->First();
    EXPECT_EQ(KMBSTN->AsString(), QStringLiteral("newer"));
}
