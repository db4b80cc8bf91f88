// Every device-command button with the capture buttons that reach it, the IO download and the
// manual frame tools, clicked in the real executable, read as bytes at the far side of a
// pseudo-terminal.
// Every source box holds a value of its own first, so a button wired to the wrong box sends a
// wrong frame. Expected frames were computed with python3 (CRC-16/MODBUS; LRC = two's complement
// of the byte sum), not by our own builder.

#include <QTest>

#include "tests/support/Hex.h"
#include "tests/support/RunningTool.h"

namespace {

// clang-format off
const std::pair<const char *, const char *> kSourceValues[] = {
    {"Text23", "1F"}, {"Text7", "3C"}, {"Combo6", "19200"}, {"Text12", "101"}, {"Text13", "20002"}, {"Text14", "303"}, {"Text15", "40004"},
    {"Text16", "50005"}, {"Text29", "6006"}, {"Text8", "-7007"}, {"Combo3", "1"}, {"Text9", "16785224"}, {"Text10", "-9009"}, {"Combo4", "2"},
    {"Text11", "11011"}, {"Combo5", "1A"}, {"Text30", "12012"}, {"Combo8", "10110"}, {"Text31", "31 04 00 00 27 10"}, {"Text34", "1400"},
    {"Text32", "513"}, {"Combo9", "150K"}, {"Text33", "0A 0B 0C 0D 0E 0F 10"}, {"Text1", "01 03 00 00 00 01"}};
// clang-format on

// Hex digits, or an ASCII frame ":..." (CR LF added).
QByteArray frameOf(const QString &text) {
    return text.startsWith(u':') ? text.toLatin1() + "\r\n" : hex(qPrintable(text));
}

} // namespace

