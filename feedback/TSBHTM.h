// The markup label of the message box: word-wrapped markup with blue links, no hover and no
// hints. A click on a web, mail or file link opens it with its program; the owner hears of it
// through OnLinkOpened, and a link that cannot be opened gives the warning beep.
#pragma once

#include "feedback/TMarkupLabelBase.h"

#include <functional>

class TSBHTM : public TMarkupLabelBase {
    Q_OBJECT

public:
    explicit TSBHTM(QWidget *owner = nullptr);

    // Sent after a link was opened.
    std::function<void()> OnLinkOpened;

    // The warning beep; tests replace it to hear it.
    static void SetBeep(std::function<void()> beep);

protected:
    MarkupRequest MakeRequest(const QRect &rect, bool draw,
                              std::optional<QPoint> testPoint) const override;
    void LinkClicked(const QString &target) override;
};
