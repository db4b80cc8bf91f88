#include "serial/DeviceTransport.h"
#include "serial/PortName.h"
#include "serial/Rfc2217Transport.h"
#include "serial/TcpTransport.h"
#include "serial/Transport.h"

namespace serial {

std::unique_ptr<Transport> makeTransport(const PortName &name) {
    switch (name.kind) {
    case PortName::Kind::Com:
        // R7260_COMn may name a serial server as well as a device.
        if (const auto behind = parsePortName(name.path);
            std::holds_alternative<PortName>(behind) && std::get<PortName>(behind).acrossNetwork())
            return makeTransport(std::get<PortName>(behind));
        [[fallthrough]];
    case PortName::Kind::Device:
        return std::make_unique<DeviceTransport>(name.path);
    case PortName::Kind::Tcp:
        return std::make_unique<TcpTransport>(name.host, name.port, name.shortName());
    case PortName::Kind::Rfc2217:
        return std::make_unique<Rfc2217Transport>(name.host, name.port, name.shortName());
    }
    return nullptr;
}

} // namespace serial
