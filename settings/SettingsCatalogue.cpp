#include "settings/SettingsCatalogue.h"

#include "data/MemTable.h"
#include "data/MemTableCsv.h"
#include "platform/Convert.h"
#include "platform/FormatSettings.h"
#include "settings/PackedStream.h"
#include "settings/SettingsConversions.h"
#include "settings/SettingsLoader.h"
#include "settings/SettingsTableReader.h"
#include "settings/TDIKontoStack.h"
#include "settings/TSettings.h"

#include <initializer_list>

using namespace SettingsConvert;

namespace {

// --- One row of the catalogue -------------------------------------------------------------

struct Row {
    TSettings &s;
    TSettingsTableReader &r;
    int ident;

    std::optional<QString> Text() { return r.Text(ident); }
    std::optional<QStringList> Lines() { return r.Lines(ident); }

    template <typename T>
    void Number(T &member, qint32 fallback) {
        if (auto t = Text())
            member = T(SettingsConvert::Number(*t, fallback));
    }
    void Flag(bool &member) {
        if (auto t = Text())
            member = SettingsConvert::Flag(*t);
    }
    void One(bool &member) {
        if (auto t = Text())
            member = SettingsConvert::One(*t);
    }
    void TextTo(QString &member) {
        if (auto t = Text())
            member = *t;
    }
    void FloatTo(double &member) {
        if (auto t = Text())
            member = SettingsConvert::Float(*t);
    }
    void LinesTo(QStringList &member) {
        if (auto l = Lines())
            member = *l;
    }
};

enum Handling { Loud, Silent };

struct CatalogueRow {
    int ident; // 0 for the steps between rows
    Handling handling;
    void (*reset)(TSettings &s);
    void (*read)(Row &row);
};

// Runs one read of a row whose reads are each silent.
template <typename F>
void silently(F &&read) {
    try {
        read();
    } catch (const std::exception &) {
        // A failed silent read leaves its member at the default.
    }
}

// --- Defaults ----------------------------------------------------------------------------

const char *const kCaptionDefaults[8] = {
    "Warenwert:", "Zwischensumme:", "+Steuer [ST1]%:",           "Rechnungsbetrag:",
    "Warenwert:", "Zwischensumme:", "enthaltene Steuer [ST1]%:", "Rechnungsbetrag:"};
const char *const kHeaderDefaults[5] = {"Nr:", "Datum ", "Kundennummer ", "Auftrag ", "vom "};
const QString kSecondCurrencyLabel = QStringLiteral(" 2.W.");
constexpr double kDefaultRate = 1.5;
const QString kNotChange = QStringLiteral("Nicht ändern");

QStringList documentTypeDefaults() {
    return {kNotChange, QStringLiteral("LIEFERSCHEIN"), QStringLiteral("AUFTRAGSBESTÄTIGUNG")};
}

QString freeTypeDefault(int i) {
    return QStringLiteral("FREIER TYP %1").arg(i + 1);
}

void resetLabelBounds(TlbBoundsA &b) {
    b.Bounds[0] = TlbBounds{20, 20, 150, QStringLiteral("ARIAL"), 24, 8421504};
    b.Bounds[1] = TlbBounds{20, 20, 150, QStringLiteral("ARIAL"), 8, 8421504};
}

void resetArticleCaptions(TSettings &s) {
    s.ArticleCaptions = {QStringLiteral("Bezeichnung1"), QStringLiteral("Bezeichnung2"),
                         QStringLiteral("Bestellnummer")};
    for (int i = 0; i < 5; ++i)
        s.FreeFieldCaptions[size_t(i)] = QStringLiteral("Freifeld%1").arg(i + 1);
    for (int i = 0; i < 10; ++i) {
        s.InfoFields.Names[size_t(i)] = QStringLiteral("INFO%1").arg(i + 1);
        s.InfoFields.Captions[size_t(i)].clear();
    }
    s.InfoFields.Bytes1.fill(0);
    s.InfoFields.Bytes2.fill(0);
    s.InfoFields.Points.fill(QPoint(0, 0));
}

void resetKNR(TKNR &k) {
    k = TKNR{QString(), QStringLiteral("0"), QString(), QString()};
}

void copyCaptionsToSecondCurrency(TSettings &s) {
    s.AlterCurrency->Captions = s.DocumentCaptions;
}

// --- Row details ---------------------------------------------------------------------------

// Captions of the 13 sets: the text gives kind 1, the lines kinds 2, 3, ... as far as they go.
void readCaptions(TSettingsTableReader &r, int ident, TDefaultText &target, size_t caption,
                  const TDefaultText *fallback) {
    const auto text = r.Text(ident);
    if (!text)
        return;
    if (!text->isEmpty())
        target.Sets[0].Captions[caption] = *text;
    else if (fallback)
        target.Sets[0].Captions[caption] = fallback->Sets[0].Captions[caption];
    const QStringList lines = SettingsConvert::Lines(r.Memo(ident).value_or(QString()));
    for (qsizetype k = 0; k < lines.size() && k + 1 < qsizetype(target.Sets.size()); ++k)
        target.Sets[size_t(k + 1)].Captions[caption] = lines[k];
}

const int kDocumentCaptionIdents[8] = {21002, 29002, 21003, 21004, 21005, 29005, 21006, 21007};
const int kSecondCaptionIdents[8] = {20004, 29004, 20005, 20006, 20007, 29007, 20008, 20009};

QString sixDigitNumber(QString text) {
    text = text.left(11);
    if (Convert::toInt64(text).value_or(0) > 900000)
        return QStringLiteral("900000");
    if (text.isEmpty())
        return QStringLiteral("000000");
    while (text.size() < 6)
        text += u'0';
    while (text.size() > 6)
        text.remove(0, 1);
    return text;
}

// Entries of the price codes (651): digits and the first decimal separator, with the sign
// (or "*" for a plain factor) in front.
QString normalizePartsCode(const QString &entry) {
    const QChar separator = formatSettings().decimalSeparator;
    const QString t = WithLocaleDecimalSeparator(Convert::trim(entry));
    QString digits;
    bool separatorKept = false;
    for (QChar c : t) {
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
        } else if (c == separator && !separatorKept) {
            digits += c;
            separatorKept = true;
        }
    }
    bool anyDigit = false;
    for (QChar c : digits)
        anyDigit = anyDigit || c.isDigit();
    if (t.contains(u'-'))
        return u'-' + digits;
    if (t.contains(u'+'))
        return u'+' + digits;
    return anyDigit ? u'*' + digits : digits;
}

