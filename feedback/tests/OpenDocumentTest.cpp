#include "feedback/OpenDocument.h"
#include "feedback/DocumentShell.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A desktop that records what it is asked and answers as the test says.
class FakeShell : public DocumentShell {
public:
    QString association;
    bool startSucceeds = true;
    ShellResult executeResult = ShellResult::Opened;
    bool rightControl = false;
    std::optional<QString> choice;

    QStringList associationQueries;
    QString startedProgram;
    QStringList startedArguments;
    int starts = 0;
    QStringList executed; // "verb target"
    QStringList dialogs;  // "preset|folder"

    QString AssociatedProgram(const QString &target) override {
        associationQueries << target;
        return association;
    }
    bool StartProgram(const QString &program, const QStringList &arguments) override {
        ++starts;
        startedProgram = program;
        startedArguments = arguments;
        return startSucceeds;
    }
    ShellResult Execute(const QString &verb, const QString &target) override {
        executed << verb + u' ' + target;
        return executeResult;
    }
    bool RightControlDown() override { return rightControl; }
    std::optional<QString> ChooseProgram(const QString &presetFile,
                                         const QString &folder) override {
        dialogs << presetFile + u'|' + folder;
        return choice;
    }
};

class OpenDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Paths::overrideProgramPath(dir.path() + QStringLiteral("/dupcheck"));
        DocumentShell::Replace(&shell);
    }
    void TearDown() override {
        DocumentShell::Replace(nullptr);
        Paths::overrideProgramPath(QString());
    }
    QString listPath() const { return dir.path() + QStringLiteral("/PLUGINS/OpenFileEx.txt"); }
    void writeList(const QString &text) {
        QDir().mkpath(dir.path() + QStringLiteral("/PLUGINS"));
        QFile file(listPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Cp1252::fromQString(text));
    }
    QString readList() {
        QFile file(listPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return Cp1252::toQString(file.readAll());
    }

    QTemporaryDir dir;
    FakeShell shell;
};

TEST_F(OpenDocumentTest, AddressesGoToTheDesktopWithoutLookingForAProgram) {
    for (const char *target : {"http://example.org", "HTTPS://x", "www.example.org",
                               "ftp.example.org", "mailto:a@b.de", "news:x", "info@example.org",
                               "telnet:host", "gopher:x", "prospero:x", "nntp:x", "wais:x"}) {
        shell.executed.clear();
        EXPECT_EQ(OpenDocument(QStringLiteral("open"), QString::fromLatin1(target), true), odOpened)
            << target;
        EXPECT_EQ(shell.executed, QStringList{QStringLiteral("open ") + QLatin1String(target)});
    }
    EXPECT_TRUE(shell.associationQueries.isEmpty());
    EXPECT_EQ(shell.starts, 0);
    EXPECT_TRUE(shell.dialogs.isEmpty()); // no choice for addresses, even with right Ctrl
}

TEST_F(OpenDocumentTest, DesktopAnswersBecomeTheResults) {
    shell.executeResult = DocumentShell::ShellResult::NoAssociation;
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/tmp/x.unbekannt"), false),
              odNoProgram);
    shell.executeResult = DocumentShell::ShellResult::Failed; // e.g. the file is not there
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/tmp/fehlt.pdf"), false),
              odShellFailed);
    shell.executeResult = DocumentShell::ShellResult::Opened;
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/tmp/da.pdf"), false), odOpened);
}

TEST_F(OpenDocumentTest, ListedProgramWinsOverTheAssociationWhateverTheCaseOfTheKey) {
    writeList(
        QStringLiteral("; Programme je Endung\r\n.txt=/usr/bin/less\r\n.PDF= /opt/pdf/lesen \r\n"));
    shell.association = QStringLiteral("evince");
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/daten/Rechnung.Pdf"), false),
              odOpened);
    EXPECT_EQ(shell.startedProgram, QStringLiteral("/opt/pdf/lesen"));
    EXPECT_EQ(shell.startedArguments, QStringList{QStringLiteral("/daten/Rechnung.Pdf")});
    EXPECT_TRUE(shell.associationQueries.isEmpty());
    EXPECT_TRUE(shell.executed.isEmpty());
}

