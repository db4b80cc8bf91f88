#include "transmission/Outgoing.h"

#include "codec/Framing.h"

#include <QHash>

namespace transmission {

std::optional<QString> sendCaption(quint8 code) {
    static const QHash<quint8, QString> captions{
        {0x20, QStringLiteral("请求握手命令:")},
        {0x21, QStringLiteral("查询设备地址:")},
        {0x22, QStringLiteral("更改设备地址:")},
        {0x23, QStringLiteral("查询当前波特率:")},
        {0x24, QStringLiteral("改变当前波特率:")},
        {0x25, QStringLiteral("设置运动初速度:")},
        {0x26, QStringLiteral("查询运动初速度:")},
        {0x27, QStringLiteral("设置运动最大速度:")},
        {0x28, QStringLiteral("查询运动最大速度:")},
        {0x29, QStringLiteral("设置运动末速度:")},
        {0x2A, QStringLiteral("查询运动末速度:")},
        {0x2B, QStringLiteral("设置运动加速度:")},
        {0x2C, QStringLiteral("查询运动加速度:")},
        {0x2D, QStringLiteral("设置运动减速度:")},
        {0x2E, QStringLiteral("查询运动减速度:")},
        {0x2F, QStringLiteral("设置归零运动速度:")},
        {0x30, QStringLiteral("查询归零运动速度:")},
        {0x31, QStringLiteral("设置32位运动脉冲数并开始运动:")},
        {0x32, QStringLiteral("设置24位运动脉冲数并开始运动:")},
        {0x33, QStringLiteral("设置32位运动速度，并恒速运动:")},
        {0x34, QStringLiteral("设置24位运动速度，并恒速运动:")},
        {0x35, QStringLiteral("恒速运动过程中改变速度:")},
        {0x36, QStringLiteral("查询运动速度:")},
        {0x37, QStringLiteral("查询运动绝对位置:")},
        {0x38, QStringLiteral("绝对位置清零:")},
        {0x39, QStringLiteral("查询运动相对位置:")},
        {0x3A, QStringLiteral("相对位置清零:")},
        {0x3B, QStringLiteral("查询运动状态:")},
        {0x3C, QStringLiteral("急停命令:")},
        {0x3D, QStringLiteral("减速停止命令:")},
        {0x3E, QStringLiteral("查找原点命令:")},
        {0x3F, QStringLiteral("设置存储器偏移地址:")},
        {0x42, QStringLiteral("查询IN状态命令:")},
        {0x43, QStringLiteral("查询输入状态:")},
        {0x44, QStringLiteral("设置运动变速因子:")},
        {0x45, QStringLiteral("定量加速命令:")},
        {0x46, QStringLiteral("定量减速命令:")},
        {0x47, QStringLiteral("出厂设置命令:")},
    };
    const auto it = captions.constFind(code);
    return it == captions.cend() ? std::nullopt : std::optional<QString>(*it);
}

Outgoing prepareOutgoing(const QByteArray &frame, const std::optional<Mapping> &mapping) {
    const std::optional<QByteArray> asciiBody = codec::decodeAsciiFrame(frame);
    const QByteArray &logical = asciiBody ? *asciiBody : frame;

    Outgoing out;
    out.wire = frame;
    if (logical.size() > 1)
        out.caption = sendCaption(static_cast<quint8>(logical[1]));
    if (!mapping)
        return out;

    const QByteArray body =
        asciiBody ? *asciiBody : frame.chopped(qMin<qsizetype>(2, frame.size()));
    if (body.size() < 3)
        return out;
    const QByteArray request = mapRequest(body, mapping->base, mapping->mode);
    out.wire = asciiBody ? codec::asciiFrame(request) : codec::rtuFrame(request);
    out.mapped = true;
    return out;
}

} // namespace transmission
