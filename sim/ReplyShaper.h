#pragma once
// How replies go onto the line: after a delay, in pieces with short gaps between them, and with
// noise (random bytes before a reply, now and then a corrupted byte). Seeded, so a run with the
// same seed and the same requests puts the same bytes on the line.

#include <QByteArray>
#include <QRandomGenerator>
#include <vector>

namespace sim {

struct ShapeOptions {
    int replyDelayMs = 0;
    bool split = false;
    bool noise = false;
};

class ReplyShaper {
public:
    static constexpr int kSplitGapMs = 5;

    struct Piece {
        int delayMs; // after the request for the first piece, after the previous piece otherwise
        QByteArray bytes;
    };

    ReplyShaper(ShapeOptions options, quint32 seed) : m_options(options), m_random(seed) {}

    std::vector<Piece> shape(const QByteArray &reply);

private:
    ShapeOptions m_options;
    QRandomGenerator m_random;
};

// What the line carries when several drives answer one request: no two turn round equally fast,
// so each starts a byte time after the one before it, and where their bytes overlap the line
// shows them OR-ed. Even identical replies come out damaged.
QByteArray collide(const std::vector<QByteArray> &replies);

} // namespace sim
