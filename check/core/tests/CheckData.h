// Test support for the check: a temporary data folder with the host's three tables made
// through the engine from their one description (HostSchema), filled with articles and
// bookings, and reads and changes of the stored data through handles of the test's own, as
// another user would make them.
#pragma once

#include "dbeng.h"
#include "schema/HostSchema.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <vector>

struct Article {
    QString bzk;
    QString bstn;
    int bookings = 0;
};

// Deliberately incomplete tables for the failure tests.
struct TableTags {
    bool bstn = true;  // the article table's tag "BSTN"
    bool idArt = true; // the bookings table's tag "ID_ART"
};

class CheckData {
public:
    CheckData();
    ~CheckData();
    CheckData(const CheckData &) = delete;
    CheckData &operator=(const CheckData &) = delete;

    QString path() const { return m_dir.path(); }

    // Creates the tables; articles get IDs 1, 2, ... in the order given.
    void makeTables(const std::vector<Article> &articles, TableTags tags = {});
    // Adds articles numbered "N-<i>" in runs: first the triples, then the pairs.
    void appendRuns(int pairs, int triples);
    // Adds an article with the ID given (the host's import may give any ID, 0 too).
    void appendArticle(int id, const QString &bzk, const QString &bstn);

    // IDs of the articles stored now, ascending.
    QList<int> storedIds() const;
    // The stored order number of the article, "<fehlt>" when there is none.
    QString storedNumber(int id) const;
    void addBooking(int articleId);
    // Adds bookings of the article that the bookings index "ID_ART" lacks: a damaged index, as
    // SQLite's integrity check reports it ("row … missing from index").
    void addBookingsTheIndexLacks(int articleId, int count);
    void renumber(int articleId, const QString &bstn);

private:
    DBHANDLE openTable(const HostSchema::Table &table) const;
    // Leaves the table on the article with the ID; false when there is none.
    bool seekArticle(DBHANDLE table, int id) const;

    QTemporaryDir m_dir;
    DBHANDLE m_connection = 0;
};
