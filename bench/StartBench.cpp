// Figures for the program's start: from exec to a usable main window (the window shown and
// painted, its tables open, the message loop idle), next to the start of a bare window of the
// same toolkit in the same run, the floor that any program of it pays.
//
//   start_bench DIR [--runs N]
//
// DIR is made by: dupcheck-host demo DIR --articles 1000000 --seed 1
//
// Each run starts a new process of this program (fork and exec) that starts as the dupcheck
// program does (application, fonts, cursors, title, window preparation, login prompt, TFMain,
// its settings and tables) and reports when the window is usable; the parent measures the wall
// time from just before the exec and the child's CPU time (counted from its exec). The module
// and the bare window alternate N times (default 7); the fastest run of each counts, the median
// is printed beside it. Under Xvfb (DISPLAY set) the windows go through a real X server; without
// a display the offscreen platform paints them.
#include "check/TFMain.h"
#include "data/DbTable.h"
#include "data/ui/LoginDialog.h"
#include "feedback/Cursors.h"
#include "feedback/WindowPreparation.h"
#include "platform/CommandLine.h"
#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/GraphicalSession.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double monotonicNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double cpuNow() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Waits until the window is exposed and has painted once, then for the message loop to run
// dry, and writes "wall cpu" to the pipe: the wall time since the parent's exec and the CPU
// time of this process.
void reportWhenUsable(QWidget &window, double execAt, int pipe,
                      const std::function<bool()> &ready) {
    auto *poll = new QTimer(&window);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [=, &window] {
        QWindow *handle = window.windowHandle();
        if (!handle || !handle->isExposed() || !window.isVisible() || !ready())
            return;
        poll->stop();
        // Everything the show and the start posted is done once a zero timer comes round again.
        QTimer::singleShot(0, &window, [=] {
            const double wall = monotonicNow() - execAt;
            const double cpu = cpuNow();
            const std::string line = std::to_string(wall) + " " + std::to_string(cpu) + "\n";
            (void)!write(pipe, line.data(), line.size());
            close(pipe);
            std::_Exit(0); // what ends the window is not part of its start
        });
    });
    poll->start();
}

int child(int argc, char **argv, const char *kind, double execAt, int pipe, const QString &dir) {
    if (std::strcmp(kind, "bare") == 0) {
        QApplication app(argc, argv);
        QWidget window;
        window.resize(800, 600);
        window.setWindowTitle(QStringLiteral("Fenster"));
        window.show();
        reportWhenUsable(window, execAt, pipe, [] { return true; });
        return QApplication::exec();
    }
    // As the dupcheck program starts (app/main.cpp).
    const auto app = GraphicalSession::createApplication(argc, argv, 3);
    Fonts::setup();
    RegisterCursors();
    Application::setTitle(QStringLiteral("Check auf doppelte Artikelnummern"));
    Application::setWindowPreparation(PrepareWindow);
    InstallLoginDialog();
    SetCommandLineArguments({dir, QStringLiteral("1"), QStringLiteral("12413")});
    TFMain form;
    Application::setMainForm(&form);
    form.show();
    reportWhenUsable(form, execAt, pipe,
                     [&form] { return form.Table_ARTMAIN->Active() && form.Subtable->Active(); });
    return QApplication::exec();
}

struct Start {
    double wall = 0;
    double cpu = 0;
};

bool startOnce(const char *self, const char *kind, const QString &dir, Start &out) {
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const QByteArray folder = QFile::encodeName(dir);
    const double before = monotonicNow();
    const std::string at = std::to_string(before);
    const std::string fd = std::to_string(fds[1]);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        execl(self, self, "--child", kind, at.c_str(), fd.c_str(), folder.constData(),
              static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buffer[128] = {};
    size_t got = 0;
    for (ssize_t n;
         got + 1 < sizeof buffer && (n = read(fds[0], buffer + got, sizeof buffer - 1 - got)) > 0;)
        got += size_t(n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return std::sscanf(buffer, "%lf %lf", &out.wall, &out.cpu) == 2;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each run as it ends, also into a file
    if (argc >= 6 && std::strcmp(argv[1], "--child") == 0) {
        int childArgc = 1;
        return child(childArgc, argv, argv[2], std::atof(argv[3]), std::atoi(argv[4]),
                     QFile::decodeName(argv[5]));
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QString folder;
    int runs = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (folder.isEmpty())
            folder = QDir(QFile::decodeName(argv[i])).absolutePath();
    }
    if (folder.isEmpty() || !QFileInfo::exists(folder + QStringLiteral("/ArtikelMain.TBL"))) {
        std::fprintf(stderr, "usage: start_bench DIR [--runs N]\n"
                             "  DIR made by: dupcheck-host demo DIR --articles 1000000 --seed 1\n");
        return 1;
    }
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("data folder %s, display %s\n", qPrintable(folder),
                platform ? platform : (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "?"));
    std::vector<double> moduleWall, moduleCpu, bareWall, bareCpu;
    for (int run = 1; run <= runs; ++run) {
        Start m, b;
        if (!startOnce(argv[0], "module", folder, m)) {
            std::fprintf(stderr, "the module's window did not become usable\n");
            return 3;
        }
        if (!startOnce(argv[0], "bare", folder, b)) {
            std::fprintf(stderr, "the bare window did not become usable\n");
            return 3;
        }
        std::printf("run %d: module %6.0f ms wall %6.0f ms CPU   bare window %6.0f ms wall %6.0f "
                    "ms CPU\n",
                    run, m.wall * 1e3, m.cpu * 1e3, b.wall * 1e3, b.cpu * 1e3);
        moduleWall.push_back(m.wall);
        moduleCpu.push_back(m.cpu);
        bareWall.push_back(b.wall);
        bareCpu.push_back(b.cpu);
    }
    auto best = [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("\nexec to usable main window (fastest of %d, median beside it):\n", runs);
    std::printf("module       %6.0f ms wall (median %6.0f)  %6.0f ms CPU (median %6.0f)   goal: at "
                "most 300 ms\n",
                best(moduleWall) * 1e3, median(moduleWall) * 1e3, best(moduleCpu) * 1e3,
                median(moduleCpu) * 1e3);
    std::printf("bare window  %6.0f ms wall (median %6.0f)  %6.0f ms CPU (median %6.0f)\n",
                best(bareWall) * 1e3, median(bareWall) * 1e3, best(bareCpu) * 1e3,
                median(bareCpu) * 1e3);
    return 0;
}
