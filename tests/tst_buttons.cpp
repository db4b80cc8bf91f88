// Every device-command button, capture button and manual tool through the real window, read as
// bytes at the far side of a pseudo-terminal. Expected frames were computed independently
// (python3-crcmod for the CRC, the LRC by hand) and match the byte sequences the device's
// protocol documents print; they are not produced by our own builder.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "codec/HexText.h"
#include "tests/support/WindowOnPty.h"

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}
const QString kSystemPrompt = QString::fromUtf8("系统提示");
enum Kind { ListKind, IoKind };
struct Cap { const char *button; const char *target; Kind kind; };
const Cap kCaptures[] = {
    // ">" beside the motion buttons.
    {"Command38", "Command18", ListKind},
    {"Command39", "Command19", ListKind},
    {"Command40", "Command20", ListKind},
    {"Command41", "Command21", ListKind},
    {"Command42", "Command7", ListKind},
    {"Command44", "Command22", ListKind},
    {"Command45", "Command23", ListKind},
    {"Command68", "Command65", ListKind},
    // ">" beside the parameters and the motion queries.
    {"Command46", "Command17", ListKind},
    {"Command47", "Command24", ListKind},
    {"Command48", "Command25", ListKind},
    {"Command49", "Command26", ListKind},
    {"Command50", "Command27", ListKind},
    {"Command63", "Command64", ListKind},
    {"Command71", "Command57", ListKind},
    {"Command72", "Command58", ListKind},
    {"Command73", "Command59", ListKind},
    {"Command74", "Command60", ListKind},
    {"Command75", "Command61", ListKind},
    {"Command76", "Command62", ListKind},
    {"Command51", "Command28", ListKind},
    {"Command52", "Command30", ListKind},
    {"Command53", "Command31", ListKind},
    {"Command43", "Command29", ListKind},
    {"Command69", "Command66", ListKind},
    {"Command70", "Command67", ListKind},
    {"Command99", "Command94", ListKind},
    // ">" beside the manual frame tools.
    {"Command78", "Command37", ListKind},
    {"Command77", "Command10", ListKind},
    {"Command79", "Command1", ListKind},
    {"Command80", "Command11", ListKind},
    // "↓": the command body into the IO replacement box.
    {"Command82", "Command18", IoKind},
    {"Command83", "Command19", IoKind},
    {"Command84", "Command20", IoKind},
    {"Command85", "Command21", IoKind},
    {"Command86", "Command7", IoKind},
    {"Command87", "Command65", IoKind},
    {"Command89", "Command22", IoKind},
    {"Command90", "Command23", IoKind},
    {"Command97", "Command92", IoKind},
    {"Command98", "Command93", IoKind},
};


} // namespace

class TestButtons : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowOnPty> t;

    QLineEdit *box(const char *name) { return t->control<QLineEdit>(name); }
    QComboBox *combo(const char *name) { return t->control<QComboBox>(name); }
    QListWidget *list() { return t->control<QListWidget>("List1"); }
    void setFraming(bool rtu) {
        combo("Combo7")->setCurrentText(rtu ? QStringLiteral("Modbus RTU")
                                            : QStringLiteral("Modbus ASC"));
    }
    // Clicks and returns what went on the line, waiting for `expected` bytes (or a short while).
    QByteArray clickAndRead(const QString &button, qsizetype expected) {
        t->pty.readAvailable();
        t->click(button);
        return expected > 0 ? t->sent(expected) : t->pty.readFor(150);
    }

