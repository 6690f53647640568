#include "platform/ui/Align.h"

#include <gtest/gtest.h>

TEST(Align, EdgesStackInwardsAndClientFillsTheRest) {
    QWidget parent;
    parent.resize(548, 397);
    auto *top = new QWidget(&parent);
    top->resize(10, 61);
    auto *bottom = new QWidget(&parent);
    bottom->resize(10, 41);
    auto *aboveBottom = new QWidget(&parent);
    aboveBottom->setGeometry(0, 300, 10, 20);
    auto *client = new QWidget(&parent);
    SetAlign(top, alTop);
    bottom->move(0, 356);
    SetAlign(bottom, alBottom);
    SetAlign(aboveBottom, alBottom);
    SetAlign(client, alClient);
    ArrangeAligned(&parent);
    EXPECT_EQ(top->geometry(), QRect(0, 0, 548, 61));
    EXPECT_EQ(bottom->geometry(), QRect(0, 356, 548, 41));
    EXPECT_EQ(aboveBottom->geometry(), QRect(0, 336, 548, 20));
    EXPECT_EQ(client->geometry(), QRect(0, 61, 548, 275));
}

TEST(Align, HiddenControlsTakeNoRoomAndParentsFollowResizes) {
    QWidget parent;
    parent.resize(200, 100);
    auto *right = new QWidget(&parent);
    right->resize(113, 5);
    auto *hidden = new QWidget(&parent);
    hidden->resize(10, 30);
    hidden->hide();
    SetAlign(hidden, alTop);
    SetAlign(right, alRight);
    parent.show();
    EXPECT_EQ(right->geometry(), QRect(87, 0, 113, 100));
    parent.resize(300, 50);
    EXPECT_EQ(right->geometry(), QRect(187, 0, 113, 50));
    hidden->show();
    EXPECT_EQ(right->geometry(), QRect(187, 30, 113, 20));
}
