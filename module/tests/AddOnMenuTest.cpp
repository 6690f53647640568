// The add-on menu file: which line is the module's, what happens to all the others, the line
// ends, the letter case of the file's name, and that a failure changes nothing.
#include "module/AddOnMenu.h"
#include "module/SplitAtChar.h"

#include "platform/Exception.h"
#include "testsupport/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString kModule = QStringLiteral("Doppelte Bestellnummern ermitteln");
const QString kProgram = QStringLiteral("/opt/warenwirtschaft/dupcheck");
const QByteArray kLine = "/opt/warenwirtschaft/dupcheck;Doppelte Bestellnummern ermitteln\r\n";

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<fehlt>");
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class MenuFile : public ::testing::Test {
protected:
    QString menu() const { return dir.filePath(QStringLiteral("ZS.MNU")); }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir;
};

struct RegisterCase {
    const char *name;
    std::optional<QByteArray> before; // nullopt: no file
    QByteArray after;
};

void PrintTo(const RegisterCase &c, std::ostream *os) {
    *os << c.name;
}

class Registering : public MenuFile, public ::testing::WithParamInterface<RegisterCase> {};

} // namespace

TEST_P(Registering, ReplacesTheModulesFirstLineOrAppendsOne) {
    if (GetParam().before)
        writeFile(menu(), *GetParam().before);
    AddOnMenu::Register(menu(), kProgram, kModule);
    EXPECT_EQ(readFile(menu()), GetParam().after);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("ZS.MNU")}) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Registering,
    ::testing::Values(
        RegisterCase{"no_file", std::nullopt, kLine},
        RegisterCase{"empty_file", QByteArray(), kLine},
        RegisterCase{"replaced_in_place_with_another_path",
                     "C:\\Host\\a.exe;Etiketten\r\n"
                     "C:\\Alt\\DUPCHECK.EXE;Doppelte Bestellnummern ermitteln\r\n"
                     "C:\\Host\\b.exe;Inventur\r\n",
                     "C:\\Host\\a.exe;Etiketten\r\n" + kLine + "C:\\Host\\b.exe;Inventur\r\n"},
        RegisterCase{"blanks_after_the_name_still_match",
                     "/alt;Doppelte Bestellnummern ermitteln   \r\nx;Y\r\n", kLine + "x;Y\r\n"},
        RegisterCase{"blanks_and_tabs_before_the_name_still_match",
                     "/alt; \tDoppelte Bestellnummern ermitteln\r\n", kLine},
        RegisterCase{"other_letter_case_does_not_match",
                     "/alt;doppelte Bestellnummern Ermitteln\r\n",
                     "/alt;doppelte Bestellnummern Ermitteln\r\n" + kLine},
        RegisterCase{"only_the_first_of_two_is_replaced",
                     "/a;Doppelte Bestellnummern ermitteln\r\nx;Y\r\n"
                     "/b;Doppelte Bestellnummern ermitteln\r\n",
                     kLine + "x;Y\r\n/b;Doppelte Bestellnummern ermitteln\r\n"},
        RegisterCase{"only_the_first_semicolon_splits",
                     "/a;b;Doppelte Bestellnummern ermitteln\r\n",
                     "/a;b;Doppelte Bestellnummern ermitteln\r\n" + kLine},
        RegisterCase{"lines_without_semicolon_and_empty_lines_stay_and_never_match",
                     "Doppelte Bestellnummern ermitteln\r\n\r\nKopf\r\n\r\n",
                     "Doppelte Bestellnummern ermitteln\r\n\r\nKopf\r\n\r\n" + kLine},
        RegisterCase{"missing_last_line_break", "a;X\r\nb;Y", "a;X\r\nb;Y\r\n" + kLine},
        RegisterCase{"lf_line_ends", "a;X\nb;Y\n", "a;X\r\nb;Y\r\n" + kLine},
        RegisterCase{"cr_line_ends", "a;X\rb;Y\r", "a;X\r\nb;Y\r\n" + kLine},
        RegisterCase{"mixed_line_ends_with_the_module_line",
                     "a;X\r/alt;Doppelte Bestellnummern ermitteln\nb;Y",
                     "a;X\r\n" + kLine + "b;Y\r\n"},
        RegisterCase{"other_lines_kept_byte_for_byte",
                     "C:\\B\xFCro\\m.exe;Men\xFC \x80 \x81\x8D\x8F\x90\x9D\xFF\r\n"
                     "\xC3\xA4 utf8;\xE2\x82\xAC\r\n",
                     "C:\\B\xFCro\\m.exe;Men\xFC \x80 \x81\x8D\x8F\x90\x9D\xFF\r\n"
                     "\xC3\xA4 utf8;\xE2\x82\xAC\r\n" +
                         kLine}),
    [](const ::testing::TestParamInfo<RegisterCase> &info) {
        return std::string(info.param.name);
    });

