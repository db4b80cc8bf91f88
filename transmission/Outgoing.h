#pragma once
// What the send engine makes of a frame before it writes it: the caption chosen by the command
// code, and the frame that goes on the wire (the given one, or its register-mapped request).
//
// A complete ASCII frame is read as the bytes it carries, so its caption comes from its real
// command code and a mapped request goes out in ASCII form again. Anything else is read as RTU:
// address, code, count, data, CRC low, CRC high.

#include <QByteArray>
#include <QString>
#include <optional>

#include "transmission/RegisterMapping.h"

namespace transmission {

struct Mapping {
    double base;
    MappingMode mode;
};

struct Outgoing {
    std::optional<QString> caption;
    bool mapped = false;
    QByteArray wire;
};

// The send pane's caption for a command code; none for codes without one (0x40, 0x41 ...).
std::optional<QString> sendCaption(quint8 code);

// A frame too short to carry address, code and count (an RTU frame under five bytes) goes out
// unmapped.
Outgoing prepareOutgoing(const QByteArray &frame, const std::optional<Mapping> &mapping);

} // namespace transmission
