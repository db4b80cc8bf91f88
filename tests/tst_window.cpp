// The window as the engineer first sees it: every control found by its name, with its caption,
// tooltip, items, start value and enabled state.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "app/FrmMain.h"
#include "app/LampShape.h"
#include "app/WindowTimer.h"

class TestWindow : public QObject {
    Q_OBJECT

    FrmMain *window = nullptr;

    template <class T> T *control(const char *name) {
        auto *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }

private slots:
    // One window for the whole run; the tests that change controls come last.
    void initTestCase() {
        window = new FrmMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanupTestCase() { delete window; }

    void captionAndTabs() {
        QCOMPARE(window->windowTitle(),
                 QString::fromUtf8("Tervane数控MODBUS(CAN测试)调试工具FOR R7260S"));
        auto *tabs = control<QTabWidget>("SSTab1");
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(tabs->tabText(2), QString::fromUtf8("TervaneMODBUS调试工具"));
        QCOMPARE(tabs->tabText(3), QString::fromUtf8("通讯协议"));
    }

    void buttons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<bool>("enabled");
        const QString add = QString::fromUtf8("加入高级命令");
        const QString io = QString::fromUtf8("添加IO取代命令");
        const QString addManual = QString::fromUtf8("添加高级命令");
        auto row = [](const char *name, const char *caption, const QString &tip = {},
                      bool enabled = true) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << tip
                                << enabled;
        };
        row("Command32", "打开");
        row("Command33", "关闭", {}, false);
        row("Command3", "设寄存器映射地址");
        row("Command12", "握手");
        row("Command13", "查地址");
        row("Command14", "改地址");
        row("Command15", "查波特率");
        row("Command16", "改波特率");
        row("Command17", "初速度",
            QString::fromUtf8("设置运动初速度：把右边框中的值（脉冲/秒）写入设备"));
        row("Command24", "最大速度",
            QString::fromUtf8("设置运动最大速度：把右边框中的值（脉冲/秒）写入设备"));
        row("Command25", "末速度",
            QString::fromUtf8("设置运动末速度：把右边框中的值（脉冲/秒）写入设备"));
        row("Command26", "加速度",
            QString::fromUtf8("设置运动加速度：把右边框中的值（脉冲/秒²）写入设备"));
        row("Command27", "减速度",
            QString::fromUtf8("设置运动减速度：把右边框中的值（脉冲/秒²）写入设备"));
        row("Command64", "归零速度",
            QString::fromUtf8("设置归零运动速度：把右边框中的值（脉冲/秒）写入设备"));
        for (const char *q :
             {"Command57", "Command58", "Command59", "Command60", "Command61", "Command62"})
            row(q, "?", QString::fromUtf8("查询设定值"));
        row("Command28", "运动速度");
        row("Command30", "绝对位置");
        row("Command31", "相对位置");
        row("Command29", "运动状态");
        row("Command66", "0", QString::fromUtf8("清零"));
        row("Command67", "0", QString::fromUtf8("清零"));
        for (const char *a :
             {"Command43", "Command46", "Command47", "Command48", "Command49", "Command50",
              "Command51", "Command52", "Command53", "Command63", "Command69", "Command70",
              "Command71", "Command72", "Command73", "Command74", "Command75", "Command76",
              "Command38", "Command39", "Command40", "Command41", "Command42", "Command44",
              "Command45", "Command68", "Command99"})
            row(a, ">", add);
        for (const char *a : {"Command77", "Command78", "Command79", "Command80"})
            row(a, ">", addManual);
        for (const char *d : {"Command82", "Command83", "Command84", "Command85", "Command86",
                              "Command87", "Command89", "Command90", "Command97", "Command98"})
            row(d, "↓", io);
        row("Command18", "运动");
        row("Command19", "运动");
        row("Command20", "运动");
        row("Command21", "运动");
        row("Command22", "减速停止");
        row("Command23", "立即停止");
        row("Command7", "归零");
        row("Command65", "执行");
        row("Command81", "下载");
        row("Command88", "?");
        row("Command91", "运动因子");
        row("Command92", "加速度");
        row("Command93", "减速度");
        row("Command94", "查询IN");
        row("Command96", "出厂设置");
        row("Command95", "CAN波特率");
        row("Command100", "标准帧");
        row("Command101", "扩展帧");
        row("Command102", "无校验检查");
        row("Command103", "有校验检查");
        row("Command104", "回8byte长");
        row("Command105", "回协议长");
        row("Command106", "HEX到CAN发送");
        row("Command34", "插入命令");
        row("Command35", "插入命令");
        row("Command54", "打开文件");
        row("Command55", "命令另存为");
        row("Command1", "发送16进制数据");
        row("Command2", "CRC高位在前");
        row("Command8", "CRC低位在前");
        row("Command9", "计算LRC");
        row("Command10", "MODBUS发送ASC");
        row("Command11", "MODBUS发送RTU");
        row("Command5", "转为16进制");
        row("Command56", "转为字符串");
        row("Command37", "发送字符串");
        row("Command36", "清空内容");
        row("Command6", "清空内容");
    }
    void buttons() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        QFETCH(bool, enabled);
        auto *b = window->findChild<QPushButton *>(name);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->toolTip(), tip);
        QCOMPARE(b->isEnabled(), enabled);
        QVERIFY(b->isVisibleTo(window->findChild<QTabWidget *>("SSTab1")->widget(2)));
    }

    void textBoxes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const char *rows[][2] = {
            {"Text23", "1"},     {"Text34", "0"},
            {"Text7", ""},       {"Text12", "100"},
            {"Text13", "10000"}, {"Text14", "1000"},
            {"Text15", "10000"}, {"Text16", "10000"},
            {"Text29", "10000"}, {"Text6", "0"},
            {"Text24", "0"},     {"Text25", "0"},
            {"Text26", "0"},     {"Text27", "0"},
            {"Text28", "0"},     {"Text17", "0"},
            {"Text18", "0"},     {"Text19", "0"},
            {"Text8", "10000"},  {"Text9", "1000"},
            {"Text10", "10000"}, {"Text11", "10000"},
            {"Text30", "10000"}, {"Text31", ""},
            {"Text32", "500"},   {"Text33", "01 02 03 04 05"},
            {"Text20", "1000"},  {"Text21", "0"},
            {"Text22", "1000"},  {"Text1", ""},
            {"Text2", ""},       {"Text3", ""},
            {"Text4", ""},       {"Text5", ""},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromUtf8(r[1]);
    }
    void textBoxes() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        auto *t = window->findChild<QLineEdit *>(name);
        QVERIFY(t);
        QCOMPARE(t->text(), text);
        QVERIFY(t->isEnabled());
    }

    void combos_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QStringList coms, patterns;
        for (int i = 1; i <= 9; ++i)
            coms << QStringLiteral("COM%1").arg(i);
        for (int k = 1; k <= 31; ++k)
            patterns << QStringLiteral("%1").arg(k, 5, 2, QLatin1Char('0'));
        QTest::newRow("Combo1") << "Combo1" << coms << "COM1";
        QTest::newRow("Combo2") << "Combo2"
                                << QStringList{"300",   "600",    "1200",  "2400",  "4800",
                                               "9600",  "14400",  "19200", "38400", "56000",
                                               "57600", "115200", "128000"}
                                << "9600";
        QTest::newRow("Combo7") << "Combo7" << QStringList{"Modbus RTU", "Modbus ASC"}
                                << "Modbus RTU";
        QTest::newRow("Combo6") << "Combo6" << QStringList{"2400",  "4800",  "9600", "14400",
                                                           "19200", "38400", "57600"}
                                << "9600";
        for (const char *d : {"Combo3", "Combo4", "Combo5"})
            QTest::newRow(d) << d << QStringList{"0", "1"} << "0";
        QTest::newRow("Combo8") << "Combo8" << patterns << "00001";
        QTest::newRow("Combo9") << "Combo9"
                                << QStringList{"1M",   "900K", "800K", "750K", "600K", "500K",
                                               "400K", "250K", "200K", "150K", "125K", "100K",
                                               "80K",  "50K",  "25K",  "20K",  "10K",  "5K"}
                                << "100K";
    }
    void combos() {
        QFETCH(QString, name);
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        auto *c = window->findChild<QComboBox *>(name);
        QVERIFY(c);
        QVERIFY(c->isEditable());
        QStringList actual;
        for (int i = 0; i < c->count(); ++i)
            actual << c->itemText(i);
        QCOMPARE(actual, items);
        QCOMPARE(c->currentText(), text);
    }

    void labels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const char *rows[][2] = {
            {"Label8", "串口号："},
            {"Label9", "波特率："},
            {"Label10", "起始位为1，终止位为1"},
            {"Label11", "无奇偶校验，无硬件控制"},
            {"Label18", "选择通讯模式:"},
            {"Label40", "设备操作地址(Hex)："},
            {"Label12", "New Addr:"},
            {"Label13", "Bitrate:"},
            {"Label7", "新设值"},
            {"Label14", "查询值"},
            {"Label16", "运动相关查询"},
            {"Label15", "停止"},
            {"Label41", "左限"},
            {"Label43", "零点"},
            {"Label42", "右限"},
            {"Label19", "位置运动:"},
            {"Label20", "正/负方向脉冲数:"},
            {"Label21", "方向:"},
            {"Label22", "脉冲数:"},
            {"Label23", "恒速运动:"},
            {"Label24", "正/负方向速度:"},
            {"Label25", "方向:"},
            {"Label26", "速度:"},
            {"Label36", "查找零点:"},
            {"Label37", "方向:"},
            {"Label27", "运动中改变速度:   新速度"},
            {"Label28", "PLUS/S"},
            {"Label61", "IO控制:"},
            {"Label64", "IN序号  54321"},
            {"Label62", "＝命令"},
            {"Label65", "以下CAN相关"},
            {"Label63", "IN1  IN2   IN3  IN4  IN5"},
            {"Label59", "隔"},
            {"Label60", "MS"},
            {"Label29", "无延时命令，默认间隔为1秒"},
            {"Label32", "延时:"},
            {"Label33", "毫秒50-60000"},
            {"Label34", "跳转:"},
            {"Label35", "行"},
            {"Label3", "输入16进制："},
            {"Label4", "输入字符串："},
            {"Label5", "CRC校验："},
            {"Label6", "LRC校验："},
            {"Label1", "接收内容："},
            {"Label2", "发送内容："},
            {"Label44", "0"},
            {"Label45", "0"},
            {"Label17", "Version for 3.x"},
            {"Label31", "语言选择(Select Language):"},
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromUtf8(r[1]);
    }
    void labels() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        auto *l = window->findChild<QLabel *>(name);
        QVERIFY(l);
        QCOMPARE(l->text(), caption);
    }

    void informationTabLabels() {
        for (const char *name : {"Label30", "Label38", "Label39", "Label46", "Label47", "Label48",
                                 "Label49", "Label50", "Label51", "Label52", "Label53", "Label54",
                                 "Label55", "Label56", "Label57", "Label58"})
            QVERIFY2(control<QLabel>(name), name);
        QVERIFY(control<QLabel>("Picture1"));
    }

    void groups() {
        const char *rows[][2] = {
            {"Frame4", "串口设置"},       {"Frame1", "基本命令"},
            {"Frame2", "参数设置与查询"}, {"Frame3", "运动控制"},
            {"Frame5", "其他"},           {"Frame6", "高级自动控制功能(HEX格式)"}};
        for (const auto &r : rows) {
            auto *g = control<QGroupBox>(r[0]);
            QVERIFY2(g, r[0]);
            QCOMPARE(g->title(), QString::fromUtf8(r[1]));
        }
    }

    void checksAndOptions() {
        QCOMPARE(control<QCheckBox>("Check2")->text(), QString::fromUtf8("按西门子标准"));
        QVERIFY(!control<QCheckBox>("Check2")->isChecked());
        QCOMPARE(control<QCheckBox>("Check1")->text(), QString::fromUtf8("按行循环执行命令"));
        QVERIFY(!control<QCheckBox>("Check1")->isChecked());
        auto *read = control<QRadioButton>("Option3");
        auto *write = control<QRadioButton>("Option4");
        auto *chinese = control<QRadioButton>("Option1");
        auto *english = control<QRadioButton>("Option2");
        QCOMPARE(read->text(), QString::fromUtf8("读"));
        QCOMPARE(write->text(), QString::fromUtf8("写"));
        QCOMPARE(chinese->text(), QString::fromUtf8("中文"));
        QCOMPARE(english->text(), QString("English"));
        QVERIFY(read->isChecked() && !write->isChecked());
        QVERIFY(!chinese->isChecked() && !english->isChecked());

        // Two independent exclusive pairs.
        english->click();
        QVERIFY(english->isChecked() && !chinese->isChecked());
        QVERIFY(read->isChecked());
        write->click();
        QVERIFY(write->isChecked() && !read->isChecked());
        QVERIFY(english->isChecked());
        chinese->click();
        QVERIFY(chinese->isChecked() && !english->isChecked() && write->isChecked());
        // The language buttons change nothing.
        QCOMPARE(control<QPushButton>("Command12")->text(), QString::fromUtf8("握手"));
        read->click();
    }

    void windowState() {
        QCOMPARE(window->property("AddToListMode").toBool(), false);
        QCOMPARE(window->property("AddToIoMode").toBool(), false);
        QCOMPARE(window->property("RunLine").toInt(), 0);
        auto *timer1 = window->findChild<WindowTimer *>("Timer1");
        auto *timer2 = window->findChild<WindowTimer *>("Timer2");
        QVERIFY(timer1 && timer2);
        QCOMPARE(timer1->interval(), 200);
        QCOMPARE(timer2->interval(), 1000);
        QVERIFY(!timer1->enabled());
        QVERIFY(!timer2->enabled());
        auto *menu = window->findChild<QMenu *>("MenuCMD");
        QVERIFY(menu);
        QCOMPARE(menu->title(), QString::fromUtf8("命令操作"));
        auto *remove = window->findChild<QAction *>("DelectList");
        auto *clear = window->findChild<QAction *>("DelectAll");
        QVERIFY(remove && clear);
        QCOMPARE(remove->text(), QString::fromUtf8("删除"));
        QCOMPARE(clear->text(), QString::fromUtf8("清空"));
        QVERIFY(control<QListWidget>("List1"));
        QCOMPARE(control<QListWidget>("List1")->count(), 0);
    }

    void panesAndLamps() {
        for (const char *pane : {"RichTextBox1", "RichTextBox2"}) {
            QObject *p = control<QWidget>(pane);
            QVERIFY(p);
            QCOMPARE(p->property("Text").toString(), QString());
        }
        QVERIFY(!control<QWidget>("RichTextBox3")->property("Text").toString().isEmpty());
        QCOMPARE(control<QWidget>("Shape1")->property("BackColor").toUInt(), 0x80000008u);
        for (const char *lamp :
             {"Shape2", "Shape3", "Shape4", "Shape5", "Shape6", "Shape7", "Shape8", "Shape9"})
            QCOMPARE(control<QWidget>(lamp)->property("BackColor").toUInt(), 0u);
    }

    void framingSelectorEnablesIoButtons() {
        auto *framing = control<QComboBox>("Combo7");
        auto *download = control<QPushButton>("Command81");
        auto *query = control<QPushButton>("Command88");
        framing->setCurrentText(QStringLiteral("Modbus ASC"));
        QVERIFY(!download->isEnabled() && !query->isEnabled());
        framing->setCurrentText(QStringLiteral("Modbus RTU "));
        QVERIFY(!download->isEnabled() && !query->isEnabled());
        framing->setCurrentText(QStringLiteral("Modbus RTU"));
        QVERIFY(download->isEnabled() && query->isEnabled());
    }

    void clearButtonsResetPanesAndCounters() {
        control<QLabel>("Label44")->setText(QStringLiteral("12"));
        control<QLabel>("Label45")->setText(QStringLiteral("34"));
        control<QWidget>("RichTextBox1")->setProperty("Text", QStringLiteral("x"));
        control<QWidget>("RichTextBox2")->setProperty("Text", QStringLiteral("y"));
        QTest::mouseClick(control<QPushButton>("Command36"), Qt::LeftButton);
        QCOMPARE(control<QLabel>("Label45")->text(), QString("0"));
        QCOMPARE(control<QWidget>("RichTextBox1")->property("Text").toString(), QString());
        QCOMPARE(control<QWidget>("RichTextBox2")->property("Text").toString(), QString("y"));
        QTest::mouseClick(control<QPushButton>("Command6"), Qt::LeftButton);
        QCOMPARE(control<QLabel>("Label44")->text(), QString("0"));
        QCOMPARE(control<QWidget>("RichTextBox2")->property("Text").toString(), QString());
    }

    // Every control fits the window at 1366x768; the screenshot is saved for a human to look at.
    void layoutFitsAndScreenshot() {
        window->resize(1366, 740);
        QTest::qWait(50);
        const QString path = qEnvironmentVariable("R7260_SCREENSHOT");
        if (!path.isEmpty())
            QVERIFY(window->grab().save(path));
        auto *tool = window->findChild<QTabWidget *>("SSTab1")->widget(2);
        qInfo() << "minimum size" << window->minimumSizeHint();
        QVERIFY(window->minimumSizeHint().height() <= 740);
        QVERIFY(window->minimumSizeHint().width() <= 1366);
        for (QWidget *w : tool->findChildren<QWidget *>()) {
            if (!w->isVisible() || w->objectName().isEmpty() || qobject_cast<QMenu *>(w))
                continue;
            const QRect inTab(w->mapTo(tool, QPoint(0, 0)), w->size());
            QVERIFY2(tool->rect().contains(inTab), qPrintable(w->objectName()));
            if (auto *b = qobject_cast<QPushButton *>(w))
                QVERIFY2(b->width() >= b->fontMetrics().horizontalAdvance(b->text()),
                         qPrintable(b->objectName()));
        }
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
