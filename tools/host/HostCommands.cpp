#include "HostCommands.h"

#include "Csv.h"
#include "DemoGenerator.h"
#include "EngineSession.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <vector>

namespace {

// Dates cross the CSV files in ISO form, whatever the engine's default is.
void useIsoDates() {
    DbSetDateFormat("CCYY-MM-DD");
}

bool isBinary(quint16 type) {
    return type == DB_TYPE_BINARY || type == DB_TYPE_IMAGE;
}

QByteArray readBinary(DBHANDLE table, quint16 field) {
    quint32 length = 0;
    checkEngine(DbGetBinaryLength(table, field, &length));
    QByteArray data(qsizetype(length), Qt::Uninitialized);
    if (length > 0) {
        quint32 got = length;
        checkEngine(DbGetBinary(table, field, 0, reinterpret_cast<quint8 *>(data.data()), &got));
        data.truncate(got);
    }
    return data;
}

struct DuplicateReport {
    qint64 groups = 0;
    qint64 articles = 0;
    qint64 withBookings = 0;
    qint64 emptyNumbers = 0;
};

DuplicateReport analyseDuplicates(EngineConnection &connection) {
    DuplicateReport report;
    EngineTable articles(connection, QString::fromStdString(HostSchema::articles().fileName));
    const DBHANDLE order = articles.index(QStringLiteral("BSTN"));
    const quint16 bstn = articles.fieldNumber(QStringLiteral("BSTN"));
    const quint16 id = articles.fieldNumber(QStringLiteral("ID"));
    std::vector<QByteArray> listed;
    QByteArray previous;
    qint64 run = 0;
    QByteArray runFirstId;
    checkEngine(DbGotoTop(order));
    for (;;) {
        quint16 eof = 0;
        checkEngine(DbAtEOF(articles.handle(), &eof));
        if (eof)
            break;
        const QByteArray number = articles.bytes(bstn);
        if (number.isEmpty())
            ++report.emptyNumbers;
        if (run > 0 && number == previous) {
            if (run == 1) {
                ++report.groups;
                listed.push_back(runFirstId);
            }
            listed.push_back(articles.bytes(id));
            ++run;
        } else {
            run = 1;
            runFirstId = articles.bytes(id);
        }
        previous = number;
        checkEngine(DbSkip(order, 1));
    }
    report.articles = qint64(listed.size());
    const QString bookingsFile = QString::fromStdString(HostSchema::bookings().fileName);
    if (connection.hasTable(bookingsFile)) {
        EngineTable bookings(connection, bookingsFile);
        const DBHANDLE byArticle = bookings.index(QStringLiteral("ID_ART"));
        for (const QByteArray &articleId : listed) {
            quint16 found = 0;
            checkEngine(DbSeek(byArticle, reinterpret_cast<const quint8 *>(articleId.constData()),
                               quint16(articleId.size()), DB_KEY_TEXT, DB_SEEK_HARD, &found));
            if (found)
                ++report.withBookings;
        }
    }
    return report;
}

QString typeName(quint16 type) {
    switch (type) {
    case DB_TYPE_LOGICAL:
        return QStringLiteral("logisch");
    case DB_TYPE_NUMERIC:
        return QStringLiteral("numerisch");
    case DB_TYPE_DATE:
    case DB_TYPE_COMPACTDATE:
        return QStringLiteral("Datum");
    case DB_TYPE_STRING:
        return QStringLiteral("Text");
    case DB_TYPE_CISTRING:
        return QStringLiteral("Text (ohne Groß/klein)");
    case DB_TYPE_MEMO:
    case DB_TYPE_VARCHAR:
        return QStringLiteral("Memo");
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE:
        return QStringLiteral("Binär");
    case DB_TYPE_DOUBLE:
        return QStringLiteral("Gleitkomma");
    case DB_TYPE_INTEGER:
        return QStringLiteral("Ganzzahl");
    case DB_TYPE_SHORTINT:
        return QStringLiteral("kurze Ganzzahl");
    case DB_TYPE_TIME:
        return QStringLiteral("Uhrzeit");
    case DB_TYPE_TIMESTAMP:
        return QStringLiteral("Zeitstempel");
    case DB_TYPE_AUTOINC:
        return QStringLiteral("Autowert");
    case DB_TYPE_RAW:
        return QStringLiteral("Bytes");
    case DB_TYPE_CURDOUBLE:
        return QStringLiteral("Währung");
    default:
        return QStringLiteral("Typ %1").arg(type);
    }
}

} // namespace

