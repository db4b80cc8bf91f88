#pragma once
// Sets any line speed on a serial device, including rates without a B-constant (14400).

namespace sim {

// Returns false when the device refuses the speed (errno tells why).
bool setLineSpeed(int fd, int baud);

// The output speed the device is set to; -1 when it cannot be read.
int lineSpeed(int fd);

} // namespace sim
