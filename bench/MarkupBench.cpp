// Figures for the markup renderer: every mouse move over a label lays its whole text out
// again, and every paint lays it out and draws it, so these are the costs that matter.
#include "feedback/EscapeMarkup.h"
#include "feedback/RenderMarkup.h"
#include "feedback/TSBHTM.h"
#include "platform/ui/Fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <functional>

namespace {

void measure(const char *what, int rounds, const std::function<void()> &body) {
    body(); // warm the font caches
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        body();
    const double micros = double(timer.nsecsElapsed()) / 1000.0 / rounds;
    std::printf("%-58s %9.1f us\n", what, micros);
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    Fonts::setup();
    std::printf("Tahoma from fonts-wine: %s\n", Fonts::tahomaAvailable() ? "yes" : "no");

    const QString status =
        QStringLiteral("<B>Es existieren mindestens 4711<BR>doppelte Bestellnummern.");
    QString message = QStringLiteral("<B>Fehler:</B><BR>");
    for (int i = 0; i < 10; ++i)
        message += EscapeMarkup(QStringLiteral("Zeile %1: Tabelle <ArtikelMain.TBL> & Index "
                                               "\"BSTN\" konnten nicht geöffnet werden.\n")
                                    .arg(i));
    message += QStringLiteral("Siehe <A href=\"file:///daten/Handbuch.pdf\">Handbuch</A>.");

    MarkupRequest request;
    request.font = Fonts::make(QStringLiteral("Tahoma"), -11);
    request.rect = QRect(0, 0, 402, 65535);
    request.draw = false;

    request.text = status;
    measure("layout, status line (2 lines), measuring only", 20000, [&] { LayoutMarkup(request); });
    request.text = message;
    request.testPoint = QPoint(40, 150);
    measure("layout, message of 11 lines with a link test", 2000, [&] { LayoutMarkup(request); });

    QImage image(402, 300, QImage::Format_RGB32);
    request.draw = true;
    request.rect = QRect(0, 0, 402, 300);
    measure("layout and paint, message of 11 lines, 402 x 300 image", 500, [&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        RenderMarkup(&painter, request);
    });

    QWidget parent;
    parent.setFont(request.font);
    TSBHTM label(&parent);
    label.resize(402, 20);
    label.SetAutoSizing(true);
    int flip = 0;
    measure("TSBHTM::SetText with autosizing, message of 11 lines", 1000,
            [&] { label.SetText(message + QString::number(++flip % 2)); });
    std::printf("message label height: %d pixels\n", label.height());
    return 0;
}
