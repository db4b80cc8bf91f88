// The reply reader and what a frame means, on any received bytes cut into any reads: frames come
// in order, each made of received bytes and none overlapping another; only a frame whose check
// holds carries a value; a whole RTU frame whose check holds is never kept waiting; nothing waits
// once nothing more comes.

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

#include "codec/Framing.h"
#include "device/Protocol.h"
#include "transmission/Reply.h"
#include "transmission/ReplyReader.h"

using transmission::ReplyFrame;

namespace {

QByteArray received;
qsizetype consumed = 0; // where the next frame may start in `received`

void check(const std::vector<ReplyFrame> &frames) {
    for (const ReplyFrame &frame : frames) {
        const qsizetype at = received.indexOf(frame.bytes, consumed);
        if (frame.bytes.isEmpty() || at < 0)
            std::abort();
        consumed = at + frame.bytes.size();
        const transmission::Reply reply = transmission::readReply(frame);
        transmission::messageOf(reply);
        const bool carries = reply.value || reply.motion || reply.inputs;
        if (carries && frame.kind != ReplyFrame::Kind::Reply)
            std::abort();
        // A carrying RTU frame of more than two bytes passed its CRC.
        if (carries && !frame.ascii && frame.bytes.size() > 2 && !codec::hasValidCrc(frame.bytes))
            std::abort();
        if (carries && frame.ascii && !codec::decodeAsciiFrame(frame.bytes))
            std::abort();
    }
}

// The length of the RTU frame of this device's form that may start at `at`, as its head says.
qsizetype rtuLength(QByteArrayView s, qsizetype at) {
    if (s.size() - at < 3)
        return 0;
    const auto code = quint8(s[at + 1]);
    if (code & device::kFailureBit)
        return device::findCommand(code & ~device::kFailureBit) ? device::kFailureReplyBytes : 0;
    if (code == device::kWriteMultipleRegisters)
        return device::kWriteRegistersReplyBytes;
    const device::Command *command = device::findCommand(code);
    if (code != device::kReadHoldingRegisters &&
        (!command || command->reply == device::ReplyForm::Short))
        return 0;
    return device::kLongFrameOverhead + quint8(s[at + 2]);
}

// Bytes kept by the reader hold no whole frame whose CRC holds: it would be kept waiting.
void checkNothingHeldBack(QByteArrayView pending) {
    for (qsizetype at = 0; at < pending.size(); ++at) {
        const qsizetype length = rtuLength(pending, at);
        if (length > 0 && at + length <= pending.size() &&
            codec::hasValidCrc(pending.sliced(at, length)))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider input(data, size);
    transmission::ReplyReader reader;
    reader.expectFrom(input.ConsumeIntegral<quint8>());
    received.clear();
    consumed = 0;
    while (input.remaining_bytes() > 0) {
        const std::string read = input.ConsumeRandomLengthString(600);
        received.append(read.data(), qsizetype(read.size()));
        check(reader.feed(QByteArrayView(read.data(), qsizetype(read.size()))));
        checkNothingHeldBack(reader.pending());
        if (input.ConsumeBool())
            check(reader.flush());
    }
    check(reader.flush());
    if (reader.waiting())
        std::abort();
    return 0;
}
