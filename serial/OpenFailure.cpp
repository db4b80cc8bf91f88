#include "serial/OpenFailure.h"

#include <QCoreApplication>

#include "serial/OpenError.h"
#include "serial/PortName.h"

namespace serial {

QString openFailureText(const QString &name, const OpenError &error, const QString &settings) {
    using Kind = OpenError::Kind;
    switch (error.kind) {
    case Kind::NoDevice:
        return QCoreApplication::translate("serial", "无法打开串口 %1：没有对应的串口设备。\n"
                                                     "可以用环境变量 R7260_COM%2 指定设备路径。")
            .arg(name, name.mid(3));
    case Kind::BadSettings:
        return QCoreApplication::translate(
                   "serial", "无法打开串口 %1（%2）：串口参数无效（%3），请选择正确的波特率。")
            .arg(name, error.device, error.reason.isEmpty() ? settings : error.reason);
    case Kind::PermissionDenied:
        return QCoreApplication::translate("serial",
                                           "无法打开串口 %1（%2）：没有访问权限（%3）。\n"
                                           "请把当前用户加入 dialout 组，重新登录后再试。")
            .arg(name, error.device, error.reason);
    case Kind::Busy:
        return QCoreApplication::translate("serial",
                                           "无法打开串口 %1（%2）：设备正被其他程序占用（%3）。")
            .arg(name, error.device, error.reason);
    case Kind::NotFound:
        return QCoreApplication::translate("serial", "无法打开串口 %1（%2）：设备不存在（%3）。")
            .arg(name, error.device, error.reason);
    case Kind::BadName:
        return QCoreApplication::translate("serial", "请选择正确的串口名") + u'\n' +
               QCoreApplication::translate("serial", "“%1”不是串口名；可用：%2")
                   .arg(error.device, QCoreApplication::translate("serial", portFormsText()));
    case Kind::HostNotFound:
        return QCoreApplication::translate("serial", "无法连接 %1：找不到主机（%2）。")
            .arg(name, error.reason);
    case Kind::Refused:
        return QCoreApplication::translate("serial", "无法连接 %1：对方拒绝连接（%2）。")
            .arg(name, error.reason);
    case Kind::TimedOut:
        return QCoreApplication::translate("serial", "无法连接 %1：对方在 %2 内没有应答。")
            .arg(name, error.reason);
    case Kind::Closed:
        return QCoreApplication::translate("serial", "无法连接 %1：对方连接后立即断开（%2）。")
            .arg(name, error.reason);
    case Kind::Other:
        break;
    }
    return QCoreApplication::translate("serial", "无法打开串口 %1（%2）：%3")
        .arg(name, error.device, error.reason);
}

} // namespace serial
