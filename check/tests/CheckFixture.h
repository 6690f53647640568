// Test support for the main window: a data folder with the host's three tables made through
// the engine, a TFMain started on it with the module host's command line, and answers for the
// message boxes and the input dialog that the window opens modally.
#pragma once

#include "check/TFMain.h"
#include "dbeng.h"
#include "grid/TI_DBGrid.h"
#include "widgets/TFlatButton.h"
#include "widgets/TPanel.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

struct Article {
    QString bzk;
    QString bstn;
    int bookings = 0;
};

// What a modal window met during a test looked like and how it was answered.
struct BoxSeen {
    QString text;
    bool question = false;
};

class CheckTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the tables; articles get IDs 1, 2, ... in the order given. withBstnTag false
    // leaves out the article table's tag "BSTN".
    void makeTables(const std::vector<Article> &articles, bool withBstnTag = true);
    // Adds n articles numbered "N-<i>" in runs: pairs for every i in pairs, triples in triples.
    void appendRuns(int pairs, int triples);
    // Starts the window as the module host would and lets the start-up message arrive.
    void start(const QStringList &arguments = {});
    // Presses "Überprüfen" as the user does.
    void check();

    // The result table's rows as "ID:BSTN:HASBOOKS" (HASBOOKS as Ja/Nein), in row order.
    QStringList rows() const;
    QList<int> rowIds() const;
    // IDs of the articles stored in the article table now, ascending.
    QList<int> storedIds() const;
    QString storedNumber(int id) const;
    // Adds a booking for the article through a handle of its own (another user).
    void addBooking(int articleId);

    // Every message box opened from now on is answered: questions with yes or no, messages
    // closed. What they showed is collected in boxes.
    void answerQuestions(bool yes) { m_yes = yes; }
    // The next input dialog gets this text (or is cancelled when cancel is true).
    void answerInput(const QString &text, bool cancel = false);

    QString dataPath() const { return m_dir.path(); }
    QString status() const { return form->StatusText(); }

    std::unique_ptr<TFMain> form;
    std::vector<BoxSeen> boxes;
    QStringList errors;      // what the general error display showed
    QString inputShown;      // the value the input dialog offered
    int inputMaxLength = -1; // the longest text the input dialog accepted

private:
    void watchModalWindows();
    QTemporaryDir m_dir;
    std::unique_ptr<QTimer> m_timer;
    DBHANDLE m_connection = 0;
    bool m_yes = true;
    bool m_inputPending = false;
    bool m_inputCancel = false;
    QString m_inputText;
};
