// The virtual device's request parser and command handling on any byte stream, fed in pieces at
// rising times (so idle gaps drop cut frames and the axis moves between pieces).

#include <fuzzer/FuzzedDataProvider.h>

#include "sim/ProtocolServer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    sim::DeviceModel model;
    sim::ProtocolServer server(model);
    qint64 now = 0;
    while (input.remaining_bytes() > 0) {
        now += input.ConsumeIntegralInRange<qint64>(0, 100);
        if (input.ConsumeIntegralInRange(0, 15) == 0) {
            server.setInputs(input.ConsumeIntegral<quint8>() & 0x1F, now);
            continue;
        }
        const std::string piece = input.ConsumeRandomLengthString(300);
        server.feed(QByteArray(piece.data(), qsizetype(piece.size())), now);
    }
    return 0;
}
