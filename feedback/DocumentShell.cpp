#include "feedback/DocumentShell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

DocumentShell *g_replacement = nullptr;

constexpr quint32 kXkControlR = 0xFFE4; // the right Ctrl key's X11 key symbol
constexpr int kQueryTimeoutMs = 5000;

// Remembers whether the right Ctrl key is down: Qt's modifiers do not tell left from right.
class RightControlWatcher : public QObject {
public:
    using QObject::QObject;
    bool down = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Control && key->nativeVirtualKey() == kXkControlR)
                down = event->type() == QEvent::KeyPress;
        }
        return QObject::eventFilter(watched, event);
    }
};

QPointer<RightControlWatcher> &watcher() {
    static QPointer<RightControlWatcher> w;
    return w;
}

// The output of a short query program; empty when it is missing or fails.
QString queryOutput(const QString &program, const QStringList &arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty())
        return {};
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForFinished(kQueryTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The program of a desktop entry's Exec line.
QString programOfDesktopEntry(const QString &desktopId) {
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.startsWith(QLatin1String("Exec="))) {
            const QStringList words = QProcess::splitCommand(line.mid(5));
            return words.isEmpty() ? QString() : words.first();
        }
    }
    return {};
}

QString defaultHandler(const QString &mimeType) {
    return queryOutput(QStringLiteral("xdg-mime"),
                       {QStringLiteral("query"), QStringLiteral("default"), mimeType});
}

QUrl targetUrl(const QString &target) {
    if (target.contains(QLatin1String("://")) ||
        target.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) ||
        target.startsWith(QLatin1String("news:"), Qt::CaseInsensitive))
        return QUrl(target);
    if (target.contains(u'@') && !target.contains(u'/'))
        return QUrl(QStringLiteral("mailto:") + target);
    if (QFileInfo(target).isAbsolute() || QFileInfo::exists(target))
        return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    return QUrl::fromUserInput(target);
}

} // namespace

DocumentShell &DocumentShell::Current() {
    static SystemDocumentShell system;
    return g_replacement ? *g_replacement : system;
}

void DocumentShell::Replace(DocumentShell *shell) {
    g_replacement = shell;
}

QString SystemDocumentShell::AssociatedProgram(const QString &target) {
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(target);
    if (!mime.isValid() || mime.isDefault())
        return {};
    const QString desktopId = defaultHandler(mime.name());
    if (desktopId.isEmpty())
        return {};
    return programOfDesktopEntry(desktopId).trimmed();
}

bool SystemDocumentShell::StartProgram(const QString &program, const QStringList &arguments) {
    return QProcess::startDetached(program, arguments);
}

DocumentShell::ShellResult SystemDocumentShell::Execute(const QString &verb,
                                                        const QString &target) {
    Q_UNUSED(verb); // the desktop knows one verb for documents and addresses: open
    const QUrl url = targetUrl(target);
    if (!url.isValid())
        return ShellResult::Failed;
    QString mimeType;
    if (url.isLocalFile()) {
        if (!QFileInfo::exists(url.toLocalFile()))
            return ShellResult::Failed; // file not found
        mimeType = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
    } else {
        mimeType = QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty() &&
        defaultHandler(mimeType).isEmpty())
        return ShellResult::NoAssociation;
    if (!QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString()})
                   ? ShellResult::Opened
                   : ShellResult::Failed;
    return QDesktopServices::openUrl(url) ? ShellResult::Opened : ShellResult::NoAssociation;
}

bool SystemDocumentShell::RightControlDown() {
    if (!(QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier))
        return false;
    return watcher() && watcher()->down;
}

std::optional<QString> SystemDocumentShell::ChooseProgram(const QString &presetFile,
                                                          const QString &folder) {
    const QString start = presetFile.isEmpty() ? folder : presetFile;
    const QString chosen = QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString(), start,
        QStringLiteral("Ausführbare Dateien (*.exe *.com *.bat);;Alle Dateien (*)"));
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

void SystemDocumentShell::WatchRightControl() {
    if (watcher() || !qApp)
        return;
    watcher() = new RightControlWatcher(qApp);
    qApp->installEventFilter(watcher());
}
