// The application object's services that every window relies on: the application title (the
// caption of every message box), the main form, and the general error display that shows an
// exception no handler caught.
//
// Exceptions must never cross Qt's event loop: every entry point that Qt calls (event
// handlers, slots, timers) runs its body through guarded(), which hands whatever escapes to
// the general error display.
#pragma once

#include <QString>
#include <QWidget>

#include <exception>
#include <functional>

class TCustomForm;

namespace Application {

void setTitle(const QString &title);
QString title();

void setMainForm(QWidget *form);
QWidget *mainForm();

// The text the general error display shows for an exception message: a full stop is appended
// when the text's last character sorts after the full stop.
QString errorDisplayText(const QString &message);

// Shows the exception in a critical message box (caption: the application title, one OK
// button). An abort exception is shown nowhere. Exceptions outside our hierarchy show their
// what() text.
void handleException(std::exception_ptr error);

// Replaces the critical message box, for tests and for programs without a screen. An empty
// function restores the message box.
using ErrorDisplay = std::function<void(const QString &caption, const QString &text)>;
void setErrorDisplay(ErrorDisplay display);

// The preparation every window of the program runs when it is created (help context, placement,
// colour scheme). It lives in a layer above this one; the dialogs of the lower layers (the
// input dialog, the login dialog) reach it through here. The program installs it at start;
// without it those dialogs are only shown.
using WindowPreparation = std::function<void(TCustomForm *window, bool place)>;
void setWindowPreparation(WindowPreparation preparation);
void prepareWindow(TCustomForm *window, bool place);

} // namespace Application

template <typename Body>
void guarded(Body &&body) {
    try {
        body();
    } catch (...) {
        Application::handleException(std::current_exception());
    }
}
