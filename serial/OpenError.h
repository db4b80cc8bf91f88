#pragma once
// Why a port could not be opened, and the line settings it is opened with.

#include <QSerialPort>
#include <QString>
#include <optional>

namespace serial {

struct OpenError {
    enum class Kind {
        NoDevice,         // no device stands behind COMn
        BadName,          // the text names no port
        BadSettings,      // the line settings were not accepted
        PermissionDenied, // no access to the device
        Busy,             // another program holds it
        NotFound,         // no such device
        HostNotFound,     // across the network: the host name is unknown
        Refused,          // the server refused the connection
        TimedOut,         // the server did not answer in time
        Closed,           // the server closed the connection at once
        Other,
    };
    Kind kind;
    QString device; // the device path or the server's address
    QString reason; // the system's own words, when there are
};

// "9600,n,8,1": baud, parity (n e o m s), data bits, stop bits.
struct LineSettings {
    qint32 baudRate;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
};
std::optional<LineSettings> parseSettings(const QString &settings);

} // namespace serial