namespace HostCommands {

QString tableFileName(const QString &name) {
    return name.contains(u'.') ? name : name + QStringLiteral(".TBL");
}

int create(const QString &folder, QTextStream &out) {
    EngineConnection connection(folder, true);
    for (const HostSchema::Table *schema : HostSchema::all()) {
        EngineTable table(createHostTable(connection, *schema));
        createHostIndexes(table.handle(), *schema);
        out << QStringLiteral("%1 angelegt\n").arg(QString::fromStdString(schema->fileName));
    }
    return 0;
}

int demo(const QString &folder, const QStringList &options, QTextStream &out) {
    DemoOptions o;
    for (qsizetype i = 0; i < options.size(); ++i) {
        const QString &opt = options[i];
        auto value = [&]() -> QString {
            if (i + 1 >= options.size())
                throw HostError(QStringLiteral("Zur Option %1 fehlt der Wert.").arg(opt));
            return options[++i];
        };
        bool ok = true;
        if (opt == QLatin1String("--articles"))
            o.articles = value().toLongLong(&ok);
        else if (opt == QLatin1String("--bookings"))
            o.bookings = value().toLongLong(&ok);
        else if (opt == QLatin1String("--seed"))
            o.seed = value().toULongLong(&ok);
        else if (opt == QLatin1String("--shared-percent"))
            o.sharedPercent = value().toDouble(&ok);
        else if (opt == QLatin1String("--booked-percent"))
            o.bookedPercent = value().toDouble(&ok);
        else
            throw HostError(QStringLiteral("Unbekannte Option: %1").arg(opt));
        if (!ok || o.articles < 0)
            throw HostError(QStringLiteral("Ungültiger Wert für %1").arg(opt));
    }
    useIsoDates();
    const DemoSummary s = generateDemo(folder, o, [&](const QString &line) {
        out << line << '\n';
        out.flush();
    });
    out << QStringLiteral("Demodaten in %1: %2 Artikel, %3 Buchungen, %4 geplante Gruppen "
                          "doppelter Bestellnummern mit %5 Artikeln, %6 Artikel mit "
                          "Bestellnummer in anderer Schreibweise, %7 ohne Bestellnummer\n")
               .arg(folder)
               .arg(s.articles)
               .arg(s.bookings)
               .arg(s.duplicateGroups)
               .arg(s.duplicateArticles)
               .arg(s.caseVariants)
               .arg(s.emptyNumbers);
    return 0;
}

int import(const QString &folder, const QString &tableName, const QString &csvFile,
           QTextStream &out) {
    QFile file(csvFile);
    if (!file.open(QIODevice::ReadOnly))
        throw HostError(QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2")
                            .arg(csvFile, file.errorString()));
    const CsvDocument doc = parseCsv(file.readAll());
    if (doc.records.isEmpty())
        throw HostError(QStringLiteral("Die Datei '%1' hat keine Kopfzeile.").arg(csvFile));
    useIsoDates();
    EngineConnection connection(folder);
    const QString fileName = tableFileName(tableName);
    EngineTable table(connection, fileName);
    const QList<FieldInfo> fields = table.fields();

    const QStringList header = doc.records[0].fields;
    std::vector<quint16> columns;
    for (const QString &name : header) {
        quint16 n = 0;
        if (DbGetFieldNum(table.handle(), toEngine(name.trimmed()).constData(), &n) != 0)
            throw HostError(
                QStringLiteral("Zeile 1: Das Feld '%1' gibt es in %2 nicht.").arg(name, fileName));
        if (std::find(columns.begin(), columns.end(), n) != columns.end())
            throw HostError(QStringLiteral("Zeile 1: Das Feld '%1' steht zweimal in der "
                                           "Kopfzeile.")
                                .arg(name));
        columns.push_back(n);
    }

    checkEngine(DbBeginTransaction(table.handle()));
    qint64 imported = 0;
    try {
        for (qsizetype r = 1; r < doc.records.size(); ++r) {
            const CsvRecord &record = doc.records[r];
            try {
                if (record.fields.size() != header.size())
                    throw HostError(QStringLiteral("%1 Werte statt %2")
                                        .arg(record.fields.size())
                                        .arg(header.size()));
                checkEngine(DbAppendRecord(table.handle()));
                for (qsizetype c = 0; c < header.size(); ++c) {
                    const quint16 field = columns[size_t(c)];
                    const QString &value = record.fields[c];
                    if (isBinary(fields[field - 1].type)) {
                        const QByteArray data = QByteArray::fromHex(value.toLatin1());
                        if (data.toHex() != value.toLatin1().toLower())
                            throw HostError(QStringLiteral("Feld %1: kein Hex-Text")
                                                .arg(fields[field - 1].name));
                        checkEngine(DbSetBinary(table.handle(), field,
                                                reinterpret_cast<const quint8 *>(data.constData()),
                                                quint32(data.size())));
                    } else {
                        table.setText(field, value);
                    }
                }
                checkEngine(DbWriteRecord(table.handle()));
                ++imported;
            } catch (const HostError &e) {
                DbCancelUpdate(table.handle());
                throw HostError(QStringLiteral("Zeile %1: %2").arg(record.line).arg(e.message()));
            }
        }
    } catch (...) {
        DbRollbackTransaction(table.handle());
        throw;
    }
    checkEngine(DbCommitTransaction(table.handle()));
    out << QStringLiteral("%1 %2 in %3 importiert\n")
               .arg(imported)
               .arg(imported == 1 ? QStringLiteral("Datensatz") : QStringLiteral("Datensätze"))
               .arg(fileName);
    return 0;
}

int exportTable(const QString &folder, const QString &tableName, const QString &indexTag,
                QTextStream &out) {
    useIsoDates();
    EngineConnection connection(folder);
    EngineTable table(connection, tableFileName(tableName));
    const QList<FieldInfo> fields = table.fields();
    const DBHANDLE order = indexTag.isEmpty() ? table.handle() : table.index(indexTag);
    QStringList names;
    for (const FieldInfo &f : fields)
        names << f.name;
    out << csvLine(names) << '\n';
    checkEngine(DbGotoTop(order));
    for (;;) {
        quint16 eof = 0;
        checkEngine(DbAtEOF(table.handle(), &eof));
        if (eof)
            break;
        QStringList values;
        for (quint16 n = 1; n <= fields.size(); ++n) {
            if (isBinary(fields[n - 1].type))
                values << QString::fromLatin1(readBinary(table.handle(), n).toHex());
            else
                values << table.text(n);
        }
        out << csvLine(values) << '\n';
        checkEngine(DbSkip(order, 1));
    }
    return 0;
}

int info(const QString &folder, QTextStream &out) {
    QStringList files;
    QString where;
    if (remoteServer()) {
        // A data set lists no files: the host's tables that are there.
        EngineConnection probe(folder);
        for (const HostSchema::Table *s : HostSchema::all())
            if (probe.hasTable(QString::fromStdString(s->fileName)))
                files << QString::fromStdString(s->fileName);
        where = QStringLiteral("Datenbestand %1").arg(folder);
    } else {
        QDir dir(folder);
        if (!dir.exists())
            throw HostError(QStringLiteral("Den Ordner '%1' gibt es nicht.").arg(folder));
        files = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)
                    .filter(QRegularExpression(QStringLiteral("\\.tbl$"),
                                               QRegularExpression::CaseInsensitiveOption));
        where = QStringLiteral("Datenordner %1").arg(dir.absolutePath());
    }
    EngineConnection connection(folder);
    out << QStringLiteral("%1: %2 Tabellen\n").arg(where).arg(files.size());
    bool haveArticles = false;
    for (const QString &file : files) {
        EngineTable table(connection, file);
        out << QStringLiteral("\n%1: %2 Datensätze\n").arg(file).arg(table.recordCount());
        QStringList fieldTexts;
        for (const FieldInfo &f : table.fields()) {
            QString t = QStringLiteral("%1 %2").arg(f.name, typeName(f.type));
            if (f.type == DB_TYPE_STRING || f.type == DB_TYPE_CISTRING || f.type == DB_TYPE_RAW ||
                f.type == DB_TYPE_NUMERIC)
                t += QStringLiteral(" %1").arg(f.length);
            fieldTexts << t;
        }
        out << QStringLiteral("  Felder: ") << fieldTexts.join(QStringLiteral(", ")) << '\n';
        for (const IndexInfo &i : table.indexes())
            out << QStringLiteral("  Index %1 (%2)%3\n")
                       .arg(i.name, i.fields, i.unique ? QStringLiteral(", eindeutig") : QString());
        if (HostSchema::find(file.toStdString()) == &HostSchema::articles())
            haveArticles = true;
    }
    if (haveArticles) {
        const DuplicateReport r = analyseDuplicates(connection);
        out << QStringLiteral("\nDoppelte Bestellnummern: %1 Nummern, %2 Artikel (davon %3 mit "
                              "Buchungen); %4 Artikel ohne Bestellnummer\n")
                   .arg(r.groups)
                   .arg(r.articles)
                   .arg(r.withBookings)
                   .arg(r.emptyNumbers);
    }
    return 0;
}

} // namespace HostCommands
