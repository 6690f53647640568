// Two installations of two modules into the same menu file at the same moment: both lines and
// every other line must be there afterwards, every time. Each round starts two processes that
// wait on their closed standard input, so that they run their read-modify-write together.
#include "platform/TextLines.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char kOthers[] = "C:\\Host\\etiketten.exe;Etiketten drucken\r\n"
                       "Kopfzeile ohne Semikolon\r\n"
                       "\r\n"
                       "C:\\Host\\inventur.exe;Inventur \x80 B\xFCro\r\n";

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<QProcess> startRegistration(const QString &menu, const QString &program,
                                            const QString &module) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(MENU_REGISTER_TOOL), {menu, program, module});
    return process;
}

} // namespace

TEST(ConcurrentRegistration, TwoModulesAtOnceLoseNoLine) {
    constexpr int kRounds = 150;
    QTemporaryDir dir;
    const QString menu = dir.filePath(QStringLiteral("ZS.MNU"));
    int lost = 0;
    for (int round = 0; round < kRounds; ++round) {
        // Every third round starts without a menu file, so that both may create it.
        QFile::remove(menu);
        if (round % 3 != 0) {
            QFile file(menu);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(kOthers);
        }
        auto first = startRegistration(menu, QStringLiteral("/opt/host/lager"),
                                       QStringLiteral("Lager prüfen"));
        auto second = startRegistration(menu, QStringLiteral("/opt/host/dupcheck"),
                                        QStringLiteral("Doppelte Bestellnummern ermitteln"));
        ASSERT_TRUE(first->waitForStarted() && second->waitForStarted());
        first->closeWriteChannel();
        second->closeWriteChannel();
        ASSERT_TRUE(first->waitForFinished() && second->waitForFinished());
        ASSERT_EQ(first->exitCode(), 0);
        ASSERT_EQ(second->exitCode(), 0);

        const QList<QByteArray> lines = TextLines::split(readFile(menu)).Lines;
        QList<QByteArray> expected =
            round % 3 != 0 ? TextLines::split(kOthers).Lines : QList<QByteArray>();
        const QByteArray lager = "/opt/host/lager;Lager pr\xFC"
                                 "fen";
        const QByteArray dupcheck = "/opt/host/dupcheck;Doppelte Bestellnummern ermitteln";
        // The two new lines follow the others in the order the two got the lock.
        const bool lagerFirst = lines.indexOf(lager) < lines.indexOf(dupcheck);
        expected +=
            lagerFirst ? QList<QByteArray>{lager, dupcheck} : QList<QByteArray>{dupcheck, lager};
        if (lines != expected) {
            ++lost;
            ADD_FAILURE() << "round " << round << ": " << readFile(menu).toStdString();
        }
        if (lost > 3)
            break;
    }
    EXPECT_EQ(lost, 0);
}
