#include "transmission/Outgoing.h"

#include "codec/Framing.h"
#include "device/Protocol.h"

namespace transmission {

Outgoing prepareOutgoing(const QByteArray &frame, const std::optional<Mapping> &mapping,
                         std::optional<QByteArray> body) {
    if (!body && frame.startsWith(':'))
        body = codec::decodeAsciiFrame(frame);
    const bool carried = body.has_value(); // a complete ASCII frame, or a frame built here
    // An RTU frame is its body and two CRC bytes; an ASCII frame is longer.
    const bool ascii = carried && frame.size() != body->size() + 2;
    if (!body)
        body = frame.chopped(qMin<qsizetype>(2, frame.size()));

    Outgoing out;
    out.wire = frame;
    const QByteArray &logical = carried ? *body : frame;
    if (!logical.isEmpty())
        out.address = quint8(logical[0]);
    out.ascii = ascii;
    if (logical.size() > 1) {
        out.code = quint8(logical[1]);
        if (const device::Command *command = device::findCommand(*out.code))
            out.caption = command->caption;
    }
    if (!mapping || body->size() < 3)
        return out;
    const QByteArray request = mapRequest(*body, mapping->base, mapping->mode);
    out.wire = ascii ? codec::asciiFrame(request) : codec::rtuFrame(request);
    out.mapped = true;
    if (request.size() > 1)
        out.code = quint8(request[1]);
    return out;
}

} // namespace transmission
