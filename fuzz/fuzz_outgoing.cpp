// The send engine's preparation of any frame: its caption and, with a register mapping of any
// base, the mapped request in the frame's own framing.

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

#include "transmission/Outgoing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::optional<transmission::Mapping> mapping;
    if (input.ConsumeBool())
        mapping = transmission::Mapping{input.ConsumeFloatingPoint<double>(),
                                        input.ConsumeBool() ? transmission::MappingMode::Read
                                                            : transmission::MappingMode::Write};
    std::optional<QByteArray> body;
    if (input.ConsumeBool()) {
        const std::string bytes = input.ConsumeRandomLengthString(300);
        body = QByteArray(bytes.data(), qsizetype(bytes.size()));
    }
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray frame(rest.data(), qsizetype(rest.size()));
    const transmission::Outgoing out = transmission::prepareOutgoing(frame, mapping, body);
    if (!out.mapped && out.wire != frame)
        std::abort();
    return 0;
}
