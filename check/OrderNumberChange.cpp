// Giving the article of the result table's current row a new order number. The change runs no
// new check: the row keeps its place, its bookings mark and its new number until the next one.
#include "check/TFMain.h"

#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/EscapeMarkup.h"
#include "feedback/TFSB_BOX.h"
#include "platform/Exception.h"
#include "platform/ui/InputQuery.h"

void TFMain::FlatButton2Click(QObject *) {
    if (Busy())
        return;
    const QString current = KMBSTN->AsString();
    QString entered = current;
    // The edit takes no more than the order number field holds, so nothing is cut silently.
    if (!InputQuery(QStringLiteral("Eingabedialog"), QStringLiteral("Eingabeaufforderung"), entered,
                    KMBSTN->Size()))
        return;
    if (entered.isEmpty() || entered == current)
        return;
    if (!Table_ARTMAIN->Locate(QStringLiteral("ID"), KMID->AsInteger(), {}))
        return;
    try {
        Table_ARTMAIN->Edit();
        Table_ARTMAIN->FieldByName(QStringLiteral("BSTN"))->SetAsString(entered);
        Table_ARTMAIN->Post();
        KM->Edit();
        KMBSTN->SetAsString(entered);
        KM->Post();
    } catch (const Exception &e) {
        // A write that failed is dropped at once: the article's lock is released, and the
        // change the user is told about is never written later.
        if (Table_ARTMAIN->State() == dsEdit)
            Table_ARTMAIN->Cancel();
        if (KM->State() == dsEdit)
            KM->Cancel();
        ShowMessageBox(QStringLiteral("<B>Fehler:</B><BR>") + EscapeMarkup(e.message()));
    }
}
