#include "automation/ParameterTransfer.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <memory>
#include <variant>

#include "codec/HexText.h"
#include "transmission/Engine.h"

namespace automation {

namespace {

using device::Entry;
using device::SettingKey;
using transmission::Exchange;
using transmission::Reply;
using Result = EntryResult::Result;

bool isBinding(const SettingKey &key) {
    return key.command->layout == device::Layout::Binding;
}

// Why an exchange did not end in a good reply; nothing when it did.
std::optional<Stop> stopOf(const SettingKey &key, const Exchange &e) {
    if (!e.portProblem.isEmpty())
        return Stop{Stop::Kind::PortLost, key, std::nullopt, e.portProblem, std::nullopt};
    if (e.reply && e.reply->status == Reply::Status::Failure)
        return Stop{Stop::Kind::Refused, key, e.reply->error, {}, std::nullopt};
    if (!e.reply || e.reply->status != Reply::Status::Good)
        return Stop{Stop::Kind::NoReply, key, std::nullopt, {}, std::nullopt};
    return std::nullopt;
}

// The data of the good reply with this code among the exchange's bytes. The reply says what it
// carries only for the values the window shows; a binding's body is read from its frame.
std::optional<QByteArray> replyData(const Exchange &e, quint8 code) {
    transmission::ReplyReader reader;
    if (e.reply && e.reply->address)
        reader.expect(*e.reply->address, code);
    std::vector<transmission::ReplyFrame> frames = reader.feed(e.received);
    for (const auto &frame : frames)
        if (frame.kind == transmission::ReplyFrame::Kind::Reply && frame.body.size() >= 3 &&
            quint8(frame.body[1]) == code)
            return frame.body.mid(3);
    return std::nullopt;
}

// What an answered query says of the setting: its value (nothing for a binding pattern without
// a binding), or why reading stops there.
std::variant<std::optional<QString>, Stop> valueOf(const SettingKey &key, const Exchange &e,
                                                   const Drive &drive) {
    // The device answers "data address invalid" for a pattern without a binding.
    if (isBinding(key) && e.reply && e.reply->status == Reply::Status::Failure &&
        e.reply->error == 0x02)
        return std::optional<QString>();
    if (auto stop = stopOf(key, e))
        return *stop;
    const Stop unusable{Stop::Kind::NoReply, key, std::nullopt, {}, std::nullopt};
    switch (key.command->layout) {
    case device::Layout::Binding: {
        const auto data = replyData(e, quint8(device::FunctionCode::GetBinding));
        if (!data || data->size() < 3 || quint8(data->at(0)) != key.pattern)
            return unusable;
        return std::optional(codec::FormatHexText(data->mid(1)).trimmed());
    }
    case device::Layout::HexByte: {
        // The address: the drive answered the handshake at the address asked.
        const auto value = device::checkValue(key, drive.address);
        if (const auto *text = std::get_if<QString>(&value))
            return std::optional(*text);
        return unusable;
    }
    case device::Layout::BaudRateCode:
        if (!e.reply->value)
            return unusable;
        return device::lineSpeedOfCode(*e.reply->value);
    default:
        if (!e.reply->value)
            return unusable;
        return std::optional(QString::number(*e.reply->value));
    }
}

struct ReadJob {
    transmission::Engine &engine;
    Drive drive;
    std::vector<SettingKey> keys;
    size_t next = 0;
    ReadOutcome out;
    std::function<void(const ReadOutcome &)> done;
};

void readNext(const std::shared_ptr<ReadJob> &job) {
    while (job->next < job->keys.size()) {
        const SettingKey key = job->keys[job->next++];
        if (!key.readable()) {
            job->out.set.put({key, std::nullopt});
            continue;
        }
        const device::BuildResult built =
            device::queryRequest(key, job->drive.address, job->drive.framing);
        const auto *request = std::get_if<device::Request>(&built);
        if (!request) {
            const auto *refusal = std::get_if<device::Refusal>(&built);
            job->out.stop = Stop{Stop::Kind::NotBuilt,
                                 key,
                                 std::nullopt,
                                 {},
                                 refusal ? std::optional(*refusal) : std::nullopt};
            break;
        }
        job->engine.exchange({request->frame, request->body, job->drive.timeoutMs, true},
                             [job, key](const Exchange &e) {
                                 const auto value = valueOf(key, e, job->drive);
                                 if (const auto *stop = std::get_if<Stop>(&value)) {
                                     job->out.stop = *stop;
                                     job->done(job->out);
                                     return;
                                 }
                                 const auto &text = std::get<std::optional<QString>>(value);
                                 if (text || !isBinding(key))
                                     job->out.set.put({key, text});
                                 readNext(job);
                             });
        return;
    }
    job->done(job->out);
}

EntryResult resultFor(const Entry &entry, Result result) {
    return {.key = entry.key, .value = entry.value.value_or(QString()), .result = result};
}

struct WriteJob {
    transmission::Engine &engine;
    Drive drive;
    std::vector<Entry> entries;
    size_t next = 0;
    WriteOutcome out;
    std::function<void(const WriteOutcome &)> done;
    std::function<void(const EntryResult &)> progress;

