#include "EngineFolder.h"
#include "ExceptionText.h"

#include "data/DbConnection.h"
#include "data/DbEngineError.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "engine/src/remote/RoundTrips.h"

#include <QObject>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

class DbTableTest : public ::testing::Test {
protected:
    EngineFolder folder;
    std::unique_ptr<QObject> window = std::make_unique<QObject>();
    TDbConnection *connection = nullptr;
    TDbTable *table = nullptr;

    void SetUp() override {
        window->setObjectName(QStringLiteral("FMain"));
        folder.makeArticles();
        connection = new TDbConnection(window.get());
        connection->setObjectName(QStringLiteral("DbConnection"));
        connection->SetDbServerTypes(EngineFolder::serverTypes());
        connection->SetConnectPath(folder.path());
        table = articles(QStringLiteral("Table_ARTMAIN"));
    }

    TDbTable *articles(const QString &name) {
        auto *t = new TDbTable(window.get());
        t->setObjectName(name);
        t->SetDbConnection(connection);
        t->SetTableName(QStringLiteral("ArtikelMain.TBL"));
        return t;
    }

    QString bzk() { return table->FieldByName(QStringLiteral("BZK"))->AsString(); }
    int id() { return table->FieldByName(QStringLiteral("ID"))->AsInteger(); }

    QList<int> walk() {
        QList<int> ids;
        for (table->First(); !table->Eof(); table->Next())
            ids << id();
        return ids;
    }

    // The stored BSTN of an article, read through a handle of its own.
    QString storedBstn(int articleId) {
        TDbTable *other = articles(QStringLiteral("Check"));
        other->Open();
        other->Locate(QStringLiteral("ID"), articleId, {});
        const QString value = other->FieldByName(QStringLiteral("BSTN"))->AsString();
        delete other;
        return value;
    }
};

} // namespace

TEST_F(DbTableTest, OpensWalksAndCountsInTheActiveOrder) {
    table->Open();
    EXPECT_TRUE(connection->IsConnected()) << "opening connects the connection";
    EXPECT_EQ(table->RecordCount(), 4);
    EXPECT_EQ(walk(), (QList<int>{1, 2, 3, 4}));
    table->SetIndexName(QStringLiteral("BSTN"));
    EXPECT_EQ(walk(), (QList<int>{2, 4, 1, 3}));
    table->Last();
    EXPECT_EQ(id(), 3);
    EXPECT_TRUE(table->Eof());
    table->Prior();
    EXPECT_EQ(id(), 1);
    table->Next();
    table->Next();
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(id(), 3) << "Next at the end keeps the last record current";
    table->Prior();
    EXPECT_EQ(id(), 1);
}

TEST_F(DbTableTest, FirstOnAnEmptyTableLeavesEof) {
    const DBHANDLE t = folder.create("Leer.TBL", "ID,15,0,0;NAME,4,10,0");
    ok(DbCloseTable(t));
    table->SetTableName(QStringLiteral("Leer.TBL"));
    table->Open();
    table->First();
    EXPECT_TRUE(table->Eof());
    EXPECT_TRUE(table->IsEmpty());
    EXPECT_EQ(table->RecordCount(), 0);
    EXPECT_EQ(messageOf<EDatabaseError>([&] { table->Delete(); }),
              QStringLiteral("Table_ARTMAIN: Operation bei leerer Datenmenge nicht ausführbar"));
}

TEST_F(DbTableTest, OpenErrorsCarryTheTableNameAndTheirNumber) {
    struct Case {
        std::function<void()> arrange;
        uint32_t number;
        QString text; // empty: the engine's own text, which must then be non-empty
    };
    const QList<Case> cases = {
        {[&] { table->SetTableName(QString()); }, 5121,
         QStringLiteral("Missing TableName property")},
        {[&] { table->SetDbConnection(nullptr); }, 5121,
         QStringLiteral("One of the DatabaseName property or the DbConnection property must have "
                        "a value.")},
        {[&] { table->SetTableName(QStringLiteral("Fehlt.TBL")); }, DBE_FILE_NOT_FOUND, {}},
        {[&] { table->SetIndexName(QStringLiteral("NOPE")); }, DBE_INDEX_NOT_FOUND, {}},
    };
    for (const Case &c : cases) {
        TDbTable *t = articles(QStringLiteral("Table_ARTMAIN"));
        std::swap(t, table);
        c.arrange();
        std::swap(t, table);
        try {
            t->Open();
            ADD_FAILURE() << "no exception for " << c.number;
        } catch (const EDbEngineError &e) {
            EXPECT_EQ(e.EngineError(), c.number);
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Table_ARTMAIN: ")))
                << e.message().toStdString();
            if (!c.text.isEmpty())
                EXPECT_EQ(e.message(), QStringLiteral("Table_ARTMAIN: ") + c.text);
            else
                EXPECT_GT(e.message().size(), 20);
            EXPECT_EQ(e.DataSetName(), QStringLiteral("Table_ARTMAIN"));
            EXPECT_EQ(e.DataSetOwner(), QStringLiteral("FMain"));
        }
        EXPECT_FALSE(t->Active());
        delete t;
    }
    table->Open();
    EXPECT_EQ(messageOf<EDbEngineError>([&] {
                  table->Open();
                  table->SetTableName("x");
              }),
              QStringLiteral("Table_ARTMAIN: Cannot perform this operation on an open dataset"));
    EXPECT_EQ(messageOf<EDbEngineError>([&] { table->SetDbConnection(nullptr); }),
              QStringLiteral("Table_ARTMAIN: Table must not be Active."));
}