class TestButtons : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningTool> t;

    // "Text23=10|Combo8=10000": what is typed into the boxes before the click.
    void set(const QString &settings) {
        for (const QString &setting : settings.split(u'|', Qt::SkipEmptyParts))
            t->setText(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    }
    void setFlags(bool addToList, bool addToIo) {
        t->setProperty("FrmMain", "AddToListMode", addToList);
        t->setProperty("FrmMain", "AddToIoMode", addToIo);
    }
    bool flag(const char *name) { return t->property("FrmMain", name).toBool(); }
    QStringList list() { return t->items("List1"); }
    // The message box the click opened (title and text; empty when none), answered.
    QString message() {
        const auto shown = t->dialog();
        if (shown)
            t->answer("Ok");
        return shown ? shown->title + u'|' + shown->text : QString();
    }
    QByteArray clickAndRead(const QString &button, qsizetype expected) {
        t->click(button);
        return expected > 0 ? t->sent(expected) : t->pty.readFor(150);
    }

private slots:
    void init() {
        t = std::make_unique<RunningTool>();
        QVERIFY(t->isOpen());
        for (const auto &[box, value] : kSourceValues)
            t->setText(box, QString::fromLatin1(value));
        t->pty.readAvailable();
    }
    void cleanup() {
        QVERIFY(t->quit());
        t.reset();
    }

    void buttons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("honours"); // the capture flags its handler takes: L list, I IO
        QTest::addColumn<QString>("add");     // its ">" button
        QTest::addColumn<QString>("io");      // its "↓" button
        QTest::addColumn<QString>("rtu");
        QTest::addColumn<QString>("ascii"); // once per data layout; "rtu": sent as RTU anyway,
                                            // "-": the button is off in ASCII framing
        auto row = [](const char *button, const char *settings, const char *honours,
                      const char *add, const char *io, const char *rtu, const char *ascii = "") {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(button, settings).trimmed()))
                << button << settings << honours << add << io << rtu << ascii;
        };
        // clang-format off
        row("Command12", "", "", "", "", "1F200059C6", ":1F2000C1");
        row("Command13", "", "", "", "", "0021006990", ":002100DF");
        row("Command15", "", "", "", "", "1F23005936");
        row("Command14", "", "", "", "", "1F22013CA67B", ":1F22013C82");
        row("Command16", "", "", "", "", "1F24010847AD", ":1F240108B4");
        row("Command16", "Combo6=57600", "", "", "", "1F240100466B");
        row("Command17", "", "L", "Command46", "", "1F250400000065C31F", ":1F25040000006553");
        row("Command24", "", "L", "Command47", "", "1F270400004E22B76F");
        row("Command25", "", "L", "Command48", "", "1F29040000012F43B4");
        row("Command26", "", "L", "Command49", "", "1F2B0400009C446B29");
        row("Command27", "", "L", "Command50", "", "1F2D040000C35592B3");
        row("Command64", "", "L", "Command63", "", "1F2F04000017768D88");
        row("Command57", "", "L", "Command71", "", "1F26005A66");
        row("Command58", "", "L", "Command72", "", "1F28005E06");
        row("Command59", "", "L", "Command73", "", "1F2A005F66");
        row("Command60", "", "L", "Command74", "", "1F2C005CC6");
        row("Command61", "", "L", "Command75", "", "1F2E005DA6");
        row("Command62", "", "L", "Command76", "", "1F30005406");
        row("Command28", "", "L", "Command51", "", "1F360057A6");
        row("Command30", "", "L", "Command52", "", "1F37005636");
        row("Command66", "", "L", "Command69", "", "1F380053C6");
        row("Command31", "", "L", "Command53", "", "1F39005256");
        row("Command67", "", "L", "Command70", "", "1F3A0052A6");
        row("Command29", "", "L", "Command43", "", "1F3B005336");
        row("Command18", "", "LI", "Command38", "Command82", "1F3104FFFFE4A18ABC");
        row("Command19", "", "LI", "Command39", "Command83", "1F320401001F4809E9", ":1F320401001F4843");
        row("Command20", "", "LI", "Command40", "Command84", "1F3304FFFFDCCF1972");
        row("Command21", "", "LI", "Command41", "Command85", "1F340402002B035F3C");
        row("Command22", "", "LI", "Command44", "Command89", "1F3D005096");
        row("Command23", "", "LI", "Command45", "Command90", "1F3C005106");
        row("Command7", "", "LI", "Command42", "Command86", "1F3E011AE667");
        row("Command65", "", "LI", "Command68", "Command87", "1F350400002EEC1D89");
        row("Command81", "", "L", "", "", "1F400716310400002710A99B", "-");
        row("Command81", "Text23=FF|Combo8=10000|Text31= ", "L", "", "", "FF40011031B8"); // a blank command binds no bytes
        row("Command88", "", "", "", "", "1F410116D7BA", "-");
        row("Command3", "", "L", "", "", "1F3F0400000578027C");
        row("Command3", "Text34=65503", "L", "", "", "1F3F040000FFDF0166");
        row("Command91", "", "LI", "", "", "1F440400000201CBE5");
        row("Command92", "", "I", "", "Command97", "1F45007296");
        row("Command93", "", "I", "", "Command98", "1F46007266");
        row("Command94", "", "L", "Command99", "", "1F420070A6");
        row("Command96", "", "", "", "", "1F470073F6");
        row("Command95", "", "", "", "", "1F4B010AF671", ":1F4B010A8B");
        row("Command100", "", "", "", "", "1F4A010027B6");
        row("Command101", "", "", "", "", "1F4A0101E676");
        row("Command102", "", "", "", "", "1F48010147B6", ":1F48010197");
        row("Command103", "", "", "", "", "1F4801008676");
        row("Command104", "", "", "", "", "1F4901011676");
        row("Command105", "", "", "", "", "1F490100D7B6");
        row("Command106", "", "L", "", "", "1F4C050A0B0C0D0E53A4", "rtu"); // seven bytes typed, five travel
        row("Command1", "", "L", "Command79", "", "010300000001");
        row("Command11", "", "L", "Command80", "", "010300000001840A");
        row("Command10", "", "L", "Command77", "", ":010300000001FB");
        // clang-format on
    }
    // The button alone; with both capture flags set (the handler takes those it honours, the
    // others stay set); each capture button; and in ASCII framing with both flags set. Each time
    // the frame goes out once; a captured list line holds the frame as sent, the IO box the body
    // without address and check.
    void buttons() {
        QFETCH(QString, button);
        QFETCH(QString, settings);
        QFETCH(QString, honours);
        QFETCH(QString, add);
        QFETCH(QString, io);
        QFETCH(QString, rtu);
        QFETCH(QString, ascii);
        set(settings);
        const QByteArray frame = frameOf(rtu);
        const QString body = hexLine(frame.mid(1, frame.size() - 3));
        const bool l = honours.contains(u'L'), i = honours.contains(u'I');
        const QByteArray inAscii = ascii == u"rtu" ? frame
                                   : ascii == u"-" ? QByteArray()
                                                   : frameOf(ascii);
        struct Step {
            QString button;
            bool asciiFraming, addToList, addToIo, takesList, takesIo;
        };
        const Step steps[] = {{button, false, false, false, false, false},
                              {button, false, true, true, l, i},
                              {add, false, false, false, true, false},
                              {io, false, false, false, false, true},
                              {ascii.isEmpty() ? QString() : button, true, true, true, l, i}};
        for (const Step &step : steps) {
            if (step.button.isEmpty())
                continue;
            t->setText("Combo7", step.asciiFraming ? "Modbus ASC" : "Modbus RTU");
            const QByteArray expected = step.asciiFraming ? inAscii : frame;
            const bool takesList = step.takesList && !expected.isEmpty();
            const bool takesIo = step.takesIo && !expected.isEmpty();
            const QStringList before = list();
            const QString ioBox = t->text("Text31");
            setFlags(step.addToList, step.addToIo);
            QCOMPARE(clickAndRead(step.button, expected.size()).toHex(' '), expected.toHex(' '));
            QCOMPARE(list(), takesList ? before + QStringList{hexLine(expected)} : before);
            QCOMPARE(t->text("Text31"), takesIo ? body : ioBox);
            QCOMPARE(flag("AddToListMode"), step.addToList && !takesList);
            QCOMPARE(flag("AddToIoMode"), step.addToIo && !takesIo);
        }
        QCOMPARE(message(), QString());
        QCOMPARE(t->pty.readFor(50), QByteArray());
    }

    // A value that cannot travel: a message under "系统提示", nothing built, captured or sent,
    // both capture flags kept. Nothing to send at all (no message either) likewise.
    void refusals_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("address") << "Command17" << "Text23=100" << "设备操作地址超出范围,请设置0到FF之间";
        QTest::newRow("hex byte") << "Command14" << "Text7=1FF" << "新地址超出范围,请设置0到FF之间";
        QTest::newRow("direction") << "Command19" << "Combo3=256" << "方向超出范围,请设置0到255之间";
        QTest::newRow("32 bits") << "Command17" << "Text12=2147483648" << "初速度超出范围,请设置-2147483648到2147483647之间";
        QTest::newRow("24 bits from 32") << "Command21" << "Text11=1e10" << "速度超出范围,请设置-2147483648到2147483647之间";
        QTest::newRow("register base 65504") << "Command3" << "Text34=65504" << "偏移地址超出范围,请设置0-65500之间";
        QTest::newRow("register base -1") << "Command3" << "Text34=-1" << "偏移地址超出范围,请设置0-65500之间";
        QTest::newRow("IO: no command") << "Command81" << "Text23=100|Text31=" << "";
        QTest::newRow("CAN: no bytes") << "Command106" << "Text33=" << "";
        // clang-format on
    }
    void refusals() {
        QFETCH(QString, button);
        QFETCH(QString, settings);
        QFETCH(QString, message);
        set(settings);
        const QString ioBox = t->text("Text31");
        setFlags(true, true);
        QCOMPARE(clickAndRead(button, 0), QByteArray());
        QCOMPARE(this->message(),
                 message.isEmpty() ? QString() : QStringLiteral("系统提示|") + message);
        QVERIFY(flag("AddToListMode") && flag("AddToIoMode"));
        QVERIFY(list().isEmpty() && t->text("Text31") == ioBox && t->sendPane().isEmpty());
    }

    // The count byte covers the pattern and the command: 254 command bytes travel, 255 do not.
    void longestIoCommand() {
        t->setText("Text31", QString(508, u'A'));
        const QByteArray frame = clickAndRead("Command81", 260);
        QCOMPARE(frame.size(), 260);
        QCOMPARE(frame.first(4) + frame.last(2), hex("1F40FF16 5FCD"));
        t->setText("Text31", QString(510, u'A'));
        QCOMPARE(clickAndRead("Command81", 0), QByteArray());
        QCOMPARE(message(), QStringLiteral("系统提示|IO取代命令超出范围,请设置0到254个字节之间"));
    }

    // With the port closed a ">" still captures the frame it would have sent.
    void captureWithPortClosed() {
        t->click("Command33");
        t->click("Command46");
        QCOMPARE(list(), QStringList{hexLine(hex("1F250400000065C31F"))});
        QCOMPARE(t->sendPane(), QString());
    }

    // The CRC boxes low byte first, or high byte first (twice is still high first); the LRC box
    // without a leading zero; text to GBK hex and back. Frames typed by hand go out as typed:
    // each sending tool unticks the register mapping first. A blank box sends nothing and leaves
    // the CRC boxes.
    void manualTools() {
        t->click("Command8");
        QCOMPARE(t->text("Text2") + t->text("Text3"), QStringLiteral("840A"));
        t->click("Command2");
        t->click("Command2");
        QCOMPARE(t->text("Text2") + t->text("Text3"), QStringLiteral("0A84"));
        t->setText("Text1", "0A F0");
        t->click("Command9");
        QCOMPARE(t->text("Text4"), QStringLiteral("6"));
        t->setText("Text5", "中A");
        t->click("Command5");
        QCOMPARE(t->text("Text1"), QStringLiteral("D6D0 41 "));
        t->setText("Text5", "");
        t->click("Command56");
        QCOMPARE(t->text("Text5"), QStringLiteral("中A"));
        t->setText("Text1", "01 03 00 00 00 01");
        // clang-format off
        const std::pair<const char *, QByteArray> sends[] = {{"Command1", hex("010300000001")}, {"Command11", hex("010300000001840A")},
                                                             {"Command10", ":010300000001FB\r\n"}, {"Command37", hex("D6D041")}};
        // clang-format on
        for (const auto &[button, frame] : sends) {
            t->setProperty("Check2", "checked", true);
            QCOMPARE(clickAndRead(button, frame.size()), frame);
            QVERIFY(!t->property("Check2", "checked").toBool());
        }
        QCOMPARE(clickAndRead("Command78", 3), hex("D6D041"));
        QCOMPARE(list().value(0), QStringLiteral("中A")); // as typed
        t->setText("Text1", "   ");
        t->setText("Text5", "");
        for (const char *button : {"Command8", "Command2", "Command9"})
            t->click(button);
        QCOMPARE(t->text("Text2") + t->text("Text3") + t->text("Text4"), QStringLiteral("0A840"));
        for (const char *button : {"Command1", "Command10", "Command11", "Command37"})
            QCOMPARE(clickAndRead(button, 0), QByteArray());
    }
};

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
