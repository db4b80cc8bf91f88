#include "device/CommandTable.h"

#include <QString>
#include <QStringList>
#include <cstring>

namespace device {

namespace {

using enum Layout;
constexpr unsigned L = ListCapture;
constexpr unsigned IO = IoCapture;

// One row per button, kept on one line each so the table reads as a table.
// clang-format off
const CommandSpec kCommands[] = {
    // Base commands.
    {.button = "Command12", .code = 0x20},
    {.button = "Command13", .code = 0x21, .addressZero = true},
    {.button = "Command14", .code = 0x22, .layout = HexByte, .source = "Text7", .field = "新地址"},
    {.button = "Command15", .code = 0x23},
    {.button = "Command16", .code = 0x24, .layout = BaudCode, .source = "Combo6"},

    // Parameters: set codes are odd, each query code is its set code plus one.
    {.button = "Command17", .code = 0x25, .layout = Int32, .source = "Text12", .field = "初速度", .captures = L},
    {.button = "Command24", .code = 0x27, .layout = Int32, .source = "Text13", .field = "最大速度", .captures = L},
    {.button = "Command25", .code = 0x29, .layout = Int32, .source = "Text14", .field = "末速度", .captures = L},
    {.button = "Command26", .code = 0x2B, .layout = Int32, .source = "Text15", .field = "加速度", .captures = L},
    {.button = "Command27", .code = 0x2D, .layout = Int32, .source = "Text16", .field = "减速度", .captures = L},
    {.button = "Command64", .code = 0x2F, .layout = Int32, .source = "Text29", .field = "归零速度", .captures = L},
    {.button = "Command57", .code = 0x26, .captures = L},
    {.button = "Command58", .code = 0x28, .captures = L},
    {.button = "Command59", .code = 0x2A, .captures = L},
    {.button = "Command60", .code = 0x2C, .captures = L},
    {.button = "Command61", .code = 0x2E, .captures = L},
    {.button = "Command62", .code = 0x30, .captures = L},

    // Motion control.
    {.button = "Command18", .code = 0x31, .layout = Int32, .source = "Text8", .field = "脉冲数", .captures = L | IO},
    {.button = "Command19", .code = 0x32, .layout = Direction24, .source = "Combo3", .valueSource = "Text9", .field = "脉冲数", .captures = L | IO},
    {.button = "Command20", .code = 0x33, .layout = Int32, .source = "Text10", .field = "速度", .captures = L | IO},
    {.button = "Command21", .code = 0x34, .layout = Direction24, .source = "Combo4", .valueSource = "Text11", .field = "速度", .captures = L | IO},
    {.button = "Command65", .code = 0x35, .layout = Int32, .source = "Text30", .field = "新速度", .captures = L | IO},
    {.button = "Command22", .code = 0x3D, .captures = L | IO},
    {.button = "Command23", .code = 0x3C, .captures = L | IO},
    {.button = "Command7", .code = 0x3E, .layout = HexByte, .source = "Combo5", .field = "归零方向", .captures = L | IO},
    {.button = "Command28", .code = 0x36, .captures = L},
    {.button = "Command29", .code = 0x3B, .captures = L},
    {.button = "Command30", .code = 0x37, .captures = L},
    {.button = "Command31", .code = 0x39, .captures = L},
    {.button = "Command66", .code = 0x38, .captures = L},
    {.button = "Command67", .code = 0x3A, .captures = L},

    // The register mapping's base; the device takes at most 65503 (0xFFDF).
    {.button = "Command3", .code = 0x3F, .layout = Int32, .source = "Text34", .field = "偏移地址", .captures = L,
     .maximum = 65503, .refusal = "偏移地址超出范围,请设置0-65500之间"},

    // IO replacement query; the download builds its own request.
    {.button = "Command88", .code = 0x41, .layout = Pattern, .source = "Combo8"},

    // Others, and the CAN side. Note 0x48's sense: "with check" sends 0.
    {.button = "Command94", .code = 0x42, .captures = L},
    {.button = "Command91", .code = 0x44, .layout = Int32, .source = "Text32", .field = "运动因子", .captures = L | IO},
    {.button = "Command92", .code = 0x45, .captures = IO},
    {.button = "Command93", .code = 0x46, .captures = IO},
    {.button = "Command96", .code = 0x47},
    {.button = "Command102", .code = 0x48, .layout = FixedByte, .fixedByte = 0x01},
    {.button = "Command103", .code = 0x48, .layout = FixedByte, .fixedByte = 0x00},
    {.button = "Command104", .code = 0x49, .layout = FixedByte, .fixedByte = 0x01},
    {.button = "Command105", .code = 0x49, .layout = FixedByte, .fixedByte = 0x00},
    {.button = "Command100", .code = 0x4A, .layout = FixedByte, .fixedByte = 0x00},
    {.button = "Command101", .code = 0x4A, .layout = FixedByte, .fixedByte = 0x01},
    {.button = "Command95", .code = 0x4B, .layout = CanBaudCode, .source = "Combo9"},
    {.button = "Command106", .code = 0x4C, .layout = HexBytes, .source = "Text33", .captures = L},
};
// clang-format on

const CaptureButton kCaptureButtons[] = {
    // ">" beside the motion buttons.
    {"Command38", "Command18", ListCapture},
    {"Command39", "Command19", ListCapture},
    {"Command40", "Command20", ListCapture},
    {"Command41", "Command21", ListCapture},
    {"Command42", "Command7", ListCapture},
    {"Command44", "Command22", ListCapture},
    {"Command45", "Command23", ListCapture},
    {"Command68", "Command65", ListCapture},
    // ">" beside the parameters and the motion queries.
    {"Command46", "Command17", ListCapture},
    {"Command47", "Command24", ListCapture},
    {"Command48", "Command25", ListCapture},
    {"Command49", "Command26", ListCapture},
    {"Command50", "Command27", ListCapture},
    {"Command63", "Command64", ListCapture},
    {"Command71", "Command57", ListCapture},
    {"Command72", "Command58", ListCapture},
    {"Command73", "Command59", ListCapture},
    {"Command74", "Command60", ListCapture},
    {"Command75", "Command61", ListCapture},
    {"Command76", "Command62", ListCapture},
    {"Command51", "Command28", ListCapture},
    {"Command52", "Command30", ListCapture},
    {"Command53", "Command31", ListCapture},
    {"Command43", "Command29", ListCapture},
    {"Command69", "Command66", ListCapture},
    {"Command70", "Command67", ListCapture},
    {"Command99", "Command94", ListCapture},
    // ">" beside the manual frame tools.
    {"Command78", "Command37", ListCapture},
    {"Command77", "Command10", ListCapture},
    {"Command79", "Command1", ListCapture},
    {"Command80", "Command11", ListCapture},
    // "↓": the command body into the IO replacement box.
    {"Command82", "Command18", IoCapture},
    {"Command83", "Command19", IoCapture},
    {"Command84", "Command20", IoCapture},
    {"Command85", "Command21", IoCapture},
    {"Command86", "Command7", IoCapture},
    {"Command87", "Command65", IoCapture},
    {"Command89", "Command22", IoCapture},
    {"Command90", "Command23", IoCapture},
    {"Command97", "Command92", IoCapture},
    {"Command98", "Command93", IoCapture},
};

} // namespace

std::span<const CommandSpec> commandTable() {
    return kCommands;
}

const CommandSpec *findCommand(const char *button) {
    for (const CommandSpec &command : kCommands)
        if (std::strcmp(command.button, button) == 0)
            return &command;
    return nullptr;
}

std::span<const CaptureButton> captureButtons() {
    return kCaptureButtons;
}

quint8 baudRateCode(const QString &text) {
    static const QStringList rates{"2400", "4800", "9600", "14400", "19200", "38400"};
    const qsizetype index = rates.indexOf(text);
    return index < 0 ? 0 : quint8(4 + index);
}

quint8 canBaudRateCode(const QString &text) {
    static const QStringList rates{"1M",   "900K", "800K", "750K", "600K", "500K",
                                   "400K", "250K", "200K", "150K", "125K", "100K",
                                   "80K",  "50K",  "25K",  "20K",  "10K",  "5K"};
    return quint8(rates.indexOf(text) + 1);
}

} // namespace device
