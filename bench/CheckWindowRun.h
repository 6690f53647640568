// What the check benchmarks need to drive the module's main window without a person: the start
// of the window and the answers to its message boxes.
#pragma once

#include "check/TFMain.h"
#include "data/DbTable.h"
#include "feedback/TFSB_BOX.h"
#include "feedback/TSBHTM.h"
#include "widgets/TFlatButton.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QStringList>
#include <QTimer>

// Messages the check shows in its own message box (the limit of 5000) and what the general
// error display would have shown; both are answered so that the run goes on.
inline QStringList g_boxes;
inline QStringList g_errors;

inline void watchModalWindows(QTimer &timer) {
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<TFSB_BOX *>(w);
            if (box && box->isVisible()) {
                g_boxes << box->MessageLabel->Text();
                box->FB_BREAK2->Click();
                return;
            }
        }
    });
    timer.start();
}

// Shows the window and waits until its tables are open: the start-up message is posted when the
// window is shown; it connects and opens the tables (or closes the window when that fails).
inline bool startWindow(TFMain &form) {
    form.show();
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (form.Table_ARTMAIN->Active() && form.Subtable->Active())
            return true;
        if (!form.isVisible())
            return false;
    }
    return false;
}
