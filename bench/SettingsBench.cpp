// Figures for the settings store:
//
//   1. The whole loader (Load: both reset groups, every row of the catalogue, KLEVO.INI, the
//      closing steps) on a settings table that holds every Ident of the catalogue with
//      realistic content: lists of 300 lines, packed streams of a few KB, the address grid's
//      cells and the automatic actions as component streams, the tax texts as CSV. Beside it,
//      the reference: every one of those rows sought and both its columns read once through
//      the same table component, which is the least any loader must do.
//   2. The module's start to a shown, usable main window (the settings loaded, the article
//      and bookings tables open) on the article tables of the demo folder, once with that
//      full settings table and once with an empty one (the reference): the difference is what
//      the loader adds to the start.
//
//   settings_bench DIR [--runs N]
//
// DIR is made by: dupcheck-host demo DIR --articles 1000000 --seed 1. It is only read: its two
// article tables are copied to a scratch folder, which the settings tables are put into.
// CPU time of the process is the comparable figure on a shared machine; wall time stands
// beside it. Each figure is the fastest of N runs (default 5).
#include "check/TFMain.h"
#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/ui/LoginDialog.h"
#include "dbeng.h"
#include "feedback/Cursors.h"
#include "platform/CommandLine.h"
#include "platform/Cp1252.h"
#include "platform/EnginePath.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "schema/HostSchema.h"
#include "settings/PackedStream.h"
#include "settings/SettingsLoader.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsStart.h"
#include "settings/TAdressExtraDataGrid.h"
#include "settings/TAutoActionItems.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

namespace {

double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double loadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

// The fastest of the runs, in milliseconds.
Timing fastest(int runs, const std::function<void()> &body) {
    Timing best;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer wall;
        const double cpu0 = cpuNow();
        wall.start();
        body();
        best.wall = std::min(best.wall, double(wall.nsecsElapsed()) * 1e-6);
        best.cpu = std::min(best.cpu, (cpuNow() - cpu0) * 1e3);
    }
    return best;
}

void ok(DBRESULT r, const char *what) {
    if (r != DBE_SUCCESS) {
        char text[DB_MAX_ERROR_TEXT + 1] = {};
        uint16_t len = sizeof text;
        uint32_t number = 0;
        DbGetLastError(&number, text, &len);
        std::fprintf(stderr, "%s: %s\n", what, text);
        std::exit(2);
    }
}

// --- A settings table with every Ident of the catalogue ------------------------------------

QStringList someLines(const char *stem, int count) {
    QStringList l;
    for (int i = 1; i <= count; ++i)
        l << QStringLiteral("%1 %2: Eintrag mit etwas Text, Ümläuten und Zahlen 1.234,56")
                 .arg(QLatin1String(stem))
                 .arg(i);
    return l;
}

struct Row {
    int ident;
    QString text;
    QByteArray memo;
};

QByteArray joined(const QStringList &lines) {
    return Cp1252::fromQString(lines.join(QStringLiteral("\r\n")));
}

