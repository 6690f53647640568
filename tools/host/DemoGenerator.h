// Generates a demo data folder: the host's three tables filled with realistic German article
// data, duplicate order numbers (runs of two and three, numbers that differ only in letter case,
// articles without an order number) and bookings for part of the articles. The same seed always
// gives the same data.
#pragma once

#include <QString>

#include <functional>

struct DemoOptions {
    qint64 articles = 2000;
    qint64 bookings = -1; // -1: three per article
    quint64 seed = 1;
    double sharedPercent = 0.4;  // articles whose order number another article shares
    double bookedPercent = 60.0; // articles that get bookings
};

struct DemoSummary {
    qint64 articles = 0;
    qint64 bookings = 0;
    qint64 duplicateGroups = 0;   // planted runs of equal order numbers
    qint64 duplicateArticles = 0; // articles in those runs
    qint64 caseVariants = 0;      // articles whose number differs from another only in case
    qint64 emptyNumbers = 0;      // articles without an order number
};

// Creates the folder (if needed) and the tables in it, all or nothing (HostFolder); fails when
// a table exists already.
DemoSummary generateDemo(const QString &folder, const DemoOptions &options,
                         const std::function<void(const QString &)> &progress = {});
