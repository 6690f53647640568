// The exit status of the dupcheck program, for the module host and for scripts. The README
// lists them.
#pragma once

enum TExitStatus : int {
    // Ended normally; an installation has entered the module into the add-on menu.
    esOk = 0,
    // The start failed: the data folder, a table or the connection (the reason was shown and
    // written to standard error).
    esStartFailed = 1,
    // The module host's build is missing or too low.
    esHostTooOld = 2,
    // An installation that registered nothing in the add-on menu.
    esNotInstalled = 3,
    // No graphical session to show the window in.
    esNoDisplay = 4,
};
