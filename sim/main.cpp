// r7260-sim: a virtual R7260S on a pseudo-terminal (or a real serial device), for trying and
// testing the tool without hardware. See "Virtual device" in the README.

#include "sim/ConsoleCommand.h"
#include "sim/Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so the link is removed on the way out.
void quitOnSignals(QCoreApplication &app) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

[[noreturn]] void fail(const QString &message) {
    std::fprintf(stderr, "r7260-sim: %s\n", qPrintable(message));
    std::exit(2);
}

// A whole number in `text`, or the program ends with a message naming the option.
qint64 integerOption(const QString &text, const QString &option, qint64 min, qint64 max) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < min || value > max)
        fail(QStringLiteral("--%1 wants a whole number from %2 to %3, not \"%4\"")
                 .arg(option)
                 .arg(min)
                 .arg(max)
                 .arg(text));
    return value;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("r7260-sim"));
    std::signal(SIGPIPE, SIG_IGN); // a closed stdout must not end the device
    // Started in the background of a shell, reading the terminal must fail rather than stop
    // the device (the console is then given up, the line is still served).
    std::signal(SIGTTIN, SIG_IGN);
    std::signal(SIGTTOU, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual R7260S motion controller on a pseudo-terminal. Prints \"PTY <path>\" first; "
        "reads commands from standard input (help, status, in 00101, in3 1, quit)."));
    parser.addHelpOption();
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Serve a real serial device instead of a new "
                                                   "pseudo-terminal."),
                                    QStringLiteral("path"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Create a symbolic link to the pseudo-terminal."),
                                  QStringLiteral("path"));
    const QCommandLineOption address(
        QStringLiteral("address"),
        QStringLiteral("Device address in hex, 1 to FF (default 1); several, comma separated "
                       "(1,5,1F), put a line of drives on the port."),
        QStringLiteral("hex[,hex...]"), QStringLiteral("1"));
    const QCommandLineOption baud(
        QStringLiteral("baud"),
        QStringLiteral("Line speed at start: 2400, 4800, 9600, 14400, 19200 or 38400 (default "
                       "9600); one for every drive, or one per address."),
        QStringLiteral("rate[,rate...]"), QStringLiteral("9600"));
    const QCommandLineOption lineTiming(
        QStringLiteral("line-timing"),
        QStringLiteral("Receive and send at the line's speed, 10 bits a byte, with a 2 ms "
                       "turnaround unless --reply-delay is given."));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Random seed for --split and --noise."),
                                  QStringLiteral("n"));
    const QCommandLineOption delay(QStringLiteral("reply-delay"),
                                   QStringLiteral("Wait this long before each reply (default 0; "
                                                  "2 with --line-timing)."),
                                   QStringLiteral("ms"));
    const QCommandLineOption split(QStringLiteral("split"),
                                   QStringLiteral("Write each reply in two or three pieces, "
                                                  "5 ms apart."));
    const QCommandLineOption noise(QStringLiteral("noise"),
                                   QStringLiteral("Random bytes before some replies, now and then "
                                                  "a corrupted byte."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Log requests and replies to stderr as hex."));
    const QCommandLineOption exitOnEof(QStringLiteral("exit-on-eof"),
                                       QStringLiteral("End when standard input closes."));
    const QCommandLineOption left(QStringLiteral("left-limit"),
                                  QStringLiteral("Left limit switch position (default: none)."),
                                  QStringLiteral("pulses"));
    const QCommandLineOption right(QStringLiteral("right-limit"),
                                   QStringLiteral("Right limit switch position (default: none)."),
                                   QStringLiteral("pulses"));
    const QCommandLineOption origin(QStringLiteral("origin"),
                                    QStringLiteral("Origin switch position (default 0)."),
                                    QStringLiteral("pulses"), QStringLiteral("0"));
    const QCommandLineOption inputs(QStringLiteral("inputs"),
                                    QStringLiteral("Inputs at start, IN5..IN1, 1 = on "
                                                   "(default 00000)."),
                                    QStringLiteral("bits"), QStringLiteral("00000"));
    parser.addOptions({device, link, address, baud, lineTiming, seed, delay, split, noise, verbose,
                       exitOnEof, left, right, origin, inputs});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument \"%1\"; see --help")
                 .arg(parser.positionalArguments().first()));

    constexpr qint64 kPositionRange = 0x7FFFFFFF;
    sim::SimulatorOptions options;
    options.device = parser.value(device);
    options.link = parser.value(link);
    if (!options.device.isEmpty() && !options.link.isEmpty())
        fail(QStringLiteral("--link applies to the pseudo-terminal, not to --device"));
    const QStringList addresses = parser.value(address).split(u',');
    const QStringList rates = parser.value(baud).split(u',');
    if (rates.size() != 1 && rates.size() != addresses.size())
        fail(QStringLiteral("--baud wants one rate for every drive, or one per address"));
    options.drives.clear();
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        bool ok = false;
        const uint hex = addresses[i].trimmed().toUInt(&ok, 16);
        if (!ok || hex == 0 || hex > 0xFF)
            fail(QStringLiteral("--address wants hex addresses from 1 to FF, comma separated"));
        const qint64 rate = integerOption(rates[rates.size() == 1 ? 0 : i].trimmed(),
                                          QStringLiteral("baud"), 0, 1000000);
        quint8 baudCode = 0;
        for (quint8 code = 0; code < 16 && baudCode == 0; ++code)
            if (sim::baudRateOf(code) == rate)
                baudCode = code;
        if (baudCode == 0)
            fail(QStringLiteral("--baud wants 2400, 4800, 9600, 14400, 19200 or 38400"));
        options.drives.push_back({quint8(hex), baudCode});
    }
    options.seed =
        parser.isSet(seed)
            ? quint32(integerOption(parser.value(seed), QStringLiteral("seed"), 0, 0xFFFFFFFF))
            : QRandomGenerator::system()->generate();
    options.lineTiming = parser.isSet(lineTiming);
    options.shape.replyDelayMs =
        parser.isSet(delay)
            ? int(integerOption(parser.value(delay), QStringLiteral("reply-delay"), 0, 60000))
            : (options.lineTiming ? 2 : 0);
    options.shape.split = parser.isSet(split);
    options.shape.noise = parser.isSet(noise);
    options.verbose = parser.isSet(verbose);
    options.exitOnEof = parser.isSet(exitOnEof);
    if (parser.isSet(left))
        options.switches.leftLimit = integerOption(parser.value(left), QStringLiteral("left-limit"),
                                                   -kPositionRange, kPositionRange);
    if (parser.isSet(right))
        options.switches.rightLimit = integerOption(
            parser.value(right), QStringLiteral("right-limit"), -kPositionRange, kPositionRange);
    options.switches.origin = integerOption(parser.value(origin), QStringLiteral("origin"),
                                            -kPositionRange, kPositionRange);
    if (options.switches.leftLimit && options.switches.rightLimit &&
        *options.switches.leftLimit >= *options.switches.rightLimit)
        fail(QStringLiteral("--left-limit must lie below --right-limit"));
    const auto pattern = sim::parsePattern(parser.value(inputs));
    if (!pattern)
        fail(QStringLiteral("--inputs wants five digits 0/1 for IN5..IN1, e.g. 00101"));
    options.inputs = *pattern;

    sim::Simulator simulator(options);
    QString error;
    if (!simulator.start(error))
        fail(error);
    quitOnSignals(app);
    return app.exec();
}
