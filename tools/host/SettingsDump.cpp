#include "SettingsDump.h"

#include "data/Field.h"
#include "data/MemTable.h"
#include "platform/Cp1252.h"
#include "settings/TDIKontoStack.h"
#include "settings/TSettings.h"

namespace {

QString quoted(const QString &text) {
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\' + QString(c);
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            out += c;
    }
    return out + u'"';
}

QString list(const QStringList &items) {
    QStringList q;
    for (const QString &i : items)
        q << quoted(i);
    return u'[' + q.join(QStringLiteral(", ")) + u']';
}

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString real(double v) {
    return QString::number(v, 'g', 15);
}

QString stream(const QByteArray &bytes) {
    constexpr qsizetype shown = 200;
    QString text = QStringLiteral("%1 Bytes").arg(bytes.size());
    if (!bytes.isEmpty())
        text += u' ' + quoted(Cp1252::toQString(bytes.left(shown)));
    if (bytes.size() > shown)
        text += QStringLiteral(" ...");
    return text;
}

QString color(TColor c) {
    return u'$' + QStringLiteral("%1").arg(quint32(c), 8, 16, QChar(u'0')).toUpper();
}

class Lines {
public:
    explicit Lines(QTextStream &out) : m_out(out) {}
    void operator()(const QString &name, const QString &value) {
        m_out << name << QStringLiteral(": ") << value << u'\n';
    }

private:
    QTextStream &m_out;
};

void captions(Lines &line, const QString &name, const TDefaultText &t) {
    for (size_t k = 0; k < t.Sets.size(); ++k)
        line(QStringLiteral("%1.Sets[%2]").arg(name).arg(k + 1),
             list(QStringList(t.Sets[k].Captions.begin(), t.Sets[k].Captions.end())));
    line(name + QStringLiteral(".Headers"), list(QStringList(t.Headers.begin(), t.Headers.end())));
}

void vsobj(Lines &line, TMemTable *table) {
    line(QStringLiteral("VSOBJ.RecordCount"), QString::number(table->RecordCount()));
    int n = 0;
    table->First();
    while (!table->Eof()) {
        QStringList values;
        for (const TField *f : table->Fields())
            values << f->FieldName() + u'=' + quoted(f->AsString());
        line(QStringLiteral("VSOBJ[%1]").arg(++n), values.join(u' '));
        table->Next();
    }
}

} // namespace

