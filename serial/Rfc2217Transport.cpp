#include "serial/Rfc2217Transport.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

namespace serial {

namespace {

// Telnet (RFC 854, 855) and its COM-port option (RFC 2217).
enum : quint8 {
    kSe = 240,
    kSb = 250,
    kWill = 251,
    kWont = 252,
    kDo = 253,
    kDont = 254,
    kIac = 255,
    kBinary = 0,
    kSuppressGoAhead = 3,
    kComPort = 44,
    kSetBaudRate = 1, // then data size, parity, stop size, control: 2 to 5
    kServerReply = 100,
};

// Longer than any server's subnegotiation (a signature text is the longest): one that runs on
// without its end is garbage, and reading goes back to the line's bytes rather than swallow them.
constexpr qsizetype kMaxSubnegotiation = 256;

const char *const kSettingNames[] = {
    QT_TRANSLATE_NOOP("serial", "波特率"), QT_TRANSLATE_NOOP("serial", "数据位"),
    QT_TRANSLATE_NOOP("serial", "校验"),   QT_TRANSLATE_NOOP("serial", "停止位"),
    QT_TRANSLATE_NOOP("serial", "流控制"),
};

QByteArray bytes(std::initializer_list<quint8> list) {
    QByteArray out;
    for (const quint8 byte : list)
        out += char(byte);
    return out;
}

QByteArray command(quint8 verb, quint8 option) {
    return bytes({kIac, verb, option});
}

QByteArray doubledIac(QByteArray bytes) {
    return bytes.replace(char(kIac), QByteArrayView("\xFF\xFF", 2));
}

quint32 parityValue(QSerialPort::Parity parity) {
    switch (parity) {
    case QSerialPort::OddParity:
        return 2;
    case QSerialPort::EvenParity:
        return 3;
    case QSerialPort::MarkParity:
        return 4;
    case QSerialPort::SpaceParity:
        return 5;
    default:
        return 1;
    }
}

// A setting's value as the engineer writes it in the port's settings ("9600,n,8,1").
QString valueText(int setting, quint32 value) {
    if (setting == 2 && value >= 1 && value <= 5)
        return QString(QLatin1Char("noems"[value - 1]));
    if (setting == 3 && value == 3)
        return QStringLiteral("1.5");
    if (setting == 4 && value == 1)
        return QCoreApplication::translate("serial", "无");
    if (setting == 4 && (value == 2 || value == 3))
        return value == 2 ? QStringLiteral("XON/XOFF") : QStringLiteral("RTS/CTS");
    return QString::number(value);
}

} // namespace

Rfc2217Transport::Rfc2217Transport(QString host, quint16 port, QString server)
    : TcpTransport(std::move(host), port, std::move(server)) {
    m_confirmTimer.setSingleShot(true);
    connect(&m_confirmTimer, &QTimer::timeout, this, &Rfc2217Transport::tellUnsettled);
}

void Rfc2217Transport::startSession(const LineSettings &line) {
    m_parse = Parse::Data;
    m_us.fill(Agreed::No);
    m_him.fill(Agreed::No);
    m_asked = {quint32(line.baudRate), quint32(line.dataBits), parityValue(line.parity),
               quint32(line.stopBits), 1};
    m_confirmed.fill(std::nullopt);
    m_opened = m_told = false;

    QByteArray words;
    for (const quint8 option : {kComPort, kBinary, kSuppressGoAhead}) {
        words += command(kWill, option);
        m_us[option] = Agreed::Asked;
    }
    for (const quint8 option : {kBinary, kSuppressGoAhead}) {
        words += command(kDo, option);
        m_him[option] = Agreed::Asked;
    }
    // Sent at once, ahead of any of the line's bytes: the server takes them in order.
    send(words + settingWords());
}

QByteArray Rfc2217Transport::settingWords() const {
    QByteArray words;
    for (int setting = 0; setting < kSettings; ++setting) {
        const quint32 value = m_asked[size_t(setting)];
        QByteArray sub = bytes({kComPort, quint8(kSetBaudRate + setting)});
        if (setting == 0)
            sub += bytes(
                {quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)});
        else
            sub += char(value);
        words += bytes({kIac, kSb}) + doubledIac(sub) + bytes({kIac, kSe});
    }
    return words;
}

bool Rfc2217Transport::setLine(const LineSettings &line) {
    if (!isOpen())
        return false;
    m_asked = {quint32(line.baudRate), quint32(line.dataBits), parityValue(line.parity),
               quint32(line.stopBits), 1};
    return send(settingWords());
}

void Rfc2217Transport::sessionOpened() {
    m_opened = true;
    if (std::all_of(m_confirmed.begin(), m_confirmed.end(), [](auto v) { return v.has_value(); }))
        tellUnsettled();
    else
        m_confirmTimer.start(kConfirmWaitMs);
}

QByteArray Rfc2217Transport::wireBytes(const QByteArray &bytes) {
    return doubledIac(bytes);
}

