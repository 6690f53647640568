// Deleting the surplus duplicates: every listed article without bookings is a candidate; per
// order number all candidates but one are deleted. The candidate list keeps equal numbers in
// reverse order of collection, so the one that survives is the candidate collected first.
#include "check/TFMain.h"

#include "check/OnFailure.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/Cursors.h"
#include "feedback/EscapeMarkup.h"
#include "feedback/TFSB_BOX.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatProgressBar.h"

#include <QCoreApplication>

int TFMain::CountEqual(const QString &text) const {
    return m_deleteList->CountEqual(text);
}

void TFMain::CollectDeleteCandidates() {
    m_deleteList->Clear();
    OnFailure restore([this] { GiveBackAfterFailure(); });
    SetBusy(true);
    PG->SetPosition(0);
    PG->SetMax(KM->RecordCount());
    ShowWaitCursor();
    KM->DisableControls();
    QCoreApplication::processEvents();
    KM->First();
    while (!KM->Eof()) {
        if (!KMHASBOOKS->AsBoolean()) {
            KM->Edit();
            KMDEL->SetAsBoolean(true);
            KM->Post();
            m_deleteList->AddObject(KMBSTN->AsString(),
                                    new TID(QString::number(KMID->AsInteger())));
        }
        PG->SetPosition(PG->Position() + 1);
        QCoreApplication::processEvents();
        KM->Next();
    }
    PG->SetPosition(0);
    KM->First();
    KM->EnableControls();
    SetBusy(false);
    ResetCursor();
}

bool TFMain::MayStillDelete(const QString &number, const QString &id) {
    // The result table may be old: other users may have booked the article, renumbered it or
    // deleted the others of its number since the check. Ask the stored data.
    if (Table_ARTMAIN->FieldByName(QStringLiteral("BSTN"))->AsString() != number)
        return false;
    if (Subtable->Locate(QStringLiteral("ID_ART"), id, {}))
        return false;
    bool another = false;
    if (Table_ARTMAIN->Locate(QStringLiteral("BSTN"), number, {})) {
        TField *bstn = Table_ARTMAIN->FieldByName(QStringLiteral("BSTN"));
        TField *articleId = Table_ARTMAIN->FieldByName(QStringLiteral("ID"));
        // Equal numbers stand together in the order of "BSTN"; the first one found is either
        // another article or this one, in which case the next one is checked.
        another = QString::number(articleId->AsInteger()) != id;
        if (!another) {
            Table_ARTMAIN->Next();
            another = !Table_ARTMAIN->Eof() && bstn->AsString() == number;
        }
    }
    // Back to the article itself for the deletion.
    return another && Table_ARTMAIN->Locate(QStringLiteral("ID"), id, {});
}

void TFMain::FlatButton3Click(QObject *) {
    CollectDeleteCandidates();
    if (m_deleteList->Count() == 0)
        return;
    if (!AskYesNo(QStringLiteral("Doppelte Artikel <b>jetzt löschen</b>?")))
        return;
    {
        OnFailure restore([this] { GiveBackAfterFailure(); });
        SetBusy(true);
        PG->SetPosition(0);
        PG->SetMax(m_deleteList->Count());
        ShowWaitCursor();
        int position = 0;
        while (position < m_deleteList->Count()) {
            const QString number = m_deleteList->Strings(position);
            const QString id = m_deleteList->Objects(position)->ID;
            bool located = false;
            if (CountEqual(number) > 1)
                located = Table_ARTMAIN->Locate(QStringLiteral("ID"), id, {});
            if (located && MayStillDelete(number, id)) {
                SetStatusText(EscapeMarkup(number) + QStringLiteral(" <b>löschen.."));
                Table_ARTMAIN->Delete();
                m_deleteList->Delete(position);
            } else {
                SetStatusText(EscapeMarkup(number) + QStringLiteral(" <b>überspringen.."));
                ++position;
            }
            PG->SetPosition(PG->Position() + 1);
            QCoreApplication::processEvents();
        }
        PG->SetPosition(0);
        ResetCursor();
        SetBusy(false);
    }
    FlatButton4->Click();
}
