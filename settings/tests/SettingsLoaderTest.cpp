// The settings loader on settings tables made with the engine in a temporary folder.
#include "SettingsTableFixture.h"

#include "data/Field.h"
#include "data/MemTable.h"
#include "platform/FormatSettings.h"
#include "settings/DecimalPlacesMode.h"
#include "settings/PackedStream.h"
#include "settings/SettingsTableReader.h"
#include "settings/TDIKontoStack.h"
#include "settings/TSettings.h"

#include <functional>

namespace {

class SettingsLoader : public SettingsTableFixture {
protected:
    void SetUp() override {
        SettingsTableFixture::SetUp();
        m_format = formatSettings();
        formatSettings().decimalSeparator = u',';
        formatSettings().shortDateFormat = QStringLiteral("dd.MM.yyyy");
    }
    void TearDown() override {
        formatSettings() = m_format;
        SettingsTableFixture::TearDown();
    }

    // Loads a new settings object from the table as it stands.
    std::unique_ptr<TSettings> LoadNew() {
        auto s = std::make_unique<TSettings>();
        Load(s.get(), Open());
        return s;
    }

private:
    FormatSettings m_format;
};

TEST_F(SettingsLoader, EmptyTableGivesTheLoaderDefaultsWithoutAnyMessage) {
    const auto s = LoadNew();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_EQ(s->OptionFlags, (std::array<bool, 6>{}));
    EXPECT_EQ(s->DocumentCaptions.Sets[12].Captions[2], QStringLiteral("+Steuer [ST1]%:"));
    EXPECT_EQ(s->DocumentCaptions.Sets[0].Captions[6], QStringLiteral("enthaltene Steuer [ST1]%:"));
    EXPECT_EQ(s->DocumentCaptions.Headers[2], QStringLiteral("Kundennummer "));
    EXPECT_EQ(s->AlterCurrency->Captions.Sets[5].Captions[3], QStringLiteral("Rechnungsbetrag:"));
    EXPECT_EQ(s->AlterCurrency->Rate, 1.5);
    EXPECT_EQ(s->AlterCurrency->Label, QStringLiteral(" 2.W."));
    EXPECT_EQ(s->AlterCurrency->Enabled, 0);
    EXPECT_EQ(s->VSOBJ->Table()->RecordCount(), 0);
    EXPECT_EQ(s->PriorityList, QStringList({"Normal", "Wichtig", "Sehr Wichtig"}));
    EXPECT_EQ(s->HTML->Number, 0);
    EXPECT_EQ(s->HTML->Factor1, 0);
    EXPECT_EQ(s->Byte12000, 2);
    EXPECT_EQ(s->OptionBits12011, 3);
    EXPECT_EQ(s->Int51004, -1);
    EXPECT_EQ(s->Byte214, 1);
    EXPECT_TRUE(s->Switch217 && s->Switch301 && s->Switch302 && s->Switch951);
    EXPECT_FALSE(s->Switch4000);
    EXPECT_EQ(s->Byte13031, 1);
    EXPECT_EQ(s->SixDigitNumber, QStringLiteral("000000"));
    EXPECT_EQ(s->KNR.ZeroMask, QStringLiteral("0"));
    EXPECT_TRUE(s->Flag23001);
    EXPECT_EQ(s->Int76, 1);
    EXPECT_EQ(s->DocumentTypes,
              QStringList({"Nicht ändern", "LIEFERSCHEIN", "AUFTRAGSBESTÄTIGUNG"}));
    EXPECT_EQ(s->FreeTypeCaptions[4], QStringLiteral("FREIER TYP 5"));
    EXPECT_EQ(s->Byte1401, 0);
    EXPECT_FALSE(s->Date5024.isValid());
    EXPECT_EQ(s->Word5000, 10);
    EXPECT_EQ(s->Word4998, 30);
    EXPECT_EQ(s->Word5001, 30);
    EXPECT_EQ(s->Word5002, 50);
    EXPECT_TRUE(s->Flag5023);
    EXPECT_EQ(s->Float5021, 20.0);
    EXPECT_EQ(s->AddressSets[3].Number1, 13);
    EXPECT_EQ(s->AddressSets[3].Number2, 3);
    EXPECT_EQ(s->List1510.size(), 81);
    EXPECT_EQ(s->Salutations, QStringList({"Sehr geehrte Frau,", "Sehr geehrter Herr,"}));
    EXPECT_EQ(s->AddressKinds, QStringList({"Interessenten", "Kunden"}));
    EXPECT_EQ(s->AutoActions->Items.size(), 14u);
    EXPECT_EQ(s->AutoActions->Items[13], TAutoActionItem());
    EXPECT_EQ(s->PaymentDiscountTexts.size(), 5);
    EXPECT_EQ(s->PaymentDiscountTexts[4], QStringLiteral("5"));
    EXPECT_EQ(s->ArticleCaptions[2], QStringLiteral("Bestellnummer"));
    EXPECT_EQ(s->FreeFieldCaptions[4], QStringLiteral("Freifeld5"));
    EXPECT_EQ(s->InfoFields.Names[9], QStringLiteral("INFO10"));
    EXPECT_EQ(s->Percentages, QStringList({"5", "10", "15", "20", "25", "30"}));
    EXPECT_EQ(s->DeliveryStates, QStringList({"lieferbar", "nicht lieferbar"}));
    EXPECT_EQ(s->DueDateTexts.size(), 69);
    EXPECT_EQ(s->DueDateTexts[4], QStringLiteral("14"));
    ASSERT_EQ(s->PartsGroups->Groups.size(), 1u);
    EXPECT_EQ(s->PartsGroups->Groups[0].Name, QStringLiteral("Alle"));
    EXPECT_EQ(s->PartsGroups->Groups[0].Code, QStringLiteral("2"));
    EXPECT_EQ(s->PartsGroups->DefaultCode, QStringLiteral("2"));
    EXPECT_EQ(s->PartsGroups->Percentage, 100);
    EXPECT_EQ(s->LabelBounds.Bounds[0].FontSize, 24);
    EXPECT_EQ(s->LabelBounds.Bounds[1].FontSize, 8);
    EXPECT_EQ(s->LabelBounds.Bounds[1].Color, 8421504);
    EXPECT_EQ(s->AdressExtraDataGrid->Cells.Count(), 0);
    EXPECT_EQ(s->UserPrinterDef->SoftReturnChar, QStringLiteral("¬"));
    EXPECT_EQ(s->UserPrinterDef->CanChangeCloseOrder, 100);
    EXPECT_EQ(s->UserPrinterDef->DefaultArtikelFontcolor, 128);
    EXPECT_EQ(s->UserPrinterDef->DefaultArtikelLagercolor, 16775914);
    EXPECT_EQ(s->UserPrinterDef->SchedulerDayTime, QTime(9, 0));
    EXPECT_EQ(s->UserPrinterDef->LanguageName, localeLanguageName().left(128));
}

TEST(TSettingsConstructor, DiffersFromALoadedObjectOnlyWhereListed) {
    TSettings s;
    EXPECT_EQ(s.DocumentCaptions.Sets[7].Captions[2], QStringLiteral("+Steuer: [ST1]%"));
    EXPECT_EQ(s.AlterCurrency->Captions.Sets[0].Captions[2], QStringLiteral("+Steuer: [ST1]%"));
    EXPECT_EQ(s.Byte12000, 0);
    EXPECT_EQ(s.KNR.ZeroMask, QStringLiteral("0"));
    EXPECT_EQ(s.HTML->Number, 2);
    EXPECT_EQ(s.HTML->Factor1, 0);
    // Values the loader does not reset start empty, off or 0.
    EXPECT_EQ(s.AlterCurrency->Rate, 0);
    EXPECT_FALSE(s.Flag903);
    EXPECT_EQ(s.Word4999, 0);
    EXPECT_TRUE(s.Stream8101.isEmpty());
    EXPECT_EQ(s.Byte12013, 2);
}

// --- Row details: each case writes rows and checks what the loader made of them ----------

struct RowCase {
    const char *name;
    std::function<void(SettingsTableFixture &f)> rows;
    std::function<void(const TSettings &s)> check;
};

class RowDetails : public SettingsLoader, public ::testing::WithParamInterface<RowCase> {};

TEST_P(RowDetails, AreReadAsTheCatalogueSays) {
    GetParam().rows(*this);
    const auto s = LoadNew();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    GetParam().check(*s);
}

void put(SettingsTableFixture &f, int ident, const QString &text, const QByteArray &memo = {}) {
    f.Put(ident, text, memo);
}
void lines(SettingsTableFixture &f, int ident, const QStringList &l, const QString &text = {}) {
    f.PutLines(ident, l, text);
}

QByteArray s(const QByteArray &text) {
    return char(text.size()) + text;
}

QByteArray cellStream(int col) {
    return "TPF0" + s("TAdressExCellInfosWrapper") + s("") + s("AdressExCellInfos") +
           QByteArray("\x0E\x01", 2) + s("Col") + QByteArray("\x02", 1) + char(col) + s("Gray") +
           QByteArray("\x06", 1) + s("grau") + QByteArray(4, '\0');
}

QByteArray gzip(const QByteArray &plain);

const RowCase kRowCases[] = {
    {"OptionFlags",
     [](SettingsTableFixture &f) {
         lines(f, 1530, {"1", "0", "1"});
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.OptionFlags, (std::array<bool, 6>{true, false, true, false, false, false}));
     }},
    {"CaptionsFromTextAndLines",
     [](SettingsTableFixture &f) {
         lines(f, 21003, {"Steuer netto 2", "", "Steuer netto 4"}, "Steuer 1");
         put(f, 21010, "Datum:");
         put(f, 21011, "");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.DocumentCaptions.Sets[0].Captions[2], QStringLiteral("Steuer 1"));
         EXPECT_EQ(t.DocumentCaptions.Sets[1].Captions[2], QStringLiteral("Steuer netto 2"));
         EXPECT_EQ(t.DocumentCaptions.Sets[2].Captions[2], QString());
         EXPECT_EQ(t.DocumentCaptions.Sets[3].Captions[2], QStringLiteral("Steuer netto 4"));
         EXPECT_EQ(t.DocumentCaptions.Sets[4].Captions[2], QStringLiteral("+Steuer [ST1]%:"));
         // String fields come right-trimmed; an empty text leaves the default.
         EXPECT_EQ(t.DocumentCaptions.Headers[1], QStringLiteral("Datum:"));
         EXPECT_EQ(t.DocumentCaptions.Headers[2], QStringLiteral("Kundennummer "));
         // The second currency is disabled: its captions are copies of the documents'.
         EXPECT_EQ(t.AlterCurrency->Captions.Sets[3].Captions[2], QStringLiteral("Steuer netto 4"));
     }},
    {"SecondCurrencyEnabled",
     [](SettingsTableFixture &f) {
         put(f, 20012, "1");
         put(f, 20010, "2,5");
         put(f, 200011, "CHF");
         put(f, 200030, "257");
         put(f, 200031, "3");
         lines(f, 20005, {"Zwischensumme CHF"}, "");
         put(f, 31010, "Am");
     },
     [](const TSettings &t) {
         const TAlterCurrencyInfo &a = *t.AlterCurrency;
         EXPECT_EQ(a.Enabled, 1);
         EXPECT_EQ(a.Rate, 2.5);
         EXPECT_EQ(a.Label, QStringLiteral("CHF"));
         EXPECT_EQ(a.Option1, 1);
         EXPECT_EQ(a.Option2, 3);
         EXPECT_EQ(a.Captions.Sets[0].Captions[2], QStringLiteral("+Steuer [ST1]%:"));
         EXPECT_EQ(a.Captions.Sets[1].Captions[2], QStringLiteral("Zwischensumme CHF"));
         EXPECT_EQ(a.Captions.Headers[1], QStringLiteral("Am"));
         EXPECT_EQ(a.Captions.Headers[0], QStringLiteral("Nr:"));
     }},
    {"RateOutsideItsRange",
     [](SettingsTableFixture &f) {
         put(f, 20012, "1");
         put(f, 20010, "0.005");
     },
     [](const TSettings &t) { EXPECT_EQ(t.AlterCurrency->Rate, 1.5); }},
    {"RateTooHigh",
     [](SettingsTableFixture &f) {
         put(f, 20012, "1");
         put(f, 20010, "150");
     },
     [](const TSettings &t) { EXPECT_EQ(t.AlterCurrency->Rate, 1.5); }},
    {"SecondCurrencyDisabledKeepsTheDefaultLabel",
     [](SettingsTableFixture &f) {
         put(f, 200011, "USD");
         put(f, 20010, "3");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.AlterCurrency->Label, QStringLiteral(" 2.W."));
         EXPECT_EQ(t.AlterCurrency->Rate, 1.5);
     }},
    {"OptionBits12011Zero", [](SettingsTableFixture &f) { put(f, 12011, "0"); },
     [](const TSettings &t) { EXPECT_EQ(t.OptionBits12011, 2); }},
    {"OptionBits12011Empty", [](SettingsTableFixture &f) { put(f, 12011, ""); },
     [](const TSettings &t) { EXPECT_EQ(t.OptionBits12011, 3); }},
    {"OptionBits12011TenAndText", [](SettingsTableFixture &f) { put(f, 12011, "10"); },
     [](const TSettings &t) { EXPECT_EQ(t.OptionBits12011, 1); }},
    {"SixDigitsFromSeven", [](SettingsTableFixture &f) { put(f, 15001, "0001234"); },
     [](const TSettings &t) { EXPECT_EQ(t.SixDigitNumber, QStringLiteral("001234")); }},
    {"SixDigitsFromTwo", [](SettingsTableFixture &f) { put(f, 15001, "12"); },
     [](const TSettings &t) { EXPECT_EQ(t.SixDigitNumber, QStringLiteral("120000")); }},
    {"SixDigitsAbove900000", [](SettingsTableFixture &f) { put(f, 15001, "950000"); },
     [](const TSettings &t) { EXPECT_EQ(t.SixDigitNumber, QStringLiteral("900000")); }},
    {"SixDigitsEmpty", [](SettingsTableFixture &f) { put(f, 15001, ""); },
     [](const TSettings &t) { EXPECT_EQ(t.SixDigitNumber, QStringLiteral("000000")); }},
    {"NumbersFlagsAndWidths",
     [](SettingsTableFixture &f) {
         put(f, 12000, "513"); // byte: low 8 bits
         put(f, 12013, "x");   // number(2)
         put(f, 212, "  Mitte  ");
         put(f, 51004, "nein");
         put(f, 903, "256"); // flag of the low byte: off
         put(f, 10000, "3");
         put(f, 4999, "70000"); // word: low 16 bits
         put(f, 1401, "x");
         put(f, 16003, "5");
         put(f, 13031, "7");
         put(f, 951, "2");
         put(f, 4000, "1");
         put(f, 217, "ja");
         put(f, 5024, "24.12.2026");
         put(f, 5021, "16,5");
         put(f, 5022, "1");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.Byte12000, 1);
         EXPECT_EQ(t.Byte12013, 2);
         EXPECT_EQ(t.Text212, QStringLiteral("Mitte"));
         EXPECT_EQ(t.Int51004, -1);
         EXPECT_FALSE(t.Flag903);
         EXPECT_TRUE(t.Flag10000);
         EXPECT_EQ(t.Word4999, 70000 & 0xFFFF);
         EXPECT_EQ(t.Byte1401, 1);
         EXPECT_EQ(t.Byte1402, 0);
         EXPECT_EQ(t.Byte16003, 0);
         EXPECT_EQ(t.Byte13031, 1);
         EXPECT_FALSE(t.Switch951);
         EXPECT_TRUE(t.Switch4000);
         EXPECT_FALSE(t.Switch217);
         EXPECT_EQ(t.Date5024, QDate(2026, 12, 24));
         EXPECT_EQ(t.Float5021, 16.5);
         EXPECT_TRUE(t.Flag5022);
     }},
    {"UpperLowerPartField", [](SettingsTableFixture &f) { put(f, 666, "125"); },
     [](const TSettings &t) {
         EXPECT_EQ(t.UpperLowerPartField->Modes, (std::array<quint8, 3>{1, 2, 0}));
         EXPECT_FALSE(t.UpperLowerPartField->Flag);
     }},
    {"UpperLowerPartFieldFlag", [](SettingsTableFixture &f) { put(f, 666, "2 11"); },
     [](const TSettings &t) {
         EXPECT_EQ(t.UpperLowerPartField->Modes, (std::array<quint8, 3>{2, 0, 1}));
         EXPECT_TRUE(t.UpperLowerPartField->Flag);
     }},
    {"Word13030", [](SettingsTableFixture &f) { put(f, 13030, "7"); },
     [](const TSettings &t) {
         EXPECT_EQ(t.Word13030, 7);
         EXPECT_EQ(t.Byte13030, 0);
     }},
    {"NumberPattern",
     [](SettingsTableFixture &f) {
         lines(f, 16009, {"0x0a0000000000", " /2026 ", "0012345"}, "  RE-");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.KNR.Prefix, QStringLiteral("RE-"));
         EXPECT_EQ(t.KNR.ZeroMask, QStringLiteral("00000000"));
         EXPECT_EQ(t.KNR.Suffix, QStringLiteral("/2026"));
         EXPECT_EQ(t.KNR.Start, QStringLiteral("12345"));
     }},
    {"NumberPatternStartCutFromTheRight",
     [](SettingsTableFixture &f) {
         lines(f, 16009, {"000", "", "1005"}, "A");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.KNR.ZeroMask, QStringLiteral("000"));
         EXPECT_EQ(t.KNR.Start, QStringLiteral("5"));
     }},
    {"NumberPatternLongSuffix",
     [](SettingsTableFixture &f) {
         lines(f, 16009, {"000000", "ABCDEFGHIJKL", ""}, "PREFIX");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.KNR.Suffix, QStringLiteral("ABCDEFGH"));
         EXPECT_EQ(t.KNR.Start, QString());
     }},
    {"Accounts",
     [](SettingsTableFixture &f) {
         lines(f, 16012,
               {"8400;Erlöse Handel;1;12345;0;7;2;1;3", "9999;Unbekannt;1",
                "1000;Kasse Laden;0;;;;9;5;4"});
     },
     [](const TSettings &) {
         const TDIKonto *k = KontoStack()->Find(8400);
         ASSERT_NE(k, nullptr);
         EXPECT_EQ(k->Name, QStringLiteral("Erlöse Handel"));
         EXPECT_TRUE(k->Active);
         EXPECT_EQ(k->Numbers, (std::array<QString, 3>{"1234", "", "7"}));
         EXPECT_EQ(k->Mode, 2);
         EXPECT_EQ(k->Kind, 1);
         EXPECT_EQ(k->Options, 3);
         EXPECT_EQ(KontoStack()->Find(9999), nullptr);
         const TDIKonto *kasse = KontoStack()->Find(1000);
         EXPECT_EQ(kasse->Name, QStringLiteral("Kasse Laden"));
         EXPECT_EQ(kasse->Mode, 0);
         EXPECT_EQ(kasse->Kind, 0);
         EXPECT_EQ(kasse->Options, 0);
     }},
    {"DocumentTypesBeginningWithNichtAendern",
     [](SettingsTableFixture &f) {
         lines(f, 202, {"Nicht ändern (alle)", "RECHNUNG"});
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.DocumentTypes, QStringList({"Nicht ändern (alle)", "RECHNUNG"}));
     }},
    {"DocumentTypesGetNichtAendernFirst",
     [](SettingsTableFixture &f) { lines(f, 202, {"RECHNUNG"}); },
     [](const TSettings &t) {
         EXPECT_EQ(t.DocumentTypes, QStringList({"Nicht ändern", "RECHNUNG"}));
     }},
    {"DocumentTypesEmptyRow", [](SettingsTableFixture &f) { put(f, 202, "x"); },
     [](const TSettings &t) { EXPECT_EQ(t.DocumentTypes.size(), 3); }},
    {"FreeTypeCaptions",
     [](SettingsTableFixture &f) {
         lines(f, 201, {"", "Typ drei"}, "Typ eins");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.FreeTypeCaptions,
                   (std::array<QString, 5>{"Typ eins", "FREIER TYP 2", "Typ drei", "FREIER TYP 4",
                                           "FREIER TYP 5"}));
     }},
    {"AddressSets",
     [](SettingsTableFixture &f) {
         put(f, 2003, "Lieferanschrift");
         put(f, 3003, "2");
         put(f, 3004, "7");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.AddressSets[2].Text, QStringLiteral("Lieferanschrift"));
         EXPECT_EQ(t.AddressSets[2].Mode, 2);
         EXPECT_EQ(t.AddressSets[3].Mode, 0);
     }},
    {"Codes",
     [](SettingsTableFixture &f) {
         lines(f, 920, {"AArtikel", "B", "", "C" + QString(60, u'x')});
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.Codes, QStringList({"A", "B", " ", "C"}));
         EXPECT_EQ(t.CodeTexts, QStringList({"Artikel", " ", " ", QString(50, u'x')}));
     }},
    {"FloatPairWithCopies",
     [](SettingsTableFixture &f) {
         put(f, 949, "1,25");
         put(f, 950, "x");
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.Float949, 1.25);
         EXPECT_EQ(t.Float949Kept, 1.25);
         EXPECT_EQ(t.Float950, 0);
     }},
    {"ListsSortedAndPadded",
     [](SettingsTableFixture &f) {
         lines(f, 1502, {"beta", "Alpha", "gamma"});
         lines(f, 1501, {"Liebe Kundin,", "Hallo"});
         lines(f, 1510, {"eins"});
         lines(f, 1506, {"Lieferanten"});
         put(f, 1507, "", QByteArray());
         lines(f, 12018, {"sofort"});
         lines(f, 16045, {"Niedrig"});
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.List1502, QStringList({"Alpha", "beta", "gamma"}));
         EXPECT_EQ(t.Salutations, QStringList({"Hallo", "Liebe Kundin,"}));
         EXPECT_EQ(t.List1510.size(), 81);
         EXPECT_EQ(t.List1510[0], QStringLiteral("eins"));
         EXPECT_EQ(t.AddressKinds, QStringList({"Lieferanten"}));
         EXPECT_EQ(t.PaymentDiscountTexts, QStringList({"", "", "", "", ""}));
         EXPECT_EQ(t.DeliveryStates, QStringList({"sofort"}));
         EXPECT_EQ(t.PriorityList, QStringList({"Niedrig"}));
     }},
    {"ArticleCaptionsAndInfoFields",
     [](SettingsTableFixture &f) {
         QStringList l = {"Name", "", "Art.-Nr.", "INFO3=Farbe", "Gewicht", "=leer"};
         while (l.size() < 30)
             l << QString();
         l << "Frei A"
           << ""
           << "Frei C";
         lines(f, 1512, l);
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.ArticleCaptions, (std::array<QString, 3>{"Name", "Bezeichnung2", "Art.-Nr."}));
         EXPECT_EQ(t.InfoFields.Names[0], QStringLiteral("INFO3"));
         EXPECT_EQ(t.InfoFields.Captions[0], QStringLiteral("Farbe"));
         EXPECT_EQ(t.InfoFields.Names[1], QStringLiteral("INFO2"));
         EXPECT_EQ(t.InfoFields.Names[2], QStringLiteral("INFO3"));
         EXPECT_EQ(t.InfoFields.Captions[2], QString());
         EXPECT_EQ(t.FreeFieldCaptions, (std::array<QString, 5>{"Frei A", "Freifeld2", "Frei C",
                                                                "Freifeld4", "Freifeld5"}));
     }},
    {"PartsGroupsWithoutLines", [](SettingsTableFixture &f) { lines(f, 650, {}); },
     [](const TSettings &t) {
         ASSERT_EQ(t.PartsGroups->Groups.size(), 1u);
         EXPECT_EQ(t.PartsGroups->Groups[0].DisplayName, QStringLiteral("Alle"));
         EXPECT_EQ(t.PartsGroups->Groups[0].Number, 0);
     }},
    {"PartsGroups",
     [](SettingsTableFixture &f) {
         put(f, 964, "7");
         put(f, 219, "5");
         put(f, 661, "150");
         lines(f, 650, {"#10 Zehn", "alpha", "#2 Zwei"});
         lines(f, 651, {"10.5", "-3,2x1", "abc"});
         lines(f, 660, {"A"});
         lines(f, 663, {"vk*1.5 + a", "(vkek+2)\t*3", "2"});
     },
     [](const TSettings &t) {
         const TPartsGroup &p = *t.PartsGroups;
         EXPECT_EQ(p.DefaultCode, QStringLiteral("7"));
         EXPECT_EQ(p.Mode, 0);
         EXPECT_EQ(p.Percentage, 100);
         ASSERT_EQ(p.Groups.size(), 3u);
         EXPECT_EQ(p.Groups[0].DisplayName, QStringLiteral(" Zwei"));
         EXPECT_EQ(p.Groups[0].Number, 2);
         EXPECT_EQ(p.Groups[0].Code, QString());
         EXPECT_EQ(p.Groups[0].Rules, QStringList({"VKEK2"}));
         EXPECT_EQ(p.Groups[1].DisplayName, QStringLiteral(" Zehn"));
         EXPECT_EQ(p.Groups[1].Name, QStringLiteral("#10 Zehn"));
         EXPECT_EQ(p.Groups[1].Code, QStringLiteral("*10,5"));
         EXPECT_EQ(p.Groups[1].Value, QStringLiteral("A"));
         EXPECT_EQ(p.Groups[1].Rules, QStringList({"VK*1,5 + "}));
         EXPECT_EQ(p.Groups[2].DisplayName, QStringLiteral("alpha"));
         EXPECT_EQ(p.Groups[2].Code, QStringLiteral("-3,21"));
         EXPECT_EQ(p.Groups[2].Value, QString());
         EXPECT_EQ(p.Groups[2].Rules, QStringList({"(VKEK+2)", "*3"}));
     }},
    {"LabelBounds",
     [](SettingsTableFixture &f) {
         lines(f, 652, {"5", "x", "", "", "12", "255", "1"});
     },
     [](const TSettings &t) {
         const TlbBounds &a = t.LabelBounds.Bounds[0];
         EXPECT_EQ(a.Left, 5);
         EXPECT_EQ(a.Top, 20);
         EXPECT_EQ(a.Width, 150);
         EXPECT_EQ(a.FontName, QStringLiteral("ARIAL"));
         EXPECT_EQ(a.FontSize, 12);
         EXPECT_EQ(a.Color, 255);
         EXPECT_EQ(t.LabelBounds.Bounds[1].Left, 1);
         EXPECT_EQ(t.LabelBounds.Bounds[1].FontSize, 8);
     }},
    {"HtmlTemplateAndLayout",
     [](SettingsTableFixture &f) {
         lines(f, 14500, {"<html>", "</html>"});
         lines(f, 14501, {"1,5", "1.5", "1", "0"});
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.HTML->Template, QStringList({"<html>", "</html>"}));
         EXPECT_EQ(t.HTML->Factor1, 1.5);
         EXPECT_EQ(t.HTML->Factor2, 1.0);
         EXPECT_EQ(t.HTML->Switches, (std::array<bool, 3>{true, false, false}));
         EXPECT_EQ(t.HTML->Number, 2);
     }},
    {"PackedStreams",
     [](SettingsTableFixture &f) {
         put(f, 8101, "", PackedStream::Pack("Vorlage eins"));
         put(f, 8102, "", QByteArray("keine deflate-Daten"));
         put(f, 8103, "", gzip("Vorlage drei"));
     },
     [](const TSettings &t) {
         EXPECT_EQ(t.Stream8101, QByteArray("Vorlage eins"));
         EXPECT_EQ(t.Stream8102, QByteArray("keine deflate-Daten"));
         EXPECT_EQ(t.Stream8103, QByteArray("Vorlage drei"));
     }},
    {"TaxTexts",
     [](SettingsTableFixture &f) {
         put(f, 20, "",
             Cp1252::fromQString(QStringLiteral(
                 "MwSt.;\"inkl. 19 %\";\"Netto; 19\";;1;19,5\r\nermäßigt;;;;2;7\r\n")));
     },
     [](const TSettings &t) {
         TMemTable *m = t.VSOBJ->Table();
         ASSERT_EQ(m->RecordCount(), 2);
         m->First();
         EXPECT_EQ(m->FieldByName(QStringLiteral("Text2"))->AsString(),
                   QStringLiteral("inkl. 19 %"));
         EXPECT_EQ(m->FieldByName(QStringLiteral("Text1Netto"))->AsString(),
                   QStringLiteral("Netto; 19"));
         EXPECT_EQ(m->FieldByName(QStringLiteral("Value"))->AsFloat(), 19.5);
         m->Next();
         EXPECT_EQ(m->FieldByName(QStringLiteral("Text"))->AsString(), QStringLiteral("ermäßigt"));
         EXPECT_EQ(m->FieldByName(QStringLiteral("Steuer"))->AsInteger(), 2);
     }},
    {"TaxTextsDamaged",
     [](SettingsTableFixture &f) { put(f, 20, "", QByteArray("a;b;c;d;keine Zahl;1\r\n")); },
     [](const TSettings &t) { EXPECT_EQ(t.VSOBJ->Table()->RecordCount(), 0); }},
    {"GridCellsPacked",
     [](SettingsTableFixture &f) {
         put(f, 754, "", PackedStream::Pack(cellStream(4)));
         lines(f, 752, {"Telefon", "Fax"});
     },
     [](const TSettings &t) {
         const TAdressExCellInfos &c = t.AdressExtraDataGrid->Cells;
         ASSERT_EQ(c.Count(), 1);
         EXPECT_EQ(c.Item(0).Col, 4);
         EXPECT_EQ(c.Item(0).Gray, QStringLiteral("grau"));
         EXPECT_FALSE(c.Loading);
         EXPECT_EQ(t.AdressExtraDataGrid->List752, QStringList({"Telefon", "Fax"}));
     }},
    {"GridCellsUnpacked", [](SettingsTableFixture &f) { put(f, 754, "", cellStream(9)); },
     [](const TSettings &t) {
         ASSERT_EQ(t.AdressExtraDataGrid->Cells.Count(), 1);
         EXPECT_EQ(t.AdressExtraDataGrid->Cells.Item(0).Col, 9);
     }},
    {"GridCellsDamaged",
     [](SettingsTableFixture &f) { put(f, 754, "", PackedStream::Pack(cellStream(4).left(60))); },
     [](const TSettings &t) {
         EXPECT_EQ(t.AdressExtraDataGrid->Cells.Count(), 0);
         EXPECT_FALSE(t.AdressExtraDataGrid->Cells.Loading);
     }},
    {"AutoActionsDamagedArePaddedDefaults",
     [](SettingsTableFixture &f) { put(f, 1511, "", QByteArray("TPF0\x05Fremd")); },
     [](const TSettings &t) {
         ASSERT_EQ(t.AutoActions->Items.size(), 14u);
         EXPECT_EQ(t.AutoActions->Items[0], TAutoActionItem());
     }},
};

