// A data folder the user may not write to, or whose table files are write-protected: the check
// lists the duplicates as always, and a change or a deletion says what is read-only and changes
// nothing.
#include "CheckData.h"
#include "CheckSession.h"
#include "WithoutWriteAccess.h"

#include "data/MemTable.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

using WithoutWriteAccess::Scope;

class ReadOnlyFolderTest : public ::testing::TestWithParam<Scope> {};

TEST_P(ReadOnlyFolderTest, TheCheckListsAndChangesAndDeletionsSayWhatIsReadOnly) {
    CheckData data;
    data.makeTables({{"a", "N"}, {"b", "N", 1}, {"c", "N"}, {"d", "U"}});
    const std::string findings =
        WithoutWriteAccess::run(data.path().toStdString(), GetParam(), [&]() -> std::string {
            QStringList found;
            try {
                CheckSession session(data.path());
                session.check().check();
                const QStringList rows = session.rows();
                if (rows != QStringList{"2:N:Ja", "1:N:Nein", "3:N:Nein"})
                    found << QStringLiteral("listed: ") + rows.join(u' ');
                session.result().First();
                session.check().changeNumber(QStringLiteral("neu"));
                if (session.messages.size() != 1 ||
                    !session.messages.last().contains(QStringLiteral("schreibgeschützt")))
                    found << QStringLiteral("renaming said: ") + session.messages.join(u'|');
                // The deletion: its journal or its first delete says what is read-only.
                session.messages.clear();
                QString said;
                try {
                    session.deleteDuplicates();
                    said = session.messages.join(u'|');
                } catch (const Exception &e) {
                    said = e.message();
                }
                if (!said.contains(QStringLiteral("schreibgeschützt")))
                    found << QStringLiteral("deleting said: ") + said;
            } catch (const Exception &e) {
                found << QStringLiteral("failed: ") + e.message();
            }
            return found.join(u'\n').toStdString();
        });
    EXPECT_EQ(findings, "");
    EXPECT_EQ(data.storedIds(), (QList<int>{1, 2, 3, 4}));
    EXPECT_EQ(data.storedNumber(2), QStringLiteral("N"));
}

INSTANTIATE_TEST_SUITE_P(Scopes, ReadOnlyFolderTest, ::testing::Values(Scope::Folder, Scope::Files),
                         [](const ::testing::TestParamInfo<Scope> &info) {
                             return info.param == Scope::Folder ? std::string("Folder")
                                                                : std::string("Files");
                         });

} // namespace
