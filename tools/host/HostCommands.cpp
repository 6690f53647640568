#include "HostCommands.h"

#include "DemoGenerator.h"
#include "EngineSession.h"
#include "HostFolder.h"
#include "TableExport.h"
#include "TableImport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace {

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

// Why the entry under a table's name is no table file at all, or nothing when it is a file.
QString fileKindProblem(const QString &path) {
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    if (lstat(name.constData(), &st) != 0)
        return QStringLiteral("nicht lesbar: %1").arg(QString::fromLocal8Bit(strerror(errno)));
    if (S_ISLNK(st.st_mode) && stat(name.constData(), &st) != 0)
        return QStringLiteral("ein Verweis auf '%1', den es nicht gibt, keine Tabellendatei")
            .arg(QFileInfo(path).symLinkTarget());
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("ein Ordner, keine Tabellendatei");
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("eine benannte Pipe (FIFO), keine Tabellendatei");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("ein Socket, keine Tabellendatei");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("eine Gerätedatei, keine Tabellendatei");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("keine gewöhnliche Datei, keine Tabellendatei");
    return {};
}

} // namespace

namespace HostCommands {

TableList listTables(const QString &folder) {
    TableList out;
    if (remoteServer()) {
        // A data set lists no files: the host's tables that are there.
        EngineConnection probe(folder);
        for (const HostSchema::Table *s : HostSchema::all())
            if (probe.hasTable(QString::fromStdString(s->fileName)))
                out.names << QString::fromStdString(s->fileName);
        out.where = QStringLiteral("Datenbestand %1").arg(folder);
        return out;
    }
    const QDir dir(folder);
    if (!dir.exists())
        throw HostError(QStringLiteral("Den Ordner '%1' gibt es nicht.").arg(folder));
    out.names = dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                              QDir::Name | QDir::IgnoreCase)
                    .filter(QRegularExpression(QStringLiteral("\\.tbl$"),
                                               QRegularExpression::CaseInsensitiveOption));
    out.where = QStringLiteral("Datenordner %1").arg(dir.absolutePath());
    return out;
}

QString notATableFile(const QString &folder, const QString &name) {
    return remoteServer() ? QString() : fileKindProblem(QDir(folder).filePath(name));
}

QString tableFileName(const QString &name) {
    return name.contains(u'.') ? name : name + QStringLiteral(".TBL");
}

int create(const QString &folder, QTextStream &out) {
    HostFolder::createTables(folder, [](EngineConnection &connection) {
        for (const HostSchema::Table *schema : HostSchema::all()) {
            EngineTable table(createHostTable(connection, *schema));
            createHostIndexes(table.handle(), *schema);
        }
    });
    for (const HostSchema::Table *schema : HostSchema::all())
        out << QStringLiteral("%1 angelegt\n").arg(QString::fromStdString(schema->fileName));
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
    return TableImport::run(folder, tableName, csvFile, out);
}

int exportTable(const QString &folder, const QString &tableName, const QString &indexTag,
                const QString &outputFile, QIODevice &standardOutput) {
    return TableExport::run(folder, tableName, indexTag, outputFile, standardOutput);
}

int info(const QString &folder, QTextStream &out) {
    const TableList tables = listTables(folder);
    const QStringList &names = tables.names;
    const QString &where = tables.where;
    EngineConnection connection(folder);
    out << QStringLiteral("%1: %2 Tabellen\n").arg(where).arg(names.size());
    bool articlesRead = false;
    int unreadable = 0;
    for (const QString &name : names) {
        const QString notATable = notATableFile(folder, name);
        if (!notATable.isEmpty()) {
            out << QStringLiteral("\n%1: %2\n").arg(name, notATable);
            ++unreadable;
            continue;
        }
        try {
            EngineTable table(connection, name);
            out << QStringLiteral("\n%1: %2 Datensätze\n").arg(name).arg(table.recordCount());
            QStringList fieldTexts;
            for (const FieldInfo &f : table.fields()) {
                QString t = QStringLiteral("%1 %2").arg(f.name, typeName(f.type));
                if (f.type == DB_TYPE_STRING || f.type == DB_TYPE_CISTRING ||
                    f.type == DB_TYPE_RAW || f.type == DB_TYPE_NUMERIC)
                    t += QStringLiteral(" %1").arg(f.length);
                fieldTexts << t;
            }
            out << QStringLiteral("  Felder: ") << fieldTexts.join(QStringLiteral(", ")) << '\n';
            for (const IndexInfo &i : table.indexes())
                out << QStringLiteral("  Index %1 (%2)%3\n")
                           .arg(i.name, i.fields,
                                i.unique ? QStringLiteral(", eindeutig") : QString());
            if (HostSchema::find(name.toStdString()) == &HostSchema::articles())
                articlesRead = true;
        } catch (const HostError &e) {
            out << QStringLiteral("\n%1: nicht lesbar: %2\n").arg(name, e.message());
            ++unreadable;
        }
    }
    if (articlesRead) {
        try {
            const DuplicateReport r = analyseDuplicates(connection);
            out << QStringLiteral("\nDoppelte Bestellnummern: %1 Nummern, %2 Artikel (davon %3 "
                                  "mit Buchungen); %4 Artikel ohne Bestellnummer\n")
                       .arg(r.groups)
                       .arg(r.articles)
                       .arg(r.withBookings)
                       .arg(r.emptyNumbers);
        } catch (const HostError &e) {
            out << QStringLiteral("\nDoppelte Bestellnummern: nicht ermittelt: %1\n")
                       .arg(e.message());
            return 1;
        }
    }
    if (unreadable > 0) {
        out << QStringLiteral("\n%1 von %2 Tabellen konnten nicht gelesen werden.\n")
                   .arg(unreadable)
                   .arg(names.size());
        return 1;
    }
    return 0;
}

} // namespace HostCommands
