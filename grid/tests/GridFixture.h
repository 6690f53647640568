// The main window's result grid as the tests build it: the result table KM with its fields,
// the data source DataSource_ARTMAIN and the grid configured like the main window's, in a test
// window that also holds a line edit to take the focus away from the grid.
#pragma once

#include "data/DataSet.h"
#include "data/DataSource.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "data/tests/ResultTableFixture.h"
#include "grid/TI_DBGrid.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/TCustomForm.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <optional>

// Counts the row reads the grid makes.
class CountingMemTable : public TMemTable {
public:
    using TMemTable::TMemTable;
    mutable int reads = 0;
    QVariant FieldValueAt(int recNo, const TField *field) const override {
        ++reads;
        return TMemTable::FieldValueAt(recNo, field);
    }
};

// Remembers the keys the window's key preview sees.
class PreviewForm : public TForm {
public:
    QList<quint16> keys;

protected:
    void KeyDown(quint16 &key, Qt::KeyboardModifiers) override { keys << key; }
};

constexpr TColor kTitleColor = 16744576;

struct GridFixture : BasicResultTableFixture<CountingMemTable> {
    TDataSource *DataSource_ARTMAIN = nullptr;
    std::unique_ptr<PreviewForm> window;
    TI_DBGrid *Grid = nullptr;
    QLineEdit *other = nullptr;

    explicit GridFixture(QSize gridSize = QSize(548, 250)) {
        Fonts::setup();
        DataSource_ARTMAIN = new TDataSource(owner.get());
        DataSource_ARTMAIN->setObjectName(QStringLiteral("DataSource_ARTMAIN"));
        DataSource_ARTMAIN->SetDataSet(KM);

        window = std::make_unique<PreviewForm>();
        window->SetKeyPreview(true);
        window->resize(gridSize.width(), gridSize.height() + 30);
        Grid = new TI_DBGrid(window.get());
        Grid->setObjectName(QStringLiteral("Grid"));
        Grid->setGeometry(QRect(QPoint(0, 0), gridSize));
        other = new QLineEdit(window.get());
        other->setGeometry(0, gridSize.height(), 100, 25);
        configure();
    }

    // As the main window's description sets it up.
    void configure() {
        Grid->SetReadOnly(true);
        Grid->SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                         dgRowSelect | dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit |
                         dgTitleClicked | dgFlatButtons | dgCompleteLines | dgAutoSize);
        Grid->SetDefaultRowHeight(17);
        Grid->SetAutoSearch(true);
        Grid->SetTitleFont(Fonts::make(QStringLiteral("MS Sans Serif"), -11));
        Grid->SetTitleFontColor(clWindowText);
        struct ColumnDesign {
            const char *field;
            const char *caption;
            int width;
        };
        for (const ColumnDesign &design :
             {ColumnDesign{"BZ", "Bezeichnung 1", 220}, ColumnDesign{"BSTN", "Bestellnummer", 134},
              ColumnDesign{"HASBOOKS", "Buchungen vorhanden?", 189}}) {
            TColumn *column = Grid->Columns()->Add();
            column->SetFieldName(QString::fromLatin1(design.field));
            column->Title()->SetCaption(QString::fromUtf8(design.caption));
            column->SetWidth(design.width);
            column->SetFont(Fonts::make(QStringLiteral("Tahoma"), -12));
            column->SetFontColor(clWindowText);
            column->Title()->SetColor(kTitleColor);
            column->Title()->SetFont(Fonts::make(QStringLiteral("Tahoma"), -12));
            column->Title()->SetFontColor(clWhite);
            column->SetWordBreak(false);
            column->SetFocusWidth(0);
        }
        Grid->Columns()->Items(0)->SetIndexed(true);
        Grid->SetDataSource(DataSource_ARTMAIN);
    }

    // Rows "Artikel 1" .. "Artikel n" with order numbers "B1" .. "Bn".
    void fill(int count) {
        KM->DisableControls();
        for (int i = 1; i <= count; ++i)
            add(i, QStringLiteral("Artikel %1").arg(i), QStringLiteral("B%1").arg(i));
        KM->EnableControls();
    }

    void show() {
        window->show();
        QApplication::setActiveWindow(window.get());
        QCoreApplication::processEvents();
    }
    void focusGrid() {
        show();
        Grid->setFocus();
        QCoreApplication::processEvents();
    }
    void focusOther() {
        show();
        other->setFocus();
        QCoreApplication::processEvents();
    }

    QImage render() const {
        QImage image(Grid->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        Grid->render(&image);
        return image;
    }

    // The IDs in row order, read without moving the current record (unlike the base's).
    QList<int> ids() {
        QList<int> out;
        for (int row = 1; row <= KM->RecordCount(); ++row)
            out << KM->FieldValueAt(row, KMID).toInt();
        return out;
    }

    QPoint cellCenter(int column, int row) const { return Grid->CellRect(column, row).center(); }
    QPoint titleCenter(int column) const { return Grid->TitleRect(column).center(); }
};

inline QRgb rgbOf(TColor color) {
    return Colors::toQColor(color).rgb();
}

// Pixels of exactly that colour inside the rectangle.
inline int countColor(const QImage &image, const QRect &rect, QRgb color) {
    int n = 0;
    const QRect r = rect & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF);
    return n;
}

// Pixels of text drawn in a dark colour (anti-aliased edges included) inside the rectangle.
inline int countDark(const QImage &image, const QRect &rect) {
    int n = 0;
    const QRect r = rect & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}
