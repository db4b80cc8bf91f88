#include "serial/OpenCommPort.h"

namespace serial {

namespace {

std::optional<OpenError> openWith(MSComm &port, QString &settings) {
    if (settings.isEmpty())
        settings = QStringLiteral("9600,n,8,1");
    port.setSettings(settings);
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

} // namespace

std::optional<OpenError> OpenCommPort(MSComm &port, int &portNumber, QString &settings) {
    if (port.PortOpen())
        port.close();
    if (portNumber < 1 || portNumber > 9)
        portNumber = 1;
    port.setCommPort(portNumber);
    return openWith(port, settings);
}

std::optional<OpenError> OpenCommPort(MSComm &port, const QString &portName, QString &settings) {
    port.close();
    port.setPortName(portName);
    return openWith(port, settings);
}

} // namespace serial
