// Deleting the surplus duplicates: every listed article without bookings is a candidate; per
// order number all candidates but one are deleted. The candidate list keeps equal numbers in
// reverse order of collection, so the one that survives is the candidate collected first.
//
// Each article's checks on the stored data and its deletion run in one transaction of the
// connection: no other workstation books, renumbers or deletes in between, so two deleting at
// the same moment never delete the last article of a number or one that was just booked. An
// article another user holds locked (renaming it, say) is passed over.
#include "check/core/DuplicateCheck.h"

#include "check/core/CheckFeedback.h"
#include "check/core/LongOperation.h"
#include "check/core/TDeleteList.h"
#include "data/DbEngineError.h"
#include "data/DbTable.h"
#include "data/DbTransaction.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "dbeng.h"
#include "feedback/EscapeMarkup.h"

namespace {

// Deletes the table's current record; false when another user holds its lock.
bool DeleteUnlessLocked(TDbTable &table) {
    try {
        table.Delete();
        return true;
    } catch (const EDbEngineError &e) {
        if (e.EngineError() != DBE_RECORD_LOCKED)
            throw;
        return false;
    }
}

} // namespace

void DuplicateCheck::collectCandidates(TDeleteList &candidates) {
    candidates.Clear();
    LongOperation operation(m_result, m_feedback, m_result.RecordCount());
    m_result.First();
    while (!m_result.Eof()) {
        if (!m_fields.hasBooks->AsBoolean()) {
            m_result.Edit();
            m_fields.del->SetAsBoolean(true);
            m_result.Post();
            candidates.AddObject(m_fields.bstn->AsString(),
                                 new TID(QString::number(m_fields.id->AsInteger())));
        }
        operation.step();
        m_result.Next();
    }
    m_result.First();
    operation.finish();
}

bool DuplicateCheck::mayStillDelete(const QString &number, const QString &id) {
    // The result table may be old: other users may have booked the article, renumbered it or
    // deleted the others of its number since the check. Ask the stored data.
    if (m_articles.FieldByName(QStringLiteral("BSTN"))->AsString() != number)
        return false;
    if (m_bookings.Locate(QStringLiteral("ID_ART"), id, {}))
        return false;
    bool another = false;
    if (m_articles.Locate(QStringLiteral("BSTN"), number, {})) {
        TField *bstn = m_articles.FieldByName(QStringLiteral("BSTN"));
        TField *articleId = m_articles.FieldByName(QStringLiteral("ID"));
        // Equal numbers stand together in the order of "BSTN"; the first one found is either
        // another article or this one, in which case the next one is checked.
        another = QString::number(articleId->AsInteger()) != id;
        if (!another) {
            m_articles.Next();
            another = !m_articles.Eof() && bstn->AsString() == number;
        }
    }
    // Back to the article itself for the deletion.
    return another && m_articles.Locate(QStringLiteral("ID"), id, {});
}

bool DuplicateCheck::deleteSurplus(TDeleteList &candidates) {
    if (candidates.Count() == 0)
        return false;
    if (!m_feedback.askYesNo(QStringLiteral("Doppelte Artikel <b>jetzt löschen</b>?")))
        return false;
    LongOperation operation(m_result, m_feedback, candidates.Count(),
                            LongOperation::Style::DeletionLoop);
    int position = 0;
    while (position < candidates.Count()) {
        const QString number = candidates.Strings(position);
        const QString id = candidates.Objects(position)->ID;
        bool deleted = false;
        if (candidates.CountEqual(number) > 1) {
            TDbTransaction transaction(m_articles.DbConnection());
            if (m_articles.Locate(QStringLiteral("ID"), id, {}) && mayStillDelete(number, id)) {
                m_feedback.setStatusText(EscapeMarkup(number) + QStringLiteral(" <b>löschen.."));
                deleted = DeleteUnlessLocked(m_articles);
            }
            transaction.Commit();
        }
        if (deleted) {
            candidates.Delete(position);
        } else {
            m_feedback.setStatusText(EscapeMarkup(number) + QStringLiteral(" <b>überspringen.."));
            ++position;
        }
        operation.step();
    }
    operation.finish();
    return true;
}
