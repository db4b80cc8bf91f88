// The bus scan against the real virtual device over its pseudo-terminal, with a line of drives
// each at its own address and speed: what is found, what is refused, and that the port is left
// as it was; the command line's scan and the real executable's tab.

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "automation/BusScan.h"
#include "transmission/Engine.h"
#include "serial/OpenCommPort.h"
#include "tests/support/Pty.h"
#include "tests/support/RunningTool.h"
#include "tests/support/SimProcess.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace automation;

namespace {

const QStringList kThreeDrives{"--address", "1,5,1F", "--baud", "9600,19200,9600"};

// "05 19200 rtu 100/10000/1000/10000/10000/10000/8": a drive with its parameters (the baud code
// last); "03 9600 rtu damaged".
QString described(const ScanHit &hit) {
    QString text = QStringLiteral("%1 %2 %3 ")
                       .arg(hit.address, 2, 16, QLatin1Char('0'))
                       .toUpper()
                       .arg(hit.speed)
                       .arg(hit.framing == codec::Framing::Rtu ? "rtu" : "ascii");
    if (hit.damaged)
        return text + QStringLiteral("damaged");
    QStringList values;
    for (const auto &value : hit.parameters)
        values << (value ? QString::number(*value) : QStringLiteral("-"));
    return text + values.join(u'/');
}

QString drive(const char *address, int speed, int code, const char *framing = "rtu") {
    return QStringLiteral("%1 %2 %3 100/10000/1000/10000/10000/10000/%4")
        .arg(QLatin1String(address))
        .arg(speed)
        .arg(QLatin1String(framing))
        .arg(code);
}

// The speed the line itself runs at, as any program opening the device sees it.
speed_t lineSpeed(const QString &path) {
    const int fd = ::open(qPrintable(path), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::close(fd);
    return ::cfgetospeed(&tio);
}

struct Line {
    Sim sim;
    transmission::Engine engine;
    BusScan scan{engine};
    QStringList hits;
    int sent = 0;

    bool open(const QStringList &simArguments, QString settings = QStringLiteral("9600,n,8,1")) {
        QObject::connect(&scan, &BusScan::found,
                         [this](const ScanHit &hit) { hits << described(hit); });
        QObject::connect(&engine, &transmission::Engine::sent, [this] { ++sent; });
        return sim.start(simArguments) && !serial::OpenCommPort(engine.port(), sim.path, settings);
    }
    // Runs a scan to its end; what ended it.
    std::optional<ScanEnd> run(const ScanPlan &plan, const std::function<void()> &meanwhile = {}) {
        QSignalSpy finished(&scan, &BusScan::finished);
        if (scan.start(plan))
            return std::nullopt;
        if (meanwhile)
            meanwhile();
        if (!finished.wait(60000) && finished.isEmpty())
            return std::nullopt;
        return finished.front().front().value<ScanEnd>();
    }
};

ScanPlan plan(int first, int last, std::vector<qint32> speeds,
              ScanFraming framing = ScanFraming::Rtu) {
    return ScanPlan{first, last, std::move(speeds), framing, 20};
}

} // namespace

class TestScan : public QObject {
    Q_OBJECT

private slots:
    void finds_data() {
        QTest::addColumn<QStringList>("device");
        QTest::addColumn<ScanPlan>("plan");
        QTest::addColumn<QStringList>("found");
        const QStringList three{drive("01", 9600, 6), drive("1F", 9600, 6), drive("05", 19200, 8)};
        // clang-format off
        QTest::newRow("three drives, two speeds") << kThreeDrives
            << plan(1, 0x20, {9600, 19200}) << three;
        QTest::newRow("speeds in the order given") << kThreeDrives
            << plan(1, 0x20, {19200, 9600}) << QStringList{three[2], three[0], three[1]};
        QTest::newRow("both framings: one row a drive") << kThreeDrives
            << plan(4, 6, {19200}, ScanFraming::Both) << QStringList{three[2]};
        QTest::newRow("ASCII") << kThreeDrives << plan(1, 2, {9600}, ScanFraming::Ascii)
            << QStringList{drive("01", 9600, 6, "ascii")};
        QTest::newRow("two drives at one address clash")
            << QStringList{"--address", "3,3,7", "--line-timing"}
            << plan(1, 8, {9600}) << QStringList{"03 9600 rtu damaged", drive("07", 9600, 6)};
        QTest::newRow("noise invents no drive")
            << (kThreeDrives + QStringList{"--noise", "--seed", "7"})
            << plan(1, 0x20, {9600, 19200}) << three;
        // clang-format on
    }
    void finds() {
        QFETCH(QStringList, device);
        QFETCH(ScanPlan, plan);
        QFETCH(QStringList, found);
        Line line;
        QVERIFY(line.open(device));
        QCOMPARE(line.run(plan), std::optional(ScanEnd::Done));
        QCOMPARE(line.hits, found);
        QCOMPARE(line.engine.port().Settings(), QStringLiteral("9600,n,8,1"));
        QCOMPARE(lineSpeed(line.sim.path), speed_t(B9600));
    }

