// dupcheck-host: the stand-in for the module host's data tools. It creates the host's tables,
// fills them with demo data or from CSV files, exports them, summarises a data folder, lists
// the duplicate order numbers as the module's check does, checks the tables for damage, and
// lists and restores what the module's deletion deleted; on the local server or (option
// --remote) on a data set of the remote server.
#include "EngineSession.h"
#include "HostCommands.h"
#include "SettingsCommands.h"

#include "platform/Exception.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

const char kUsage[] =
    "Aufruf: dupcheck-host [--remote] KOMMANDO ...\n"
    "  --remote  DIR ist ein Datenbestand auf dem PostgreSQL-Server statt eines Ordners;\n"
    "            den Server nennen PGHOST, PGPORT, PGDATABASE, PGUSER oder PGSERVICE\n"
    "Kommandos:\n"
    "  dupcheck-host create DIR\n"
    "      legt die drei Tabellen des Hauptprogramms (ArtikelMain.TBL, Artikelsub.TBL,\n"
    "      setup.TBL) mit ihren Feldern und Indizes leer im Ordner DIR an\n"
    "  dupcheck-host demo DIR [--articles N] [--bookings N] [--seed S]\n"
    "                         [--shared-percent P] [--booked-percent P]\n"
    "      legt die Tabellen an und füllt sie mit Demodaten (Vorgaben: 2000 Artikel,\n"
    "      drei Buchungen je Artikel, Startwert 1, 0,4 % der Artikel mit geteilter\n"
    "      Bestellnummer, 60 % der Artikel mit Buchungen)\n"
    "  dupcheck-host import DIR TABELLE DATEI.csv\n"
    "      hängt die Zeilen einer CSV-Datei (UTF-8, Kopfzeile mit Feldnamen) an, jeden\n"
    "      Wert genau so, wie er dasteht; eine Zeile, die nicht genau so gespeichert\n"
    "      werden kann (Zeichen ohne Windows-1252-Code, kein UTF-8, Nullzeichen, Text\n"
    "      länger als das Feld, falscher Wert), bricht ab: aus der Datei wird dann nichts\n"
    "      übernommen, die Meldung nennt Zeile, Feld und Grund\n"
    "  dupcheck-host export DIR TABELLE [--index TAG] [--output DATEI]\n"
    "      schreibt die Tabelle als CSV (jeden Wert genau, so dass ein Import dieselben\n"
    "      Datensätze ergibt) auf die Standardausgabe oder in DATEI, auf Wunsch in der\n"
    "      Reihenfolge eines Index; DATEI erscheint erst, wenn sie vollständig ist\n"
    "  dupcheck-host info DIR\n"
    "      zeigt Tabellen, Felder, Indizes, Datensatzzahlen und die doppelten\n"
    "      Bestellnummern des Datenordners\n"
    "  dupcheck-host duplicates DIR [--csv]\n"
    "      prüft wie \"Überprüfen\" im Modul und listet dieselben Zeilen in derselben\n"
    "      Reihenfolge: ID, Bezeichnung, Bestellnummer, Buchungen vorhanden (Ja/Nein);\n"
    "      bei mehr als 5000 doppelten Nummern bricht die Prüfung wie im Modul mit einer\n"
    "      Meldung ab. Mit --csv als CSV mit der Kopfzeile ID,BZ,BSTN,HASBOOKS; Meldung\n"
    "      und Ergebnis stehen dann auf der Fehlerausgabe\n"
    "  dupcheck-host settings DIR\n"
    "      lädt die Einstellungen wie der Start des Moduls (setup.TBL des Datenordners,\n"
    "      KLEVO.INI neben dem Programm) und zeigt jeden Wert in einer Zeile\n"
    "  dupcheck-host setting DIR IDENT [--text T] [--memo-file DATEI] [--pack]\n"
    "      schreibt die Einstellungszeile IDENT (legt sie an, wenn sie fehlt): --text setzt\n"
    "      stringItem, --memo-file setzt MemoItem auf den Inhalt der Datei, mit --pack\n"
    "      gepackt (zlib)\n"
    "  dupcheck-host check DIR\n"
    "      prüft jede Tabelle des Ordners mit der Integritätsprüfung von SQLite (alle\n"
    "      Datensätze und Indizes; mit --remote die Indexprüfung \"amcheck\" des Servers)\n"
    "      und meldet je Tabelle, ob sie in Ordnung ist\n"
    "  dupcheck-host journal DIR\n"
    "      listet das Löschjournal: wann welcher Artikel gelöscht wurde und was aus ihm\n"
    "      wurde (gelöscht, nicht gelöscht, zurückgeholt)\n"
    "  dupcheck-host restore DIR [--since ZEIT]\n"
    "      holt die gelöschten Artikel aus dem Löschjournal mit ihren IDs zurück, mit\n"
    "      --since nur die ab ZEIT gelöschten (\"24.12.2026 14:30\" oder \"2026-12-24\")\n";

int failed(QTextStream &out, const QString &message) {
    out.flush();
    fprintf(stderr, "dupcheck-host: %s\n", message.toLocal8Bit().constData());
    return 1;
}

int usage() {
    fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.removeAll(QStringLiteral("--remote")) > 0)
        setRemoteServer(true);
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")) {
        fputs(kUsage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? 2 : 0;
    }
    QTextStream out(stdout);
    const QString command = args[0];
    try {
        if (command == QLatin1String("create") && args.size() == 2)
            return HostCommands::create(args[1], out);
        if (command == QLatin1String("demo") && args.size() >= 2)
            return HostCommands::demo(args[1], args.mid(2), out);
        if (command == QLatin1String("import") && args.size() == 4)
            return HostCommands::import(args[1], args[2], args[3], out);
        if (command == QLatin1String("export") && args.size() >= 3) {
            QString tag, output;
            for (qsizetype i = 3; i < args.size(); i += 2) {
                if (i + 1 >= args.size())
                    return usage();
                if (args[i] == QLatin1String("--index") && tag.isEmpty())
                    tag = args[i + 1];
                else if (args[i] == QLatin1String("--output") && output.isEmpty())
                    output = args[i + 1];
                else
                    return usage();
            }
            out.flush();
            QFile standardOutput;
            standardOutput.open(stdout, QIODevice::WriteOnly);
            return HostCommands::exportTable(args[1], args[2], tag, output, standardOutput);
        }
        if (command == QLatin1String("info") && args.size() == 2)
            return HostCommands::info(args[1], out);
        if (command == QLatin1String("check") && args.size() == 2)
            return HostCommands::check(args[1], out);
        if (command == QLatin1String("journal") && args.size() == 2)
            return HostCommands::journal(args[1], out);
        if (command == QLatin1String("restore") &&
            (args.size() == 2 || (args.size() == 4 && args[2] == QLatin1String("--since"))))
            return HostCommands::restore(args[1], args.size() == 4 ? args[3] : QString(), out);
        if (command == QLatin1String("duplicates") &&
            (args.size() == 2 || (args.size() == 3 && args[2] == QLatin1String("--csv")))) {
            QTextStream err(stderr);
            return HostCommands::duplicates(args[1], args.size() == 3, out, err);
        }
        if (command == QLatin1String("settings") && args.size() == 2)
            return SettingsCommands::show(args[1], out);
        if (command == QLatin1String("setting") && args.size() >= 3)
            return SettingsCommands::write(args[1], args[2], args.mid(3), out);
    } catch (const HostError &e) {
        return failed(out, e.message());
    } catch (const Exception &e) {
        // The data components' failures (a table that cannot be opened, a missing tag).
        return failed(out, e.message());
    }
    return usage();
}