TEST_F(OpenDocumentTest, WithoutAListEntryTheAssociatedProgramStartsAndTheFolderIsCreated) {
    shell.association = QStringLiteral("  evince ");
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/daten/a.pdf"), false),
              odOpened);
    EXPECT_EQ(shell.startedProgram, QStringLiteral("evince"));
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/PLUGINS")).isDir());
}

TEST_F(OpenDocumentTest, ProgramThatCannotBeStartedIsAFailure) {
    shell.association = QStringLiteral("/gibt/es/nicht");
    shell.startSucceeds = false;
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/daten/a.pdf"), false),
              odShellFailed);
}

TEST_F(OpenDocumentTest, WithoutAnyProgramTheDesktopOpensTheTarget) {
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/daten/liesmich"), false),
              odOpened);
    EXPECT_EQ(shell.executed, QStringList{QStringLiteral("open /daten/liesmich")});
    EXPECT_EQ(shell.starts, 0);
}

TEST_F(OpenDocumentTest, RightControlLetsTheUserChooseAndTheChoiceIsRemembered) {
    writeList(QStringLiteral(".txt=/usr/bin/less\r\n.pdf=/opt/alt/pdf\r\n"));
    shell.rightControl = true;
    shell.association = QStringLiteral("/usr/bin/evince");
    shell.choice = QStringLiteral("/opt/neu/pdfleser");
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/d/a.pdf"), true), odOpened);
    EXPECT_EQ(shell.dialogs, QStringList{QStringLiteral("/usr/bin/evince|/opt/alt")});
    EXPECT_EQ(shell.startedProgram, QStringLiteral("/opt/neu/pdfleser"));
    // The entry is replaced in place; the other lines stay.
    EXPECT_EQ(readList(), QStringLiteral(".txt=/usr/bin/less\r\n.pdf=/opt/neu/pdfleser\r\n"));
    EXPECT_EQ(OpenFileList::Lookup(QStringLiteral(".pdf")), QStringLiteral("/opt/neu/pdfleser"));
}

TEST_F(OpenDocumentTest, ChoiceForANewExtensionCreatesTheList) {
    shell.rightControl = true;
    shell.choice = QStringLiteral("/opt/bild");
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/d/foto.JPG"), true), odOpened);
    EXPECT_EQ(readList(), QStringLiteral(".jpg=/opt/bild\r\n"));
}

TEST_F(OpenDocumentTest, CancelledChoiceOpensNothing) {
    shell.rightControl = true;
    shell.association = QStringLiteral("evince");
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/d/a.pdf"), true), odOpened);
    EXPECT_EQ(shell.dialogs.size(), 1);
    EXPECT_EQ(shell.starts, 0);
    EXPECT_TRUE(shell.executed.isEmpty());
    EXPECT_FALSE(QFile::exists(listPath()));
}

TEST_F(OpenDocumentTest, NoChoiceWhenNotAllowed) {
    shell.rightControl = true;
    shell.association = QStringLiteral("evince");
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/d/a.pdf"), false), odOpened);
    EXPECT_TRUE(shell.dialogs.isEmpty());
    EXPECT_EQ(shell.startedProgram, QStringLiteral("evince"));
}

TEST_F(OpenDocumentTest, UnreadableListCountsAsEmpty) {
    QDir().mkpath(listPath()); // a folder where the file should be
    shell.association = QStringLiteral("evince");
    EXPECT_EQ(OpenDocument(QStringLiteral("open"), QStringLiteral("/d/a.pdf"), false), odOpened);
    EXPECT_EQ(shell.startedProgram, QStringLiteral("evince"));
    EXPECT_FALSE(OpenFileList::Store(QStringLiteral(".pdf"), QStringLiteral("x")));
}

TEST(OpenFileListTest, KeyIsTheLowerCaseExtensionWithItsDot) {
    EXPECT_EQ(OpenFileList::KeyOf(QStringLiteral("C:\\Daten\\Brief.DOC")), QStringLiteral(".doc"));
    EXPECT_EQ(OpenFileList::KeyOf(QStringLiteral("/a.b/datei")), QString());
    EXPECT_EQ(OpenFileList::KeyOf(QStringLiteral("/a/archiv.tar.gz")), QStringLiteral(".gz"));
}

} // namespace
