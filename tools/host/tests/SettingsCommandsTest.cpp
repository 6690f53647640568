// The round trip of an administrator: "setting" writes rows, also packed streams, and
// "settings" shows them as the module's start loads them.
#include "SettingsCommands.h"
#include "HostCommands.h"

#include "EngineSession.h"
#include "settings/SettingsLoader.h"
#include "settings/TAdressExtraDataGrid.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SettingsCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QTextStream sink(&m_sink);
        ASSERT_EQ(HostCommands::create(data(), sink), 0);
        SetWorkstationSettingsFolder(dir.filePath(QStringLiteral("programm")));
    }
    void TearDown() override { SetWorkstationSettingsFolder(QString()); }

    QString data() const { return dir.filePath(QStringLiteral("daten")); }

    QString file(const QString &name, const QByteArray &content) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    QString write(const QString &ident, const QStringList &options) {
        QString text;
        QTextStream out(&text);
        EXPECT_EQ(SettingsCommands::write(data(), ident, options, out), 0);
        out.flush();
        return text;
    }

    QStringList show(int expectedExit = 0) {
        QString text;
        QTextStream out(&text);
        EXPECT_EQ(SettingsCommands::show(data(), out), expectedExit);
        out.flush();
        return text.split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;

private:
    QString m_sink;
};

TEST_F(SettingsCommandsTest, WrittenRowsAreShownLoaded) {
    EXPECT_EQ(
        write(QStringLiteral("1"), {QStringLiteral("--text"), QStringLiteral("Mandant Nord")}),
        QStringLiteral("Ident 1: Zeile angelegt\n"));
    write(QStringLiteral("12000"), {QStringLiteral("--text"), QStringLiteral("7")});
    EXPECT_EQ(write(QStringLiteral("12000"), {QStringLiteral("--text"), QStringLiteral("5")}),
              QStringLiteral("Ident 12000: Zeile geändert\n"));
    write(QStringLiteral("202"), {QStringLiteral("--memo-file"),
                                  file(QStringLiteral("typen.txt"), "RECHNUNG\r\nGUTSCHRIFT\r\n")});
    TAdressExCellInfosWrapper cells;
    TAdressExCellInfo &cell = cells.AdressExCellInfos.Add();
    cell.Col = 2;
    cell.Gray = QStringLiteral("Grün");
    const QString out =
        write(QStringLiteral("754"), {QStringLiteral("--memo-file"),
                                      file(QStringLiteral("zellen.bin"), cells.WriteToStream()),
                                      QStringLiteral("--pack")});
    EXPECT_TRUE(out.startsWith(QStringLiteral("Ident 754: Zeile angelegt, MemoItem ")));
    EXPECT_TRUE(out.endsWith(QStringLiteral(" Bytes (gepackt)\n")));
    write(QStringLiteral("8101"),
          {QStringLiteral("--memo-file"), file(QStringLiteral("vorlage.txt"), "Vorlage\r\nzwei"),
           QStringLiteral("--pack")});

    const QStringList lines = show();
    EXPECT_TRUE(lines.contains(QStringLiteral("Ident1Text: \"Mandant Nord\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("DataPathTag: \"daten\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Byte12000: 5")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("DocumentTypes: [\"Nicht ändern\", \"RECHNUNG\", \"GUTSCHRIFT\"]")));
    EXPECT_TRUE(lines.contains(QStringLiteral("AdressExtraDataGrid.Cells.Count: 1")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("AdressExtraDataGrid.Cells[1]: Col=2 Row=0 Gray=\"Grün\" Readonly=0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Stream8101: 13 Bytes \"Vorlage\\r\\nzwei\"")));
    // Every member in the loader's order, the workstation values last.
    EXPECT_EQ(lines.first(), QStringLiteral("ConnectPath: \"") + data() + u'"');
    EXPECT_TRUE(lines.indexOf(QStringLiteral("Byte12000: 5")) <
                lines.indexOf(QStringLiteral("AdressExtraDataGrid.Cells.Count: 1")));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("UserPrinterDef.LanguageName: ")));
    EXPECT_GT(lines.size(), 300);
}

TEST_F(SettingsCommandsTest, RefusesWrongArguments) {
    QString text;
    QTextStream out(&text);
    EXPECT_THROW(SettingsCommands::write(data(), QStringLiteral("zwölf"), {}, out), HostError);
    EXPECT_THROW(
        SettingsCommands::write(data(), QStringLiteral("1"), {QStringLiteral("--pack")}, out),
        HostError);
    EXPECT_THROW(SettingsCommands::write(data(), QStringLiteral("1"),
                                         {QStringLiteral("--memo-file"), QStringLiteral("/fehlt")},
                                         out),
                 HostError);
    EXPECT_THROW(SettingsCommands::write(data(), QStringLiteral("1"),
                                         {QStringLiteral("--text"), QString(101, u'x')}, out),
                 HostError);
    EXPECT_THROW(SettingsCommands::show(dir.filePath(QStringLiteral("fehlt")), out), HostError);
}

} // namespace
