#include "serial/PortMap.h"

#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>

namespace serial {

namespace {

bool isUsbAdapter(const QString &location) {
    const QString name = location.section(QLatin1Char('/'), -1);
    return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
}

QStringList systemPortLocations() {
    QStringList locations;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        locations << info.systemLocation();
    return locations;
}

} // namespace

bool naturalLess(const QString &a, const QString &b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype iEnd = i, jEnd = j;
            while (iEnd < a.size() && a[iEnd].isDigit())
                ++iEnd;
            while (jEnd < b.size() && b[jEnd].isDigit())
                ++jEnd;
            // Compare digit runs by value: strip leading zeros, then by length, then by digits.
            QStringView x = QStringView(a).mid(i, iEnd - i), y = QStringView(b).mid(j, jEnd - j);
            while (x.size() > 1 && x.front() == u'0')
                x = x.mid(1);
            while (y.size() > 1 && y.front() == u'0')
                y = y.mid(1);
            if (x.size() != y.size())
                return x.size() < y.size();
            if (const int c = x.compare(y); c != 0)
                return c < 0;
            i = iEnd;
            j = jEnd;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

QStringList orderedSystemPorts(QStringList locations) {
    std::stable_sort(locations.begin(), locations.end(), [](const QString &a, const QString &b) {
        const bool usbA = isUsbAdapter(a), usbB = isUsbAdapter(b);
        if (usbA != usbB)
            return usbA;
        return naturalLess(a, b);
    });
    return locations;
}

namespace {

QString overrideFor(int number) {
    return qEnvironmentVariable(qPrintable(QStringLiteral("R7260_COM%1").arg(number)));
}

QString systemPortFor(int number, const QStringList &systemPorts) {
#ifdef Q_OS_WIN
    Q_UNUSED(systemPorts);
    return QStringLiteral("COM%1").arg(number);
#else
    return number <= systemPorts.size() ? systemPorts[number - 1] : QString();
#endif
}

QStringList systemPorts() {
#ifdef Q_OS_WIN
    return {};
#else
    return orderedSystemPorts(systemPortLocations());
#endif
}

} // namespace

QString deviceForComPort(int number) {
    if (number < 1 || number > 9)
        return {};
    const QString overridden = overrideFor(number);
    return overridden.isEmpty() ? systemPortFor(number, systemPorts()) : overridden;
}

QStringList comPortDevices() {
    const QStringList system = systemPorts();
    QStringList devices;
    for (int number = 1; number <= 9; ++number) {
        const QString overridden = overrideFor(number);
        devices << (overridden.isEmpty() ? systemPortFor(number, system) : overridden);
    }
    return devices;
}

} // namespace serial
