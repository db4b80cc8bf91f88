// The traffic record: what an exchange with the virtual device leaves in the file, the lines a
// killed program leaves behind, and a full disk that ends the record while the traffic goes on.

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>

#include "tests/support/Hex.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowOnPty.h"

namespace {

const QString kHeader = QStringLiteral("time\tdirection\tbytes\tmeaning\tms since TX");
const QString kTime = QStringLiteral(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3})");

QStringList linesOf(const QString &path) {
    return QString::fromUtf8(readBytes(path)).split(u'\n', Qt::SkipEmptyParts);
}

// The program that gets killed: records to `file`, sends three handshakes on the pty `port`.
int recordingChild(const QString &file, const QString &port) {
    WindowOnPty t(false);
    wireComPort(1, port);
    t.click("Command32");
    t.window->startTrafficRecord(file);
    for (int i = 0; i < 3; ++i)
        t.window->SendFrame(hex("01200039C0"));
    std::puts("sent");
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace

class TestRecord : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void exchangeWithTheDevice() {
        Sim sim;
        QVERIFY(sim.start({}));
        WindowOnPty t(false);
        wireComPort(1, sim.path);
        t.click("Command32");
        const QString file = dir.filePath(QStringLiteral("exchange.txt"));
        QVERIFY(t.window->startTrafficRecord(file));
        t.click("Command12");
        QTRY_VERIFY_WITH_TIMEOUT(t.receivePane().contains(QStringLiteral("RecHex:01 20 00")), 3000);
        t.click("CommandRecord"); // stops the record
        const QStringList lines = linesOf(file);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], kHeader);
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^%1\tTX\t01 20 00 39 C0\t请求握手命令:\t$").arg(kTime))
                     .match(lines[1])
                     .hasMatch(),
                 qPrintable(lines[1]));
        const auto rx =
            QRegularExpression(
                QStringLiteral("^%1\tRX\t01 20 00 39 C0\t请求握手命令:\t(\\d+)$").arg(kTime))
                .match(lines[2]);
        QVERIFY2(rx.hasMatch(), qPrintable(lines[2]));
        // Timed from when the reply arrived, not from the 200 ms poll that showed it.
        QVERIFY(rx.captured(1).toInt() < 190);
        QVERIFY(t.control<QLabel>("ResponseTime")->text().contains(rx.captured(1)));
        QVERIFY(lines[1].left(23) <= lines[2].left(23)); // times in order

        // The command line's --log records the same exchange in the same columns.
        const QString cliFile = dir.filePath(QStringLiteral("cli.txt"));
        t.click("Command33");
        QCOMPARE(QProcess::execute(QStringLiteral(R7260_CLI_PATH),
                                   {"-p", sim.path, "--timeout", "2000", "--log", cliFile, "handshake"}),
                 0);
        const QStringList cliLines = linesOf(cliFile);
        QCOMPARE(cliLines.size(), 3);
        QCOMPARE(cliLines[0], kHeader);
        for (int i : {1, 2})
            QCOMPARE(cliLines[i].section(u'\t', 1, 2), lines[i].section(u'\t', 1, 2));
        QCOMPARE(cliLines[2].count(u'\t'), lines[2].count(u'\t'));
    }

    void killedProgramKeepsItsLines() {
        Pty device;
        const QString file = dir.filePath(QStringLiteral("killed.txt"));
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--record-child"), file, device.slavePath()});
        QVERIFY(child.waitForReadyRead(10000));
        QVERIFY(child.readAll().startsWith("sent"));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));
        const QStringList lines = linesOf(file);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], kHeader);
        for (int i = 1; i < 4; ++i)
            QVERIFY(lines[i].contains(QStringLiteral("\tTX\t01 20 00 39 C0\t")));
    }

    void fullDiskStopsOnlyTheRecord() {
        const SmallDisk disk(dir.filePath(QStringLiteral("small")));
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs root");
        WindowOnPty t;
        const QString file = disk.path + QStringLiteral("/record.txt");
        QVERIFY(t.window->startTrafficRecord(file));
        // Nothing modal opens inside a send, and each frame goes out once, its record line or not.
        int sends = 0;
        for (; sends < 400 && t.prompts->messages.isEmpty(); ++sends) {
            t.window->SendFrame(hex("01200039C0"));
            QVERIFY(t.prompts->messages.isEmpty());
            QCoreApplication::processEvents();
        }
        QCOMPARE(t.pty.readFor(100).size(), 5 * sends);
        QCOMPARE(t.prompts->messages.size(), 1);
        QVERIFY(t.prompts->messages[0].text.contains(file));
        QVERIFY2(t.prompts->messages[0].text.contains(QStringLiteral("No space left on device")),
                 qPrintable(t.prompts->messages[0].text));
        QVERIFY(t.text("LabelRecord").isEmpty());
        t.window->SendFrame(hex("01260400003A60")); // the traffic goes on
        QCOMPARE(t.sent(7), hex("01260400003A60"));
        QCOMPARE(t.prompts->messages.size(), 1);
    }
};

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--record-child")
        return recordingChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TestRecord test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_record.moc"
