// The host's scheme files: the list, the active scheme and the module's copy.
#include "skins/ColorSchemeFiles.h"

#include "SchemeFolder.h"
#include "testsupport/FileSizeLimit.h"

using namespace ColorSchemeFiles;

namespace {

class SchemeFiles : public SchemeFolder {
protected:
    QStringList list(const QString &folder = QString()) const {
        QStringList out;
        ListSchemes(folder, out);
        return out;
    }
    void activate(const QString &name) const {
        write(QStringLiteral("SHEMA.INI"), "[ASHEMA]\r\nVALUE=" + name.toLatin1() + "\r\n");
    }
};

} // namespace

TEST_F(SchemeFiles, WithoutSchemesTheListHoldsOnlyNoScheme) {
    write(QStringLiteral("SHEMA.INI"), "[ASHEMA]\r\nVALUE=Blau\r\n");
    EXPECT_EQ(list(), QStringList{NoScheme});
    EXPECT_EQ(ActiveSchemeIndex(list(), QString()), 0);
    EXPECT_FALSE(InstallSchemeCopy(QString(), QString()));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("SHEMA.INI")});
}

TEST_F(SchemeFiles, ListsTheSchemeFilesInAnyLetterCase) {
    write(QStringLiteral("COLORSHEMA_Blau.DAT"), "x");
    write(QStringLiteral("colorshema_gruen.dat"), "x");
    write(QStringLiteral("COLORSHEMA.DAT"), "x");         // the empty name
    write(QStringLiteral("COLORSHEMA_Rot.DAT.bak"), "x"); // not a scheme
    write(QStringLiteral("Skins/COLORSHEMA_Unten.DAT"), "x");
    QDir(dir.path()).mkdir(QStringLiteral("COLORSHEMA_Ordner.DAT"));
    EXPECT_EQ(list(),
              (QStringList{NoScheme, QString(), QStringLiteral("Blau"), QStringLiteral("gruen")}));
    EXPECT_EQ(list(path(QStringLiteral("skins"))), (QStringList{NoScheme, QStringLiteral("Unten")}))
        << "a folder given in other letter case is found too";
    EXPECT_EQ(list(path(QStringLiteral("fehlt"))), QStringList{NoScheme});
}

struct IndexCase {
    const char *name;
    const char *file; // the index file's name; nullptr: none
    QByteArray content;
    int index;
};

void PrintTo(const IndexCase &c, std::ostream *os) {
    *os << c.name;
}

class ActiveIndex : public SchemeFiles, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(ActiveIndex, ComesFromShemaIni) {
    write(QStringLiteral("COLORSHEMA_Blau.DAT"), "x");
    write(QStringLiteral("COLORSHEMA_Gelb.DAT"), "x");
    if (GetParam().file)
        write(QLatin1String(GetParam().file), GetParam().content);
    EXPECT_EQ(ActiveSchemeIndex(list(), QString()), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ActiveIndex,
    ::testing::Values(
        IndexCase{"named", "SHEMA.INI", "[ASHEMA]\r\nVALUE=Gelb\r\n", 2},
        IndexCase{"other_letter_case", "SHEMA.INI", "[ashema]\r\nvalue=BLAU\r\n", 1},
        IndexCase{"index_file_in_other_case", "shema.ini", "[ASHEMA]\nVALUE=Gelb\n", 2},
        IndexCase{"scheme_file_missing", "SHEMA.INI", "[ASHEMA]\r\nVALUE=Rot\r\n", 0},
        IndexCase{"no_scheme", "SHEMA.INI", "[ASHEMA]\r\nVALUE=Kein Farbschema\r\n", 0},
        IndexCase{"key_missing", "SHEMA.INI", "[ASHEMA]\r\nNAME=Gelb\r\n", 0},
        IndexCase{"file_missing", nullptr, {}, 0}),
    [](const ::testing::TestParamInfo<IndexCase> &info) { return std::string(info.param.name); });

TEST_F(SchemeFiles, InstallingCopiesTheActiveSchemeByteForByte) {
    QByteArray scheme = "FMain|Color=clRed\r\nTPanel_Color=$00FF00\r\n";
    for (int i = 0; i < 5000; ++i) // more than two blocks of the copy
        scheme += "FMain.Panel" + QByteArray::number(i) + "|Color=\xE4\x80\x00\r\n";
    write(QStringLiteral("colorshema_blau.dat"), scheme);
    activate(QStringLiteral("Blau"));
    EXPECT_TRUE(InstallSchemeCopy(QString(), QString()));
    EXPECT_EQ(read(QStringLiteral("dupcheck.SKM")), scheme);
    EXPECT_EQ(SchemeCopyPath(), path(QStringLiteral("dupcheck.SKM")));
}

TEST_F(SchemeFiles, ASecondInstallationWithAnotherSchemeOverwritesTheCopy) {
    write(QStringLiteral("COLORSHEMA_Blau.DAT"), "blau\r\n");
    write(QStringLiteral("COLORSHEMA_Gelb.DAT"), "gelb\r\n");
    activate(QStringLiteral("Blau"));
    ASSERT_TRUE(InstallSchemeCopy(QString(), QString()));
    activate(QStringLiteral("Gelb"));
    ASSERT_TRUE(InstallSchemeCopy(QString(), QString()));
    EXPECT_EQ(read(QStringLiteral("dupcheck.SKM")), QByteArray("gelb\r\n"));
    // An existing copy in other letter case is the one replaced.
    ASSERT_TRUE(
        QFile::rename(path(QStringLiteral("dupcheck.SKM")), path(QStringLiteral("DUPCHECK.skm"))));
    activate(QStringLiteral("Blau"));
    ASSERT_TRUE(InstallSchemeCopy(QString(), QString()));
    EXPECT_EQ(read(QStringLiteral("DUPCHECK.skm")), QByteArray("blau\r\n"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("dupcheck.SKM"))));
}

