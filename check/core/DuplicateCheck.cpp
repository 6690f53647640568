// The check: the scan that lists every article whose order number another article shares, and
// the bookings pass that marks which of the listed articles have bookings.
//
// The scan walks the article table in the order of its index "BSTN", where equal order numbers
// stand next to each other. An article whose number equals the one before it is listed, and
// the article before it too unless it is listed already; a run of equal numbers therefore
// appears as its second article, its first, then the third and following.
#include "check/core/DuplicateCheck.h"

#include "check/core/CheckFeedback.h"
#include "check/core/LongOperation.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/EscapeMarkup.h"
#include "platform/Exception.h"

DuplicateCheck::DuplicateCheck(TDbTable &articles, TDbTable &bookings, TMemTable &result,
                               CheckFeedback &feedback)
    : m_articles(articles), m_bookings(bookings), m_result(result),
      m_fields(ResultTable::fields(result)), m_feedback(feedback) {}

bool DuplicateCheck::busy() const {
    return LongOperation::busy(m_result);
}

DuplicateCheck::ScanResult DuplicateCheck::check() {
    m_feedback.setStatusText(QString());
    const ScanResult result = scan();
    markBookings();
    return result;
}

void DuplicateCheck::appendResultRow() {
    m_result.Append();
    m_fields.id->SetAsInteger(m_articles.FieldByName(QStringLiteral("ID"))->AsInteger());
    m_fields.bz->SetAsString(m_articles.FieldByName(QStringLiteral("BZK"))->AsString());
    m_fields.bstn->SetAsString(m_articles.FieldByName(QStringLiteral("BSTN"))->AsString());
    m_result.Post();
}

DuplicateCheck::ScanResult DuplicateCheck::scan() {
    ScanResult result;
    m_result.EmptyTable();
    try {
        LongOperation operation(m_result, m_feedback, m_articles.RecordCount());
        // No number before the first record: a single article without an order number is
        // no duplicate of anything.
        std::optional<QString> previous;
        bool firstRecord = true;
        m_articles.SetIndexName(QStringLiteral("BSTN"));
        m_articles.First();
        TField *bstn = m_articles.FieldByName(QStringLiteral("BSTN"));
        TField *id = m_articles.FieldByName(QStringLiteral("ID"));
        while (!m_articles.Eof()) {
            const QString current = bstn->AsString();
            if (previous && *previous == current) {
                if (result.listed >= DuplicateLimit) {
                    m_feedback.showMessage(QStringLiteral("<B>Abgebrochen.</B><BR>Es existieren "
                                                          "mehr als 5000 doppelte Nummern."));
                    result.stoppedAtLimit = true;
                    break;
                }
                appendResultRow();
                if (!firstRecord) {
                    m_articles.Prior();
                    // Back to the record the loop stands on, whatever happens in between.
                    try {
                        if (bstn->AsString() == *previous &&
                            !m_result.Locate(QStringLiteral("ID"), id->AsInteger(), {})) {
                            appendResultRow();
                            ++result.listed;
                        }
                    } catch (...) {
                        m_articles.Next();
                        throw;
                    }
                    m_articles.Next();
                }
                ++result.listed;
            }
            previous = current;
            operation.step();
            firstRecord = false;
            // The records passed on the way to the next one share their number with neither
            // neighbour: none of them would be listed, so the walk needs no more of them than
            // their count. Passing them in the engine, not one by one through the table, is
            // what makes the scan cheaper than an SQL query of the same list.
            const int passed = m_articles.NextSharedKey(PassedAtMost);
            if (passed > 0) {
                operation.step(passed);
                // The record before the current one was passed: its number differs.
                previous.reset();
            }
        }
        operation.finish();
    } catch (const std::exception &e) {
        // The rows listed so far stay. The status line says what went wrong instead of
        // staying empty; the operation has given the window back.
        const auto *ex = dynamic_cast<const Exception *>(&e);
        result.failure = ex ? ex->message() : QString::fromLocal8Bit(e.what());
        m_feedback.setStatusText(QStringLiteral("<B>Fehler:</B><BR>") +
                                 EscapeMarkup(*result.failure));
        return result;
    }
    if (result.listed == 0)
        m_feedback.setStatusText(QStringLiteral("<B>Alle Bestellnummern sind eindeutig."));
    else
        m_feedback.setStatusText(QStringLiteral("<B>Es existieren mindestens ") +
                                 QString::number(result.listed) +
                                 QStringLiteral("<BR>doppelte Bestellnummern."));
    return result;
}

void DuplicateCheck::markBookings() {
    LongOperation operation(m_result, m_feedback, m_result.RecordCount());
    m_bookings.SetIndexName(QStringLiteral("ID_ART"));
    m_result.First();
    while (!m_result.Eof()) {
        if (m_bookings.Locate(QStringLiteral("ID_ART"), m_fields.id->AsInteger(), {})) {
            m_result.Edit();
            m_fields.hasBooks->SetAsBoolean(true);
            m_result.Post();
        }
        operation.step();
        m_result.Next();
    }
    m_result.First();
    operation.finish();
}
