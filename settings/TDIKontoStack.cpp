#include "settings/TDIKontoStack.h"

#include "settings/SettingsConversions.h"

#include <memory>

namespace {

struct BuiltIn {
    qint32 number;
    const char *name;
};

// Revenue accounts: active, mode 1; expense accounts: active, mode 2; balance accounts: mode 0.
const BuiltIn kRevenue[] = {
    {8000, "Erlöse"},
    {8100, "Steuerfreie Umsätze"},
    {8120, "Steuerfreie Umsätze Ausfuhr"},
    {8125, "Steuerfreie innergemeinschaftliche Lieferungen"},
    {8200, "Erlöse"},
    {8300, "Erlöse 7 % USt"},
    {8310, "Erlöse innergemeinschaftlicher Erwerb 7 %"},
    {8400, "Erlöse 19 % USt"},
    {8410, "Erlöse innergemeinschaftlicher Erwerb 19 %"},
    {8500, "Provisionserlöse"},
    {8510, "Provisionserlöse 19 % USt"},
    {8600, "Sonstige Erlöse"},
    {8610, "Verrechnete sonstige Sachbezüge"},
    {8700, "Erlösschmälerungen"},
    {8710, "Erlösschmälerungen 7 % USt"},
    {8720, "Erlösschmälerungen 19 % USt"},
    {8730, "Gewährte Skonti"},
    {8731, "Gewährte Skonti 7 % USt"},
    {8736, "Gewährte Skonti 19 % USt"},
    {8750, "Gewährte Boni 7 % USt"},
    {8760, "Gewährte Boni 19 % USt"},
    {8800, "Erlöse aus Anlagenverkäufen"},
    {8900, "Unentgeltliche Wertabgaben"},
    {8910, "Entnahme von Gegenständen 19 % USt"},
    {8920, "Verwendung von Gegenständen 19 % USt"},
};

const BuiltIn kExpense[] = {
    {3000, "Roh-, Hilfs- und Betriebsstoffe"},
    {3100, "Fremdleistungen"},
    {3200, "Wareneingang"},
    {3300, "Wareneingang 7 % Vorsteuer"},
    {3400, "Wareneingang 19 % Vorsteuer"},
    {3420, "Innergemeinschaftlicher Erwerb 7 %"},
    {3425, "Innergemeinschaftlicher Erwerb 19 %"},
    {3550, "Steuerfreier innergemeinschaftlicher Erwerb"},
    {3700, "Nachlässe"},
    {3730, "Erhaltene Skonti"},
    {3731, "Erhaltene Skonti 7 % Vorsteuer"},
    {3736, "Erhaltene Skonti 19 % Vorsteuer"},
    {3750, "Erhaltene Boni 7 % Vorsteuer"},
    {3760, "Erhaltene Boni 19 % Vorsteuer"},
    {3800, "Bezugsnebenkosten"},
    {3830, "Leergut"},
    {3850, "Zölle und Einfuhrabgaben"},
    {3960, "Bestandsveränderungen Roh-, Hilfs- und Betriebsstoffe"},
    {3980, "Bestand Waren"},
    {4000, "Material- und Stoffverbrauch"},
    {4100, "Löhne und Gehälter"},
    {4110, "Löhne"},
    {4120, "Gehälter"},
    {4130, "Gesetzliche soziale Aufwendungen"},
    {4140, "Freiwillige soziale Aufwendungen"},
    {4190, "Aushilfslöhne"},
    {4200, "Raumkosten"},
    {4210, "Miete"},
    {4230, "Heizung"},
    {4240, "Gas, Strom, Wasser"},
    {4250, "Reinigung"},
    {4260, "Instandhaltung betrieblicher Räume"},
    {4360, "Versicherungen"},
    {4380, "Beiträge"},
    {4390, "Sonstige Abgaben"},
    {4500, "Fahrzeugkosten"},
    {4530, "Laufende Fahrzeug-Betriebskosten"},
    {4540, "Fahrzeug-Reparaturen"},
    {4600, "Werbekosten"},
    {4650, "Bewirtungskosten"},
    {4660, "Reisekosten Arbeitnehmer"},
    {4670, "Reisekosten Unternehmer"},
    {4700, "Kosten der Warenabgabe"},
    {4710, "Verpackungsmaterial"},
    {4730, "Ausgangsfrachten"},
    {4800, "Reparaturen und Instandhaltung"},
    {4830, "Abschreibungen auf Sachanlagen"},
    {4900, "Sonstige betriebliche Aufwendungen"},
    {4910, "Porto"},
    {4920, "Telefon"},
};

const BuiltIn kBalance[] = {
    {27, "EDV-Software"},
    {200, "Technische Anlagen und Maschinen"},
    {400, "Betriebsausstattung"},
    {420, "Büroeinrichtung"},
    {480, "Geringwertige Wirtschaftsgüter"},
    {520, "Pkw"},
    {800, "Gezeichnetes Kapital"},
    {880, "Kapitalrücklage"},
    {970, "Sonstige Rückstellungen"},
    {1000, "Kasse"},
    {1010, "Nebenkasse 1"},
    {1020, "Nebenkasse 2"},
    {1200, "Bank"},
    {1210, "Bank 1"},
    {1220, "Bank 2"},
    {1300, "Wechsel aus Lieferungen und Leistungen"},
    {1360, "Geldtransit"},
    {1370, "Verrechnungskonto für Gewinnermittlung"},
    {1400, "Forderungen aus Lieferungen und Leistungen"},
    {1410, "Forderungen aus Lieferungen und Leistungen ohne Kontokorrent"},
    {1450, "Forderungen nach § 11 Abs. 1 Satz 2 EStG"},
    {1460, "Geldtransit Kreditkarten"},
    {1500, "Sonstige Vermögensgegenstände"},
    {1520, "Forderungen gegenüber Krankenkassen"},
    {1530, "Forderungen gegenüber Personal"},
    {1548, "Vorsteuer im Folgejahr abziehbar"},
    {1570, "Abziehbare Vorsteuer"},
    {1571, "Abziehbare Vorsteuer 7 %"},
    {1576, "Abziehbare Vorsteuer 19 %"},
    {1580, "Gegenkonto Vorsteuer"},
    {1590, "Durchlaufende Posten"},
    {1600, "Verbindlichkeiten aus Lieferungen und Leistungen"},
    {1610, "Verbindlichkeiten aus Lieferungen und Leistungen ohne Kontokorrent"},
    {1700, "Sonstige Verbindlichkeiten"},
    {1710, "Erhaltene Anzahlungen"},
    {1718, "Erhaltene Anzahlungen 19 % USt"},
    {1740, "Verbindlichkeiten aus Lohn und Gehalt"},
    {1741, "Verbindlichkeiten aus Lohn- und Kirchensteuer"},
    {1742, "Verbindlichkeiten im Rahmen der sozialen Sicherheit"},
    {1755, "Lohn- und Gehaltsverrechnung"},
    {1770, "Umsatzsteuer"},
    {1771, "Umsatzsteuer 7 %"},
    {1776, "Umsatzsteuer 19 %"},
    {1780, "Umsatzsteuer-Vorauszahlungen"},
    {1789, "Umsatzsteuer laufendes Jahr"},
    {1790, "Umsatzsteuer Vorjahr"},
    {1800, "Privatentnahmen allgemein"},
    {1810, "Privatsteuern"},
    {1880, "Unentgeltliche Wertabgaben"},
    {1890, "Privateinlagen"},
};

// A number text of the account: number(0) written as decimal and cut to four characters; 0
// gives an empty text.
QString numberText(const QString &field) {
    const qint32 n = SettingsConvert::Number(field, 0);
    return n == 0 ? QString() : QString::number(n).left(4);
}

} // namespace

