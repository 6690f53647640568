// The sorted candidate list of the deletion: order numbers with the ID of the article each
// belongs to. Entries stay sorted by text, compared without regard to case under the user's
// locale; equal texts are allowed, and a text equal to entries already present is inserted
// before all of them. The list owns its TID objects.
#pragma once

#include "check/core/TID.h"

#include <QCollator>
#include <QString>

#include <memory>
#include <vector>

class TDeleteList {
public:
    TDeleteList();

    int Count() const { return int(m_entries.size()); }
    const QString &Strings(int index) const { return m_entries[size_t(index)].text; }
    TID *Objects(int index) const { return m_entries[size_t(index)].id.get(); }

    // Inserts at the sorted place and answers the position; takes ownership of id.
    int AddObject(const QString &text, TID *id);
    // Removes the entry and frees its TID.
    void Delete(int index);
    void Clear() { m_entries.clear(); }

    // The number of entries whose text equals text exactly (case-sensitive).
    int CountEqual(const QString &text) const;

private:
    struct Entry {
        QString text;
        std::unique_ptr<TID> id;
    };
    std::vector<Entry> m_entries;
    QCollator m_collator;
};
