#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Paths, AcceptsBothSeparatorsAndWritesSlashes) {
    EXPECT_EQ(Paths::normalize(QStringLiteral("C:\\DATEN\\Mandant 1\\")),
              QStringLiteral("C:/DATEN/Mandant 1/"));
    EXPECT_EQ(Paths::extractFileName(QStringLiteral("a\\b/c.TBL")), QStringLiteral("c.TBL"));
    EXPECT_EQ(Paths::extractFilePath(QStringLiteral("a\\b/c.TBL")), QStringLiteral("a/b/"));
    EXPECT_EQ(Paths::extractFilePath(QStringLiteral("c.TBL")), QString());
}

TEST(Paths, JoinsWithExactlyOneSeparator) {
    EXPECT_EQ(Paths::join(QStringLiteral("/data/"), QStringLiteral("\\x.TBL")),
              QStringLiteral("/data/x.TBL"));
    EXPECT_EQ(Paths::join(QStringLiteral("/data"), QStringLiteral("x.TBL")),
              QStringLiteral("/data/x.TBL"));
    EXPECT_EQ(Paths::join(QString(), QStringLiteral("x.TBL")), QStringLiteral("x.TBL"));
}

TEST(Paths, TrailingDelimiters) {
    EXPECT_EQ(Paths::includeTrailingDelimiter(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(Paths::includeTrailingDelimiter(QString()), QString());
    EXPECT_EQ(Paths::excludeTrailingDelimiter(QStringLiteral("/a\\\\")), QStringLiteral("/a"));
    EXPECT_EQ(Paths::excludeTrailingDelimiter(QStringLiteral("/")), QStringLiteral("/"));
}

TEST(Paths, FindsFilesAndFoldersInAnyLetterCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Host/Skins")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Bäckerei 1/łukasz")));
    QFile file(dir.filePath(QStringLiteral("Host/Skins/shema.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString base = dir.path() + u'/';
    struct Case {
        QString wanted, found;
    };
    const Case cases[] = {
        {base + QStringLiteral("Host/Skins/shema.ini"),
         base + QStringLiteral("Host/Skins/shema.ini")},
        {base + QStringLiteral("HOST\\skins/SHEMA.INI"),
         base + QStringLiteral("Host/Skins/shema.ini")},
        {base + QStringLiteral("host/SKINS"), base + QStringLiteral("Host/Skins")},
        // A part that matches nothing stays as asked for, and so do the parts after it.
        {base + QStringLiteral("host\\Fehlt\\SHEMA.INI"),
         base + QStringLiteral("Host/Fehlt/SHEMA.INI")},
        {base + QStringLiteral("HOST/Skins/KLEVO.INI"),
         base + QStringLiteral("Host/Skins/KLEVO.INI")},
        {base + QStringLiteral("host/skins/"), base + QStringLiteral("Host/Skins")},
        // Letters of Windows-1252 in any case; others only as written.
        {base + QStringLiteral("BÄCKEREI 1/łukasz"), base + QStringLiteral("Bäckerei 1/łukasz")},
        {base + QStringLiteral("bäckerei 1/ŁUKASZ"), base + QStringLiteral("Bäckerei 1/ŁUKASZ")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Paths::findIgnoringCase(c.wanted), c.found) << c.wanted.toStdString();

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(Paths::findIgnoringCase(QStringLiteral("HOST/skins/Shema.INI")),
              QStringLiteral("Host/Skins/shema.ini"));
    QDir::setCurrent(previous);
}

TEST(Paths, ProgramPathCanBeOverriddenAndRestored) {
    const QString real = Paths::programPath();
    Paths::overrideProgramPath(QStringLiteral("C:\\Host\\dupcheck.exe"));
    EXPECT_EQ(Paths::programDir(), QStringLiteral("C:/Host/"));
    EXPECT_EQ(Paths::programFileName(), QStringLiteral("dupcheck.exe"));
    Paths::overrideProgramPath(QString());
    EXPECT_EQ(Paths::programPath(), real);
}

#include "platform/CommandLine.h"

TEST(CommandLine, AbsentArgumentsReadAsEmptyText) {
    SetCommandLineArguments({QStringLiteral("/daten"), QStringLiteral("1")});
    EXPECT_EQ(ParamCount(), 2);
    EXPECT_EQ(ParamStr(1), QStringLiteral("/daten"));
    EXPECT_EQ(ParamStr(2), QStringLiteral("1"));
    EXPECT_EQ(ParamStr(3), QString());
    EXPECT_EQ(ParamStr(-1), QString());
    EXPECT_EQ(ParamStr(0), Paths::programPath());
    ResetCommandLineArguments();
}
