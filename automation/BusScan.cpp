#include "automation/BusScan.h"

#include <QCoreApplication>
#include <algorithm>

#include "device/RequestBuilder.h"
#include "serial/MSComm.h"
#include "transmission/Engine.h"

namespace automation {

namespace {

using device::FunctionCode;

// Every speed the port offers, commonest on a drive's line first.
constexpr qint32 kCommonestFirst[] = {9600,   19200, 38400,  57600, 4800, 2400, 14400,
                                      115200, 56000, 128000, 1200,  600,  300};

// clang-format off
constexpr std::array<ScanParameter, kScanParameters> kParameters{{
    {FunctionCode::GetStartSpeed, "start-speed", QT_TRANSLATE_NOOP("automation", "初速度")},
    {FunctionCode::GetMaxSpeed, "max-speed", QT_TRANSLATE_NOOP("automation", "最大速度")},
    {FunctionCode::GetEndSpeed, "end-speed", QT_TRANSLATE_NOOP("automation", "末速度")},
    {FunctionCode::GetAcceleration, "acceleration", QT_TRANSLATE_NOOP("automation", "加速度")},
    {FunctionCode::GetDeceleration, "deceleration", QT_TRANSLATE_NOOP("automation", "减速度")},
    {FunctionCode::GetHomingSpeed, "homing-speed", QT_TRANSLATE_NOOP("automation", "归零速度")},
    {FunctionCode::GetBaudRate, "baud-code", QT_TRANSLATE_NOOP("automation", "波特率代码")},
}};
// clang-format on

QString translated(const char *source) {
    return QCoreApplication::translate("automation", source);
}

std::optional<device::Request> requestFor(FunctionCode code, int address, codec::Framing framing) {
    const device::BuildResult built =
        device::buildRequest(device::command(code), QString::number(address, 16), {}, framing);
    if (const auto *request = std::get_if<device::Request>(&built))
        return *request;
    return std::nullopt;
}

// The longest reply to the code on the wire: an ASCII reply is ":", two characters a byte, the
// LRC in place of the CRC's two bytes, CR LF.
qsizetype replyBytes(FunctionCode code, codec::Framing framing) {
    const qsizetype rtu = device::longestReply(quint8(code));
    return framing == codec::Framing::Ascii ? 2 * rtu + 1 : rtu;
}

// A silent address's probe: its request and reply on the line (10 bits a byte, as the engine
// counts) and the allowance, in ms.
double silentProbeMs(qint32 speed, codec::Framing framing, int turnaroundMs) {
    const auto request = requestFor(FunctionCode::Handshake, 1, framing);
    const qsizetype bytes =
        (request ? request->frame.size() : 0) + replyBytes(FunctionCode::Handshake, framing);
    return double(bytes) * 10 * 1000 / speed + turnaroundMs;
}

std::vector<codec::Framing> framingsOf(ScanFraming framing) {
    using codec::Framing;
    switch (framing) {
    case ScanFraming::Rtu:
        return {Framing::Rtu};
    case ScanFraming::Ascii:
        return {Framing::Ascii};
    case ScanFraming::Both:
        break;
    }
    return {Framing::Rtu, Framing::Ascii};
}

// The settings with another line speed: "9600,n,8,1" at 19200 is "19200,n,8,1".
QString withSpeed(const QString &settings, qint32 speed) {
    QStringList fields = settings.split(u',');
    fields[0] = QString::number(speed);
    return fields.join(u',');
}

} // namespace

std::vector<qint32> defaultScanSpeeds() {
    std::vector<qint32> speeds;
    const auto rates = device::baudRates();
    for (const qint32 speed : kCommonestFirst)
        if (std::any_of(rates.begin(), rates.end(), [speed](const device::BaudRate &rate) {
                return QLatin1String(rate.text) == QString::number(speed);
            }))
            speeds.push_back(speed);
    return speeds;
}

std::vector<qint32> allScanSpeeds() {
    return {std::begin(kCommonestFirst), std::end(kCommonestFirst)};
}

std::optional<PlanFault> checkPlan(const ScanPlan &plan) {
    if (plan.first < 1 || plan.last > 0xFF || plan.first > plan.last)
        return PlanFault::Range;
    if (plan.speeds.empty())
        return PlanFault::NoSpeed;
    const std::vector<qint32> offered = allScanSpeeds();
    for (auto it = plan.speeds.begin(); it != plan.speeds.end(); ++it)
        if (std::find(offered.begin(), offered.end(), *it) == offered.end() ||
            std::find(plan.speeds.begin(), it, *it) != it)
            return PlanFault::Speed;
    if (plan.turnaroundMs < 0 || plan.turnaroundMs > kMaxTurnaroundMs)
        return PlanFault::Turnaround;
    return std::nullopt;
}

QString faultText(PlanFault fault) {
    switch (fault) {
    case PlanFault::Range:
        return translated(QT_TRANSLATE_NOOP(
            "automation", "地址范围无效：起止地址须在 1 到 FF 之间，且起始地址不大于结束地址"));
    case PlanFault::NoSpeed:
        return translated(QT_TRANSLATE_NOOP("automation", "没有选择要扫描的波特率"));
    case PlanFault::Speed:
        return translated(
            QT_TRANSLATE_NOOP("automation", "波特率无效：只能选串口提供的波特率，每个只能选一次"));
    case PlanFault::Turnaround:
        return translated(QT_TRANSLATE_NOOP("automation", "应答余量须在 0 到 %1 ms 之间"))
            .arg(kMaxTurnaroundMs);
    case PlanFault::PortClosed:
        return translated(QT_TRANSLATE_NOOP("automation", "串口未打开，扫描未开始"));
    case PlanFault::Running:
        break;
    }
    return translated(QT_TRANSLATE_NOOP("automation", "扫描正在进行"));
}

QString damagedText() {
    return translated(
        QT_TRANSLATE_NOOP("automation", "回复损坏：同一地址上有两台驱动器，或波特率不对？"));
}

std::span<const ScanParameter, kScanParameters> scanParameters() {
    return kParameters;
}

int probeCount(const ScanPlan &plan) {
    return (plan.last - plan.first + 1) * int(plan.speeds.size()) *
           int(framingsOf(plan.framing).size());
}

double silentMs(const ScanPlan &plan) {
    double ms = 0;
    for (const qint32 speed : plan.speeds)
        for (const codec::Framing framing : framingsOf(plan.framing))
            ms += silentProbeMs(speed, framing, plan.turnaroundMs);
    return ms * (plan.last - plan.first + 1);
}

// ---- The scan ------------------------------------------------------------------------------

BusScan::BusScan(transmission::Engine &engine, QObject *parent)
    : QObject(parent), m_engine(&engine) {}

BusScan::~BusScan() {
    if (m_running)
        restorePort();
}

std::optional<PlanFault> BusScan::start(const ScanPlan &plan) {
    if (m_running)
        return PlanFault::Running;
    if (const auto fault = checkPlan(plan))
        return fault;
    if (!m_engine || !m_engine->port().PortOpen())
        return PlanFault::PortClosed;
    m_plan = plan;
    m_settings = m_engine->port().Settings();
    m_running = true;
    m_cancelled = false;
    m_speed = 0;
    m_address = plan.first;
    m_framing = framingsOf(plan.framing).front();
    m_parameter = -1;
    m_retried = false;
    m_hits.clear();
    m_probed = 0;
    m_silentDoneMs = 0;
    m_silentTotalMs = silentMs(plan);
    m_clock.start();
    // Told from the event loop, as everything after.
    QMetaObject::invokeMethod(this, &BusScan::enterSpeed, Qt::QueuedConnection);
    return std::nullopt;
}

void BusScan::cancel() {
    m_cancelled = m_running;
}

void BusScan::enterSpeed() {
    if (m_cancelled || !m_engine)
        return finish(m_engine ? ScanEnd::Cancelled : ScanEnd::PortProblem);
    serial::MSComm &port = m_engine->port();
    const qint32 speed = m_plan.speeds[m_speed];
    if (!port.PortOpen())
        return finish(ScanEnd::PortProblem,
                      translated(QT_TRANSLATE_NOOP("automation", "串口已关闭")));
    if (!port.changeSettings(withSpeed(m_settings, speed)))
        return finish(
            ScanEnd::PortProblem,
            translated(QT_TRANSLATE_NOOP("automation", "串口不能以 %1 波特通讯")).arg(speed));
    // Bytes half read at the last speed would only garble the first reply at this one.
    if (!m_engine->exchanging())
        m_engine->clearReceived();
    ask();
}

void BusScan::ask() {
    if (m_cancelled) {
        if (m_parameter >= 0)
            keepHit(); // found, with the parameters read so far
        return finish(ScanEnd::Cancelled);
    }
    if (!m_engine)
        return finish(ScanEnd::PortProblem);
    const FunctionCode code =
        m_parameter < 0 ? FunctionCode::Handshake : kParameters[std::size_t(m_parameter)].query;
    const auto request = requestFor(code, m_address, m_framing);
    if (!request)
        return finish(ScanEnd::PortProblem);
    // The frames' time on the line and the allowance: a silent address costs no more.
    const qint64 lineUs = m_engine->lineTimeUs(request->frame.size() + replyBytes(code, m_framing));
    const int timeoutMs =
        int((lineUs + 999) / 1000) + m_plan.turnaroundMs + m_engine->port().extraLatencyMs();
    m_engine->exchange({request->frame, request->body, qMax(1, timeoutMs), true},
                       [self = QPointer<BusScan>(this)](const transmission::Exchange &exchange) {
                           if (self)
                               self->answered(exchange);
                       });
}

void BusScan::answered(const transmission::Exchange &exchange) {
    if (!exchange.portProblem.isEmpty()) {
        if (m_parameter >= 0)
            keepHit();
        return finish(ScanEnd::PortProblem, exchange.portProblem);
    }
    using Status = transmission::Reply::Status;
    const auto &reply = exchange.reply;
    const bool good = reply && (reply->status == Status::Good || reply->status == Status::Failure);
    // Bytes that came but made no reply to the probe: colliding replies, or a wrong speed.
    const bool damaged = !good && (reply || !exchange.received.isEmpty());
    if (damaged && !m_retried) {
        m_retried = true;
        return ask();
    }
    m_retried = false;

    if (m_parameter < 0) {
        if (good || damaged) {
            m_hit = ScanHit{.address = quint8(m_address),
                            .speed = m_plan.speeds[m_speed],
                            .framing = m_framing,
                            .damaged = damaged,
                            .ms = exchange.ms,
                            .error = good ? reply->error : std::nullopt};
            if (good) {
                m_parameter = 0;
                return ask();
            }
            keepHit();
        } else if (m_plan.framing == ScanFraming::Both && m_framing == codec::Framing::Rtu) {
            probed(m_framing);
            m_framing = codec::Framing::Ascii;
            return ask();
        }
        return nextAddress();
    }
    if (good && reply->status == Status::Good && reply->value)
        m_hit.parameters[std::size_t(m_parameter)] = *reply->value;
    if (++m_parameter < int(kScanParameters))
        return ask();
    keepHit();
    nextAddress();
}

void BusScan::keepHit() {
    m_parameter = -1;
    m_hits.push_back(m_hit);
    emit found(m_hit);
}

void BusScan::probed(codec::Framing framing) {
    ++m_probed;
    m_silentDoneMs += silentProbeMs(m_plan.speeds[m_speed], framing, m_plan.turnaroundMs);
    // The rest at the pace so far.
    const double pace = m_silentDoneMs > 0 ? double(m_clock.elapsed()) / m_silentDoneMs : 1.0;
    emit progress(m_probed, probeCount(m_plan),
                  qint64((m_silentTotalMs - m_silentDoneMs) * pace + 0.5));
}

void BusScan::nextAddress() {
    probed(m_framing);
    // An address that answered in RTU is not asked again in ASCII.
    if (m_plan.framing == ScanFraming::Both && m_framing == codec::Framing::Rtu)
        probed(codec::Framing::Ascii);
    m_framing = framingsOf(m_plan.framing).front();
    m_parameter = -1;
    if (++m_address <= m_plan.last)
        return ask();
    m_address = m_plan.first;
    if (++m_speed < m_plan.speeds.size())
        return enterSpeed();
    finish(ScanEnd::Done);
}

void BusScan::restorePort() {
    if (!m_engine)
        return;
    serial::MSComm &port = m_engine->port();
    if (!port.PortOpen())
        port.setSettings(m_settings); // reopened as it was
    else if (port.Settings() != m_settings)
        port.changeSettings(m_settings);
}

void BusScan::finish(ScanEnd end, QString problem) {
    m_running = false;
    m_cancelled = false;
    restorePort();
    if (m_engine && m_engine->port().PortOpen() && m_engine->port().Settings() != m_settings) {
        end = ScanEnd::PortProblem;
        problem =
            translated(QT_TRANSLATE_NOOP("automation", "串口设置未能恢复为 %1")).arg(m_settings);
    }
    emit finished(end, problem);
}

} // namespace automation
