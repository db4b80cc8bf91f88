// How long a bus scan takes against the physical minimum: per silent address, the request's and
// the reply's time on the line at that speed plus the turnaround allowance. The virtual device
// runs with --line-timing and three drives on the line (01 and 1F at 9600, 05 at 19200).
//
//   scan_time [SIM_PATH]     (default: the r7260-sim built beside it)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>

#include "automation/BusScan.h"
#include "serial/OpenCommPort.h"
#include "transmission/Engine.h"

using namespace automation;

namespace {

const QStringList kDrives{"01 9600", "1F 9600", "05 19200"};

struct Figures {
    double seconds = 0;
    QStringList found; // "01 9600"
    int damaged = 0;
    std::vector<double> perSpeed; // seconds spent at each speed
};

Figures scan(transmission::Engine &engine, const ScanPlan &plan) {
    BusScan busScan(engine);
    Figures figures;
    QElapsedTimer clock;
    const int perSpeed = probeCount(plan) / int(plan.speeds.size());
    QObject::connect(&busScan, &BusScan::found, [&](const ScanHit &hit) {
        if (hit.damaged)
            ++figures.damaged;
        else
            figures.found << QStringLiteral("%1 %2")
                                 .arg(hit.address, 2, 16, QLatin1Char('0'))
                                 .toUpper()
                                 .arg(hit.speed);
    });
    double lastSpeedEnd = 0;
    QObject::connect(&busScan, &BusScan::progress, [&](int probed, int, qint64) {
        if (probed % perSpeed == 0) {
            const double now = double(clock.nsecsElapsed()) / 1e9;
            figures.perSpeed.push_back(now - lastSpeedEnd);
            lastSpeedEnd = now;
        }
    });
    QObject::connect(&busScan, &BusScan::finished, [&] {
        figures.seconds = double(clock.nsecsElapsed()) / 1e9;
        QCoreApplication::quit();
    });
    clock.start();
    if (const auto fault = busScan.start(plan)) {
        std::fprintf(stderr, "not started: %s\n", qPrintable(faultText(*fault)));
        return figures;
    }
    QCoreApplication::exec();
    return figures;
}

void report(const char *what, const ScanPlan &plan, const Figures &figures) {
    const double minimum = silentMs(plan) / 1000;
    QStringList expected;
    for (const QString &drive : kDrives)
        if (std::find(plan.speeds.begin(), plan.speeds.end(), drive.section(u' ', 1).toInt()) !=
            plan.speeds.end())
            expected << drive;
    QStringList missing = expected, invented;
    for (const QString &drive : figures.found)
        if (!missing.removeOne(drive))
            invented << drive;
    std::printf("%s: %.2f s, physical minimum %.2f s (%+.1f %%)\n", what, figures.seconds, minimum,
                (figures.seconds / minimum - 1) * 100);
    if (plan.speeds.size() > 1)
        for (std::size_t i = 0; i < figures.perSpeed.size() && i < plan.speeds.size(); ++i) {
            const ScanPlan one{
                plan.first, plan.last, {plan.speeds[i]}, plan.framing, plan.turnaroundMs};
            const double least = silentMs(one) / 1000;
            std::printf("  at %6d baud: %.2f s, minimum %.2f s (%+.1f %%)\n", plan.speeds[i],
                        figures.perSpeed[i], least, (figures.perSpeed[i] / least - 1) * 100);
        }
    std::printf("  drives found: %s; every drive found: %s; invented: %s; damaged: %d\n",
                qPrintable(figures.found.join(QStringLiteral(", "))),
                missing.isEmpty() ? "yes"
                                  : qPrintable(QStringLiteral("no, missing ") +
                                               missing.join(QStringLiteral(", "))),
                invented.isEmpty() ? "none" : qPrintable(invented.join(QStringLiteral(", "))),
                figures.damaged);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QString simPath =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/r7260-sim");
    QProcess sim;
    sim.start(simPath, {"--address", "1,1F,5", "--baud", "9600,9600,19200", "--line-timing"});
    if (!sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "%s did not start\n", qPrintable(simPath));
        return 1;
    }
    const QString path = QString::fromLocal8Bit(sim.readLine()).trimmed().mid(4);
    transmission::Engine engine;
    QString settings = QStringLiteral("9600,n,8,1");
    if (serial::OpenCommPort(engine.port(), path, settings)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }

    ScanPlan at9600;
    at9600.speeds = {9600};
    report("01..FF at 9600 baud, 20 ms allowance (target 10 s)", at9600, scan(engine, at9600));
    const ScanPlan seven;
    report("01..FF at the seven default speeds, 20 ms allowance", seven, scan(engine, seven));
    sim.terminate();
    sim.waitForFinished(5000);
    return 0;
}
