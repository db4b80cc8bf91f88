#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <thread>

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
#include <fontconfig/fontconfig.h>
#endif

#include "app/FrmMain.h"

int main(int argc, char *argv[]) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a display Qt aborts with a message about platform plugins; say what to do instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("r7260-tool: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Run it on a desktop session, or in a virtual one:\n"
                   "  xvfb-run -a -s \"-screen 0 1366x768x24\" r7260-tool\n",
                   stderr);
        return 2;
    }
    // Loading the font configuration takes some 5 ms and fontconfig allows it on any thread: it
    // runs on another core while Qt connects to the display, and the window's first text finds
    // it ready.
    std::jthread fontConfiguration([] { FcInit(); });
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("r7260-tool"));
    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Commissioning and test tool for the R7260S stepper-motor driver."));
    options.addHelpOption();
    const QCommandLineOption log(QStringLiteral("log"),
                                 QStringLiteral("Record every frame sent and received, with times, "
                                                "to FILE (tab-separated, UTF-8) from the start."),
                                 QStringLiteral("FILE"));
    options.addOption(log);
    options.process(app);

    FrmMain window;
    window.show();
    if (options.isSet(log))
        window.startTrafficRecord(options.value(log));
    return app.exec();
}
