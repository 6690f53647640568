// Deleting the surplus duplicates: every listed article without bookings is a candidate; per
// order number all candidates but one are deleted. The candidate list keeps equal numbers in
// reverse order of collection, so the one that survives is the candidate collected first.
//
// Before anything is deleted, one pass over the bookings in their stored order makes sure that
// "no bookings" does not rest on a damaged index "ID_ART". Each article's re-checks against the
// stored data, its journal entry and its deletion then run in one transaction of the
// connection: no other workstation books, renumbers or deletes in between, so the steps of two
// deletions at the same moment run one after the other. An article another user holds locked
// (renaming it, say) is passed over, and it keeps no other article of its number from being
// kept: it may change or go while the lock is held.
#include "check/core/DuplicateCheck.h"

#include "check/core/CheckFeedback.h"
#include "check/core/DeletionJournal.h"
#include "check/core/JournalRecord.h"
#include "check/core/LongOperation.h"
#include "check/core/TDeleteList.h"
#include "data/DbConnection.h"
#include "data/DbEngineError.h"
#include "data/DbTable.h"
#include "data/DbTransaction.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "dbeng.h"
#include "feedback/EscapeMarkup.h"
#include "platform/EnginePath.h"

#include <QFileInfo>
#include <QSet>

#include <optional>

