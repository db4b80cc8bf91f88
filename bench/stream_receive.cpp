// Receive benchmark: a device floods the running tool (its real window) through a
// pseudo-terminal at a fixed byte rate. The device writes without blocking, as a UART does: what
// the pseudo-terminal cannot take because the tool did not read in time is lost, and counted.
// Prints the bytes sent, lost and handed to the reply reader (sent - lost must equal handed),
// the tool's CPU seconds per second of stream and its peak memory.
//
//   stream_receive [--busy] [--memory] SECONDS RATE...
//     --busy     block the window's thread for 100 ms once a second, as a slow paint would
//     --memory   print the resident memory every 10 s
//
// Under a display (xvfb-run) the window is painted for real; without one it runs offscreen.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

#include "app/FrmMain.h"
#include "bench/BenchPty.h"
#include "codec/Framing.h"

namespace {

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMiB() {
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Replies of the kinds a device sends: values, positions, states, inputs, short replies.
QByteArray replyPattern() {
    QByteArray out;
    for (const char *body : {"01260400002710", "013704FFFFFFFE", "013B0401000101",
                             "0142050101000101", "012000", "013604000186A0"})
        out += codec::rtuFrame(QByteArray::fromHex(body));
    out += QByteArray::fromHex("013C");
    return out;
}

struct Result {
    qint64 sent = 0;
    qint64 lost = 0;
    qint64 handed = 0;
    double toolCpuPerSecond = 0;
};

struct Options {
    bool busy = false;
    bool memory = false;
    int seconds = 20;
    QList<int> rates;
};

Result streamAt(FrmMain &window, int master, int rate, const Options &options) {
    qint64 handed = 0;
    const auto connection = QObject::connect(&window, &FrmMain::replyHandled,
                                             [&handed](int count) { handed += count; });
    std::atomic<bool> done = false;
    std::atomic<qint64> sent = 0, lost = 0;
    std::atomic<double> writerCpu = 0;
    std::thread writer([&] {
        // The device is hardware: its bytes come at the line's pace whatever else the machine
        // does. Where allowed, the writer runs ahead of ordinary threads so that it does not
        // fall behind and then deliver a burst no real line would.
        const sched_param aheadOfOrdinaryThreads{2};
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &aheadOfOrdinaryThreads);
        const QByteArray pattern = replyPattern();
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::seconds(options.seconds);
        qsizetype offset = 0;
        qint64 due = 0;
        for (auto next = start; next < end; next += std::chrono::milliseconds(1)) {
            std::this_thread::sleep_until(next);
            const double elapsed = std::chrono::duration<double>(next - start).count() + 0.001;
            due = qint64(elapsed * rate) - sent - lost;
            while (due > 0) {
                const qsizetype n = qMin<qsizetype>(due, pattern.size() - offset);
                const ssize_t written = ::write(master, pattern.constData() + offset, size_t(n));
                const qsizetype taken = written > 0 ? written : 0;
                // What the line could not take this millisecond is gone, as on a real UART.
                if (taken < n)
                    lost += n - taken;
                sent += taken;
                offset = (offset + n) % pattern.size();
                due -= n;
                if (taken < n)
                    break;
            }
        }
        writerCpu = cpuSeconds(RUSAGE_THREAD);
        done = true;
    });

    QTimer busy;
    QObject::connect(&busy, &QTimer::timeout, [] { QThread::msleep(100); });
    if (options.busy)
        busy.start(1000);
    QTimer memory;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&memory, &QTimer::timeout, [&clock] {
        std::printf("  %5.0f s  resident %.1f MiB\n", clock.elapsed() / 1000.0, residentMiB());
        std::fflush(stdout);
    });
    if (options.memory)
        memory.start(10000);

    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    // The tool's own event loop, as in the application, until the stream ended and the last poll
    // took what was still waiting (or 3 s more went by).
    QEventLoop loop;
    QTimer watch;
    QElapsedTimer settle;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!done)
            return;
        if (!settle.isValid())
            settle.start();
        if (handed >= sent || settle.elapsed() >= 3000)
            loop.quit();
    });
    watch.start(20);
    loop.exec();
    writer.join();
    busy.stop();
    memory.stop();
    const double toolCpu = cpuSeconds(RUSAGE_SELF) - cpuBefore - writerCpu;
    QObject::disconnect(connection);
    return {sent, lost, handed, toolCpu / options.seconds};
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    QList<int> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--busy") == 0)
            options.busy = true;
        else if (std::strcmp(argv[i], "--memory") == 0)
            options.memory = true;
        else
            numbers << atoi(argv[i]);
    }
    if (!numbers.isEmpty())
        options.seconds = std::max(1, numbers.takeFirst());
    options.rates = numbers;
    if (options.rates.isEmpty())
        options.rates = {115200, 1000000};

    const int master = openPtyWiredToCom1();
    if (master < 0)
        return 1;
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    FrmMain window;
    window.show();
    if (!openToolPort(window))
        return 1;

    std::printf("%s, %d s per rate%s\n", qPrintable(QGuiApplication::platformName()),
                options.seconds, options.busy ? ", window blocked 100 ms every second" : "");
    bool allHanded = true;
    for (const int rate : options.rates) {
        const Result r = streamAt(window, master, rate, options);
        allHanded = allHanded && r.sent == r.handed;
        std::printf("%8d B/s  offered %9lld  lost %7lld (%.3f %%)  handed %9lld %s  CPU %.3f s/s\n",
                    rate, static_cast<long long>(r.sent + r.lost), static_cast<long long>(r.lost),
                    100.0 * double(r.lost) / double(std::max<qint64>(1, r.sent + r.lost)),
                    static_cast<long long>(r.handed), r.sent == r.handed ? "all" : "MISSING",
                    r.toolCpuPerSecond);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);
    ::close(master);
    return allHanded ? 0 : 1;
}
