#include "feedback/OpenDocument.h"

#include "feedback/DocumentShell.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace {

const char *const kAddressStarts[] = {
    "http:", "https:", "ftp:",    "telnet:", "gopher:", "prospero:",
    "nntp:", "wais:",  "mailto:", "news:",   "www.",    "ftp."};

QStringList readList() {
    QFile file(OpenFileList::Path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = Cp1252::toQString(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString nameOf(const QString &line) {
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? line : line.left(equals);
}

} // namespace

namespace OpenFileList {

bool IsAddress(const QString &target) {
    for (const char *start : kAddressStarts) {
        if (target.startsWith(QLatin1String(start), Qt::CaseInsensitive))
            return true;
    }
    return target.contains(u'@');
}

QString Path() {
    return Paths::join(Paths::join(Paths::programDir(), QStringLiteral("PLUGINS")),
                       QStringLiteral("OpenFileEx.txt"));
}

QString KeyOf(const QString &target) {
    const QString name = Paths::extractFileName(Paths::normalize(target));
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    return name.mid(dot).toLower();
}

std::optional<QString> Lookup(const QString &key) {
    if (key.isEmpty())
        return std::nullopt;
    for (const QString &line : readList()) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0 && line.left(equals).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1);
    }
    return std::nullopt;
}

bool Store(const QString &key, const QString &program) {
    QStringList lines = readList();
    const QString entry = key + u'=' + program;
    bool replaced = false;
    for (QString &line : lines) {
        if (line.contains(u'=') && nameOf(line).compare(key, Qt::CaseInsensitive) == 0) {
            line = entry;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        lines.append(entry);
    QDir().mkpath(QFileInfo(Path()).absolutePath());
    QSaveFile file(Path());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(Cp1252::fromQString(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")));
    return file.commit();
}

} // namespace OpenFileList

int OpenDocument(const QString &verb, const QString &target, bool allowChoice) {
    DocumentShell &shell = DocumentShell::Current();
    QString program;
    if (!OpenFileList::IsAddress(target)) {
        QDir().mkpath(QFileInfo(OpenFileList::Path()).absolutePath());
        const QString key = OpenFileList::KeyOf(target);
        if (const auto listed = OpenFileList::Lookup(key))
            program = listed->trimmed();
        else
            program = shell.AssociatedProgram(target).trimmed();

        if (allowChoice && shell.RightControlDown()) {
            const QString associated = shell.AssociatedProgram(target).trimmed();
            const QString folder =
                program.isEmpty() ? QString() : QFileInfo(program).absolutePath();
            const std::optional<QString> chosen = shell.ChooseProgram(associated, folder);
            if (!chosen)
                return odOpened;
            if (!key.isEmpty())
                OpenFileList::Store(key, *chosen); // a list that cannot be written is ignored
            program = *chosen;
        }
    }
    if (!program.isEmpty()) {
        // A program that cannot be started is a failure, not an opened document.
        return shell.StartProgram(program, {target}) ? odOpened : odShellFailed;
    }
    switch (shell.Execute(verb, target)) {
    case DocumentShell::ShellResult::Opened:
        return odOpened;
    case DocumentShell::ShellResult::NoAssociation:
        return odNoProgram;
    case DocumentShell::ShellResult::Failed:
        break;
    }
    return odShellFailed;
}
