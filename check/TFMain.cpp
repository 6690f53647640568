#include "check/TFMain.h"

#include "check/MainWindowFeedback.h"
#include "check/core/DuplicateCheck.h"
#include "data/DataSource.h"
#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/TMarkupLabel.h"
#include "feedback/WindowPreparation.h"
#include "grid/TI_DBGrid.h"
#include "platform/ui/Align.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/InputQuery.h"
#include "platform/ui/Keys.h"
#include "settings/SettingsLoader.h"
#include "settings/SettingsStart.h"
#include "settings/TSettings.h"
#include "settings/ui/SettingsMessageBox.h"
#include "widgets/ButtonGlyphs.h"
#include "widgets/TFlatButton.h"
#include "widgets/TFlatProgressBar.h"
#include "widgets/TPanel.h"

namespace {

// Title colour of the grid's columns: red 128, green 128, blue 255.
constexpr TColor kTitleColor = 16744576;

} // namespace

TFMain::TFMain(QWidget *owner) : TZModuleBaseFrm(owner) {
    setObjectName(QStringLiteral("FMain"));
    SetCaption(QStringLiteral("Bestelllnummer-Überprüfung"));
    SetClientSize(548, 397);
    SetPosition(poScreenCenter);
    SetColor(clBtnFace);
    setFont(Fonts::make(QStringLiteral("MS Sans Serif"), -11));
    SetKeyPreview(true);
    CreateComponents();
    m_feedback = std::make_unique<MainWindowFeedback>(*PG, *rlb);
    m_check = std::make_unique<DuplicateCheck>(*Table_ARTMAIN, *Subtable, *KM, *m_feedback);
    guarded([&] { FormCreate(this); });
}

TFMain::~TFMain() {
    FormDestroy(this);
    // The engine's tables close before the connection, which the base window owns.
    delete Table_ARTMAIN;
    delete Subtable;
    delete DbTableSettings;
}

