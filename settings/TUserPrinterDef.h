// The workstation settings read from KLEVO.INI: mail, printers, copies per document, layout
// numbers and fonts. Members are named after the keys they come from.
#pragma once

#include "platform/Colors.h"

#include <QString>
#include <QTime>

#include <array>

// A font as the workstation file names it; style bits 1 bold, 2 italic, 4 underline.
class TDefaultFont {
public:
    QString Name = QStringLiteral("ARIAL");
    qint32 Size = 10;
    quint8 Style = 0;
    TColor Color = clBlack;
};

class TUserPrinterDef {
public:
    static constexpr int CopyKinds = 14;

    TUserPrinterDef();
    // Back to the values of a file without any key.
    void Reset();

    // MAIL
    bool MailMAPI;
    QString MailMAPI_Index;
    qint32 MailMAPI_Kind;
    QString MailMAPI_Profil;
    QString MailMAPI_ProfilePassword;
    // PRINTERS
    qint32 DuplexType;
    std::array<QString, CopyKinds> CopiesCaption;
    std::array<qint32, CopyKinds> CopiesCount;
    QString PrinterDefault;
    QString PrinterFax;
    QString PrinterScript;
    // Single values, each in its own section under the key "Value".
    QString QuoteAnswercontact;
    bool QuoteAutoAnswercontact;
    QString QuoteAnswercontactVS;
    bool QuoteAutoAnswercontactVS;
    qint32 CanChangeCloseOrder;
    bool InCludeNumbernSelector;
    bool InCludePartsNoSelector;
    bool InCludeAdressGroupSelector;
    bool AdressSecondGray;
    bool LayoutDataGridCanChange;
    qint32 DatagridHighWidth;
    bool LayoutZZSKAfterSumme;
    bool DefaultExPage;
    bool NoneTaxUser;
    qint32 QuoteCharCount;
    qint32 ForceNewOrderAdressChanger;
    qint32 SoftReturn_MaxLines;
    QString SoftReturnChar;
    QString CashGrayText;
    QString CashGrayTextPart;
    QString CashRechnungIdent;
    QTime SchedulerDayTime;
    bool SchedulerWakeup;
    qint32 TimeColorsCount;
    qint32 MaxLinks;
    qint32 InternMemoMaxCount;
    qint32 CopiesList;
    // ExAdressFinder, DoublettenCheck, SOUNDEX
    bool UseOnlySoundex;
    qint32 Sharpness;
    qint32 DoublecheckAdress_Sharpness;
    quint8 SoundexLevels; // bits 1, 2, 4: LEVEL1 to LEVEL3
    // Datagrid, OrderBrowser, TABLESECONDLINE, RTFX
    qint32 UserFontSizeDatagrid;
    qint32 UserFirstFocusControlOrder;
    qint32 UserFirstFocusControlOrder_brief;
    qint32 DatagridSecondHeigth;
    qint32 DatagridHeigth;
    qint32 RTFHeigth;
    // EXTRA
    qint32 PayInAutoIntern;
    bool ClickSound;
    bool AutoHis;
    bool NewArtlager;
    // Mail subjects and contacts
    QString ContactMailSubject;
    QString PrivatContactMailSubject;
    bool PrivatContactSendHeader;
    bool PrivatContactMandantUse;
    QString DefaultMailtypePrivat;
    bool InsertDateByHTMLMail;
    QString AttachFolder;
    QString PdfBackupDir;
    QString DBIN;
    bool UsePrinterDialog;
    // SECOND
    QString DefaultPrinterBinName2;
    QString BinFirstPrinterPage2_Name;
    QString BinSecondPrinterPage2_Name;
    // EF
    TDefaultFont DefaultFont;
    TColor DefaultArtikelFontcolor;
    TColor DefaultArtikelLagercolor;
    bool UseDefaultFontByTextBlock;
    bool UseAutoInsertBriefanrede;
    bool UseAutoFormatBriefanrede;
    bool MessageAfterPrint;
    // Not from the file: the default file type and the system locale's language name.
    QString DefaultFileType;
    QString LanguageName;
};