TEST_F(DbTableTest, ChangingTheIndexKeepsTheCurrentRecordAndAMissingTagRestoresTheOldOne) {
    table->Open();
    table->Locate(QStringLiteral("ID"), 4, {});
    table->SetIndexName(QStringLiteral("BSTN"));
    EXPECT_EQ(id(), 4);
    table->Next();
    EXPECT_EQ(id(), 1) << "the next record in BSTN order";
    try {
        table->SetIndexName(QStringLiteral("GIBTSNICHT"));
        ADD_FAILURE() << "no exception";
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.EngineError(), uint32_t(DBE_INDEX_NOT_FOUND));
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Table_ARTMAIN: ")));
    }
    EXPECT_EQ(table->IndexName(), QStringLiteral("BSTN"));
    EXPECT_EQ(id(), 1);
    EXPECT_EQ(walk(), (QList<int>{2, 4, 1, 3}));

    table->SetIndexFieldNames(QStringLiteral("bzk"));
    EXPECT_EQ(walk(), (QList<int>{1, 2, 4, 3}));
    EXPECT_EQ(
        messageOf<EDbEngineError>([&] { table->SetIndexFieldNames(QStringLiteral("BZL;BZK")); }),
        QStringLiteral("Table_ARTMAIN: Not a valid index field name:BZL;BZK"));
    EXPECT_EQ(table->IndexFieldNames(), QStringLiteral("bzk"));
}

TEST_F(DbTableTest, LocateOnIdSeeksTheIdTagAndKeepsTheActiveIndex) {
    table->Open();
    table->SetIndexName(QStringLiteral("BSTN"));
    table->First();
    EXPECT_EQ(table->IndexForLocate(QStringLiteral("ID"), {}), QStringLiteral("ID"));
    EXPECT_TRUE(table->Locate(QStringLiteral("ID"), 1, {}));
    EXPECT_EQ(bzk(), QStringLiteral("Apfel"));
    EXPECT_EQ(table->IndexName(), QStringLiteral("BSTN"));
    table->Next();
    EXPECT_EQ(id(), 3) << "moving goes on in BSTN order";
    table->Prior();
    table->Prior();
    EXPECT_EQ(id(), 4);

    EXPECT_FALSE(table->Locate(QStringLiteral("ID"), 99, {}));
    EXPECT_EQ(id(), 4) << "a missing ID leaves the current record";
    table->Next();
    EXPECT_EQ(id(), 1);

    EXPECT_TRUE(table->Locate(QStringLiteral("ID"), QStringLiteral("3"), {}))
        << "the ID given as text";
    EXPECT_EQ(bzk(), QStringLiteral("Kirsche"));
}

// On the remote server a Locate through an index waits for the server once: the seek brings the
// record it finds along, and a key it does not find leaves the current record where it stood,
// as it was read. That holds through the Locate's own index and through another one than the
// active index, which stays in force.
TEST_F(DbTableTest, ALocateThroughAnIndexIsOneRoundTripOnTheRemoteServer) {
    if (!EngineFolder::remote())
        GTEST_SKIP() << "round trips are the remote server's";
    table->Open();
    struct Step {
        int id;
        const char *bzk; // of the current record afterwards
        const char *bstn;
    };
    const Step steps[] = {{3, "Kirsche", "C-300"}, {99, "Kirsche", "C-300"},
                          {1, "Apfel", "B-200"},   {98, "Apfel", "B-200"},
                          {4, "Dattel", "A-100"},  {97, "Dattel", "A-100"}};
    for (const char *active : {"ID", "BSTN"}) {
        SCOPED_TRACE(active);
        table->SetIndexName(QString::fromLatin1(active));
        table->First();
        // The first ones prepare their statements on the server.
        table->Locate(QStringLiteral("ID"), 2, {});
        bzk();
        table->Locate(QStringLiteral("ID"), 96, {});
        for (const Step &s : steps) {
            const uint64_t before = dbeng::remoteRoundTrips();
            const bool found = table->Locate(QStringLiteral("ID"), s.id, {});
            const QString name = bzk();
            const QString bstn = table->FieldByName(QStringLiteral("BSTN"))->AsString();
            EXPECT_EQ(dbeng::remoteRoundTrips() - before, 1u) << "ID " << s.id;
            EXPECT_EQ(found, s.id < 90) << s.id;
            EXPECT_EQ(name, QString::fromLatin1(s.bzk));
            EXPECT_EQ(bstn, QString::fromLatin1(s.bstn));
        }
    }
    table->Next();
    EXPECT_EQ(id(), 1) << "after Dattel (A-100) in BSTN order";
    table->Prior();
    table->Prior();
    EXPECT_EQ(id(), 2);
}

