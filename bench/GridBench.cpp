// How fast the result grid follows a large result table: refilling it with controls disabled,
// painting it, and moving through it with the keys. Prints CPU time per operation (the machine
// may be shared, so wall time would not say much); with "--png FILE" it also
// saves a picture of the grid (focused, after a search) for a person to look at.
//
//   QT_QPA_PLATFORM=offscreen grid_bench [--rows N] [--png FILE]
#include "data/DataSet.h"
#include "data/DataSource.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "grid/TI_DBGrid.h"
#include "platform/ui/Fonts.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>

namespace {

struct ResultTable {
    TMemTable *KM;
    TIntegerField *KMID;
    TStringField *KMBZ;
    TBooleanField *KMDEL;
    TStringField *KMBSTN;
    TBooleanField *KMHASBOOKS;
};

template <typename F>
F *makeField(QObject *owner, TMemTable *table, const char *fieldName, int size = 0) {
    auto *field = new F(owner);
    field->SetFieldName(QString::fromLatin1(fieldName));
    if (size > 0)
        field->SetSize(size);
    field->SetDataSet(table);
    return field;
}

ResultTable makeTable(QObject *owner) {
    ResultTable t;
    t.KM = new TMemTable(owner);
    t.KM->setObjectName(QStringLiteral("KM"));
    t.KMID = makeField<TIntegerField>(owner, t.KM, "ID");
    t.KMBZ = makeField<TStringField>(owner, t.KM, "BZ", 100);
    t.KMDEL = makeField<TBooleanField>(owner, t.KM, "DEL");
    t.KMBSTN = makeField<TStringField>(owner, t.KM, "BSTN", 50);
    t.KMHASBOOKS = makeField<TBooleanField>(owner, t.KM, "HASBOOKS");
    t.KM->Open();
    return t;
}

void fill(const ResultTable &t, int rows) {
    t.KM->DisableControls();
    t.KM->EmptyTable();
    for (int i = 1; i <= rows; ++i) {
        t.KM->Append();
        t.KMID->SetAsInteger(i);
        t.KMBZ->SetAsString(QStringLiteral("Artikel Nummer %1 mit Beschreibung").arg(i));
        t.KMBSTN->SetAsString(QStringLiteral("BST-%1").arg((i + 1) / 2, 6, 10, QLatin1Char('0')));
        if (i % 3 == 0)
            t.KMHASBOOKS->SetAsBoolean(true);
        t.KM->Post();
    }
    t.KM->First();
    t.KM->EnableControls();
}

void configure(TI_DBGrid *grid, TDataSource *source) {
    grid->SetReadOnly(true);
    grid->SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgRowSelect |
                     dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit | dgTitleClicked |
                     dgFlatButtons | dgCompleteLines | dgAutoSize);
    grid->SetDefaultRowHeight(17);
    grid->SetAutoSearch(true);
    grid->SetTitleFont(Fonts::make(QStringLiteral("MS Sans Serif"), -11));
    const char *fields[] = {"BZ", "BSTN", "HASBOOKS"};
    const char *captions[] = {"Bezeichnung 1", "Bestellnummer", "Buchungen vorhanden?"};
    const int widths[] = {220, 134, 189};
    for (int c = 0; c < 3; ++c) {
        TColumn *column = grid->Columns()->Add();
        column->SetFieldName(QString::fromLatin1(fields[c]));
        column->Title()->SetCaption(QString::fromUtf8(captions[c]));
        column->SetWidth(widths[c]);
        column->SetFont(Fonts::make(QStringLiteral("Tahoma"), -12));
        column->Title()->SetColor(16744576);
        column->Title()->SetFont(Fonts::make(QStringLiteral("Tahoma"), -12));
        column->Title()->SetFontColor(clWhite);
    }
    grid->Columns()->Items(0)->SetIndexed(true);
    // The main window's hook: the bookings column reads "Ja" or "Nein".
    grid->OnDrawTextFormat = [](TField *field, QString &text) {
        if (field->FieldName() == QLatin1String("HASBOOKS"))
            text = text == QLatin1String("True") ? QStringLiteral("Ja") : QStringLiteral("Nein");
    };
    grid->SetDataSource(source);
}

// CPU time of this thread: the machine may be busy with other work, which wall time would count.
double cpuMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

double microsecondsPer(int count, const std::function<void()> &step) {
    const double start = cpuMicroseconds();
    for (int i = 0; i < count; ++i)
        step();
    return (cpuMicroseconds() - start) / count;
}

void key(TI_DBGrid *grid, int qtKey) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QApplication::sendEvent(grid, &press);
}

} // namespace

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Fonts::setup();
    int rows = 5000;
    const char *png = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rows") == 0)
            rows = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--png") == 0)
            png = argv[++i];
    }

    QObject owner;
    const ResultTable t = makeTable(&owner);
    TDataSource source(&owner);
    source.SetDataSet(t.KM);
    TI_DBGrid grid;
    grid.resize(548, 295);
    configure(&grid, &source);
    grid.show();
    QApplication::processEvents();

    std::printf("grid bench: %d rows, grid %dx%d, %d visible rows\n", rows, grid.width(),
                grid.height(), grid.Geometry().visibleRows);

    const double fillMs = microsecondsPer(1, [&] { fill(t, rows); }) / 1000.0;
    // EnableControls inside fill() already told the grid; measure the refresh alone.
    const double refreshUs = microsecondsPer(100, [&] {
        t.KM->DisableControls();
        t.KM->EnableControls();
    });
    std::printf("  refill %d rows with controls disabled:   %8.1f ms (table work)\n", rows, fillMs);
    std::printf("  grid refresh after EnableControls:       %8.1f us\n", refreshUs);

    QImage canvas(grid.size(), QImage::Format_RGB32);
    const double renderUs = microsecondsPer(500, [&] { grid.render(&canvas); });
    std::printf("  painting the grid into an image:         %8.1f us\n", renderUs);
    const double paintUs = microsecondsPer(200, [&] { grid.repaint(); });
    std::printf("  full repaint of the grid on the screen:  %8.1f us\n", paintUs);

    t.KM->First();
    const int steps = std::min(rows - 1, 2000);
    const double downUs = microsecondsPer(steps, [&] {
        key(&grid, Qt::Key_Down);
        grid.repaint();
    });
    std::printf("  Down key + repaint, per row (%d rows):  %8.1f us\n", steps, downUs);

    t.KM->First();
    const int pages = std::max(1, std::min(200, rows / grid.Geometry().fullRows - 1));
    const double pageUs = microsecondsPer(pages, [&] {
        key(&grid, Qt::Key_PageDown);
        grid.repaint();
    });
    std::printf("  PageDown + repaint, per page (%d):      %8.1f us\n", pages, pageUs);

    const double endUs = microsecondsPer(100, [&] {
        t.KM->First();
        t.KM->Last();
        grid.repaint();
    });
    std::printf("  First, Last + repaint:                   %8.1f us\n", endUs);

    const double searchUs = microsecondsPer(50, [&] {
        t.KM->First();
        grid.EndSearch();
        for (const char c : QByteArray("artikel nummer 4999")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
            QApplication::sendEvent(&grid, &press);
        }
    });
    std::printf("  typing search of 19 keys to row %d:     %8.1f us\n", t.KM->RecNo(), searchUs);

    if (png) {
        grid.setFocus();
        grid.activateWindow();
        QApplication::processEvents();
        QImage image(grid.size(), QImage::Format_RGB32);
        grid.render(&image);
        image.save(QString::fromLocal8Bit(png));
        std::printf("  picture saved to %s\n", png);
    }
    return 0;
}
