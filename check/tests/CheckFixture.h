// Test support for the main window: a data folder with the host's three tables (CheckData),
// a TFMain started on it with the module host's command line, and answers for the
// message boxes and the input dialog that the window opens modally.
#pragma once

#include "CheckData.h"

#include "check/TFMain.h"
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

// What a modal window met during a test looked like and how it was answered.
struct BoxSeen {
    QString text;
    bool question = false;
};

class CheckTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The data folder (see CheckData).
    void makeTables(const std::vector<Article> &articles, TableTags tags = {}) {
        data.makeTables(articles, tags);
    }
    void appendRuns(int pairs, int triples) { data.appendRuns(pairs, triples); }
    QList<int> storedIds() const { return data.storedIds(); }
    QString storedNumber(int id) const { return data.storedNumber(id); }
    void addBooking(int articleId) { data.addBooking(articleId); }

    // Starts the window as the module host would and lets the start-up message arrive.
    void start(const QStringList &arguments = {});
    // Presses "Überprüfen" as the user does.
    void check();

    // The result table's rows as "ID:BSTN:HASBOOKS" (HASBOOKS as Ja/Nein), in row order.
    QStringList rows() const;
    QList<int> rowIds() const;

    // Every message box opened from now on is answered: questions with yes or no, messages
    // closed. What they showed is collected in boxes.
    void answerQuestions(bool yes) { m_yes = yes; }
    // The next input dialog gets this text (or is cancelled when cancel is true).
    void answerInput(const QString &text, bool cancel = false);

    QString dataPath() const { return data.path(); }
    // The folder the program takes for its own (menu file, colour scheme copy).
    QString programDir() const { return m_programDir.path(); }
    QString status() const { return form->StatusText(); }

    CheckData data;
    std::unique_ptr<TFMain> form;
    std::vector<BoxSeen> boxes;
    QStringList errors;      // what the general error display showed
    QString inputShown;      // the value the input dialog offered
    int inputMaxLength = -1; // the longest text the input dialog accepted

private:
    void watchModalWindows();
    QTemporaryDir m_programDir;
    std::unique_ptr<QTimer> m_timer;
    bool m_yes = true;
    bool m_inputPending = false;
    bool m_inputCancel = false;
    QString m_inputText;
};
