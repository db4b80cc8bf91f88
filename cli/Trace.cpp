#include "cli/Trace.h"

#include <QBuffer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>

#include "automation/TraceExport.h"
#include "cli/Cli.h"
#include "cli/Options.h"
#include "cli/Report.h"
#include "transmission/Reply.h"

namespace cli {

namespace {

using namespace automation;

// Without --duration: a trace without trigger records this long, and an armed trigger waits
// this long for its move.
constexpr double kFreeSeconds = 10;
constexpr double kTriggerWaitSeconds = 60;
// The CSV file could not be written at the end (sysexits' EX_IOERR).
constexpr int kOutputError = 74;
const QLatin1String kProgram("r7260-cli");

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// A move can have ended only when the newest row shows the axis still (the trace is measured
// again only then).
bool stillRow(const TraceBuffer &rows) {
    if (rows.size() == 0)
        return false;
    const TraceRow &row = rows.last();
    return !row.gap && (row.group == Group::State || row.group == Group::Speed) &&
           (row.group == Group::State ? (row.value & 1) == 0 : row.value == 0);
}

// The measurements as lines of text.
void printMeasurements(QTextStream &out, const MoveMeasurements &m) {
    if (!m.started()) {
        out << "move: none seen\n";
        return;
    }
    if (m.peakSpeed)
        out << "peak speed: " << number(*m.peakSpeed, 0) << " pulses/s\n";
    if (m.timeToPeak)
        out << "time to peak: " << number(*m.timeToPeak, 3) << " s from "
            << number(*m.startSpeed, 0) << " pulses/s\n";
    if (m.acceleration)
        out << "acceleration: " << number(*m.acceleration, 0) << " pulses/s^2\n";
    out << "move time: "
        << (m.moveTime ? number(*m.moveTime, 3) + " s" : QStringLiteral("not ended")) << '\n';
    if (m.finalPosition) {
        out << "final position (" << groupKey(m.positionGroup) << "): " << *m.finalPosition;
        if (m.target)
            out << ", target " << *m.target << ", error " << *m.finalPosition - *m.target;
        out << '\n';
    }
}

} // namespace

int trace(const Options &options, QTextStream &out, QTextStream &err) {
    std::optional<device::Request> then;
    if (!options.then.isEmpty()) {
        const auto built = deviceRequest(options.then, options.words.mid(1), options, err);
        if (const int *status = std::get_if<int>(&built))
            return *status;
        then = std::get<device::Request>(built);
    } else if (options.words.size() > 1) {
        return usage(err, QStringLiteral("trace takes no arguments; --then COMMAND takes them"));
    }
    if (options.trigger == TriggerMode::Move && !then)
        return usage(err, QStringLiteral("--trigger move wants --then COMMAND: nothing else sends "
                                         "on this port (--trigger state waits for the device)"));
    Groups groups = options.channels;
    if (options.trigger == TriggerMode::State)
        groups |= bitOf(Group::State);

    transmission::Engine engine;
    if (const auto status = openFailure(engine, options, err))
        return *status;
    if (const auto status = startLog(engine, options, err))
        return *status;
    // A file that cannot be written is found before anything moves.
    if (QSaveFile probe(options.csv); !options.csv.isEmpty() && !probe.open(QIODevice::WriteOnly))
        return usage(err,
                     QStringLiteral("cannot write %1: %2").arg(options.csv, probe.errorString()));

    TraceSampler sampler(engine, [&options](device::FunctionCode code) {
        const auto built =
            device::buildRequest(device::command(code), options.address, {}, options.framing);
        const auto *request = std::get_if<device::Request>(&built);
        return request ? std::optional<device::Request>(*request) : std::nullopt;
    });
    TraceTrigger trigger(engine, sampler);
    const double pretrigger = options.pretriggerMs / 1000.0;
    trigger.arm(options.trigger, pretrigger);

    QEventLoop loop;
    QString portProblem;
    QObject::connect(&sampler, &TraceSampler::stopped, &loop, [&](const QString &reason) {
        portProblem = reason;
        loop.quit();
    });
    std::optional<transmission::Exchange> thenExchange;
    bool thenQueued = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const double now = sampler.now();
        if (then && !thenQueued && now >= pretrigger) {
            thenQueued = true;
            engine.exchange({then->frame, then->body, options.timeoutMs},
                            [&](const transmission::Exchange &e) { thenExchange = e; });
        }
        double end = options.durationSeconds                ? pretrigger + *options.durationSeconds
                     : options.trigger == TriggerMode::Free ? kFreeSeconds
                                                            : pretrigger + kTriggerWaitSeconds;
        if (const auto fired = trigger.time(); fired && options.trigger != TriggerMode::Free) {
            if (options.durationSeconds)
                end = *fired + *options.durationSeconds;
            else if (const auto m = stillRow(sampler.buffer())
                                        ? measureMove(sampler.buffer(), *fired, trigger.command())
                                        : MoveMeasurements{};
                     m.ended())
                end = *m.start + *m.moveTime + pretrigger;
            else
                end = now + 1;
        }
        // A refused command starts no move to wait for.
        if (now >= end || (thenExchange && statusOf(*thenExchange) != Ok))
            loop.quit();
    });
    if (!sampler.start(groups, options.rate))
        return usage(err,
                     QStringLiteral("no query can be built for address %1").arg(options.address));
    tick.start(5);
    loop.exec();
    sampler.stop();

    const double from = trigger.time() ? trigger.from() : 0;
    const double zero = trigger.zero();
    const TraceBuffer &rows = sampler.buffer();
    const MoveMeasurements m = measureMove(rows, zero, trigger.command());
    if (options.json) {
        for (qsizetype i = rows.lowerBound(from); i < rows.size(); ++i)
            out << QJsonDocument(rowJson(rows.at(i), zero)).toJson(QJsonDocument::Compact) << '\n';
        const QJsonObject last{{QStringLiteral("measurements"), measurementsJson(m, zero)}};
        out << QJsonDocument(last).toJson(QJsonDocument::Compact) << '\n';
    } else if (options.csv.isEmpty()) {
        QBuffer csv;
        csv.open(QIODevice::WriteOnly);
        writeCsv(csv, rows, groups, from, zero);
        out << QString::fromUtf8(csv.data());
        out.flush();
        printMeasurements(err, m);
    }
    if (!options.csv.isEmpty()) {
        if (const auto reason = saveCsv(options.csv, rows, groups, from, zero)) {
            err << kProgram << ": cannot write " << options.csv << ": " << *reason << '\n';
            return kOutputError;
        }
        if (!options.json)
            printMeasurements(out, m);
    }

    const QString port = portLabel(options.port, engine.portDevice());
    if (!portProblem.isEmpty()) {
        err << kProgram << ": the port " << port << " went away: " << portProblem << '\n';
        return PortError;
    }
    if (thenExchange && statusOf(*thenExchange) != Ok) {
        const auto &reply = thenExchange->reply;
        err << kProgram << ": " << options.then << ": "
            << (reply ? transmission::messageOf(*reply)
                      : QStringLiteral("no reply within %1 ms").arg(options.timeoutMs))
            << '\n';
        return statusOf(*thenExchange);
    }
    if (sampler.counts().samples == 0) {
        err << kProgram << ": " << port << ": no reply to any query\n";
        return NoReply;
    }
    return Ok;
}

} // namespace cli
