// A temporary folder that the program takes for its own: the program "dupcheck" lies in it, so
// its scheme copy is "dupcheck.SKM" there, and the host's scheme files are written beside it.
#pragma once

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class SchemeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Paths::overrideProgramPath(dir.filePath(QStringLiteral("dupcheck")));
    }
    void TearDown() override { Paths::overrideProgramPath(QString()); }

    QString path(const QString &name) const { return dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const {
        QFile file(path(name));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString &name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<fehlt>");
    }
    QStringList entries(const QString &folder = QString()) const {
        return QDir(path(folder))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir dir;
};