INSTANTIATE_TEST_SUITE_P(Table, RowDetails, ::testing::ValuesIn(kRowCases),
                         [](const ::testing::TestParamInfo<RowCase> &info) {
                             return std::string(info.param.name);
                         });

QByteArray gzip(const QByteArray &plain) {
    // A gzip member by hand: header, stored deflate block, CRC-32 and length.
    QByteArray out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    out += char(0x01);
    const quint16 len = quint16(plain.size());
    out += char(len & 0xFF);
    out += char(len >> 8);
    out += char(~len & 0xFF);
    out += char((~len >> 8) & 0xFF);
    out += plain;
    quint32 crc = 0xFFFFFFFFu;
    for (char c : plain) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i)
        out += char((crc >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i)
        out += char((quint32(plain.size()) >> (8 * i)) & 0xFF);
    return out;
}

// --- Lookup, failures and the decimal-places mode ---------------------------------------------

TEST_F(SettingsLoader, TheFirstOfTwoRowsWithOneIdentCounts) {
    Put(1, QStringLiteral("Erster"));
    Put(1, QStringLiteral("Zweiter"));
    TDbTable *table = Open();
    ASSERT_TRUE(SelectSettingsIndex(table));
    TSettingsTableReader reader(table);
    QString text;
    EXPECT_TRUE(reader.ReadText(1, QStringLiteral("-"), text));
    EXPECT_EQ(text, QStringLiteral("Erster"));
    EXPECT_FALSE(reader.ReadText(2, QStringLiteral("-"), text));
    EXPECT_EQ(text, QStringLiteral("-"));
}

