// Giving the article of the result table's current row a new order number. The change runs no
// new check: the row keeps its place, its bookings mark and its new number until the next one.
#include "check/core/DuplicateCheck.h"

#include "check/core/CheckFeedback.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/EscapeMarkup.h"
#include "platform/Exception.h"

bool DuplicateCheck::hasCurrentRow() const {
    // An empty result table still answers field reads (ID 0, no number), which would change
    // the article with ID 0 and post a row that was never listed.
    return m_result.Active() && !m_result.IsEmpty();
}

bool DuplicateCheck::holdCurrentArticle() {
    if (!hasCurrentRow())
        return false;
    if (!m_articles.Locate(QStringLiteral("ID"), m_fields.id->AsInteger(), {}))
        return false;
    try {
        m_articles.Edit();
    } catch (const Exception &e) {
        m_feedback.showMessage(QStringLiteral("<B>Fehler:</B><BR>") + EscapeMarkup(e.message()));
        return false;
    }
    return true;
}

void DuplicateCheck::releaseArticle() {
    if (m_articles.State() == dsEdit)
        m_articles.Cancel();
}

void DuplicateCheck::changeNumber(const QString &entered) {
    if (!hasCurrentRow())
        return;
    if (entered.isEmpty() || entered == m_fields.bstn->AsString()) {
        releaseArticle();
        return;
    }
    const bool held = m_articles.State() == dsEdit;
    if (!held && !m_articles.Locate(QStringLiteral("ID"), m_fields.id->AsInteger(), {}))
        return;
    try {
        if (!held)
            m_articles.Edit();
        m_articles.FieldByName(QStringLiteral("BSTN"))->SetAsString(entered);
        m_articles.Post();
        m_result.Edit();
        m_fields.bstn->SetAsString(entered);
        m_result.Post();
    } catch (const Exception &e) {
        // A write that failed is dropped at once: the article's lock is released, and the
        // change the user is told about is never written later.
        if (m_articles.State() == dsEdit)
            m_articles.Cancel();
        if (m_result.State() == dsEdit)
            m_result.Cancel();
        m_feedback.showMessage(QStringLiteral("<B>Fehler:</B><BR>") + EscapeMarkup(e.message()));
    }
}
