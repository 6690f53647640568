// Data folders named with any characters: the connection and the table component open them,
// walk their tables, and quote them readably in the engine's error texts.
#include "EngineFolder.h"
#include "ExceptionText.h"

#include "data/DbConnection.h"
#include "data/DbEngineError.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "platform/Cp1252.h"

#include <QFile>
#include <QObject>

#include <gtest/gtest.h>

#include <memory>

namespace {

class DataFolderName : public ::testing::TestWithParam<QString> {
protected:
    EngineFolder folder{GetParam()};
    std::unique_ptr<QObject> window = std::make_unique<QObject>();
    TDbConnection *connection = nullptr;

    void SetUp() override {
        folder.makeArticles();
        connection = new TDbConnection(window.get());
        connection->setObjectName(QStringLiteral("DbConnection"));
        connection->SetDbServerTypes(stDB_LOCAL);
        TDbConnection::SetLoginPromptFunction(nullptr);
    }

    TDbTable *table(const QString &file) {
        auto *t = new TDbTable(window.get());
        t->setObjectName(QStringLiteral("Table_ARTMAIN"));
        t->SetDbConnection(connection);
        t->SetTableName(file);
        return t;
    }

    QStringList walkBstnOrder(TDbTable *t) {
        t->SetIndexName(QStringLiteral("BSTN"));
        QStringList names;
        for (t->First(); !t->Eof(); t->Next())
            names << t->FieldByName(QStringLiteral("BZK"))->AsString();
        return names;
    }
};

const QStringList kArticlesInBstnOrder = {QStringLiteral("Birne"), QStringLiteral("Dattel"),
                                          QStringLiteral("Apfel"), QStringLiteral("Kirsche")};

TEST_P(DataFolderName, TheConnectionOpensAndWalksTheTables) {
    connection->SetConnectPath(folder.path());
    EXPECT_FALSE(connection->IsDictionary());
    EXPECT_EQ(connection->ResolvedDirectory(), folder.path());
    TDbTable *articles = table(QStringLiteral("ArtikelMain.TBL"));
    articles->Open();
    EXPECT_EQ(walkBstnOrder(articles), kArticlesInBstnOrder);
}

TEST_P(DataFolderName, AMissingTableIsNamedWithQuestionMarksForForeignCharacters) {
    connection->SetConnectPath(folder.path());
    TDbTable *missing = table(QStringLiteral("Fehlt.TBL"));
    // The engine's texts are Windows-1252: a character it lacks shows as "?", all else stays.
    const QString shown = Cp1252::toQString(Cp1252::fromQString(folder.path()));
    EXPECT_EQ(messageOf<EDbEngineError>([&] { missing->Open(); }),
              QStringLiteral("Table_ARTMAIN: Die Tabellendatei \"%1/Fehlt.TBL\" wurde nicht "
                             "gefunden.")
                  .arg(shown));
}

TEST_P(DataFolderName, ADictionaryFileThereOpensItsTablesAsFreeTables) {
    QFile dictionary(folder.path() + QStringLiteral("/Firma.DIC"));
    ASSERT_TRUE(dictionary.open(QIODevice::WriteOnly));
    dictionary.close();
    connection->SetConnectPath(folder.path() + QStringLiteral("/Firma.DIC"));
    connection->OnLogin = [](TDbConnection *, QString &user, QString &) {
        user = QStringLiteral("admin");
    };
    EXPECT_TRUE(connection->IsDictionary());
    EXPECT_EQ(connection->ResolvedDirectory(), folder.path());
    TDbTable *articles = table(QStringLiteral("ArtikelMain.TBL"));
    articles->Open();
    EXPECT_EQ(walkBstnOrder(articles), kArticlesInBstnOrder);
}

INSTANTIATE_TEST_SUITE_P(Folders, DataFolderName,
                         ::testing::Values(QStringLiteral("łukasz/Daten"),
                                           QStringLiteral("Bäckerei 1"),
                                           QStringLiteral("Ωmega €/Daten 2024")));

} // namespace
