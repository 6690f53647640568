// dupcheck-host duplicates: the main window's check run on a data folder, through the same
// DuplicateCheck, with its rows printed instead of shown in the grid. The limit message goes to
// standard error as it comes; the status text ends the listing (on standard error with --csv,
// so that standard output is the CSV alone).
#include "HostCommands.h"

#include "Csv.h"
#include "EngineSession.h"

#include "check/core/CheckFeedback.h"
#include "check/core/DuplicateCheck.h"
#include "check/core/ResultTable.h"
#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"
#include "feedback/MarkupText.h"
#include "schema/HostSchema.h"

#include <QDir>

#include <algorithm>
#include <array>

namespace {

// The check's own texts as one line of plain text: line breaks become blanks.
QString plainLine(const QString &markup) {
    return MarkupToPlainText(markup).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

// Nothing to show while the check runs; a message is printed at once; the check asks no
// question on this road.
class ConsoleFeedback : public CheckFeedback {
public:
    explicit ConsoleFeedback(QTextStream &err) : m_err(err) {}

    void progressStart(int) override {}
    void progressStep(int) override {}
    void progressEnd() override {}
    void setWaiting(bool) override {}
    void processMessages() override {}
    void setStatusText(const QString &markup) override { m_status = markup; }
    void showMessage(const QString &markup) override {
        m_err << plainLine(markup) << '\n';
        m_err.flush();
    }
    bool askYesNo(const QString &) override { return false; }

    const QString &status() const { return m_status; }

private:
    QTextStream &m_err;
    QString m_status;
};

struct Row {
    QString id;
    QString bz;
    QString bstn;
    QString bookings;
};

// The table of the listing: the window's columns with their titles, the ID in front.
void printTable(const QList<Row> &rows, QTextStream &out) {
    const std::array<QString, 4> titles = {QStringLiteral("ID"), QStringLiteral("Bezeichnung 1"),
                                           QStringLiteral("Bestellnummer"),
                                           QStringLiteral("Buchungen vorhanden?")};
    std::array<qsizetype, 4> width = {};
    for (size_t c = 0; c < titles.size(); ++c)
        width[c] = titles[c].size();
    for (const Row &r : rows) {
        width[0] = std::max(width[0], r.id.size());
        width[1] = std::max(width[1], r.bz.size());
        width[2] = std::max(width[2], r.bstn.size());
    }
    auto line = [&](const std::array<QString, 4> &cells) {
        QString text = cells[0].rightJustified(width[0]);
        for (size_t c = 1; c < cells.size(); ++c)
            text += QStringLiteral("  ") + cells[c].leftJustified(width[c]);
        while (text.endsWith(u' '))
            text.chop(1);
        out << text << '\n';
    };
    line(titles);
    for (const Row &r : rows)
        line({r.id, r.bz, r.bstn, r.bookings});
}

} // namespace

namespace HostCommands {

int duplicates(const QString &folder, bool csv, QTextStream &out, QTextStream &err) {
    if (!QDir(folder).exists())
        throw HostError(QStringLiteral("Den Ordner '%1' gibt es nicht.").arg(folder));
    QObject owner;
    auto *connection = new TDbConnection(&owner);
    connection->SetDbServerTypes(stDB_LOCAL);
    connection->SetConnectPath(folder);
    auto openTable = [&](const HostSchema::Table &schema) {
        auto *table = new TDbTable(&owner);
        const QString file = QString::fromStdString(schema.fileName);
        table->setObjectName(file);
        table->SetDbConnection(connection);
        table->SetTableName(file);
        table->Open();
        return table;
    };
    TDbTable *articles = openTable(HostSchema::articles());
    TDbTable *bookings = openTable(HostSchema::bookings());
    auto *result = new TMemTable(&owner);
    result->setObjectName(QStringLiteral("KM"));
    const ResultTable::Fields fields = ResultTable::createFields(*result, &owner);
    result->Open();

    ConsoleFeedback feedback(err);
    DuplicateCheck check(*articles, *bookings, *result, feedback);
    const DuplicateCheck::ScanResult scan = check.check();
    if (scan.failure)
        throw HostError(*scan.failure);

    QList<Row> rows;
    for (result->First(); !result->Eof(); result->Next())
        rows << Row{QString::number(fields.id->AsInteger()), fields.bz->AsString(),
                    fields.bstn->AsString(),
                    fields.hasBooks->AsBoolean() ? QStringLiteral("Ja") : QStringLiteral("Nein")};
    if (csv) {
        // The result table's own field names.
        out << csvLine({QStringLiteral("ID"), QStringLiteral("BZ"), QStringLiteral("BSTN"),
                        QStringLiteral("HASBOOKS")})
            << '\n';
        for (const Row &r : rows)
            out << csvLine({r.id, r.bz, r.bstn, r.bookings}) << '\n';
        err << plainLine(feedback.status()) << '\n';
    } else {
        if (!rows.isEmpty()) {
            printTable(rows, out);
            out << '\n';
        }
        out << plainLine(feedback.status()) << '\n';
    }
    return 0;
}

} // namespace HostCommands