TEST_F(SettingsLoader, ReloadingResetsWhatItReadsButKeepsWhatItDoesNotReset) {
    Put(12000, QStringLiteral("9"));
    Put(903, QStringLiteral("1"));
    auto s = LoadNew();
    EXPECT_EQ(s->Byte12000, 9);
    EXPECT_TRUE(s->Flag903);
    s->DocumentTypes << QStringLiteral("dazu");
    s->Word5000 = 99;
    Load(s.get(), s->Table());
    EXPECT_EQ(s->DocumentTypes.size(), 3);
    EXPECT_EQ(s->Word5000, 10);
    EXPECT_EQ(s->Byte12000, 9);
}

class SettingsLoaderWithoutIdentTag : public SettingsLoader {
protected:
    Options TableOptions() const override { return {false, true, true}; }
};

// The start goes on: the table opens in its table order, the loader shows one message and
// changes nothing, and no Ident 1 text can be sought.
TEST_F(SettingsLoaderWithoutIdentTag, ShowsOneAccessMessageAndChangesNothing) {
    Put(12000, QStringLiteral("9"));
    Put(1, QStringLiteral("Mandant"));
    TSettings s;
    s.Byte12013 = 77;
    TDbTable *table = Open();
    Load(&s, table);
    ReadIdent1Text(&s, table);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Einstellungen Zugriffsfehler.\n")))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(QStringLiteral("\"Ident\"")));
    EXPECT_EQ(s.Byte12013, 77);
    EXPECT_EQ(s.Byte12000, 0);
    EXPECT_EQ(s.Ident1Text(), QString());
    EXPECT_EQ(table->IndexName(), QString());
}

