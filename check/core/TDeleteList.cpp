#include "check/core/TDeleteList.h"

#include <algorithm>

TDeleteList::TDeleteList() {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int TDeleteList::AddObject(const QString &text, TID *id) {
    // lower_bound puts the new entry before every entry that compares equal to it.
    auto at = std::lower_bound(
        m_entries.begin(), m_entries.end(), text,
        [this](const Entry &e, const QString &t) { return m_collator.compare(e.text, t) < 0; });
    const auto index = at - m_entries.begin();
    m_entries.insert(at, Entry{text, std::unique_ptr<TID>(id)});
    return int(index);
}

void TDeleteList::Delete(int index) {
    m_entries.erase(m_entries.begin() + index);
}

int TDeleteList::CountEqual(const QString &text) const {
    return int(std::count_if(m_entries.begin(), m_entries.end(),
                             [&](const Entry &e) { return e.text == text; }));
}