// Pricing rules (663): the terms VKEK and VK and arithmetic; "VKEK" in front of a rule that
// names neither.
QString normalizePartsRule(const QString &entry) {
    const QChar separator = formatSettings().decimalSeparator;
    const QString upper = entry.toUpper();
    QString out;
    bool hasTerm = false;
    for (qsizetype i = 0; i < upper.size();) {
        if (upper.mid(i, 4) == QLatin1String("VKEK")) {
            out += QLatin1String("VKEK");
            hasTerm = true;
            i += 4;
            continue;
        }
        if (upper.mid(i, 2) == QLatin1String("VK")) {
            out += QLatin1String("VK");
            hasTerm = true;
            i += 2;
            continue;
        }
        const QChar c = upper[i];
        // "." and "," stay so that the step below can make them the decimal separator.
        if ((c.isDigit() && c.unicode() < 128) || c == u' ' || c == u'\t' || c == u'(' ||
            c == u')' || c == u'*' || c == u'+' || c == u'-' || c == u'/' || c == separator ||
            c == u'.' || c == u',')
            out += c;
        ++i;
    }
    if (!hasTerm)
        out.prepend(QLatin1String("VKEK"));
    return WithLocaleDecimalSeparator(out);
}

void readPartsGroups(Row &row) {
    TSettings &s = row.s;
    TSettingsTableReader &r = row.r;
    TPartsGroup &p = *s.PartsGroups;
    p.Clear();
    p.DefaultCode = r.Text(964).value_or(QStringLiteral("2"));
    const qint32 mode = SettingsConvert::Number(r.Text(219).value_or(QString()), 0);
    p.Mode = mode >= 0 && mode <= 2 ? mode : 0;
    QStringList names = r.Lines(650).value_or(QStringList());
    QStringList codes = r.Lines(651).value_or(QStringList());
    QStringList values = r.Lines(660).value_or(QStringList());
    if (auto t = r.Text(661))
        p.Percentage = qBound(0, SettingsConvert::Number(*t, 100), 100);
    QStringList rules = r.Lines(663).value_or(QStringList());
    PadLines(codes, names.size());
    PadLines(values, names.size());
    PadLines(rules, names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        TPartGroup g;
        g.Name = names[i];
        g.DisplayName = names[i];
        g.Code = normalizePartsCode(codes[i]);
        g.Value = values[i];
        g.Number = qint32(i);
        g.Rules = normalizePartsRule(rules[i]).split(u'\t');
        p.Groups.push_back(std::move(g));
    }
    if (p.Groups.empty()) {
        TPartGroup all;
        all.Name = all.DisplayName = QStringLiteral("Alle");
        all.Code = QStringLiteral("2");
        p.Groups.push_back(std::move(all));
    }
    p.Sort();
}