TEST_F(DbTableTest, LocateOnTextsWithIndexOrFilter) {
    table->Open();
    struct Case {
        const char *fields;
        QVariant values;
        TLocateOptions options;
        const char *index; // the index chosen, "" for the filter path
        int id;            // 0: not found
    };
    const QList<Case> cases = {
        {"BSTN", QStringLiteral("A-100"), {}, "BSTN", 2},
        {"BSTN", QStringLiteral("a-100"), {}, "BSTN", 0},
        {"BSTN", QStringLiteral("a-100"), loCaseInsensitive, "", 2},
        {"BZK", QStringLiteral("Ki"), loPartialKey, "BZK", 3},
        {"BZK", QStringLiteral("Ki"), {}, "BZK", 0},
        {"BZK", QStringLiteral("ki"), loPartialKey | loCaseInsensitive, "", 3},
        {"EINH", QStringLiteral("x"), {}, "", 0},
        {"BSTN;BZK", QVariantList{QStringLiteral("A-100"), QStringLiteral("Dattel")}, {}, "", 4},
        {"BZK", QString::fromUtf8("Bir\"ne"), {}, "BZK", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fields);
        table->First();
        EXPECT_EQ(table->IndexForLocate(QString::fromLatin1(c.fields), c.options),
                  QString::fromLatin1(c.index));
        const bool found = table->Locate(QString::fromLatin1(c.fields), c.values, c.options);
        EXPECT_EQ(found, c.id != 0);
        EXPECT_EQ(id(), c.id ? c.id : 1);
    }
}

TEST_F(DbTableTest, AKeyFitsAnIndexOnlyOverItsLeadingFields) {
    const DBHANDLE t = folder.create("Drei.TBL", "A,4,5,0;B,4,5,0;C,4,5,0;D,11,0,0");
    folder.index(t, "ABC", "A;B;C");
    folder.append(t, {{1, "a1"}, {2, "b1"}, {3, "c1"}, {4, "1"}});
    folder.append(t, {{1, "a1"}, {2, "b2"}, {3, "c2"}, {4, "2"}});
    ok(DbCloseTable(t));
    table->SetTableName(QStringLiteral("Drei.TBL"));
    table->Open();
    EXPECT_EQ(table->IndexForLocate(QStringLiteral("B;A"), {}), QStringLiteral("ABC"));
    EXPECT_EQ(table->IndexForLocate(QStringLiteral("A"), {}), QStringLiteral("ABC"));
    EXPECT_EQ(table->IndexForLocate(QStringLiteral("A;C"), {}), QString());
    EXPECT_EQ(table->IndexForLocate(QStringLiteral("A"), loCaseInsensitive), QString());
    EXPECT_TRUE(table->Locate(QStringLiteral("B;A"),
                              QVariantList{QStringLiteral("b2"), QStringLiteral("a1")}, {}));
    EXPECT_EQ(table->FieldByName(QStringLiteral("D"))->AsInteger(), 2);
    EXPECT_TRUE(table->Locate(QStringLiteral("A;C"),
                              QVariantList{QStringLiteral("a1"), QStringLiteral("c1")}, {}));
    EXPECT_EQ(table->FieldByName(QStringLiteral("D"))->AsInteger(), 1);
    EXPECT_TRUE(table->Locate(QStringLiteral("D"), 2, {}));
    EXPECT_EQ(table->FieldByName(QStringLiteral("C"))->AsString(), QStringLiteral("c2"));
}

TEST_F(DbTableTest, SeekKeyFindsExactKeysAndStandsOnTheLastRecordAtEof) {
    const HostSchema::Table &settings = HostSchema::settings();
    const DBHANDLE t = folder.createHost(settings);
    const uint16_t ident = settings.fieldNumber("Ident"), text = settings.fieldNumber("stringItem");
    folder.append(t, {{ident, "1"}, {text, "eins"}});
    folder.append(t, {{ident, "5"}, {text, "fünf"}});
    folder.append(t, {{ident, "1"}, {text, "eins b"}});
    ok(DbCloseTable(t));
    table->SetTableName(QStringLiteral("setup.TBL"));
    table->SetIndexName(QStringLiteral("IDENT"));
    table->Open();
    EXPECT_TRUE(SeekKey(table, QStringLiteral("1"), true));
    EXPECT_EQ(table->FieldByName(QStringLiteral("stringItem"))->AsString(), QStringLiteral("eins"))
        << "equal keys: the first in index order";
    EXPECT_FALSE(SeekKey(table, QStringLiteral("3"), true));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Ident"))->AsInteger(), 5)
        << "the next greater key";
    EXPECT_FALSE(SeekKey(table, QStringLiteral("9"), true));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Ident"))->AsInteger(), 5)
        << "EOF: the last record";
    EXPECT_FALSE(table->Eof() && table->IsEmpty());

    table->SetIndexName(QString());
    try {
        SeekKey(table, QStringLiteral("1"), true);
        ADD_FAILURE() << "no exception without an active index";
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.EngineError(), uint32_t(DBE_INVALID_HANDLE));
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Table_ARTMAIN: ")));
    }
}

