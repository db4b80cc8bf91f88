#pragma once
// The bus scan: which drives are on the line, at which address, line speed and framing. Every
// address of the range is asked for a handshake at each line speed in turn and given the frames'
// time on the line plus a turnaround allowance to answer, so a silent address costs milliseconds.
// A reply means a drive, a failure reply too; a damaged answer is asked again once, and when it
// comes damaged again the address is listed as damaged (two drives answering at once, or a drive
// at another speed), never as a drive. A drive found has its parameters read.
//
// The speeds are tried on the open port, which gets its own settings back when the scan ends,
// whichever way it ends. The scan's exchanges are background traffic: recorded, not shown.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "codec/Framing.h"
#include "device/Protocol.h"

namespace transmission {
class Engine;
struct Exchange;
} // namespace transmission

namespace automation {

// The device's line speeds, commonest first.
std::vector<qint32> defaultScanSpeeds();
// Those, then the other speeds the port offers.
std::vector<qint32> allScanSpeeds();

enum class ScanFraming {
    Rtu,
    Ascii,
    Both, // ASCII where RTU found nothing
};

struct ScanPlan {
    int first = 1;
    int last = 0xFF;
    std::vector<qint32> speeds = defaultScanSpeeds();
    ScanFraming framing = ScanFraming::Rtu;
    int turnaroundMs = 20;
};

// Why a scan was not started; nothing was sent.
enum class PlanFault {
    Range,      // not within 1..FF, or the first address above the last
    NoSpeed,    // no line speed to try
    Speed,      // a speed the port does not offer, or one given twice
    Turnaround, // outside 0..kMaxTurnaroundMs
    PortClosed,
    Running, // a scan is under way
};
constexpr int kMaxTurnaroundMs = 1000;

std::optional<PlanFault> checkPlan(const ScanPlan &plan);
// In the reader's language.
QString faultText(PlanFault fault);
// Why a damaged answer is no drive, in the reader's language.
QString damagedText();

// What is read from a drive found, in this order.
struct ScanParameter {
    device::FunctionCode query;
    const char *key;   // for the command line: "start-speed"
    const char *title; // source text (context "automation")
};
constexpr std::size_t kScanParameters = 7;
std::span<const ScanParameter, kScanParameters> scanParameters();

struct ScanHit {
    quint8 address = 0;
    qint32 speed = 0;
    codec::Framing framing = codec::Framing::Rtu;
    bool damaged = false;        // no drive: the answer came damaged twice
    qint64 ms = 0;               // the handshake's, from the request to the reply
    std::optional<quint8> error; // answered with a failure reply: a drive that refused
    std::array<std::optional<qint64>, kScanParameters> parameters{}; // none: not read
};

enum class ScanEnd { Done, Cancelled, PortProblem };

// The probes a plan asks for, and the least time they take when no address answers: each
// request's and reply's time on the line at its speed and the turnaround allowance.
int probeCount(const ScanPlan &plan);
double silentMs(const ScanPlan &plan);

class BusScan : public QObject {
    Q_OBJECT

public:
    explicit BusScan(transmission::Engine &engine, QObject *parent = nullptr);
    ~BusScan() override; // the port's settings back when it was still scanning

    // Starts on the engine's open port; the fault when it does not start.
    std::optional<PlanFault> start(const ScanPlan &plan);
    // Ends the scan once the probe on the line is answered or timed out.
    void cancel();
    bool running() const { return m_running; }
    const std::vector<ScanHit> &hits() const { return m_hits; }

signals:
    void progress(int probed, int total, qint64 msLeft);
    void found(const automation::ScanHit &hit);
    // The port has its own settings again. problem: why it stopped early (PortProblem).
    void finished(automation::ScanEnd end, const QString &problem);

private:
    void enterSpeed();
    void ask();
    void answered(const transmission::Exchange &exchange);
    void nextAddress();
    void probed(codec::Framing framing);
    void keepHit();
    void finish(ScanEnd end, QString problem = {});
    void restorePort();

    QPointer<transmission::Engine> m_engine;
    ScanPlan m_plan;
    QString m_settings; // the port's own
    bool m_running = false;
    bool m_cancelled = false;
    std::size_t m_speed = 0;
    int m_address = 0;
    codec::Framing m_framing = codec::Framing::Rtu;
    int m_parameter = -1; // the handshake; otherwise the parameter being read
    bool m_retried = false;
    ScanHit m_hit;
    std::vector<ScanHit> m_hits;
    int m_probed = 0;
    double m_silentDoneMs = 0; // what the probes done would take silent
    double m_silentTotalMs = 0;
    QElapsedTimer m_clock;
};

} // namespace automation
