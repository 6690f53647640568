#include "CheckFixture.h"

#include "data/DataSet.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TSBHTM.h"
#include "platform/CommandLine.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"
#include "platform/ui/InputQuery.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

void CheckTest::SetUp() {
    // Nothing the window writes beside the program may land in the build folder.
    Paths::overrideProgramPath(m_programDir.filePath(QStringLiteral("dupcheck")));
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    Application::setErrorDisplay([this](const QString &, const QString &text) { errors << text; });
    watchModalWindows();
}

void CheckTest::TearDown() {
    form.reset();
    m_timer.reset();
    Application::setErrorDisplay({});
    ResetCommandLineArguments();
    Paths::overrideProgramPath(QString());
}

void CheckTest::start(const QStringList &arguments) {
    SetCommandLineArguments(
        arguments.isEmpty() ? QStringList{data.path(), QStringLiteral("1"), QStringLiteral("12413")}
                            : arguments);
    form = std::make_unique<TFMain>();
    Application::setMainForm(form.get());
    form->show();
    // The start-up message is posted when the window is shown; the event loop delivers it.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void CheckTest::check() {
    form->FlatButton4->Click();
}

QStringList CheckTest::rows() const {
    QStringList out;
    TMemTable *km = form->KM;
    for (int r = 1; r <= km->RecordCount(); ++r) {
        QString bookings = km->FieldValueAt(r, form->KMHASBOOKS).toBool() ? QStringLiteral("Ja")
                                                                          : QStringLiteral("Nein");
        out << QStringLiteral("%1:%2:%3")
                   .arg(km->FieldValueAt(r, form->KMID).toInt())
                   .arg(km->FieldValueAt(r, form->KMBSTN).toString(), bookings);
    }
    return out;
}

QList<int> CheckTest::rowIds() const {
    QList<int> out;
    for (int r = 1; r <= form->KM->RecordCount(); ++r)
        out << form->KM->FieldValueAt(r, form->KMID).toInt();
    return out;
}

void CheckTest::answerInput(const QString &text, bool cancel) {
    m_inputPending = true;
    m_inputText = text;
    m_inputCancel = cancel;
}

void CheckTest::watchModalWindows() {
    // Modal windows run their own event loop; a timer of the test answers them from inside it.
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [this, timer] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto *box = qobject_cast<TFSB_BOX *>(w)) {
                const bool question = box->Pquestion && !box->Pquestion->isHidden();
                boxes.push_back({box->MessageLabel->Text(), question});
                if (question)
                    (m_yes ? box->FB_OK : box->FB_BREAK1)->Click();
                else
                    box->FB_BREAK2->Click();
                return;
            }
            if (auto *input = qobject_cast<TInputQueryForm *>(w)) {
                inputShown = input->Edit()->text();
                inputMaxLength = input->Edit()->maxLength();
                if (!m_inputPending || m_inputCancel) {
                    input->CancelButton()->click();
                } else {
                    input->Edit()->setText(m_inputText);
                    input->OkButton()->click();
                }
                m_inputPending = false;
                return;
            }
        }
    });
    timer->start();
    m_timer.reset(timer);
}
