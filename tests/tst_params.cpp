// Parameter sets against the virtual device over a pseudo-terminal: r7260-cli params as scripts
// run it (backup, diff, restore, refused and old files), and the real executable's 参数组 tab.

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include "device/Protocol.h"
#include "tests/support/Pty.h"
#include "tests/support/RunningTool.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

namespace {

struct Result {
    int status = -1;
    QList<QJsonObject> objects; // --json: one per line
    QString err;
    // "name=result" (restore) or the names (diff), in order.
    QStringList rows(const char *value = nullptr) const {
        QStringList list;
        for (const QJsonObject &o : objects)
            list << o["name"].toString() +
                        (value ? u'=' + o[QLatin1String(value)].toString() : QString());
        return list;
    }
};

Result cli(const QStringList &arguments) {
    QProcess program;
    program.start(QStringLiteral(R7260_CLI_PATH), arguments);
    if (!program.waitForFinished(60000))
        program.kill();
    Result result{program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                  {},
                  QString::fromUtf8(program.readAllStandardError())};
    for (const QByteArray &line : program.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            result.objects << QJsonDocument::fromJson(line).object();
    return result;
}

// A parameter-set file of the given format around the settings' JSON text.
QByteArray setFile(const QByteArray &settings, int format = 2) {
    return "{\"format\": " + QByteArray::number(format) +
           ", \"address\": \"1\", \"lineSpeed\": 9600, \"settings\": {" + settings + "}}";
}

} // namespace

class TestParams : public QObject {
    Q_OBJECT

    Sim sim;
    QTemporaryDir dir;

    QString file(const QString &name) const { return dir.filePath(name); }
    QStringList on(const QStringList &arguments, const Sim &device) const {
        return QStringList{QStringLiteral("-p"), device.path, QStringLiteral("--json"),
                           QStringLiteral("--timeout"), QStringLiteral("2000")} +
               arguments;
    }
    Result run(const QStringList &arguments) { return cli(on(arguments, sim)); }
    // The requests the device logged since the last call (--verbose: "<- " a request).
    int requestsSeen() {
        while (sim.process.waitForReadyRead(200)) {
        }
        return int(sim.process.readAllStandardError().count("<- "));
    }

private slots:
    void initTestCase() { QVERIFY(sim.start({QStringLiteral("--verbose")})); }
    void init() { requestsSeen(); }

    void backupChangeDiffRestore() {
        QCOMPARE(run({"params", "backup", file("drive.json")}).status, 0);
        QCOMPARE(run({"set-max-speed", "5000"}).status, 0);
        QCOMPARE(run({"set-end-speed", "700"}).status, 0);
        const Result diff = run({"params", "diff", file("drive.json")});
        QCOMPARE(diff.status, 4);
        QCOMPARE(diff.rows(), (QStringList{"set-max-speed", "set-end-speed"}));
        QCOMPARE(diff.objects[0]["a"].toString(), QStringLiteral("5000"));
        QCOMPARE(diff.objects[0]["b"].toString(), QStringLiteral("10000"));
        const Result one =
            run({"params", "restore", file("drive.json"), "--only", "set-max-speed"});
        QCOMPARE(one.status, 0);
        QCOMPARE(one.rows("result"), QStringList{"set-max-speed=confirmed"});
        QCOMPARE(run({"params", "diff", file("drive.json")}).rows(), QStringList{"set-end-speed"});
        const Result restore = run({"params", "restore", file("drive.json")});
        QCOMPARE(restore.status, 0);
        QVERIFY(restore.rows("result").contains("set-max-speed=confirmed"));
        QVERIFY(restore.rows("result").contains("set-end-speed=confirmed"));
        QCOMPARE(run({"params", "diff", file("drive.json")}).status, 0);
    }