void readHTML(Row &row) {
    THTML &h = *row.s.HTML;
    if (auto l = row.r.Lines(14500))
        h.Template = *l;
    h.Factor1 = h.Factor2 = 0;
    h.Switches.fill(false);
    h.Number = 0;
    if (auto l = row.r.Lines(14501)) {
        QStringList lines = *l;
        PadLines(lines, 6);
        auto factor = [](const QString &line) {
            const double v = LocaleFloat(line).value_or(0.0);
            return v == 0 ? 1.0 : v;
        };
        h.Factor1 = factor(lines[0]);
        h.Factor2 = factor(lines[1]);
        for (int i = 0; i < 3; ++i)
            h.Switches[size_t(i)] = SettingsConvert::One(lines[2 + i]);
        h.Number = SettingsConvert::Number(lines[5], 2);
    }
}

void readUpperLower(Row &row) {
    TUpperLowerPartField &u = *row.s.UpperLowerPartField;
    auto t = row.Text();
    if (!t)
        return;
    const QString text = t->leftJustified(4, u' ');
    for (int i = 0; i < 3; ++i) {
        const qint32 mode = SettingsConvert::Number(text.mid(i, 1), 0);
        u.Modes[size_t(i)] = mode > 2 || mode < 0 ? 0 : quint8(mode);
    }
    u.Flag = text[3] == u'1';
}

void readKNR(Row &row) {
    TKNR &k = row.s.KNR;
    resetKNR(k);
    if (auto t = row.r.Text(row.ident)) {
        QStringList lines = SettingsConvert::Lines(row.r.Memo(row.ident).value_or(QString()));
        PadLines(lines, 3);
        k.Prefix = *t;
        k.ZeroMask = lines[0];
        k.Suffix = lines[1];
        k.Start = lines[2];
    }
    NormalizeKNR(k);
}

void readDocumentTypes(Row &row) {
    auto l = row.Lines();
    if (!l)
        return;
    QStringList &types = row.s.DocumentTypes;
    types = *l;
    if (types.isEmpty())
        types = documentTypeDefaults();
    else if (!types.first().startsWith(kNotChange))
        types.prepend(kNotChange);
}

void readFreeTypes(Row &row) {
    auto t = row.Text();
    if (!t)
        return;
    QStringList lines = SettingsConvert::Lines(row.r.Memo(row.ident).value_or(QString()));
    PadLines(lines, 4);
    auto &c = row.s.FreeTypeCaptions;
    c[0] = *t;
    for (int i = 0; i < 4; ++i)
        c[size_t(i + 1)] = lines[i];
    for (int i = 0; i < 5; ++i) {
        if (c[size_t(i)].isEmpty())
            c[size_t(i)] = freeTypeDefault(i);
    }
}

void readCodes(Row &row) {
    TSettings &s = row.s;
    s.Codes.clear();
    s.CodeTexts.clear();
    for (const QString &line : row.Lines().value_or(QStringList())) {
        s.Codes << (line.isEmpty() ? QStringLiteral(" ") : line.left(1));
        s.CodeTexts << (line.size() < 2 ? QStringLiteral(" ") : line.mid(1, 50));
    }
}

void readFloatPair(Row &row) {
    TSettings &s = row.s;
    // The pair has its own index selection; a failure was shown and skips it.
    if (!SelectSettingsIndex(row.r.Table()))
        return;
    auto readOne = [&](int ident, double &value, double &kept) {
        silently([&] {
            if (row.r.Seek(ident)) {
                value = row.r.ReadFloat();
                kept = value;
            }
        });
    };
    readOne(949, s.Float949, s.Float949Kept);
    readOne(950, s.Float950, s.Float950Kept);
}

void readAutoActions(Row &row) {
    TAutoActionItems &items = *row.s.AutoActions;
    items.Items.clear();
    const QByteArray bytes = row.r.Bytes(row.ident).value_or(QByteArray());
    if (!bytes.isEmpty()) {
        TAutoActionItemsWrapper wrapper;
        try {
            wrapper.ReadFromStream(bytes);
            items.Items = std::move(wrapper.AutoActionItems.Items);
        } catch (const std::exception &) {
            items.Items.clear();
        }
    }
    while (items.Items.size() < size_t(TAutoActionItems::KindCount))
        items.Items.emplace_back();
}

