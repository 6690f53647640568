#include "feedback/TSBHTM.h"

#include "feedback/DocumentShell.h"
#include "feedback/OpenDocument.h"

#include <QApplication>

namespace {

std::function<void()> &beepStorage() {
    static std::function<void()> beep;
    return beep;
}

void warningBeep() {
    if (beepStorage())
        beepStorage()();
    else
        QApplication::beep();
}

} // namespace

TSBHTM::TSBHTM(QWidget *owner) : TMarkupLabelBase(owner) {
    SystemDocumentShell::WatchRightControl();
}

void TSBHTM::SetBeep(std::function<void()> beep) {
    beepStorage() = std::move(beep);
}

MarkupRequest TSBHTM::MakeRequest(const QRect &rect, bool draw,
                                  std::optional<QPoint> testPoint) const {
    MarkupRequest request = TMarkupLabelBase::MakeRequest(rect, draw, testPoint);
    request.host = MarkupHost::Sbhtm;
    request.wordWrap = true;
    request.linkColor = clBlue;
    request.hover = false;
    request.shadowColor = clGray;
    request.shadowOffset = 2;
    return request;
}

void TSBHTM::LinkClicked(const QString &target) {
    if (!target.contains(QLatin1String("://")) &&
        !target.contains(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return;
    QString document = target;
    const qsizetype file = document.indexOf(QLatin1String("file://"), 0, Qt::CaseInsensitive);
    if (file >= 0)
        document.remove(file, 7);
    const int result = OpenDocument(QStringLiteral("open"), document, true);
    if (result == odOpened) {
        if (OnLinkOpened)
            OnLinkOpened();
    } else {
        warningBeep();
    }
}
