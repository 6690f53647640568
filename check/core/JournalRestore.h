// The deletion journal read against the tables: what became of each entry, and putting the
// deleted articles back with their IDs.
//
// An entry that the journal confirms or denies says so itself. An entry without a word after
// it was written just before the program stopped: its article was deleted exactly when it is
// not in the table (the stop came between the delete and the word); when it is there, it was
// not deleted, and a restore leaves it alone, so a restore never makes an article twice.
#pragma once

#include "check/core/DeletionJournal.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace JournalRestore {

enum class State {
    Deleted,    // deleted, and not put back
    NotDeleted, // the article was never deleted
    Restored,   // deleted and put back since
};

struct Item {
    DeletionJournal::Entry entry;
    State state = State::Deleted;
};

// Every entry of the journal of the data path's tables (DeletionJournal::folderFor) with what
// became of it, oldest first; remote: the data path names a data set of the remote server.
QList<Item> list(const QString &dataPath, bool remote = false);

struct Result {
    int restored = 0;
    QStringList notes; // entries passed over, one German sentence each
};

// Puts every deleted article of the data path's journal that is not back yet (only those deleted
// at since or later, when given) into its table again, with its ID and every value as it was,
// all in one transaction, and marks them in the journal. When an article's ID is in its table
// again with other values, nothing is put back: EJournalError names the IDs. So is any other
// failure (the journal or a table that cannot be written, among them).
Result restore(const QString &dataPath, const std::optional<QDateTime> &since, bool remote = false);

} // namespace JournalRestore