namespace {

// Whether a user holds the table's current record (another workstation renaming it, say).
// When the engine cannot tell, the record counts as held.
bool CurrentRecordHeld(const TDbTable &table) {
    uint16_t locked = 0;
    return DbIsRecordLocked(table.Handle(), 0, &locked) != DBE_SUCCESS || locked != 0;
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

QString DuplicateCheck::articleFile() const {
    char name[1024] = {};
    uint16_t len = sizeof name;
    if (DbGetTableFilename(m_articles.Handle(), name, &len) != DBE_SUCCESS)
        return m_articles.TableName();
    return EnginePath::fromEngine(QByteArray(name));
}

QString DuplicateCheck::journalFolder() const {
    TDbConnection *connection = m_articles.DbConnection();
    if (!connection)
        return QFileInfo(articleFile()).absolutePath();
    uint16_t type = DB_SERVER_LOCAL;
    DbGetServerType(connection->ConnectionHandle(), &type);
    return DeletionJournal::folderFor(EnginePath::tableFolder(connection->ConnectPath()),
                                      type == DB_SERVER_REMOTE);
}

bool DuplicateCheck::bookingsIndexAgrees(const TDeleteList &candidates) {
    QSet<int> ids;
    for (int k = 0; k < candidates.Count(); ++k)
        ids.insert(candidates.Objects(k)->ID.toInt());
    // The bookings in the order they are stored, not through an index.
    QList<int> booked;
    {
        LongOperation operation(m_result, m_feedback, m_bookings.RecordCount());
        m_bookings.SetIndexName(QString());
        TField *idArt = m_bookings.FieldByName(QStringLiteral("ID_ART"));
        QSet<int> seen;
        for (m_bookings.First(); !m_bookings.Eof(); m_bookings.Next()) {
            const int id = idArt->AsInteger();
            if (ids.contains(id) && !seen.contains(id)) {
                seen.insert(id);
                booked << id;
            }
            operation.step();
        }
        m_bookings.SetIndexName(QStringLiteral("ID_ART"));
        operation.finish();
    }
    // A candidate booked since the check is found through the index too and simply stays; one
    // that the index does not find shows that the index lacks bookings.
    QStringList missing;
    for (int id : booked) {
        if (!m_bookings.Locate(QStringLiteral("ID_ART"), id, {}))
            missing << QString::number(id);
    }
    if (missing.isEmpty())
        return true;
    const QString shown = missing.mid(0, 10).join(QStringLiteral(", ")) +
                          (missing.size() > 10 ? QStringLiteral(", …") : QString());
    m_feedback.showMessage(
        QStringLiteral("<B>Die Daten müssen repariert werden.</B><BR>Der Index \"ID_ART\" der "
                       "Buchungen ist beschädigt: er kennt Buchungen nicht, die gespeichert "
                       "sind (Artikel ") +
        EscapeMarkup(shown) +
        QStringLiteral("). Artikel mit Buchungen würden als Artikel ohne Buchungen gelöscht."
                       "<BR>Es wurde nichts gelöscht. Bitte lassen Sie die Tabellen prüfen und "
                       "reparieren."));
    return false;
}

bool DuplicateCheck::mayStillDelete(const QString &number, const QString &id,
                                    const TDeleteList &candidates) {
    // The result table may be old: other users may have booked the article, renumbered it or
    // deleted the others of its number since the check. Ask the stored data.
    TField *bstn = m_articles.FieldByName(QStringLiteral("BSTN"));
    auto stillCandidate = [&](const QString &article) {
        return m_articles.Locate(QStringLiteral("ID"), article, {}) && bstn->AsString() == number &&
               !m_bookings.Locate(QStringLiteral("ID_ART"), article, {});
    };
    if (!stillCandidate(id))
        return false;
    // Another of this deletion's own candidates of the number must stay: stored, with the
    // number, without bookings and held by no one. Another article of the number does not do
    // (it may be booked, or another deletion's survivor, which that deletion may delete next),
    // nor does a held one (its holder may renumber or delete it).
    bool another = false;
    for (int k = 0; k < candidates.Count() && !another; ++k) {
        const QString other = candidates.Objects(k)->ID;
        if (other != id && candidates.Strings(k) == number)
            another = stillCandidate(other) && !CurrentRecordHeld(m_articles);
    }
    // Back to the article itself for the deletion.
    return another && m_articles.Locate(QStringLiteral("ID"), id, {});
}

bool DuplicateCheck::deleteCandidate(const QString &number, const QString &id,
                                     const TDeleteList &candidates, DeletionJournal &journal) {
    const DeletionJournal::Lock step = journal.lock();
    // Committed also when nothing changed: that stores nothing, and unlike a rollback it leaves
    // the data sets standing where they are, with nothing to find and read again.
    TDbTransaction transaction(m_articles.DbConnection());
    // A held article is passed over before it is written to the journal.
    if (!mayStillDelete(number, id, candidates) || CurrentRecordHeld(m_articles)) {
        transaction.Commit();
        return false;
    }
    const qint64 entry = journal.recordDeletion(QFileInfo(articleFile()).fileName(),
                                                JournalRecord::read(m_articles.Handle()));
    m_feedback.setStatusText(EscapeMarkup(number) + QStringLiteral(" <b>löschen.."));
    auto notDeleted = [&](const QString &reason) {
        try {
            journal.recordNotDeleted(entry, reason);
        } catch (const EJournalError &) {
            // The delete's failure is the one to report; the entry stays without a word, and
            // the article, still stored, tells that it was not deleted.
        }
    };
    try {
        m_articles.Delete();
    } catch (const EDbEngineError &e) {
        notDeleted(e.message());
        // Taken by another user since the look at its lock: passed over like a held one.
        if (e.EngineError() != DBE_RECORD_LOCKED)
            throw;
        transaction.Commit();
        return false;
    } catch (const std::exception &e) {
        const auto *ex = dynamic_cast<const Exception *>(&e);
        notDeleted(ex ? ex->message() : QString::fromLocal8Bit(e.what()));
        throw;
    }
    transaction.Commit();
    journal.confirmDeleted(entry);
    return true;
}

bool DuplicateCheck::deleteSurplus(TDeleteList &candidates) {
    if (candidates.Count() == 0)
        return false;
    if (!m_feedback.askYesNo(QStringLiteral("Doppelte Artikel <b>jetzt löschen</b>?")))
        return false;
    std::optional<DeletionJournal> journal;
    try {
        journal.emplace(journalFolder());
    } catch (const EJournalError &e) {
        m_feedback.showMessage(QStringLiteral("<B>Fehler:</B><BR>") + EscapeMarkup(e.message()) +
                               QStringLiteral("<BR>Es wurde nichts gelöscht."));
        return false;
    }
    if (!bookingsIndexAgrees(candidates))
        return false;
    LongOperation operation(m_result, m_feedback, candidates.Count(),
                            LongOperation::Style::DeletionLoop);
    int position = 0;
    while (position < candidates.Count()) {
        const QString number = candidates.Strings(position);
        const QString id = candidates.Objects(position)->ID;
        if (candidates.CountEqual(number) > 1 &&
            deleteCandidate(number, id, candidates, *journal)) {
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
