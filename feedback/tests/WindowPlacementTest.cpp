// Placement arithmetic on monitor arrangements the test machine does not have.
#include "feedback/WindowPlacement.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QRect kFirst(0, 0, 1920, 1080);
const QRect kSecond(1920, 0, 1280, 1024);

TScreenLayout oneMonitor(QRect workArea) {
    return {{kFirst}, workArea};
}
TScreenLayout twoMonitors() {
    return {{kFirst, kSecond}, QRect(0, 0, 1920, 1040)};
}

struct PlacementCase {
    const char *name;
    TPlacementInput input;
    QRect expected;
    int monitor;
    bool primary;
};

void PrintTo(const PlacementCase &c, std::ostream *os) {
    *os << c.name;
}

class WindowPlacement : public ::testing::TestWithParam<PlacementCase> {};

} // namespace

TEST_P(WindowPlacement, Bounds) {
    const PlacementCase &c = GetParam();
    const TPlacement p = ComputePlacement(c.input);
    EXPECT_EQ(p.Bounds, c.expected);
    EXPECT_EQ(p.Monitor, c.monitor);
    EXPECT_EQ(p.Primary, c.primary);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlacement,
    ::testing::Values(
        // Centred in the work area, not on the whole screen: a task bar at the bottom...
        PlacementCase{"CentredInWorkAreaTaskBarBelow",
                      {QRect(0, 0, 406, 100), true, QRect(100, 100, 800, 600),
                       oneMonitor(QRect(0, 0, 1920, 1040))},
                      QRect(757, 470, 406, 100),
                      0,
                      true},
        // ... and one at the top, which moves the centre down.
        PlacementCase{"CentredInWorkAreaTaskBarAbove",
                      {QRect(0, 0, 406, 100), true, QRect(100, 100, 800, 600),
                       oneMonitor(QRect(0, 40, 1920, 1040))},
                      QRect(757, 510, 406, 100),
                      0,
                      true},
        // Placed a second time (no longer centred) it only stays inside the area.
        PlacementCase{"SecondPlacementKeepsPosition",
                      {QRect(757, 510, 406, 100), false, QRect(100, 100, 800, 600),
                       oneMonitor(QRect(0, 40, 1920, 1040))},
                      QRect(757, 510, 406, 100),
                      0,
                      true},
        // Taller than the work area: the height is cut to the area's bottom, and the
        // centred top lies above the area's top.
        PlacementCase{"CentredTallerThanWorkArea",
                      {QRect(0, 0, 400, 1200), true, QRect(100, 100, 800, 600),
                       oneMonitor(QRect(0, 40, 1920, 1040))},
                      QRect(760, -40, 400, 1120),
                      0,
                      true},
        PlacementCase{
            "CentredWiderThanWorkArea",
            {QRect(0, 0, 2000, 300), true, std::nullopt, oneMonitor(QRect(100, 0, 1820, 1080))},
            QRect(10, 390, 1910, 300),
            0,
            true},
        // Not centred, top above 0 with the task bar at the top: the top bound is 0.
        PlacementCase{"TopBoundIsZeroNotTheWorkAreasTop",
                      {QRect(100, -30, 400, 300), false, QRect(100, 100, 800, 600),
                       oneMonitor(QRect(0, 40, 1920, 1040))},
                      QRect(100, 0, 400, 300),
                      0,
                      true},
        // ... while the left bound is the work area's left (task bar on the left).
        PlacementCase{"LeftBoundIsTheWorkAreasLeft",
                      {QRect(-10, -30, 400, 300), false, QRect(100, 100, 800, 600),
                       oneMonitor(QRect(60, 0, 1860, 1080))},
                      QRect(60, 0, 400, 300),
                      0,
                      true},
        PlacementCase{
            "PastTheWorkAreasRightAndBottom",
            {QRect(1700, 900, 400, 300), false, std::nullopt, oneMonitor(QRect(0, 0, 1920, 1040))},
            QRect(1520, 740, 400, 300),
            0,
            true},
        // The main window lies mostly on the second monitor: centred on that monitor's whole
        // rectangle (it has no work area of its own).
        PlacementCase{"CentredOnTheReferencesSecondMonitor",
                      {QRect(0, 0, 406, 100), true, QRect(2000, 100, 800, 600), twoMonitors()},
                      QRect(2357, 462, 406, 100),
                      1,
                      false},
        // A reference that no monitor holds by more than half in both directions: the window's
        // own monitor, treated as primary.
        PlacementCase{"ReferenceHalfOffEveryMonitor",
                      {QRect(0, 0, 406, 100), true, QRect(100, 900, 400, 400), twoMonitors()},
                      QRect(757, 470, 406, 100),
                      0,
                      true},
        PlacementCase{"NoReferenceUsesTheWindowsMonitor",
                      {QRect(0, 0, 406, 100), true, std::nullopt, twoMonitors()},
                      QRect(757, 470, 406, 100),
                      0,
                      true},
        // On the second monitor a window is kept on that monitor, not in the work area.
        PlacementCase{
            "SecondMonitorKeepsTheWindowOnIt",
            {QRect(2100, 900, 400, 300), false, QRect(2000, 100, 800, 600), twoMonitors()},
            QRect(2100, 724, 400, 300),
            1,
            false},
        // Left of the second monitor: taken as placed relative to the monitor's left edge.
        PlacementCase{"LeftOfTheSecondMonitorIsRelativeToIt",
                      {QRect(100, 100, 400, 300), false, QRect(2000, 100, 800, 600), twoMonitors()},
                      QRect(2020, 100, 400, 300),
                      1,
                      false},
        // Past the second monitor's right edge the window must stay visible on it.
        PlacementCase{
            "PastTheSecondMonitorsRightEdgeStaysOnIt",
            {QRect(3000, 100, 400, 300), false, QRect(2000, 100, 800, 600), twoMonitors()},
            QRect(2800, 100, 400, 300),
            1,
            false}),
    [](const ::testing::TestParamInfo<PlacementCase> &info) { return info.param.name; });

