#include "EngineSession.h"
#include "HostCommands.h"
#include "schema/HostSchema.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

class TableExportTest : public ::testing::Test {
protected:
    QString folder(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QByteArray exported(const QString &data, const QString &table) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        EXPECT_EQ(HostCommands::exportTable(data, table, {}, {}, out), 0);
        return out.data();
    }

    QTemporaryDir dir;
};

struct Stored {
    quint32 recno = 0;
    QByteArray image;
    QList<QByteArray> blobs;
    bool operator==(const Stored &) const = default;
};

// Every record as the engine hands it out: record number, record image and memo values.
QList<Stored> storedRecords(const QString &data, const QString &table) {
    EngineConnection c(data);
    EngineTable t(c, table);
    quint32 length = 0;
    checkEngine(DbGetRecordLength(t.handle(), &length));
    const QList<FieldInfo> fields = t.fields();
    QList<Stored> records;
    checkEngine(DbGotoTop(t.handle()));
    for (;;) {
        quint16 eof = 0;
        checkEngine(DbAtEOF(t.handle(), &eof));
        if (eof)
            break;
        Stored r;
        checkEngine(DbGetRecordNum(t.handle(), &r.recno));
        r.image.resize(length);
        quint32 got = length;
        checkEngine(DbGetRecord(t.handle(), reinterpret_cast<quint8 *>(r.image.data()), &got));
        for (qsizetype f = 0; f < fields.size(); ++f) {
            const quint16 type = fields[f].type;
            if (type == DB_TYPE_MEMO || type == DB_TYPE_BINARY || type == DB_TYPE_IMAGE ||
                type == DB_TYPE_VARCHAR)
                r.blobs << t.bytes(quint16(f + 1));
        }
        records << r;
        checkEngine(DbSkip(t.handle(), 1));
    }
    return records;
}

// Values the two decimals of the engine's text would change.
void addExactValues(const QString &data) {
    EngineConnection c(data);
    EngineTable articles(c, QStringLiteral("ArtikelMain.TBL"));
    const double values[] = {0.004, 1.0 / 3.0, -1e-7, 123456.789012, 5e300, 0.1 + 0.2};
    for (double v : values) {
        checkEngine(DbAppendRecord(articles.handle()));
        articles.setText(articles.fieldNumber(QStringLiteral("BZK")), QStringLiteral("genau"));
        for (const char *field : {"EKEU", "GEK", "MiddVK"})
            checkEngine(DbSetFieldRaw(articles.handle(), articles.fieldNumber(field),
                                      reinterpret_cast<const quint8 *>(&v), sizeof v));
        checkEngine(DbWriteRecord(articles.handle()));
    }
    EngineTable settings(c, QStringLiteral("setup.TBL"));
    checkEngine(DbAppendRecord(settings.handle()));
    settings.setText(settings.fieldNumber(QStringLiteral("Ident")), QStringLiteral("9"));
    const QByteArray logo("\x00\x01\xFF"
                          "PNG\r\n",
                          8);
    checkEngine(DbSetBinary(settings.handle(), settings.fieldNumber(QStringLiteral("logo")),
                            reinterpret_cast<const quint8 *>(logo.constData()),
                            quint32(logo.size())));
    settings.setText(settings.fieldNumber(QStringLiteral("MemoItem")),
                     QStringLiteral("Zeile 1\r\nZeile \"2\", € \u0081"));
    checkEngine(DbWriteRecord(settings.handle()));
}

} // namespace

TEST_F(TableExportTest, ExportThenImportGivesTheDemoFolderBackByteForByte) {
    QString said;
    QTextStream out(&said);
    ASSERT_EQ(HostCommands::demo(folder("demo"), {"--articles", "1500", "--seed", "4"}, out), 0);
    addExactValues(folder("demo"));
    ASSERT_EQ(HostCommands::create(folder("kopie"), out), 0);
    QBuffer unused;
    unused.open(QIODevice::WriteOnly);
    for (const HostSchema::Table *schema : HostSchema::all()) {
        const QString table = QString::fromStdString(schema->fileName);
        const QString csv = dir.filePath(table + QStringLiteral(".csv"));
        ASSERT_EQ(HostCommands::exportTable(folder("demo"), table, {}, csv, unused), 0);
        ASSERT_EQ(HostCommands::import(folder("kopie"), table, csv, out), 0);
        const QList<Stored> original = storedRecords(folder("demo"), table);
        EXPECT_GT(original.size(), 0);
        EXPECT_TRUE(original == storedRecords(folder("kopie"), table)) << table.toStdString();
        EXPECT_EQ(exported(folder("kopie"), table), exported(folder("demo"), table));
    }
    EXPECT_EQ(unused.size(), 0) << "with a file named, nothing goes to the standard output";
}

TEST_F(TableExportTest, AReadThatFailsMidwayNeverReplacesTheFileAndSaysTheOutputIsIncomplete) {
    QString said;
    QTextStream out(&said);
    ASSERT_EQ(HostCommands::demo(folder("demo"), {"--articles", "3000", "--seed", "2"}, out), 0);
    const QString tableFile = QDir(folder("demo")).filePath(QStringLiteral("ArtikelMain.TBL"));
    // Damage a page of the records in the middle of their order: the walk reads up to it.
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(tableFile).constData(), &db,
                                  SQLITE_OPEN_READONLY, nullptr),
                  SQLITE_OK);
        sqlite3_stmt *st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db,
                                     "SELECT pageno FROM dbstat WHERE name = 'dbe_records' AND "
                                     "pagetype = 'leaf' ORDER BY path",
                                     -1, &st, nullptr),
                  SQLITE_OK);
        QList<qint64> leaves;
        while (sqlite3_step(st) == SQLITE_ROW)
            leaves << sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
        ASSERT_GT(leaves.size(), 10);
        QFile f(tableFile);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek((leaves[leaves.size() / 2] - 1) * 4096));
        f.write(QByteArray(16, '\xEE'));
    }

    const QString csv = dir.filePath(QStringLiteral("artikel.csv"));
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("das alte Ergebnis\n");
    }
    QBuffer standardOutput;
    standardOutput.open(QIODevice::WriteOnly);
    try {
        HostCommands::exportTable(folder("demo"), QStringLiteral("ArtikelMain"), {}, csv,
                                  standardOutput);
        FAIL() << "the damaged page was read";
    } catch (const HostError &e) {
        EXPECT_TRUE(e.message().contains(
            QStringLiteral("Die Datei '%1' wurde nicht geschrieben.").arg(csv)))
            << e.message().toStdString();
    }
    QFile kept(csv);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "das alte Ergebnis\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("artikel.csv")})
        << "nothing half written is left beside it";

    try {
        HostCommands::exportTable(folder("demo"), QStringLiteral("ArtikelMain"), {}, {},
                                  standardOutput);
        FAIL() << "the damaged page was read";
    } catch (const HostError &e) {
        const QList<QByteArray> lines = standardOutput.data().split('\n');
        ASSERT_GT(lines.size(), 3);
        EXPECT_TRUE(lines.last().isEmpty()) << "the output ends with a whole line";
        const qsizetype records = lines.size() - 2;
        EXPECT_TRUE(e.message().contains(
            QStringLiteral("Die Ausgabe ist unvollständig: sie endet nach %1 von ").arg(records)))
            << e.message().toStdString();
        EXPECT_LT(records, 3000);
    }
}