TEST_F(DbTableTest, DeleteMakesTheNextRecordCurrentAndThePreviousAtTheEnd) {
    table->Open();
    table->SetIndexName(QStringLiteral("BSTN"));
    table->First();
    table->Next();
    ASSERT_EQ(id(), 4);
    table->Delete();
    EXPECT_EQ(id(), 1);
    table->Last();
    table->Delete();
    EXPECT_EQ(id(), 1) << "the last deleted: the previous becomes current";
    EXPECT_FALSE(table->Eof());
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(walk(), (QList<int>{2, 1}));
}

// The deletion of the module finds each article by its ID while "BSTN" is the active index.
TEST_F(DbTableTest, DeleteAfterLocateThroughAnotherIndexGoesOnInTheActiveOrder) {
    table->Open();
    table->SetIndexName(QStringLiteral("BSTN"));
    ASSERT_TRUE(table->Locate(QStringLiteral("ID"), 4, {}));
    table->Delete();
    EXPECT_EQ(id(), 1) << "the record after ID 4 in BSTN order";
    ASSERT_TRUE(table->Locate(QStringLiteral("ID"), 3, {}));
    table->Delete();
    EXPECT_EQ(id(), 1) << "the last in BSTN order deleted: the previous";
}

// The cancel after a failed delete must not put its own "nothing pending" in the place of the
// delete's error.
TEST_F(DbTableTest, AFailedDeleteReportsItsOwnCause) {
    table->Open();
    TDbTable *other = articles(QStringLiteral("Other"));
    other->Open();
    ASSERT_TRUE(other->Locate(QStringLiteral("ID"), 2, {}));
    other->Edit(); // holds the record's lock
    ASSERT_TRUE(table->Locate(QStringLiteral("ID"), 2, {}));
    try {
        table->Delete();
        ADD_FAILURE() << "a record locked by another handle was deleted";
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.EngineError(), uint32_t(DBE_RECORD_LOCKED)) << e.message().toStdString();
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Table_ARTMAIN: ")) &&
                    e.message().contains(QStringLiteral("gesperrt")))
            << e.message().toStdString();
    }
    EXPECT_EQ(id(), 2);
    other->Cancel();
    EXPECT_EQ(storedBstn(2), QStringLiteral("A-100"));
}

TEST_F(DbTableTest, PersistentFieldsBindByNameAndType) {
    auto *tableId = new TAutoIncField(window.get());
    tableId->SetFieldName(QStringLiteral("ID"));
    tableId->SetDataSet(table);
    auto *tableBstn = new TStringField(window.get());
    tableBstn->SetFieldName(QStringLiteral("bstn"));
    tableBstn->SetDataSet(table);
    table->Open();
    EXPECT_EQ(table->FieldCount(), 2);
    EXPECT_EQ(tableBstn->Size(), 50) << "the engine's length";
    table->Last();
    EXPECT_EQ(tableId->AsInteger(), 4);
    EXPECT_EQ(tableBstn->AsString(), QStringLiteral("A-100"));
    EXPECT_EQ(table->FindField(QStringLiteral("BZK")), nullptr);
    table->Close();

    auto *wrong = new TBooleanField(window.get());
    wrong->SetFieldName(QStringLiteral("BZK"));
    wrong->SetDataSet(table);
    EXPECT_EQ(messageOf<EDatabaseError>([&] { table->Open(); }),
              QStringLiteral("Table_ARTMAIN: Typ für Feld 'BZK' stimmt nicht überein. Erwartet: "
                             "Boolean Aktuell: String"));
    EXPECT_FALSE(table->Active());
}

TEST_F(DbTableTest, EditPostAndCancelUnderTheRecordLock) {
    table->Open();
    table->Locate(QStringLiteral("ID"), 2, {});
    TField *bstn = table->FieldByName(QStringLiteral("BSTN"));
    EXPECT_EQ(messageOf<EDbEngineError>([&] { bstn->SetAsString(QStringLiteral("x")); }),
              QStringLiteral("Table_ARTMAIN: Dataset not in edit mode"));
    table->Edit();
    uint16_t locked = 0;
    ok(DbIsRecordLocked(table->Handle(), 2, &locked));
    EXPECT_TRUE(locked);
    bstn->SetAsString(QStringLiteral("N-1"));
    table->Post();
    ok(DbIsRecordLocked(table->Handle(), 2, &locked));
    EXPECT_FALSE(locked);
    EXPECT_EQ(storedBstn(2), QStringLiteral("N-1"));

    table->Edit();
    bstn->SetAsString(QStringLiteral("N-2"));
    table->Cancel();
    EXPECT_EQ(bstn->AsString(), QStringLiteral("N-1"));
    EXPECT_EQ(storedBstn(2), QStringLiteral("N-1"));
    ok(DbIsRecordLocked(table->Handle(), 2, &locked));
    EXPECT_FALSE(locked);

    table->Append();
    table->FieldByName(QStringLiteral("BZK"))->SetAsString(QStringLiteral("Neu"));
    table->Post();
    EXPECT_EQ(id(), 5) << "the appended record is current with its new number";
    EXPECT_EQ(table->RecordCount(), 5);
}