namespace SettingsDump {

void Write(const TSettings &s, QTextStream &out) {
    Lines line(out);
    line(QStringLiteral("ConnectPath"), quoted(s.ConnectPath()));
    line(QStringLiteral("DataPathTag"), quoted(s.DataPathTag()));
    line(QStringLiteral("Ident1Text"), quoted(s.Ident1Text()));

    QStringList options;
    for (bool b : s.OptionFlags)
        options << flag(b);
    line(QStringLiteral("OptionFlags"), options.join(u' '));
    captions(line, QStringLiteral("DocumentCaptions"), s.DocumentCaptions);
    const TAlterCurrencyInfo &a = *s.AlterCurrency;
    captions(line, QStringLiteral("AlterCurrency.Captions"), a.Captions);
    line(QStringLiteral("AlterCurrency.Rate"), real(a.Rate));
    line(QStringLiteral("AlterCurrency.Label"), quoted(a.Label));
    line(QStringLiteral("AlterCurrency.Enabled"), QString::number(a.Enabled));
    line(QStringLiteral("AlterCurrency.Option1"), QString::number(a.Option1));
    line(QStringLiteral("AlterCurrency.Option2"), QString::number(a.Option2));
    line(QStringLiteral("Stream8101"), stream(s.Stream8101));
    line(QStringLiteral("Stream8102"), stream(s.Stream8102));
    line(QStringLiteral("Stream8103"), stream(s.Stream8103));
    vsobj(line, s.VSOBJ->Table());
    line(QStringLiteral("PriorityList"), list(s.PriorityList));
    line(QStringLiteral("HTML.Template"), list(s.HTML->Template));
    line(QStringLiteral("HTML.Factor1"), real(s.HTML->Factor1));
    line(QStringLiteral("HTML.Factor2"), real(s.HTML->Factor2));
    line(QStringLiteral("HTML.Switches"), flag(s.HTML->Switches[0]) + u' ' +
                                              flag(s.HTML->Switches[1]) + u' ' +
                                              flag(s.HTML->Switches[2]));
    line(QStringLiteral("HTML.Number"), QString::number(s.HTML->Number));
    line(QStringLiteral("Text8201"), quoted(s.Text8201));
    line(QStringLiteral("Text8202"), quoted(s.Text8202));
    line(QStringLiteral("Text8203"), quoted(s.Text8203));
    line(QStringLiteral("Text16000"), quoted(s.Text16000));
    line(QStringLiteral("Flag903"), flag(s.Flag903));
    line(QStringLiteral("Flag10000"), flag(s.Flag10000));
    line(QStringLiteral("Byte12000"), QString::number(s.Byte12000));
    line(QStringLiteral("Flag12010"), flag(s.Flag12010));
    line(QStringLiteral("OptionBits12011"), QString::number(s.OptionBits12011));
    line(QStringLiteral("Byte12013"), QString::number(s.Byte12013));
    line(QStringLiteral("Text212"), quoted(s.Text212));
    line(QStringLiteral("Byte12014"), QString::number(s.Byte12014));
    line(QStringLiteral("Flag213"), flag(s.Flag213));
    line(QStringLiteral("Text51003"), quoted(s.Text51003));
    line(QStringLiteral("Int51004"), QString::number(s.Int51004));
    line(QStringLiteral("Int51008"), QString::number(s.Int51008));
    line(QStringLiteral("Flag51009"), flag(s.Flag51009));
    line(QStringLiteral("Text51000"), quoted(s.Text51000));
    line(QStringLiteral("Text51002"), quoted(s.Text51002));
    line(QStringLiteral("Text51001"), quoted(s.Text51001));
    line(QStringLiteral("Byte214"), QString::number(s.Byte214));
    line(QStringLiteral("Byte9214"), QString::number(s.Byte9214));
    line(QStringLiteral("Int9215"), QString::number(s.Int9215));
    line(QStringLiteral("Flag218"), flag(s.Flag218));
    line(QStringLiteral("Flag215"), flag(s.Flag215));
    line(QStringLiteral("Flag216"), flag(s.Flag216));
    line(QStringLiteral("Switch217"), flag(s.Switch217));
    line(QStringLiteral("Switch301"), flag(s.Switch301));
    line(QStringLiteral("Switch302"), flag(s.Switch302));
    const TUpperLowerPartField &u = *s.UpperLowerPartField;
    for (int i = 0; i < 3; ++i)
        line(QStringLiteral("UpperLowerPartField.Modes[%1]").arg(i + 1),
             QStringLiteral("%1 (%2)")
                 .arg(u.Modes[size_t(i)])
                 .arg(TUpperLowerPartField::ModeNames()[u.Modes[size_t(i)] % 3]));
    line(QStringLiteral("UpperLowerPartField.Flag"), flag(u.Flag));
    line(QStringLiteral("Byte13031"), QString::number(s.Byte13031));
    line(QStringLiteral("Word13030"), QString::number(s.Word13030));
    line(QStringLiteral("Byte13030"), QString::number(s.Byte13030));
    line(QStringLiteral("Text15004"), quoted(s.Text15004));
    line(QStringLiteral("Int15000"), QString::number(s.Int15000));
    line(QStringLiteral("SixDigitNumber"), quoted(s.SixDigitNumber));
    line(QStringLiteral("KNR"), QStringLiteral("Prefix=%1 ZeroMask=%2 Suffix=%3 Start=%4")
                                    .arg(quoted(s.KNR.Prefix), quoted(s.KNR.ZeroMask),
                                         quoted(s.KNR.Suffix), quoted(s.KNR.Start)));
    for (const TDIKonto &k : KontoStack()->Accounts)
        line(QStringLiteral("KontoStack[%1]").arg(k.Number),
             QStringLiteral("Name=%1 Active=%2 Numbers=%3 Mode=%4 Kind=%5 Options=%6")
                 .arg(quoted(k.Name), flag(k.Active),
                      list(QStringList(k.Numbers.begin(), k.Numbers.end())))
                 .arg(k.Mode)
                 .arg(k.Kind)
                 .arg(k.Options));
    line(QStringLiteral("Flag23001"), flag(s.Flag23001));
    line(QStringLiteral("Flag23002"), flag(s.Flag23002));
    line(QStringLiteral("Flag23003"), flag(s.Flag23003));
    line(QStringLiteral("Flag250"), flag(s.Flag250));
    line(QStringLiteral("Int76"), QString::number(s.Int76));
    line(QStringLiteral("DocumentTypes"), list(s.DocumentTypes));
    line(QStringLiteral("FreeTypeCaptions"),
         list(QStringList(s.FreeTypeCaptions.begin(), s.FreeTypeCaptions.end())));
    line(QStringLiteral("Switch951"), flag(s.Switch951));
    line(QStringLiteral("Switch4000"), flag(s.Switch4000));
    line(QStringLiteral("Flag1400"), flag(s.Flag1400));
    line(QStringLiteral("Byte1401"), QString::number(s.Byte1401));
    line(QStringLiteral("Byte1402"), QString::number(s.Byte1402));
    line(QStringLiteral("Byte16003"), QString::number(s.Byte16003));
    line(QStringLiteral("Date5024"), s.Date5024.isValid() ? s.Date5024.toString(Qt::ISODate)
                                                          : QStringLiteral("0 (kein Datum)"));
    line(QStringLiteral("Word4999"), QString::number(s.Word4999));
    line(QStringLiteral("Word5000"), QString::number(s.Word5000));
    line(QStringLiteral("Word4998"), QString::number(s.Word4998));
    line(QStringLiteral("Text4997"), quoted(s.Text4997));
    line(QStringLiteral("Flag4996"), flag(s.Flag4996));
    line(QStringLiteral("Word5001"), QString::number(s.Word5001));
    line(QStringLiteral("Word5002"), QString::number(s.Word5002));
    line(QStringLiteral("Flag5023"), flag(s.Flag5023));
    line(QStringLiteral("Float5021"), real(s.Float5021));
    line(QStringLiteral("Flag5022"), flag(s.Flag5022));
    line(QStringLiteral("Flag5025"), flag(s.Flag5025));
    line(QStringLiteral("Flag5026"), flag(s.Flag5026));
    for (size_t n = 0; n < s.AddressSets.size(); ++n) {
        const TAdr_set &a = s.AddressSets[n];
        line(QStringLiteral("AddressSets[%1]").arg(n + 1), QStringLiteral("%1 %2 Text=%3 Mode=%4")
                                                               .arg(a.Number1)
                                                               .arg(a.Number2)
                                                               .arg(quoted(a.Text))
                                                               .arg(a.Mode));
    }
    line(QStringLiteral("Codes"), list(s.Codes));
    line(QStringLiteral("CodeTexts"), list(s.CodeTexts));
    line(QStringLiteral("Float949"), real(s.Float949));
    line(QStringLiteral("Float950"), real(s.Float950));
    line(QStringLiteral("Float949Kept"), real(s.Float949Kept));
    line(QStringLiteral("Float950Kept"), real(s.Float950Kept));
    line(QStringLiteral("List1500"), list(s.List1500));
    line(QStringLiteral("List1510"), list(s.List1510));
    line(QStringLiteral("List1502"), list(s.List1502));
    line(QStringLiteral("Salutations"), list(s.Salutations));
    line(QStringLiteral("AddressKinds"), list(s.AddressKinds));
    line(QStringLiteral("List1505"), list(s.List1505));
    line(QStringLiteral("List1509"), list(s.List1509));
    for (size_t i = 0; i < s.AutoActions->Items.size(); ++i) {
        const TAutoActionItem &a = s.AutoActions->Items[i];
        const QStringList &act = TAutoActionItem::ActionNames();
        line(QStringLiteral("AutoActions[%1]").arg(i + 1),
             QStringLiteral("PDFFileAfterClose=%1 PDFFileAfterSave=%2 WVLAfterSave=%3 "
                            "WVLAfterClose=%4 PrintAfterSendClose=%5 SendAfterPrintClose=%6 "
                            "DefaultMailType=%7 BCC=%8 SLayout=%9 NextDocByClose=%10")
                 .arg(act[a.PDFFileAfterClose], act[a.PDFFileAfterSave], act[a.WVLAfterSave],
                      act[a.WVLAfterClose], act[a.PrintAfterSendClose], flag(a.SendAfterPrintClose),
                      TAutoActionItem::MailTypeNames()[a.DefaultMailType], quoted(a.BCC),
                      flag(a.SLayout))
                 .arg(flag(a.NextDocByClose)));
    }
    line(QStringLiteral("PaymentDiscountTexts"), list(s.PaymentDiscountTexts));
    line(QStringLiteral("ArticleCaptions"),
         list(QStringList(s.ArticleCaptions.begin(), s.ArticleCaptions.end())));
    line(QStringLiteral("FreeFieldCaptions"),
         list(QStringList(s.FreeFieldCaptions.begin(), s.FreeFieldCaptions.end())));
    for (size_t i = 0; i < 10; ++i)
        line(QStringLiteral("InfoFields[%1]").arg(i + 1),
             QStringLiteral("Name=%1 Caption=%2 %3 %4 (%5, %6)")
                 .arg(quoted(s.InfoFields.Names[i]), quoted(s.InfoFields.Captions[i]))
                 .arg(s.InfoFields.Bytes1[i])
                 .arg(s.InfoFields.Bytes2[i])
                 .arg(s.InfoFields.Points[i].x())
                 .arg(s.InfoFields.Points[i].y()));
    line(QStringLiteral("Percentages"), list(s.Percentages));
    line(QStringLiteral("DeliveryStates"), list(s.DeliveryStates));
    line(QStringLiteral("DueDateTexts"), list(s.DueDateTexts));
    line(QStringLiteral("List16002"), list(s.List16002));
    line(QStringLiteral("List16001"), list(s.List16001));
    line(QStringLiteral("List16010"), list(s.List16010));
    line(QStringLiteral("List16046"), list(s.List16046));
    line(QStringLiteral("UnnumberedList"), list(s.UnnumberedList));
    const TPartsGroup &p = *s.PartsGroups;
    line(QStringLiteral("PartsGroups.DefaultCode"), quoted(p.DefaultCode));
    line(QStringLiteral("PartsGroups.Mode"), QString::number(p.Mode));
    line(QStringLiteral("PartsGroups.Percentage"), QString::number(p.Percentage));
    for (size_t i = 0; i < p.Groups.size(); ++i) {
        const TPartGroup &g = p.Groups[i];
        line(QStringLiteral("PartsGroups[%1]").arg(i + 1),
             QStringLiteral("Name=%1 DisplayName=%2 Code=%3 Value=%4 Number=%5 Rules=%6")
                 .arg(quoted(g.Name), quoted(g.DisplayName), quoted(g.Code), quoted(g.Value))
                 .arg(g.Number)
                 .arg(list(g.Rules)));
    }
    for (size_t i = 0; i < 2; ++i) {
        const TlbBounds &b = s.LabelBounds.Bounds[i];
        line(QStringLiteral("LabelBounds[%1]").arg(i + 1), QStringLiteral("%1 %2 %3 %4 %5 %6")
                                                               .arg(b.Left)
                                                               .arg(b.Top)
                                                               .arg(b.Width)
                                                               .arg(quoted(b.FontName))
                                                               .arg(b.FontSize)
                                                               .arg(b.Color));
    }
    const TAdressExtraDataGrid &grid = *s.AdressExtraDataGrid;
    line(QStringLiteral("AdressExtraDataGrid.Cells.Count"), QString::number(grid.Cells.Count()));
    for (qsizetype i = 0; i < grid.Cells.Count(); ++i) {
        const TAdressExCellInfo &c = grid.Cells.Item(i);
        line(QStringLiteral("AdressExtraDataGrid.Cells[%1]").arg(i + 1),
             QStringLiteral("Col=%1 Row=%2 Gray=%3 Readonly=%4")
                 .arg(c.Col)
                 .arg(c.Row)
                 .arg(quoted(c.Gray), flag(c.Readonly)));
    }
    line(QStringLiteral("AdressExtraDataGrid.List751"), list(grid.List751));
    line(QStringLiteral("AdressExtraDataGrid.List752"), list(grid.List752));
    line(QStringLiteral("AdressExtraDataGrid.List753"), list(grid.List753));

    const TUserPrinterDef &d = *s.UserPrinterDef;
    const QString w = QStringLiteral("UserPrinterDef.");
    line(w + QStringLiteral("MailMAPI"), flag(d.MailMAPI));
    line(w + QStringLiteral("MailMAPI_Index"), quoted(d.MailMAPI_Index));
    line(w + QStringLiteral("MailMAPI_Kind"), QString::number(d.MailMAPI_Kind));
    line(w + QStringLiteral("MailMAPI_Profil"), quoted(d.MailMAPI_Profil));
    line(w + QStringLiteral("MailMAPI_ProfilePassword"), quoted(d.MailMAPI_ProfilePassword));
    line(w + QStringLiteral("DuplexType"), QString::number(d.DuplexType));
    for (int i = 0; i < TUserPrinterDef::CopyKinds; ++i)
        line(w + QStringLiteral("Copies[%1]").arg(i), QStringLiteral("%1 %2")
                                                          .arg(quoted(d.CopiesCaption[size_t(i)]))
                                                          .arg(d.CopiesCount[size_t(i)]));
    line(w + QStringLiteral("PrinterDefault"), quoted(d.PrinterDefault));
    line(w + QStringLiteral("PrinterFax"), quoted(d.PrinterFax));
    line(w + QStringLiteral("PrinterScript"), quoted(d.PrinterScript));
    line(w + QStringLiteral("QuoteAnswercontact"), quoted(d.QuoteAnswercontact));
    line(w + QStringLiteral("QuoteAutoAnswercontact"), flag(d.QuoteAutoAnswercontact));
    line(w + QStringLiteral("QuoteAnswercontactVS"), quoted(d.QuoteAnswercontactVS));
    line(w + QStringLiteral("QuoteAutoAnswercontactVS"), flag(d.QuoteAutoAnswercontactVS));
    line(w + QStringLiteral("CanChangeCloseOrder"), QString::number(d.CanChangeCloseOrder));
    line(w + QStringLiteral("InCludeNumbernSelector"), flag(d.InCludeNumbernSelector));
    line(w + QStringLiteral("InCludePartsNoSelector"), flag(d.InCludePartsNoSelector));
    line(w + QStringLiteral("InCludeAdressGroupSelector"), flag(d.InCludeAdressGroupSelector));
    line(w + QStringLiteral("AdressSecondGray"), flag(d.AdressSecondGray));
    line(w + QStringLiteral("LayoutDataGridCanChange"), flag(d.LayoutDataGridCanChange));
    line(w + QStringLiteral("DatagridHighWidth"), QString::number(d.DatagridHighWidth));
    line(w + QStringLiteral("LayoutZZSKAfterSumme"), flag(d.LayoutZZSKAfterSumme));
    line(w + QStringLiteral("DefaultExPage"), flag(d.DefaultExPage));
    line(w + QStringLiteral("NoneTaxUser"), flag(d.NoneTaxUser));
    line(w + QStringLiteral("QuoteCharCount"), QString::number(d.QuoteCharCount));
    line(w + QStringLiteral("ForceNewOrderAdressChanger"),
         QString::number(d.ForceNewOrderAdressChanger));
    line(w + QStringLiteral("SoftReturn_MaxLines"), QString::number(d.SoftReturn_MaxLines));
    line(w + QStringLiteral("SoftReturnChar"), quoted(d.SoftReturnChar));
    line(w + QStringLiteral("CashGrayText"), quoted(d.CashGrayText));
    line(w + QStringLiteral("CashGrayTextPart"), quoted(d.CashGrayTextPart));
    line(w + QStringLiteral("CashRechnungIdent"), quoted(d.CashRechnungIdent));
    line(w + QStringLiteral("SchedulerDayTime"),
         d.SchedulerDayTime.toString(QStringLiteral("HH:mm")));
    line(w + QStringLiteral("SchedulerWakeup"), flag(d.SchedulerWakeup));
    line(w + QStringLiteral("TimeColorsCount"), QString::number(d.TimeColorsCount));
    line(w + QStringLiteral("MaxLinks"), QString::number(d.MaxLinks));
    line(w + QStringLiteral("InternMemoMaxCount"), QString::number(d.InternMemoMaxCount));
    line(w + QStringLiteral("CopiesList"), QString::number(d.CopiesList));
    line(w + QStringLiteral("UseOnlySoundex"), flag(d.UseOnlySoundex));
    line(w + QStringLiteral("Sharpness"), QString::number(d.Sharpness));
    line(w + QStringLiteral("DoublecheckAdress_Sharpness"),
         QString::number(d.DoublecheckAdress_Sharpness));
    line(w + QStringLiteral("SoundexLevels"), QString::number(d.SoundexLevels));
    line(w + QStringLiteral("UserFontSizeDatagrid"), QString::number(d.UserFontSizeDatagrid));
    line(w + QStringLiteral("UserFirstFocusControlOrder"),
         QString::number(d.UserFirstFocusControlOrder));
    line(w + QStringLiteral("UserFirstFocusControlOrder_brief"),
         QString::number(d.UserFirstFocusControlOrder_brief));
    line(w + QStringLiteral("DatagridSecondHeigth"), QString::number(d.DatagridSecondHeigth));
    line(w + QStringLiteral("DatagridHeigth"), QString::number(d.DatagridHeigth));
    line(w + QStringLiteral("RTFHeigth"), QString::number(d.RTFHeigth));
    line(w + QStringLiteral("PayInAutoIntern"), QString::number(d.PayInAutoIntern));
    line(w + QStringLiteral("ClickSound"), flag(d.ClickSound));
    line(w + QStringLiteral("AutoHis"), flag(d.AutoHis));
    line(w + QStringLiteral("NewArtlager"), flag(d.NewArtlager));
    line(w + QStringLiteral("ContactMailSubject"), quoted(d.ContactMailSubject));
    line(w + QStringLiteral("PrivatContactMailSubject"), quoted(d.PrivatContactMailSubject));
    line(w + QStringLiteral("PrivatContactSendHeader"), flag(d.PrivatContactSendHeader));
    line(w + QStringLiteral("PrivatContactMandantUse"), flag(d.PrivatContactMandantUse));
    line(w + QStringLiteral("DefaultMailtypePrivat"), quoted(d.DefaultMailtypePrivat));
    line(w + QStringLiteral("InsertDateByHTMLMail"), flag(d.InsertDateByHTMLMail));
    line(w + QStringLiteral("AttachFolder"), quoted(d.AttachFolder));
    line(w + QStringLiteral("PdfBackupDir"), quoted(d.PdfBackupDir));
    line(w + QStringLiteral("DBIN"), quoted(d.DBIN));
    line(w + QStringLiteral("UsePrinterDialog"), flag(d.UsePrinterDialog));
    line(w + QStringLiteral("DefaultPrinterBinName2"), quoted(d.DefaultPrinterBinName2));
    line(w + QStringLiteral("BinFirstPrinterPage2_Name"), quoted(d.BinFirstPrinterPage2_Name));
    line(w + QStringLiteral("BinSecondPrinterPage2_Name"), quoted(d.BinSecondPrinterPage2_Name));
    line(w + QStringLiteral("DefaultFont"), QStringLiteral("%1 %2 Style=%3 Color=%4")
                                                .arg(quoted(d.DefaultFont.Name))
                                                .arg(d.DefaultFont.Size)
                                                .arg(d.DefaultFont.Style)
                                                .arg(color(d.DefaultFont.Color)));
    line(w + QStringLiteral("DefaultArtikelFontcolor"), color(d.DefaultArtikelFontcolor));
    line(w + QStringLiteral("DefaultArtikelLagercolor"), color(d.DefaultArtikelLagercolor));
    line(w + QStringLiteral("UseDefaultFontByTextBlock"), flag(d.UseDefaultFontByTextBlock));
    line(w + QStringLiteral("UseAutoInsertBriefanrede"), flag(d.UseAutoInsertBriefanrede));
    line(w + QStringLiteral("UseAutoFormatBriefanrede"), flag(d.UseAutoFormatBriefanrede));
    line(w + QStringLiteral("MessageAfterPrint"), flag(d.MessageAfterPrint));
    line(w + QStringLiteral("DefaultFileType"), quoted(d.DefaultFileType));
    line(w + QStringLiteral("LanguageName"), quoted(d.LanguageName));
}

} // namespace SettingsDump
