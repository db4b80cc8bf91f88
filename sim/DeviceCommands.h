#pragma once
// The device's own commands (function codes 0x20 to 0x4C): what data each takes, what it does to
// the device, and what it answers. No framing and no addressing here: a command is its function
// code and data bytes, and the outcome is either the data of the reply or an error.

#include "sim/DeviceModel.h"

#include <QByteArray>

namespace sim {

enum class ReplyForm {
    Data,  // address, code, count, data (an echo is count 0), then the checksum
    Short, // address, code and nothing else: stops, homing, speed factor, steps, factory settings
};

struct Outcome {
    Error error = Error::None;
    QByteArray data; // the reply's data when error is None
    ReplyForm form = ReplyForm::Data;
};

bool isDeviceCommand(quint8 code);

// Carries out one command at the model's current time.
Outcome executeCommand(DeviceModel &model, quint8 code, const QByteArray &data);

// The 32-bit value the registers of a code hold in the register mapping: a parameter in the
// registers of its set and its query code, the address (0x21, 0x22), the baud code (0x23, 0x24),
// speed and positions (0x36, 0x37, 0x39), the motion-state bytes as one big-endian value (0x3B),
// the register base (0x3F), the input pattern with bit 0 for IN1 and 1 for on (0x42, 0x43), the
// speed factor (0x44), the CAN settings (0x48 to 0x4B); 0 for every other code.
quint32 registerValue(const DeviceModel &model, quint8 code);

} // namespace sim