TEST_F(DbTableTest, TextsAreTrimmedAndTheEmptyTextIsStoredAsZeroBytes) {
    table->Open();
    table->Locate(QStringLiteral("ID"), 1, {});
    table->Edit();
    table->FieldByName(QStringLiteral("BZK"))->SetAsString(QStringLiteral("mit Blanks   "));
    table->FieldByName(QStringLiteral("BSTN"))->SetAsString(QString());
    table->FieldByName(QStringLiteral("BZL"))->SetAsString(QString(50, u'z'));
    table->Post();
    TDbTable *other = articles(QStringLiteral("Other"));
    other->Open();
    other->Locate(QStringLiteral("ID"), 1, {});
    EXPECT_EQ(other->FieldByName(QStringLiteral("BZK"))->AsString(), QStringLiteral("mit Blanks"));
    EXPECT_TRUE(other->FieldByName(QStringLiteral("BSTN"))->IsNull());
    EXPECT_EQ(other->FieldByName(QStringLiteral("BZL"))->AsString(), QString(50, u'z'));
    uint8_t raw[64];
    uint32_t len = sizeof raw;
    ok(DbGetFieldRaw(other->Handle(), HostSchema::articles().fieldNumber("BSTN"), raw, &len));
    ASSERT_EQ(len, 50u);
    EXPECT_TRUE(std::all_of(raw, raw + 50, [](uint8_t b) { return b == 0; }));
}

// What a table field cannot hold exactly is refused when it is assigned, with a text that names
// the field and the reason; nothing of it is written. Cut or substituted, two different order
// numbers would be stored as the same one.
TEST_F(DbTableTest, AValueTheFieldCannotHoldExactlyIsRefusedWhenAssigned) {
    const DBHANDLE t = folder.create("Werte.TBL", "BSTN,4,10,0;CI,20,10,0;M,5,0,0;R,16,4,0");
    folder.append(t, {{1, "alt"}});
    ok(DbCloseTable(t));
    table->SetTableName(QStringLiteral("Werte.TBL"));
    table->Open();
    struct Case {
        const char *field;
        QVariant value;
        QString reason;
    };
    const QList<Case> cases = {
        {"BSTN", QString(11, u'x'), QStringLiteral("er ist 11 Zeichen lang, das Feld fasst 10")},
        {"CI", QString(1000, u'x'), QStringLiteral("er ist 1000 Zeichen lang, das Feld fasst 10")},
        {"BSTN", QStringLiteral("AŁB"), QStringLiteral("das Zeichen „Ł“ (U+0141)")},
        {"BSTN", QStringLiteral("A😀"), QStringLiteral("das Zeichen „😀“ (U+1F600)")},
        {"BSTN", QStringLiteral("A\uFEFFB"), QStringLiteral("(U+FEFF)")},
        {"BSTN", QString(QStringLiteral("A")) + QChar(0) + u'B', QStringLiteral("Nullzeichen")},
        {"M", QStringLiteral("Preis in ₽"), QStringLiteral("das Zeichen „₽“ (U+20BD)")},
        {"R", QByteArray("abcde"), QStringLiteral("er ist 5 Bytes lang, das Feld fasst 4")},
    };
    for (const Case &c : cases) {
        table->Edit();
        TField *f = table->FieldByName(QString::fromLatin1(c.field));
        const QVariant before = f->Value();
        const QString text = messageOf<EDatabaseError>([&] { f->SetValue(c.value); });
        EXPECT_TRUE(text.startsWith(QStringLiteral("Table_ARTMAIN: ")) &&
                    text.contains(QStringLiteral("'%1'").arg(QLatin1String(c.field))) &&
                    text.contains(c.reason))
            << c.field << ": " << text.toStdString();
        EXPECT_EQ(f->Value(), before) << c.field;
        EXPECT_EQ(table->State(), dsEdit) << "the edit goes on; the value can be corrected";
        table->Cancel();
        table->Close();
        table->Open();
        EXPECT_EQ(table->FieldByName(QString::fromLatin1(c.field))->Value(), before) << c.field;
    }
}

// A key that no stored value can equal finds nothing; cut or substituted it found another.
TEST_F(DbTableTest, LocateWithAValueNoFieldCanHoldFindsNothing) {
    table->Open();
    table->Locate(QStringLiteral("ID"), 3, {});
    table->Edit();
    table->FieldByName(QStringLiteral("BSTN"))->SetAsString(QString(50, u'7'));
    table->Post();
    table->Locate(QStringLiteral("ID"), 1, {});
    table->Edit();
    table->FieldByName(QStringLiteral("BSTN"))->SetAsString(QStringLiteral("B-20?"));
    table->Post();
    table->Locate(QStringLiteral("ID"), 2, {});
    for (const TLocateOptions options : {TLocateOptions{}, TLocateOptions{loCaseInsensitive}}) {
        EXPECT_FALSE(table->Locate(QStringLiteral("BSTN"), QString(51, u'7'), options));
        EXPECT_FALSE(table->Locate(QStringLiteral("BSTN"), QStringLiteral("B-20Ł"), options));
        EXPECT_EQ(id(), 2) << "nothing found: the current record stays";
    }
    EXPECT_TRUE(table->Locate(QStringLiteral("BSTN"), QString(50, u'7'), {}));
    EXPECT_EQ(id(), 3);
}