    // The restore stops at once, and says what went out and what did not.
    void restoreStops_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("results");
        // clang-format off
        QTest::newRow("refused midway") << QStringList{} << 1 << QStringList{"set-start-speed=confirmed", "set-max-speed=refused", "set-end-speed=not sent"};
        QTest::newRow("no drive") << QStringList{"-a", "7", "--timeout", "200"} << 2 << QStringList{"set-start-speed=not answered", "set-max-speed=not sent", "set-end-speed=not sent"};
        // clang-format on
    }
    void restoreStops() {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QStringList, results);
        QVERIFY(
            writeBytes(file("stops.json"),
                       setFile(R"("set-start-speed": {"value": 200}, "set-max-speed": {"value": 0},
                                      "set-end-speed": {"value": 900})")));
        const Result restore = run(options + QStringList{"params", "restore", file("stops.json")});
        QCOMPARE(restore.status, status);
        QCOMPARE(restore.rows("result"), results);
        QVERIFY2(restore.err.contains("stopped at"), qPrintable(restore.err));
        QCOMPARE(run({"get-end-speed"}).objects.value(0)["value"].toInt(), 1000);
    }

    // A file of the first format loads; an entry this version does not know is named.
    void earlierFormatLoads() {
        QVERIFY(
            writeBytes(file("v1.json"), R"({"format": 1, "tool": "r7260-tool 0.9", "port": "COM1",
            "address": "1", "baud": 9600, "settings": {"set-start-speed": 321,
            "set-speed-factor": 400, "bind-inputs": {"5": "3C 00"}, "future-setting": 7}})"));
        const Result restore = run({"params", "restore", file("v1.json")});
        QCOMPARE(restore.status, 0);
        QCOMPARE(restore.rows("result"),
                 (QStringList{"set-start-speed=confirmed", "bind-inputs/5=confirmed",
                              "set-speed-factor=written"}));
        QVERIFY2(restore.err.contains("unknown entry \"future-setting\""), qPrintable(restore.err));
        QCOMPARE(run({"params", "diff", file("v1.json")}).status, 0);
    }

    // Every setting of the table written to a fresh drive and read back; the write-only ones are
    // checked in the device's own state.
    void everySettingRoundTrip() {
        Sim fresh;
        QVERIFY(fresh.start({}));
        QByteArray settings;
        QStringList expected;
        int n = 0;
        for (const device::Command &c : device::commands()) {
            if (c.setting == device::Setting::None)
                continue;
            QByteArray value = QByteArray::number(1200 + ++n);
            if (c.layout == device::Layout::Byte)
                value = "1";
            else if (c.layout == device::Layout::HexByte)
                value = "\"2\"";
            else if (c.layout == device::Layout::BaudRateCode)
                value = "19200";
            else if (c.layout == device::Layout::CanBaudRateCode)
                value = "\"250K\"";
            else if (c.layout == device::Layout::Binding)
                value = R"({"3": "31 04 00 00 27 10", "17": "3C 00"})";
            settings +=
                (n > 1 ? ", \"" : "\"") + QByteArray(c.name) + "\": {\"value\": " + value + "}";
        }
        QVERIFY(writeBytes(file("all.json"), setFile(settings)));
        const Result restore =
            cli(on({"params", "restore", "--line-settings", file("all.json")}, fresh));
        QCOMPARE(restore.status, 0);
        for (const QJsonObject &o : restore.objects)
            QVERIFY2(o["result"] == "confirmed" || o["result"] == "written",
                     qPrintable(o["name"].toString()));
        const QStringList back{"-a", "2", "-b", "19200", "--line-settings"};
        QCOMPARE(cli(on(back + QStringList{"params", "backup", file("back.json")}, fresh)).status,
                 0);
        const Result diff =
            cli({"--json", "--all", "params", "diff", file("all.json"), file("back.json")});
        QCOMPARE(diff.status, 0);
        fresh.command("status");
        QString state;
        for (const QString line : {"address", "parameters", "CAN"})
            state += fresh.waitForOutput(line);
        for (const char *expected :
             {"address 2 (hex 02), baud code 8 (19200), register base 1209", "speed factor 1211",
              "checksum check off, replies 8 bytes long, extended frame, "
              "baud code 8"})
            QVERIFY2(state.contains(QLatin1String(expected)), qPrintable(state));
    }

    // A file that cannot be taken as it stands is refused whole, naming the entry; nothing is sent.
    void malformedFilesRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        // clang-format off
        QTest::newRow("not JSON") << QByteArray("{\"format\": 2,") << "is no JSON";
        QTest::newRow("no settings") << QByteArray("{\"format\": 2}") << "no \"settings\" object";
        QTest::newRow("later format") << setFile("", 3) << "format 3 is not one";
        QTest::newRow("outside the builder's range") << setFile(R"("set-register-base": {"value": 70000})") << "set-register-base: 70000: BASE must lie between 0 and 65503";
        QTest::newRow("too long for any field") << setFile(R"("set-address": {"value": "1000000000000000000001"})") << "set-address: 1000000000000000000001: ADDRESS must lie between 0 and FF";
        QTest::newRow("pattern 32") << setFile(R"("bind-inputs": {"value": {"32": "3C 00"}})") << "bind-inputs: pattern 32 lies outside 1 to 31";
        QTest::newRow("pattern 0") << setFile(R"("bind-inputs": {"value": {"0": "3C 00"}})") << "pattern 0";
        QTest::newRow("binding not one command") << setFile(R"("bind-inputs": {"value": {"3": "31 04 00"}})") << "bind-inputs/3: 31 04 00 is not one complete command";
        QTest::newRow("number as text") << setFile(R"("set-start-speed": {"value": "100"})") << "set-start-speed: 100 is no whole number";
        QTest::newRow("fraction") << setFile(R"("set-max-speed": {"value": 1.5})") << "set-max-speed: 1.5 is no whole number";
        QTest::newRow("unknown CAN rate") << setFile(R"("can-baud-rate": {"value": "7K"})") << "can-baud-rate: 7K is no rate";
        QTest::newRow("bare value in format 2") << setFile(R"("set-end-speed": 5)") << "set-end-speed: the entry is no";
        // clang-format on
    }
    void malformedFilesRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        QVERIFY(writeBytes(file("bad.json"), bytes));
        for (const char *action : {"restore", "diff"}) {
            const Result result = run({"params", action, file("bad.json")});
            QCOMPARE(result.status, 64);
            QVERIFY2(result.err.contains(says), qPrintable(result.err));
        }
        QCOMPARE(requestsSeen(), 0);
    }

    // One file per drive; a drive that does not answer is named, and the others are saved.
    void backupDrives() {
        QVERIFY(QDir().mkpath(file("drives")));
        const Result result =
            run({"--timeout", "200", "params", "backup-drives", file("drives"), "1", "5"});
        QCOMPARE(result.status, 2);
        QCOMPARE(result.objects.size(), 2);
        QVERIFY(result.objects[0]["saved"].toBool());
        QVERIFY(!result.objects[1]["saved"].toBool());
        QVERIFY(QFileInfo::exists(file("drives/drive-1.json")));
        QVERIFY(!QFileInfo::exists(file("drives/drive-5.json")));
    }

    // A backup that cannot be saved says so and leaves what was there: a folder in the file's
    // place, and a full disk (a small tmpfs, where the system lets a test mount one).
    void unsavedBackupLeavesOldFile() {
        const Result onFolder = run({"params", "backup", dir.path()});
        QCOMPARE(onFolder.status, 64);
        QVERIFY2(onFolder.err.contains("cannot write"), qPrintable(onFolder.err));
        const QString full = file("full");
        QVERIFY(QDir().mkpath(full));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=8k", "tmpfs", full}) != 0)
            QSKIP("no tmpfs can be mounted here (needs root)");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {full}); });
        QVERIFY(writeBytes(full + "/drive.json", "old"));
        QFile filler(full + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(512, 'x')) > 0 && filler.flush()) {
        }
        filler.close();
        const Result onFull = run({"params", "backup", full + "/drive.json"});
        QCOMPARE(onFull.status, 64);
        QVERIFY2(onFull.err.contains("the file is as it was"), qPrintable(onFull.err));
        QCOMPARE(readBytes(full + "/drive.json"), QByteArray("old"));
    }

    // The window: A read from the drive, B opened from a file; only the differences show, the
    // write confirms them. R7260_SCREENSHOT_DIR=/path saves the comparison in both languages.
    void windowComparesAndWrites() {
        QCOMPARE(run({"factory-settings"}).status, 0);
        QVERIFY(writeBytes(
            file("b.json"),
            setFile(R"("set-start-speed": {"value": 150}, "set-max-speed": {"value": 8000},
                                      "set-end-speed": {"value": 1000},
                                      "bind-inputs": {"value": {}})")));
        RunningTool t(true, sim.path);
        t.show("ParamSetPanel");
        t.click("ParamSetReadA");
        QTRY_VERIFY_WITH_TIMEOUT(t.enabled("ParamSetReadA"), 20000);
        t.click("ParamSetOpenB");
        QVERIFY(t.waitForDialog());
        t.answer({}, file("b.json"));
        QTRY_COMPARE(t.rows("ParamSetTable").size(), 2);
        QCOMPARE(t.rows("ParamSetTable")[0][0], QStringLiteral("set-start-speed"));
        QCOMPARE(t.rows("ParamSetTable")[1][0], QStringLiteral("set-max-speed"));
        if (const QString shots = qEnvironmentVariable("R7260_SCREENSHOT_DIR"); !shots.isEmpty())
            for (const char *language : {"Option2", "Option1"}) {
                t.click(language);
                QTest::qWait(100);
                t.grab(
                    QStringLiteral("%1/params-%2.png").arg(shots, language[6] == '2' ? "en" : "zh"),
                    1366, 680);
            }
        t.click("ParamSetWrite");
        const auto question = t.waitForDialog();
        QVERIFY(question);
        t.answer("Yes");
        QTRY_VERIFY_WITH_TIMEOUT(t.enabled("ParamSetReadA"), 20000);
        for (const QStringList &row : t.rows("ParamSetTable"))
            QCOMPARE(row.value(6), QStringLiteral("已写入并确认"));
        QVERIFY(t.quit()); // no message box left open
    }
};

QTEST_MAIN(TestParams)
#include "tst_params.moc"
