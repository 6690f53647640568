// dupcheck-host duplicates lists exactly the rows the main window lists: both are run on the
// same data folder and their rows compared field by field, in order.
#include "CheckData.h"
#include "HostCommands.h"

#include "check/TFMain.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "platform/CommandLine.h"
#include "platform/ui/Application.h"
#include "widgets/TFlatButton.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// The rows of the window's result table as the CSV of the host tool writes them.
QStringList windowRows(const QString &folder) {
    SetCommandLineArguments({folder, QStringLiteral("1"), QStringLiteral("12413")});
    TFMain form;
    Application::setMainForm(&form);
    form.show();
    // The start-up message is posted when the window is shown; the event loop delivers it.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.Caption(), folder) << "the window has started on the folder";
    form.FlatButton4->Click();
    QStringList rows;
    for (int r = 1; r <= form.KM->RecordCount(); ++r) {
        QString bz = form.KM->FieldValueAt(r, form.KMBZ).toString();
        if (bz.contains(u',') || bz.contains(u'"'))
            bz = u'"' + bz.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
        rows << QStringLiteral("%1,%2,%3,%4")
                    .arg(form.KM->FieldValueAt(r, form.KMID).toInt())
                    .arg(bz, form.KM->FieldValueAt(r, form.KMBSTN).toString(),
                         form.KM->FieldValueAt(r, form.KMHASBOOKS).toBool()
                             ? QStringLiteral("Ja")
                             : QStringLiteral("Nein"));
    }
    Application::setMainForm(nullptr);
    ResetCommandLineArguments();
    return rows;
}

} // namespace

TEST(DuplicatesWindowTest, TheHostListsExactlyTheWindowsRows) {
    CheckData data;
    // Runs of two, three and four, bookings on some, numbers that differ only in letter case or
    // in trailing blanks, articles without a number, umlauts and a comma in a description.
    data.makeTables({{"Schraube, lang", "A-1"},
                     {"Dübel", "A-1", 2},
                     {"Mutter", "B-7"},
                     {"ohne Nummer", ""},
                     {"Scheibe", "a-1"},
                     {"Mutter groß", "B-7"},
                     {"Haken", "A-1"},
                     {"Öse", "C-3 "},
                     {"Öse klein", "C-3", 1},
                     {"auch ohne", "   "},
                     {"Zange", "D-4"},
                     {"Zange groß", "D-4"},
                     {"Zange klein", "D-4", 1},
                     {"Zange rot", "D-4"}});
    const QStringList window = windowRows(data.path());
    ASSERT_EQ(window.size(), 13) << window.join(u'\n').toStdString();

    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ASSERT_EQ(HostCommands::duplicates(data.path(), true, outStream, errStream), 0);
    outStream.flush();
    QStringList host = out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(host.isEmpty());
    EXPECT_EQ(host.takeFirst(), QStringLiteral("ID,BZ,BSTN,HASBOOKS"));
    EXPECT_EQ(host, window);
}
