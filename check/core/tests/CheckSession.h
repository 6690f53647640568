// The check on a data folder as the main window opens it, but without the window: the article
// and bookings tables on a connection to the folder, the result table, and a feedback that
// writes down the messages and status texts and answers the question as it is told. The
// deletion tests and the deletion runner program work through it.
#pragma once

#include "check/core/CheckFeedback.h"
#include "check/core/DuplicateCheck.h"
#include "check/core/TDeleteList.h"

#include <QObject>
#include <QStringList>

#include <memory>

class TDbConnection;
class TDbTable;
class TMemTable;

class CheckSession {
public:
    // Opens the folder's tables; a failure raises the data components' exception.
    explicit CheckSession(const QString &folder);
    ~CheckSession();

    DuplicateCheck &check() { return *m_check; }
    TDbTable &articles() { return *m_articles; }
    TDbTable &bookings() { return *m_bookings; }
    TMemTable &result() { return *m_result; }

    // "Alle doppelten löschen" after a check: the candidates collected, the question answered
    // as answer says, the deletion. Answers whether it deleted.
    bool deleteDuplicates();
    // The result table's rows as "ID:BSTN:Ja|Nein", in row order.
    QStringList rows();

    TDeleteList candidates;
    bool answer = true;
    QStringList messages; // markup as shown
    QStringList statuses; // every status text set, in order

private:
    class Feedback : public CheckFeedback {
    public:
        explicit Feedback(CheckSession &session) : m_session(session) {}
        void progressStart(int) override {}
        void progressStep(int) override {}
        void progressEnd() override {}
        void setWaiting(bool) override {}
        void processMessages() override {}
        void setStatusText(const QString &markup) override { m_session.statuses << markup; }
        void showMessage(const QString &markup) override { m_session.messages << markup; }
        bool askYesNo(const QString &) override { return m_session.answer; }

    private:
        CheckSession &m_session;
    };

    QObject m_owner;
    TDbConnection *m_connection = nullptr;
    TDbTable *m_articles = nullptr;
    TDbTable *m_bookings = nullptr;
    TMemTable *m_result = nullptr;
    Feedback m_feedback{*this};
    std::unique_ptr<DuplicateCheck> m_check;
};
