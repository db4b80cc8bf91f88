#include "automation/CommandListFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

#include "codec/GbkText.h"

namespace automation {

QStringList listLinesFromBytes(const QByteArray &bytes) {
    // Each line is decoded on its own, so a damaged character cannot swallow a line end. CR never
    // occurs inside a GBK character (trail bytes are 0x40 and above), so splitting bytes first is
    // safe for every valid file.
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r')
            continue;
        lines << decoder.decode(QByteArrayView(bytes).sliced(start, i - start));
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines << decoder.decode(QByteArrayView(bytes).sliced(start));
    return lines;
}

bool FileExists(const QString &path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

ListFileRead ReadFileToList(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, file.errorString()};
    return {automation::listLinesFromBytes(bytes), {}};
}

bool SaveLine(QIODevice &file, const QString &line) {
    if (line.isEmpty())
        return false;
    const QByteArray bytes = codec::gbkEncode(line) + "\r\n";
    return file.write(bytes) == bytes.size();
}

ListFileSave SaveList(const QString &path, const QStringList &lines) {
    using Outcome = ListFileSave::Outcome;
    const bool anythingToWrite =
        std::any_of(lines.cbegin(), lines.cend(), [](const QString &l) { return !l.isEmpty(); });
    if (!anythingToWrite) {
        if (!FileExists(path))
            return {Outcome::NothingNew, 0, {}};
        QFile old(path);
        if (!old.remove())
            return {Outcome::Failed, 0, old.errorString()};
        return {Outcome::Removed, 0, {}};
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {Outcome::Failed, 0, file.errorString()};
    int written = 0;
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        if (!SaveLine(file, line)) {
            const QString error = file.errorString();
            file.cancelWriting();
            return {Outcome::Failed, 0, error};
        }
        ++written;
    }
    if (!file.commit())
        return {Outcome::Failed, 0, file.errorString()};
    return {Outcome::Saved, written, {}};
}

} // namespace automation