void TFMain::CreateComponents() {
    Table_ARTMAIN = new TDbTable(this);
    Table_ARTMAIN->setObjectName(QStringLiteral("Table_ARTMAIN"));
    Table_ARTMAIN->SetTableName(QStringLiteral("ArtikelMain.TBL"));
    Subtable = new TDbTable(this);
    Subtable->setObjectName(QStringLiteral("Subtable"));
    Subtable->SetTableName(QStringLiteral("Artikelsub.TBL"));
    DbTableSettings = new TDbTable(this);
    DbTableSettings->setObjectName(QStringLiteral("DbTableSettings"));
    DbTableSettings->SetTableName(QStringLiteral("setup.TBL"));
    DbTableSettings->SetIndexName(QStringLiteral("IDENT"));

    KM = new TMemTable(this);
    KM->setObjectName(QStringLiteral("KM"));
    const ResultTable::Fields fields = ResultTable::createFields(*KM, this);
    KMID = fields.id;
    KMBZ = fields.bz;
    KMDEL = fields.del;
    KMBSTN = fields.bstn;
    KMHASBOOKS = fields.hasBooks;
    KM->Open();

    DataSource_ARTMAIN = new TDataSource(this);
    DataSource_ARTMAIN->setObjectName(QStringLiteral("DataSource_ARTMAIN"));
    DataSource_ARTMAIN->SetDataSet(KM);

    Panel3 = new TPanel(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->SetBevelOuter(bvNone);
    Panel3->setGeometry(0, 0, 548, 61);
    SetAlign(Panel3, alTop);

    auto makeButton = [&](const char *name, const QString &caption, const QRect &bounds,
                          QWidget *parent) {
        auto *b = new TFlatButton(parent);
        b->setObjectName(QLatin1String(name));
        b->SetCaption(caption);
        b->setGeometry(bounds);
        b->SetTabStop(true);
        return b;
    };
    FlatButton4 = makeButton("FlatButton4", QStringLiteral("Überprüfen"), {8, 12, 93, 37}, Panel3);
    FlatButton4->SetGlyph(ButtonGlyphs::load(ButtonGlyphs::Check));
    FlatButton4->SetLayout(blGlyphLeft);
    FlatButton4->OnBeforeClick = [this](QObject *s, bool &c) { FlatButton4BeforeClick(s, c); };
    FlatButton4->OnClick = [this](QObject *s) { FlatButton4Click(s); };
    FlatButton2 = makeButton("FlatButton2", QStringLiteral("Bestelllnummer ändern"),
                             {108, 12, 165, 37}, Panel3);
    FlatButton2->SetGlyph(ButtonGlyphs::load(ButtonGlyphs::Edit));
    FlatButton2->SetLayout(blGlyphLeft);
    FlatButton2->OnBeforeClick = [this](QObject *s, bool &c) { FlatButton2BeforeClick(s, c); };
    FlatButton2->OnClick = [this](QObject *s) { FlatButton2Click(s); };
    FlatButton3 = makeButton("FlatButton3", QStringLiteral("Alle doppelten löschen"),
                             {280, 12, 165, 37}, Panel3);
    FlatButton3->SetGlyph(ButtonGlyphs::load(ButtonGlyphs::Delete));
    FlatButton3->SetLayout(blGlyphLeft);
    FlatButton3->OnBeforeClick = [this](QObject *s, bool &c) { FlatButton3BeforeClick(s, c); };
    FlatButton3->OnClick = [this](QObject *s) { FlatButton3Click(s); };

    Grid = new TI_DBGrid(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setMinimumWidth(150);
    Grid->SetReadOnly(true);
    Grid->SetDefaultRowHeight(17);
    Grid->SetAutoSearch(true);
    Grid->SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgRowSelect |
                     dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit | dgTitleClicked |
                     dgFlatButtons | dgCompleteLines | dgAutoSize);
    Grid->SetTitleFont(Fonts::make(QStringLiteral("MS Sans Serif"), -11));
    Grid->SetTitleFontColor(clWindowText);
    const QFont cellFont = Fonts::make(QStringLiteral("Tahoma"), -12);
    auto addColumn = [&](const char *field, const QString &title, int width) {
        TColumn *c = Grid->Columns()->Add();
        c->SetFieldName(QLatin1String(field));
        c->Title()->SetCaption(title);
        c->Title()->SetColor(kTitleColor);
        c->Title()->SetFont(cellFont);
        c->Title()->SetFontColor(clWhite);
        c->SetFont(cellFont);
        c->SetFontColor(clWindowText);
        c->SetWidth(width);
        c->SetWordBreak(false);
        c->SetFocusWidth(0);
        return c;
    };
    addColumn("BZ", QStringLiteral("Bezeichnung 1"), 220)->SetIndexed(true);
    addColumn("BSTN", QStringLiteral("Bestellnummer"), 134);
    addColumn("HASBOOKS", QStringLiteral("Buchungen vorhanden?"), 189);
    Grid->SetDataSource(DataSource_ARTMAIN);
    Grid->OnDrawTextFormat = [this](TField *f, QString &t) { GridDrawTextFormat(f, t); };
    Grid->OnDblClick = [this](QObject *s) { GridDblClick(s); };

    Panel1 = new TPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->SetBevelOuter(bvNone);
    Panel1->setGeometry(0, 356, 548, 41);
    SetAlign(Panel1, alBottom);

    rlb = new TMarkupLabel(this);
    rlb->setObjectName(QStringLiteral("rlb"));
    rlb->SetBorderWidth(6);
    rlb->SetAutoSizeType(TMarkupLabel::asBoth);
    rlb->SetAutoSizing(true);
    rlb->move(0, 300);
    SetAlign(rlb, alBottom);

    PG = new TFlatProgressBar(Panel1);
    PG->setObjectName(QStringLiteral("PG"));
    PG->setGeometry(8, 8, 417, 25);
    PG->SetMin(0);

    Panel2 = new TPanel(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->SetBevelOuter(bvNone);
    Panel2->resize(113, 41);
    SetAlign(Panel2, alRight);
    FlatButton1 = makeButton("FlatButton1", QStringLiteral("Schliessen"), {16, 8, 89, 29}, Panel2);
    FlatButton1->SetGlyph(ButtonGlyphs::load(ButtonGlyphs::Close7));
    FlatButton1->SetLayout(blGlyphLeft);
    FlatButton1->OnClick = [this](QObject *s) { FlatButton1Click(s); };

    SetAlign(Grid, alClient);
    // Tab order: the close button's panel, the grid, then the action buttons.
    setTabOrder(FlatButton1, Grid);
    setTabOrder(Grid, FlatButton4);
    setTabOrder(FlatButton4, FlatButton2);
    setTabOrder(FlatButton2, FlatButton3);
}

bool TFMain::Busy() const {
    return m_check->busy();
}

QString TFMain::ModuleName() {
    return QStringLiteral("Doppelte Bestellnummern ermitteln");
}

void TFMain::FormCreate(QObject *) {
    PrepareWindow(this, true);
    m_deleteList = std::make_unique<TDeleteList>();
}

void TFMain::FormDestroy(QObject *) {
    m_deleteList.reset();
}

void TFMain::FormShow(QObject *sender) {
    TZModuleBaseFrm::FormShow(sender);
}

void TFMain::DatabaseReady() {
    DbTableSettings->SetDbConnection(DbConnection);
    OpenSettingsTable(DbTableSettings);
    TSettings *settings = Settings();
    UseMessageBoxForSettings();
    Load(settings, DbTableSettings);
    ReadIdent1Text(settings, DbTableSettings);
    BringToFront();
    SetCaption(DbConnection->ConnectPath());
    settings->SetConnectPath(DbConnection->ConnectPath());
    Table_ARTMAIN->SetDbConnection(DbConnection);
    Subtable->SetDbConnection(DbConnection);
    Table_ARTMAIN->Open();
    Subtable->Open();
}

void TFMain::KeyDown(quint16 &key, Qt::KeyboardModifiers shift) {
    FormKeyDown(this, key, shift);
}

void TFMain::FormKeyDown(QObject *, quint16 &key, Qt::KeyboardModifiers) {
    if (key == VK_ESCAPE && !Busy())
        close();
}

void TFMain::FlatButton1Click(QObject *) {
    close();
}

void TFMain::FlatButton4BeforeClick(QObject *, bool &clicked) {
    clicked = !Busy();
}

void TFMain::FlatButton2BeforeClick(QObject *, bool &clicked) {
    clicked = !Busy();
}

void TFMain::FlatButton3BeforeClick(QObject *, bool &clicked) {
    clicked = !Busy();
}

void TFMain::FlatButton4Click(QObject *) {
    m_check->check();
}

void TFMain::CheckDuplicates() {
    m_check->scan();
}

void TFMain::MarkBookings() {
    m_check->markBookings();
}

void TFMain::FlatButton2Click(QObject *) {
    // With the result list empty there is no row to change: no dialog, nothing written.
    if (Busy() || !m_check->hasCurrentRow())
        return;
    // The article stays locked while the dialog is open.
    if (!m_check->holdCurrentArticle())
        return;
    QString entered = KMBSTN->AsString();
    // The edit takes no more than the order number field holds, so nothing is cut silently.
    if (InputQuery(QStringLiteral("Eingabedialog"), QStringLiteral("Eingabeaufforderung"), entered,
                   KMBSTN->Size()))
        m_check->changeNumber(entered);
    else
        m_check->releaseArticle();
}

void TFMain::CollectDeleteCandidates() {
    m_check->collectCandidates(*m_deleteList);
}

int TFMain::CountEqual(const QString &text) const {
    return m_deleteList->CountEqual(text);
}

void TFMain::FlatButton3Click(QObject *) {
    CollectDeleteCandidates();
    // After a deletion the list shows what remains: "Überprüfen" pressed through its gate.
    if (m_check->deleteSurplus(*m_deleteList))
        FlatButton4->Click();
}

void TFMain::GridDblClick(QObject *) {
    if (!Busy())
        FlatButton2->Click();
}

void TFMain::GridDrawTextFormat(TField *field, QString &text) {
    // The grid draws many rows while one is current: the value comes from the row being drawn.
    // A never-set value reads as false.
    if (field->FieldName() == QLatin1String("HASBOOKS"))
        text = Grid->DrawingValue(field).toBool() ? QStringLiteral("Ja") : QStringLiteral("Nein");
}

QString TFMain::StatusText() const {
    return rlb->Text();
}

void TFMain::SetStatusText(const QString &markup) {
    rlb->SetText(markup);
}
