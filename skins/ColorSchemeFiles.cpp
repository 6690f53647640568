#include "skins/ColorSchemeFiles.h"

#include "feedback/Cursors.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "platform/ForceDirectories.h"
#include "platform/Paths.h"
#include "platform/TBigIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>

namespace {

const QString kSchemePrefix = QStringLiteral("COLORSHEMA");
const QString kSchemeExtension = QStringLiteral(".DAT");
const QString kIndexFile = QStringLiteral("SHEMA.INI");
const QString kCopyExtension = QStringLiteral(".SKM");
constexpr qsizetype kCopyBlock = 61440;

QString folderOrProgramDir(const QString &folder) {
    return folder.isEmpty() ? Paths::programDir() : Paths::includeTrailingDelimiter(folder);
}

// Only the waiting paint requests are delivered, so that the windows stay painted during a long
// copy while no input reaches them.
void deliverPaints() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void copyFile(const QString &source, const QString &target) {
    TWaitCursorScope wait;
    if (!ForceDirectories(Paths::extractFilePath(target)))
        throw EInOutError(QStringLiteral("Das Verzeichnis kann nicht erstellt werden"));
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw EInOutError(in.errorString());
    TAtomicFile out(target);
    QByteArray block(kCopyBlock, Qt::Uninitialized);
    for (qint64 number = 1;; ++number) {
        const qint64 got = in.read(block.data(), kCopyBlock);
        if (got < 0)
            throw EInOutError(in.errorString());
        if (got == 0)
            break;
        out.Write(block.constData(), got);
        if (number % 1000 == 1)
            deliverPaints();
    }
    out.Commit();
}

} // namespace

namespace ColorSchemeFiles {

void ListSchemes(const QString &folder, QStringList &list) {
    list.append(NoScheme);
    const QDir dir(Paths::findIgnoringCase(folderOrProgramDir(folder)));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &file : files) {
        if (!file.startsWith(kSchemePrefix, Qt::CaseInsensitive) ||
            !file.endsWith(kSchemeExtension, Qt::CaseInsensitive))
            continue;
        // "COLORSHEMA.DAT" and "COLORSHEMAx.DAT" give the empty name.
        list.append(file.size() > 15 ? file.mid(11, file.size() - 15) : QString());
    }
}

int ActiveSchemeIndex(const QStringList &list, const QString &folder) {
    const TBigIniFile ini(folderOrProgramDir(folder) + kIndexFile);
    const QString active = ini.ReadString(QStringLiteral("ASHEMA"), QStringLiteral("VALUE"), {});
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].compare(active, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return 0;
}

QString SchemeCopyPath(const QString &folder) {
    return Paths::findIgnoringCase(folderOrProgramDir(folder) + Paths::programFileName() +
                                   kCopyExtension);
}

bool InstallSchemeCopy(const QString &schemeFolder, const QString &targetFolder) {
    try {
        QStringList list;
        ListSchemes(schemeFolder, list);
        const QString name = list.value(ActiveSchemeIndex(list, schemeFolder));
        if (name.isEmpty())
            return false;
        const QString source = Paths::findIgnoringCase(
            folderOrProgramDir(schemeFolder) + kSchemePrefix + u'_' + name + kSchemeExtension);
        if (!QFile::exists(source))
            return false;
        copyFile(source, SchemeCopyPath(targetFolder));
        return true;
    } catch (...) {
        // A module without a new copy keeps its old look; the installation goes on.
        return false;
    }
}

} // namespace ColorSchemeFiles
