// Hex text and GBK: reading typed hex, writing bytes as hex and as pane characters, and the GBK
// conversions both ways. Whatever is read back from what was written must be what was written.

#include <cstdlib>

#include "codec/GbkText.h"
#include "codec/HexText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);

    // Bytes written as hex text read back as the same bytes.
    if (codec::ParseHexText(codec::FormatHexText(bytes)) != bytes)
        std::abort();
    codec::ParseHexText(text);
    codec::padOddDigits(text);
    codec::HexToStr(text);
    codec::HexToStr(QString::fromLatin1(bytes.toHex()));
    codec::StrToHex(text);
    codec::displayChars(bytes);
    codec::gbkEncode(text);
    if (bytes.size() >= 2)
        codec::gbkDecodePair(quint8(bytes[0]), quint8(bytes[1]));
    return 0;
}
