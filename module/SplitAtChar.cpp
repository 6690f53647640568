#include "module/SplitAtChar.h"

#include "platform/Convert.h"

void SplitAtChar(const QString &text, QChar separator, QString &left, QString &right) {
    const qsizetype at = text.indexOf(separator);
    if (at < 0)
        return;
    left = text.left(at);
    right = Convert::trim(text.mid(at + 1, 200));
}
