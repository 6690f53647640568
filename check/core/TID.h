// A deletion candidate's record ID, as decimal text.
#pragma once

#include <QString>

class TID {
public:
    explicit TID(const QString &id) : ID(id) {}
    QString ID;
};
