#include "check/core/TDeleteList.h"

#include <gtest/gtest.h>

namespace {
QStringList texts(const TDeleteList &l) {
    QStringList out;
    for (int i = 0; i < l.Count(); ++i)
        out << l.Strings(i) + u'#' + l.Objects(i)->ID;
    return out;
}
} // namespace

TEST(TDeleteList, KeepsEntriesSortedWithoutRegardToCase) {
    TDeleteList l;
    l.AddObject(QStringLiteral("b-2"), new TID(QStringLiteral("1")));
    l.AddObject(QStringLiteral("A-1"), new TID(QStringLiteral("2")));
    l.AddObject(QStringLiteral("a-3"), new TID(QStringLiteral("3")));
    l.AddObject(QStringLiteral("B-1"), new TID(QStringLiteral("4")));
    EXPECT_EQ(texts(l), (QStringList{"A-1#2", "a-3#3", "B-1#4", "b-2#1"}));
}

TEST(TDeleteList, AnEqualTextGoesBeforeTheEntriesAlreadyThere) {
    // The survivor of the deletion is the entry that stays last among equal texts: the one
    // collected first.
    TDeleteList l;
    l.AddObject(QStringLiteral("X"), new TID(QStringLiteral("first")));
    l.AddObject(QStringLiteral("X"), new TID(QStringLiteral("second")));
    l.AddObject(QStringLiteral("x"), new TID(QStringLiteral("lower")));
    EXPECT_EQ(texts(l), (QStringList{"x#lower", "X#second", "X#first"}));
}

TEST(TDeleteList, CountEqualIsExactAndDeleteFreesTheEntry) {
    TDeleteList l;
    l.AddObject(QStringLiteral("X"), new TID(QStringLiteral("1")));
    l.AddObject(QStringLiteral("x"), new TID(QStringLiteral("2")));
    l.AddObject(QStringLiteral("X"), new TID(QStringLiteral("3")));
    EXPECT_EQ(l.CountEqual(QStringLiteral("X")), 2);
    EXPECT_EQ(l.CountEqual(QStringLiteral("x")), 1);
    EXPECT_EQ(l.CountEqual(QStringLiteral("y")), 0);
    l.Delete(0);
    EXPECT_EQ(l.Count(), 2);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
}
