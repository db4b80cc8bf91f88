#include "transmission/ReplyReader.h"

#include <optional>

#include "codec/Bytes.h"
#include "codec/Framing.h"
#include "device/Protocol.h"

namespace transmission {

namespace {

using Kind = ReplyFrame::Kind;

// ":", the pairs of a body of up to 258 bytes and its LRC, CR LF.
constexpr qsizetype kMaxAsciiLength = 1 + 2 * 259 + 2;

enum class Scan {
    None,     // no frame starts here
    Complete, // a whole frame, its check holds
    Broken,   // a whole frame whose check does not hold
    NeedMore, // the start of a frame
};

// What may start at the head of the bytes. A candidate is plausible when it looks like a reply
// of this device (its count is the one the command's reply carries); an implausible one is
// believed only when nothing better follows.
struct Candidate {
    Scan scan = Scan::None;
    qsizetype length = 0;
    bool plausible = false;
    Kind kind = Kind::Reply;
    bool checked = true; // a CRC or LRC holds (a short RTU reply carries none)
    bool ascii = false;
};

// The bytes of the hex digit pairs after ":", as far as they go.
QByteArray asciiBytes(QByteArrayView frame) {
    QByteArray out;
    for (qsizetype i = 1; i + 1 < frame.size(); i += 2) {
        const int high = codec::hexDigitValue(quint8(frame[i]));
        const int low = codec::hexDigitValue(quint8(frame[i + 1]));
        if (high < 0 || low < 0)
            break;
        out += char(high * 16 + low);
    }
    return out;
}

bool isKnownCode(quint8 code) {
    return device::findCommand(code) || code == device::kReadHoldingRegisters ||
           code == device::kWriteMultipleRegisters;
}

Candidate scanAsciiFrame(QByteArrayView s) {
    for (qsizetype i = 1; i < s.size() && i < kMaxAsciiLength; ++i) {
        if (s[i] == '\r') {
            if (i + 1 == s.size())
                return {Scan::NeedMore, 0, true};
            if (s[i + 1] != '\n')
                return {};
            const auto body = codec::decodeAsciiFrame(s.first(i + 2));
            if (!body || body->size() < 2)
                return {Scan::Broken, i + 2, i >= 7}; // address, code and LRC at least
            const bool failure = quint8(body->at(1)) & device::kFailureBit;
            return {Scan::Complete, i + 2, true, failure ? Kind::Failure : Kind::Reply};
        }
        if (codec::hexDigitValue(quint8(s[i])) < 0)
            return {};
    }
    return s.size() < kMaxAsciiLength ? Candidate{Scan::NeedMore, 0, true} : Candidate{};
}

Candidate scanAscii(QByteArrayView s) {
    Candidate c = scanAsciiFrame(s);
    c.ascii = c.scan != Scan::None;
    return c;
}

Candidate scanRtu(QByteArrayView s, const std::bitset<256> &asked) {
    if (s.size() < 2)
        return {Scan::NeedMore, 0, false};
    const auto code = quint8(s[1]);
    Candidate c{Scan::NeedMore, 0, true};
    if (code & device::kFailureBit) {
        if (!isKnownCode(code & ~device::kFailureBit))
            return {};
        c.kind = Kind::Failure;
        c.length = device::kFailureReplyBytes;
        c.plausible = s.size() >= 3 && quint8(s[2]) >= device::kFirstErrorCode &&
                      quint8(s[2]) <= device::kLastErrorCode;
    } else if (const device::Command *command = device::findCommand(code)) {
        if (command->reply == device::ReplyForm::Short)
            return asked[quint8(s[0])] ? Candidate{Scan::Complete, device::kShortReplyBytes, true,
                                                   Kind::Reply, false}
                                       : Candidate{};
        if (s.size() < 3)
            return c;
        const int count = quint8(s[2]);
        c.length = device::kLongFrameOverhead + count;
        c.plausible = !command->replyCount || count == *command->replyCount;
    } else if (code == device::kReadHoldingRegisters) {
        if (s.size() < 3)
            return c;
        const int count = quint8(s[2]);
        c.length = device::kLongFrameOverhead + count;
        c.plausible = count > 0 && count % 2 == 0;
    } else if (code == device::kWriteMultipleRegisters) {
        c.length = device::kWriteRegistersReplyBytes;
    } else {
        return {};
    }
    if (s.size() < c.length)
        return c;
    c.scan = codec::hasValidCrc(s.first(c.length)) ? Scan::Complete : Scan::Broken;
    return c;
}

Candidate candidateAt(QByteArrayView s, const std::bitset<256> &asked) {
    if (s.front() != ':')
        return scanRtu(s, asked);
    // ":" is also the address 3A of an RTU frame: a whole one whose CRC holds is read as such
    // unless a whole ASCII frame stands there.
    const Candidate ascii = scanAscii(s);
    if (ascii.scan == Scan::Complete)
        return ascii;
    const Candidate rtu = scanRtu(s, asked);
    if (rtu.scan == Scan::Complete || ascii.scan == Scan::None)
        return rtu;
    return ascii;
}

ReplyFrame frameOf(QByteArrayView bytes, Kind kind, bool ascii) {
    ReplyFrame frame;
    frame.kind = kind;
    frame.bytes = bytes.toByteArray();
    frame.ascii = ascii;
    if (frame.ascii) {
        frame.body = asciiBytes(bytes);
        if (kind == Kind::Reply || kind == Kind::Failure)
            frame.body.chop(1); // the LRC
    } else {
        const bool checked = kind != Kind::Incomplete && bytes.size() > 2;
        frame.body = checked ? frame.bytes.chopped(2) : frame.bytes;
    }
    return frame;
}

// The candidates at every position of the bytes, each looked at once however often the scan
// asks: noise makes it ask about the same positions again and again.
class Candidates {
public:
    Candidates(QByteArrayView s, const std::bitset<256> &asked)
        : m_s(s), m_asked(asked), m_found(size_t(s.size())) {}

