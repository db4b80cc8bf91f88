#pragma once

#include "serial/MSComm.h"

namespace serial {

// Opens the port in four steps: close it if open; a port number outside 1 to 9 becomes 1; an
// empty settings string becomes "9600,n,8,1"; then set the line settings, port number, 512-byte
// reads and buffers, cleared counts, a receive threshold of 1, and open. Handles no error itself:
// a failure is returned to the caller, the port then closed. Across the network the port may
// still be connecting on return (MSComm::isConnecting()).
std::optional<OpenError> OpenCommPort(MSComm &port, int &portNumber, QString &settings);
// The same for a port named otherwise (a device path, tcp://HOST:PORT, rfc2217://HOST:PORT).
std::optional<OpenError> OpenCommPort(MSComm &port, const QString &portName, QString &settings);

} // namespace serial