TDIKontoStack::TDIKontoStack() {
    Rebuild();
}

void TDIKontoStack::Rebuild() {
    Accounts.clear();
    auto add = [this](const auto &table, bool active, quint8 mode, quint8 kind) {
        for (const BuiltIn &b : table) {
            TDIKonto k;
            k.Number = b.number;
            k.Name = QString::fromUtf8(b.name);
            k.Active = active;
            k.Mode = mode;
            k.Kind = kind;
            Accounts.push_back(std::move(k));
        }
    };
    add(kRevenue, true, 1, 0);
    add(kExpense, true, 2, 1);
    add(kBalance, false, 0, 0);
}

TDIKonto *TDIKontoStack::Find(qint32 number) {
    for (TDIKonto &k : Accounts) {
        if (k.Number == number)
            return &k;
    }
    return nullptr;
}

void TDIKontoStack::ApplyLine(const QString &line) {
    QStringList f = line.split(u';');
    SettingsConvert::PadLines(f, 9);
    TDIKonto *k = Find(SettingsConvert::Number(f[0], 0));
    if (!k)
        return;
    k->Name = f[1];
    k->Active = f[2] == QLatin1String("1");
    for (int i = 0; i < 3; ++i)
        k->Numbers[size_t(i)] = numberText(f[3 + i]);
    const qint32 mode = SettingsConvert::Number(f[6], 0);
    k->Mode = mode >= 0 && mode <= 3 ? quint8(mode) : 0;
    const qint32 kind = SettingsConvert::Number(f[7], 0);
    k->Kind = kind == 0 || kind == 1 ? quint8(kind) : 0;
    k->Options = quint8(SettingsConvert::Number(f[8], 0) & 0x3);
}

TDIKontoStack *KontoStack() {
    static std::unique_ptr<TDIKontoStack> stack;
    if (!stack)
        stack = std::make_unique<TDIKontoStack>();
    return stack.get();
}