TEST_F(SettingsLoader, TheStartReadsTheIdent1Text) {
    Put(1, QStringLiteral("Mandant Süd"));
    TSettings s;
    TDbTable *table = Open();
    Load(&s, table);
    ReadIdent1Text(&s, table);
    EXPECT_EQ(s.Ident1Text(), QStringLiteral("Mandant Süd"));
    EXPECT_TRUE(messages.isEmpty());
}

class SettingsLoaderWithoutMemoColumn : public SettingsLoader {
protected:
    Options TableOptions() const override { return {true, false, true}; }
};

// Silent rows before the first failing loud row pass quietly; the loud one (14500) ends the
// reading with one message, values read until then stay, the closing steps still run and the
// decimal-places mode comes back.
TEST_F(SettingsLoaderWithoutMemoColumn, ShowsTheDatabaseMessageAndKeepsWhatWasRead) {
    Put(1530, QStringLiteral("1"));
    Put(21010, QStringLiteral("Datum:"));
    Put(14500, QStringLiteral("Vorlage"));
    Put(12000, QStringLiteral("9"));
    WriteIni("[MAIL]\r\nmailMAPI=1\r\n");
    SetDecimalPlacesMode(3);
    int modeWhileShown = -1;
    SetSettingsMessageHandler([&](const QString &h, const QString &d, const QString &t) {
        modeWhileShown = DecimalPlacesMode();
        messages << SettingsMessagePlainText(h, d, t);
    });
    TSettings s;
    s.Text8201 = QStringLiteral("bleibt");
    Load(&s, Open());
    ASSERT_EQ(messages.size(), 1) << messages.join(u'|').toStdString();
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Möglicher Fehler in der Datenbank:\n")));
    EXPECT_TRUE(
        messages[0].endsWith(QStringLiteral("\nFühren Sie das Datenbankdienstprogramm aus.")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("MemoItem"))) << messages[0].toStdString();
    EXPECT_EQ(modeWhileShown, 0);
    EXPECT_EQ(DecimalPlacesMode(), 3);
    SetDecimalPlacesMode(0);
    EXPECT_EQ(s.DocumentCaptions.Headers[1], QStringLiteral("Datum:"));
    EXPECT_EQ(s.Byte12000, 2);
    EXPECT_EQ(s.Text8201, QStringLiteral("bleibt"));
    EXPECT_FALSE(s.UserPrinterDef->MailMAPI);
    EXPECT_EQ(s.AddressKinds, QStringList({"Interessenten", "Kunden"}));
    EXPECT_EQ(s.DueDateTexts.size(), 69);
}

