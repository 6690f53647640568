// The duplicate order number check without its window: the scan that lists every article whose
// order number another article shares, the bookings pass, the collection of the deletion
// candidates, the deletion of the surplus articles without bookings and the order number
// change. It works on the tables it is given (the article table, the bookings table, both
// open, and the result table of ResultTable) and shows its progress, its status texts, its
// messages and its question through a CheckFeedback.
//
// The main window and dupcheck-host both run the check through this class. Everything runs on
// the calling thread; the long operations let the message loop run through the feedback, so the
// busy flag (the result table's Tag, see LongOperation) is what keeps a second one from starting.
#pragma once

#include "check/core/ResultTable.h"

#include <QString>

#include <optional>

class CheckFeedback;
class DeletionJournal;
class TDbTable;
class TDeleteList;
class TMemTable;

class DuplicateCheck {
public:
    // Once this many articles are listed, a further duplicate stops the scan.
    static constexpr int DuplicateLimit = 5000;
    // The scan passes at most this many articles at once without a step of its own, so the
    // progress and the message loop keep up (a few milliseconds of work).
    static constexpr int PassedAtMost = 4096;

    struct ScanResult {
        int listed = 0;              // the count the status text reports
        bool stoppedAtLimit = false; // the limit message was shown
        // The error text when a step of the scan failed; the rows listed so far stay.
        std::optional<QString> failure;
    };

    DuplicateCheck(TDbTable &articles, TDbTable &bookings, TMemTable &result,
                   CheckFeedback &feedback);

    bool busy() const;

    // What "Überprüfen" runs: the status text cleared, the scan, then the bookings pass whatever
    // the scan found.
    ScanResult check();
    // Empties and refills the result table in the order of the article table's index "BSTN"
    // and writes the status text. A failure ends the scan: it is reported in the status line
    // and in the result, and the window is given back.
    ScanResult scan();
    // Marks every listed article that has bookings; ends on the result table's first row.
    // Failures go on to the caller.
    void markBookings();

    // Fills the list with the listed articles without bookings (marking their rows DEL).
    void collectCandidates(TDeleteList &candidates);
    // With candidates, asks; on yes deletes per order number all candidates but one. Nothing
    // is deleted when the deletion journal cannot be written or the bookings show that the
    // index "ID_ART" is damaged (a message says so). Each article is checked against the
    // stored data and written to the journal first; the last of the candidates of a number
    // that are still stored is never deleted. Answers whether it went through the candidates:
    // the caller then runs the check again. Failures go on to the caller.
    bool deleteSurplus(TDeleteList &candidates);

    // Whether one pass over the stored bookings, in the order they are stored and not through
    // an index, finds no candidate booked that the index "ID_ART" does not know as booked.
    // When it does, it shows that the data need repair. Part of deleteSurplus.
    bool bookingsIndexAgrees(const TDeleteList &candidates);

    // Whether the result table has a current row, the one the order number change works on.
    bool hasCurrentRow() const;
    // Locks the article of the current row (an edit) while its new number is asked for, so
    // that another workstation neither changes nor deletes it meanwhile. False when it is gone
    // or another user holds it (shown as a message). changeNumber or releaseArticle ends it.
    bool holdCurrentArticle();
    void releaseArticle();
    // Gives the article of the current row, and the row, the entered order number. Nothing
    // happens without a current row, for an empty text or the current number again, or when
    // the article is gone; a failed write is dropped and shown as a message.
    void changeNumber(const QString &entered);

private:
    void appendResultRow();
    // The path of the article table's file.
    QString articleFile() const;
    // Where the deletion journal of the article table's data lives (DeletionJournal::folderFor).
    QString journalFolder() const;
    // One article of the deletion, as one step under the journal's lock and in one transaction
    // of the connection: the re-checks against the stored data, the journal entry, the delete.
    // Answers whether it deleted the article; one another user holds is passed over.
    bool deleteCandidate(const QString &number, const QString &id, const TDeleteList &candidates,
                         DeletionJournal &journal);
    // Whether the article is still a candidate (stored with the number, without bookings) and
    // another of the candidates of the number still is one, too, and held by no user; leaves
    // the article current.
    bool mayStillDelete(const QString &number, const QString &id, const TDeleteList &candidates);

    TDbTable &m_articles;
    TDbTable &m_bookings;
    TMemTable &m_result;
    ResultTable::Fields m_fields;
    CheckFeedback &m_feedback;
};
