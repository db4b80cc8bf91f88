// The scope's figures: samples a second against the line's physical limit at 9,600 and 38,400
// baud (one, two and four channels) against `r7260-sim --line-timing`; the window's CPU while it
// draws one channel at the top rate; the memory an hour of history takes.
//
//   build/bench/scope_rate [path/to/r7260-sim]

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

#include "app/FrmMain.h"
#include "app/ScopePanel.h"
#include "automation/TraceSampler.h"
#include "serial/OpenCommPort.h"

using namespace automation;

// Runs the event loop for a while (QTest::qWait would sleep 10 ms between its looks).
static void wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

namespace {

constexpr int kRequestBytes = 5;    // address, code, count, CRC
constexpr double kTurnaroundMs = 2; // the virtual device's with --line-timing

// One exchange on the line: request and reply bytes at 10 bits each, the turnaround, the RTU
// silence before the next request.
double exchangeMs(int baud, int replyBytes) {
    const double silenceMs = baud > 19200 ? 1.75 : 35000.0 / baud;
    return (kRequestBytes + replyBytes) * 10000.0 / baud + kTurnaroundMs + silenceMs;
}

int replyBytes(Group group) {
    return group == Group::Inputs ? 10 : 9;
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toDouble() * 4096 / (1 << 20);
}

struct Sim {
    QProcess process;
    QString path;
    Sim(const QString &program, int baud) {
        process.start(program, {"--line-timing", "--baud", QString::number(baud)});
        process.waitForReadyRead(10000);
        path = QString::fromLocal8Bit(process.readLine()).trimmed().mid(4); // "PTY <path>"
    }
    ~Sim() {
        process.terminate();
        process.waitForFinished(5000);
    }
};

void rates(const QString &sim, int baud) {
    Sim device(sim, baud);
    transmission::Engine engine;
    QString settings = QStringLiteral("%1,n,8,1").arg(baud);
    if (serial::OpenCommPort(engine.port(), device.path, settings)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(device.path));
        return;
    }
    TraceSampler sampler(engine, [](device::FunctionCode code) {
        const auto built =
            device::buildRequest(device::command(code), u"1", {}, codec::Framing::Rtu);
        return std::optional<device::Request>(std::get<device::Request>(built));
    });
    const std::pair<const char *, Groups> sets[] = {
        {"speed", bitOf(Group::Speed)},
        {"speed+state", bitOf(Group::Speed) | bitOf(Group::State)},
        {"abs+rel+speed+state", bitOf(Group::Absolute) | bitOf(Group::Relative) |
                                    bitOf(Group::Speed) | bitOf(Group::State)},
    };
    for (const auto &[name, groups] : sets) {
        double roundMs = 0;
        int channels = 0;
        for (int g = 0; g < kGroupCount; ++g)
            if (has(groups, Group(g))) {
                roundMs += exchangeMs(baud, replyBytes(Group(g)));
                ++channels;
            }
        sampler.start(groups, 0);
        wait(500); // settled
        const qint64 before = sampler.counts().samples;
        QElapsedTimer clock;
        clock.start();
        wait(5000);
        const double seconds = clock.nsecsElapsed() / 1e9;
        const double samples = (sampler.counts().samples - before) / seconds;
        sampler.stop();
        wait(100);
        const double limit = channels * 1000 / roundMs;
        std::printf("%6d baud  %-20s %6.1f samples/s (%5.1f rounds/s)  limit %6.1f  = %5.1f %%"
                    "  timeouts %lld\n",
                    baud, name, samples, samples / channels, limit, 100 * samples / limit,
                    sampler.counts().timeouts);
    }
}

// The window drawing one channel at 38,400 baud, against the same window idle with its port open.
void windowCpu(const QString &sim) {
    Sim device(sim, 38400);
    qputenv("R7260_COM1", device.path.toLocal8Bit());
    FrmMain window;
    window.resize(1366, 680);
    window.show();
    window.findChild<QComboBox *>("Combo2")->setCurrentText(QStringLiteral("38400"));
    window.findChild<QPushButton *>("Command32")->click();
    auto *scope = window.findChild<ScopePanel *>("ScopePanel");
    window.findChild<QTabWidget *>("SSTab1")->setCurrentWidget(scope);
    window.findChild<QCheckBox *>("ScopeState")->setChecked(false);
    const auto measure = [](int ms) {
        const double cpu = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        wait(ms);
        return 100 * (cpuSeconds() - cpu) / (clock.nsecsElapsed() / 1e9);
    };
    wait(500);
    const double idle = measure(5000);
    window.findChild<QPushButton *>("ScopeStart")->click();
    wait(500);
    const qint64 before = scope->sampler().counts().samples;
    // How long the window keeps an event waiting while it draws: a 10 ms tick's worst lateness.
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 worstLateMs = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worstLateMs = std::max(worstLateMs, sinceTick.restart() - 10);
    });
    tick.start(10);
    const double drawing = measure(10000);
    tick.stop();
    std::printf("window CPU: idle %.1f %% of a core, drawing speed at 38,400 baud %.1f %% "
                "(%.1f samples/s); an event waited at most %lld ms meanwhile\n",
                idle, drawing, (scope->sampler().counts().samples - before) / 10.0,
                static_cast<long long>(worstLateMs));
}

// An hour of one channel at 135 samples a second in the ring, and one draw of all of it.
void hourOfHistory() {
    const double before = residentMb();
    TraceBuffer buffer;
    const int rows = 135 * 3600;
    for (int i = 0; i < rows; ++i)
        buffer.append({i / 135.0, i % 10000, Group::Speed, false});
    const double after = residentMb();
    QElapsedTimer clock;
    clock.start();
    const auto drawn = decimate(buffer, 0, 3600, 1000, 0);
    std::printf("one hour: %d rows, %.1f MB resident more (%.1f MB held), the whole hour reduced "
                "to %lld points for 1000 columns in %.1f ms\n",
                rows, after - before, buffer.bytes() / 1048576.0,
                qint64(drawn[int(Channel::Speed)].keys.size()), clock.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QString sim =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/r7260-sim");
    std::printf("limit per exchange: 9,600 baud %.1f ms, 38,400 baud %.1f ms\n",
                exchangeMs(9600, 9), exchangeMs(38400, 9));
    for (const int baud : {9600, 38400})
        rates(sim, baud);
    windowCpu(sim);
    hourOfHistory();
    return 0;
}
