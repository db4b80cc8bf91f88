#pragma once
// What a batch of received bytes means to the window, read in the RTU layout:
//   0 address, 1 command code (echo), 2 length, 3..6 a 32-bit value big-endian,
//   3..7 single-byte states, then the CRC (none of address, length or CRC is checked).
// A batch of more than two bytes is matched against the long replies, one of one or two bytes
// against the short replies (the device's two-byte answer to stops, homing, speed factor, steps
// and factory settings). Values, motion state and inputs need at least eight bytes.
//
// A batch that is one complete ASCII frame is first read as the bytes it carries: its body, with
// a CRC appended when it is longer than two bytes, exactly the RTU reply the device would have
// sent.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace transmission {

struct ReplyEffects {
    struct Value {
        QString box; // the text box that shows it
        QString text;
    };
    struct Lamp {
        QString shape;
        bool red;
    };
    std::optional<QString> message;
    std::optional<Value> value;
    std::optional<QString> motionText; // "停止" or "运动中"
    std::vector<Lamp> lamps;
};

// data: the batch; count: the number of bytes it holds as the port reported them.
ReplyEffects interpretReply(const QByteArray &data, int count);

} // namespace transmission