TEST_F(SchemeFiles, NoSchemeOrAMissingFileKeepsTheOldCopy) {
    write(QStringLiteral("dupcheck.SKM"), "alt\r\n");
    activate(NoScheme);
    EXPECT_FALSE(InstallSchemeCopy(QString(), QString()));
    activate(QStringLiteral("Rot"));
    EXPECT_FALSE(InstallSchemeCopy(QString(), QString()));
    EXPECT_EQ(read(QStringLiteral("dupcheck.SKM")), QByteArray("alt\r\n"));
}

TEST_F(SchemeFiles, TheCopyGoesIntoAnotherFolderWithItsParentsCreated) {
    write(QStringLiteral("Host/COLORSHEMA_Blau.DAT"), "blau\r\n");
    write(QStringLiteral("Host/SHEMA.INI"), "[ASHEMA]\r\nVALUE=Blau\r\n");
    EXPECT_TRUE(InstallSchemeCopy(path(QStringLiteral("host")), path(QStringLiteral("a/b/c"))));
    EXPECT_EQ(read(QStringLiteral("a/b/c/dupcheck.SKM")), QByteArray("blau\r\n"));
}

TEST_F(SchemeFiles, AFailureInTheMiddleOfTheCopyLeavesTheOldCopyWhole) {
    write(QStringLiteral("dupcheck.SKM"), "alt\r\n");
    write(QStringLiteral("COLORSHEMA_Gross.DAT"), QByteArray(300000, 'x'));
    activate(QStringLiteral("Gross"));
    {
        TFileSizeLimit limit(150000);
        ASSERT_TRUE(limit.Active());
        EXPECT_FALSE(InstallSchemeCopy(QString(), QString()));
    }
    EXPECT_EQ(read(QStringLiteral("dupcheck.SKM")), QByteArray("alt\r\n"));
    EXPECT_EQ(entries(), (QStringList{QStringLiteral("COLORSHEMA_Gross.DAT"),
                                      QStringLiteral("SHEMA.INI"), QStringLiteral("dupcheck.SKM")}))
        << "no temporary file is left";
}

TEST_F(SchemeFiles, ATargetFolderThatCannotBeMadeIsSilent) {
    write(QStringLiteral("COLORSHEMA_Blau.DAT"), "blau\r\n");
    activate(QStringLiteral("Blau"));
    write(QStringLiteral("datei"), "x");
    EXPECT_FALSE(InstallSchemeCopy(QString(), path(QStringLiteral("datei/unter"))));
    EXPECT_FALSE(InstallSchemeCopy(QString(), path(QStringLiteral("datei"))));
    EXPECT_EQ(read(QStringLiteral("datei")), QByteArray("x"));
}

TEST_F(SchemeFiles, AnUnreadableIndexFileIsSilentForTheCopy) {
    write(QStringLiteral("COLORSHEMA_Blau.DAT"), "blau\r\n");
    write(QStringLiteral("SHEMA.INI"), QByteArray("[ASHEMA]\r\nVALUE=Bl\0au\r\n", 21));
    EXPECT_FALSE(InstallSchemeCopy(QString(), QString()));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("dupcheck.SKM"))));
}
