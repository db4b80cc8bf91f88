// Runner timing benchmark: the real window (offscreen) plays a command list of 100 frames, each
// followed by a Delay:50 line, to a pseudo-terminal. A separate thread reads the far side with
// blocking reads and steady_clock timestamps, so measuring does not disturb the tool's event
// loop. Prints the gap between consecutive frames against the nominal 50 ms: the median of the
// signed error, and the median and the 99th percentile of its size.
//
// For scale it first prints the same figures for a bare precise QTimer restarted every 50 ms in
// an idle event loop: what this machine's scheduler allows at best.
//
//   runner_timing [rounds through the list, default 5] [--hidden: do not show the window]

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/FrmMain.h"
#include "app/Prompts.h"
#include "bench/BenchPty.h"
#include "codec/HexText.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFrames = 100;
constexpr int kNominalMs = 50;
constexpr qsizetype kFrameSize = 3;

// Frame i of the list: 5A, i, A5.
QByteArray frameOf(int i) {
    QByteArray frame = QByteArray::fromHex("5A00A5");
    frame[1] = char(i);
    return frame;
}

// No one answers dialogs here: say what the tool would have shown.
class PrintedPrompts : public Prompts {
public:
    void message(const QString &title, const QString &text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    bool askYesNo(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }
    QString folderName(const QString &) override { return {}; }
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

struct GapStats {
    double median, medianSize, p99, maxSize;
};

// Gap errors against the nominal gap, from consecutive event times.
GapStats gapStats(const std::vector<Clock::time_point> &times) {
    std::vector<double> errors, sizes;
    for (size_t i = 1; i < times.size(); ++i) {
        const double gap =
            std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count();
        errors.push_back(gap - kNominalMs);
        sizes.push_back(std::abs(gap - kNominalMs));
    }
    return {percentile(errors, 0.5), percentile(sizes, 0.5), percentile(sizes, 0.99),
            *std::max_element(sizes.begin(), sizes.end())};
}

void print(const char *what, size_t gaps, const GapStats &s) {
    std::printf("%-30s gaps %4zu  median %+7.3f ms  median |err| %6.3f ms  p99 |err| %7.3f ms  "
                "max |err| %7.3f ms\n",
                what, gaps, s.median, s.medianSize, s.p99, s.maxSize);
}

// A precise QTimer restarted on every tick, nothing else running.
std::vector<Clock::time_point> bareTimerTicks(int gaps) {
    std::vector<Clock::time_point> ticks;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ticks.push_back(Clock::now());
        if (int(ticks.size()) > gaps)
            loop.quit();
        else
            timer.start(kNominalMs);
    });
    timer.start(kNominalMs);
    loop.exec();
    return ticks;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rounds = 5;
    bool hidden = false;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--hidden")
            hidden = true;
        else
            rounds = std::max(1, atoi(argv[i]));
    }
    const qsizetype expectedFrames = qsizetype(rounds) * kFrames;

    const auto bare = bareTimerTicks(kFrames);
    print("bare QTimer, idle loop:", bare.size() - 1, gapStats(bare));

    const int master = openPtyWiredToCom1();
    if (master < 0)
        return 1;

    FrmMain window;
    window.setPrompts(std::make_unique<PrintedPrompts>());
    if (!hidden)
        window.show();
    if (!openToolPort(window))
        return 1;
    auto *list = window.findChild<QListWidget *>("List1");
    for (int i = 0; i < kFrames; ++i) {
        list->addItem(codec::FormatHexText(frameOf(i)));
        list->addItem(QStringLiteral("Delay:%1").arg(kNominalMs));
    }
    window.findChild<QLineEdit *>("Text22")->setText(QString::number(kNominalMs));

    struct Arrival {
        Clock::time_point at;
        QByteArray bytes;
    };
    std::atomic<bool> stop = false;
    std::atomic<qsizetype> received = 0;
    std::vector<Arrival> arrivals;
    std::thread reader([&] {
        char buffer[4096];
        pollfd watch{master, POLLIN, 0};
        while (!stop) {
            if (::poll(&watch, 1, 100) <= 0)
                continue;
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            arrivals.push_back({Clock::now(), QByteArray(buffer, n)});
            received += n;
        }
    });

    // The tool's own event loop, as in the application: QTest::qWait would sleep in 10 ms steps
    // between passes and make every timer late by up to that much.
    auto *check = window.findChild<QCheckBox *>("Check1");
    QEventLoop loop;
    QTimer watch;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(expectedFrames * kNominalMs * 3 + 5000);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (received >= expectedFrames * kFrameSize || Clock::now() >= deadline)
            loop.quit();
    });
    watch.start(100);
    check->setChecked(true);
    loop.exec();
    check->setChecked(false);
    stop = true;
    reader.join();
    ::close(master);

    // Each frame is timed by the read that completed it; the frames must follow the list.
    std::vector<Clock::time_point> times;
    QByteArray pending;
    for (const Arrival &a : arrivals) {
        pending += a.bytes;
        while (pending.size() >= kFrameSize) {
            if (pending.first(kFrameSize) != frameOf(int(times.size() % kFrames))) {
                std::fprintf(stderr, "frame %zu out of order\n", times.size());
                return 1;
            }
            pending.remove(0, kFrameSize);
            times.push_back(a.at);
        }
    }
    if (qsizetype(times.size()) < expectedFrames) {
        std::fprintf(stderr, "only %zu of %lld frames arrived\n", times.size(),
                     static_cast<long long>(expectedFrames));
        return 1;
    }

    const GapStats tool = gapStats(times);
    print(hidden ? "runner, window hidden:" : "runner, window shown:", times.size() - 1, tool);
    std::printf("target (median within 2 ms, 99th percentile within 10 ms): %s\n",
                std::abs(tool.median) <= 2 && tool.p99 <= 10 ? "met" : "NOT met");
    return 0;
}
