// The scope: a move on the virtual device recorded by r7260-cli trace (its CSV shows the
// trapezoid, its measurements the device's parameters), replies that must never become samples,
// exports that cannot be written, and the window's scope tab tracing a move sent from the window.
// R7260_SCREENSHOT_DIR=DIR saves the tab during and after the move, in both languages.

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "automation/TraceExport.h"
#include "codec/Framing.h"
#include "serial/MSComm.h"
#include "serial/OpenCommPort.h"
#include "tests/support/Hex.h"
#include "tests/support/Pty.h"
#include "tests/support/RunningTool.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

using namespace automation;

namespace {

// The virtual device's defaults: start 100, maximum 10000, end 1000, acceleration and
// deceleration 10000 pulses/s².
constexpr double kMaxSpeed = 10000, kAcceleration = 10000;
constexpr qint64 kPulses = 100000;
// Up to the maximum in 0.99 s, down to the end speed in 0.9 s, the rest at the maximum.
constexpr double kMoveSeconds = 0.99 + 0.9 + (kPulses - 4999.5 - 4950) / kMaxSpeed;

TraceSampler::QueryBuilder queries() {
    return [](device::FunctionCode code) {
        const auto built =
            device::buildRequest(device::command(code), u"1", {}, codec::Framing::Rtu);
        return std::optional<device::Request>(std::get<device::Request>(built));
    };
}

// The speeds of a CSV export, in order, and the last value of every column.
struct Csv {
    QStringList header;
    QList<double> speeds;
    QHash<QString, QString> last;
};
Csv readCsv(const QByteArray &bytes) {
    Csv csv;
    QList<QByteArray> lines = bytes.split('\n');
    csv.header = QString::fromUtf8(lines.takeFirst()).split(u',');
    for (const QByteArray &line : lines) {
        const QStringList cells = QString::fromUtf8(line).split(u',');
        for (qsizetype i = 1; i < cells.size(); ++i)
            if (!cells[i].isEmpty())
                csv.last[csv.header[i]] = cells[i];
        if (const qsizetype s = csv.header.indexOf(u"speed"); s > 0 && cells.value(s) != u"")
            csv.speeds << cells[s].toDouble();
    }
    return csv;
}

void verifyMeasured(double peak, double acceleration, double moveTime) {
    QVERIFY2(qAbs(peak - kMaxSpeed) <= 0.01 * kMaxSpeed, qPrintable(QString::number(peak)));
    QVERIFY2(qAbs(acceleration - kAcceleration) <= 0.05 * kAcceleration,
             qPrintable(QString::number(acceleration)));
    QVERIFY2(qAbs(moveTime - kMoveSeconds) <= 0.02 * kMoveSeconds,
             qPrintable(QString::number(moveTime)));
}

// The speed rises, holds at the maximum, falls back to 0; the move ends on its target.
void verifyTrapezoid(const Csv &csv) {
    const QList<double> &s = csv.speeds;
    const qsizetype top = s.indexOf(kMaxSpeed), lastTop = s.lastIndexOf(kMaxSpeed);
    QVERIFY(top > 0 && lastTop > top + 100);
    // The virtual device decides to brake anew every millisecond: while braking it may
    // speed up by one millisecond's acceleration now and then.
    const double step = kAcceleration / 1000;
    for (qsizetype i = 0; i < s.size() - 1; ++i)
        QVERIFY2(
            i < top       ? s[i] <= s[i + 1]
            : i < lastTop ? s[i] == kMaxSpeed
                          : s[i] + step >= s[i + 1],
            qPrintable(QStringLiteral("sample %1: %2 then %3").arg(i).arg(s[i]).arg(s[i + 1])));
    QCOMPARE(s.first(), 0.0);
    QCOMPARE(s.last(), 0.0);
    QCOMPARE(csv.last["abs"], QString::number(kPulses));
    QCOMPARE(csv.last["rel"], QString::number(kPulses));
    QCOMPARE(csv.last["moving"], QStringLiteral("0"));
}

} // namespace