TEST_F(MenuFile, AModuleNameOutsideAsciiIsWrittenAndFoundInWindows1252) {
    writeFile(menu(), "/alt;B\xFC"
                      "cher pr\xFC"
                      "fen\r\nx;Y\r\n");
    AddOnMenu::Register(menu(), QStringLiteral("/opt/Bäckerei/modul"),
                        QStringLiteral("Bücher prüfen"));
    EXPECT_EQ(readFile(menu()), QByteArray("/opt/B\xE4"
                                           "ckerei/modul;B\xFC"
                                           "cher pr\xFC"
                                           "fen\r\nx;Y\r\n"));
}

TEST_F(MenuFile, ANulByteLeavesTheFileAsItWas) {
    // Reading ends at the NUL; writing what was read would cut off the lines after it.
    const QByteArray before("a;X\r\nb\0;Y\r\nc;Z\r\n", 16);
    writeFile(menu(), before);
    try {
        AddOnMenu::Register(menu(), kProgram, kModule);
        ADD_FAILURE() << "registered in a file with a NUL byte";
    } catch (const EInOutError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Nullbyte"))) << e.message().toStdString();
    }
    EXPECT_EQ(readFile(menu()), before);
}

TEST_F(MenuFile, APathThatWindows1252CannotHoldIsNotWritten) {
    writeFile(menu(), "a;X\r\n");
    EXPECT_THROW(AddOnMenu::Register(menu(), QStringLiteral("/home/łukasz/dupcheck"), kModule),
                 EInOutError);
    EXPECT_EQ(readFile(menu()), QByteArray("a;X\r\n"));
    const QString missing = dir.filePath(QStringLiteral("leer/ZS.MNU"));
    QDir(dir.path()).mkdir(QStringLiteral("leer"));
    EXPECT_THROW(AddOnMenu::Register(missing, kProgram, QStringLiteral("Zeile\r\nzwei")),
                 EInOutError);
    EXPECT_FALSE(QFile::exists(missing)) << "nothing is created either";
}

TEST_F(MenuFile, AFailedWriteLeavesTheOldFileWhole) {
    QByteArray before;
    for (int i = 0; i < 4000; ++i)
        before += "C:\\Host\\Modul" + QByteArray::number(i) + ".exe;Modul " +
                  QByteArray::number(i) + "\r\n";
    writeFile(menu(), before);
    {
        TFileSizeLimit limit(before.size() / 2);
        ASSERT_TRUE(limit.Active());
        EXPECT_THROW(AddOnMenu::Register(menu(), kProgram, kModule), EInOutError);
    }
    EXPECT_EQ(readFile(menu()), before);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("ZS.MNU")}) << "no temporary file is left";
}

TEST_F(MenuFile, AFolderThatCannotHoldTheFileIsAnError) {
    writeFile(dir.filePath(QStringLiteral("datei")), "x");
    EXPECT_THROW(
        AddOnMenu::Register(dir.filePath(QStringLiteral("datei/ZS.MNU")), kProgram, kModule),
        EInOutError);
}

TEST_F(MenuFile, IsFoundBesideTheProgramInAnyLetterCase) {
    const QString program = dir.filePath(QStringLiteral("dupcheck"));
    EXPECT_EQ(AddOnMenu::MenuFilePath(program), dir.filePath(QStringLiteral("ZS.MNU")))
        << "a new file gets the host's name";
    writeFile(dir.filePath(QStringLiteral("zs.mnu")), "a;X\r\n");
    const QString found = AddOnMenu::MenuFilePath(program);
    EXPECT_EQ(found, dir.filePath(QStringLiteral("zs.mnu")));
    AddOnMenu::Register(found, program, kModule);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("zs.mnu")}) << "no second menu file";
}

namespace {

struct SplitCase {
    const char *name;
    QString text;
    QString left;
    QString right;
};

void PrintTo(const SplitCase &c, std::ostream *os) {
    *os << c.name;
}

class Splitting : public ::testing::TestWithParam<SplitCase> {};

} // namespace

TEST_P(Splitting, AtTheFirstSeparator) {
    QString left = QStringLiteral("vorher links");
    QString right = QStringLiteral("vorher rechts");
    SplitAtChar(GetParam().text, u';', left, right);
    EXPECT_EQ(left, GetParam().left);
    EXPECT_EQ(right, GetParam().right);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Splitting,
    ::testing::Values(
        SplitCase{"plain", QStringLiteral("a;b"), QStringLiteral("a"), QStringLiteral("b")},
        SplitCase{"first_only", QStringLiteral("a;b;c"), QStringLiteral("a"),
                  QStringLiteral("b;c")},
        SplitCase{"right_trimmed_left_not", QStringLiteral(" a ;\t b \x01"), QStringLiteral(" a "),
                  QStringLiteral("b")},
        SplitCase{"empty_parts", QStringLiteral(";"), QString(), QString()},
        SplitCase{"at_most_200_characters_then_trimmed",
                  QStringLiteral("a;") + QString(150, u'x') + QString(50, u' ') + u'y',
                  QStringLiteral("a"), QString(150, u'x')},
        SplitCase{"no_separator_keeps_both", QStringLiteral("ohne"), QStringLiteral("vorher links"),
                  QStringLiteral("vorher rechts")}),
    [](const ::testing::TestParamInfo<SplitCase> &info) { return std::string(info.param.name); });
