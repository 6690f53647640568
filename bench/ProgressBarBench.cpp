// How much a long operation pays for its progress bar: a million records, one Position step
// and one processEvents() per record, as the scan does it, against the same loop without the
// bar. Prints the figures; it is not a test. Runs offscreen unless QT_QPA_PLATFORM says
// otherwise (for example xcb under Xvfb).
#include "platform/ui/TCustomForm.h"
#include "widgets/TFlatProgressBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>

#include <cstdio>
#include <cstdlib>

namespace {

class CountingBar : public TFlatProgressBar {
public:
    using TFlatProgressBar::TFlatProgressBar;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *e) override {
        ++paints;
        TFlatProgressBar::paintEvent(e);
    }
};

double loopSeconds(int records, TFlatProgressBar *bar) {
    QElapsedTimer t;
    t.start();
    for (int i = 1; i <= records; ++i) {
        if (bar)
            bar->SetPosition(i);
        QCoreApplication::processEvents();
    }
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;

    TForm form;
    form.resize(440, 40);
    auto *bar = new CountingBar(&form);
    bar->setGeometry(8, 8, 417, 25);
    form.show();
    QCoreApplication::processEvents();

    loopSeconds(records / 10, nullptr); // warm-up
    const double bare = loopSeconds(records, nullptr);
    bar->SetMax(records);
    bar->SetPosition(0);
    QCoreApplication::processEvents();
    bar->paints = 0;
    const double withBar = loopSeconds(records, bar);
    const int paints = bar->paints;

    // The price of one Position step alone, without the message loop.
    bar->SetPosition(0);
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    for (int i = 1; i <= records; ++i)
        bar->SetPosition(i);
    const double stepsOnly = t.nsecsElapsed() / 1e9;

    std::printf("platform: %s, records: %d, bar 417 x 25 (%d blocks)\n",
                qPrintable(QGuiApplication::platformName()), records, bar->Places());
    std::printf("loop with processEvents only:    %8.3f s  (%6.3f us per record)\n", bare,
                bare * 1e6 / records);
    std::printf("loop with the progress bar:      %8.3f s  (%6.3f us per record)\n", withBar,
                withBar * 1e6 / records);
    std::printf("cost of the bar per record:      %8.3f us\n", (withBar - bare) * 1e6 / records);
    std::printf("paint events of the bar:         %8d\n", paints);
    std::printf("Position steps alone:            %8.3f s  (%6.1f ns per step)\n", stepsOnly,
                stepsOnly * 1e9 / records);
    return 0;
}