class TestScope : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // One process commands the move and records it: the speed rises, holds, falls back to 0,
    // and the move ends on its target.
    void cliRecordsTrapezoid() {
        Sim sim;
        QVERIFY(sim.start({}));
        const QString csvPath = dir.filePath(QStringLiteral("move.csv"));
        QProcess cli;
        cli.start(QStringLiteral(R7260_CLI_PATH),
                  {"-p", sim.path, "trace", "--channels", "abs,rel,speed,state", "--trigger",
                   "move", "--pretrigger", "200", "--csv", csvPath, "--json", "--then", "move",
                   QString::number(kPulses)});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        const QList<QByteArray> json = cli.readAllStandardOutput().trimmed().split('\n');
        const QJsonObject m =
            QJsonDocument::fromJson(json.last()).object()["measurements"].toObject();
        verifyMeasured(m["peakSpeed"].toDouble(), m["acceleration"].toDouble(),
                       m["moveTime"].toDouble());
        QCOMPARE(m["positionError"].toDouble(-1), 0.0);

        const Csv csv = readCsv(readBytes(csvPath));
        QCOMPARE(csv.header,
                 QString("time_s,abs,rel,speed,moving,left_limit,origin,right_limit").split(u','));
        verifyTrapezoid(csv);
    }

    // Only a good reply carrying the group's value is a sample; silence is a gap, and sampling
    // goes on with the next reply.
    void onlyGoodRepliesAreSamples_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("timeouts");
        QTest::addColumn<int>("damaged");
        QTest::addColumn<int>("failures");
        const QByteArray good = codec::rtuFrame(hex("01 36 04 00 00 27 10"));
        // clang-format off
        QTest::newRow("good") << good << 0 << 0 << 0;
        QTest::newRow("failure reply") << codec::rtuFrame(hex("01 B6 05")) << 0 << 0 << 1;
        QTest::newRow("CRC broken") << good.chopped(1) + char(good.back() ^ 1) << 0 << 1 << 0;
        QTest::newRow("cut short") << good.first(4) << 0 << 1 << 0;
        QTest::newRow("silence") << QByteArray() << 1 << 0 << 0;
        // clang-format on
    }
    void onlyGoodRepliesAreSamples() {
        QFETCH(QByteArray, reply);
        QFETCH(int, timeouts);
        QFETCH(int, damaged);
        QFETCH(int, failures);
        Pty pty;
        transmission::Engine engine;
        engine.setTurnaroundMs(40);
        QString settings = QStringLiteral("9600,n,8,1");
        QVERIFY(!serial::OpenCommPort(engine.port(), pty.slavePath(), settings));
        TraceSampler sampler(engine, queries());
        QVERIFY(sampler.start(bitOf(Group::Speed), 0));
        const QByteArray query = codec::rtuFrame(hex("01 36 00"));
        QCOMPARE(pty.readAtLeast(query.size()), query);
        pty.write(reply);
        QCOMPARE(pty.readAtLeast(query.size()), query);
        pty.write(codec::rtuFrame(hex("01 36 04 00 00 01 F4"))); // 500
        QTRY_VERIFY(sampler.buffer().size() > 0 && sampler.buffer().last().value == 500);
        sampler.stop();

        QList<double> values;
        for (qsizetype i = 0; i < sampler.buffer().size(); ++i) {
            const TraceRow &row = sampler.buffer().at(i);
            values << (row.gap ? -1 : row.value);
        }
        QList<double> expected{500};
        if (damaged + failures == 0)
            expected.prepend(timeouts ? -1 : 10000);
        QCOMPARE(values, expected);
        QCOMPARE(sampler.counts().timeouts, timeouts);
        QCOMPARE(sampler.counts().damaged, damaged);
        QCOMPARE(sampler.counts().failures, failures);
        // A gap breaks the plotted line.
        const QVector<double> drawn =
            decimate(sampler.buffer(), 0, sampler.now(), 100, 0)[int(Channel::Speed)].values;
        QCOMPARE(std::count_if(drawn.begin(), drawn.end(), [](double v) { return std::isnan(v); }),
                 timeouts);
    }

    // An export that cannot be written names its reason, and a file already there stays whole.
    void csvExportNamesWhyItFailed_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no such folder") << dir.filePath("missing/trace.csv") << "No such file";
        QTest::newRow("a folder") << dir.path() << "";
        QTest::newRow("full disk") << dir.filePath("full/trace.csv") << "No space left";
    }
    void csvExportNamesWhyItFailed() {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        std::optional<SmallDisk> disk;
        if (QTest::currentDataTag() == QLatin1String("full disk")) {
            disk.emplace(dir.filePath(QStringLiteral("full")));
            if (!disk->mounted)
                QSKIP("mounting a small tmpfs needs root");
            QVERIFY(writeBytes(path, "before"));
            QFile filler(disk->path + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(512, 'x')) == 512) {
            }
        }
        TraceBuffer buffer;
        for (int i = 0; i < 2000; ++i)
            buffer.append({i * 0.01, i, Group::Speed, false});
        const auto failed = saveCsv(path, buffer, bitOf(Group::Speed), 0, 0);
        QVERIFY(failed && !failed->isEmpty());
        QVERIFY2(failed->contains(reason), qPrintable(*failed));
        if (disk)
            QCOMPARE(readBytes(path), QByteArray("before"));
    }

    // The real executable's scope tab traces a move sent from the motion panel, measures it,
    // stops after it, says why an export could not be written, and exports the trace it kept.
    void windowTracesMoveFromItsButton() {
        Sim sim;
        QVERIFY(sim.start({}));
        RunningTool t(true, sim.path);
        t.show("ScopePanel");
        for (const char *box : {"ScopeAbsolute", "ScopeRelative"})
            t.setProperty(box, "checked", true);
        t.setProperty("ScopeTrigger", "currentIndex", 1);
        t.setProperty("ScopePretrigger", "value", 200);
        t.click("ScopeStart");
        QTest::qWait(300);
        t.setText("Text8", QString::number(kPulses));
        t.click("Command18");

        const QString shots = qEnvironmentVariable("R7260_SCREENSHOT_DIR");
        const auto shoot = [&](const char *name, const char *language) {
            t.click(language);
            QTest::qWait(100);
            if (!shots.isEmpty())
                t.grab(QStringLiteral("%1/scope-%2.png").arg(shots, name), 1366, 680);
        };
        QTest::qWait(3000);
        shoot("during-zh", "Option1");
        shoot("during-en", "Option2");
        QTRY_VERIFY_WITH_TIMEOUT(t.enabled("ScopeStart"), 30000);
        t.mouse("ScopePlot", true, false, 0.3, 0.5);
        t.mouse("ScopePlot", true, true, 0.7, 0.5);
        QVERIFY(t.text("ScopeCursors").contains(u"Δt"));
        shoot("after-en", "Option2");
        shoot("after-zh", "Option1");

        const QString measured = t.text("ScopeMeasurements");
        const auto figure = [&measured](const char *caption) {
            const auto match =
                QRegularExpression(QString::fromUtf8(caption) + " ([-\\d.]+)").match(measured);
            return match.hasMatch() ? match.captured(1).toDouble() : qQNaN();
        };
        verifyMeasured(figure("峰值速度:"), figure("加速度:"), figure("运动时间:"));
        QVERIFY2(measured.contains(QStringLiteral("最终位置: %1 (目标 %1，偏差 0)").arg(kPulses)),
                 qPrintable(measured));
        QVERIFY(t.text("ScopeCounters").contains(QStringLiteral("超时 0 ")));

        const QString unwritable = dir.filePath(QStringLiteral("missing/trace.csv"));
        const QString csvPath = dir.filePath(QStringLiteral("window.csv"));
        const auto exportTo = [&t](const QString &file) {
            t.click("ScopeCsv");
            QVERIFY(t.waitForDialog());
            t.answer({}, file);
        };
        exportTo(unwritable);
        const auto refused = t.waitForDialog();
        QVERIFY(refused && refused->text.contains(unwritable));
        QVERIFY(refused->text.contains(QStringLiteral("No such file")));
        t.answer("Ok");
        exportTo(csvPath);
        QTRY_VERIFY(QFile::exists(csvPath));
        verifyTrapezoid(readCsv(readBytes(csvPath)));
        QVERIFY(t.quit());
    }
};

QTEST_MAIN(TestScope)
#include "tst_scope.moc"