TEST_F(SettingsLoader, DecimalPlacesModeIsZeroWhileReadingAndRestoredAfterwards) {
    SetDecimalPlacesMode(4);
    auto s = LoadNew();
    EXPECT_EQ(DecimalPlacesMode(), 4);
    SetDecimalPlacesMode(0);
}

// --- The workstation settings file -------------------------------------------------------------

TEST_F(SettingsLoader, WorkstationFileKeysWithTheirRules) {
    WriteIni("; Arbeitsplatz\r\n"
             "[mail]\r\nMAILMAPI = 1\r\nmailMAPI_Kind=$10\r\nmailMAPI=0\r\n"
             "[PRINTERS]\r\nCopies_Caption_op0=Original|Kopie\r\nCopies_Count_op0=3\r\n"
             "Copies_Count_op5=0\r\nCopies_Count_op6=150\r\nFAX=Fax 1\r\n"
             "[QuoteAnswercontact]\r\nValue=Hallo$$%%$$Welt\r\n"
             "[CanChangeCloseOrder]\r\nValue=9000\r\n"
             "[DatagridHighWidth]\r\nValue=3\r\n"
             "[Default_SoftReturn_Char]\r\nValue=1\r\n"
             "[SchedulerDayTime]\r\nValue=kaputt\r\n"
             "[SOUNDEX]\r\nLEVEL2=0\r\n"
             "[PDF]\r\nBackupDir=D\r\n"
             "[V4]\r\nDBIN=\"C:\\Programme\\x.exe\"\r\n"
             "[SECOND]\r\ndefaultprinterBinName2=\"\"\r\n"
             "[EF]\r\nDefaultFontRTF_style=fsbold,fsunderline,FSITALIC\r\n"
             "DefaultFontRTF_color=clRed\r\nDefaultArtikelFontcolor=$000000\r\n"
             "DefaultArtikelLagercolor=255\r\n");
    const auto s = LoadNew();
    const TUserPrinterDef &d = *s->UserPrinterDef;
    EXPECT_TRUE(d.MailMAPI);
    EXPECT_EQ(d.MailMAPI_Kind, 16);
    EXPECT_EQ(d.CopiesCaption[0], QStringLiteral("Original\r\nKopie"));
    EXPECT_EQ(d.CopiesCount[0], 3);
    EXPECT_EQ(d.CopiesCount[5], 1);
    EXPECT_EQ(d.CopiesCount[6], 99);
    EXPECT_EQ(d.CopiesCount[7], 1);
    EXPECT_EQ(d.PrinterFax, QStringLiteral("Fax 1"));
    EXPECT_EQ(d.QuoteAnswercontact, QStringLiteral("Hallo\r\nWelt"));
    EXPECT_EQ(d.CanChangeCloseOrder, 5000);
    EXPECT_EQ(d.DatagridHighWidth, 1);
    EXPECT_EQ(d.SoftReturnChar, QStringLiteral("¶"));
    EXPECT_EQ(d.SchedulerDayTime, QTime(9, 0));
    EXPECT_EQ(d.SoundexLevels, 1 | 4);
    EXPECT_EQ(d.PdfBackupDir, QStringLiteral("D:\\"));
    EXPECT_EQ(d.DBIN, QStringLiteral("C:\\Programme\\x.exe"));
    EXPECT_EQ(d.DefaultPrinterBinName2, QString());
    EXPECT_EQ(d.DefaultFont.Style, 1 | 4);
    EXPECT_EQ(d.DefaultFont.Color, clRed);
    EXPECT_EQ(d.DefaultArtikelFontcolor, 128);
    EXPECT_EQ(d.DefaultArtikelLagercolor, 255);
}

