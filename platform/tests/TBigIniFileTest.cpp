#include "platform/TBigIniFile.h"

#include "platform/Exception.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A workstation file as the host writes it (Windows-1252, CR LF), with the cases the reader
// must get right: blanks, comments, repeated keys and sections, other letter case.
const char kHostFile[] = "; Arbeitsplatz=nicht lesen\r\n"
                         "Vorspann=vor dem ersten Abschnitt\r\n"
                         "[MAIL]\r\n"
                         "mailMAPI=1\r\n"
                         "  mailMAPI_Kind  =  $10  \r\n"
                         "mailMAPI_Profil=B\xFCro ; kein Kommentar\r\n"
                         "   ; Einger\xFC"
                         "ckter=Kommentar\r\n"
                         "Zitat=\"a b\"\r\n"
                         "Leer=\r\n"
                         "mailmapi=0\r\n"
                         "Zeile ohne Gleichheitszeichen\r\n"
                         "Formel=a=b\r\n"
                         "[ Printers ]\r\n"
                         "DEFAULT = HP \x80 LaserJet\r\n"
                         "Copies_Count_op0=abc\r\n"
                         "Copies_Count_op1=-3\r\n"
                         "Copies_Count_op2=99999999999\r\n"
                         "Flag2=2\r\n"
                         "FlagTrue=true\r\n"
                         "FlagHex=$0\r\n"
                         "[mail]\r\n"
                         "Spaet=im wiederholten Abschnitt\r\n"
                         "[EF]\r\n"
                         "Rot=clred\r\n"
                         "Unbekannt=clNoSuchColour\r\n"
                         "Zahl=$FF8080\r\n"
                         "Dezimal=16744576\r\n"
                         "System=$8000000F\r\n"
                         "Wort=rot\r\n"
                         "LeereFarbe=\r\n";

class IniFile : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString host() { return write(QStringLiteral("KLEVO.INI"), QByteArray(kHostFile)); }

    QTemporaryDir dir;
};

struct StringCase {
    const char *section, *key, *def;
    QString expected;
};

class IniReadString : public IniFile, public ::testing::WithParamInterface<StringCase> {};

TEST_P(IniReadString, FollowsTheWindowsRules) {
    const TBigIniFile ini(host());
    const StringCase &c = GetParam();
    EXPECT_EQ(ini.ReadString(QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                             QString::fromLatin1(c.def)),
              c.expected)
        << c.section << "/" << c.key;
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniReadString,
    ::testing::Values(
        StringCase{"MAIL", "mailMAPI", "-", QStringLiteral("1")}, // the first of two counts
        StringCase{"mail", "MAILMAPI_KIND", "-", QStringLiteral("$10")},
        StringCase{"MAIL", "mailMAPI_Profil", "-", QStringLiteral("Büro ; kein Kommentar")},
        StringCase{"MAIL", "Zitat", "-", QStringLiteral("\"a b\"")},
        StringCase{"MAIL", "Leer", "-", QString()}, // present and empty: not the default
        StringCase{"MAIL", "Formel", "-", QStringLiteral("a=b")}, // split at the first "="
        StringCase{"MAIL", "; Eingerückter", "-", QStringLiteral("-")},
        StringCase{"MAIL", "Zeile ohne Gleichheitszeichen", "-", QStringLiteral("-")},
        StringCase{"MAIL", "Spaet", "-", QStringLiteral("-")}, // under the repeated section
        StringCase{"MAIL", "Fehlt", "Vorgabe", QStringLiteral("Vorgabe")},
        StringCase{"Fehlt", "mailMAPI", "Vorgabe", QStringLiteral("Vorgabe")},
        StringCase{"", "Vorspann", "-", QStringLiteral("-")},
        StringCase{"printers", "default", "-", QStringLiteral("HP € LaserJet")},
        StringCase{" PRINTERS ", " DEFAULT ", "-", QStringLiteral("HP € LaserJet")}));

struct IntCase {
    const char *section, *key;
    qint32 def, expected;
};

class IniReadInteger : public IniFile, public ::testing::WithParamInterface<IntCase> {};

TEST_P(IniReadInteger, ReadsNumbersAndFallsBackToTheDefault) {
    const TBigIniFile ini(host());
    const IntCase &c = GetParam();
    EXPECT_EQ(ini.ReadInteger(QString::fromLatin1(c.section), QString::fromLatin1(c.key), c.def),
              c.expected)
        << c.section << "/" << c.key;
}

