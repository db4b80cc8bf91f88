// The request builder: every command with any address and argument texts, in both framings.
// A request it builds is well formed: address, the command's code, a count that matches its data,
// framed as the command and the framing say.

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

#include "device/RequestBuilder.h"

namespace {

QString text(FuzzedDataProvider &input) {
    const std::string bytes = input.ConsumeRandomLengthString(64);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    const auto commands = device::commands();
    const device::Command &command =
        commands[input.ConsumeIntegralInRange<size_t>(0, commands.size() - 1)];
    const auto framing = input.ConsumeBool() ? codec::Framing::Ascii : codec::Framing::Rtu;
    const QString address = text(input);
    QStringList arguments;
    for (int i = input.ConsumeIntegralInRange(0, 3); i > 0; --i)
        arguments << text(input);
    const device::BuildResult built = device::buildRequest(command, address, arguments, framing);
    if (const auto *refusal = std::get_if<device::Refusal>(&built))
        device::refusalMessage(*refusal);
    if (const auto *request = std::get_if<device::Request>(&built)) {
        const QByteArray &body = request->body;
        if (body.size() < 3 || quint8(body[1]) != quint8(command.code) ||
            quint8(body[2]) != quint8(body.size() - 3) || body.size() > 258)
            std::abort();
        const auto form = command.alwaysRtu ? codec::Framing::Rtu : framing;
        if (request->frame != codec::frame(body, form))
            std::abort();
    }
    return 0;
}
