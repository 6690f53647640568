// The installation mode of the module base window and InstallModule's start check, on a
// program folder of its own: every row of the installation's failure table.
#include "module/InstallModule.h"
#include "module/TZModuleBaseFrm.h"

#include "feedback/ScreenCursor.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TSBHTM.h"
#include "platform/CommandLine.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kModule = QStringLiteral("Testmodul Bestellnummern");

class TTestModule : public TZModuleBaseFrm {
public:
    explicit TTestModule(QString name) : m_name(std::move(name)) {
        setObjectName(QStringLiteral("FTest"));
    }
    QString ModuleName() override { return m_name; }
    void DatabaseReady() override { ++ready; }
    int ready = 0;

private:
    QString m_name;
};

struct TBoxSeen {
    QString text;
    int cursor = 0; // the screen cursor while the box was open
};

class Installation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        useProgram(dir.filePath(QStringLiteral("dupcheck")));
        Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
        // Message boxes run their own event loop; the timer closes each one from inside it.
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<TFSB_BOX *>(w);
                if (box && box->isVisible()) {
                    boxes.push_back({box->MessageLabel->Text(), ScreenCursor::current()});
                    box->FB_BREAK2->Click();
                    return;
                }
            }
        });
        timer.start();
    }
    void TearDown() override {
        timer.stop();
        ResetCommandLineArguments();
        Paths::overrideProgramPath(QString());
    }
    void useProgram(const QString &path) {
        program = path;
        Paths::overrideProgramPath(path);
    }
    QString menu() const { return Paths::extractFilePath(program) + QStringLiteral("ZS.MNU"); }
    QByteArray read(const QString &path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<fehlt>");
    }
    void write(const QString &name, const QByteArray &bytes) const {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // Starts the window with the command line given and lets the start-up message arrive.
    std::unique_ptr<TTestModule> start(const QStringList &arguments,
                                       const QString &name = kModule) {
        SetCommandLineArguments(arguments);
        auto form = std::make_unique<TTestModule>(name);
        form->show();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        return form;
    }

    QTemporaryDir dir;
    QString program;
    QTimer timer;
    std::vector<TBoxSeen> boxes;
};

} // namespace

TEST_F(Installation, EntersTheModuleAndClosesWithoutAWord) {
    write(QStringLiteral("ZS.MNU"), "C:\\Host\\a.exe;Etiketten\r\n");
    auto form = start({QStringLiteral("INSTALL")});
    EXPECT_EQ(read(menu()), QByteArray("C:\\Host\\a.exe;Etiketten\r\n") + program.toLatin1() +
                                ";Testmodul Bestellnummern\r\n");
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->ExitStatus(), esOk);
    EXPECT_EQ(form->ready, 0) << "an installation never connects";
}

TEST_F(Installation, FurtherArgumentsInstallTheSameWay) {
    auto form = start({QStringLiteral("INSTALL"), QStringLiteral("x"), QStringLiteral("1")});
    EXPECT_EQ(read(menu()), program.toLatin1() + ";Testmodul Bestellnummern\r\n");
    EXPECT_EQ(form->ExitStatus(), esOk);
}

TEST_F(Installation, CopiesTheActiveSchemeBeforeTheMenuIsWritten) {
    write(QStringLiteral("SHEMA.INI"), "[ASHEMA]\r\nVALUE=Blau\r\n");
    write(QStringLiteral("COLORSHEMA_Blau.DAT"), "Form_Color=clBlue\r\n");
    // The menu cannot be written (a NUL in it): the copy is made all the same.
    write(QStringLiteral("ZS.MNU"), QByteArray("a;X\r\n\0", 6));
    auto form = start({QStringLiteral("INSTALL")});
    EXPECT_EQ(read(dir.filePath(QStringLiteral("dupcheck.SKM"))),
              QByteArray("Form_Color=clBlue\r\n"));
    EXPECT_EQ(form->ExitStatus(), esNotInstalled);
}

TEST_F(Installation, AnEmptyModuleNameInstallsNothing) {
    write(QStringLiteral("SHEMA.INI"), "[ASHEMA]\r\nVALUE=Blau\r\n");
    write(QStringLiteral("COLORSHEMA_Blau.DAT"), "x\r\n");
    auto form = start({QStringLiteral("INSTALL")}, QString());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              QStringLiteral(": Installation fehlgeschlagen: Fehler: Application Name missing."));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->ExitStatus(), esNotInstalled);
    EXPECT_FALSE(QFile::exists(menu()));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("dupcheck.SKM"))));
}

struct FallbackCase {
    const char *name;
    QStringList arguments;
    QString message; // empty: none
};

void PrintTo(const FallbackCase &c, std::ostream *os) {
    *os << c.name;
}

class FailedRegistration : public Installation,
                           public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(FailedRegistration, RunsTheStartCheck) {
    // The program's folder is a file: no menu file can be read or written there.
    write(QStringLiteral("kein-ordner"), "x");
    useProgram(dir.filePath(QStringLiteral("kein-ordner/dupcheck")));
    auto form = start(GetParam().arguments);
    if (GetParam().message.isEmpty()) {
        EXPECT_TRUE(boxes.empty());
    } else {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, GetParam().message);
        EXPECT_EQ(boxes[0].cursor, 17786) << "the check runs under the wait cursor";
    }
    EXPECT_EQ(ScreenCursor::current(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->ExitStatus(), esNotInstalled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedRegistration,
    ::testing::Values(
        FallbackCase{"install_alone",
                     {QStringLiteral("INSTALL")},
                     QStringLiteral("Starten Sie das Programm über zusätzlich > Testmodul "
                                    "Bestellnummern")},
        FallbackCase{"build_below_the_minimum",
                     {QStringLiteral("INSTALL"), QStringLiteral("1"), QStringLiteral("12339")},
                     QStringLiteral("Das Programm benötigt mindestens  , Release 12340")},
        FallbackCase{"build_high_enough",
                     {QStringLiteral("INSTALL"), QStringLiteral("1"), QStringLiteral("12340")},
                     QString()}),
    [](const ::testing::TestParamInfo<FallbackCase> &info) {
        return std::string(info.param.name);
    });

TEST_F(Installation, ANulInTheMenuFileLeavesItAndRunsTheStartCheck) {
    const QByteArray before("a;X\r\n\0b;Y\r\n", 11);
    write(QStringLiteral("ZS.MNU"), before);
    auto form = start({QStringLiteral("INSTALL")});
    EXPECT_EQ(read(menu()), before);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Starten Sie das Programm")));
    EXPECT_EQ(form->ExitStatus(), esNotInstalled);
}

TEST_F(Installation, OutsideTheInstallationOnlyTheStartCheckRuns) {
    TForm window;
    SetCommandLineArguments({QStringLiteral("/daten"), QStringLiteral("1"), QStringLiteral("99")});
    EXPECT_FALSE(InstallModule(kModule, QStringLiteral("dupcheck"), &window, 12340));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Das Programm benötigt mindestens  , Release 12340"));
    EXPECT_FALSE(QFile::exists(menu()));
    boxes.clear();
    SetCommandLineArguments(
        {QStringLiteral("/daten"), QStringLiteral("1"), QStringLiteral("12340")});
    EXPECT_FALSE(InstallModule(kModule, QStringLiteral("dupcheck"), nullptr, 12340));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(QFile::exists(menu()));
}
