#include "sim/ReplyShaper.h"

#include <algorithm>

namespace sim {

std::vector<ReplyShaper::Piece> ReplyShaper::shape(const QByteArray &reply) {
    QByteArray bytes = reply;
    if (m_options.noise && !bytes.isEmpty()) {
        if (m_random.bounded(8) == 0) { // a byte damaged on the line
            const auto at = qsizetype(m_random.bounded(quint32(bytes.size())));
            bytes[at] = char(quint8(bytes[at]) ^ quint8(1 + m_random.bounded(255)));
        }
        if (m_random.bounded(4) == 0) { // line noise before the reply
            QByteArray noise;
            for (quint32 n = 1 + m_random.bounded(3); n > 0; --n)
                noise += char(m_random.bounded(256));
            bytes.prepend(noise);
        }
    }

    std::vector<qsizetype> cuts;
    if (m_options.split && bytes.size() >= 2) {
        const auto pieces = std::min<qsizetype>(bytes.size(), 2 + m_random.bounded(2));
        while (qsizetype(cuts.size()) < pieces - 1) {
            const qsizetype cut = 1 + m_random.bounded(quint32(bytes.size() - 1));
            if (std::find(cuts.begin(), cuts.end(), cut) == cuts.end())
                cuts.push_back(cut);
        }
        std::sort(cuts.begin(), cuts.end());
    }
    cuts.push_back(bytes.size());

    std::vector<Piece> out;
    qsizetype from = 0;
    for (const qsizetype cut : cuts) {
        out.push_back(
            {out.empty() ? m_options.replyDelayMs : kSplitGapMs, bytes.mid(from, cut - from)});
        from = cut;
    }
    return out;
}

QByteArray collide(const std::vector<QByteArray> &replies) {
    qsizetype size = 0;
    for (std::size_t late = 0; late < replies.size(); ++late)
        size = std::max(size, qsizetype(late) + replies[late].size());
    QByteArray line(size, '\0');
    for (std::size_t late = 0; late < replies.size(); ++late)
        for (qsizetype i = 0; i < replies[late].size(); ++i)
            line[qsizetype(late) + i] = char(line[qsizetype(late) + i] | replies[late][i]);
    return line;
}

} // namespace sim
