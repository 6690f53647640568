#include "platform/AtomicFile.h"

#include "platform/Exception.h"
#include "testsupport/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class AtomicFile : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QByteArray read(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<fehlt>");
    }
    QStringList entries() {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(AtomicFile, ReplacesTheContentAndKeepsThePermissions) {
    const QString path = write(QStringLiteral("ZS.MNU"), "alt\r\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QFile::Permissions before = QFile::permissions(path);
    WriteFileAtomically(path, "neu\r\n");
    EXPECT_EQ(read(path), QByteArray("neu\r\n"));
    EXPECT_EQ(QFile::permissions(path), before);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("ZS.MNU")}) << "no temporary file is left";
}

TEST_F(AtomicFile, CreatesAMissingFile) {
    const QString path = dir.filePath(QStringLiteral("neu.SKM"));
    WriteFileAtomically(path, "x");
    EXPECT_EQ(read(path), QByteArray("x"));
}

TEST_F(AtomicFile, ALinkKeepsPointingToTheFileWithTheNewContent) {
    const QString target = write(QStringLiteral("echt.mnu"), "alt");
    const QString link = dir.filePath(QStringLiteral("ZS.MNU"));
    ASSERT_TRUE(QFile::link(target, link));
    WriteFileAtomically(link, "neu");
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_EQ(read(target), QByteArray("neu"));
}

TEST_F(AtomicFile, AFailureInTheMiddleLeavesTheOldFileWhole) {
    const QByteArray old(100000, 'a');
    const QString path = write(QStringLiteral("ZS.MNU"), old);
    {
        TFileSizeLimit limit(50000);
        ASSERT_TRUE(limit.Active());
        TAtomicFile file(path);
        // The first writes may stay in the file's buffer; the failure shows at the latest when
        // the content is flushed.
        EXPECT_THROW(
            {
                for (int i = 0; i < 10; ++i)
                    file.Write(QByteArray(20000, 'b'));
                file.Commit();
            },
            EInOutError);
    }
    EXPECT_EQ(read(path), old);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("ZS.MNU")}) << "no temporary file is left";
}

TEST_F(AtomicFile, AContentThatIsNotCommittedIsThrownAway) {
    const QString path = write(QStringLiteral("a.SKM"), "alt");
    {
        TAtomicFile file(path);
        file.Write("neu");
    }
    EXPECT_EQ(read(path), QByteArray("alt"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("a.SKM")});
}

TEST_F(AtomicFile, AFolderThatIsAFileCannotTakeIt) {
    const QString file = write(QStringLiteral("kein-ordner"), "x");
    try {
        WriteFileAtomically(file + QStringLiteral("/ZS.MNU"), "neu");
        ADD_FAILURE() << "written into a file";
    } catch (const EInOutError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Datei \"")) &&
                    e.message().contains(QStringLiteral("kann nicht geschrieben werden")))
            << e.message().toStdString();
    }
    EXPECT_EQ(read(file), QByteArray("x"));
}
