#pragma once
// The input pattern of an IO replacement binding, from the text of the pattern selector:
// five characters standing for IN5 IN4 IN3 IN2 IN1 from left to right. A character that is
// exactly "1" adds its input's weight (IN1 1, IN2 2, IN3 4, IN4 8, IN5 16); any other character,
// a missing one in a shorter text, and characters after the fifth add nothing.

#include <QString>

namespace device {

inline quint8 InputPattern(const QString &text) {
    quint8 pattern = 0;
    for (int position = 0; position < 5 && position < text.size(); ++position)
        if (text[position] == u'1')
            pattern |= quint8(1u << (4 - position));
    return pattern;
}

} // namespace device
