#pragma once
// Command-list text files: one list line per text line, in the GBK code page, each line ended by
// CR LF, no header and no escaping. Files written by other installations of the tool load
// unchanged: on reading a line ends at CR or at CR LF, a lone LF stays inside its line, and every
// text line, an empty one too, becomes one list line. Saving leaves empty lines out.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

namespace automation {

// The list lines held by a file's bytes. A line end right at the end of the bytes does not start
// another (empty) line.
QStringList listLinesFromBytes(const QByteArray &bytes);

// True when something (a file or a folder) exists at the path; false for an empty path.
bool FileExists(const QString &path);

// The number of list lines in the bytes, as listLinesFromBytes would make them, without making
// them.
qsizetype listLineCount(QByteArrayView bytes);

// The largest list file read: far above any real list (a 1 MB file of frame lines is some 60,000
// lines), and small enough that the list shows it at once.
constexpr qint64 kMaxListFileBytes = 1024 * 1024;
// The most lines the window's list takes from a file: a 1 MB file of frame lines. Each row of the
// list costs some 300 bytes and a microsecond, so a file of a million bare line ends would take
// some 200 MB and the window for a second.
constexpr qsizetype kMaxListLines = 65536;

struct ListFileRead {
    enum class Failure {
        CannotRead,     // error says why
        NotRegularFile, // a folder, a named pipe, a device ...
        TooLarge,       // above kMaxListFileBytes; size says how large
        TooManyLines,   // above the lines asked for; size says how many lines
    };
    std::optional<QStringList> lines; // nothing when the file could not be read
    Failure failure = Failure::CannotRead;
    QString error; // the system's reason, when it gave one
    qint64 size = 0;
};

// Reads the whole file first, so a failure leaves the caller's list untouched. Only a regular file
// of at most kMaxListFileBytes is read, and nothing waits: a named pipe is refused, not opened
// for a writer to come. A file of more than maxLines lines (when given) is refused before any
// line is made.
ListFileRead ReadFileToList(const QString &path, std::optional<qsizetype> maxLines = {});

// Writes one list line, GBK and CR LF, to an open file. An empty line is not written (false).
// False also when the device refuses the bytes.
bool SaveLine(QIODevice &file, const QString &line);

struct ListFileSave {
    enum class Outcome {
        Saved,      // the file now holds the list's lines
        Removed,    // nothing to write: the file that stood at the path was removed
        NothingNew, // nothing to write and no file at the path: none was created
        Failed,     // nothing changed on disk; error says why
    };
    Outcome outcome;
    int linesWritten = 0;
    QString error;
};

// Saves the list as a whole or not at all: the lines go to a temporary file beside the target,
// which replaces the target only once every line is written and synced to disk (a full disk leaves
// the old file as it was). A list without any non-empty line
// leaves no file at the path. The caller has already confirmed replacing an existing file.
ListFileSave SaveList(const QString &path, const QStringList &lines);

} // namespace automation
