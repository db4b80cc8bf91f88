#include "serial/OpenCommPort.h"

namespace serial {

std::optional<OpenError> OpenCommPort(MSComm &port, int &portNumber, QString &settings) {
    if (port.PortOpen())
        port.close();
    if (portNumber < 1 || portNumber > 9)
        portNumber = 1;
    if (settings.isEmpty())
        settings = QStringLiteral("9600,n,8,1");

    port.setSettings(settings);
    port.setCommPort(portNumber);
    port.setInputLen(512);
    port.setInBufferSize(512);
    port.setOutBufferSize(512);
    port.setRThreshold(1);
    if (auto error = port.open())
        return error;
    port.clearInBuffer();
    port.clearOutBuffer();
    return std::nullopt;
}

} // namespace serial