std::vector<Row> catalogueRows() {
    std::vector<Row> rows;
    auto text = [&](int ident, const QString &t) { rows.push_back({ident, t, {}}); };
    auto lines = [&](int ident, const QStringList &l, const QString &t = QString()) {
        rows.push_back({ident, t, joined(l)});
    };
    lines(1530, {"1", "0", "1", "1", "0", "1"});
    for (int ident : {21002, 29002, 21003, 21004, 21005, 29005, 21006, 21007, 20004, 29004, 20005,
                      20006, 20007, 29007, 20008, 20009})
        lines(ident, someLines("Summe", 12), QStringLiteral("Summe %1:").arg(ident));
    for (int ident : {21009, 21010, 21011, 21012, 21013, 31009, 31010, 31011, 31012})
        text(ident, QStringLiteral("Kopf %1").arg(ident));
    text(20010, QStringLiteral("1,95583"));
    text(200011, QStringLiteral("DM"));
    text(20012, QStringLiteral("1"));
    text(200030, QStringLiteral("1"));
    text(200031, QStringLiteral("2"));
    for (int ident : {8101, 8102, 8103})
        rows.push_back({ident, {}, PackedStream::Pack(joined(someLines("Vorlage", 60)))});
    QStringList csv;
    for (int i = 0; i < 50; ++i)
        csv << QStringLiteral("Umsatzsteuer %1 %;\"inkl. %1 %\";netto;\"netto; %1\";%2;%1,5")
                   .arg(i)
                   .arg(i % 3);
    lines(20, csv);
    lines(14500, someLines("<p>Vorlage</p>", 300));
    lines(14501, {"1,5", "2", "1", "0", "1", "3"});
    for (int ident : {8201, 8202, 8203, 16000, 212, 51003, 51000, 51002, 51001, 15004, 4997})
        text(ident, QStringLiteral("Text %1").arg(ident));
    for (int ident : {903,   10000, 12000, 12010, 12013, 12014, 213,  51004, 51008, 51009, 214,
                      9214,  9215,  218,   215,   216,   217,   301,  302,   13031, 15000, 23001,
                      23002, 23003, 250,   76,    951,   4000,  1400, 1401,  1402,  16003, 4999,
                      5000,  4998,  4996,  5001,  5002,  5023,  5022, 5025,  5026,  219,   661})
        text(ident, QStringLiteral("1"));
    text(12011, QStringLiteral("01"));
    text(666, QStringLiteral("1201"));
    text(13030, QStringLiteral("21"));
    text(15001, QStringLiteral("123456"));
    lines(16009, {"000000", "/26", "4711"}, QStringLiteral("RE-"));
    QStringList accounts;
    for (int n : {8000, 8100, 8400, 3400, 4100, 4910, 1000, 1200, 1400, 1600})
        accounts << QStringLiteral("%1;Konto %1;1;%1;0;12;2;1;3").arg(n);
    lines(16012, accounts);
    lines(202, someLines("BELEGART", 20));
    lines(201, {"Typ 2", "Typ 3", "Typ 4", "Typ 5"}, QStringLiteral("Typ 1"));
    text(5024, QStringLiteral("24.12.2026"));
    text(5021, QStringLiteral("19,0"));
    for (int n = 0; n < 10; ++n) {
        text(2001 + n, QStringLiteral("Anschrift %1").arg(n + 1));
        text(3001 + n, QString::number(n % 3));
    }
    lines(920, someLines("K", 300));
    text(949, QStringLiteral("1,5"));
    text(950, QStringLiteral("2,5"));
    for (int ident : {1500, 1510, 1502, 1501, 1506, 1505, 1509, 12019, 12018, 16002, 16001, 16010,
                      16045, 16046, 751, 752, 753})
        lines(ident, someLines("Liste", 300));
    TAutoActionItemsWrapper actions;
    actions.AutoActionItems.Items.resize(14);
    for (TAutoActionItem &a : actions.AutoActionItems.Items) {
        a.PDFFileAfterClose = aa_auto;
        a.DefaultMailType = aa_pdf;
        a.BCC = QStringLiteral("archiv@firma.example");
        a.SLayout = true;
    }
    rows.push_back({1511, {}, actions.WriteToStream()});
    lines(1507, {"bei Zahlung bis zum ", " 2 % Skonto: ", "", "", "7"});
    QStringList info = {"Name", "Zusatz", "Art.-Nr."};
    for (int i = 1; i <= 10; ++i)
        info << QStringLiteral("INFO%1=Information %1").arg(i);
    lines(1512, info);
    lines(1508, someLines("Fällig", 69));
    text(964, QStringLiteral("3"));
    QStringList groups, codes, values, rules;
    for (int i = 0; i < 200; ++i) {
        groups << QStringLiteral("#%1 Gruppe").arg(i);
        codes << QStringLiteral("%1,5").arg(i);
        values << QString::number(i);
        rules << QStringLiteral("VK*1.%1\t+2").arg(i);
    }
    lines(650, groups);
    lines(651, codes);
    lines(660, values);
    lines(663, rules);
    lines(652, {"10", "10", "120", "Tahoma", "12", "0", "10", "40", "120", "Tahoma", "8", "255"});
    TAdressExCellInfosWrapper cells;
    for (int i = 0; i < 150; ++i) {
        TAdressExCellInfo &c = cells.AdressExCellInfos.Add();
        c.Col = i % 7;
        c.Row = i / 7;
        c.Gray = QStringLiteral("Hinweis %1").arg(i);
        c.Readonly = i % 2;
    }
    rows.push_back({754, {}, PackedStream::Pack(cells.WriteToStream())});
    return rows;
}

