#pragma once
// What a reply means: the command it answers, the message the receive pane names it by, and what
// its data carry (a value, the motion state, the inputs). Nothing here knows the window; the
// window decides which box or lamp shows what.

#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>

#include "device/Protocol.h"
#include "transmission/ReplyReader.h"

namespace transmission {

// The four state bytes of a motion-state reply. The moving flag is set for any non-zero byte;
// a switch counts as active for any byte other than 1 (1 is the device's "not active").
struct MotionState {
    bool moving = false;
    bool leftLimit = false;
    bool origin = false;
    bool rightLimit = false;
};

struct Reply {
    enum class Status {
        Good,        // a reply whose check holds (or a short reply, which carries none)
        Failure,     // the device refused the command; error holds its error code
        CheckFailed, // its CRC or LRC did not hold: nothing it carries is shown
        Incomplete,  // its rest never came: nothing it carries is shown
    };
    Status status = Status::Good;
    std::optional<quint8> address; // the device it came from
    quint8 code = 0;
    const device::Command *command = nullptr; // the command it answers; none for unknown codes
    bool named = false;                       // the receive pane names it by a message line
    std::optional<qint64> value;              // address, baud code, parameter, speed, position
    std::optional<MotionState> motion;
    std::optional<std::array<bool, 5>> inputs; // IN1..IN5, true when the input is active
    std::optional<quint8> error;               // a failure reply's error code
};

// What one frame from the reply reader means.
Reply readReply(const ReplyFrame &frame);

// What the virtual device and the protocol reference say a failure reply's error code means
// (source text); nothing for other codes.
const char *errorMeaning(quint8 error);

// The message line for a reply, in the reader's language: the named reply's message
// ("查询设备地址:当前地址为1"), the refused command with its error, "校验错误:", or
// "回复不完整:" with the command's caption; empty when the reply names nothing.
QString messageOf(const Reply &reply);

} // namespace transmission
