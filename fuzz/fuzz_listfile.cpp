// Command-list file bytes of any kind: split into lines and decoded; saving those lines and reading
// them again gives one line for each non-empty line.

#include <QBuffer>
#include <cstdlib>

#include "automation/CommandListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = automation::listLinesFromBytes(bytes);
    if (lines.size() > bytes.size())
        std::abort();
    QByteArray saved;
    QBuffer buffer(&saved);
    buffer.open(QIODevice::WriteOnly);
    for (const QString &line : lines)
        automation::SaveLine(buffer, line);
    // A line holds no CR, and no character is written as one.
    if (automation::listLinesFromBytes(saved).size() != lines.size() - lines.count(QString()))
        std::abort();
    return 0;
}
