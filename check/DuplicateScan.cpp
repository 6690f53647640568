// The check: the scan that lists every article whose order number another article shares, and
// the bookings pass that marks which of the listed articles have bookings.
//
// The scan walks the article table in the order of its index "BSTN", where equal order numbers
// stand next to each other. An article whose number equals the one before it is listed, and
// the article before it too unless it is listed already; a run of equal numbers therefore
// appears as its second article, its first, then the third and following.
#include "check/TFMain.h"

#include "check/OnFailure.h"

#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/Cursors.h"
#include "feedback/EscapeMarkup.h"
#include "feedback/TFSB_BOX.h"
#include "platform/Exception.h"
#include "platform/ui/TMessagePump.h"
#include "widgets/TFlatProgressBar.h"

#include <optional>

namespace {
// The scan stops once this many articles are listed and a further duplicate turns up.
constexpr int kDuplicateLimit = 5000;
} // namespace

void TFMain::FlatButton4Click(QObject *) {
    SetStatusText(QString());
    CheckDuplicates();
    MarkBookings();
}

void TFMain::AppendResultRow() {
    KM->Append();
    KMID->SetAsInteger(Table_ARTMAIN->FieldByName(QStringLiteral("ID"))->AsInteger());
    KMBZ->SetAsString(Table_ARTMAIN->FieldByName(QStringLiteral("BZK"))->AsString());
    KMBSTN->SetAsString(Table_ARTMAIN->FieldByName(QStringLiteral("BSTN"))->AsString());
    KM->Post();
}

void TFMain::CheckDuplicates() {
    SetBusy(true);
    PG->SetPosition(0);
    PG->SetMax(Table_ARTMAIN->RecordCount());
    KM->EmptyTable();
    // Per record the message loop runs when its last run is 2 ms ago (see TMessagePump): a run
    // costs more than reading the record.
    TMessagePump messages;
    try {
        ShowWaitCursor();
        KM->DisableControls();
        messages.ProcessPending();
        // No number before the first record: a single article without an order number is
        // no duplicate of anything.
        std::optional<QString> previous;
        int counter = 0;
        bool firstRecord = true;
        Table_ARTMAIN->SetIndexName(QStringLiteral("BSTN"));
        Table_ARTMAIN->First();
        TField *bstn = Table_ARTMAIN->FieldByName(QStringLiteral("BSTN"));
        TField *id = Table_ARTMAIN->FieldByName(QStringLiteral("ID"));
        while (!Table_ARTMAIN->Eof()) {
            const QString current = bstn->AsString();
            if (previous && *previous == current) {
                if (counter >= kDuplicateLimit) {
                    ShowMessageBox(QStringLiteral("<B>Abgebrochen.</B><BR>Es existieren mehr "
                                                  "als 5000 doppelte Nummern."));
                    break;
                }
                AppendResultRow();
                if (!firstRecord) {
                    Table_ARTMAIN->Prior();
                    // Back to the record the loop stands on, whatever happens in between.
                    try {
                        if (bstn->AsString() == *previous &&
                            !KM->Locate(QStringLiteral("ID"), id->AsInteger(), {})) {
                            AppendResultRow();
                            ++counter;
                        }
                    } catch (...) {
                        Table_ARTMAIN->Next();
                        throw;
                    }
                    Table_ARTMAIN->Next();
                }
                ++counter;
            }
            previous = current;
            PG->SetPosition(PG->Position() + 1);
            messages.ProcessPendingPerRecord();
            firstRecord = false;
            Table_ARTMAIN->Next();
        }
        PG->SetPosition(0);
        KM->EnableControls();
        if (counter == 0)
            SetStatusText(QStringLiteral("<B>Alle Bestellnummern sind eindeutig."));
        else
            SetStatusText(QStringLiteral("<B>Es existieren mindestens ") +
                          QString::number(counter) +
                          QStringLiteral("<BR>doppelte Bestellnummern."));
    } catch (const std::exception &e) {
        // The rows listed so far stay. The status line says what went wrong instead of
        // staying empty, and the grid and the progress bar are usable again.
        GiveBackAfterFailure();
        const auto *ex = dynamic_cast<const Exception *>(&e);
        SetStatusText(QStringLiteral("<B>Fehler:</B><BR>") +
                      EscapeMarkup(ex ? ex->message() : QString::fromLocal8Bit(e.what())));
        return;
    }
    SetBusy(false);
    ResetCursor();
}

void TFMain::MarkBookings() {
    OnFailure restore([this] { GiveBackAfterFailure(); });
    SetBusy(true);
    PG->SetPosition(0);
    PG->SetMax(KM->RecordCount());
    ShowWaitCursor();
    KM->DisableControls();
    TMessagePump messages;
    messages.ProcessPending();
    Subtable->SetIndexName(QStringLiteral("ID_ART"));
    KM->First();
    while (!KM->Eof()) {
        if (Subtable->Locate(QStringLiteral("ID_ART"), KMID->AsInteger(), {})) {
            KM->Edit();
            KMHASBOOKS->SetAsBoolean(true);
            KM->Post();
        }
        PG->SetPosition(PG->Position() + 1);
        messages.ProcessPendingPerRecord();
        KM->Next();
    }
    PG->SetPosition(0);
    KM->First();
    KM->EnableControls();
    SetBusy(false);
    ResetCursor();
}