void makeSettingsTable(const QString &folder, const std::vector<Row> &rows) {
    QFile::remove(folder + QStringLiteral("/setup.TBL"));
    DBHANDLE connection = 0;
    ok(DbConnect(EnginePath::toEngine(folder).constData(), DB_SERVER_LOCAL, "", "", 0, &connection),
       "connect");
    const HostSchema::Table &schema = HostSchema::settings();
    DBHANDLE table = 0;
    ok(HostSchema::createTable(connection, schema, &table), "create setup.TBL");
    ok(HostSchema::createIndexes(table, schema), "index IDENT");
    const uint16_t identField = schema.fieldNumber("Ident");
    const uint16_t memoField = schema.fieldNumber("MemoItem");
    const uint16_t textField = schema.fieldNumber("stringItem");
    ok(DbBeginTransaction(table), "transaction");
    for (const Row &r : rows) {
        ok(DbAppendRecord(table), "append");
        const QByteArray id = QByteArray::number(r.ident);
        ok(DbSetField(table, identField, id.constData(), uint32_t(id.size())), "Ident");
        if (!r.memo.isEmpty())
            ok(DbSetBinary(table, memoField, reinterpret_cast<const uint8_t *>(r.memo.constData()),
                           uint32_t(r.memo.size())),
               "MemoItem");
        const QByteArray t = Cp1252::fromQString(r.text);
        if (!t.isEmpty())
            ok(DbSetField(table, textField, t.constData(), uint32_t(t.size())), "stringItem");
        ok(DbWriteRecord(table), "write");
    }
    ok(DbCommitTransaction(table), "commit");
    ok(DbCloseTable(table), "close");
    ok(DbDisconnect(connection), "disconnect");
}

// --- The module's start --------------------------------------------------------------------

