// The framework's process-wide settings object. It is created on first use by the settings
// accessor Settings() and lives until the program ends. The loader (SettingsLoader.h) fills it
// from the host's settings table and the workstation settings file; the module writes three
// values into it itself: the connect path with the data-path tag derived from it, and the text
// of the settings row with Ident 1.
//
// Members stand in the order the loader reads them. A member the catalogue gives a role is
// named by it; the others are named by their Ident and type (Flag903 is the flag of Ident 903,
// Byte12000 the byte of Ident 12000). Nothing in this program reads the loaded values back;
// they are kept for the framework's other users and shown by dupcheck-host.
#pragma once

#include "settings/SettingsRecords.h"
#include "settings/TAdressExtraDataGrid.h"
#include "settings/TAlterCurrencyInfo.h"
#include "settings/TAutoActionItems.h"
#include "settings/THTML.h"
#include "settings/TPartsGroup.h"
#include "settings/TUpperLowerPartField.h"
#include "settings/TUserPrinterDef.h"
#include "settings/TVSOBJ.h"

#include <QByteArray>
#include <QDate>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class TDbTable;

class TSettings {
public:
    TSettings();
    ~TSettings();
    TSettings(const TSettings &) = delete;
    TSettings &operator=(const TSettings &) = delete;

    // The settings table the loader last read (not owned).
    TDbTable *Table() const;
    void SetTable(TDbTable *table);

    const QString &ConnectPath() const { return m_connectPath; }
    const QString &DataPathTag() const { return m_dataPathTag; }
    // Stores the connect path, derives the data-path tag and copies the tag into the
    // process-wide data-path tag variable.
    void SetConnectPath(const QString &path);

    const QString &Ident1Text() const { return m_ident1Text; }
    void SetIdent1Text(const QString &text) { m_ident1Text = text; }

    // --- What the loader fills, in its reading order ---------------------------------------
    // 1530
    std::array<bool, 6> OptionFlags{};
    // 21002 .. 21013: the total-line captions of the 13 document kinds and the headers.
    TDefaultText DocumentCaptions;
    // 20004 .. 200031 and 31009 .. 31012
    std::unique_ptr<TAlterCurrencyInfo> AlterCurrency;
    // 8101, 8102, 8103 (packed)
    QByteArray Stream8101;
    QByteArray Stream8102;
    QByteArray Stream8103;
    // 20
    std::unique_ptr<TVSOBJ> VSOBJ;
    // No Ident: "Normal", "Wichtig", "Sehr Wichtig" unless 16045 replaces them.
    QStringList PriorityList;
    // 14500, 14501
    std::unique_ptr<THTML> HTML;
    // 8201, 8202, 8203, 16000 (not reset by the loader)
    QString Text8201;
    QString Text8202;
    QString Text8203;
    QString Text16000;
    // 903, 10000 (not reset by the loader)
    bool Flag903 = false;
    bool Flag10000 = false;
    quint8 Byte12000 = 0;
    bool Flag12010 = false;
    // 12011: bit 0 and bit 1
    quint8 OptionBits12011 = 3;
    quint8 Byte12013 = 2;
    QString Text212;
    quint8 Byte12014 = 2;
    bool Flag213 = false;
    QString Text51003;
    qint32 Int51004 = -1;
    qint32 Int51008 = 0;
    bool Flag51009 = false;
    QString Text51000;
    QString Text51002;
    QString Text51001;
    quint8 Byte214 = 1;
    quint8 Byte9214 = 1;
    qint32 Int9215 = 0;
    bool Flag218 = false;
    bool Flag215 = false;
    bool Flag216 = false;
    // 217, 301, 302: three switches, on unless the text is something other than "1"
    bool Switch217 = true;
    bool Switch301 = true;
    bool Switch302 = true;
    // 666
    std::unique_ptr<TUpperLowerPartField> UpperLowerPartField;
    quint8 Byte13031 = 1;
    // 13030: character 1 and character 2 of its text
    quint16 Word13030 = 0;
    quint8 Byte13030 = 0;
    QString Text15004;
    qint32 Int15000 = 0;
    // 15001
    QString SixDigitNumber = QStringLiteral("000000");
    // 16009
    TKNR KNR;
    // 16012 is the process-wide account list (TDIKontoStack.h).
    bool Flag23001 = true;
    bool Flag23002 = false;
    bool Flag23003 = false;
    bool Flag250 = false;
    qint32 Int76 = 1;
    // 202
    QStringList DocumentTypes;
    // 201
    std::array<QString, 5> FreeTypeCaptions;
    bool Switch951 = true;
    bool Switch4000 = false;
    bool Flag1400 = false;
    quint8 Byte1401 = 0;
    quint8 Byte1402 = 0;
    quint8 Byte16003 = 0;
    // 5024 (no date: an invalid QDate)
    QDate Date5024;
    quint16 Word4999 = 0;
    quint16 Word5000 = 10;
    quint16 Word4998 = 30;
    QString Text4997;
    bool Flag4996 = false;
    quint16 Word5001 = 30;
    quint16 Word5002 = 50;
    bool Flag5023 = true;
    double Float5021 = 20.0;
    bool Flag5022 = false;
    bool Flag5025 = false;
    bool Flag5026 = false;
    // 2001 .. 2010 (text) and 3001 .. 3010 (mode)
    std::array<TAdr_set, 10> AddressSets;
    // 920: the first character of each line, and its characters 2 to 51
    QStringList Codes;
    QStringList CodeTexts;
    // 949, 950 and the copies kept of the values read
    double Float949 = 0;
    double Float950 = 0;
    double Float949Kept = 0;
    double Float950Kept = 0;
    QStringList List1500;
    QStringList List1510;
    QStringList List1502;
    QStringList Salutations;  // 1501
    QStringList AddressKinds; // 1506
    QStringList List1505;
    QStringList List1509;
    // 1511
    std::unique_ptr<TAutoActionItems> AutoActions;
    QStringList PaymentDiscountTexts; // 1507
    // 1512
    std::array<QString, 3> ArticleCaptions;
    std::array<QString, 5> FreeFieldCaptions;
    TUserFieldsOrder InfoFields;
    QStringList Percentages;    // 12019
    QStringList DeliveryStates; // 12018
    QStringList DueDateTexts;   // 1508
    QStringList List16002;
    QStringList List16001;
    QStringList List16010;
    QStringList List16046;
    // A list without an Ident, emptied by every load.
    QStringList UnnumberedList;
    // 964, 219, 650, 651, 660, 661, 663
    std::unique_ptr<TPartsGroup> PartsGroups;
    // 652
    TlbBoundsA LabelBounds;
    // 751, 752, 753, 754
    std::unique_ptr<TAdressExtraDataGrid> AdressExtraDataGrid;
    // KLEVO.INI
    std::unique_ptr<TUserPrinterDef> UserPrinterDef;

private:
    QPointer<TDbTable> m_table;
    QString m_connectPath;
    QString m_dataPathTag;
    QString m_ident1Text;
};

// The settings accessor: the one TSettings, created on the first call.
TSettings *Settings();

// The process-wide data-path tag; empty until SetConnectPath runs.
QString DataPathTag();

// The tag for a connect path: the last folder name of the path, at most 30 characters, with
// the characters that cannot stand in a tag replaced by "_". Both "\" and "/" separate folders.
QString DataPathTagFromPath(const QString &path);

// A path with a trailing delimiter as the host writes it: an empty path stays empty, one that
// ends in ":", "\" or "/" stays as it is, a single drive letter gets ":\", any other "\".
QString WithTrailingDelimiter(const QString &path);
