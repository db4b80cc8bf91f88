#include "serial/PortName.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QUrl>

#include "serial/PortMap.h"

namespace serial {

QString PortName::shortName() const {
    switch (kind) {
    case Kind::Com:
        return QStringLiteral("COM%1").arg(comNumber);
    case Kind::Device:
        return path.section(u'/', -1);
    case Kind::Tcp:
    case Kind::Rfc2217:
        break;
    }
    return text;
}

const char *portFormsText() {
    return QT_TRANSLATE_NOOP("serial",
                             "COM1 到 COM9、设备路径（如 /dev/ttyUSB0）、tcp://主机:端口 或 "
                             "rfc2217://主机:端口");
}

std::variant<PortName, PortNameRefusal> parsePortName(const QString &text) {
    static const QRegularExpression com(QStringLiteral("^COM([1-9])$"));
    static const QRegularExpression comLike(QStringLiteral("^com[0-9]*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    const PortNameRefusal refused{text};
    PortName name;
    name.text = text;
    if (text.isEmpty() || text.trimmed() != text)
        return refused;
    if (const auto match = com.match(text); match.hasMatch()) {
        name.kind = PortName::Kind::Com;
        name.comNumber = match.captured(1).toInt();
        name.path = deviceForComPort(name.comNumber);
        return name;
    }
    if (comLike.match(text).hasMatch())
        return refused;
    if (const auto match = scheme.match(text); match.hasMatch()) {
        const QString kind = match.captured(1);
        if (kind == QLatin1String("tcp"))
            name.kind = PortName::Kind::Tcp;
        else if (kind == QLatin1String("rfc2217"))
            name.kind = PortName::Kind::Rfc2217;
        else
            return refused;
        // HOST:PORT and nothing else: no user, path, query or fragment.
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty() || url.port() < 1 || !url.userInfo().isEmpty() ||
            !(url.path().isEmpty()) || url.hasQuery() || url.hasFragment())
            return refused;
        name.host = url.host();
        name.port = quint16(url.port());
        return name;
    }
    // Qt would read a relative name as one under /dev; a relative path means the current folder.
    name.path = !text.contains(u'/')            ? QStringLiteral("/dev/") + text
                : QDir::isRelativePath(text)    ? QDir::current().absoluteFilePath(text)
                                                : text;
    return name;
}

} // namespace serial
