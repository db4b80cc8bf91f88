#pragma once
// What the send engine makes of a frame before it writes it: the caption chosen by the command
// code, and the frame that goes on the wire (the given one, or its register-mapped request).
//
// A frame is read as RTU (address, code, count, data, CRC low, CRC high) unless it is a complete
// ASCII frame, which is read as the bytes it carries: its caption comes from its real command code
// and a mapped request goes out in ASCII form again.

#include <QByteArray>
#include <optional>

#include "transmission/RegisterMapping.h"

namespace transmission {

struct Mapping {
    double base;
    MappingMode mode;
};

struct Outgoing {
    const char *caption = nullptr; // source text; none for codes without a caption
    bool mapped = false;
    QByteArray wire;
    std::optional<quint8> address; // the device it goes to: the frame's first byte (ASCII decoded)
    std::optional<quint8> code;    // the function code that goes on the wire (mapped: 03 or 10)
    bool ascii = false;            // an ASCII frame (its reply comes in ASCII too)
};

// `body`, when the caller built the frame and knows it, saves reading the frame back. A frame too
// short to carry address, code and count (an RTU frame under five bytes) goes out unmapped.
Outgoing prepareOutgoing(const QByteArray &frame, const std::optional<Mapping> &mapping,
                         std::optional<QByteArray> body = std::nullopt);

} // namespace transmission
