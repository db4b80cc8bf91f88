#include "transmission/RegisterMapping.h"

#include "codec/Bytes.h"
#include "codec/NumericText.h"
#include "device/Protocol.h"

#include <cmath>

namespace transmission {

quint16 mappedRegister(double base, quint8 code) {
    double sum = std::fmod(codec::roundHalfEven(base + code), 65536.0);
    if (std::isnan(sum))
        return 0;
    if (sum < 0)
        sum += 65536.0;
    return static_cast<quint16>(sum);
}

QByteArray mapRequest(const QByteArray &body, double base, MappingMode mode) {
    const auto code = static_cast<quint8>(body.at(1));
    QByteArray request;
    request += body.at(0);
    if (mode == MappingMode::Read) {
        request += char(device::kReadHoldingRegisters);
        codec::appendBigEndian(request, mappedRegister(base, code), 2);
        codec::appendBigEndian(request, 2, 2);
        return request;
    }
    const QByteArray data = body.mid(3);
    const qint64 registers = 2 * ((data.size() + 3) / 4);
    request += char(device::kWriteMultipleRegisters);
    codec::appendBigEndian(request, mappedRegister(base, code), 2);
    request +=
        static_cast<char>(static_cast<qint64>(codec::roundHalfEven(registers / 256.0)) % 256);
    request += static_cast<char>(registers % 256);
    request += static_cast<char>((2 * registers) % 256);
    request += data;
    return request;
}

} // namespace transmission
