#include "DemoGenerator.h"

#include "EngineSession.h"
#include "HostFolder.h"

#include <QDate>
#include <QDir>
#include <QHash>
#include <QSet>

#include <cmath>

namespace {

// splitmix64: small, fast and the same everywhere, so a seed means the same data on every
// machine.
class Random {
public:
    explicit Random(quint64 seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    quint64 next() {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    qint64 below(qint64 n) { return n <= 0 ? 0 : qint64(next() % quint64(n)); }
    double unit() { return double(next() >> 11) / double(1ull << 53); }

private:
    quint64 m_state;
};

const char *const kNouns[] = {
    "Schraube",          "Mutter",          "Unterlegscheibe", "Dübel",
    "Kabelbinder",       "Schlauchschelle", "Winkelverbinder", "Holzleim",
    "Silikon",           "Klebeband",       "Bohrer",          "Bit-Satz",
    "Arbeitshandschuhe", "Schutzbrille",    "Arbeitsleuchte",  "Verlängerungskabel",
    "Steckdosenleiste",  "Leuchtmittel",    "Batterie",        "Flachpinsel",
    "Farbrolle",         "Abdeckfolie",     "Spachtel",        "Zollstock",
    "Wasserwaage",       "Schlosserhammer", "Kombizange",      "Schraubendreher",
    "Fuchsschwanz",      "Feile",           "Schleifpapier",   "Gewindestange",
    "Scharnier",         "Türdrücker",      "Möbelgriff",      "Regalträger",
    "Vorhängeschloss",   "Drahtseil",       "Kettenglied",     "Spanngurt"};

const char *const kAttributes[] = {"M6x30 verzinkt", "M8x40 Edelstahl A2",
                                   "200 mm schwarz", "5 m",
                                   "10 Stück",       "Größe 9",
                                   "weiß",           "grau",
                                   "1,5 mm²",        "3-fach",
                                   "Ø 8 mm",         "Körnung 120",
                                   "25 mm breit",    "300 ml",
                                   "für Außen",      "lösemittelfrei",
                                   "2,5 m",          "Messing",
                                   "gehärtet",       "mit Schutzkontakt"};

const char *const kSources[] = {"Eigenmarke",      "Lager Nord",     "Großhandel Süd",
                                "Werkstattbedarf", "Baustoffe West", "Fachhandel Ost"};

const char *const kUnits[] = {"Stk", "m", "kg", "l", "Pack", "Rolle", "Satz"};

const char *const kPrefixes[] = {"HK", "BN", "WZ", "FX", "ST", "KR", "LM"};

QString money(double v) {
    return QString::number(std::round(v * 100.0) / 100.0, 'f', 2);
}

// The order number an article gets when nothing special happens to it: unique, because the
// number part is a permutation of the article numbers.
QByteArray baseNumber(qint64 id, qint64 articles) {
    const qint64 space = std::max<qint64>(1000000, articles * 10);
    const qint64 permuted = (id * 7919 + 104729) % space;
    QByteArray n =
        QByteArray(kPrefixes[id % 7]) + '-' + QByteArray::number(permuted).rightJustified(7, '0');
    if (id % 9 == 4) {
        n += '-';
        n += char('a' + id % 6);
    }
    return n;
}

QByteArray swapCase(const QByteArray &number) {
    QByteArray out = number;
    for (char &c : out) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

class Appender {
public:
    Appender(DBHANDLE table, const HostSchema::Table &schema) : m_table(table), m_schema(schema) {}
    void begin() { checkEngine(DbAppendRecord(m_table)); }
    void set(const char *field, const QString &value) {
        const QByteArray bytes = toEngine(value);
        checkEngine(DbSetField(m_table, m_schema.fieldNumber(field), bytes.constData(),
                               quint32(bytes.size())));
    }
    void setBytes(const char *field, const QByteArray &value) {
        const quint16 n = m_schema.fieldNumber(field);
        checkEngine(value.isEmpty()
                        ? DbSetEmpty(m_table, n)
                        : DbSetField(m_table, n, value.constData(), quint32(value.size())));
    }
    void write() { checkEngine(DbWriteRecord(m_table)); }

private:
    DBHANDLE m_table;
    const HostSchema::Table &m_schema;
};

} // namespace

DemoSummary generateDemo(const QString &folder, const DemoOptions &options,
                         const std::function<void(const QString &)> &progress) {
    auto say = [&](const QString &text) {
        if (progress)
            progress(text);
    };
    DemoSummary summary;
    const qint64 n = std::max<qint64>(0, options.articles);
    const qint64 bookingCount = options.bookings < 0 ? 3 * n : options.bookings;
    Random random(options.seed);
    useIsoDates();

    // Plan the special order numbers first: runs of equal numbers, case variants, empties.
    QHash<qint64, QByteArray> numbers;
    auto unused = [&]() {
        for (;;) {
            const qint64 id = 1 + random.below(n);
            if (!numbers.contains(id))
                return id;
        }
    };
    const qint64 wantShared = qint64(std::llround(double(n) * options.sharedPercent / 100.0));
    while (n >= 10 && summary.duplicateArticles + 2 <= wantShared &&
           qint64(numbers.size()) + 3 < n / 2) {
        const int runLength = random.below(10) < 7 ? 2 : 3;
        const qint64 first = unused();
        const QByteArray number = baseNumber(first, n);
        numbers.insert(first, number);
        for (int k = 1; k < runLength; ++k)
            numbers.insert(unused(), number);
        summary.duplicateArticles += runLength;
        ++summary.duplicateGroups;
        // Now and then a further article carries the same number in other letter case: it
        // looks like a duplicate to a person but is none for the check.
        if (random.below(6) == 0) {
            numbers.insert(unused(), swapCase(number));
            ++summary.caseVariants;
        }
    }
    if (n >= 10) {
        const qint64 empties = std::max<qint64>(2, n / 5000);
        for (qint64 k = 0; k < empties; ++k)
            numbers.insert(unused(), QByteArray());
        summary.emptyNumbers = empties;
    }

    // All tables or none: made in a staging folder and put in place when complete.
    HostFolder::createTables(folder, [&](EngineConnection &connection) {
        // Each table's records in one transaction, unless the whole run is one already.
        auto begin = [&](const EngineTable &table) {
            if (!connection.inTransaction())
                checkEngine(DbBeginTransaction(table.handle()));
        };
        auto commit = [&](const EngineTable &table) {
            if (!connection.inTransaction())
                checkEngine(DbCommitTransaction(table.handle()));
        };
        say(QStringLiteral("Artikel: %1").arg(n));
        {
            EngineTable articles(createHostTable(connection, HostSchema::articles()));
            Appender a(articles.handle(), HostSchema::articles());
            begin(articles);
            for (qint64 id = 1; id <= n; ++id) {
                const char *noun = kNouns[random.below(std::size(kNouns))];
                const char *attribute = kAttributes[random.below(std::size(kAttributes))];
                const double ek = 0.05 + random.unit() * 250.0;
                a.begin();
                a.set("BZK", QString::fromUtf8(noun) + u' ' + QString::fromUtf8(attribute));
                a.set("BZL", QString::fromUtf8(kSources[random.below(std::size(kSources))]));
                a.set("BST", QString::number(random.below(500)));
                a.set("EKEU", money(ek));
                a.set("VKEU", money(ek * 1.4));
                a.set("MWST", random.below(10) == 0 ? QStringLiteral("7") : QStringLiteral("19"));
                a.set("ARTN", QString::number(100000 + id));
                a.set("EINH", QString::fromUtf8(kUnits[random.below(std::size(kUnits))]));
                a.set("GRUP", QString::number(1 + random.below(20)));
                a.set("MATCH0", QString::fromUtf8(noun).toUpper());
                a.set("LAART", random.below(5) == 0 ? QStringLiteral("F") : QStringLiteral("T"));
                a.setBytes("BSTN", numbers.contains(id) ? numbers.value(id) : baseNumber(id, n));
                a.set("DEZ", QStringLiteral("2"));
                a.write();
                if (id % 100000 == 0)
                    say(QStringLiteral("  %1 Artikel").arg(id));
            }
            commit(articles);
            say(QStringLiteral("Indizes der Artikeltabelle"));
            createHostIndexes(articles.handle(), HostSchema::articles());
        }
        summary.articles = n;

        say(QStringLiteral("Buchungen: %1").arg(bookingCount));
        {
            EngineTable bookings(createHostTable(connection, HostSchema::bookings()));
            Appender b(bookings.handle(), HostSchema::bookings());
            const QDate start(2024, 1, 1);
            auto booked = [&](qint64 id) {
                return double(((quint64(id) * 0x9E3779B97F4A7C15ull) >> 40) % 10000) <
                       options.bookedPercent * 100.0;
            };
            begin(bookings);
            for (qint64 k = 0; k < bookingCount && n > 0; ++k) {
                qint64 article = 1 + random.below(n);
                for (int tries = 0; tries < 64 && !booked(article); ++tries)
                    article = 1 + random.below(n);
                b.begin();
                b.set("ID_ART", QString::number(article));
                b.set("DATUM", start.addDays(k * 1000 / std::max<qint64>(1, bookingCount))
                                   .toString(QStringLiteral("yyyy-MM-dd")));
                b.set("MENGE", QString::number(1 + random.below(48)));
                b.set("EPREIS", money(0.5 + random.unit() * 300.0));
                b.set("BELEG", QStringLiteral("RE-%1").arg(k + 1, 8, 10, QChar(u'0')));
                b.set("ART", QString::number(1 + random.below(3)));
                b.write();
                if ((k + 1) % 500000 == 0)
                    say(QStringLiteral("  %1 Buchungen").arg(k + 1));
            }
            commit(bookings);
            say(QStringLiteral("Indizes der Buchungstabelle"));
            createHostIndexes(bookings.handle(), HostSchema::bookings());
        }
        summary.bookings = n > 0 ? bookingCount : 0;

        {
            EngineTable settings(createHostTable(connection, HostSchema::settings()));
            Appender s(settings.handle(), HostSchema::settings());
            begin(settings);
            s.begin();
            s.set("Ident", QStringLiteral("1"));
            s.set("stringItem", QStringLiteral("Demo-Mandant (Startwert %1)").arg(options.seed));
            s.write();
            commit(settings);
            createHostIndexes(settings.handle(), HostSchema::settings());
        }
    });
    return summary;
}
