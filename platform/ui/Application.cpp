#include "platform/ui/Application.h"

#include "platform/Exception.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {
QString &titleStorage() {
    static QString title;
    return title;
}
QPointer<QWidget> &mainFormStorage() {
    static QPointer<QWidget> form;
    return form;
}
Application::ErrorDisplay &displayStorage() {
    static Application::ErrorDisplay display;
    return display;
}
Application::WindowPreparation &preparationStorage() {
    static Application::WindowPreparation preparation;
    return preparation;
}
} // namespace

namespace Application {

void setTitle(const QString &title) {
    // Kept apart from Qt's application display name: Qt appends that name to every window's
    // caption on X11, and the captions must be exactly the ones the windows set.
    titleStorage() = title;
}

QString title() {
    return titleStorage();
}

void setMainForm(QWidget *form) {
    mainFormStorage() = form;
}

QWidget *mainForm() {
    return mainFormStorage().data();
}

QString errorDisplayText(const QString &message) {
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

void setErrorDisplay(ErrorDisplay display) {
    displayStorage() = std::move(display);
}

void setWindowPreparation(WindowPreparation preparation) {
    preparationStorage() = std::move(preparation);
}

void prepareWindow(TCustomForm *window, bool place) {
    if (preparationStorage())
        preparationStorage()(window, place);
}

void handleException(std::exception_ptr error) {
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort &) {
        return;
    } catch (const Exception &e) {
        message = e.message();
    } catch (const std::exception &e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("Unbekannter Fehler");
    }
    const QString text = errorDisplayText(message);
    if (displayStorage()) {
        displayStorage()(title(), text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title(), text, QMessageBox::Ok, mainForm());
    box.exec();
}

} // namespace Application
