// The desktop services that opening a link target needs: the program the desktop associates
// with a file, starting a program, the desktop's own "open" of a document or address, the
// right Ctrl key, and the dialog in which the user picks a program. Tests put a shell of their
// own in place of the system's.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class DocumentShell {
public:
    // What the desktop's "open" reports.
    enum class ShellResult { Opened, NoAssociation, Failed };

    virtual ~DocumentShell() = default;

    // The program the desktop opens the file with, as a command or path; empty when none.
    virtual QString AssociatedProgram(const QString &target) = 0;
    // Starts the program with the arguments and does not wait for it; false when it could not
    // be started.
    virtual bool StartProgram(const QString &program, const QStringList &arguments) = 0;
    // The desktop's verb ("open") on a document or address.
    virtual ShellResult Execute(const QString &verb, const QString &target) = 0;
    // Whether the right Ctrl key is held down.
    virtual bool RightControlDown() = 0;
    // The program-choice dialog, preset with a file name or opened in a folder; nullopt when
    // the user cancels.
    virtual std::optional<QString> ChooseProgram(const QString &presetFile,
                                                 const QString &folder) = 0;

    // The shell in use: the system's unless a test has put another in place.
    static DocumentShell &Current();
    // Puts a shell in place (not owned); nullptr restores the system's.
    static void Replace(DocumentShell *shell);
};

// The system's shell: xdg-mime for associations, xdg-open (or Qt's desktop services) for the
// "open" verb, detached processes, and the file dialog.
class SystemDocumentShell : public DocumentShell {
public:
    QString AssociatedProgram(const QString &target) override;
    bool StartProgram(const QString &program, const QStringList &arguments) override;
    ShellResult Execute(const QString &verb, const QString &target) override;
    bool RightControlDown() override;
    std::optional<QString> ChooseProgram(const QString &presetFile, const QString &folder) override;

    // Starts watching the keyboard for the right Ctrl key; the labels call it when created,
    // so that a key pressed before the click is known.
    static void WatchRightControl();
};
