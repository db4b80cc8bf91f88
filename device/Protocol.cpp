#include "device/Protocol.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>

namespace device {

namespace {

using enum FunctionCode;
using enum Layout;
using enum Carries;
constexpr ReplyForm Short = ReplyForm::Short;
constexpr Setting Kept = Setting::Kept;
constexpr Setting Line = Setting::Line;

constexpr const char *kPulses = "PULSES";
constexpr const char *kSpeed = "SPEED";
constexpr const char *kPulsesPerSecond = "pulse/s";
constexpr const char *kPulsesPerSecond2 = "pulse/s²";
constexpr const char *kBitsPerSecond = "bit/s";

// One row per function code, one line each so the table reads as a table.
// clang-format off
const Command kCommands[] = {
    // Communication.
    {.code = Handshake, .name = "handshake", .caption = QT_TRANSLATE_NOOP("device", "请求握手命令:"), .replyNamed = true},
    {.code = GetAddress, .name = "get-address", .caption = QT_TRANSLATE_NOOP("device", "查询设备地址:"), .toAddressZero = true, .replyNamed = true, .replyMessage = QT_TRANSLATE_NOOP("device", "查询设备地址:当前地址为"), .carries = Address},
    {.code = SetAddress, .name = "set-address", .caption = QT_TRANSLATE_NOOP("device", "更改设备地址:"), .layout = HexByte, .arguments = "ADDRESS", .field = QT_TRANSLATE_NOOP("device", "新地址"), .replyNamed = true, .setting = Line, .readBy = GetAddress},
    {.code = GetBaudRate, .name = "get-baud-rate", .caption = QT_TRANSLATE_NOOP("device", "查询当前波特率:"), .replyNamed = true, .replyMessage = QT_TRANSLATE_NOOP("device", "查询当前波特率:当前波特率设置为"), .carries = BaudCode, .replyCount = 1},
    {.code = SetBaudRate, .name = "set-baud-rate", .caption = QT_TRANSLATE_NOOP("device", "改变当前波特率:"), .layout = BaudRateCode, .arguments = "RATE", .replyNamed = true, .setting = Line, .readBy = GetBaudRate, .unit = kBitsPerSecond},

    // Parameters: set codes are odd, each query code is its set code plus one.
    {.code = SetStartSpeed, .name = "set-start-speed", .caption = QT_TRANSLATE_NOOP("device", "设置运动初速度:"), .layout = Int32, .arguments = kSpeed, .field = QT_TRANSLATE_NOOP("device", "初速度"), .replyNamed = true, .setting = Kept, .readBy = GetStartSpeed, .unit = kPulsesPerSecond},
    {.code = GetStartSpeed, .name = "get-start-speed", .caption = QT_TRANSLATE_NOOP("device", "查询运动初速度:"), .replyNamed = true, .carries = StartSpeed, .replyCount = 4},
    {.code = SetMaxSpeed, .name = "set-max-speed", .caption = QT_TRANSLATE_NOOP("device", "设置运动最大速度:"), .layout = Int32, .arguments = kSpeed, .field = QT_TRANSLATE_NOOP("device", "最大速度"), .replyNamed = true, .setting = Kept, .readBy = GetMaxSpeed, .unit = kPulsesPerSecond},
    {.code = GetMaxSpeed, .name = "get-max-speed", .caption = QT_TRANSLATE_NOOP("device", "查询运动最大速度:"), .replyNamed = true, .carries = MaxSpeed, .replyCount = 4},
    {.code = SetEndSpeed, .name = "set-end-speed", .caption = QT_TRANSLATE_NOOP("device", "设置运动末速度:"), .layout = Int32, .arguments = kSpeed, .field = QT_TRANSLATE_NOOP("device", "末速度"), .replyNamed = true, .setting = Kept, .readBy = GetEndSpeed, .unit = kPulsesPerSecond},
    {.code = GetEndSpeed, .name = "get-end-speed", .caption = QT_TRANSLATE_NOOP("device", "查询运动末速度:"), .replyNamed = true, .carries = EndSpeed, .replyCount = 4},
    {.code = SetAcceleration, .name = "set-acceleration", .caption = QT_TRANSLATE_NOOP("device", "设置运动加速度:"), .layout = Int32, .arguments = "ACCELERATION", .field = QT_TRANSLATE_NOOP("device", "加速度"), .replyNamed = true, .setting = Kept, .readBy = GetAcceleration, .unit = kPulsesPerSecond2},
    {.code = GetAcceleration, .name = "get-acceleration", .caption = QT_TRANSLATE_NOOP("device", "查询运动加速度:"), .replyNamed = true, .carries = Acceleration, .replyCount = 4},
    {.code = SetDeceleration, .name = "set-deceleration", .caption = QT_TRANSLATE_NOOP("device", "设置运动减速度:"), .layout = Int32, .arguments = "DECELERATION", .field = QT_TRANSLATE_NOOP("device", "减速度"), .replyNamed = true, .setting = Kept, .readBy = GetDeceleration, .unit = kPulsesPerSecond2},
    {.code = GetDeceleration, .name = "get-deceleration", .caption = QT_TRANSLATE_NOOP("device", "查询运动减速度:"), .replyNamed = true, .carries = Deceleration, .replyCount = 4},
    {.code = SetHomingSpeed, .name = "set-homing-speed", .caption = QT_TRANSLATE_NOOP("device", "设置归零运动速度:"), .layout = Int32, .arguments = kSpeed, .field = QT_TRANSLATE_NOOP("device", "归零速度"), .replyNamed = true, .setting = Kept, .readBy = GetHomingSpeed, .unit = kPulsesPerSecond},
    {.code = GetHomingSpeed, .name = "get-homing-speed", .caption = QT_TRANSLATE_NOOP("device", "查询归零运动速度:"), .replyNamed = true, .carries = HomingSpeed, .replyCount = 4},

    // Motion.
    {.code = Move, .name = "move", .caption = QT_TRANSLATE_NOOP("device", "设置32位运动脉冲数并开始运动:"), .layout = Int32, .arguments = kPulses, .field = QT_TRANSLATE_NOOP("device", "脉冲数"), .replyNamed = true},
    {.code = MoveRelative, .name = "move-relative", .caption = QT_TRANSLATE_NOOP("device", "设置24位运动脉冲数并开始运动:"), .layout = Direction24, .arguments = "DIRECTION PULSES", .field = QT_TRANSLATE_NOOP("device", "脉冲数"), .replyNamed = true},
    {.code = Run, .name = "run-speed", .caption = QT_TRANSLATE_NOOP("device", "设置32位运动速度，并恒速运动:"), .layout = Int32, .arguments = kSpeed, .field = QT_TRANSLATE_NOOP("device", "速度"), .replyNamed = true},
    {.code = RunDirection, .name = "run-direction", .caption = QT_TRANSLATE_NOOP("device", "设置24位运动速度，并恒速运动:"), .layout = Direction24, .arguments = "DIRECTION SPEED", .field = QT_TRANSLATE_NOOP("device", "速度"), .replyNamed = true},
    {.code = ChangeSpeed, .name = "change-speed", .caption = QT_TRANSLATE_NOOP("device", "恒速运动过程中改变速度:"), .layout = Int32, .arguments = kSpeed, .field = QT_TRANSLATE_NOOP("device", "新速度"), .replyNamed = true},
    {.code = GetSpeed, .name = "get-speed", .caption = QT_TRANSLATE_NOOP("device", "查询运动速度:"), .replyNamed = true, .carries = Speed, .replyCount = 4},
    {.code = GetAbsolutePosition, .name = "get-absolute-position", .caption = QT_TRANSLATE_NOOP("device", "查询运动绝对位置:"), .replyNamed = true, .carries = AbsolutePosition, .replyCount = 4},
    {.code = ClearAbsolutePosition, .name = "clear-absolute-position", .caption = QT_TRANSLATE_NOOP("device", "绝对位置清零:"), .replyNamed = true},
    {.code = GetRelativePosition, .name = "get-relative-position", .caption = QT_TRANSLATE_NOOP("device", "查询运动相对位置:"), .replyNamed = true, .carries = RelativePosition, .replyCount = 4},
    {.code = ClearRelativePosition, .name = "clear-relative-position", .caption = QT_TRANSLATE_NOOP("device", "相对位置清零:"), .replyNamed = true},
    {.code = GetMotionState, .name = "get-motion-state", .caption = QT_TRANSLATE_NOOP("device", "查询运动状态:"), .replyNamed = true, .carries = MotionState, .replyCount = 4},
    {.code = Stop, .name = "stop", .caption = QT_TRANSLATE_NOOP("device", "急停命令:"), .reply = Short, .replyNamed = true},
    {.code = StopDecelerating, .name = "stop-decelerating", .caption = QT_TRANSLATE_NOOP("device", "减速停止命令:"), .reply = Short, .replyNamed = true},
    {.code = Home, .name = "home", .caption = QT_TRANSLATE_NOOP("device", "查找原点命令:"), .layout = HexByte, .arguments = "DIRECTION", .field = QT_TRANSLATE_NOOP("device", "归零方向"), .reply = Short, .replyNamed = true},

    // Register mapping base: the device takes at most 65503 (0xFFDF).
    {.code = SetRegisterBase, .name = "set-register-base", .caption = QT_TRANSLATE_NOOP("device", "设置存储器偏移地址:"), .layout = Int32, .arguments = "BASE", .field = QT_TRANSLATE_NOOP("device", "偏移地址"), .maximum = 65503, .refusal = QT_TRANSLATE_NOOP("device", "偏移地址超出范围,请设置0-65500之间"), .setting = Kept, .unit = "register"},

    // IO replacement bindings: an input pattern bound to one command body. The count byte covers
    // the pattern and the body, so a body holds at most 254 bytes.
    {.code = BindInputs, .name = "bind-inputs", .layout = Binding, .arguments = "PATTERN COMMAND", .field = QT_TRANSLATE_NOOP("device", "IO取代命令"), .maxBytes = 254, .alwaysRtu = true, .setting = Kept, .readBy = GetBinding},
    {.code = GetBinding, .name = "get-binding", .layout = InputPattern, .arguments = "PATTERN", .replyCount = std::nullopt},
    {.code = GetInputs, .name = "get-inputs", .caption = QT_TRANSLATE_NOOP("device", "查询IN状态命令:"), .replyNamed = true, .replyMessage = QT_TRANSLATE_NOOP("device", "查询 IN 1-5 状态:"), .carries = Inputs, .replyCount = 5},
    {.code = GetInputState, .name = "get-input-state", .caption = QT_TRANSLATE_NOOP("device", "查询输入状态:"), .replyCount = 5},

    // Speed steps and factory settings.
    {.code = SetSpeedFactor, .name = "set-speed-factor", .caption = QT_TRANSLATE_NOOP("device", "设置运动变速因子:"), .layout = Int32, .arguments = "FACTOR", .field = QT_TRANSLATE_NOOP("device", "运动因子"), .reply = Short, .replyNamed = true, .replyMessage = QT_TRANSLATE_NOOP("device", "设置变速因子命令:"), .setting = Kept, .unit = kPulsesPerSecond},
    {.code = SpeedStepUp, .name = "speed-step-up", .caption = QT_TRANSLATE_NOOP("device", "定量加速命令:"), .reply = Short, .replyNamed = true},
    {.code = SpeedStepDown, .name = "speed-step-down", .caption = QT_TRANSLATE_NOOP("device", "定量减速命令:"), .reply = Short, .replyNamed = true},
    {.code = FactorySettings, .name = "factory-settings", .caption = QT_TRANSLATE_NOOP("device", "出厂设置命令:"), .reply = Short, .replyNamed = true},

    // The CAN side. Note 0x48's sense: 0 checks, 1 does not.
    {.code = CanChecksum, .name = "can-checksum", .layout = Byte, .arguments = "0|1", .field = QT_TRANSLATE_NOOP("device", "设置值"), .setting = Kept},
    {.code = CanReplyLength, .name = "can-reply-length", .layout = Byte, .arguments = "0|1", .field = QT_TRANSLATE_NOOP("device", "设置值"), .setting = Kept},
    {.code = CanFrame, .name = "can-frame", .layout = Byte, .arguments = "0|1", .field = QT_TRANSLATE_NOOP("device", "设置值"), .setting = Kept},
    {.code = CanBaudRate, .name = "can-baud-rate", .layout = CanBaudRateCode, .arguments = "RATE", .setting = Kept},
    {.code = CanSend, .name = "can-send", .layout = HexBytes, .arguments = "HEX", .maxBytes = 5, .alwaysRtu = true},
};
// clang-format on

const BaudRate kBaudRates[] = {{"2400", 4},  {"4800", 5},  {"9600", 6}, {"14400", 7},
                               {"19200", 8}, {"38400", 9}, {"57600", 0}};

const char *const kCanBaudRates[] = {"1M",   "900K", "800K", "750K", "600K", "500K",
                                     "400K", "250K", "200K", "150K", "125K", "100K",
                                     "80K",  "50K",  "25K",  "20K",  "10K",  "5K"};

} // namespace

std::span<const Command> commands() {
    return kCommands;
}

const Command *findCommand(quint8 code) {
    for (const Command &c : kCommands)
        if (quint8(c.code) == code)
            return &c;
    return nullptr;
}

const Command *findCommand(QStringView name) {
    for (const Command &c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

const Command &command(FunctionCode code) {
    return *findCommand(quint8(code));
}

const char *replyMessage(const Command &command) {
    return command.replyMessage ? command.replyMessage : command.caption;
}

int argumentCount(Layout layout) {
    switch (layout) {
    case None:
        return 0;
    case Direction24:
    case Binding:
        return 2;
    default:
        return 1;
    }
}

std::span<const char *const> lineRates() {
    static const char *const rates[] = {"300",   "600",   "1200",  "2400",  "4800",
                                        "9600",  "14400", "19200", "38400", "56000",
                                        "57600", "115200", "128000"};
    return rates;
}

std::span<const BaudRate> baudRates() {
    return kBaudRates;
}

quint8 baudRateCode(QStringView text) {
    const auto it =
        std::find_if(std::begin(kBaudRates), std::end(kBaudRates),
                     [text](const BaudRate &r) { return text == QLatin1String(r.text); });
    return it == std::end(kBaudRates) ? 0 : it->code;
}

std::span<const char *const> canBaudRates() {
    return kCanBaudRates;
}

quint8 canBaudRateCode(QStringView text) {
    for (size_t i = 0; i < std::size(kCanBaudRates); ++i)
        if (text == QLatin1String(kCanBaudRates[i]))
            return quint8(i + 1);
    return 0;
}

quint8 inputPattern(QStringView text) {
    quint8 pattern = 0;
    for (qsizetype position = 0; position < 5 && position < text.size(); ++position)
        if (text[position] == u'1')
            pattern |= quint8(1u << (4 - position));
    return pattern;
}

QString translated(const char *source) {
    return QCoreApplication::translate("device", source);
}

int longestReply(quint8 code) {
    if (code == kWriteMultipleRegisters)
        return kWriteRegistersReplyBytes;
    const Command *command = findCommand(code);
    if (command && command->reply == ReplyForm::Short)
        return kShortReplyBytes;
    if (command && command->replyCount)
        return kLongFrameOverhead + *command->replyCount;
    return kLongFrameOverhead + kMaxDataCount;
}

} // namespace device
