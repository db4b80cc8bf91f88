#include "cli/Cli.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QThread>

#include "automation/CommandListFile.h"
#include "automation/Runner.h"
#include "cli/Arguments.h"
#include "cli/Options.h"
#include "cli/Params.h"
#include "cli/Report.h"
#include "cli/Scan.h"
#include "cli/Trace.h"
#include "codec/Framing.h"
#include "codec/HexText.h"
#include "device/RequestBuilder.h"
#include "transmission/Engine.h"

#ifndef R7260_VERSION
#define R7260_VERSION "unknown"
#endif

namespace cli {

namespace {

const QLatin1String kProgram("r7260-cli");

} // namespace

int usage(QTextStream &err, const QString &text) {
    err << kProgram << ": " << text << '\n';
    return Usage;
}


// --log FILE: every frame sent and every read received, as the window records them.
std::optional<int> startLog(transmission::Engine &engine, const Options &options,
                            QTextStream &err) {
    if (options.log.isEmpty())
        return std::nullopt;
    if (const auto reason = engine.startRecord(options.log)) {
        err << kProgram << ": cannot record to " << options.log << ": " << *reason << '\n';
        return Usage;
    }
    QObject::connect(&engine, &transmission::Engine::recordStopped,
                     [&err](const QString &path, const QString &reason) {
                         err << kProgram << ": the record " << path << " stopped: " << reason
                             << Qt::endl;
                     });
    return std::nullopt;
}

// Opens the port the options name on the engine, waiting for a connection across the network;
// when it cannot, the exit status, with the reason on err.
std::optional<int> openFailure(transmission::Engine &engine, const Options &options,
                               QTextStream &err) {
    if (options.port.isEmpty())
        return usage(err, QStringLiteral("no port given: -p DEVICE"));
    if (!transmission::Engine::portShortName(options.port))
        return usage(err, QStringLiteral("-p \"%1\" names no port: use %2")
                              .arg(options.port, transmission::Engine::portFormsText()));
    const QString settings = QStringLiteral("%1,n,8,1").arg(options.baud);
    std::optional<transmission::OpenError> error = engine.openPort(options.port, settings);
    if (!error && engine.portConnecting()) {
        QEventLoop loop;
        QObject::connect(&engine, &transmission::Engine::portOpened, &loop, &QEventLoop::quit);
        QObject::connect(&engine, &transmission::Engine::portOpenFailed, &loop,
                         [&](const transmission::OpenError &failure) {
                             error = failure;
                             loop.quit();
                         });
        loop.exec();
    }
    if (!error)
        return std::nullopt;
    err << kProgram << ": "
        << transmission::Engine::openFailureText(portLabel(options.port, engine.portDevice()),
                                                 *error, settings)
        << '\n';
    return PortError;
}

namespace {

// One exchange, reported; its status.
int exchangeOnce(transmission::Engine &engine, const QByteArray &frame, const Options &options,
                 Report &report, QTextStream &err, std::optional<ListPlace> place = std::nullopt) {
    const transmission::Exchange exchange =
        engine.exchangeAndWait({frame, std::nullopt, options.timeoutMs});
    if (!exchange.stale.isEmpty())
        err << kProgram << ": dropped " << exchange.stale.size()
            << " byte(s) that came after the previous exchange: " << hexText(exchange.stale)
            << '\n';
    err.flush();
    report.exchange(exchange, place);
    if (!exchange.portProblem.isEmpty())
        err << kProgram << ": the port " << report.port() << " went away: " << exchange.portProblem
            << Qt::endl;
    return statusOf(exchange);
}

// Opens the port, starts the record asked for and makes one exchange of the frame, reported;
// its status.
int sendOne(const QByteArray &frame, const Options &options, QTextStream &out, QTextStream &err) {
    transmission::Engine engine;
    if (const auto status = openFailure(engine, options, err))
        return *status;
    if (const auto status = startLog(engine, options, err))
        return *status;
    Report report(out, options.json,
                  portLabel(options.port, engine.portDevice()));
    return exchangeOnce(engine, frame, options, report, err);
}

} // namespace

// The English half of a refused value: which value, and the range it must lie in.
QString refusalText(const device::Command &command, const device::Refusal &refusal) {
    const QStringList names =
        QString::fromLatin1(command.arguments ? command.arguments : "").split(u' ');
    const QString what = refusal.argument < 0
                             ? QStringLiteral("the address (-a)")
                             : names.value(refusal.argument, QStringLiteral("the value"));
    using Range = device::Refusal::Range;
    switch (refusal.range) {
    case Range::Hex:
        return QStringLiteral("%1 must lie between %2 and %3 (hex)")
            .arg(what, QString::number(refusal.minimum, 16).toUpper(),
                 QString::number(refusal.maximum, 16).toUpper());
    case Range::Bytes:
        return QStringLiteral("%1 holds at most %2 bytes").arg(what).arg(refusal.maximum);
    case Range::Decimal:
        break;
    }
    return QStringLiteral("%1 must lie between %2 and %3")
        .arg(what)
        .arg(refusal.minimum)
        .arg(refusal.maximum);
}

std::variant<device::Request, int> deviceRequest(const QString &name, const QStringList &arguments,
                                                 const Options &options, QTextStream &err) {
    const device::Command *command = device::findCommand(name);
    if (!command)
        return usage(err, QStringLiteral("unknown command \"%1\"; \"%2 list\" shows every command")
                              .arg(name, kProgram));
    const int wanted = device::argumentCount(command->layout);
    if (arguments.size() != wanted)
        return usage(err, QStringLiteral("%1 takes %2 argument(s)%3, not %4")
                              .arg(name)
                              .arg(wanted)
                              .arg(command->arguments ? QStringLiteral(" (%1)").arg(
                                                            QLatin1String(command->arguments))
                                                      : QString())
                              .arg(arguments.size()));
    if (const auto malformed = malformedArgument(*command, arguments))
        return usage(err, QStringLiteral("%1: %2; nothing sent").arg(name, *malformed));
    const device::BuildResult built =
        device::buildRequest(*command, options.address, arguments, options.framing);
    if (const auto *refusal = std::get_if<device::Refusal>(&built))
        return usage(
            err, QStringLiteral("%1: %2; nothing sent").arg(name, refusalText(*command, *refusal)));
    if (const auto *request = std::get_if<device::Request>(&built))
        return *request;
    return usage(err, QStringLiteral("%1: nothing to send for an empty %2")
                          .arg(name, QLatin1String(command->arguments)));
}

namespace {

int deviceCommand(const Options &options, QTextStream &out, QTextStream &err) {
    const auto request = deviceRequest(options.words.front(), options.words.mid(1), options, err);
    if (const int *status = std::get_if<int>(&request))
        return *status;
    return sendOne(std::get<device::Request>(request).frame, options, out, err);
}

int raw(const Options &options, QTextStream &out, QTextStream &err) {
    const QString hex = options.words.mid(1).join(u' ');
    if (!fits(Form::HexBytes, hex))
        return usage(err, wantsText(QStringLiteral("raw"), Form::HexBytes, hex) +
                              QStringLiteral("; nothing sent"));
    const QByteArray bytes = codec::ParseHexText(hex);
    const QByteArray frame = options.check == Options::Check::Crc   ? codec::rtuFrame(bytes)
                             : options.check == Options::Check::Lrc ? codec::asciiFrame(bytes)
                                                                    : bytes;
    return sendOne(frame, options, out, err);
}

// Plays the list as the window's runner does, one tick after the other; a tick that sends a
// frame waits for its reply before the next. A pass ends when the runner goes back to an earlier
// line or stays on its line (the wrap after the last line, a jump backwards), so jumps that loop
// for ever still end after the passes asked for.
int runList(const Options &options, QTextStream &out, QTextStream &err) {
    if (options.words.size() != 2)
        return usage(err, QStringLiteral("run takes one FILE"));
    const QString &path = options.words[1];
    const automation::ListFileRead read = automation::ReadFileToList(path);
    if (!read.lines)
        return usage(err,
                     QStringLiteral("cannot read %1: %2").arg(path, listReadProblem(path, read)));
    const QStringList &lines = *read.lines;
    transmission::Engine engine;
    if (const auto status = openFailure(engine, options, err))
        return *status;
    if (const auto status = startLog(engine, options, err))
        return *status;
    Report report(out, options.json,
                  portLabel(options.port, engine.portDevice()));

    int status = Ok;
    bool sentAny = false;
    int runLine = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 due = 0; // when the current tick was due, in ms on the clock
    for (int pass = 1; options.loops == 0 || pass <= options.loops;) {
        if (runLine < 0 || runLine >= lines.size() || lines[runLine].isEmpty()) {
            err << kProgram << ": line " << runLine
                << " is empty or outside the list: the runner idles there; the run ends\n";
            break;
        }
        const automation::RunnerStep step =
            automation::runnerStep(lines, runLine, options.interval);
        if (!step.frame.isEmpty()) {
            sentAny = true;
            const int result =
                exchangeOnce(engine, step.frame, options, report, err, ListPlace{runLine, pass});
            if (result == PortError)
                return PortError;
            if (status == Ok)
                status = result;
            if (result != Ok && options.stopOnError)
                return status;
        }
        if (step.interval == 0) {
            err << kProgram << ": a wait of 0 ms after line " << runLine
                << " stops the runner, as in the window; the run ends\n";
            break;
        }
        if (step.nextRunLine <= runLine)
            ++pass;
        runLine = step.nextRunLine;
        if (options.loops != 0 && pass > options.loops)
            break;
        // The wait counts from when the tick was due; a late tick starts afresh, never a burst.
        due = std::max(due + step.interval, clock.elapsed());
        if (const qint64 wait = due - clock.elapsed(); wait > 0)
            QThread::msleep(quint64(wait));
    }
    if (!sentAny)
        return usage(err, QStringLiteral("%1 sends no frame").arg(path));
    return status;
}

} // namespace

QString usageText() {
    return QStringLiteral(R"(NAME
    r7260-cli - R7260S device commands, raw frames and command lists from a shell

SYNOPSIS
    r7260-cli [OPTIONS] COMMAND [ARGUMENTS]
    r7260-cli list
    r7260-cli -p DEVICE [-b RATE] [-a HEX] [-m rtu|ascii] NAME [VALUE...]
    r7260-cli -p DEVICE raw HEX... [--crc | --lrc]
    r7260-cli -p DEVICE run FILE [--loops N] [-l MS] [--stop-on-error]
    r7260-cli -p DEVICE params backup FILE | restore FILE [--only NAME,...] | diff FILE [FILE2]
    r7260-cli -p DEVICE scan [--range A-B] [-b LIST|all] [--framing rtu|ascii|both]
              [--turnaround MS]
    r7260-cli -p DEVICE trace [--channels LIST] [--rate HZ|max] [--trigger move|state|none]
              [--pretrigger MS] [--duration S] [--csv FILE] [--then NAME [VALUE...]]

OPTIONS
    -p, --port DEVICE   the serial device: a path (/dev/ttyUSB0, a pty; a name without "/" is
                        looked for in /dev), or COM1..COM9 as the window maps them (R7260_COMn)
    -b, --baud RATE     line speed, default 9600: 300, 600, 1200, 2400, 4800, 9600, 14400, 19200,
                        38400, 56000, 57600, 115200 or 128000; always 8 data bits, no parity,
                        1 stop bit; scan: several, comma separated, or all
    -a, --address HEX   device address in hex digits (1F is 31), 0 to FF, default 1
    -m, --mode MODE     framing: rtu (default, CRC-16) or ascii (LRC)
        --ascii         the same as -m ascii
        --timeout MS    how long to wait for each reply (1 to 3600000); default: the request's
                        and the longest reply's time on the line at the baud rate, plus 100 ms
                        for the device to turn round (and what a network port adds)
    -o SECONDS          the same in seconds, as mbpoll takes it (-o 0.5; at most 3 decimals)
        --json          one JSON object per exchange, one per line, instead of text
        --log FILE      record every frame sent and every read received to FILE, as the
                        window's traffic record does (tab-separated, with times)
        --crc           raw: append the CRC-16, low byte first
        --lrc           raw: send the bytes as an ASCII frame with its LRC
    -l, --interval MS   run: the wait after a line that no Delay line follows, default 1000
                        (0 to 65535)
        --loops N       run: passes through the list, default 1; 0 plays until interrupted
        --stop-on-error run: stop at the first exchange that did not end in a good reply
        --only NAMES    params restore: only these settings, comma-separated (set-max-speed,
                        bind-inputs for every binding, bind-inputs/3 for one)
        --line-settings params: the address and the line speed too (backup, restore)
        --all           params diff: the settings that are the same too
        --against HEX   params diff: compare the drive at -a with the drive at HEX
        --range A-B     scan: the addresses, hex, default 1-FF
        --framing F     scan: rtu (default), ascii, or both (ascii where rtu finds nothing)
        --turnaround MS scan: what a drive is given beyond the frames' time on the line to
                        answer, default 20 (0 to 1000)
        --channels LIST trace: the groups polled, of abs, rel, speed, state, inputs
                        (default abs,speed,state)
        --rate HZ|max   trace: rounds of queries a second, 1 to 1000, or max (default)
        --trigger MODE  trace: move (the --then command), state (a motion-state change) or
                        none (default)
        --pretrigger MS trace: kept before the trigger, default 200
        --duration S    trace: recorded after the trigger (default: until the move has ended,
                        then as long again as the pre-trigger; 10 s without a trigger)
        --csv FILE      trace: the CSV to FILE instead of standard output
        --then NAME     trace: send this device command (its values follow the trace's words)
                        once the pre-trigger is recorded
    -h, --help          this text
    -V, --version       the version
    Options may stand anywhere; "--" ends them. A negative number is a value (move -1000).
    Every value, of an option or a command, is taken exactly as written (see NAME below).

COMMANDS
    list
        Every device command: name, function code, arguments, what its reply carries.
    NAME [VALUE...]
        One device command by its name (see list): handshake, set-start-speed 100,
        get-start-speed, move-relative 0 10000, stop ... Values are taken exactly as written,
        never read the window's lenient way: decimal digits, with "-" in front where the value
        is signed; hex digits for ADDRESS and the DIRECTION of home; one of the listed rates for
        set-baud-rate (2400 ... 57600) and can-baud-rate (1M ... 5K); five characters 0 or 1
        for a PATTERN (IN5 first); hex bytes of two digits each for HEX and COMMAND ("01 2A").
        A value in another form (abc, 1.6, 1e3, &H64, +5, 1G) or outside its range is refused
        with a message naming it, and nothing is sent.
    raw HEX...
        Sends these bytes as they stand: two hex digits a byte, blanks between bytes allowed.
    run FILE
        Plays a command-list file (GBK, lines ended by CR or CR LF) as the window's runner does:
        a frame line is sent and its reply waited for; a Delay line right after it sets the wait
        before the next line, counted from when the frame was sent; a GoIdx line right after it
        names the next line. A pass ends when the runner goes back to an earlier line or stays on
        its line (the wrap after the last line, a GoIdx jump back), so a list that loops by its
        jumps still ends. A wait of 0 (Delay:0, or -l 0) ends the run, as it stops the window's
        runner; so does an empty line or a jump outside the list, where the runner idles. The
        file's lines are the window's, and read as the window reads them; the file must be a
        regular file of at most 1 MiB.
    scan
        Finds the drives on the line: each address of --range is sent a handshake at each line
        speed of -b (a list such as 9600,19200; default the device's seven: 9600, 19200, 38400,
        57600, 4800, 2400, 14400; "all" adds the port's others) and given the request's and the
        reply's time on the line plus --turnaround to answer. A drive found has its parameters
        read. An answer that comes damaged twice is listed as damaged, not as a drive. The port
        gets its own settings back at the end. Prints one line (or JSON object) per drive and per
        damaged address; exit 0 when a drive was found, 2 when none.

    params backup FILE
        Reads every setting the drive can be asked for into FILE (JSON, see README "Parameter
        sets"); the write-only ones (register base, speed factor, CAN settings) are held as
        null, "cannot be read back". One line (or --json object) per setting.
    params backup-drives FOLDER HEX...
        The same for each address, into FOLDER/drive-<HEX>.json; goes on past a drive that does
        not answer.
    params diff FILE [FILE2]
        Compares the drive at -a with FILE, or FILE with FILE2 (no port needed); --against HEX
        compares the drive at -a with the drive at HEX. Only the differences are printed.
    params restore FILE [--only NAME,...]
        Writes FILE's settings to the drive at -a, each read back where the device can be asked
        for it: confirmed, written (cannot be read back), refused, not answered, or not sent.
        It stops at once at a refusal or a missing reply. A file that is malformed, of an
        unknown format, or holds a value outside its range is refused whole before anything is
        sent, naming the entry.
    trace
        Polls the device as the window's scope does and prints the trace as CSV (time_s from
        the trigger, one column per channel; a row per reply, the other channels' cells empty,
        "nan" where a query went unanswered), then the move's measurements (peak speed, time to
        peak, acceleration, move time, final position against the target); to stderr when the
        CSV goes to standard output. --json: one object per sample and a last one holding the
        measurements. Exit status 74: the --csv file could not be written at the end.

OUTPUT
    Each exchange prints tx and rx (hex), the reply's message as the window shows it, value,
    state (moving, left-limit, origin, right-limit; 1 = active), inputs (IN1..IN5; 1 = on),
    error, and ms (request to reply); run adds line (counted from 0, as GoIdx counts) and pass.
    An error about the line begins with the port, and the device behind a COM name:
    "COM1 (/dev/ttyUSB0): no reply within 500 ms".
    --json prints the same keys (errorCode for a failure reply) as one object per line.

EXIT STATUS
    0   every reply arrived and none was a failure reply
    1   a failure reply: the device refused a command (its error is named)
    2   no reply within the timeout, or only an incomplete reply or one failing its check
    3   the port could not be opened, or it went away
    64  usage: an unknown command or option, a wrong number of arguments, a value not written
        in its form or outside its range, a list file that cannot be read or sends nothing;
        nothing was sent
    For run, the first exchange that was not good decides; 3 ends the run at once.
    4   params diff: differences found; params restore: a value did not read back as written
    For params, 64 also stands for a parameter-set file that cannot be read or written.
    For run, the first exchange that was not good decides; 3 ends the run at once. For scan,
    0 a drive was found, 2 none (damaged answers are no drive), 3 the port.

EXAMPLES
    r7260-cli -p /dev/ttyUSB0 handshake
    r7260-cli -p /dev/ttyUSB0 -a 2 set-start-speed 200
    r7260-cli -p COM1 --json get-absolute-position
    r7260-cli -p /dev/ttyUSB0 -m ascii move-relative 0 10000
    r7260-cli -p /dev/ttyUSB0 raw 01 20 00 --crc
    r7260-cli -p /dev/ttyUSB0 run setup.txt --loops 3 -l 200 --stop-on-error
    r7260-cli -p /dev/ttyUSB0 scan --range 1-20 -b 9600,19200 --json
    r7260-cli -p /dev/ttyUSB0 trace --trigger move --csv move.csv --then move 100000
    for a in 1 2 3; do r7260-cli -p /dev/ttyUSB0 -a $a handshake >/dev/null || echo "$a: $?"; done
)");
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    const auto parsed = parseOptions(arguments);
    if (const auto *error = std::get_if<UsageError>(&parsed))
        return usage(err, error->text + QStringLiteral("; see --help"));
    const Options &options = std::get<Options>(parsed);
    if (options.help) {
        out << usageText();
        return Ok;
    }
    if (options.version) {
        out << kProgram << ' ' << R7260_VERSION << '\n';
        return Ok;
    }
    const QString &command = options.words.front();
    if (command == QLatin1String("list")) {
        if (options.words.size() != 1)
            return usage(err, QStringLiteral("list takes no arguments"));
        printCommands(out, options.json);
        return Ok;
    }
    if (command == QLatin1String("raw"))
        return raw(options, out, err);
    if (command == QLatin1String("run"))
        return runList(options, out, err);
    if (command == QLatin1String("params"))
        return params(options, out, err);
    if (command == QLatin1String("scan"))
        return scanBus(
            options,
            [&](transmission::Engine &engine) {
                const auto status = openFailure(engine, options, err);
                return status ? status : startLog(engine, options, err);
            },
            out, err);
    if (command == QLatin1String("trace"))
        return trace(options, out, err);
    return deviceCommand(options, out, err);
}

} // namespace cli
