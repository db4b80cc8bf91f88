#pragma once
// What a port text names, by the one rule the window and the command line share:
//   COM1 ... COM9           exactly so (upper case): the device behind it (see PortMap.h)
//   tcp://HOST:PORT         a raw TCP serial server (the server sets the line)
//   rfc2217://HOST:PORT     a telnet COM-port control server (RFC 2217): the line is set over it
//   /dev/ttyUSB0, ./link    a device path; a name without "/" is looked for in /dev
// Anything else that looks like one of the first three (com1, COM10, http://..., tcp://host) is
// refused rather than guessed at.

#include <QString>
#include <variant>

namespace serial {

struct PortName {
    enum class Kind { Com, Device, Tcp, Rfc2217 };
    Kind kind = Kind::Device;
    int comNumber = 0; // Com: 1 to 9
    QString path;      // Device: the path to open; Com: the device behind it, when one is
    QString host;      // Tcp, Rfc2217
    quint16 port = 0;
    QString text;      // as the engineer wrote it

    bool acrossNetwork() const { return kind == Kind::Tcp || kind == Kind::Rfc2217; }
    // How messages name it: "COM3", "ttyUSB0", "tcp://bench:3334".
    QString shortName() const;
};

// Why a text names no port; the forms it may take are named by portFormsText().
struct PortNameRefusal {
    QString text;
};

std::variant<PortName, PortNameRefusal> parsePortName(const QString &text);

// The forms a port text may take, for a message (English; the window translates its own).
const char *portFormsText();

} // namespace serial