// Every engine type becomes its field type, reads null on a new record and keeps what is
// written through the image layout.
TEST_F(DbTableTest, EveryEngineTypeRoundTrips) {
    const DBHANDLE t = folder.create(
        "Typen.TBL", "L,1,0,0;N,2,8,2;S,2,3,0;D,3,0,0;T,4,10,0;M,5,0,0;B,6,0,0;V,10,0,0;I,11,0,0;"
                     "H,12,0,0;Z,13,0,0;TS,14,0,0;A,15,0,0;R,16,4,0;C,17,0,0;CI,20,10,0");
    ok(DbAppendRecord(t));
    ok(DbWriteRecord(t));
    ok(DbCloseTable(t));
    table->SetTableName(QStringLiteral("Typen.TBL"));
    table->Open();
    struct Case {
        const char *name;
        TFieldType type;
        QVariant value;
    };
    const QList<Case> cases = {
        {"L", ftBoolean, true},
        {"N", ftFloat, 1234.5},
        {"S", ftSmallint, -12},
        {"D", ftDate, QDate(2024, 2, 29)},
        {"T", ftString, QStringLiteral("€5–Grüße")},
        {"M", ftMemo, QStringLiteral("Zeile 1\r\nZeile 2")},
        {"B", ftBlob, QByteArray("\x00\x01\x02\xff", 4)},
        {"V", ftFloat, -0.25},
        {"I", ftInteger, -2000000},
        {"H", ftSmallint, 32000},
        {"Z", ftTime, QTime(13, 14, 15)},
        {"TS", ftDateTime, QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58))},
        {"A", ftAutoInc, 1},
        {"R", ftBytes, QByteArray("ab\x00\x01", 4)},
        {"C", ftCurrency, 19.99},
        {"CI", ftString, QStringLiteral("GroSS")},
    };
    for (const Case &c : cases) {
        TField *f = table->FieldByName(QString::fromLatin1(c.name));
        EXPECT_EQ(f->DataType(), c.type) << c.name;
        if (c.type != ftAutoInc) {
            EXPECT_TRUE(f->IsNull()) << c.name;
        }
    }
    table->Edit();
    for (const Case &c : cases) {
        if (c.type != ftAutoInc)
            table->FieldByName(QString::fromLatin1(c.name))->SetValue(c.value);
    }
    table->Post();
    table->Close();
    table->Open();
    for (const Case &c : cases)
        EXPECT_EQ(table->FieldByName(QString::fromLatin1(c.name))->Value(), c.value) << c.name;
    // A number wider than the field is refused at the assignment and changes nothing.
    table->Edit();
    TField *s = table->FieldByName(QStringLiteral("S"));
    EXPECT_EQ(messageOf<EDatabaseError>([&] { s->SetAsInteger(1234); }),
              QStringLiteral("Table_ARTMAIN: Der Wert 1234 passt nicht in das Feld 'S'"));
    EXPECT_EQ(s->AsInteger(), -12);
    table->Cancel();
}

