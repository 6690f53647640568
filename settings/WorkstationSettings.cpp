#include "settings/WorkstationSettings.h"

#include "platform/Exception.h"
#include "platform/FormatSettings.h"
#include "platform/TBigIniFile.h"
#include "settings/TSettings.h"
#include "settings/TUserPrinterDef.h"

#include <QLocale>

#include <optional>

namespace {

const QString kValue = QStringLiteral("Value");

// "$$%%$$" in a stored text stands for a line break.
QString withLineBreaks(QString text) {
    return text.replace(QStringLiteral("$$%%$$"), QStringLiteral("\r\n"));
}

// Times as the system locale writes them ("09:00"); seconds may follow.
QString formatTime(const QTime &time) {
    return QLocale::system().toString(time, QLocale::ShortFormat);
}

std::optional<QTime> parseTime(const QString &text) {
    const QString t = text.trimmed();
    for (const QString &format : {QLocale::system().timeFormat(QLocale::ShortFormat),
                                  QLocale::system().timeFormat(QLocale::LongFormat),
                                  QStringLiteral("H:mm"), QStringLiteral("H:mm:ss")}) {
        const QTime time = QLocale::system().toTime(t, format);
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

QString withoutQuotes(const QString &text) {
    if (text == QLatin1String("\"\""))
        return QString();
    if (text.size() > 2 && text.startsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// Only values within [low, high] are taken; others leave the default.
qint32 onlyWithin(qint32 value, qint32 low, qint32 high, qint32 fallback) {
    return value >= low && value <= high ? value : fallback;
}

class Keys {
public:
    explicit Keys(const TBigIniFile &ini) : m_ini(ini) {}

    QString Text(const QString &section, const QString &key, const QString &def = {}) const {
        return m_ini.ReadString(section, key, def);
    }
    qint32 Int(const QString &section, const QString &key, qint32 def) const {
        return m_ini.ReadInteger(section, key, def);
    }
    bool Bool(const QString &section, const QString &key, bool def) const {
        return m_ini.ReadBool(section, key, def);
    }
    TColor Color(const QString &section, const QString &key, const QString &def) const {
        const auto color = m_ini.ReadColor(section, key, def);
        if (!color)
            throw EConvertError(QStringLiteral("Ungültige Farbe in %1, [%2] %3")
                                    .arg(m_ini.FileName(), section, key));
        return *color;
    }

private:
    const TBigIniFile &m_ini;
};

} // namespace

void ReadWorkstationSettings(TUserPrinterDef &d, const QString &fileName) {
    d.Reset();
    d.LanguageName = localeLanguageName().left(128);
    const TBigIniFile ini(fileName);
    const Keys k(ini);
    const QString mail = QStringLiteral("MAIL");
    d.MailMAPI = k.Bool(mail, QStringLiteral("mailMAPI"), false);
    d.MailMAPI_Index = k.Text(mail, QStringLiteral("mailMAPI_Index"));
    d.MailMAPI_Kind = k.Int(mail, QStringLiteral("mailMAPI_Kind"), 0);
    d.MailMAPI_Profil = k.Text(mail, QStringLiteral("mailMAPI_Profil"));
    d.MailMAPI_ProfilePassword = k.Text(mail, QStringLiteral("mailMAPI_ProfilePassword"));

    const QString printers = QStringLiteral("PRINTERS");
    d.DuplexType = k.Int(printers, QStringLiteral("DuplexType"), 0);
    for (int i = 0; i < TUserPrinterDef::CopyKinds; ++i) {
        d.CopiesCaption[size_t(i)] = k.Text(printers, QStringLiteral("Copies_Caption_op%1").arg(i))
                                         .replace(u'|', QStringLiteral("\r\n"));
        d.CopiesCount[size_t(i)] =
            qBound(1, k.Int(printers, QStringLiteral("Copies_Count_op%1").arg(i), 1), 99);
    }
    d.PrinterDefault = k.Text(printers, QStringLiteral("DEFAULT"));
    d.PrinterFax = k.Text(printers, QStringLiteral("FAX"));
    d.PrinterScript = k.Text(printers, QStringLiteral("SCRIPT"));

    d.QuoteAnswercontact = withLineBreaks(k.Text(QStringLiteral("QuoteAnswercontact"), kValue));
    d.QuoteAutoAnswercontact = k.Bool(QStringLiteral("QuoteAutoAnswercontact"), kValue, false);
    d.QuoteAnswercontactVS = withLineBreaks(k.Text(QStringLiteral("QuoteAnswercontactVS"), kValue));
    d.QuoteAutoAnswercontactVS = k.Bool(QStringLiteral("QuoteAutoAnswercontactVS"), kValue, false);
    d.CanChangeCloseOrder =
        qBound(0, k.Int(QStringLiteral("CanChangeCloseOrder"), kValue, 100), 5000);
    d.InCludeNumbernSelector = k.Bool(QStringLiteral("InCludeNumbernSelector"), kValue, true);
    d.InCludePartsNoSelector = k.Bool(QStringLiteral("InCludePartsNoSelector"), kValue, false);
    d.InCludeAdressGroupSelector =
        k.Bool(QStringLiteral("InCludeAdressGroupSelector"), kValue, true);
    d.AdressSecondGray = k.Bool(QStringLiteral("AdressSecondGray"), kValue, false);
    d.LayoutDataGridCanChange = k.Bool(QStringLiteral("LayoutDataGridCanChange"), kValue, true);
    d.DatagridHighWidth =
        onlyWithin(k.Int(QStringLiteral("DatagridHighWidth"), kValue, 1), 0, 2, 1);
    d.LayoutZZSKAfterSumme = k.Bool(QStringLiteral("LayoutZZSKAfterSumme"), kValue, true);
    d.DefaultExPage = k.Bool(QStringLiteral("DefaultExPage"), kValue, false);
    d.NoneTaxUser = k.Bool(QStringLiteral("NoneTaxUser"), kValue, false);
    d.QuoteCharCount = k.Int(QStringLiteral("QuoteCharCount"), kValue, 80);
    d.ForceNewOrderAdressChanger = k.Int(QStringLiteral("ForceNewOrderAdressChanger"), kValue, 0);
    d.SoftReturn_MaxLines = k.Int(QStringLiteral("SoftReturn_MaxLines"), kValue, 10);
    if (k.Int(QStringLiteral("Default_SoftReturn_Char"), kValue, 0) == 1)
        d.SoftReturnChar = QStringLiteral("¶");
    d.CashGrayText =
        k.Text(QStringLiteral("CashGrayText"), kValue, QStringLiteral("Rechnung wurde bezahlt."));
    d.CashGrayTextPart = k.Text(QStringLiteral("CashGrayTextPart"), kValue,
                                QStringLiteral("Noch offener Betrag: [OPEN] , gezahlt: [IN]"));
    d.CashRechnungIdent =
        k.Text(QStringLiteral("CashRechnungIdent"), kValue, QStringLiteral("BAR"));
    {
        const QTime nine(9, 0);
        const QString text = k.Text(QStringLiteral("SchedulerDayTime"), kValue, formatTime(nine));
        d.SchedulerDayTime = parseTime(text).value_or(nine);
    }
    d.SchedulerWakeup = k.Bool(QStringLiteral("SchedulerWakeup"), kValue, false);
    d.TimeColorsCount = qBound(5, k.Int(QStringLiteral("TimeColorsCount"), kValue, 99), 99);
    d.MaxLinks = qBound(199, k.Int(QStringLiteral("MaxLinks"), kValue, 199), 2000);
    d.InternMemoMaxCount = qBound(20, k.Int(QStringLiteral("InternMemoMaxCount"), kValue, 20), 100);
    d.CopiesList = k.Int(QStringLiteral("COPIES"), QStringLiteral("List"), 1);

    const QString finder = QStringLiteral("ExAdressFinder");
    d.UseOnlySoundex = k.Bool(finder, QStringLiteral("UseOnlySoundex"), true);
    d.Sharpness = qBound(10, k.Int(finder, QStringLiteral("sharpness"), 70), 100);
    d.DoublecheckAdress_Sharpness =
        k.Int(QStringLiteral("DoublettenCheck"), QStringLiteral("DoublecheckAdress_Sharpness"), 66);
    d.SoundexLevels = 0;
    for (int level = 0; level < 3; ++level) {
        if (k.Bool(QStringLiteral("SOUNDEX"), QStringLiteral("LEVEL%1").arg(level + 1), true))
            d.SoundexLevels |= quint8(1 << level);
    }

    d.UserFontSizeDatagrid = onlyWithin(
        k.Int(QStringLiteral("Datagrid"), QStringLiteral("UserFontSizeDatagrid"), 1), 0, 2, 1);
    const QString order = QStringLiteral("OrderBrowser");
    d.UserFirstFocusControlOrder =
        onlyWithin(k.Int(order, QStringLiteral("UserFirstFocusControlOrder"), 5), 0, 5, 5);
    d.UserFirstFocusControlOrder_brief =
        onlyWithin(k.Int(order, QStringLiteral("UserFirstFocusControlOrder_brief"), 4), 0, 5, 4);
    d.DatagridSecondHeigth = qBound(
        30, k.Int(QStringLiteral("TABLESECONDLINE"), QStringLiteral("DatagridSecondHeigth"), 60),
        100);
    d.DatagridHeigth =
        qBound(300, k.Int(QStringLiteral("Datagrid"), QStringLiteral("DatagridHeigth"), 600), 1200);
    d.RTFHeigth = qBound(100, k.Int(QStringLiteral("RTFX"), QStringLiteral("RTFHeigth"), 100), 600);

    const QString extra = QStringLiteral("EXTRA");
    d.PayInAutoIntern = onlyWithin(k.Int(extra, QStringLiteral("PayInAutoIntern"), 0), 0, 2, 0);
    d.ClickSound = k.Bool(extra, QStringLiteral("ClickSound"), false);
    d.AutoHis = k.Bool(extra, QStringLiteral("AutoHis"), false);
    d.NewArtlager = k.Bool(extra, QStringLiteral("NewArtlager"), true);

    d.ContactMailSubject = k.Text(QStringLiteral("CONTACTMAILSUBJECT"), QStringLiteral("SUBJECT"),
                                  QStringLiteral("INFO"));
    d.PrivatContactMailSubject = k.Text(QStringLiteral("PRIVATCONTACTMAILSUBJECT"),
                                        QStringLiteral("SUBJECT"), QStringLiteral("INFO"));
    d.PrivatContactSendHeader =
        k.Bool(QStringLiteral("PRIVATCONTACTSEND"), QStringLiteral("HEADER"), true);
    d.PrivatContactMandantUse =
        k.Bool(QStringLiteral("PRIVATCONTACTMANDANTUSE"), QStringLiteral("USE"), true);
    const QString v4 = QStringLiteral("V4");
    d.DefaultMailtypePrivat =
        k.Text(v4, QStringLiteral("DefaultMailtypeprivat"), QStringLiteral("txt"));
    d.InsertDateByHTMLMail =
        k.Bool(QStringLiteral("InsertDateByHTMLMail"), QStringLiteral("USE"), true);
    d.AttachFolder = k.Text(QStringLiteral("V41"), QStringLiteral("AttachFolder"));
    d.PdfBackupDir =
        WithTrailingDelimiter(k.Text(QStringLiteral("PDF"), QStringLiteral("BackupDir")));
    d.DBIN = withoutQuotes(k.Text(v4, QStringLiteral("DBIN")));
    d.UsePrinterDialog = k.Bool(v4, QStringLiteral("UsePrinterDialog"), false);

    const QString second = QStringLiteral("SECOND");
    d.DefaultPrinterBinName2 =
        withoutQuotes(k.Text(second, QStringLiteral("defaultprinterBinName2")));
    d.BinFirstPrinterPage2_Name =
        withoutQuotes(k.Text(second, QStringLiteral("BinFirstPrinterPage2_Name")));
    d.BinSecondPrinterPage2_Name =
        withoutQuotes(k.Text(second, QStringLiteral("BinSecondPrinterPage2_Name")));

    const QString ef = QStringLiteral("EF");
    d.DefaultFont.Name = k.Text(ef, QStringLiteral("DefaultFontRTF_Name"), QStringLiteral("ARIAL"));
    d.DefaultFont.Size = k.Int(ef, QStringLiteral("DefaultFontRTF_Size"), 10);
    {
        const QString style = k.Text(ef, QStringLiteral("DefaultFontRTF_style"));
        d.DefaultFont.Style = quint8((style.contains(QLatin1String("fsbold")) ? 1 : 0) |
                                     (style.contains(QLatin1String("fsitalic")) ? 2 : 0) |
                                     (style.contains(QLatin1String("fsunderline")) ? 4 : 0));
    }
    const QString black = QStringLiteral("clBlack");
    d.DefaultFont.Color = k.Color(ef, QStringLiteral("DefaultFontRTF_color"), black);
    d.DefaultArtikelFontcolor = k.Color(ef, QStringLiteral("DefaultArtikelFontcolor"), black);
    if (d.DefaultArtikelFontcolor == 0)
        d.DefaultArtikelFontcolor = 128;
    d.DefaultArtikelLagercolor = k.Color(ef, QStringLiteral("DefaultArtikelLagercolor"), black);
    if (d.DefaultArtikelLagercolor == 0)
        d.DefaultArtikelLagercolor = 16775914;
    d.UseDefaultFontByTextBlock = k.Bool(ef, QStringLiteral("UseDefaultFontByTextBlock"), false);
    d.UseAutoInsertBriefanrede = k.Bool(ef, QStringLiteral("UseAutoInsertBriefanrede"), false);
    d.UseAutoFormatBriefanrede = k.Bool(ef, QStringLiteral("UseAutoFormatBriefanrede"), true);
    d.MessageAfterPrint = k.Bool(ef, QStringLiteral("MessageAfterPrint"), false);
}
