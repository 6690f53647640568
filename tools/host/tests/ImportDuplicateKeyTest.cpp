// An import refused for a key that a unique tag has already names the line of the refused
// record on both servers. On the remote server the records of an import are sent in batches,
// so the refusal comes at a later line's write or at the commit; the message must still name
// the record's own line.
#include "HostCommands.h"
#include "HostServerFixture.h"

#include <QBuffer>
#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

class ImportDuplicateKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString said;
        QTextStream out(&said);
        ASSERT_EQ(HostCommands::create(data.path(), out), 0);
    }

    // Imports the file; the message when it is refused, else an empty text.
    QString import(const QByteArray &content) {
        const QString path = data.scratchFile(QStringLiteral("import%1.csv").arg(++m_files));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        QString said;
        QTextStream out(&said);
        try {
            HostCommands::import(data.path(), QStringLiteral("ArtikelMain"), path, out);
        } catch (const HostError &e) {
            return e.message();
        }
        return {};
    }

    QByteArray exported() {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        EXPECT_EQ(
            HostCommands::exportTable(data.path(), QStringLiteral("ArtikelMain"), {}, {}, out), 0);
        return out.data();
    }

    HostServerData data{"import"};
    int m_files = 0;
};

TEST_F(ImportDuplicateKeyTest, ARefusedDuplicateNamesTheLineOfItsOwnRecord) {
    ASSERT_EQ(import("ID,BZK\n1,vorhanden\n"), QString());
    const QByteArray before = exported();

    struct Case {
        const char *what;
        int records;     // record k of the file has the ID 1000 + k, in line k + 1
        int duplicateAt; // except this record, which has
        int duplicateOf; // the ID of this earlier record, or 0: the stored record's
    };
    // The remote server sends 4,096 records at a time: the first batch goes with the write of
    // record 4,096, the rest with the commit.
    const Case cases[] = {
        {"two records of one batch", 10, 7, 3},
        {"in the first batch, refused at a later record's write", 5000, 100, 40},
        {"across batches, refused at the commit", 5000, 4500, 10},
        {"the stored record's ID", 10, 5, 0},
        {"the stored record's ID in the last batch", 9000, 8500, 0},
        {"the last record of a full batch", 4096, 4096, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray csv = "ID,BZK\n";
        for (int k = 1; k <= c.records; ++k) {
            const int id = k != c.duplicateAt ? 1000 + k : c.duplicateOf ? 1000 + c.duplicateOf : 1;
            csv += QByteArray::number(id) + ",Artikel " + QByteArray::number(k) + "\n";
        }
        const QString message = import(csv);
        const QString line = QStringLiteral("Zeile %1: ").arg(c.duplicateAt + 1);
        EXPECT_TRUE(message.startsWith(line)) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("im eindeutigen Index \"ID\" schon vorhanden")))
            << message.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral("Aus der Datei wurde nichts übernommen.")))
            << message.toStdString();
    }
    EXPECT_EQ(exported(), before) << "a refused file changes nothing";
}

} // namespace
