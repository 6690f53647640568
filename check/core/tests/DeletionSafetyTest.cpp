// The deletion's checks on the stored data: a damaged bookings index stops it before anything
// is deleted, a candidate booked since the check is no damage, and the last of its candidates
// of a number that are still stored is never deleted.
#include "CheckData.h"
#include "CheckSession.h"

#include "data/DbEngineError.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "dbeng.h"

#include <gtest/gtest.h>

namespace {

TEST(DeletionSafetyTest, ADamagedBookingsIndexStopsTheDeletionBeforeAnything) {
    CheckData data;
    data.makeTables({{"a", "N"}, {"b", "N"}, {"c", "N"}, {"d", "M"}, {"e", "M"}});
    // Article 1 has bookings that the index "ID_ART" does not know of.
    data.addBookingsTheIndexLacks(1, 3);
    CheckSession session(data.path());
    session.check().check();
    ASSERT_EQ(session.rows(),
              (QStringList{"5:M:Nein", "4:M:Nein", "2:N:Nein", "1:N:Nein", "3:N:Nein"}))
        << "the check itself goes by the index";
    EXPECT_FALSE(session.deleteDuplicates());
    ASSERT_EQ(session.messages.size(), 1);
    EXPECT_TRUE(
        session.messages[0].startsWith(QStringLiteral("<B>Die Daten müssen repariert werden.</B>")))
        << session.messages[0].toStdString();
    EXPECT_TRUE(session.messages[0].contains(QStringLiteral("(Artikel 1)")));
    EXPECT_TRUE(session.messages[0].contains(QStringLiteral("Es wurde nichts gelöscht.")));
    EXPECT_EQ(data.storedIds(), (QList<int>{1, 2, 3, 4, 5}));
}

TEST(DeletionSafetyTest, ACandidateBookedSinceTheCheckIsNoDamageAndStays) {
    CheckData data;
    data.makeTables({{"a", "N"}, {"b", "N"}, {"c", "N"}});
    CheckSession session(data.path());
    session.check().check();
    data.addBooking(2);
    EXPECT_TRUE(session.deleteDuplicates());
    EXPECT_TRUE(session.messages.isEmpty()) << session.messages.join(u'|').toStdString();
    // The list holds 3, 1, 2. 3 goes, as 1 stays; 1 is the last candidate without bookings;
    // 2 is booked now.
    EXPECT_EQ(data.storedIds(), (QList<int>{1, 2}));
}

// Another user deleted candidates of this deletion after its check. Counted as entries of the
// list they let the rest of the number go, because a booked article "still had the number".
TEST(DeletionSafetyTest, TheLastStoredCandidateOfANumberStaysBesideABookedArticle) {
    CheckData data;
    // Run N is listed 2, 1, 3, 4: candidates 2, 3, 4 (1 is booked); 2 survives alone.
    data.makeTables({{"a", "N", 1}, {"b", "N"}, {"c", "N"}, {"d", "N"}});
    CheckSession first(data.path());
    CheckSession second(data.path());
    first.check().check();
    second.check().check();
    EXPECT_TRUE(first.deleteDuplicates());
    ASSERT_EQ(data.storedIds(), (QList<int>{1, 2}));
    // The second deletion's list still holds 3 and 4, deleted meanwhile: 2 is the last of its
    // candidates that is stored.
    EXPECT_TRUE(second.deleteDuplicates());
    EXPECT_EQ(data.storedIds(), (QList<int>{1, 2}));
}

// Another user deleted the article the check's walk ended on, and a read of it (as the check
// makes of a listed article) found it gone. The deletion that follows positions the article
// table afresh for every candidate and runs to its end.
TEST(DeletionSafetyTest, TheDeletionStartsFromAnArticleAnotherUserDeletedUnderTheCursor) {
    CheckData data;
    // In "BSTN" order the walk ends on article 3, the only one with the number "Z".
    data.makeTables({{"a", "N"}, {"b", "N"}, {"c", "Z"}});
    CheckSession session(data.path());
    session.check().check();
    ASSERT_EQ(session.rows(), (QStringList{"2:N:Nein", "1:N:Nein"}));
    CheckSession other(data.path());
    ASSERT_TRUE(other.articles().Locate(QStringLiteral("ID"), 3, {}));
    other.articles().Delete();
    try {
        session.articles().FieldByName(QStringLiteral("BZK"))->AsString();
        ADD_FAILURE() << "the walk did not end on article 3";
    } catch (const EDbEngineError &e) {
        ASSERT_EQ(e.EngineError(), uint32_t(DBE_NO_CURRENT_RECORD)) << e.message().toStdString();
    }
    EXPECT_TRUE(session.deleteDuplicates());
    EXPECT_TRUE(session.messages.isEmpty()) << session.messages.join(u'|').toStdString();
    // The candidate collected first, 2, stays.
    EXPECT_EQ(data.storedIds(), (QList<int>{2}));
}

} // namespace
