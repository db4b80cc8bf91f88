#pragma once
// Parameter sets to and from a drive, through the exchange engine: reading a drive into a set,
// writing a set's entries with each value read back where the device can be asked for it, and
// backing up several drives into a folder. The window and the command line both build on these;
// each runs from the event loop and ends by calling `done` once.
//
// Reads are background exchanges (a set is 40-odd queries: the panes stay readable, the traffic
// record has them all); writes and their read-backs are foreground, so the engineer sees them.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "codec/Framing.h"
#include "device/ParameterSet.h"

namespace transmission {
class Engine;
}

namespace automation {

struct Drive {
    QString address = QStringLiteral("1"); // hex digits
    codec::Framing framing = codec::Framing::Rtu;
    int timeoutMs = 0; // 0: the engine's default
};

// Where and why talking to the drive ended early.
struct Stop {
    enum class Kind {
        Refused,  // error: the device's error code
        NoReply,  // nothing, or only a damaged or incomplete reply, within the timeout
        PortLost, // portProblem: the reason
        NotBuilt, // the request could not be built (refusal)
    };
    Kind kind;
    device::SettingKey key;
    std::optional<quint8> error;
    QString portProblem;
    std::optional<device::Refusal> refusal;
};

struct ReadOutcome {
    device::ParameterSet set; // what was read before any stop
    std::optional<Stop> stop;
};

// Reads every readable setting of the drive; the others are held with no value ("cannot be read
// back"). The header gets the address, the framing and the port's line speed; the caller adds the
// tool, the port's name and the time.
void readSet(transmission::Engine &engine, const Drive &drive, bool withLine,
             std::function<void(const ReadOutcome &)> done);

struct EntryResult {
    enum class Result {
        Confirmed,       // written, and the device answers the value written
        WrittenOnly,     // written; the device cannot be asked for it
        ReadBackDiffers, // written, but the device answers another value (readBack)
        Refused,         // the device refused the write (error)
        NotAnswered,     // no reply to the write, or to its read-back (written is then true)
        PortLost,        // the port went away (portProblem)
        NotSent,         // the restore stopped before it
        NoValue,         // the set holds no value for it: nothing to write
    };
    device::SettingKey key;
    QString value;
    Result result = Result::NotSent;
    bool written = false; // the device acknowledged the write
    std::optional<QString> readBack = std::nullopt;
    std::optional<quint8> error = std::nullopt;
    QString portProblem = {};
};

// What became of an entry, worded for the engineer in the reader's language (the window and the
// command line alike).
QString resultText(const EntryResult &result);

struct WriteOutcome {
    std::vector<EntryResult> entries; // one per entry asked, in the order written
    // Every entry written and, where it can be read back, confirmed.
    bool complete() const;
    // The device refused or stopped answering (or the port went away): the rest was not sent.
    bool stopped() const;
};

// The order a restore writes in: the address and then the line speed last, as each changes how
// the drive is reached.
std::vector<device::Entry> writeOrder(std::vector<device::Entry> entries);

// Writes the entries in writeOrder, each read back where it can be; stops at once at a refusal,
// a missing reply or a lost port. A new address is used from its write on, a new line speed
// (the port follows it) likewise. `progress` is told of each entry as it ends.
void writeSet(transmission::Engine &engine, const Drive &drive, std::vector<device::Entry> entries,
              std::function<void(const WriteOutcome &)> done,
              std::function<void(const EntryResult &)> progress = {});

struct BackupResult {
    QString address;
    QString path;                     // the file written, or that would have been
    std::optional<Stop> stop;         // reading stopped: nothing saved
    std::optional<QString> saveError; // the file could not be written: the reason
};

// Backs up each drive into `folder`, one file per address ("drive-1F.json"), reached with the
// framing and timeout of `drive`; the files' headers name `tool` and `port`. Goes on with the next
// drive after one that does not answer; stops at a lost port.
void backupDrives(transmission::Engine &engine, const QStringList &addresses, const QString &folder,
                  const Drive &drive, const QString &tool, const QString &port, bool withLine,
                  std::function<void(const std::vector<BackupResult> &)> done);
QString backupFileName(const QString &address);

} // namespace automation
