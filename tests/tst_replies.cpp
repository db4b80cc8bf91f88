// What the real executable makes of the bytes a device writes over a real pseudo-terminal: every
// reply a poll completes, in order; a reply split across polls; noise, a broken CRC, a refusal and
// a reply whose rest never came. Each part is written once the window's poll has read the one
// before (its receive counter says so), so which bytes each poll finds is fixed. CRCs and LRCs
// are computed with python3.

#include <QRegularExpression>
#include <QTest>

#include "tests/support/Hex.h"
#include "tests/support/RunningTool.h"

namespace {

// The receive pane's message lines (each ended by line feed then carriage return), newest first.
QStringList messagesIn(const QString &pane) {
    static const QRegularExpression line(QStringLiteral("([^\n\r]*)\n\r"));
    QStringList messages;
    for (auto match = line.globalMatch(pane); match.hasNext();)
        messages << match.next().captured(1);
    return messages;
}

} // namespace

class TestReplies : public QObject {
    Q_OBJECT

private slots:
    void replies_data() {
        QTest::addColumn<QStringList>("polls"); // what each poll finds: hex, or ASCII after ":"
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("boxes"); // "box=text ...": what the value boxes show after
        // clang-format off
        QTest::newRow("two replies in one poll") << QStringList{"01260400000064FCED 01280400002710E614"} << QStringList{"查询运动最大速度:", "查询运动初速度:"} << "Text27=100 Text26=10000";
        QTest::newRow("three replies in one poll") << QStringList{"01370400001388F311 013B04010101016EE7 01280400002710E614"} << QStringList{"查询运动最大速度:", "查询运动状态:", "查询运动绝对位置:"} << "Text18=5000 Text26=10000";
        QTest::newRow("short reply, then a long one") << QStringList{"013C 01260400000064FCED"} << QStringList{"查询运动初速度:", "急停命令:"} << "Text27=100";
        QTest::newRow("two ASCII replies") << QStringList{":0126040000006471\r\n:013DC2\r\n"} << QStringList{"减速停止命令:", "查询运动初速度:"} << "Text27=100";
        QTest::newRow("reply split across polls") << QStringList{"0126040000", "0064FCED"} << QStringList{"查询运动初速度:"} << "Text27=100";
        QTest::newRow("noise before a reply") << QStringList{"2F2ABE 01300400002710E5CC"} << QStringList{"查询归零运动速度:"} << "Text28=10000 Text25=0";
        QTest::newRow("corrupted CRC") << QStringList{"01260400000064FCEE"} << QStringList{"校验错误:"} << "Text27=0";
        QTest::newRow("failure reply") << QStringList{"01A5031B51"} << QStringList{"设置运动初速度:设备拒绝执行，错误码 03（数据值无效）"} << "Text27=0";
        QTest::newRow("rest never came") << QStringList{"01260400", ""} << QStringList{"回复不完整:查询运动初速度:"} << "Text27=0";
        // clang-format on
    }
    void replies() {
        QFETCH(QStringList, polls);
        QFETCH(QStringList, messages);
        QFETCH(QString, boxes);
        RunningTool t;
        // Replies to it are news: short ones from its address, damaged or cut ones of its code.
        t.setText("Text1", "01 26 00 3A 60");
        t.click("Command1");
        QCOMPARE(t.sent(5), hex("0126003A60"));
        qsizetype written = 0;
        for (const QString &poll : polls) {
            const QByteArray bytes =
                poll.startsWith(u':') ? poll.toLatin1() : hex(qPrintable(poll));
            QVERIFY(t.pty.write(bytes));
            written += bytes.size();
            QTRY_COMPARE_WITH_TIMEOUT(t.text("Label45"), QString::number(written), 3000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(messagesIn(t.receivePane()), messages, 3000);
        // The raw lines show every read as it travelled.
        QCOMPARE(t.receivePane().count(QStringLiteral("RecHex:")), polls.size() - polls.count(""));
        for (const QString &shown : boxes.split(u' ')) {
            const QStringList box = shown.split(u'=');
            QCOMPARE(t.text(box[0]), box[1]);
        }
        QVERIFY(t.quit());
    }
};

QTEST_MAIN(TestReplies)
#include "tst_replies.moc"
