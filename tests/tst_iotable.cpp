// The IO replacement download: the request for a pattern, an address and a command body, the
// refusals, and the button in the window with the frame arriving at the far side of a pty.

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "device/RequestBuilder.h"
#include "tests/support/WindowOnPty.h"

namespace {

std::variant<QByteArray, device::Refusal, device::NoRequest> buildIo(const QString &a, const QString &p, const QString &c) {
    const auto r = device::buildRequest(device::command(device::FunctionCode::BindInputs), a, {p, c}, codec::Framing::Ascii);
    if (auto *q = std::get_if<device::Request>(&r)) return q->frame;
    if (auto *f = std::get_if<device::Refusal>(&r)) return *f;
    return device::NoRequest{};
}
QByteArray bytes(const char *hex) {
    return QByteArray::fromHex(hex);
}

const QString kTitle = QString::fromUtf8("系统提示");
const QString kAddressRefusal = QString::fromUtf8("设备操作地址超出范围,请设置0到FF之间");
const QString kCommandRefusal = QString::fromUtf8("IO取代命令超出范围,请设置0到254个字节之间");

} // namespace

class TestIoTable : public QObject {
    Q_OBJECT

private slots:
    // Expected frames carry CRCs computed apart from the tool.
    void frames_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("frame");

        QTest::newRow("32-bit move on IN1")
            << "1"
            << "00001"
            << "31 04 00 00 27 10 " << bytes("01400701310400002710AEFA");
        QTest::newRow("address 10 is hex: station 0x10; IN5")
            << "10"
            << "10000"
            << "31 04 00 00 27 10" << bytes("10400710310400002710FFAB");
        QTest::newRow("odd digit count padded; all inputs") << "1F"
                                                            << "11111"
                                                            << "3C0" << bytes("1F40031F3C002339");
        QTest::newRow("lower-case address")
            << "a"
            << "00001"
            << "31 04 00 00 27 10" << bytes("0A400701310400002710DF1F");
        QTest::newRow("highest address, a blank command") << "FF"
                                                          << "00101"
                                                          << " " << bytes("FF400105F077");
        QTest::newRow("address 0") << "0"
                                   << "00001"
                                   << "3D" << bytes("004002013D5041");
        QTest::newRow("non-hex pairs read by the hex text rules")
            << "1"
            << "00001"
            << "G1" << bytes("0140020100AC50");
    }

    void frames() {
        QFETCH(QString, address);
        QFETCH(QString, pattern);
        QFETCH(QString, command);
        QFETCH(QByteArray, frame);
        const auto download = buildIo(address, pattern, command);
        QVERIFY(std::holds_alternative<QByteArray>(download));
        QCOMPARE(std::get<QByteArray>(download).toHex(' '), frame.toHex(' '));
    }

    void longestCommand() {
        const auto download =
            buildIo("1", "00001", QString(254 * 2, QLatin1Char('A')));
        QVERIFY(std::holds_alternative<QByteArray>(download));
        const QByteArray frame = std::get<QByteArray>(download);
        QCOMPARE(frame.size(), 4 + 254 + 2);
        QCOMPARE(quint8(frame[2]), quint8(0xFF));
    }

    void refusals_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("address 100") << "100"
                                     << "3D" << kAddressRefusal;
        QTest::newRow("address FFF") << "FFF"
                                     << "3D" << kAddressRefusal;
        QTest::newRow("blanks skipped: 1 00") << "1 00"
                                              << "3D" << kAddressRefusal;
        QTest::newRow("255 command bytes")
            << "1" << QString(255 * 2, QLatin1Char('A')) << kCommandRefusal;
    }

    void refusals() {
        QFETCH(QString, address);
        QFETCH(QString, command);
        QFETCH(QString, message);
        const auto download = buildIo(address, "00001", command);
        QVERIFY(std::holds_alternative<device::Refusal>(download));
        QCOMPARE(device::refusalMessage(std::get<device::Refusal>(download)), message);
    }

    void emptyCommandBuildsNothing() {
        QVERIFY(std::holds_alternative<device::NoRequest>(
            buildIo("100", "00001", QString())));
    }

    // ---- The button ------------------------------------------------------------------------

    void downloadButton_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("IN1") << "1"
                             << "00001"
                             << "31 04 00 00 27 10 " << bytes("01400701310400002710AEFA");
        QTest::newRow("IN5 at 10") << "10"
                                   << "10000"
                                   << "31 04 00 00 27 10" << bytes("10400710310400002710FFAB");
        QTest::newRow("all at 1F") << "1F"
                                   << "11111"
                                   << "3C0" << bytes("1F40031F3C002339");
    }

    void downloadButton() {
        QFETCH(QString, address);
        QFETCH(QString, pattern);
        QFETCH(QString, command);
        QFETCH(QByteArray, frame);
        WindowOnPty tool;
        QVERIFY(tool.isOpen());
        tool.control<QLineEdit>("Text23")->setText(address);
        tool.control<QComboBox>("Combo8")->setCurrentText(pattern);
        tool.control<QLineEdit>("Text31")->setText(command);
        QCOMPARE(tool.frameOf("Command81", frame.size()).toHex(' '), frame.toHex(' '));
        QVERIFY(tool.prompts->messages.isEmpty());
        QCOMPARE(tool.control<QListWidget>("List1")->count(), 0);
    }

    void downloadIntoTheList() {
        WindowOnPty tool;
        tool.control<QLineEdit>("Text31")->setText("31 04 00 00 27 10");
        auto *list = tool.control<QListWidget>("List1");
        list->addItem("AA");
        tool.window->setProperty("AddToListMode", true);
        const QByteArray frame = bytes("01400701310400002710AEFA");
        QCOMPARE(tool.frameOf("Command81", frame.size()), frame);
        QVERIFY(!tool.window->property("AddToListMode").toBool());
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QStringLiteral("01 40 07 01 31 04 00 00 27 10 AE FA "));
        // The next download is not captured.
        QCOMPARE(tool.frameOf("Command81", frame.size()), frame);
        QCOMPARE(list->count(), 2);
    }

    void portClosedStillCaptures() {
        WindowOnPty tool(false);
        tool.control<QLineEdit>("Text31")->setText("3C0");
        tool.window->setProperty("AddToListMode", true);
        tool.click("Command81");
        QVERIFY(!tool.window->property("AddToListMode").toBool());
        QCOMPARE(tool.control<QListWidget>("List1")->item(0)->text(),
                 QStringLiteral("01 40 03 01 3C 00 40 81 "));
        QVERIFY(tool.pty.readFor(100).isEmpty());
    }

    void emptyCommandDoesNothing() {
        WindowOnPty tool;
        tool.control<QLineEdit>("Text23")->setText("100"); // would be refused
        tool.window->setProperty("AddToListMode", true);
        tool.window->setProperty("AddToIoMode", true);
        tool.click("Command81");
        QVERIFY(tool.pty.readFor(200).isEmpty());
        QVERIFY(tool.prompts->messages.isEmpty());
        QVERIFY(tool.window->property("AddToListMode").toBool());
        QVERIFY(tool.window->property("AddToIoMode").toBool());
        QCOMPARE(tool.control<QListWidget>("List1")->count(), 0);
    }

    void refusedDownloadSendsNothing_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        QTest::newRow("address 100") << "100"
                                     << "3D" << kAddressRefusal;
        QTest::newRow("command too long")
            << "1" << QString(255 * 2, QLatin1Char('0')) << kCommandRefusal;
    }

    void refusedDownloadSendsNothing() {
        QFETCH(QString, address);
        QFETCH(QString, command);
        QFETCH(QString, message);
        WindowOnPty tool;
        tool.control<QLineEdit>("Text23")->setText(address);
        tool.control<QLineEdit>("Text31")->setText(command);
        tool.window->setProperty("AddToListMode", true);
        tool.click("Command81");
        QCOMPARE(tool.prompts->messages.size(), 1);
        QCOMPARE(tool.prompts->messages[0].title, kTitle);
        QCOMPARE(tool.prompts->messages[0].text, message);
        QVERIFY(tool.pty.readFor(200).isEmpty());
        QVERIFY(tool.window->property("AddToListMode").toBool());
        QCOMPARE(tool.control<QListWidget>("List1")->count(), 0);
    }
};

QTEST_MAIN(TestIoTable)
#include "tst_iotable.moc"