    void report(const EntryResult &result) {
        out.entries.push_back(result);
        if (progress)
            progress(result);
    }
    // The entry ended the restore: the rest is not sent.
    void stop(const EntryResult &result) {
        report(result);
        for (size_t i = next + 1; i < entries.size(); ++i)
            report(resultFor(entries[i], Result::NotSent));
        done(out);
    }
};

void writeNext(const std::shared_ptr<WriteJob> &job);

void fail(const std::shared_ptr<WriteJob> &job, EntryResult result, const Stop &stop) {
    result.result = stop.kind == Stop::Kind::Refused    ? Result::Refused
                    : stop.kind == Stop::Kind::PortLost ? Result::PortLost
                                                        : Result::NotAnswered;
    result.error = stop.error;
    result.portProblem = stop.portProblem;
    job->stop(result);
}

void readBack(const std::shared_ptr<WriteJob> &job, EntryResult result) {
    const device::BuildResult built =
        device::queryRequest(result.key, job->drive.address, job->drive.framing);
    const auto *request = std::get_if<device::Request>(&built);
    if (!request) {
        fail(job, result, Stop{Stop::Kind::NotBuilt, result.key, std::nullopt, {}, std::nullopt});
        return;
    }
    job->engine.exchange({request->frame, request->body, job->drive.timeoutMs, false},
                         [job, result](const Exchange &e) mutable {
                             auto value = valueOf(result.key, e, job->drive);
                             if (const auto *stop = std::get_if<Stop>(&value)) {
                                 fail(job, result, *stop);
                                 return;
                             }
                             result.readBack = std::get<std::optional<QString>>(value);
                             result.result = result.readBack == result.value
                                                 ? Result::Confirmed
                                                 : Result::ReadBackDiffers;
                             job->report(result);
                             ++job->next;
                             writeNext(job);
                         });
}

// A new address or line speed changes how the drive is reached from now on.
void follow(transmission::Engine &engine, Drive &drive, const EntryResult &result) {
    using device::FunctionCode;
    if (result.key.command->code == FunctionCode::SetAddress) {
        drive.address = result.value;
    } else if (result.key.command->code == FunctionCode::SetBaudRate) {
        QStringList settings = engine.portSettings().split(u',');
        settings[0] = result.value;
        engine.changePortSettings(settings.join(u','));
    }
}

void writeNext(const std::shared_ptr<WriteJob> &job) {
    for (; job->next < job->entries.size(); ++job->next) {
        const Entry &entry = job->entries[job->next];
        EntryResult result = resultFor(entry, Result::NoValue);
        if (!entry.value) {
            job->report(result);
            continue;
        }
        const device::BuildResult built =
            device::writeRequest(entry.key, *entry.value, job->drive.address, job->drive.framing);
        const auto *request = std::get_if<device::Request>(&built);
        if (!request) {
            fail(job, result, Stop{Stop::Kind::NotBuilt, entry.key, std::nullopt, {}, {}});
            return;
        }
        job->engine.exchange({request->frame, request->body, job->drive.timeoutMs, false},
                             [job, result](const Exchange &e) mutable {
                                 if (const auto stop = stopOf(result.key, e)) {
                                     fail(job, result, *stop);
                                     return;
                                 }
                                 result.written = true;
                                 follow(job->engine, job->drive, result);
                                 if (result.key.readable()) {
                                     readBack(job, result);
                                     return;
                                 }
                                 result.result = Result::WrittenOnly;
                                 job->report(result);
                                 ++job->next;
                                 writeNext(job);
                             });
        return;
    }
    job->done(job->out);
}

struct BackupJob {
    transmission::Engine &engine;
    QStringList addresses;
    QString folder;
    Drive drive;
    QString tool, port;
    bool withLine;
    std::vector<BackupResult> results;
    std::function<void(const std::vector<BackupResult> &)> done;