void readArticleCaptions(Row &row) {
    TSettings &s = row.s;
    resetArticleCaptions(s);
    auto l = row.Lines();
    if (!l)
        return;
    QStringList lines = *l;
    PadLines(lines, 13);
    for (int i = 0; i < 3; ++i) {
        if (!lines[i].isEmpty())
            s.ArticleCaptions[size_t(i)] = lines[i];
    }
    for (int n = 0; n < 10; ++n) {
        const QString &line = lines[3 + n];
        const qsizetype eq = line.indexOf(u'=');
        const QString name = eq < 0 ? QString() : line.left(eq);
        if (name.isEmpty())
            continue;
        s.InfoFields.Names[size_t(n)] = name;
        s.InfoFields.Captions[size_t(n)] = line.mid(eq + 1).left(200);
    }
    for (int i = 0; i < 5 && 30 + i < lines.size(); ++i) {
        if (!lines[30 + i].isEmpty())
            s.FreeFieldCaptions[size_t(i)] = lines[30 + i];
    }
}

void readLabelBounds(Row &row) {
    TlbBoundsA &b = row.s.LabelBounds;
    resetLabelBounds(b);
    auto l = row.Lines();
    if (!l)
        return;
    QStringList lines = *l;
    PadLines(lines, 12);
    for (int k = 0; k < 2; ++k) {
        TlbBounds &t = b.Bounds[size_t(k)];
        const QString *v = &lines[6 * k];
        t.Left = SettingsConvert::Number(v[0], t.Left);
        t.Top = SettingsConvert::Number(v[1], t.Top);
        t.Width = SettingsConvert::Number(v[2], t.Width);
        t.FontName = v[3].isEmpty() ? QStringLiteral("ARIAL") : v[3];
        t.FontSize = SettingsConvert::Number(v[4], t.FontSize);
        t.Color = SettingsConvert::Number(v[5], t.Color);
    }
}

void readGridCells(Row &row) {
    TAdressExCellInfos &cells = row.s.AdressExtraDataGrid->Cells;
    const QByteArray stream = PackedStream::Unpack(row.r.Bytes(row.ident).value_or(QByteArray()));
    cells.Clear();
    cells.Loading = true;
    if (!stream.isEmpty()) {
        TAdressExCellInfosWrapper wrapper;
        try {
            wrapper.ReadFromStream(stream);
            cells.Assign(wrapper.AdressExCellInfos);
        } catch (const std::exception &) {
            cells.Clear();
        }
    }
    cells.Loading = false;
}

// --- The catalogue ---------------------------------------------------------------------------

#define RESET(...) [](TSettings &s) { __VA_ARGS__; }
#define READ(...) [](Row &row) { __VA_ARGS__; }
#define NO_RESET nullptr

