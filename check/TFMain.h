// The module's main window: the duplicate order number check. It holds the article, bookings
// and settings tables, the in-memory result table KM shown in the grid, the status line, the
// progress bar and four buttons. The rules of the check live in DuplicateCheck (check/core/);
// the handlers run it and MainWindowFeedback shows it on the window's controls.
//
// The busy flag is KM's Tag: 1 while one of the long operations runs (the scan, the bookings
// pass, the collection of deletion candidates, the deletion loop), 0 otherwise. The long
// operations let the message loop run while they walk the records, so input arrives meanwhile;
// the flag is what refuses it: the action buttons' click gates, Escape and the grid's
// double-click.
//
// The members carry the names of the window's design (T... classes, components named by role
// or by type and number, handlers named after component and event):
//   Table_ARTMAIN       the article table "ArtikelMain.TBL" (read by the scan, changed by the
//                       order number change, rows deleted by the deletion)
//   Subtable            the bookings table "Artikelsub.TBL" (only searched, by "ID_ART")
//   DbTableSettings     the settings table "setup.TBL", index "IDENT"
//   KM                  the result table; KMID, KMBZ, KMDEL, KMBSTN, KMHASBOOKS its fields
//   DataSource_ARTMAIN  the data source that feeds KM to the grid
//   Panel3              the top panel with the three action buttons
//   FlatButton4         "Überprüfen": the check (FlatButton4Click)
//   FlatButton2         "Bestelllnummer ändern": the order number change (FlatButton2Click)
//   FlatButton3         "Alle doppelten löschen": the deletion (FlatButton3Click)
//   Grid                the result grid ("Bezeichnung 1", "Bestellnummer", "Buchungen
//                       vorhanden?"); a double-click presses FlatButton2
//   rlb                 the status line (a markup label above the bottom panel)
//   Panel1              the bottom panel with the progress bar and Panel2
//   PG                  the progress bar of the long operations
//   Panel2              the right part of Panel1, holding FlatButton1
//   FlatButton1         "Schliessen": closes the window
//   FlatButton4BeforeClick, FlatButton2BeforeClick, FlatButton3BeforeClick
//                       the click gates: a click is taken only while the busy flag is 0
#pragma once

#include "check/core/TDeleteList.h"
#include "module/TZModuleBaseFrm.h"

#include <memory>

class DuplicateCheck;
class MainWindowFeedback;
class TDataSource;
class TDbTable;
class TField;
class TFlatButton;
class TFlatProgressBar;
class TI_DBGrid;
class TMarkupLabel;
class TMemTable;
class TPanel;
class TIntegerField;
class TStringField;
class TBooleanField;

class TFMain : public TZModuleBaseFrm {
    Q_OBJECT
public:
    explicit TFMain(QWidget *owner = nullptr);
    ~TFMain() override;

    // Tables of the module host.
    TDbTable *Table_ARTMAIN;
    TDbTable *Subtable;
    TDbTable *DbTableSettings;
    // The result table and its fields.
    TMemTable *KM;
    TIntegerField *KMID;
    TStringField *KMBZ;
    TBooleanField *KMDEL;
    TStringField *KMBSTN;
    TBooleanField *KMHASBOOKS;
    TDataSource *DataSource_ARTMAIN;
    // Controls.
    TPanel *Panel3;
    TFlatButton *FlatButton4;
    TFlatButton *FlatButton2;
    TFlatButton *FlatButton3;
    TI_DBGrid *Grid;
    TMarkupLabel *rlb;
    TPanel *Panel1;
    TFlatProgressBar *PG;
    TPanel *Panel2;
    TFlatButton *FlatButton1;

    // Created by FormCreate, freed with its entries by FormDestroy.
    TDeleteList *DeleteList() { return m_deleteList.get(); }
    bool Busy() const;

    QString ModuleName() override;
    void DatabaseReady() override;
    void FormShow(QObject *sender) override;

    // Handlers.
    void FormCreate(QObject *sender);
    void FormDestroy(QObject *sender);
    void FormKeyDown(QObject *sender, quint16 &key, Qt::KeyboardModifiers shift);
    void FlatButton1Click(QObject *sender);
    void FlatButton4BeforeClick(QObject *sender, bool &clicked);
    void FlatButton2BeforeClick(QObject *sender, bool &clicked);
    void FlatButton3BeforeClick(QObject *sender, bool &clicked);
    void FlatButton4Click(QObject *sender);
    void FlatButton2Click(QObject *sender);
    void FlatButton3Click(QObject *sender);
    void GridDblClick(QObject *sender);
    void GridDrawTextFormat(TField *field, QString &text);

    // The check's two passes.
    void CheckDuplicates();
    void MarkBookings();
    // The deletion's collection of candidates and its count of equal entries.
    void CollectDeleteCandidates();
    int CountEqual(const QString &text) const;

    // The status line's markup text.
    QString StatusText() const;
    void SetStatusText(const QString &markup);

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers shift) override;

private:
    void CreateComponents();

    std::unique_ptr<TDeleteList> m_deleteList;
    std::unique_ptr<MainWindowFeedback> m_feedback;
    std::unique_ptr<DuplicateCheck> m_check;
};