QByteArray Rfc2217Transport::lineBytes(const QByteArray &received) {
    QByteArray line;
    line.reserve(received.size());
    for (const char c : received) {
        const quint8 byte = quint8(c);
        switch (m_parse) {
        case Parse::Data:
            if (byte == kIac)
                m_parse = Parse::Command;
            else
                line += c;
            break;
        case Parse::Command:
            if (byte == kIac) {
                line += c;
                m_parse = Parse::Data;
            } else {
                onCommand(byte);
            }
            break;
        case Parse::Option:
            m_parse = Parse::Data;
            onOption(m_verb, byte);
            break;
        case Parse::Sub:
            if (byte == kIac)
                m_parse = Parse::SubCommand;
            else if (m_sub.size() < kMaxSubnegotiation)
                m_sub += c;
            else
                m_parse = Parse::Data;
            break;
        case Parse::SubCommand:
            if (byte == kIac) {
                m_sub += c;
                m_parse = m_sub.size() <= kMaxSubnegotiation ? Parse::Sub : Parse::Data;
            } else if (byte == kSe) {
                m_parse = Parse::Data;
                onSubnegotiation();
            } else {
                // A command inside a subnegotiation cuts it off; the command counts.
                onCommand(byte);
            }
            break;
        }
    }
    return line;
}

void Rfc2217Transport::onCommand(quint8 byte) {
    if (byte >= kWill && byte <= kDont) {
        m_verb = byte;
        m_parse = Parse::Option;
    } else if (byte == kSb) {
        m_sub.clear();
        m_parse = Parse::Sub;
    } else {
        m_parse = Parse::Data; // no operation, go ahead, a stray end: nothing for the line
    }
}

void Rfc2217Transport::onOption(quint8 verb, quint8 option) {
    // Answers only what changes an agreement (RFC 1143), so two parties never loop.
    const bool weOffer = option == kComPort || option == kBinary || option == kSuppressGoAhead;
    const bool weAccept = option == kBinary || option == kSuppressGoAhead;
    Agreed &us = m_us[option];
    Agreed &him = m_him[option];
    switch (verb) {
    case kDo:
        if (!weOffer)
            send(command(kWont, option));
        else if (us == Agreed::No)
            send(command(kWill, option));
        if (weOffer)
            us = Agreed::Yes;
        break;
    case kDont:
        if (us == Agreed::Yes)
            send(command(kWont, option));
        us = Agreed::No;
        break;
    case kWill:
        if (!weAccept)
            send(command(kDont, option)); // an echoing server would garble the line
        else if (him == Agreed::No)
            send(command(kDo, option));
        if (weAccept)
            him = Agreed::Yes;
        break;
    case kWont:
        if (him == Agreed::Yes)
            send(command(kDont, option));
        him = Agreed::No;
        break;
    default:
        break;
    }
}

void Rfc2217Transport::onSubnegotiation() {
    if (m_sub.size() < 3 || quint8(m_sub[0]) != kComPort || m_told)
        return;
    const int setting = quint8(m_sub[1]) - kServerReply - kSetBaudRate;
    if (setting < 0 || setting >= kSettings)
        return; // line and modem state, flow control notes: nothing the port uses
    const QByteArray value = m_sub.mid(2);
    if (setting == 0 && value.size() == 4)
        m_confirmed[0] = quint32(quint8(value[0])) << 24 | quint32(quint8(value[1])) << 16 |
                         quint32(quint8(value[2])) << 8 | quint32(quint8(value[3]));
    else if (setting > 0 && value.size() == 1)
        m_confirmed[size_t(setting)] = quint8(value[0]);
    if (m_opened &&
        std::all_of(m_confirmed.begin(), m_confirmed.end(), [](auto v) { return v.has_value(); }))
        tellUnsettled();
}

void Rfc2217Transport::tellUnsettled() {
    if (m_told || !isOpen())
        return;
    m_told = true;
    m_confirmTimer.stop();
    const QString separator = QCoreApplication::translate("serial", "、", "list separator");
    QStringList unconfirmed;
    QStringList different;
    for (int setting = 0; setting < kSettings; ++setting) {
        const QString name = QCoreApplication::translate("serial", kSettingNames[setting]);
        const QString asked = valueText(setting, m_asked[size_t(setting)]);
        const auto confirmed = m_confirmed[size_t(setting)];
        if (!confirmed)
            unconfirmed += name + u' ' + asked;
        else if (*confirmed != m_asked[size_t(setting)])
            different += QCoreApplication::translate("serial", "%1 %2（所选 %3）")
                             .arg(name, valueText(setting, *confirmed), asked);
    }
    QStringList text;
    if (!unconfirmed.isEmpty())
        text += QCoreApplication::translate(
                    "serial", "串口服务器 %1 没有确认这些串口参数：%2。按所选参数继续。")
                    .arg(server(), unconfirmed.join(separator));
    if (!different.isEmpty())
        text +=
            QCoreApplication::translate("serial", "串口服务器 %1 采用了与所选不同的串口参数：%2。")
                .arg(server(), different.join(separator));
    if (!text.isEmpty())
        emit notice(text.join(u'\n'));
}

} // namespace serial