INSTANTIATE_TEST_SUITE_P(Table, IniReadInteger,
                         ::testing::Values(IntCase{"MAIL", "mailMAPI", 7, 1},
                                           IntCase{"MAIL", "mailMAPI_Kind", 7, 16},
                                           IntCase{"PRINTERS", "Copies_Count_op0", 7, 7},
                                           IntCase{"PRINTERS", "Copies_Count_op1", 7, -3},
                                           IntCase{"PRINTERS", "Copies_Count_op2", 7, 7},
                                           IntCase{"MAIL", "Leer", 7, 7},
                                           IntCase{"MAIL", "Fehlt", 7, 7}));

struct BoolCase {
    const char *section, *key;
    bool def, expected;
};

class IniReadBool : public IniFile, public ::testing::WithParamInterface<BoolCase> {};

TEST_P(IniReadBool, ReadsNumbersZeroIsFalse) {
    const TBigIniFile ini(host());
    const BoolCase &c = GetParam();
    EXPECT_EQ(ini.ReadBool(QString::fromLatin1(c.section), QString::fromLatin1(c.key), c.def),
              c.expected)
        << c.section << "/" << c.key << " default " << c.def;
}

INSTANTIATE_TEST_SUITE_P(Table, IniReadBool,
                         ::testing::Values(BoolCase{"MAIL", "mailMAPI", false, true},
                                           BoolCase{"PRINTERS", "Flag2", false, true},
                                           BoolCase{"PRINTERS", "FlagHex", true, false},
                                           BoolCase{"PRINTERS", "Copies_Count_op1", false, true},
                                           BoolCase{"PRINTERS", "FlagTrue", false, false},
                                           BoolCase{"PRINTERS", "FlagTrue", true, true},
                                           BoolCase{"MAIL", "Leer", true, true},
                                           BoolCase{"MAIL", "Fehlt", true, true},
                                           BoolCase{"MAIL", "Fehlt", false, false}));

struct ColorCase {
    const char *key, *def;
    std::optional<TColor> expected;
};

class IniReadColor : public IniFile, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(IniReadColor, TellsAnInvalidColourFromEveryColour) {
    const TBigIniFile ini(host());
    const ColorCase &c = GetParam();
    EXPECT_EQ(
        ini.ReadColor(QStringLiteral("ef"), QString::fromLatin1(c.key), QString::fromLatin1(c.def)),
        c.expected)
        << c.key;
}

INSTANTIATE_TEST_SUITE_P(Table, IniReadColor,
                         ::testing::Values(ColorCase{"Rot", "clBlack", clRed},
                                           ColorCase{"Zahl", "clBlack", 16744576},
                                           ColorCase{"Dezimal", "clBlack", 16744576},
                                           ColorCase{"System", "clBlack", clBtnFace},
                                           ColorCase{"Fehlt", "clBlack", clBlack},
                                           ColorCase{"Fehlt", "CLWINDOW", clWindow},
                                           ColorCase{"Unbekannt", "clBlack", std::nullopt},
                                           ColorCase{"Wort", "clBlack", std::nullopt},
                                           ColorCase{"LeereFarbe", "clBlack", std::nullopt},
                                           ColorCase{"Fehlt", "kein", std::nullopt}));

TEST_F(IniFile, ListsSectionsAndKeysOnceInFileOrder) {
    const TBigIniFile ini(host());
    EXPECT_EQ(ini.ReadSections(), (QStringList{QStringLiteral("MAIL"), QStringLiteral("Printers"),
                                               QStringLiteral("EF")}));
    EXPECT_EQ(ini.ReadSection(QStringLiteral("mail")),
              (QStringList{QStringLiteral("mailMAPI"), QStringLiteral("mailMAPI_Kind"),
                           QStringLiteral("mailMAPI_Profil"), QStringLiteral("Zitat"),
                           QStringLiteral("Leer"), QStringLiteral("Formel")}));
    EXPECT_TRUE(ini.ReadSection(QStringLiteral("Fehlt")).isEmpty());
    EXPECT_TRUE(ini.SectionExists(QStringLiteral("printers")));
    EXPECT_FALSE(ini.SectionExists(QStringLiteral("Fehlt")));
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("MAIL"), QStringLiteral("leer")));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("MAIL"), QStringLiteral("Spaet")));
}