// A record lock held by another process makes Edit fail; nothing changes.
TEST_F(DbTableTest, ALockHeldByAnotherProcessMakesEditFail) {
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const QByteArray dir = folder.path().toLocal8Bit();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        DBHANDLE c = 0, t = 0;
        uint32_t recno = 0;
        char byte = 'x';
        bool good = DbConnect(dir.constData(), EngineFolder::serverType(), "", "", 0, &c) == 0 &&
                    DbOpenTable(c, "ArtikelMain.TBL", nullptr, 3, 1, 1, 1, 0, &t) == 0 &&
                    DbGotoTop(t) == 0 && DbGetRecordNum(t, &recno) == 0 &&
                    DbLockRecord(t, recno) == 0;
        byte = good ? 'y' : 'n';
        (void)!write(ready[1], &byte, 1);
        (void)!read(release[0], &byte, 1);
        _exit(0);
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y') << "the second process could not take the lock";

    table->Open();
    ASSERT_EQ(id(), 1);
    try {
        table->Edit();
        ADD_FAILURE() << "Edit took a record another process holds";
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.EngineError(), uint32_t(DBE_RECORD_LOCKED));
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Table_ARTMAIN: ")));
    }
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(storedBstn(1), QStringLiteral("B-200"));
    char go = 'g';
    ASSERT_EQ(write(release[1], &go, 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    // The lock ends with its process: on the local server at once, on the remote server as
    // soon as the server has seen the connection closed.
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);;) {
        try {
            table->Edit();
            break;
        } catch (const EDbEngineError &e) {
            if (e.EngineError() != DBE_RECORD_LOCKED || std::chrono::steady_clock::now() > deadline)
                throw;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    table->FieldByName(QStringLiteral("BSTN"))->SetAsString(QStringLiteral("frei"));
    table->Post();
    EXPECT_EQ(storedBstn(1), QStringLiteral("frei"));
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
}

// A Post that failed keeps the edit state; the next Locate must cancel that change, not store
// it behind the user's back.
TEST_F(DbTableTest, AFailedPostIsCancelledByTheNextLocateNotWritten) {
    const DBHANDLE t = folder.create("Codes.TBL", "ID,15,0,0;CODE,4,10,0");
    folder.index(t, "ID", "ID", true);
    folder.index(t, "CODE", "CODE", true);
    folder.append(t, {{2, "eins"}});
    folder.append(t, {{2, "zwei"}});
    ok(DbCloseTable(t));
    table->SetTableName(QStringLiteral("Codes.TBL"));
    table->Open();
    table->Locate(QStringLiteral("ID"), 2, {});
    table->Edit();
    table->FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("eins"));
    try {
        table->Post();
        ADD_FAILURE() << "a duplicate key was written";
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.EngineError(), uint32_t(DBE_DUPLICATE_KEY));
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Table_ARTMAIN: ")));
    }
    EXPECT_EQ(table->State(), dsEdit);
    uint16_t locked = 0;
    ok(DbIsRecordLocked(table->Handle(), 2, &locked));
    EXPECT_TRUE(locked) << "the failed Post keeps its lock";

    EXPECT_TRUE(table->Locate(QStringLiteral("ID"), 1, {}));
    EXPECT_EQ(table->State(), dsBrowse);
    ok(DbIsRecordLocked(table->Handle(), 2, &locked));
    EXPECT_FALSE(locked);
    table->Locate(QStringLiteral("ID"), 2, {});
    EXPECT_EQ(table->FieldByName(QStringLiteral("CODE"))->AsString(), QStringLiteral("zwei"));

    // Corrected and posted explicitly, the change is stored.
    table->Edit();
    table->FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("eins"));
    EXPECT_THROW(table->Post(), EDbEngineError);
    table->FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("drei"));
    table->Post();
    table->First();
    table->Locate(QStringLiteral("ID"), 2, {});
    EXPECT_EQ(table->FieldByName(QStringLiteral("CODE"))->AsString(), QStringLiteral("drei"));
}

TEST_F(DbTableTest, EngineErrorsCarryTheirDetails) {
    table->Open();
    DbSetLastError(5148, "Fehler in column \"BSTN\" beim Schreiben");
    try {
        CheckDbResult(table, 5148);
        ADD_FAILURE();
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.ColumnName(), QStringLiteral("BSTN"));
        EXPECT_EQ(e.TableName(), QStringLiteral("ArtikelMain.TBL"));
        EXPECT_EQ(e.DatabasePath(), folder.path());
        EXPECT_EQ(e.message(),
                  QStringLiteral("Table_ARTMAIN: Fehler in column \"BSTN\" beim Schreiben"));
    }
    DbSetLastError(7200, "Error 7200: Speicherfehler; NativeError = 19; Tabelle");
    try {
        CheckDbResult(nullptr, 7200);
        ADD_FAILURE();
    } catch (const EDbEngineError &e) {
        EXPECT_EQ(e.SqlErrorCode(), 19);
        EXPECT_EQ(e.DataSetName(), QString());
        EXPECT_EQ(e.message(),
                  QStringLiteral("Error 7200: Speicherfehler; NativeError = 19; Tabelle"));
    }
    EXPECT_NO_THROW(CheckDbResult(table, 0));
}

// The article table opened twice on one connection: by this program ("Table_ARTMAIN") and by
// another user, whose changes the first one meets as another workstation's.
struct TwoUsers {
    QObject owner;
    TDbTable *mine = nullptr;
    TDbTable *theirs = nullptr;

    explicit TwoUsers(const EngineFolder &data) {
        auto *users = new TDbConnection(&owner);
        users->SetDbServerTypes(EngineFolder::serverTypes());
        users->SetConnectPath(data.path());
        mine = open(users, "Table_ARTMAIN");
        theirs = open(users, "Other");
    }

private:
    TDbTable *open(TDbConnection *users, const char *name) {
        auto *t = new TDbTable(&owner);
        t->setObjectName(QString::fromLatin1(name));
        t->SetDbConnection(users);
        t->SetTableName(QStringLiteral("ArtikelMain.TBL"));
        t->Open();
        return t;
    }
};

