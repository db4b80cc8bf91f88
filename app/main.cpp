#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <thread>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <cerrno>
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/FrmMain.h"
#include "app/RemoteControl.h"

#ifndef R7260_VERSION
#define R7260_VERSION "unknown"
#endif

namespace {

struct Options {
    QCommandLineParser parser;
    QCommandLineOption log{QStringLiteral("log"),
                           QStringLiteral("Record every frame sent and received, with times, to "
                                          "FILE (tab-separated, UTF-8) from the start."),
                           QStringLiteral("FILE")};
    QCommandLineOption control{
        QStringLiteral("control"),
        QStringLiteral("Let a script drive the window through the local socket NAME (a path, or a "
                       "name in the runtime folder) that only this user can open: one JSON "
                       "request per line, as the README describes."),
        QStringLiteral("NAME")};

    Options() {
        QCoreApplication::setApplicationName(QStringLiteral("r7260-tool"));
        QCoreApplication::setApplicationVersion(QStringLiteral(R7260_VERSION));
        parser.setApplicationDescription(QStringLiteral(
            "Commissioning and test tool for the R7260S stepper-motor driver: a window whose "
            "buttons each send one device request over an RS-232/RS-485 line (Modbus RTU or "
            "ASCII framing), showing every byte sent and received and what the replies mean.\n"
            "\n"
            "COM1 to COM9 in the window are the serial ports the system reports, USB adapters "
            "first; the environment variable R7260_COMn (n = 1 to 9) names the device behind "
            "COMn instead, for example R7260_COM1=/dev/ttyUSB0. Opening a port needs the "
            "dialout group.\n"
            "\n"
            "The language choice is kept in ~/.config/r7260-tool/r7260-tool.conf."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(log);
        parser.addOption(control);
    }
};

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// --help and --version need no window, so they are answered without a display too (help2man
// makes the manual page from them on build machines that have none).
bool asksHelpOrVersion(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

// Without XDG_RUNTIME_DIR (a root shell, plain ssh, xvfb-run) Qt warns on the console and picks a
// folder itself. Name a private folder of our own instead; one that is not plainly ours and
// closed to others is left for Qt to report.
void usePrivateRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t user = ::geteuid();
    const QByteArray folder =
        QFile::encodeName(QDir::tempPath()) + "/r7260-tool-runtime-" + QByteArray::number(user);
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
        return;
    struct stat info {};
    if (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user ||
        (info.st_mode & 0777) != 0700)
        return;
    qputenv("XDG_RUNTIME_DIR", folder);
}
#endif

} // namespace

int main(int argc, char *argv[]) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (asksHelpOrVersion(argc, argv)) {
            QCoreApplication app(argc, argv);
            Options options;
            options.parser.process(app); // prints and ends the program
        }
        // Without a display Qt aborts with a message about platform plugins; say what to do.
        std::fputs("r7260-tool: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Run it on a desktop session, or in a virtual one with xvfb-run (Debian "
                   "package xvfb: apt install xvfb):\n"
                   "  xvfb-run -a -s \"-screen 0 1366x768x24\" r7260-tool\n",
                   stderr);
        return 2;
    }
    usePrivateRuntimeFolder();
    // Loading the font configuration takes some 5 ms and fontconfig allows it on any thread: it
    // runs on another core while Qt connects to the display, and the window's first text finds
    // it ready.
    std::jthread fontConfiguration([] { FcInit(); });
#endif
    QApplication app(argc, argv);
    Options options;
    options.parser.process(app);

    FrmMain window;
    RemoteControl remote(&window);
    if (options.parser.isSet(options.control) &&
        !remote.listen(options.parser.value(options.control))) {
        std::fprintf(stderr, "r7260-tool: cannot listen at %s: %s\n",
                     qPrintable(options.parser.value(options.control)),
                     qPrintable(remote.errorString()));
        return 2;
    }
    window.show();
    if (options.parser.isSet(options.log))
        window.startTrafficRecord(options.parser.value(options.log));
    return app.exec();
}