// The rows in reading order: Ident (0 for a step between rows or a family of Idents read one by
// one), whether a failure inside the read is caught, the value set before every load (step 4;
// rows without one keep what they hold, or are reset in group one), and the read.
const CatalogueRow kRows[] = {
    {1530, Silent, RESET(s.OptionFlags.fill(false)), READ({
         row.s.OptionFlags.fill(false);
         const QStringList lines = row.Lines().value_or(QStringList());
         for (qsizetype i = 0; i < 6 && i < lines.size(); ++i)
             row.s.OptionFlags[size_t(i)] = SettingsConvert::One(lines[i]);
     })},
    // 21002, 29002, 21003 .. 21007: captions 1 to 8 of the sets; 21009 .. 21013: the headers.
    {0, Loud, NO_RESET, READ({
         for (size_t i = 0; i < 8; ++i)
             silently([&] {
                 readCaptions(row.r, kDocumentCaptionIdents[i], row.s.DocumentCaptions, i, nullptr);
             });
         for (int i = 0; i < 5; ++i)
             silently([&] {
                 const QString t = row.r.Text(21009 + i).value_or(QString());
                 if (!t.isEmpty())
                     row.s.DocumentCaptions.Headers[size_t(i)] = t;
             });
     })},
    // Before 20004: the second currency starts from the document captions read so far.
    {0, Loud, NO_RESET, READ({
         copyCaptionsToSecondCurrency(row.s);
         row.s.AlterCurrency->Option1 = row.s.AlterCurrency->Option2 = 0;
     })},
    // 20004, 29004, 20005 .. 20009: the second currency's captions; 31009 .. 31012: its headers.
    {0, Loud, NO_RESET, READ({
         TAlterCurrencyInfo &a = *row.s.AlterCurrency;
         for (size_t i = 0; i < 8; ++i)
             silently([&] {
                 readCaptions(row.r, kSecondCaptionIdents[i], a.Captions, i,
                              &row.s.DocumentCaptions);
             });
         for (int i = 0; i < 4; ++i)
             silently([&] {
                 if (auto t = row.r.Text(31009 + i))
                     a.Captions.Headers[size_t(i)] =
                         t->isEmpty() ? row.s.DocumentCaptions.Headers[size_t(i)] : *t;
             });
     })},
    {20010, Silent, NO_RESET, READ({
         TAlterCurrencyInfo &a = *row.s.AlterCurrency;
         row.FloatTo(a.Rate);
         if (a.Rate < 0.01 || a.Rate > 100)
             a.Rate = kDefaultRate;
     })},
    {200011, Silent, RESET(s.AlterCurrency->Label.clear()), READ({
         TAlterCurrencyInfo &a = *row.s.AlterCurrency;
         row.TextTo(a.Label);
         if (a.Label.isEmpty())
             a.Label = kSecondCurrencyLabel;
     })},
    {20012, Silent, NO_RESET, READ(row.Number(row.s.AlterCurrency->Enabled, 0))},
    // 200030, 200031 when the second currency is enabled; else its defaults once more.
    {0, Loud, NO_RESET, READ({
         TAlterCurrencyInfo &a = *row.s.AlterCurrency;
         if (a.Enabled != 0) {
             silently([&] {
                 if (auto t = row.r.Text(200030))
                     a.Option1 = quint8(SettingsConvert::Number(*t, 0));
             });
             silently([&] {
                 if (auto t = row.r.Text(200031))
                     a.Option2 = quint8(SettingsConvert::Number(*t, 0));
             });
         } else {
             a.Label = kSecondCurrencyLabel;
             a.Rate = kDefaultRate;
             copyCaptionsToSecondCurrency(row.s);
         }
     })},
    // 8101, 8102, 8103: one silent read for the three.
    {8101, Silent, NO_RESET, READ({
         TSettings &s = row.s;
         for (auto [ident, stream] :
              {std::pair{8101, &s.Stream8101}, std::pair{8102, &s.Stream8102},
               std::pair{8103, &s.Stream8103}}) {
             if (auto bytes = row.r.Bytes(ident))
                 *stream = PackedStream::Unpack(*bytes);
         }
     })},
    {20, Silent, NO_RESET, READ({
         TMemTable *table = row.s.VSOBJ->Table();
         table->EmptyTable();
         if (auto bytes = row.r.Bytes(row.ident))
             MemTableCsv::Load(table, *bytes);
     })},
    // The priority list's defaults, before 16045 may replace them.
    {0, Loud, NO_RESET, READ({
         row.s.PriorityList = {QStringLiteral("Normal"), QStringLiteral("Wichtig"),
                               QStringLiteral("Sehr Wichtig")};
         row.s.List16046.clear();
     })},
    {14500, Loud, NO_RESET, READ(readHTML(row))}, // and 14501
    {8201, Loud, NO_RESET, READ(row.TextTo(row.s.Text8201))},
    {8202, Loud, NO_RESET, READ(row.TextTo(row.s.Text8202))},
    {8203, Loud, NO_RESET, READ(row.TextTo(row.s.Text8203))},
    {16000, Loud, NO_RESET, READ(row.TextTo(row.s.Text16000))},
    {903, Loud, NO_RESET, READ(row.Flag(row.s.Flag903))},
    {10000, Loud, NO_RESET, READ(row.Flag(row.s.Flag10000))},
    {12000, Loud, RESET(s.Byte12000 = 2), READ(row.Number(row.s.Byte12000, 2))},
    {12010, Loud, RESET(s.Flag12010 = false), READ(row.Flag(row.s.Flag12010))},
    {12011, Silent, RESET(s.OptionBits12011 = 3), READ({
         row.s.OptionBits12011 = 3;
         if (auto t = row.Text()) {
             const QString text = t->leftJustified(2, u'1');
             row.s.OptionBits12011 = quint8((text[0] == u'1' ? 1 : 0) | (text[1] == u'1' ? 2 : 0));
         }
     })},
    {12013, Loud, RESET(s.Byte12013 = 2), READ(row.Number(row.s.Byte12013, 2))},
    {212, Loud, RESET(s.Text212.clear()), READ({
         if (auto t = row.Text())
             row.s.Text212 = Convert::trim(*t);
     })},
    {12014, Loud, RESET(s.Byte12014 = 2), READ(row.Number(row.s.Byte12014, 2))},
    {213, Loud, RESET(s.Flag213 = false), READ(row.Flag(row.s.Flag213))},
    {51003, Loud, RESET(s.Text51003.clear()), READ(row.TextTo(row.s.Text51003))},
    {51004, Loud, RESET(s.Int51004 = -1), READ(row.Number(row.s.Int51004, -1))},
    {51008, Loud, RESET(s.Int51008 = 0), READ(row.Number(row.s.Int51008, 0))},
    {51009, Loud, RESET(s.Flag51009 = false), READ(row.Flag(row.s.Flag51009))},
    {51000, Loud, RESET(s.Text51000.clear()), READ(row.TextTo(row.s.Text51000))},
    {51002, Loud, RESET(s.Text51002.clear()), READ(row.TextTo(row.s.Text51002))},
    {51001, Loud, RESET(s.Text51001.clear()), READ(row.TextTo(row.s.Text51001))},
    {214, Loud, RESET(s.Byte214 = 1), READ(row.Number(row.s.Byte214, 1))},
    {9214, Loud, RESET(s.Byte9214 = 1), READ(row.Number(row.s.Byte9214, 1))},
    {9215, Loud, RESET(s.Int9215 = 0), READ(row.Number(row.s.Int9215, 0))},
    {218, Loud, RESET(s.Flag218 = false), READ(row.Flag(row.s.Flag218))},
    {215, Loud, RESET(s.Flag215 = false), READ(row.Flag(row.s.Flag215))},
    {216, Loud, RESET(s.Flag216 = false), READ(row.Flag(row.s.Flag216))},
    {217, Loud, RESET(s.Switch217 = true), READ(row.One(row.s.Switch217))},
    {301, Loud, RESET(s.Switch301 = true), READ(row.One(row.s.Switch301))},
    {302, Loud, RESET(s.Switch302 = true), READ(row.One(row.s.Switch302))},
    {666, Loud, RESET(*s.UpperLowerPartField = TUpperLowerPartField()), READ(readUpperLower(row))},
    {13031, Loud, RESET(s.Byte13031 = 1), READ({
         if (auto t = row.Text()) {
             const qint32 v = SettingsConvert::Number(*t, 1);
             row.s.Byte13031 = v >= 0 && v <= 3 ? quint8(v) : 1;
         }
     })},
    {13030, Silent, RESET(s.Word13030 = 0; s.Byte13030 = 0), READ({
         if (auto t = row.Text()) {
             const QString text = t->leftJustified(2, u' ');
             row.s.Word13030 = quint16(SettingsConvert::Number(text.mid(0, 1), 0));
             row.s.Byte13030 = quint8(SettingsConvert::Number(text.mid(1, 1), 0));
         }
     })},
    {15004, Loud, RESET(s.Text15004.clear()), READ(row.TextTo(row.s.Text15004))},
    {15000, Loud, RESET(s.Int15000 = 0), READ(row.Number(row.s.Int15000, 0))},
    {15001, Loud, RESET(s.SixDigitNumber = QStringLiteral("000000")), READ({
         if (auto t = row.Text())
             row.s.SixDigitNumber = sixDigitNumber(*t);
     })},
    {16009, Silent, RESET(resetKNR(s.KNR)), READ(readKNR(row))},
    {16012, Loud, NO_RESET, READ({
         TDIKontoStack *stack = KontoStack();
         stack->Rebuild();
         for (const QString &line : row.Lines().value_or(QStringList()))
             stack->ApplyLine(line);
     })},
    {23001, Loud, RESET(s.Flag23001 = true), READ(row.Flag(row.s.Flag23001))},
    {23002, Loud, RESET(s.Flag23002 = false), READ(row.Flag(row.s.Flag23002))},
    {23003, Loud, RESET(s.Flag23003 = false), READ(row.Flag(row.s.Flag23003))},
    {250, Loud, RESET(s.Flag250 = false), READ(row.Flag(row.s.Flag250))},
    {76, Loud, RESET(s.Int76 = 1), READ(row.Number(row.s.Int76, 1))},
    {202, Silent, RESET(s.DocumentTypes = documentTypeDefaults()), READ(readDocumentTypes(row))},
    {201, Silent,
     RESET(for (int i = 0; i < 5; ++i) s.FreeTypeCaptions[size_t(i)] = freeTypeDefault(i)),
     READ(readFreeTypes(row))},
    {951, Loud, RESET(s.Switch951 = true), READ({
         if (auto t = row.Text())
             row.s.Switch951 = SettingsConvert::Number(*t, 1) == 1;
     })},
    {4000, Loud, RESET(s.Switch4000 = false), READ({
         if (auto t = row.Text())
             row.s.Switch4000 = SettingsConvert::Number(*t, 0) == 1;
     })},
    {1400, Loud, RESET(s.Flag1400 = false), READ(row.Flag(row.s.Flag1400))},
    {1401, Loud, RESET(s.Byte1401 = 0), READ(row.Number(row.s.Byte1401, 1))},
    {1402, Loud, RESET(s.Byte1402 = 0), READ(row.Number(row.s.Byte1402, 1))},
    {16003, Loud, RESET(s.Byte16003 = 0), READ({
         if (auto t = row.Text()) {
             const qint32 v = SettingsConvert::Number(*t, 0);
             if (v >= 0 && v <= 2)
                 row.s.Byte16003 = quint8(v);
         }
     })},
    {5024, Silent, NO_RESET, READ({
         if (auto t = row.Text())
             row.s.Date5024 = SettingsConvert::Date(*t);
     })},
    {4999, Loud, NO_RESET, READ(row.Number(row.s.Word4999, 0))},
    {5000, Loud, NO_RESET, READ(row.Number(row.s.Word5000, 0))},
    {4998, Loud, NO_RESET, READ(row.Number(row.s.Word4998, 30))},
    {4997, Loud, NO_RESET, READ(row.TextTo(row.s.Text4997))},
    {4996, Loud, NO_RESET, READ(row.Flag(row.s.Flag4996))},
    {5001, Loud, NO_RESET, READ(row.Number(row.s.Word5001, 0))},
    {5002, Loud, NO_RESET, READ(row.Number(row.s.Word5002, 0))},
    {5023, Loud, NO_RESET, READ(row.Flag(row.s.Flag5023))},
    {5021, Loud, NO_RESET, READ(row.FloatTo(row.s.Float5021))},
    {5022, Loud, NO_RESET, READ(row.Flag(row.s.Flag5022))},
    {5025, Loud, NO_RESET, READ(row.Flag(row.s.Flag5025))},
    {5026, Loud, NO_RESET, READ(row.Flag(row.s.Flag5026))},
    {5022, Loud, NO_RESET, READ(row.Flag(row.s.Flag5022))},
    // 2001 .. 2010 and 3001 .. 3010, each read silent.
    {2001, Loud, NO_RESET, READ({
         for (int n = 0; n < 10; ++n)
             silently([&] {
                 row.r.ReadText(2001 + n, row.s.AddressSets[size_t(n)].Text,
                                row.s.AddressSets[size_t(n)].Text);
             });
     })},
    {3001, Loud, NO_RESET, READ({
         for (int n = 0; n < 10; ++n)
             silently([&] {
                 if (auto t = row.r.Text(3001 + n))
                     row.s.AddressSets[size_t(n)].Mode = *t == QLatin1String("1")   ? 1
                                                         : *t == QLatin1String("2") ? 2
                                                                                    : 0;
             });
     })},
    {920, Silent, RESET(s.Codes.clear(); s.CodeTexts.clear()), READ(readCodes(row))},
    // 949 and 950, after their own index selection.
    {949, Loud, RESET(s.Float949 = s.Float950 = s.Float949Kept = s.Float950Kept = 0),
     READ(readFloatPair(row))},
    {1500, Loud, NO_RESET, READ(row.LinesTo(row.s.List1500))},
    {1510, Loud, NO_RESET, READ({
         row.LinesTo(row.s.List1510);
         PadLines(row.s.List1510, 81);
     })},
    {1502, Loud, NO_RESET, READ({
         row.LinesTo(row.s.List1502);
         SortLines(row.s.List1502);
     })},
    {1501, Loud, NO_RESET, READ({
         if (auto l = row.Lines())
             row.s.Salutations = *l;
         else
             row.s.Salutations = {QStringLiteral("Sehr geehrte Frau,"),
                                  QStringLiteral("Sehr geehrter Herr,")};
         SortLines(row.s.Salutations);
     })},
    {1506, Loud, NO_RESET, READ({
         row.LinesTo(row.s.AddressKinds);
         SortLines(row.s.AddressKinds);
     })},
    {1505, Loud, NO_RESET, READ({
         row.LinesTo(row.s.List1505);
         SortLines(row.s.List1505);
     })},
    {1509, Loud, RESET(s.List1509.clear()), READ({
         row.s.List1509.clear();
         row.LinesTo(row.s.List1509);
     })},
    {1511, Silent, NO_RESET, READ(readAutoActions(row))},
    {1507, Silent, RESET(s.PaymentDiscountTexts.clear()), READ({
         QStringList &l = row.s.PaymentDiscountTexts;
         l.clear();
         if (auto lines = row.Lines())
             l = *lines;
         else if (l.isEmpty())
             l = {QStringLiteral("bei Zahlung bis zum "),
                  QStringLiteral(" erhalten Sie 3% Skonto, das entspricht: "),
                  QStringLiteral("bei Zahlung bis zum "),
                  QStringLiteral(" erhalten Sie 3% Skonto, das entspricht: "), QStringLiteral("5")};
     })},
    {1512, Silent, RESET(resetArticleCaptions(s)), READ(readArticleCaptions(row))},
    {12019, Silent, RESET(s.Percentages.clear()), READ({
         QStringList &l = row.s.Percentages;
         l.clear();
         row.LinesTo(l);
         if (l.isEmpty())
             l = {QStringLiteral("5"),  QStringLiteral("10"), QStringLiteral("15"),
                  QStringLiteral("20"), QStringLiteral("25"), QStringLiteral("30")};
     })},
    {12018, Silent,
     RESET(s.DeliveryStates = {QStringLiteral("lieferbar"), QStringLiteral("nicht lieferbar")}),
     READ({
         row.s.DeliveryStates = {QStringLiteral("lieferbar"), QStringLiteral("nicht lieferbar")};
         row.LinesTo(row.s.DeliveryStates);
     })},
    {1508, Silent, RESET(s.DueDateTexts.clear()), READ({
         QStringList &l = row.s.DueDateTexts;
         l.clear();
         if (auto lines = row.Lines())
             l = *lines;
         else if (l.isEmpty())
             l = {QStringLiteral("Der Betrag ist bis zum "), QStringLiteral(" zu bezahlen."),
                  QStringLiteral("Der Betrag ist bis zum "), QStringLiteral(" zu bezahlen."),
                  QStringLiteral("14")};
     })},
    {16002, Loud, RESET(s.List16002.clear()), READ({
         row.s.List16002.clear();
         row.LinesTo(row.s.List16002);
     })},
    {16001, Loud, RESET(s.List16001.clear()), READ({
         row.s.List16001.clear();
         row.LinesTo(row.s.List16001);
     })},
    {16010, Loud, RESET(s.List16010.clear()), READ({
         row.s.List16010.clear();
         row.LinesTo(row.s.List16010);
     })},
    {16045, Loud, NO_RESET, READ(row.LinesTo(row.s.PriorityList))},
    {16046, Loud, RESET(s.List16046.clear()), READ(row.LinesTo(row.s.List16046))},
    {964, Loud, NO_RESET, READ(readPartsGroups(row))}, // and 219, 650, 651, 660, 661, 663
    {652, Loud, RESET(resetLabelBounds(s.LabelBounds)), READ(readLabelBounds(row))},
    {754, Silent, NO_RESET, READ(readGridCells(row))},
    {751, Silent, NO_RESET, READ(row.LinesTo(row.s.AdressExtraDataGrid->List751))},
    {752, Silent, NO_RESET, READ(row.LinesTo(row.s.AdressExtraDataGrid->List752))},
    {753, Silent, NO_RESET, READ(row.LinesTo(row.s.AdressExtraDataGrid->List753))},
    // The end of the reload, for the address grid.
    {0, Loud, NO_RESET, READ({
         if (row.s.AdressExtraDataGrid->OnAfterReload)
             row.s.AdressExtraDataGrid->OnAfterReload(nullptr);
     })},
};

