#pragma once
// The far side of the line for a benchmark: a raw pseudo-terminal whose slave is wired to the
// tool's COM1; the benchmark reads and writes the master itself.

#include <QPushButton>
#include <QtGlobal>
#include <cstdio>

#include "app/FrmMain.h"
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// The master's file descriptor, or -1 (with the reason printed) when no pty could be made.
inline int openPtyWiredToCom1() {
    int master = -1, slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return -1;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::close(slave);
    qputenv("R7260_COM1", name);
    return master;
}

// Presses "打开" as the engineer would; false (with the reason printed) when the port stays shut.
inline bool openToolPort(FrmMain &window) {
    auto *open = window.findChild<QPushButton *>("Command32");
    open->click();
    if (!open->isEnabled())
        return true;
    std::fprintf(stderr, "the tool could not open COM1 (%s)\n", qgetenv("R7260_COM1").constData());
    return false;
}
