// A rollback of the connection's transaction (TDbConnection::Rollback, or TDbTransaction left
// without Commit) and the data sets open on the connection: each stands on a valid record
// afterwards, its own if the rollback left it, else the nearest in its order, else it is empty.
#include "EngineFolder.h"

#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/DbTransaction.h"
#include "data/Field.h"

#include <QObject>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class DbTransactionTest : public ::testing::Test {
protected:
    EngineFolder folder;
    std::unique_ptr<QObject> window = std::make_unique<QObject>();
    TDbConnection *connection = nullptr;

    void SetUp() override {
        folder.makeArticles(); // BSTN order: 2 A-100, 4 A-100, 1 B-200, 3 C-300
        ok(DbCloseTable(folder.create("Leer.TBL", "NAME,4,10")));
        connection = new TDbConnection(window.get());
        connection->SetDbServerTypes(EngineFolder::serverTypes());
        connection->SetConnectPath(folder.path());
    }

    TDbTable *open(const QString &file, const QString &index = {}) {
        auto *t = new TDbTable(window.get());
        t->setObjectName(QStringLiteral("Table%1").arg(window->children().size()));
        t->SetDbConnection(connection);
        t->SetTableName(file);
        t->Open();
        if (!index.isEmpty())
            t->SetIndexName(index);
        return t;
    }

    static int id(TDbTable *t) { return t->FieldByName(QStringLiteral("ID"))->AsInteger(); }
    static QString text(TDbTable *t, const char *field) {
        return t->FieldByName(QString::fromLatin1(field))->AsString();
    }
    static void set(TDbTable *t, const char *field, const char *value) {
        t->FieldByName(QString::fromLatin1(field))->SetAsString(QString::fromLatin1(value));
    }

    // Runs body inside a transaction that is then rolled back, by Rollback or by leaving the
    // scope of a TDbTransaction.
    void rolledBack(bool byScope, const std::function<void()> &body) {
        if (byScope) {
            TDbTransaction transaction(connection);
            body();
            return;
        }
        connection->StartTransaction();
        body();
        connection->Rollback();
    }
};

TEST_F(DbTransactionTest, AfterARollbackEachArticleDataSetStandsOnAValidRecord) {
    struct Case {
        const char *name;
        const char *index;
        // What happens inside the transaction, on the data set under test.
        std::function<void(TDbTable *)> inside;
        int expectedId;
        const char *expectedBzk;
    };
    const Case cases[] = {
        {"edited and posted", "BSTN",
         [](TDbTable *t) {
             t->Locate(QStringLiteral("ID"), 1, {});
             t->Edit();
             set(t, "BZK", "Geändert");
             t->Post();
         },
         1, "Apfel"},
        {"an edit still open", "",
         [](TDbTable *t) {
             t->Locate(QStringLiteral("ID"), 3, {});
             t->Edit();
             set(t, "BZK", "Offen");
         },
         3, "Kirsche"},
        {"appended, then the next key is nearest", "BSTN",
         [](TDbTable *t) {
             t->Append();
             set(t, "BZK", "Neu");
             set(t, "BSTN", "B-100");
             t->Post();
         },
         1, "Apfel"},
        {"appended past the last key", "BSTN",
         [](TDbTable *t) {
             t->Append();
             set(t, "BSTN", "Z-999");
             t->Post();
         },
         3, "Kirsche"},
        {"appended in the table's own order", "",
         [](TDbTable *t) {
             t->Append();
             set(t, "BZK", "Neu");
             t->Post();
             t->Append();
             set(t, "BZK", "Noch neuer");
             t->Post();
         },
         4, "Dattel"},
        {"an append still open", "BSTN",
         [](TDbTable *t) {
             t->Locate(QStringLiteral("ID"), 4, {});
             t->Append();
             set(t, "BSTN", "A-000");
         },
         4, "Dattel"},
        {"deleted, standing on the next", "BSTN",
         [](TDbTable *t) {
             t->Locate(QStringLiteral("ID"), 2, {});
             t->Delete();
         },
         4, "Dattel"},
    };
    for (const bool byScope : {false, true}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (byScope ? ", scope left" : ", Rollback"));
            TDbTable *t = open(QStringLiteral("ArtikelMain.TBL"), QString::fromLatin1(c.index));
            rolledBack(byScope, [&] { c.inside(t); });
            EXPECT_EQ(t->State(), dsBrowse);
            ASSERT_FALSE(t->IsEmpty());
            EXPECT_EQ(id(t), c.expectedId);
            EXPECT_EQ(text(t, "BZK"), QString::fromUtf8(c.expectedBzk));
            // The engine's cursor stands there too: the data set moves on from it.
            t->Prior();
            t->Next();
            EXPECT_EQ(id(t), c.expectedId);
            EXPECT_EQ(t->RecordCount(), 4);
            delete t;
        }
    }
}

TEST_F(DbTransactionTest, EveryDataSetOfTheConnectionGetsItsPlaceBack) {
    TDbTable *writer = open(QStringLiteral("ArtikelMain.TBL"), QStringLiteral("BSTN"));
    TDbTable *reader = open(QStringLiteral("ArtikelMain.TBL"), QStringLiteral("BSTN"));
    TDbTable *empty = open(QStringLiteral("Leer.TBL"));
    ASSERT_TRUE(empty->IsEmpty());
    reader->Locate(QStringLiteral("ID"), 2, {});
    {
        TDbTransaction transaction(connection);
        // The reader's record is deleted by the other data set, a record appended to the empty
        // table and read there.
        writer->Locate(QStringLiteral("ID"), 2, {});
        writer->Delete();
        empty->Append();
        set(empty, "NAME", "Zeile");
        empty->Post();
        EXPECT_EQ(text(empty, "NAME"), QStringLiteral("Zeile"));
    }
    EXPECT_EQ(id(reader), 2) << "the deleted record is back, and current again";
    EXPECT_EQ(text(reader, "BZK"), QStringLiteral("Birne"));
    EXPECT_EQ(id(writer), 4) << "the writer stood on the record after the deleted one";
    EXPECT_TRUE(empty->IsEmpty()) << "the appended record is gone: empty as before";
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->Bof());
    EXPECT_EQ(empty->RecordCount(), 0);
    // Usable as any data set: the next change goes through.
    empty->Append();
    set(empty, "NAME", "Danach");
    empty->Post();
    EXPECT_EQ(empty->RecordCount(), 1);
    EXPECT_EQ(text(empty, "NAME"), QStringLiteral("Danach"));
}

} // namespace