TEST_F(SettingsLoader, AnInvalidColourEndsTheWorkstationStepSilently) {
    WriteIni("[MAIL]\r\nmailMAPI=1\r\n[EF]\r\nDefaultFontRTF_Name=Tahoma\r\n"
             "DefaultFontRTF_color=clNirgends\r\nUseAutoFormatBriefanrede=0\r\n");
    const auto s = LoadNew();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(s->UserPrinterDef->MailMAPI);
    EXPECT_EQ(s->UserPrinterDef->DefaultFont.Name, QStringLiteral("Tahoma"));
    EXPECT_EQ(s->UserPrinterDef->DefaultFont.Color, clBlack);
    EXPECT_TRUE(s->UserPrinterDef->UseAutoFormatBriefanrede);
}

// A file that cannot be read as text, or has a line above 64 KB, is no workstation file: every
// key keeps its default, and nothing is shown.
TEST_F(SettingsLoader, AnUnreadableWorkstationFileGivesTheDefaultsSilently) {
    for (const QByteArray &content :
         {QByteArray("[MAIL]\r\nmailMAPI=1\r\n[X]\r\ny=") + QByteArray(70 * 1024, 'x'),
          QByteArray("[MAIL]\r\nmailMAPI=1\r\n\0\0", 22)}) {
        WriteIni(content);
        const auto s = LoadNew();
        EXPECT_TRUE(messages.isEmpty());
        EXPECT_FALSE(s->UserPrinterDef->MailMAPI);
        EXPECT_EQ(s->UserPrinterDef->LanguageName, localeLanguageName().left(128));
        EXPECT_EQ(s->AddressKinds.size(), 2);
    }
}

} // namespace

