#include "settings/TPartsGroup.h"

#include <algorithm>

void TPartsGroup::Clear() {
    Groups.clear();
    Percentage = 100;
}

namespace {

struct Keyed {
    QString key;
    TPartGroup group;
};

} // namespace

void TPartsGroup::Sort() {
    if (Groups.size() < 2)
        return;
    std::vector<Keyed> keyed;
    keyed.reserve(Groups.size());
    for (TPartGroup &g : Groups) {
        Keyed k{g.DisplayName, std::move(g)};
        const QString &d = k.group.DisplayName;
        qsizetype end = 1;
        while (end < d.size() && d[end].isDigit())
            ++end;
        if (d.startsWith(u'#') && end > 1) {
            k.key = QStringLiteral("%1").arg(d.mid(1, end - 1).toLongLong(), 6, 10, QChar(u'0'));
            k.group.DisplayName = d.mid(end);
        }
        keyed.push_back(std::move(k));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return a.key.compare(b.key, Qt::CaseInsensitive) < 0;
    });
    Groups.clear();
    for (Keyed &k : keyed)
        Groups.push_back(std::move(k.group));
}