    // The window polls the port on its own timer: a look that finds nothing between a slow
    // reply's bytes must not cut the reply short.
    void pollingMeanwhile() {
        Line line;
        QVERIFY(line.open({"--address", "2,3", "--baud", "2400", "--line-timing"},
                          QStringLiteral("2400,n,8,1")));
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] { line.engine.poll(512); });
        poll.start(1);
        QCOMPARE(line.run(plan(2, 3, {2400})), std::optional(ScanEnd::Done));
        QCOMPARE(line.hits, QStringList() << drive("02", 2400, 4) << drive("03", 2400, 4));
    }

    // However the scan ends, the port is as it was: open at its speed, or closed with its
    // settings; what was found stays.
    void portLeftAsItWas_data() {
        QTest::addColumn<bool>("lose");
        QTest::newRow("cancelled") << false;
        QTest::newRow("port lost") << true;
    }
    void portLeftAsItWas() {
        QFETCH(bool, lose);
        Line line;
        QVERIFY(line.open(kThreeDrives, QStringLiteral("38400,n,8,1")));
        const auto end = line.run(plan(1, 0xFF, {9600, 19200}), [&] {
            QTRY_VERIFY_WITH_TIMEOUT(line.hits.size() == 2, 20000); // 01 and 1F at 9600
            lose ? line.sim.process.kill() : line.scan.cancel();
        });
        QCOMPARE(end, std::optional(lose ? ScanEnd::PortProblem : ScanEnd::Cancelled));
        QCOMPARE(line.hits.size(), 2);
        QCOMPARE(line.engine.port().PortOpen(), !lose);
        QCOMPARE(line.engine.port().Settings(), QStringLiteral("38400,n,8,1"));
        if (!lose)
            QCOMPARE(lineSpeed(line.sim.path), speed_t(B38400));
    }

    void refused_data() {
        QTest::addColumn<ScanPlan>("plan");
        QTest::addColumn<bool>("open");
        QTest::addColumn<PlanFault>("fault");
        // clang-format off
        QTest::newRow("first above last") << plan(9, 8, {9600}) << true << PlanFault::Range;
        QTest::newRow("address 0") << plan(0, 8, {9600}) << true << PlanFault::Range;
        QTest::newRow("above FF") << plan(1, 0x100, {9600}) << true << PlanFault::Range;
        QTest::newRow("no speed") << plan(1, 8, {}) << true << PlanFault::NoSpeed;
        QTest::newRow("speed not offered") << plan(1, 8, {9601}) << true << PlanFault::Speed;
        QTest::newRow("speed twice") << plan(1, 8, {9600, 4800, 9600}) << true << PlanFault::Speed;
        QTest::newRow("port closed") << plan(1, 8, {9600}) << false << PlanFault::PortClosed;
        // clang-format on
    }
    void refused() {
        QFETCH(ScanPlan, plan);
        QFETCH(bool, open);
        QFETCH(PlanFault, fault);
        Line line;
        QVERIFY(line.open({}));
        if (!open)
            line.engine.port().close();
        QCOMPARE(line.scan.start(plan), std::optional(fault));
        QTest::qWait(50);
        QCOMPARE(line.sent, 0);
        QVERIFY(!line.scan.running());
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("addresses");
        // clang-format off
        QTest::newRow("found") << QStringList{"scan", "--range", "1-20", "-b", "9600,19200", "--json"}
                               << 0 << QStringList{"01", "1F", "05"};
        QTest::newRow("none") << QStringList{"scan", "--range", "1-8", "-b", "2400", "--json"}
                              << 2 << QStringList{};
        QTest::newRow("range backwards") << QStringList{"scan", "--range", "20-1"} << 64 << QStringList{};
        QTest::newRow("range not hex") << QStringList{"scan", "--range", "1-G"} << 64 << QStringList{};
        QTest::newRow("speed twice") << QStringList{"scan", "-b", "9600,9600"} << 64 << QStringList{};
        QTest::newRow("turnaround") << QStringList{"scan", "--turnaround", "1e3"} << 64 << QStringList{};
        QTest::newRow("list for a command") << QStringList{"handshake", "-b", "9600,19200"} << 64
                                            << QStringList{};
        // clang-format on
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QStringList, addresses);
        Sim sim;
        QVERIFY(sim.start(kThreeDrives));
        QProcess cli;
        cli.start(QStringLiteral(R7260_CLI_PATH), QStringList{"-p", sim.path} + arguments);
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), status);
        QStringList printed;
        for (const QByteArray &line : cli.readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                printed << QJsonDocument::fromJson(line).object().value("address").toString();
        QCOMPARE(printed, addresses);
    }

    // The tab: the drives in the table, the scan's traffic kept out of the panes, a drive taken
    // into the serial settings.
    void window() {
        Sim sim; // and two drives at 09
        QVERIFY(sim.start({"--address", "1,5,1F,9,9", "--baud", "9600,19200,9600,9600,9600"}));
        RunningTool t(true, sim.path);
        t.show("ScanPanel");
        t.setText("ScanLast", "20");
        for (const qint32 speed : allScanSpeeds())
            t.setProperty(QStringLiteral("ScanBaud%1").arg(speed), "checked",
                          speed == 9600 || speed == 19200);
        t.click("ScanStart");
        QVERIFY(!t.enabled("ScanStart"));
        QTRY_VERIFY_WITH_TIMEOUT(t.enabled("ScanStart"), 30000);
        const QList<QStringList> rows = t.rows("ScanTable");
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[1][0] + ' ' + rows[1][11], "09 " + damagedText());
        QCOMPARE(rows[3][0] + ' ' + rows[3][1], QString("05 19200"));
        QVERIFY(t.sendPane().isEmpty());
        t.select("ScanTable", 3);
        t.click("ScanUse");
        QCOMPARE(t.text("Text23"), QString("5"));
        QCOMPARE(t.text("Combo2"), QString("19200"));
        QVERIFY(t.text("ScanMessage").contains("9600"));
        // The drives found at the port's speed backed up, a file each; 05 at 19200 left out.
        QTemporaryDir backups;
        t.click("ScanBackup");
        QVERIFY(t.waitForDialog());
        t.answer({}, backups.path());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(backups.filePath("drive-1F.json")), 10000);
        QVERIFY(QFile::exists(backups.filePath("drive-1.json")));
        QVERIFY(!QFile::exists(backups.filePath("drive-5.json")));
        if (const QString dir = qEnvironmentVariable("R7260_SCREENSHOT_DIR"); !dir.isEmpty())
            for (const char *language : {"Option1", "Option2"}) {
                t.click(language);
                QTest::qWait(100);
                t.grab(QStringLiteral("%1/scan-%2.png")
                           .arg(dir, language == QByteArray("Option1") ? "zh" : "en"),
                       1366, 680);
            }
        QVERIFY(t.quit());
    }
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