    BackupResult resultFor(const QString &address, std::optional<Stop> stop) const {
        return {address, QDir(folder).filePath(backupFileName(address)), std::move(stop), {}};
    }
};

void backupNext(const std::shared_ptr<BackupJob> &job) {
    const qsizetype index = qsizetype(job->results.size());
    if (index == job->addresses.size()) {
        job->done(job->results);
        return;
    }
    Drive drive = job->drive;
    drive.address = job->addresses[index];
    readSet(job->engine, drive, job->withLine, [job, index](const ReadOutcome &read) {
        BackupResult result = job->resultFor(job->addresses[index], read.stop);
        if (!read.stop) {
            device::ParameterSet set = read.set;
            set.header.tool = job->tool;
            set.header.port = job->port;
            set.header.time = QDateTime::currentDateTime();
            result.saveError = device::saveSet(result.path, set);
        }
        job->results.push_back(result);
        // Past a lost port no drive can answer.
        if (read.stop && read.stop->kind == Stop::Kind::PortLost)
            for (qsizetype i = index + 1; i < job->addresses.size(); ++i)
                job->results.push_back(job->resultFor(job->addresses[i], read.stop));
        backupNext(job);
    });
}

} // namespace

void readSet(transmission::Engine &engine, const Drive &drive, bool withLine,
             std::function<void(const ReadOutcome &)> done) {
    auto job = std::make_shared<ReadJob>(
        ReadJob{engine, drive, device::settingKeys(withLine), 0, {}, std::move(done)});
    device::SetHeader &header = job->out.set.header;
    header.address = QString::number(drive.address.toUInt(nullptr, 16), 16).toUpper();
    header.framing = drive.framing;
    header.lineSpeed = engine.portBaudRate();
    readNext(job);
}

bool WriteOutcome::complete() const {
    return std::all_of(entries.begin(), entries.end(), [](const EntryResult &r) {
        return r.result == Result::Confirmed || r.result == Result::WrittenOnly ||
               r.result == Result::NoValue;
    });
}

bool WriteOutcome::stopped() const {
    return std::any_of(entries.begin(), entries.end(), [](const EntryResult &r) {
        return r.result == Result::Refused || r.result == Result::NotAnswered ||
               r.result == Result::PortLost;
    });
}

std::vector<Entry> writeOrder(std::vector<Entry> entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const auto rank = [](const Entry &e) {
            switch (e.key.command->code) {
            case device::FunctionCode::SetAddress:
                return 1;
            case device::FunctionCode::SetBaudRate:
                return 2;
            default:
                return 0;
            }
        };
        return rank(a) < rank(b);
    });
    return entries;
}

void writeSet(transmission::Engine &engine, const Drive &drive, std::vector<Entry> entries,
              std::function<void(const WriteOutcome &)> done,
              std::function<void(const EntryResult &)> progress) {
    auto job = std::make_shared<WriteJob>(WriteJob{engine,
                                                   drive,
                                                   writeOrder(std::move(entries)),
                                                   0,
                                                   {},
                                                   std::move(done),
                                                   std::move(progress)});
    writeNext(job);
}

QString backupFileName(const QString &address) {
    return QStringLiteral("drive-%1.json")
        .arg(QString::number(address.toUInt(nullptr, 16), 16).toUpper());
}

void backupDrives(transmission::Engine &engine, const QStringList &addresses, const QString &folder,
                  const Drive &drive, const QString &tool, const QString &port, bool withLine,
                  std::function<void(const std::vector<BackupResult> &)> done) {
    backupNext(std::make_shared<BackupJob>(
        BackupJob{engine, addresses, folder, drive, tool, port, withLine, {}, std::move(done)}));
}

QString resultText(const EntryResult &r) {
    using Result = EntryResult::Result;
    const auto t = [](const char *source) {
        return QCoreApplication::translate("automation", source);
    };
    switch (r.result) {
    case Result::Confirmed:
        return t(QT_TRANSLATE_NOOP("automation", "已写入并确认"));
    case Result::WrittenOnly:
        return t(QT_TRANSLATE_NOOP("automation", "已写入，不能回读"));
    case Result::ReadBackDiffers:
        return t(QT_TRANSLATE_NOOP("automation", "已写入，但回读为 %1"))
            .arg(r.readBack.value_or(QStringLiteral("?")));
    case Result::Refused:
        return t(QT_TRANSLATE_NOOP("automation", "设备拒绝，错误码 %1"))
            .arg(QStringLiteral("%1").arg(r.error.value_or(0), 2, 16, QLatin1Char('0')).toUpper());
    case Result::NotAnswered:
        return r.written ? t(QT_TRANSLATE_NOOP("automation", "已写入，回读无回复"))
                         : t(QT_TRANSLATE_NOOP("automation", "无回复"));
    case Result::PortLost:
        return t(QT_TRANSLATE_NOOP("automation", "串口断开：%1")).arg(r.portProblem);
    case Result::NotSent:
        return t(QT_TRANSLATE_NOOP("automation", "未发送"));
    case Result::NoValue:
        return t(QT_TRANSLATE_NOOP("automation", "无值，未写入"));
    }
    return {};
}

} // namespace automation
