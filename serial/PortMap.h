#pragma once
// Which device stands behind the names COM1 to COM9.
//
// The environment variable R7260_COMn (n = 1 to 9), when set, names the device path for COMn.
// Otherwise, on Windows COMn is the native COMn; elsewhere the serial ports the system reports are
// numbered from COM1: USB adapters (ttyUSB*, ttyACM*) first, then the others, each group in
// natural name order (ttyUSB2 before ttyUSB10).

#include <QString>
#include <QStringList>

namespace serial {

// The device path for COMn (1 to 9); empty when no device stands behind it.
QString deviceForComPort(int number);

// The device paths of COM1 to COM9 at once (the system's ports are listed once).
QStringList comPortDevices();

// System port locations in COMn order, as described above.
QStringList orderedSystemPorts(QStringList locations);

// Natural order: digit runs compare by value.
bool naturalLess(const QString &a, const QString &b);

} // namespace serial