TEST(WindowPlacementMonitor, MoreThanHalfInBothDirectionsIsNeeded) {
    const QList<QRect> monitors{kFirst, kSecond};
    // 400 wide: 200 pixels on the first monitor is exactly half, not more.
    EXPECT_EQ(MonitorOfReference(QRect(1720, 100, 400, 300), monitors), -1);
    EXPECT_EQ(MonitorOfReference(QRect(1719, 100, 400, 300), monitors), 0);
    EXPECT_EQ(MonitorOfReference(QRect(1721, 100, 400, 300), monitors), 1);
    // 300 high: the second monitor ends at 1024.
    EXPECT_EQ(MonitorOfReference(QRect(2000, 874, 400, 300), monitors), -1);
    EXPECT_EQ(MonitorOfReference(QRect(2000, 873, 400, 300), monitors), 1);
}

TEST(WindowPlacementMonitor, TheWindowsOwnMonitorHoldsMostOfIt) {
    const QList<QRect> monitors{kFirst, kSecond};
    EXPECT_EQ(MonitorOfRect(QRect(1800, 0, 400, 300), monitors), 1);
    EXPECT_EQ(MonitorOfRect(QRect(1600, 0, 400, 300), monitors), 0);
    EXPECT_EQ(MonitorOfRect(QRect(5000, 100, 10, 10), monitors), 1) << "the nearest";
    EXPECT_EQ(MonitorOfRect(QRect(-500, -500, 10, 10), monitors), 0) << "the nearest";
    EXPECT_EQ(MonitorOfRect(QRect(0, 0, 10, 10), {}), -1);
}

TEST(WindowPlacementMonitor, WithoutMonitorsTheWindowStaysWhereItIs) {
    TPlacementInput in{QRect(-50, -60, 300, 200), true, std::nullopt, {}};
    EXPECT_EQ(ComputePlacement(in).Bounds, QRect(-50, -60, 300, 200));
}
