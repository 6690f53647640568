#include "platform/ForceDirectories.h"

#include "platform/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ForceDirectories, AnEmptyPathIsAnError) {
    try {
        ForceDirectories(QString());
        ADD_FAILURE() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Das Verzeichnis kann nicht erstellt werden"));
    }
}

TEST(ForceDirectories, CreatesEveryMissingFolderOfThePath) {
    QTemporaryDir dir;
    const QString deep = dir.path() + QStringLiteral("/a/b\\c/");
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/a/b/c")).isDir());
    EXPECT_TRUE(ForceDirectories(deep)) << "an existing folder needs nothing";
    EXPECT_TRUE(ForceDirectories(QStringLiteral("/")));
}

TEST(ForceDirectories, AFileInTheWayFails) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("datei")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(ForceDirectories(dir.filePath(QStringLiteral("datei/unter"))));
    EXPECT_FALSE(ForceDirectories(dir.filePath(QStringLiteral("datei"))));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("datei"))).isFile());
}
