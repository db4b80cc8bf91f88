#pragma once
// A telnet COM-port control server (rfc2217://HOST:PORT, RFC 2217; ser2net's
// "accepter: telnet(rfc2217)"): the line settings go to the server as subnegotiations, the line's
// bytes travel 8-bit clean (binary transmission both ways, IAC doubled), and the server's telnet
// words are taken out of what arrives, wherever a read cuts them.
//
// The port opens without waiting for the server to confirm the settings. A server that has not
// confirmed one within kConfirmWaitMs of opening, or confirmed another value than asked (it chose
// another speed), is named once in notice(); the port carries on.

#include <array>

#include "serial/TcpTransport.h"

namespace serial {

class Rfc2217Transport : public TcpTransport {
    Q_OBJECT

public:
    static constexpr int kConfirmWaitMs = 1000;

    Rfc2217Transport(QString host, quint16 port, QString server);
    // The line speed and framing change over the connection, as at the start.
    bool setLine(const LineSettings &line) override;

protected:
    void startSession(const LineSettings &line) override;
    void sessionOpened() override;
    QByteArray lineBytes(const QByteArray &received) override;
    QByteArray wireBytes(const QByteArray &bytes) override;

private:
    // Where the reading stands in the telnet stream.
    enum class Parse : quint8 { Data, Command, Option, Sub, SubCommand };
    // One side's agreement on an option.
    enum class Agreed : quint8 { No, Asked, Yes };

    void onCommand(quint8 command);
    void onOption(quint8 verb, quint8 option);
    void onSubnegotiation();
    void tellUnsettled();
    // The subnegotiations that set the line as asked.
    QByteArray settingWords() const;

    Parse m_parse = Parse::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    std::array<Agreed, 256> m_us{};  // options we perform
    std::array<Agreed, 256> m_him{}; // options the server performs

    // Baud rate, data size, parity, stop size, flow control: the RFC's values, as asked and as
    // the server confirmed them.
    static constexpr int kSettings = 5;
    std::array<quint32, kSettings> m_asked{};
    std::array<std::optional<quint32>, kSettings> m_confirmed{};
    QTimer m_confirmTimer;
    bool m_opened = false;
    bool m_told = false;
};

} // namespace serial
