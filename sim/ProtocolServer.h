#pragma once
// The device's serial side without any I/O: bytes in, reply bytes out.
//
// Requests are found in the incoming byte stream: RTU frames by the length their layout predicts
// (device codes: 3 + count + 2; Modbus 0x03: 8; Modbus 0x10: 9 + the data, which may be up to
// three bytes shorter than its byte count says), confirmed by the CRC; ASCII frames from ":" to
// CR LF, confirmed by the LRC. The earliest complete frame wins and whatever stands before it is
// discarded as noise; an incomplete frame is dropped after an idle gap. A request with a bad
// checksum or for another address is not answered (the address query 0x21 sent to address 0 is
// answered with the device's own address). An ASCII request gets an ASCII reply.
//
// Standard Modbus register access: register base + code (16 bits, wrapping as the tool's mapping
// does) addresses a code; each code's value is two registers, high word first. Reading N
// registers at base + code returns the values of code, code + 1, ... as a stream of words; a
// write (0x10) at base + code runs that command with the data bytes that follow the byte count.

#include "sim/DeviceModel.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace sim {

// One thing the server did with the stream: a request and its reply, a request it did not
// answer, noise it discarded, or a binding the inputs ran.
struct Exchange {
    QByteArray request; // the bytes as received (the bound body for a binding run)
    QByteArray reply;   // empty when nothing is to be sent
    QString note;       // what happened, for the log
    // The line speed changes to this code once the reply is on the line.
    std::optional<quint8> newBaudCode;
};

// The note of bytes thrown away because no frame can start with them.
inline constexpr const char *kNoiseNote = "noise discarded";

class ProtocolServer {
public:
    static constexpr qint64 kIdleGapMs = 30;
    static constexpr qsizetype kMaxBuffered = 1024;

    explicit ProtocolServer(DeviceModel &model) : m_model(model) {}

    // Bytes that arrived at `nowMs` (the caller's clock, never going back).
    std::vector<Exchange> feed(const QByteArray &bytes, qint64 nowMs);

    // The inputs change at `nowMs`; when the new pattern has a binding, its command runs as if
    // received, and nothing is sent. Returns that run, if any.
    std::optional<Exchange> setInputs(quint8 pattern, qint64 nowMs);

    DeviceModel &model() { return m_model; }

private:
    std::vector<Exchange> extractFrames();
    Exchange handle(const QByteArray &raw, const QByteArray &body, bool ascii);

    DeviceModel &m_model;
    QByteArray m_buffer;
    qint64 m_lastByteAt = 0;
};

} // namespace sim