    const Candidate &at(qsizetype i) {
        std::optional<Candidate> &found = m_found[size_t(i)];
        if (!found)
            found = candidateAt(m_s.sliced(i), m_asked);
        return *found;
    }
    // Where the next whole frame starts in [from, to), if one does; with `checkedOnly`, the next
    // one whose CRC or LRC holds.
    std::optional<qsizetype> nextComplete(qsizetype from, qsizetype to, bool checkedOnly = false) {
        for (qsizetype j = from; j < to && j < m_s.size(); ++j)
            if (at(j).scan == Scan::Complete && (at(j).checked || !checkedOnly))
                return j;
        return std::nullopt;
    }
    // Whether the plausible start of a frame that may still complete lies in [from, to).
    bool anyWaiting(qsizetype from, qsizetype to) {
        for (qsizetype j = from; j < to && j < m_s.size(); ++j)
            if (at(j).scan == Scan::NeedMore && at(j).plausible)
                return true;
        return false;
    }

private:
    QByteArrayView m_s;
    const std::bitset<256> &m_asked;
    std::vector<std::optional<Candidate>> m_found;
};

} // namespace

std::vector<ReplyFrame> ReplyReader::feed(QByteArrayView bytes) {
    m_buffer += bytes;
    return scan(false);
}

std::vector<ReplyFrame> ReplyReader::flush() {
    return scan(true);
}

bool ReplyReader::mayAnswer(const ReplyFrame &frame) const {
    if (frame.kind == Kind::Reply || frame.kind == Kind::Failure)
        return true;
    if (frame.body.size() < 2)
        return false;
    const auto address = quint8(frame.body[0]);
    const auto code = quint8(quint8(frame.body[1]) & ~device::kFailureBit);
    return m_askedCodes[address * 256u + code];
}

std::vector<ReplyFrame> ReplyReader::scan(bool final) {
    std::vector<ReplyFrame> frames;
    const QByteArrayView s(m_buffer);
    Candidates candidates(s, m_asked);
    m_missing.reset();
    auto take = [&](qsizetype from, qsizetype length, Kind kind, bool ascii) {
        ReplyFrame frame = frameOf(s.sliced(from, length), kind, ascii);
        if (mayAnswer(frame))
            frames.push_back(std::move(frame));
        return from + length;
    };
    qsizetype i = 0;
    while (i < s.size()) {
        const Candidate c = candidates.at(i);
        if (c.scan == Scan::Complete) {
            i = take(i, c.length, c.kind, c.ascii);
        } else if (c.scan == Scan::None) {
            ++i;
        } else if (c.scan == Scan::Broken) {
            // A good frame starting inside it means this was noise.
            if (const auto next = candidates.nextComplete(i + 1, i + c.length))
                i = *next;
            else if (!c.plausible)
                ++i;
            else if (!final && candidates.anyWaiting(i + 1, i + c.length) &&
                     !candidates.nextComplete(i + c.length, s.size(), true)) {
                // A frame inside it may still complete: noise before a cut reply. Not when a
                // checked frame follows: that one would be kept waiting behind it.
                break;
            }
            else
                i = take(i, c.length, Kind::CheckFailed, c.ascii);
        } else if (const auto next = candidates.nextComplete(i + 1, s.size(), c.plausible)) {
            // A start before a whole frame was noise: before a checked one even when it looked
            // plausible (a damaged byte can make it claim up to 260 bytes, and waiting for them
            // held back every reply after it).
            i = *next;
        } else if (!final) {
            if (c.length > 0)
                m_missing = c.length - (s.size() - i);
            break; // wait for the rest
        } else if (c.plausible) {
            // Its rest never came: incomplete up to the next whole frame, which is read as well.
            const qsizetype end = candidates.nextComplete(i + 1, s.size()).value_or(s.size());
            i = take(i, end - i, Kind::Incomplete, c.ascii);
        } else {
            ++i;
        }
    }
    m_buffer.remove(0, i);
    return frames;
}

} // namespace transmission
