// Receive benchmark: the far side of a pseudo-terminal streams reply-like frames into the
// running tool (its real window, offscreen) at a fixed byte rate. Prints the bytes the tool
// handed to its reply interpreter against the bytes sent (they must be equal), the tool's CPU
// seconds per second of stream, and the process's peak memory.
//
//   stream_receive [seconds per rate, default 20] [rate B/s ...; default 11520 100000]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
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
    qint64 counted = 0;
    double toolCpuPerSecond = 0;
};

Result streamAt(FrmMain &window, int master, int rate, int seconds) {
    qint64 counted = 0;
    const auto connection = QObject::connect(&window, &FrmMain::replyHandled,
                                             [&counted](int count) { counted += count; });
    std::atomic<bool> done = false;
    std::atomic<qint64> sent = 0;
    std::atomic<double> writerCpu = 0;
    std::thread writer([&] {
        const QByteArray pattern = replyPattern();
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::seconds(seconds);
        qsizetype offset = 0;
        for (auto next = start; next < end; next += std::chrono::milliseconds(10)) {
            std::this_thread::sleep_until(next);
            const double elapsed = std::chrono::duration<double>(next - start).count() + 0.01;
            qint64 due = qint64(elapsed * rate) - sent;
            while (due > 0) {
                const qsizetype n = qMin<qsizetype>(due, pattern.size() - offset);
                const ssize_t written = ::write(master, pattern.constData() + offset, size_t(n));
                if (written <= 0)
                    break;
                offset = (offset + written) % pattern.size();
                sent += written;
                due -= written;
            }
        }
        writerCpu = cpuSeconds(RUSAGE_THREAD);
        done = true;
    });

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
        if (counted >= sent || settle.elapsed() >= 3000)
            loop.quit();
    });
    watch.start(20);
    loop.exec();
    writer.join();
    const double toolCpu = cpuSeconds(RUSAGE_SELF) - cpuBefore - writerCpu;
    QObject::disconnect(connection);
    return {sent, counted, toolCpu / seconds};
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QList<int> rates;
    for (int i = 2; i < argc; ++i)
        rates << atoi(argv[i]);
    if (rates.isEmpty())
        rates = {11520, 100000};

    const int master = openPtyWiredToCom1();
    if (master < 0)
        return 1;

    FrmMain window;
    window.show();
    if (!openToolPort(window))
        return 1;

    std::printf("%10s %12s %12s %6s %14s\n", "rate B/s", "sent", "counted", "equal", "CPU s per s");
    bool allEqual = true;
    for (const int rate : rates) {
        const Result r = streamAt(window, master, rate, seconds);
        allEqual = allEqual && r.sent == r.counted;
        std::printf("%10d %12lld %12lld %6s %14.3f\n", rate, static_cast<long long>(r.sent),
                    static_cast<long long>(r.counted), r.sent == r.counted ? "yes" : "NO",
                    r.toolCpuPerSecond);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);
    ::close(master);
    return allEqual ? 0 : 1;
}
