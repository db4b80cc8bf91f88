#include "automation/CommandListFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include "codec/GbkText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace automation {

namespace {

// Calls line(view) for each list line of the bytes: a line ends at CR or CR LF, and a line end
// right at the end starts no further line.
template <class Line> void eachLine(QByteArrayView bytes, Line line) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r')
            continue;
        line(bytes.sliced(start, i - start));
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        line(bytes.sliced(start));
}

// Writes all the bytes, or says why not in the system's words.
std::optional<QString> writeAll(int fd, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return qt_error_string(n < 0 ? errno : EIO);
        bytes = bytes.sliced(n);
    }
    return std::nullopt;
}

} // namespace

QStringList listLinesFromBytes(const QByteArray &bytes) {
    // Each line is decoded on its own, so a damaged character cannot swallow a line end. CR never
    // occurs inside a GBK character (trail bytes are 0x40 and above), so splitting bytes first is
    // safe for every valid file.
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    QStringList lines;
    eachLine(bytes, [&](QByteArrayView line) { lines << decoder.decode(line); });
    return lines;
}

qsizetype listLineCount(QByteArrayView bytes) {
    qsizetype lines = 0;
    eachLine(bytes, [&lines](QByteArrayView) { ++lines; });
    return lines;
}

bool FileExists(const QString &path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

ListFileRead ReadFileToList(const QString &path, std::optional<qsizetype> maxLines) {
    using Failure = ListFileRead::Failure;
    const auto failed = [](Failure failure, const QString &error, qint64 size = 0) {
        return ListFileRead{std::nullopt, failure, error, size};
    };
    // Opened without waiting (a named pipe would wait for a writer), then judged by what was
    // opened, so nothing can be put in its place between a look and the read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(Failure::CannotRead, qt_error_string(errno));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(Failure::CannotRead, file.errorString());
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return failed(Failure::CannotRead, qt_error_string(errno));
    if (!S_ISREG(info.st_mode))
        return failed(Failure::NotRegularFile,
                      S_ISDIR(info.st_mode) ? qt_error_string(EISDIR) : QString());
    if (info.st_size > kMaxListFileBytes)
        return failed(Failure::TooLarge, {}, info.st_size);
    // One byte more than the limit tells a file that grew since it was looked at.
    const QByteArray bytes = file.read(kMaxListFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failed(Failure::CannotRead, file.errorString());
    if (bytes.size() > kMaxListFileBytes)
        return failed(Failure::TooLarge, {}, qMax<qint64>(bytes.size(), info.st_size));
    if (maxLines)
        if (const qsizetype lines = listLineCount(bytes); lines > *maxLines)
            return failed(Failure::TooManyLines, {}, lines);
    return {listLinesFromBytes(bytes), Failure::CannotRead, {}, 0};
}

bool SaveLine(QIODevice &file, const QString &line) {
    if (line.isEmpty())
        return false;
    const QByteArray bytes = codec::gbkEncode(line) + "\r\n";
    return file.write(bytes) == bytes.size();
}

ListFileSave SaveList(const QString &path, const QStringList &lines) {
    using Outcome = ListFileSave::Outcome;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    int written = 0;
    for (const QString &line : lines)
        written += SaveLine(buffer, line) ? 1 : 0;
    if (written == 0) {
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
    // The bytes go to the file by write(2) itself: Qt's own writing reports a write the disk cut
    // short as "Unknown error", and its commit() reports success after a failed write. Synced
    // before the old file is replaced.
    std::optional<QString> error = writeAll(file.handle(), bytes);
    if (!error && ::fsync(file.handle()) != 0)
        error = qt_error_string(errno);
    if (error) {
        file.cancelWriting();
        return {Outcome::Failed, 0, *error};
    }
    if (!file.commit())
        return {Outcome::Failed, 0, file.errorString()};
    return {Outcome::Saved, written, {}};
}

} // namespace automation