// From the window's creation to a shown window with its tables open, in milliseconds.
Timing startOnce(const QString &folder) {
    QElapsedTimer wall;
    const double cpu0 = cpuNow();
    wall.start();
    Timing t;
    {
        TFMain form;
        Application::setMainForm(&form);
        form.show();
        QDeadlineTimer deadline(60000);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (form.Table_ARTMAIN->Active() && form.Subtable->Active() && form.isVisible())
                break;
            if (!form.isVisible()) {
                std::fprintf(stderr, "the window did not start on %s\n", qPrintable(folder));
                std::exit(3);
            }
        }
        // Whatever the start posted is handled: the window is ready for the first click.
        QCoreApplication::processEvents();
        t.wall = double(wall.nsecsElapsed()) * 1e-6;
        t.cpu = (cpuNow() - cpu0) * 1e3;
        Application::setMainForm(nullptr);
    }
    return t;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer setupWall;
    setupWall.start();
    const double setupCpu0 = cpuNow();
    QApplication app(argc, argv);
    const Timing appTime{double(setupWall.nsecsElapsed()) * 1e-6, (cpuNow() - setupCpu0) * 1e3};
    // The offscreen platform cannot raise a window; its warning is no figure.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        if (!text.contains(QLatin1String("does not support raise()")))
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QString demo;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (demo.isEmpty())
            demo = QDir(QFile::decodeName(argv[i])).absolutePath();
    }
    if (demo.isEmpty() || !QFileInfo::exists(demo + QStringLiteral("/ArtikelMain.TBL"))) {
        std::fprintf(stderr, "usage: settings_bench DIR [--runs N]\n"
                             "  DIR made by: dupcheck-host demo DIR --articles 1000000 --seed 1\n");
        return 1;
    }
    std::printf("platform %s, load average %.2f (CPU time is the comparable figure)\n",
                qPrintable(QGuiApplication::platformName()), loadAverage());
    QTemporaryDir scratch;
    const QString folder = scratch.path();
    SetWorkstationSettingsFolder(folder);
    const std::vector<Row> rows = catalogueRows();
    qint64 memoBytes = 0;
    for (const Row &r : rows)
        memoBytes += r.memo.size();
    std::printf("settings table: %zu rows (every Ident of the catalogue), %lld bytes of memos\n",
                rows.size(), static_cast<long long>(memoBytes));
    makeSettingsTable(folder, rows);
    QFile ini(folder + QStringLiteral("/KLEVO.INI"));
    ini.open(QIODevice::WriteOnly);
    ini.write("[MAIL]\r\nmailMAPI=1\r\n[PRINTERS]\r\nCopies_Count_op1=2\r\n[EF]\r\n"
              "DefaultFontRTF_color=clNavy\r\n");
    ini.close();

    // 1. The loader alone.
    {
        TDbConnection connection;
        connection.SetDbServerTypes(stDB_LOCAL);
        connection.SetConnectPath(folder);
        TDbTable table;
        table.setObjectName(QStringLiteral("DbTableSettings"));
        table.SetDbConnection(&connection);
        table.SetTableName(QStringLiteral("setup.TBL"));
        table.SetIndexName(QStringLiteral("IDENT"));
        OpenSettingsTable(&table);
        int messages = 0;
        SetSettingsMessageHandler(
            [&](const QString &, const QString &, const QString &) { ++messages; });
        TSettings settings;
        const Timing load = fastest(runs, [&] { Load(&settings, &table); });
        const Timing raw = fastest(runs, [&] {
            SelectSettingsIndex(&table);
            qint64 bytes = 0;
            for (const Row &r : rows) {
                if (table.SeekKey(QString::number(r.ident), true))
                    bytes += table.FieldByName(QStringLiteral("StringItem"))->AsString().size() +
                             table.FieldByName(QStringLiteral("MemoItem"))->AsBytes().size();
            }
            if (bytes == 0)
                std::exit(4);
        });
        SetSettingsMessageHandler({});
        std::printf("loader (Load, whole catalogue and KLEVO.INI): %7.2f ms wall %7.2f ms CPU%s\n",
                    load.wall, load.cpu, messages ? "  (messages shown!)" : "");
        std::printf("reference (each row sought, both columns read): %7.2f ms wall %7.2f ms CPU\n",
                    raw.wall, raw.cpu);
        std::printf("loader / reference (CPU): %.1f\n", load.cpu / raw.cpu);
    }

    // 2. The module's start on the demo folder's article tables.
    std::printf("copying the article tables of %s ...\n", qPrintable(demo));
    for (const char *name : {"ArtikelMain.TBL", "Artikelsub.TBL"}) {
        if (!QFile::copy(demo + u'/' + QLatin1String(name), folder + u'/' + QLatin1String(name))) {
            std::fprintf(stderr, "cannot copy %s\n", name);
            return 2;
        }
    }
    const QString full = folder + QStringLiteral("/setup.full");
    const QString empty = folder + QStringLiteral("/setup.empty");
    QFile::rename(folder + QStringLiteral("/setup.TBL"), full);
    makeSettingsTable(folder, {});
    QFile::rename(folder + QStringLiteral("/setup.TBL"), empty);
    auto use = [&](const QString &file) {
        QFile::remove(folder + QStringLiteral("/setup.TBL"));
        QFile::copy(file, folder + QStringLiteral("/setup.TBL"));
    };

    // As the program sets itself up before its window (once per process).
    QElapsedTimer uiWall;
    uiWall.start();
    const double uiCpu0 = cpuNow();
    Fonts::setup();
    RegisterCursors();
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    InstallLoginDialog();
    const Timing uiTime{double(uiWall.nsecsElapsed()) * 1e-6, (cpuNow() - uiCpu0) * 1e3};
    SetCommandLineArguments({folder, QStringLiteral("1"), QStringLiteral("12413")});
    Timing withFull, withEmpty;
    for (int i = 0; i < runs; ++i) {
        use(empty);
        const Timing e = startOnce(folder);
        use(full);
        const Timing f = startOnce(folder);
        withEmpty.wall = std::min(withEmpty.wall, e.wall);
        withEmpty.cpu = std::min(withEmpty.cpu, e.cpu);
        withFull.wall = std::min(withFull.wall, f.wall);
        withFull.cpu = std::min(withFull.cpu, f.cpu);
    }
    std::printf("start to a usable main window, 1,000,000 articles (%s):\n", qPrintable(demo));
    std::printf("  application object (once):        %7.1f ms wall %7.1f ms CPU\n", appTime.wall,
                appTime.cpu);
    std::printf("  fonts, cursors, title (once):     %7.1f ms wall %7.1f ms CPU\n", uiTime.wall,
                uiTime.cpu);
    std::printf("  window created to usable, fastest of %d runs:\n", runs);
    std::printf("  with the full settings table:     %7.1f ms wall %7.1f ms CPU\n", withFull.wall,
                withFull.cpu);
    std::printf("  with an empty settings table:     %7.1f ms wall %7.1f ms CPU (reference)\n",
                withEmpty.wall, withEmpty.cpu);
    std::printf("  the settings add:                 %7.1f ms wall %7.1f ms CPU\n",
                withFull.wall - withEmpty.wall, withFull.cpu - withEmpty.cpu);
    SetWorkstationSettingsFolder(QString());
    return 0;
}
