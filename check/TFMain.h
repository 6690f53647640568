// The module's main window: the duplicate order number check. It holds the article, bookings
// and settings tables, the in-memory result table KM shown in the grid, the status line, the
// progress bar and four buttons.
//
// The busy flag is KM's Tag: 1 while one of the long operations runs (the scan, the bookings
// pass, the collection of deletion candidates, the deletion loop), 0 otherwise. The long
// operations let the message loop run once per record, so input arrives meanwhile; the flag is
// what refuses it: the action buttons' click gates, Escape and the grid's double-click.
#pragma once

#include "check/TDeleteList.h"
#include "module/TZModuleBaseFrm.h"

#include <memory>

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
    void SetBusy(bool busy);
    // After a long operation failed: progress bar 0, display updates resumed, busy flag 0,
    // default cursor.
    void GiveBackAfterFailure();
    // Appends a result row for the article table's current record.
    void AppendResultRow();
    // The deletion's check on the stored data that an article may still go (see
    // DuplicateDeletion.cpp).
    bool MayStillDelete(const QString &number, const QString &id);

    std::unique_ptr<TDeleteList> m_deleteList;
};