#undef RESET
#undef READ
#undef NO_RESET

} // namespace

namespace SettingsCatalogue {

void ResetGroupOne(TSettings &s) {
    s.Text4997.clear();
    s.Word4998 = 30;
    s.Word5000 = 10;
    s.Word5001 = 30;
    s.Word5002 = 50;
    s.Float5021 = 20.0;
    s.Flag5022 = s.Flag5025 = s.Flag5026 = s.Flag4996 = false;
    s.Flag5023 = true;
    s.Date5024 = QDate();
}

void ResetGroupTwo(TSettings &s) {
    for (const CatalogueRow &row : kRows) {
        if (row.reset)
            row.reset(s);
    }
    s.PartsGroups->Clear();
    for (QStringList *l : {&s.List1500, &s.List1510, &s.List1502, &s.Salutations, &s.List1505,
                           &s.AddressKinds, &s.UnnumberedList})
        l->clear();
    TAdressExtraDataGrid &grid = *s.AdressExtraDataGrid;
    grid.List751.clear();
    grid.List752.clear();
    grid.List753.clear();
    grid.Cells.Clear();
    for (int i = 0; i < 5; ++i)
        s.FreeTypeCaptions[size_t(i)] = freeTypeDefault(i);
    s.DocumentTypes = documentTypeDefaults();
    for (TSummenText &set : s.DocumentCaptions.Sets) {
        for (size_t i = 0; i < 8; ++i)
            set.Captions[i] = QString::fromUtf8(kCaptionDefaults[i]);
    }
    for (size_t i = 0; i < 5; ++i)
        s.DocumentCaptions.Headers[i] = QString::fromUtf8(kHeaderDefaults[i]);
    copyCaptionsToSecondCurrency(s);
}

void Read(TSettings &s, TSettingsTableReader &reader) {
    for (const CatalogueRow &entry : kRows) {
        Row row{s, reader, entry.ident};
        if (entry.handling == Silent)
            silently([&] { entry.read(row); });
        else
            entry.read(row);
    }
}

void Close(TSettings &s) {
    PadLines(s.DueDateTexts, 69);
    if (s.AddressKinds.isEmpty())
        s.AddressKinds = {QStringLiteral("Interessenten"), QStringLiteral("Kunden")};
    PadLines(s.PaymentDiscountTexts, 5);
}

} // namespace SettingsCatalogue
