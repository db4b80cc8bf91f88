// The numeric reading rule on any text, and the integer readings every box goes through: no
// undefined behaviour, and a value is only ever given when it fits.

#include <cmath>
#include <cstdlib>

#include "codec/NumericText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = codec::readNumber(text);
    if (std::isnan(value))
        std::abort(); // the rule reads digits: never not-a-number
    if (const auto integer = codec::readInteger<qint32>(text))
        if (std::fabs(double(*integer) - value) > 0.5)
            std::abort();
    codec::readInteger<qint64>(text);
    codec::readInteger<quint8>(text);
    codec::readHexInteger<quint32>(text);
    codec::readHexInteger<qint64>(text);
    return 0;
}