TEST_F(IniFile, AMissingFileGivesEveryDefault) {
    const TBigIniFile ini(dir.filePath(QStringLiteral("KLEVO.INI")));
    EXPECT_FALSE(ini.FileExists());
    EXPECT_EQ(ini.ReadString(QStringLiteral("MAIL"), QStringLiteral("x"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("MAIL"), QStringLiteral("x"), 100), 100);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("MAIL"), QStringLiteral("x"), true));
    EXPECT_EQ(ini.ReadColor(QStringLiteral("EF"), QStringLiteral("x"), QStringLiteral("clBlack")),
              clBlack);
    EXPECT_TRUE(ini.ReadSections().isEmpty());
}

TEST_F(IniFile, FindsTheFileInAnyLetterCase) {
    write(QStringLiteral("klevo.ini"), "[Mail]\nmailMAPI=1\n");
    const TBigIniFile ini(dir.filePath(QStringLiteral("KLEVO.INI")));
    EXPECT_TRUE(ini.FileExists());
    EXPECT_EQ(ini.FileName(), dir.filePath(QStringLiteral("KLEVO.INI")));
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("MAIL"), QStringLiteral("mailMAPI"), false));
}

TEST_F(IniFile, ReadsLineFeedLinesAndALastLineWithoutEnd) {
    const TBigIniFile ini(write(QStringLiteral("a.ini"), "[A]\nx=1\ny=2"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("A"), QStringLiteral("x"), 0), 1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("A"), QStringLiteral("y"), 0), 2);
}

TEST_F(IniFile, AFileMarkedAsUtf8IsReadAsUtf8) {
    const TBigIniFile ini(write(QStringLiteral("a.ini"),
                                "\xEF\xBB\xBF[Mail]\r\nProfil=B\xC3\xBCro \xC5\x81\xC3\xB3"
                                "d\xC5\xBA\r\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("MAIL"), QStringLiteral("Profil"), QString()),
              QStringLiteral("Büro Łódź"));
}

TEST_F(IniFile, EveryByteIsWindows1252WithoutAMark) {
    // UTF-8 bytes without the mark are Windows-1252 text, as the host's functions read them.
    const TBigIniFile ini(write(QStringLiteral("a.ini"), "[Mail]\r\nProfil=B\xC3\xBCro\r\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("MAIL"), QStringLiteral("Profil"), QString()),
              QStringLiteral("BÃ¼ro"));
}

TEST_F(IniFile, ALineOf64KbIsReadAndALongerOneFails) {
    const QByteArray longest = "x=" + QByteArray(TBigIniFile::MaxLineBytes - 2, 'a');
    const TBigIniFile ini(write(QStringLiteral("a.ini"), "[A]\r\n" + longest + "\r\ny=1\r\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("A"), QStringLiteral("x"), QString()).size(),
              TBigIniFile::MaxLineBytes - 2);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("A"), QStringLiteral("y"), 0), 1);

    for (const QByteArray &end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray()}) {
        const QString path =
            write(QStringLiteral("b.ini"), "[A]\r\n" + longest + "b" + end + "y=1\r\n");
        try {
            TBigIniFile failing(path);
            ADD_FAILURE() << "a line of 64 KB and one byte was accepted";
        } catch (const EInOutError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("Zeile 2 ist länger als 64 KB")))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
        }
    }
}

TEST_F(IniFile, FilesThatAreNoTextFail) {
    struct Case {
        const char *name;
        QByteArray bytes;
        const char *reason;
    };
    const Case cases[] = {
        {"utf16.ini", QByteArray("\xFF\xFE[\0A\0]\0\r\0\n\0", 12), "Nullbyte"},
        {"binary.ini", QByteArray("[A]\nx=1\n\0\0\0", 11), "Zeile 3 enthält ein Nullbyte"},
        {"badutf8.ini", QByteArray("\xEF\xBB\xBF[A]\nx=\xC3\n"), "Zeile 2 ist kein gültiges UTF-8"},
    };
    for (const Case &c : cases) {
        const QString path = write(QString::fromLatin1(c.name), c.bytes);
        EXPECT_THROW(
            {
                try {
                    TBigIniFile ini(path);
                } catch (const EInOutError &e) {
                    EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.reason)))
                        << e.message().toStdString();
                    throw;
                }
            },
            EInOutError)
            << c.name;
    }
}

TEST_F(IniFile, AFolderInPlaceOfTheFileFails) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("KLEVO.INI")));
    EXPECT_THROW(TBigIniFile(dir.filePath(QStringLiteral("KLEVO.INI"))), EInOutError);
}

} // namespace
