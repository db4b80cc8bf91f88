// Faults found by fuzzing and fault injection: numbers whose exponent overflows the reading rule,
// a save onto a full disk, list files that are no regular file or far too large, and a port that
// goes away while the command list runs.

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <cmath>
#include <sys/stat.h>

#include "app/WindowTimer.h"
#include "codec/NumericText.h"
#include "device/RequestBuilder.h"
#include "tests/support/Hex.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowOnPty.h"

class TestRobustness : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    static QListWidget *listOf(const WindowOnPty &t) { return t.control<QListWidget>("List1"); }

private slots:
    // The reading rule: exponents of 19 digits and more once overflowed the magnitude's sum.
    void hugeExponents_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        // clang-format off
        QTest::newRow("huge") << "9e999999918099999999999" << HUGE_VAL;
        QTest::newRow("huge, negative") << "-9e999999918099999999999" << -HUGE_VAL;
        QTest::newRow("exponent at the long limit") << "5e9223372036854775807" << HUGE_VAL;
        QTest::newRow("tiny") << "0.01e-99999999999999999999" << 0.0;
        // clang-format on
    }
    void hugeExponents() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(codec::readNumber(text), value);
        // A huge end speed is refused, a tiny one sends 0.
        const auto built = device::buildRequest(device::command(device::FunctionCode::SetEndSpeed),
                                                QStringLiteral("1"), {text}, codec::Framing::Rtu);
        QCOMPARE(std::holds_alternative<device::Refusal>(built), std::isinf(value));
    }

    // Qt's commit() once reported a save onto a full disk as done and left an empty file.
    void fullDiskKeepsTheOldList() {
        const SmallDisk disk(dir.filePath(QStringLiteral("full")));
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs root");
        const QString &mountPoint = disk.path;
        const QString file = mountPoint + QStringLiteral("/list.txt");
        QVERIFY(writeBytes(file, "01 20 00 39 C0 \r\n"));
        QFile filler(mountPoint + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(512, 'x')) == 512) {
        }
        filler.close();

        WindowOnPty t(false);
        for (int i = 0; i < 300; ++i)
            listOf(t)->addItem(QStringLiteral("01 26 00 3A 60 "));
        t.prompts->fileNames << file;
        t.prompts->yesNoAnswers << true;
        t.click("Command55");
        QCOMPARE(t.prompts->messages.size(), 1);
        QVERIFY(t.prompts->messages[0].text.startsWith(QString::fromUtf8("文件未保存：")));
        QVERIFY(t.prompts->messages[0].text.endsWith(QString::fromUtf8("原文件保持不变。")));
        QCOMPARE(readBytes(file), QByteArray("01 20 00 39 C0 \r\n"));
        QCOMPARE(QDir(mountPoint).entryList(QDir::Files), (QStringList{"filler", "list.txt"}));
    }

    // Only a regular file within the limit is read; nothing waits for a writer of a pipe.
    void listFilesRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("named pipe") << "fifo" << "不是普通文件";
        QTest::newRow("device") << "/dev/null" << "不是普通文件";
        QTest::newRow("folder") << "folder" << "不是普通文件";
        QTest::newRow("above 1 MB") << "huge" << "太大（1048577 字节），命令列表文件最多 1048576 字节。";
        // clang-format on
    }
    void listFilesRefused() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QString path = kind.startsWith(u'/') ? kind : dir.filePath(kind);
        if (kind == "fifo")
            QVERIFY(::mkfifo(qPrintable(path), 0600) == 0 || errno == EEXIST);
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "huge")
            QVERIFY(writeBytes(path, QByteArray(1024 * 1024 + 1, '\r')));
        WindowOnPty t(false);
        listOf(t)->addItem(QStringLiteral("kept"));
        t.prompts->fileNames << path;
        t.click("Command54");
        QCOMPARE(t.prompts->messages.size(), 1);
        QVERIFY2(t.prompts->messages[0].text.contains(message),
                 qPrintable(t.prompts->messages[0].text));
        QCOMPARE(listOf(t)->count(), 1);
    }

    // A file of exactly the limit loads whole.
    void listFileAtTheLimit() {
        const QByteArray bytes = QByteArray("01 20 00 39 C0\r\n").repeated(65536);
        const QString path = dir.filePath(QStringLiteral("limit.txt"));
        QVERIFY(writeBytes(path, bytes));
        WindowOnPty t(false);
        t.prompts->fileNames << path;
        t.click("Command54");
        QCOMPARE(t.prompts->messages.size(), 0);
        QCOMPARE(listOf(t)->count(), 65536);
    }

    // The list stops with a lost port: the loss stays the message, reopening sends nothing.
    void portLostStopsTheList() {
        WindowOnPty t;
        listOf(t)->addItem(QStringLiteral("01 20 00 39 C0 "));
        t.control<QLineEdit>("Text22")->setText(QStringLiteral("20"));
        t.control<QCheckBox>("Check1")->setChecked(true);
        QCOMPARE(t.sent(5), hex("01200039C0"));
        t.pty.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!t.isOpen(), 3000);
        QTest::qWait(100);
        QVERIFY(!t.control<QCheckBox>("Check1")->isChecked());
        QVERIFY(!t.window->findChild<WindowTimer *>(QStringLiteral("Timer2"))->enabled());
        QVERIFY(t.window->statusBar()->currentMessage().contains(QString::fromUtf8("已断开")));

        Pty replugged;
        wireComPort(1, replugged.slavePath());
        t.click("Command32");
        QVERIFY(t.isOpen());
        QCOMPARE(replugged.readFor(300), QByteArray());
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