private slots:
    void initTestCase() {
        t = std::make_unique<WindowOnPty>();
        QVERIFY(t->isOpen());
    }
    void cleanupTestCase() { t.reset(); }

    // Every value box back at its start value, RTU framing, address 1, empty list, no flags.
    void init() {
        delete t->window.release();
        t->window = std::make_unique<FrmMain>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        t->prompts = scripted.get();
        t->window->setPrompts(std::move(scripted));
        t->click("Command32");
        QVERIFY(t->isOpen());
        t->pty.readAvailable();
    }

    void everyButtonBothFramings_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("rtu");
        QTest::addColumn<QByteArray>("ascii");
        auto row = [](const char *button, const char *address, const char *rtu, const char *ascii,
                      bool alwaysRtu) {
            QTest::newRow(qPrintable(QStringLiteral("%1 @%2").arg(button, address)))
                << QString::fromLatin1(button) << QString::fromLatin1(address) << hex(rtu)
                << (alwaysRtu ? hex(ascii) : QByteArray(ascii) + "\r\n");
        };
        // clang-format off
        row("Command12", "1", "01200039C0", ":012000DF", false);
        row("Command12", "1F", "1F200059C6", ":1F2000C1", false);
        row("Command13", "1", "0021006990", ":002100DF", false);
        row("Command13", "1F", "0021006990", ":002100DF", false);
        row("Command14", "1", "01220100A042", ":01220100DC", false);
        row("Command14", "1F", "1F220100A66A", ":1F220100BE", false);
        row("Command15", "1", "0123003930", ":012300DC", false);
        row("Command15", "1F", "1F23005936", ":1F2300BE", false);
        row("Command16", "1", "01240106C041", ":01240106D4", false);
        row("Command16", "1F", "1F240106C669", ":1F240106B6", false);
        row("Command17", "1", "01250400000064FCDE", ":0125040000006472", false);
        row("Command17", "1F", "1F25040000006402DF", ":1F25040000006454", false);
        row("Command24", "1", "01270400002710E6EB", ":012704000027109D", false);
        row("Command24", "1F", "1F27040000271018EA", ":1F2704000027107F", false);
        row("Command25", "1", "012904000003E8FD47", ":012904000003E8E7", false);
        row("Command25", "1F", "1F2904000003E80346", ":1F2904000003E8C9", false);
        row("Command26", "1", "012B0400002710E627", ":012B040000271099", false);
        row("Command26", "1F", "1F2B04000027101826", ":1F2B04000027107B", false);
        row("Command27", "1", "012D0400002710E641", ":012D040000271097", false);
        row("Command27", "1F", "1F2D04000027101840", ":1F2D040000271079", false);
        row("Command64", "1", "012F0400002710E7A3", ":012F040000271095", false);
        row("Command64", "1F", "1F2F040000271019A2", ":1F2F040000271077", false);
        row("Command57", "1", "0126003A60", ":012600D9", false);
        row("Command57", "1F", "1F26005A66", ":1F2600BB", false);
        row("Command58", "1", "0128003E00", ":012800D7", false);
        row("Command58", "1F", "1F28005E06", ":1F2800B9", false);
        row("Command59", "1", "012A003F60", ":012A00D5", false);
        row("Command59", "1F", "1F2A005F66", ":1F2A00B7", false);
        row("Command60", "1", "012C003CC0", ":012C00D3", false);
        row("Command60", "1F", "1F2C005CC6", ":1F2C00B5", false);
        row("Command61", "1", "012E003DA0", ":012E00D1", false);
        row("Command61", "1F", "1F2E005DA6", ":1F2E00B3", false);
        row("Command62", "1", "0130003400", ":013000CF", false);
        row("Command62", "1F", "1F30005406", ":1F3000B1", false);
        row("Command18", "1", "01310400002710E41D", ":0131040000271093", false);
        row("Command18", "1F", "1F3104000027101A1C", ":1F31040000271075", false);
        row("Command19", "1", "013204000003E8FEAC", ":013204000003E8DE", false);
        row("Command19", "1F", "1F3204000003E800AD", ":1F3204000003E8C0", false);
        row("Command20", "1", "01330400002710E5FF", ":0133040000271091", false);
        row("Command20", "1F", "1F3304000027101BFE", ":1F33040000271073", false);
        row("Command21", "1", "01340400002710E448", ":0134040000271090", false);
        row("Command21", "1F", "1F3404000027101A49", ":1F34040000271072", false);
        row("Command65", "1", "01350400002710E599", ":013504000027108F", false);
        row("Command65", "1F", "1F3504000027101B98", ":1F35040000271071", false);
        row("Command22", "1", "013D003090", ":013D00C2", false);
        row("Command22", "1F", "1F3D005096", ":1F3D00A4", false);
        row("Command23", "1", "013C003100", ":013C00C3", false);
        row("Command23", "1F", "1F3C005106", ":1F3C00A5", false);
        row("Command7", "1", "013E01006184", ":013E0100C0", false);
        row("Command7", "1F", "1F3E010067AC", ":1F3E0100A2", false);
        row("Command28", "1", "01360037A0", ":013600C9", false);
        row("Command28", "1F", "1F360057A6", ":1F3600AB", false);
        row("Command29", "1", "013B003330", ":013B00C4", false);
        row("Command29", "1F", "1F3B005336", ":1F3B00A6", false);
        row("Command30", "1", "0137003630", ":013700C8", false);
        row("Command30", "1F", "1F37005636", ":1F3700AA", false);
        row("Command31", "1", "0139003250", ":013900C6", false);
        row("Command31", "1F", "1F39005256", ":1F3900A8", false);
        row("Command66", "1", "01380033C0", ":013800C7", false);
        row("Command66", "1F", "1F380053C6", ":1F3800A9", false);
        row("Command67", "1", "013A0032A0", ":013A00C5", false);
        row("Command67", "1F", "1F3A0052A6", ":1F3A00A7", false);
        row("Command3", "1", "013F0400000000FF0F", ":013F0400000000BC", false);
        row("Command3", "1F", "1F3F0400000000010E", ":1F3F04000000009E", false);
        row("Command88", "1", "01410101919C", ":01410101BC", false);
        row("Command88", "1F", "1F41010197B4", ":1F4101019E", false);
        row("Command94", "1", "01420010A0", ":014200BD", false);
        row("Command94", "1F", "1F420070A6", ":1F42009F", false);
        row("Command91", "1", "014404000001F4F553", ":014404000001F4C2", false);
        row("Command91", "1F", "1F4404000001F40B52", ":1F4404000001F4A4", false);
        row("Command92", "1", "0145001290", ":014500BA", false);
        row("Command92", "1F", "1F45007296", ":1F45009C", false);
        row("Command93", "1", "0146001260", ":014600B9", false);
        row("Command93", "1F", "1F46007266", ":1F46009B", false);
        row("Command96", "1", "01470013F0", ":014700B8", false);
        row("Command96", "1F", "1F470073F6", ":1F47009A", false);
        row("Command102", "1", "01480101419E", ":01480101B5", false);
        row("Command102", "1F", "1F48010147B6", ":1F48010197", false);
        row("Command103", "1", "01480100805E", ":01480100B6", false);
        row("Command103", "1F", "1F4801008676", ":1F48010098", false);
        row("Command104", "1", "01490101105E", ":01490101B4", false);
        row("Command104", "1F", "1F4901011676", ":1F49010196", false);
        row("Command105", "1", "01490100D19E", ":01490100B5", false);
        row("Command105", "1F", "1F490100D7B6", ":1F49010097", false);
        row("Command100", "1", "014A0100219E", ":014A0100B4", false);
        row("Command100", "1F", "1F4A010027B6", ":1F4A010096", false);
        row("Command101", "1", "014A0101E05E", ":014A0101B3", false);
        row("Command101", "1F", "1F4A0101E676", ":1F4A010195", false);
        row("Command95", "1", "014B010C705B", ":014B010CA7", false);
        row("Command95", "1F", "1F4B010C7673", ":1F4B010C89", false);
        row("Command106", "1", "014C05010203040502ED", "014C05010203040502ED", true);
        row("Command106", "1F", "1F4C050102030405826D", "1F4C050102030405826D", true);
        // clang-format on
    }
    void everyButtonBothFramings() {
        QFETCH(QString, button);
        QFETCH(QString, address);
        QFETCH(QByteArray, rtu);
        QFETCH(QByteArray, ascii);
        box("Text23")->setText(address);
        setFraming(true);
        QCOMPARE(clickAndRead(button, rtu.size()).toHex(' '), rtu.toHex(' '));
        setFraming(false);
        // The IO query is available in RTU framing only.
        if (button == QLatin1String("Command88"))
            ascii.clear();
        QCOMPARE(clickAndRead(button, ascii.size()), ascii);
        QVERIFY(t->prompts->messages.isEmpty());
    }


    void readingRule_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("half to even down") << "Command17"
                                           << "Text12"
                                           << "100.5" << hex("0125040000006 4FCDE");
        QTest::newRow("half to even up") << "Command17"
                                         << "Text12"
                                         << "101.5" << hex("01250400000066 7D1F");
        QTest::newRow("trailing letters") << "Command17"
                                          << "Text12"
                                          << "100abc" << hex("01250400000064FCDE");
        QTest::newRow("empty value") << "Command17"
                                     << "Text12"
                                     << "" << hex("01250400000000FD35");
        QTest::newRow("256 splits exactly") << "Command17"
                                            << "Text12"
                                            << "256" << hex("01250400000100FCA5");
        QTest::newRow("768") << "Command17"
                             << "Text12"
                             << "768" << hex("01250400000300FDC5");
        QTest::newRow("negative move") << "Command18"
                                       << "Text8"
                                       << "-1000" << hex("013104FFFFFC18BF0F");
        QTest::newRow("minus one") << "Command18"
                                   << "Text8"
                                   << "-1" << hex("013104FFFFFFFFFFB5");
        QTest::newRow("24-bit move") << "Command19"
                                     << "Combo3"
                                     << "1" << hex("01320401 0003E8FF50");
        QTest::newRow("empty new address") << "Command14"
                                           << "Text7"
                                           << "" << hex("01220100A042");
        QTest::newRow("new address is hex") << "Command14"
                                            << "Text7"
                                            << "1F" << hex("0122011FE18A");
        QTest::newRow("homing direction is hex") << "Command7"
                                                 << "Combo5"
                                                 << "A" << hex("013E010AE183");
        QTest::newRow("baud 57600 has no code") << "Command16"
                                                << "Combo6"
                                                << "57600" << hex("012401004043");
        QTest::newRow("baud typed") << "Command16"
                                    << "Combo6"
                                    << "9600 " << hex("012401004043");
        QTest::newRow("CAN 1M") << "Command95"
                                << "Combo9"
                                << "1M" << hex("014B0101B19E");
        QTest::newRow("CAN 5K") << "Command95"
                                << "Combo9"
                                << "5K" << hex("014B0112F053");
        QTest::newRow("CAN unknown") << "Command95"
                                     << "Combo9"
                                     << "100k" << hex("014B0100 705E");
        QTest::newRow("offset 65503") << "Command3"
                                      << "Text34"
                                      << "65503" << hex("013F040000FFDFFF67");
        QTest::newRow("offset 65501") << "Command3"
                                      << "Text34"
                                      << "65501" << hex("013F040000FFDD7EA6");
        QTest::newRow("CAN 1 2 3") << "Command106"
                                   << "Text33"
                                   << "1 2 3" << hex("014C021203E231");
        QTest::newRow("CAN seven bytes") << "Command106"
                                         << "Text33"
                                         << "01 02 03 04 05 06 07" << hex("014C05010203040502ED");
        QTest::newRow("CAN one blank") << "Command106"
                                       << "Text33"
                                       << " " << hex("014C0014C0");
        QTest::newRow("pattern 10000") << "Command88"
                                       << "Combo8"
                                       << "10000" << hex("014101105190");
        QTest::newRow("pattern 11111") << "Command88"
                                       << "Combo8"
                                       << "11111" << hex("0141011F1194");
    }
    void readingRule() {
        QFETCH(QString, button);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QByteArray, frame);
        if (auto *line = t->control<QLineEdit>(control))
            line->setText(text);
        else
            t->control<QComboBox>(control)->setCurrentText(text);
        if (button == QLatin1String("Command19"))
            box("Text9")->setText(QStringLiteral("1000"));
        QCOMPARE(clickAndRead(button, frame.size()).toHex(' '), frame.toHex(' '));
    }

    void twentyFourBitsDropHighBits() {
        combo("Combo3")->setCurrentText(QStringLiteral("1"));
        box("Text9")->setText(QStringLiteral("16777217"));
        QCOMPARE(clickAndRead("Command19", 9).mid(3, 4), hex("01000001"));
    }

    void addressField() {
        box("Text23")->setText(QString());
        QCOMPARE(clickAndRead("Command12", 5).left(1), hex("00"));
        box("Text23")->setText(QStringLiteral("1F"));
        QCOMPARE(clickAndRead("Command12", 5).left(1), hex("1F"));
        box("Text23")->setText(QStringLiteral("ff"));
        QCOMPARE(clickAndRead("Command12", 5).left(1), hex("FF"));
    }

    // Values that cannot travel are refused with a message naming the field and the range;
    // nothing is built, captured or sent, and the capture flags stay as they were.
    void refusals_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("address above FF")
            << "Command17"
            << "Text23"
            << "100" << QString::fromUtf8("设备操作地址超出范围,请设置0到FF之间");
        QTest::newRow("new address above FF")
            << "Command14"
            << "Text7"
            << "1FF" << QString::fromUtf8("新地址超出范围,请设置0到FF之间");
        QTest::newRow("homing direction")
            << "Command7"
            << "Combo5"
            << "100" << QString::fromUtf8("归零方向超出范围,请设置0到FF之间");
        QTest::newRow("direction above 255")
            << "Command19"
            << "Combo3"
            << "256" << QString::fromUtf8("方向超出范围,请设置0到255之间");
        QTest::newRow("negative direction")
            << "Command21"
            << "Combo4"
            << "-1" << QString::fromUtf8("方向超出范围,请设置0到255之间");
        QTest::newRow("32-bit too large")
            << "Command17"
            << "Text12"
            << "2147483648"
            << QString::fromUtf8("初速度超出范围,请设置-2147483648到2147483647之间");
        QTest::newRow("32-bit too small")
            << "Command18"
            << "Text8"
            << "-2147483649"
            << QString::fromUtf8("脉冲数超出范围,请设置-2147483648到2147483647之间");
        QTest::newRow("24-bit source too large")
            << "Command21"
            << "Text11"
            << "1e10" << QString::fromUtf8("速度超出范围,请设置-2147483648到2147483647之间");
        QTest::newRow("offset 65504")
            << "Command3"
            << "Text34"
            << "65504" << QString::fromUtf8("偏移地址超出范围,请设置0-65500之间");
        QTest::newRow("negative offset")
            << "Command3"
            << "Text34"
            << "-1" << QString::fromUtf8("偏移地址超出范围,请设置0-65500之间");
    }
    void refusals() {
        QFETCH(QString, button);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, message);
        if (auto *line = t->control<QLineEdit>(control))
            line->setText(text);
        else
            t->control<QComboBox>(control)->setCurrentText(text);
        t->window->setProperty("AddToListMode", true);
        t->window->setProperty("AddToIoMode", true);
        QCOMPARE(clickAndRead(button, 0), QByteArray());
        QCOMPARE(t->prompts->messages.size(), 1);
        QCOMPARE(t->prompts->messages[0].title, kSystemPrompt);
        QCOMPARE(t->prompts->messages[0].text, message);
        QVERIFY(t->window->property("AddToListMode").toBool() && t->window->property("AddToIoMode").toBool());
        QCOMPARE(list()->count(), 0);
        QCOMPARE(box("Text31")->text(), QString());
        QCOMPARE(t->sendPane(), QString());
    }

    void canSendWithEmptyBoxDoesNothing() {
        box("Text33")->setText(QString());
        t->window->setProperty("AddToListMode", true);
        QCOMPARE(clickAndRead("Command106", 0), QByteArray());
        QVERIFY(t->window->property("AddToListMode").toBool());
        QVERIFY(t->prompts->messages.isEmpty());
    }

    // Every ">" appends its target's frame to the end of the list and still sends it once.
    void addButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        for (const Cap &c : kCaptures)
            if (c.kind == ListKind && QByteArray(c.target) != "Command37" &&
                QByteArray(c.target) != "Command1" && QByteArray(c.target) != "Command10" &&
                QByteArray(c.target) != "Command11")
                QTest::newRow(c.button)
                    << QString::fromLatin1(c.button) << QString::fromLatin1(c.target);
    }
    void addButtons() {
        QFETCH(QString, button);
        QFETCH(QString, target);
        const QByteArray direct = clickAndRead(target, 5);
        list()->addItem(QStringLiteral("first"));
        setFraming(false);
        const QByteArray directAscii = clickAndRead(target, 11);
        setFraming(true);
        const QByteArray captured = clickAndRead(button, direct.size());
        QCOMPARE(captured, direct);
        QCOMPARE(list()->count(), 2);
        QCOMPARE(list()->item(1)->text(), codec::FormatHexText(direct));
        QVERIFY(!t->window->property("AddToListMode").toBool());
        QCOMPARE(t->pty.readFor(50), QByteArray()); // sent once
        // In ASCII framing the line holds the characters of the ASCII frame.
        setFraming(false);
        QCOMPARE(clickAndRead(button, directAscii.size()), directAscii);
        QCOMPARE(list()->item(2)->text(), codec::FormatHexText(directAscii));
    }

    // Every "↓" puts its target's body (code, count, data) into the IO box, in either framing.
    void ioButtons_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        for (const Cap &c : kCaptures)
            if (c.kind == IoKind)
                QTest::newRow(c.button)
                    << QString::fromLatin1(c.button) << QString::fromLatin1(c.target);
    }
    void ioButtons() {
        QFETCH(QString, button);
        QFETCH(QString, target);
        const QByteArray direct = clickAndRead(target, 5);
        const QString body = codec::FormatHexText(direct.mid(1, direct.size() - 3));
        QCOMPARE(clickAndRead(button, direct.size()), direct);
        QCOMPARE(box("Text31")->text(), body);
        QVERIFY(!t->window->property("AddToIoMode").toBool());
        QCOMPARE(list()->count(), 0);

        box("Text31")->clear();
        setFraming(false);
        QVERIFY(clickAndRead(button, 11).startsWith(':'));
        QCOMPARE(box("Text31")->text(), body);
    }

    void moveOf10000IntoIoBox() {
        t->click("Command82");
        QCOMPARE(box("Text31")->text(), QStringLiteral("31 04 00 00 27 10 "));
    }

    // IO capture, then list capture, then the send; both flags are consumed by one handler.
    void captureOrderAndFlags() {
        t->window->setProperty("AddToIoMode", true);
        t->window->setProperty("AddToListMode", true);
        const QByteArray sent = clickAndRead("Command18", 9);
        QCOMPARE(sent, hex("01310400002710E41D"));
        QCOMPARE(box("Text31")->text(), QStringLiteral("31 04 00 00 27 10 "));
        QCOMPARE(list()->item(0)->text(), codec::FormatHexText(sent));
        QVERIFY(!t->window->property("AddToIoMode").toBool() && !t->window->property("AddToListMode").toBool());

        // A handler that honours neither flag leaves them; the next honouring one consumes them.
        t->window->setProperty("AddToListMode", true);
        t->window->setProperty("AddToIoMode", true);
        clickAndRead("Command12", 5);
        QVERIFY(t->window->property("AddToListMode").toBool() && t->window->property("AddToIoMode").toBool());
        QCOMPARE(list()->count(), 1);
        clickAndRead("Command28", 5); // honours the list only
        QVERIFY(!t->window->property("AddToListMode").toBool() && t->window->property("AddToIoMode").toBool());
        QCOMPARE(list()->count(), 2);
    }

    void captureWithPortClosed() {
        t->click("Command33");
        t->click("Command46");
        QCOMPARE(list()->count(), 1);
        QCOMPARE(list()->item(0)->text(), QStringLiteral("01 25 04 00 00 00 64 FC DE "));
        QCOMPARE(t->sendPane(), QString());
    }

    void manualTools() {
        box("Text1")->setText(QStringLiteral("01 03 00 00 00 01"));
        t->click("Command8");
        QCOMPARE(box("Text2")->text(), QString("84"));
        QCOMPARE(box("Text3")->text(), QString("0A"));
        t->click("Command2");
        t->click("Command2");
        QCOMPARE(box("Text2")->text(), QString("0A"));
        QCOMPARE(box("Text3")->text(), QString("84"));
        t->click("Command9");
        QCOMPARE(box("Text4")->text(), QString("FB"));

        t->control<QCheckBox>("Check2")->setChecked(true);
        QCOMPARE(clickAndRead("Command1", 6), hex("010300000001"));
        QVERIFY(!t->control<QCheckBox>("Check2")->isChecked());
        t->control<QCheckBox>("Check2")->setChecked(true);
        QCOMPARE(clickAndRead("Command11", 8), hex("010300000001840A"));
        QVERIFY(!t->control<QCheckBox>("Check2")->isChecked());
        t->control<QCheckBox>("Check2")->setChecked(true);
        QCOMPARE(clickAndRead("Command10", 17), QByteArray(":010300000001FB\r\n"));
        QVERIFY(!t->control<QCheckBox>("Check2")->isChecked());
    }

    void manualToolsOddAndEmpty_data() {
        QTest::addColumn<QString>("hexBox");
        QTest::addColumn<QString>("lrc");
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("1 2 3") << "1 2 3"
                               << "EB" << hex("1203");
        QTest::newRow("01 0F") << "01 0F"
                               << "F0" << hex("010F");
        QTest::newRow("sum 0x100") << "10 F0"
                                   << "0" << hex("10F0");
        QTest::newRow("0A F0") << "0A F0"
                               << "6" << hex("0AF0");
        QTest::newRow("empty") << ""
                               << "0" << QByteArray();
        QTest::newRow("blanks only") << "   "
                                     << "0" << QByteArray();
    }
    void manualToolsOddAndEmpty() {
        QFETCH(QString, hexBox);
        QFETCH(QString, lrc);
        QFETCH(QByteArray, raw);
        box("Text1")->setText(hexBox);
        box("Text2")->setText(QStringLiteral("k2"));
        box("Text3")->setText(QStringLiteral("k3"));
        t->click("Command9");
        QCOMPARE(box("Text4")->text(), lrc);
        for (const char *button : {"Command1", "Command10", "Command11"})
            QCOMPARE(clickAndRead(button, raw.isEmpty() ? 0 : 2).isEmpty(), raw.isEmpty());
        if (raw.isEmpty()) {
            t->click("Command8");
            t->click("Command2");
            QCOMPARE(box("Text2")->text(), QString("k2"));
            QCOMPARE(box("Text3")->text(), QString("k3"));
        }
    }

    void stringTools() {
        box("Text5")->setText(QStringLiteral("AB"));
        t->click("Command5");
        QCOMPARE(box("Text1")->text(), QStringLiteral("41 42 "));
        box("Text5")->clear();
        t->click("Command56");
        QCOMPARE(box("Text5")->text(), QStringLiteral("AB"));

        box("Text5")->setText(QString::fromUtf8("中A"));
        t->click("Command5");
        QCOMPARE(box("Text1")->text(), QStringLiteral("D6D0 41 "));
        t->click("Command56");
        QCOMPARE(box("Text5")->text(), QString::fromUtf8("中A"));
        QCOMPARE(clickAndRead("Command37", 3), hex("D6D041"));

        box("Text5")->setText(QStringLiteral("AB"));
        QCOMPARE(clickAndRead("Command78", 2), hex("4142"));
        QCOMPARE(list()->item(0)->text(), QStringLiteral("AB"));

        box("Text1")->setText(QStringLiteral("01 03 00 00 00 01"));
        QCOMPARE(clickAndRead("Command79", 6), hex("010300000001"));
        QCOMPARE(clickAndRead("Command80", 8), hex("010300000001840A"));
        QCOMPARE(clickAndRead("Command77", 17), QByteArray(":010300000001FB\r\n"));
        QCOMPARE(list()->item(1)->text(), QStringLiteral("01 03 00 00 00 01 "));
        QCOMPARE(list()->item(2)->text(), QStringLiteral("01 03 00 00 00 01 84 0A "));
        QCOMPARE(list()->item(3)->text(),
                 QStringLiteral("3A 30 31 30 33 30 30 30 30 30 30 30 31 46 42 0D 0A "));
    }
};

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