// Another user deletes the article this table stands on (reached by a walk, so the table has
// not asked for its record number yet). Reading it tells that it is gone; every Locate from
// there works. A found article becomes current. A seek that finds nothing stays on the gone
// article's place, so the walk goes on from there; a search without an index has moved the
// cursor away from that place and cannot go back to it, so it stands on the first article.
TEST_F(DbTableTest, LocateWorksFromAnArticleAnotherUserDeleted) {
    struct Case {
        const char *name;
        bool readFirst; // a read has found the article gone before the Locate
        const char *field;
        const char *value;
        TLocateOptions options;
        bool found;
        int current; // the ID current afterwards; 0: still the gone article
        int next;    // and after Next
    };
    // "BSTN" order after ID 4 is gone: 2, (4), 1, 3.
    const QList<Case> cases = {
        {"found", false, "ID", "3", {}, true, 3, 3},
        {"found after a read", true, "ID", "3", {}, true, 3, 3},
        {"sought in vain", false, "ID", "99", {}, false, 0, 1},
        {"sought in vain after a read", true, "ID", "99", {}, false, 0, 1},
        {"searched in vain", false, "BSTN", "x-999", loCaseInsensitive, false, 2, 1},
        {"searched in vain after a read", true, "BSTN", "x-999", loCaseInsensitive, false, 2, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EngineFolder data;
        data.makeArticles();
        TwoUsers users(data);
        TDbTable *mine = users.mine;
        TDbTable *theirs = users.theirs;
        mine->SetIndexName(QStringLiteral("BSTN"));
        mine->First();
        mine->Next(); // ID 4, none of its fields read yet
        ASSERT_TRUE(theirs->Locate(QStringLiteral("ID"), 4, {}));
        theirs->Delete();
        TField *id = mine->FieldByName(QStringLiteral("ID"));
        auto readsGone = [&] {
            const QString message = messageOf<EDbEngineError>([&] { id->AsInteger(); });
            EXPECT_TRUE(message.contains(QStringLiteral("gelöschten Datensatz 4")))
                << message.toStdString();
        };
        if (c.readFirst)
            readsGone();
        EXPECT_EQ(
            mine->Locate(QString::fromLatin1(c.field), QString::fromLatin1(c.value), c.options),
            c.found);
        EXPECT_FALSE(mine->Eof());
        if (c.current == 0)
            readsGone();
        else
            EXPECT_EQ(id->AsInteger(), c.current);
        mine->Next();
        EXPECT_EQ(id->AsInteger(), c.next) << "the walk goes on from the current article";
    }
}

// A step goes past the end of the walk while another user has deleted the article this table
// stands on: there is no going back to it, so the nearest article the walk still shows becomes
// current, and what the table shows, its next step and the engine's cursor agree.
TEST_F(DbTableTest, AStepPastTheEndFromAnArticleAnotherUserDeletedEndsOnOneThatExists) {
    struct Case {
        const char *name;
        int rejected;  // the ID the table's record filter passes over; 0: no filter
        int direction; // +1: Next past the end, -1: Prior past the beginning
        int gone;      // the ID the walk ends on and another user deletes
        int current;   // the ID current afterwards
        const char *bzk;
        int back; // the ID one step back from there
    };
    // Record number order: 1 Apfel, 2 Birne, 3 Kirsche, 4 Dattel.
    const QList<Case> cases = {
        {"filtered, forwards", 4, 1, 3, 2, "Birne", 1},
        {"filtered, backwards", 1, -1, 2, 3, "Kirsche", 4},
        {"unfiltered, forwards", 0, 1, 4, 3, "Kirsche", 2},
        {"unfiltered, backwards", 0, -1, 1, 2, "Birne", 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EngineFolder data;
        data.makeArticles();
        TwoUsers users(data);
        TDbTable *mine = users.mine;
        TDbTable *theirs = users.theirs;
        TField *id = mine->FieldByName(QStringLiteral("ID"));
        if (c.rejected) {
            mine->OnFilterRecord = [&](TDataSet *, bool &accept) {
                accept = id->AsInteger() != c.rejected;
            };
            mine->SetFiltered(true);
        }
        // Reached by a walk, so the table is neither at its end nor at its beginning.
        c.direction > 0 ? mine->First() : mine->Last();
        for (int step = 0; step < 4 && id->AsInteger() != c.gone; ++step)
            c.direction > 0 ? mine->Next() : mine->Prior();
        ASSERT_EQ(id->AsInteger(), c.gone);
        ASSERT_FALSE(mine->Eof() || mine->Bof());
        ASSERT_TRUE(theirs->Locate(QStringLiteral("ID"), c.gone, {}));
        theirs->Delete();
        c.direction > 0 ? mine->Next() : mine->Prior();
        EXPECT_TRUE(c.direction > 0 ? mine->Eof() : mine->Bof());
        EXPECT_EQ(id->AsInteger(), c.current);
        EXPECT_EQ(mine->FieldByName(QStringLiteral("BZK"))->AsString(), QString::fromLatin1(c.bzk));
        // The engine stands there too: the deletion takes that very article.
        c.direction > 0 ? mine->Prior() : mine->Next();
        EXPECT_EQ(id->AsInteger(), c.back);
        c.direction > 0 ? mine->Next() : mine->Prior();
        mine->Delete();
        ASSERT_TRUE(theirs->Locate(QStringLiteral("ID"), c.back, {}));
        EXPECT_FALSE(theirs->Locate(QStringLiteral("ID"), c.current, {}));
    }
}