namespace {

TEST(TAdressExCellInfo, AssignCopiesTheFourValuesWithOneChangeNotice) {
    TAdressExCellInfos cells;
    TAdressExCellInfo &cell = cells.Add();
    int notices = 0;
    cells.OnChange = [&] { ++notices; };
    TAdressExCellInfo source;
    source.Col = 3;
    source.Row = 4;
    source.Gray = QStringLiteral("grau");
    source.Readonly = true;
    cell.Assign(source);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(cell.Col, 3);
    EXPECT_EQ(cell.Row, 4);
    EXPECT_EQ(cell.Gray, QStringLiteral("grau"));
    EXPECT_TRUE(cell.Readonly);
    TAdressExCellInfos copy;
    int copyNotices = 0;
    copy.OnChange = [&] { ++copyNotices; };
    copy.Assign(cells);
    EXPECT_EQ(copyNotices, 1);
    EXPECT_EQ(copy.Item(0).Gray, QStringLiteral("grau"));
}

TEST_F(SettingsLoader, TheAddressGridHearsBeforeAndAfterTheReload) {
    Put(751, QStringLiteral(""), QByteArray("Telefon"));
    TSettings s;
    QStringList heard;
    TAdressExtraDataGrid &grid = *s.AdressExtraDataGrid;
    grid.OnBeforeReload = [&](QObject *sender) {
        heard << QStringLiteral("vorher %1 %2").arg(grid.List751.size()).arg(sender == nullptr);
    };
    grid.OnAfterReload = [&](QObject *sender) {
        heard << QStringLiteral("nachher %1 %2").arg(grid.List751.size()).arg(sender == nullptr);
    };
    grid.List751 << QStringLiteral("alt") << QStringLiteral("alt");
    Load(&s, Open());
    EXPECT_EQ(heard, QStringList({"vorher 2 1", "nachher 1 1"}));
}

} // namespace
