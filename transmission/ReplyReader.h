#pragma once
// Splits received bytes into the device's reply frames, as the protocol table describes them:
//   long reply     address, code, count, count data bytes, CRC        (5 + count bytes)
//   short reply    address, code                                       (2 bytes, no CRC)
//   failure reply  address, code | 0x80, error, CRC                    (5 bytes)
//   ASCII reply    ":", hex digit pairs, LRC, CR LF
// and the standard Modbus replies to a register-mapped request (0x03 read: 5 + count bytes;
// 0x10 write: 8 bytes). Bytes that start no frame (line noise) are skipped until a frame whose
// check holds; a frame cut at the end of the bytes waits for its rest.
//
// A short reply carries no check, and two bytes of noise, of a damaged frame or of an ASCII
// reply whose ":" was lost look like one all too often: it is believed only from an address a
// request went to (expect). Noise is no news either: a frame failing its check, or cut short, is
// reported only when it can be the answer to a request that went out (its address asked, its code
// the request's); otherwise it is dropped with the noise. A frame whose check holds is never kept
// waiting behind the start of one that has not completed.

#include <QByteArray>
#include <QByteArrayView>
#include <bitset>
#include <optional>
#include <vector>

namespace transmission {

struct ReplyFrame {
    enum class Kind {
        Reply,       // complete, and its check holds (a short reply has none)
        Failure,     // the device refused the command: address, code | 0x80, error
        CheckFailed, // complete, but its CRC or LRC does not hold
        Incomplete,  // the start of a reply whose rest never came
    };
    Kind kind = Kind::Reply;
    bool ascii = false;
    QByteArray bytes; // as they travelled
    QByteArray body;  // address, code, count, data: without CRC or LRC, an ASCII frame decoded
};

class ReplyReader {
public:
    // Takes received bytes; returns the frames they complete, in order.
    std::vector<ReplyFrame> feed(QByteArrayView bytes);
    // Nothing more came: a reply still waiting for its rest is reported incomplete; bytes that
    // cannot be the start of a reply are dropped.
    std::vector<ReplyFrame> flush();
    bool waiting() const { return !m_buffer.isEmpty(); }
    // The bytes kept for a reply's rest.
    QByteArrayView pending() const { return m_buffer; }
    // How many more bytes the reply waiting for its rest needs, as far as its start tells.
    std::optional<qsizetype> missing() const { return m_missing; }
    // Forgets received bytes still waiting (the addresses asked stay).
    void clear() { m_buffer.clear(); }
    // A request with this code went to this address: short replies from it are believed, and
    // damaged frames with this address and code are reported.
    void expect(quint8 address, quint8 code) {
        m_asked.set(address);
        m_askedCodes.set(address * 256u + code);
    }
    // A request went to this address, its code unknown (a frame typed by hand too short to say).
    void expectFrom(quint8 address) { m_asked.set(address); }

private:
    std::vector<ReplyFrame> scan(bool final);
    // Whether a damaged frame is news: it may answer a request that went out.
    bool mayAnswer(const ReplyFrame &frame) const;

    QByteArray m_buffer;
    std::optional<qsizetype> m_missing;
    std::bitset<256> m_asked;
    std::bitset<256 * 256> m_askedCodes;
};

} // namespace transmission
