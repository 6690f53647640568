// Registers one module in a menu file, as an installation does, for the test of installations
// running at the same moment:
//   menu-register MENUFILE PROGRAM MODULENAME
// It first waits until its standard input is closed, so that a test can let several of them go
// at once. Exit status 0 when registered; 1 with the reason on standard error otherwise.
#include "module/AddOnMenu.h"
#include "platform/Exception.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 4) {
        std::fprintf(stderr, "Aufruf: menu-register MENUDATEI PROGRAMM MODULNAME\n");
        return 2;
    }
    char buffer[256];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    try {
        AddOnMenu::Register(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                            QString::fromLocal8Bit(argv[3]));
    } catch (const Exception &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
