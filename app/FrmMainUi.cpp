// Construction of the window: every control with its caption, tooltip, items, start value and
// enabled state, arranged as the groups of the tool tab.

#include "app/FrmMain.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/LampShape.h"
#include "app/RichTextBox.h"

namespace {

// Passes a member together with its own name, so a control's object name is always its
// member name.
#define NAMED(member) member, #member

const QString kAddTip = QStringLiteral("加入高级命令");
const QString kAddTipManual = QStringLiteral("添加高级命令");
const QString kIoTip = QStringLiteral("添加IO取代命令");
const QString kQueryTip = QStringLiteral("查询设定值");
const QString kClearTip = QStringLiteral("清零");

template <class W> W *named(W *&member, const char *name, W *widget) {
    widget->setObjectName(QLatin1String(name));
    member = widget;
    return widget;
}

QPushButton *button(QPushButton *&member, const char *name, const QString &caption,
                    const QString &tip = {}) {
    auto *b = named(member, name, new QPushButton(caption));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

// The narrow buttons: ">" add, "↓" IO capture, "?" query, "0" clear.
QPushButton *smallButton(QPushButton *&member, const char *name, const QString &caption,
                         const QString &tip) {
    auto *b = button(member, name, caption, tip);
    b->setFixedWidth(26);
    return b;
}

QPushButton *addButton(QPushButton *&member, const char *name) {
    return smallButton(member, name, QStringLiteral(">"), kAddTip);
}

QPushButton *ioButton(QPushButton *&member, const char *name) {
    return smallButton(member, name, QStringLiteral("↓"), kIoTip);
}

QLabel *label(QLabel *&member, const char *name, const QString &caption) {
    return named(member, name, new QLabel(caption));
}

QLineEdit *textBox(QLineEdit *&member, const char *name, const QString &text, int width = 0) {
    auto *t = named(member, name, new QLineEdit(text));
    if (width > 0)
        t->setFixedWidth(width);
    return t;
}

QComboBox *combo(QComboBox *&member, const char *name, const QStringList &items,
                 const QString &text) {
    auto *c = named(member, name, new QComboBox);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setCurrentText(text);
    return c;
}

LampShape *lamp(LampShape *&member, const char *name, quint32 color) {
    auto *l = named(member, name, new LampShape);
    l->setBackColor(color);
    return l;
}

QGroupBox *group(QGroupBox *&member, const char *name, const QString &caption) {
    return named(member, name, new QGroupBox(caption));
}

// A horizontal run of widgets with no margins; nullptr adds a stretch.
QWidget *row(std::initializer_list<QWidget *> widgets, int spacing = 4) {
    auto *w = new QWidget;
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spacing);
    for (QWidget *widget : widgets) {
        if (widget)
            l->addWidget(widget);
        else
            l->addStretch(1);
    }
    return w;
}

QGridLayout *compactGrid(QWidget *parent) {
    auto *g = new QGridLayout(parent);
    g->setContentsMargins(6, 4, 6, 4);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(3);
    return g;
}

QStringList numbered(const QString &prefix, int first, int last) {
    QStringList items;
    for (int i = first; i <= last; ++i)
        items << prefix + QString::number(i);
    return items;
}

QStringList inputPatterns() {
    QStringList items;
    for (int k = 1; k <= 31; ++k)
        items << QStringLiteral("%1").arg(k, 5, 2, QLatin1Char('0'));
    return items;
}

QPixmap pictureOfTheDevice() {
    QPixmap pixmap(120, 60);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x30, 0x50, 0x80));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 116, 56), 6, 6);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPointSize(12);
    p.setFont(font);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("R7260S"));
    return pixmap;
}

} // namespace

void FrmMain::buildUi() {
    setWindowTitle(kCaption);

    SSTab1 = new QTabWidget;
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(buildInfoTab({label(NAMED(Label30), QStringLiteral("步进电机驱动器")),
                                 label(NAMED(Label38), QStringLiteral("细分型步进驱动器")),
                                 label(NAMED(Label39), QStringLiteral("数字式步进驱动器")),
                                 label(NAMED(Label46), QStringLiteral("混合式步进电机")),
                                 label(NAMED(Label47), QStringLiteral("闭环步进系统")),
                                 label(NAMED(Label48), QStringLiteral("一体化步进电机")),
                                 label(NAMED(Label49), QStringLiteral("直线步进电机")),
                                 label(NAMED(Label50), QStringLiteral("步进电机减速机"))}),
                   QStringLiteral("驱动产品"));
    SSTab1->addTab(buildInfoTab({label(NAMED(Label51), QStringLiteral("单轴运动控制器")),
                                 label(NAMED(Label52), QStringLiteral("多轴运动控制器")),
                                 label(NAMED(Label53), QStringLiteral("总线型运动控制器")),
                                 label(NAMED(Label54), QStringLiteral("CAN总线驱动控制器")),
                                 label(NAMED(Label55), QStringLiteral("RS-485驱动控制器")),
                                 label(NAMED(Label56), QStringLiteral("脉冲发生器")),
                                 label(NAMED(Label57), QStringLiteral("人机界面")),
                                 label(NAMED(Label58), QStringLiteral("配套电源与线缆"))}),
                   QStringLiteral("控制产品"));
    SSTab1->addTab(buildToolTab(), QStringLiteral("TervaneMODBUS调试工具"));
    SSTab1->addTab(buildProtocolTab(), QStringLiteral("通讯协议"));
    SSTab1->setCurrentIndex(2);
    setCentralWidget(SSTab1);

    MenuCMD = new QMenu(QStringLiteral("命令操作"), this);
    MenuCMD->setObjectName(QStringLiteral("MenuCMD"));
    DelectList = MenuCMD->addAction(QStringLiteral("删除"));
    DelectList->setObjectName(QStringLiteral("DelectList"));
    DelectAll = MenuCMD->addAction(QStringLiteral("清空"));
    DelectAll->setObjectName(QStringLiteral("DelectAll"));
}

QWidget *FrmMain::buildInfoTab(const QList<QLabel *> &labels) {
    auto *tab = new QWidget;
    auto *column = new QVBoxLayout(tab);
    for (QLabel *l : labels)
        column->addWidget(l);
    column->addStretch(1);
    return tab;
}

QWidget *FrmMain::buildProtocolTab() {
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    RichTextBox3 = named(RichTextBox3, "RichTextBox3", new RichTextBox);
    QFile document(QStringLiteral(":/protocol.txt"));
    if (document.open(QIODevice::ReadOnly))
        RichTextBox3->setText(QString::fromUtf8(document.readAll()));
    layout->addWidget(RichTextBox3);
    return tab;
}

QWidget *FrmMain::buildToolTab() {
    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(4);

    auto *left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(buildSerialRow());
    buildFrame5();
    left->addWidget(Frame5);
    left->addStretch(1);

    auto *middle = new QVBoxLayout;
    middle->setSpacing(4);
    buildFrame2();
    middle->addWidget(Frame2);
    buildFrame3();
    middle->addWidget(Frame3);
    buildFrame1();
    middle->addWidget(Frame1);
    middle->addStretch(1);

    auto *right = new QVBoxLayout;
    right->setSpacing(4);
    right->addWidget(buildTrafficPanes(), 3);
    buildFrame6();
    right->addWidget(Frame6, 2);

    auto *other = new QGridLayout;
    other->setSpacing(4);
    label(NAMED(Label17), QStringLiteral("Version for 3.x"));
    label(NAMED(Label31), QStringLiteral("语言选择(Select Language):"));
    named(Option1, "Option1", new QRadioButton(QStringLiteral("中文")));
    named(Option2, "Option2", new QRadioButton(QStringLiteral("English")));
    auto *language = new QButtonGroup(this);
    language->addButton(Option1);
    language->addButton(Option2);
    label(NAMED(Picture1), QString());
    Picture1->setPixmap(pictureOfTheDevice());
    other->addWidget(Label31, 0, 0, 1, 3);
    other->addWidget(Option1, 1, 0);
    other->addWidget(Option2, 1, 1);
    other->addWidget(Label17, 2, 0, 1, 2);
    other->addWidget(Picture1, 0, 3, 3, 1, Qt::AlignRight | Qt::AlignVCenter);

    grid->addLayout(left, 0, 0);
    grid->addLayout(middle, 0, 1);
    grid->addLayout(right, 0, 2);
    grid->addWidget(buildManualTools(), 1, 0, 1, 2);
    grid->addLayout(other, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(0, 1);
    return tab;
}

QWidget *FrmMain::buildSerialRow() {
    auto *box = new QWidget;
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    group(NAMED(Frame4), QStringLiteral("串口设置"));
    auto *g = compactGrid(Frame4);
    label(NAMED(Label8), QStringLiteral("串口号："));
    combo(NAMED(Combo1), numbered(QStringLiteral("COM"), 1, 9), QStringLiteral("COM1"));
    label(NAMED(Label9), QStringLiteral("波特率："));
    combo(NAMED(Combo2),
          {"300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000",
           "57600", "115200", "128000"},
          QStringLiteral("9600"));
    label(NAMED(Label10), QStringLiteral("起始位为1，终止位为1"));
    label(NAMED(Label11), QStringLiteral("无奇偶校验，无硬件控制"));
    button(NAMED(Command32), QStringLiteral("打开"));
    button(NAMED(Command33), QStringLiteral("关闭"));
    Command33->setEnabled(false);
    g->addWidget(Label8, 0, 0);
    g->addWidget(Combo1, 0, 1);
    g->addWidget(Command32, 0, 2);
    g->addWidget(Label9, 1, 0);
    g->addWidget(Combo2, 1, 1);
    g->addWidget(Command33, 1, 2);
    g->addWidget(Label10, 2, 0, 1, 3);
    g->addWidget(Label11, 3, 0, 1, 3);
    column->addWidget(Frame4);

    // Framing mode, device address and the register mapping sit above the command groups.
    label(NAMED(Label18), QStringLiteral("选择通讯模式:"));
    combo(NAMED(Combo7), {"Modbus RTU", "Modbus ASC"}, QStringLiteral("Modbus RTU"));
    label(NAMED(Label40), QStringLiteral("设备操作地址(Hex)："));
    textBox(NAMED(Text23), QStringLiteral("1"), 50);
    named(Check2, "Check2", new QCheckBox(QStringLiteral("按西门子标准")));
    button(NAMED(Command3), QStringLiteral("设寄存器映射地址"));
    textBox(NAMED(Text34), QStringLiteral("0"), 60);
    named(Option3, "Option3", new QRadioButton(QStringLiteral("读")));
    named(Option4, "Option4", new QRadioButton(QStringLiteral("写")));
    Option3->setChecked(true);
    auto *readWrite = new QButtonGroup(this);
    readWrite->addButton(Option3);
    readWrite->addButton(Option4);
    column->addWidget(row({Label18, Combo7, nullptr}));
    column->addWidget(row({Label40, Text23, nullptr}));
    column->addWidget(row({Check2, Option3, Option4, nullptr}));
    column->addWidget(row({Command3, Text34, nullptr}));
    return box;
}

void FrmMain::buildFrame1() {
    group(NAMED(Frame1), QStringLiteral("基本命令"));
    auto *g = compactGrid(Frame1);
    button(NAMED(Command12), QStringLiteral("握手"));
    button(NAMED(Command13), QStringLiteral("查地址"));
    button(NAMED(Command15), QStringLiteral("查波特率"));
    button(NAMED(Command14), QStringLiteral("改地址"));
    label(NAMED(Label12), QStringLiteral("New Addr:"));
    textBox(NAMED(Text7), QString(), 60);
    button(NAMED(Command16), QStringLiteral("改波特率"));
    label(NAMED(Label13), QStringLiteral("Bitrate:"));
    combo(NAMED(Combo6), {"2400", "4800", "9600", "14400", "19200", "38400", "57600"},
          QStringLiteral("9600"));
    g->addWidget(Command12, 0, 0);
    g->addWidget(Command13, 0, 1);
    g->addWidget(Command15, 0, 2);
    g->addWidget(Command14, 1, 0);
    g->addWidget(Label12, 1, 1, Qt::AlignRight);
    g->addWidget(Text7, 1, 2);
    g->addWidget(Command16, 2, 0);
    g->addWidget(Label13, 2, 1, Qt::AlignRight);
    g->addWidget(Combo6, 2, 2);
    g->setColumnStretch(3, 1);
}

void FrmMain::buildFrame2() {
    group(NAMED(Frame2), QStringLiteral("参数设置与查询"));
    auto *outer = new QHBoxLayout(Frame2);
    outer->setContentsMargins(6, 4, 6, 4);
    outer->setSpacing(10);

    // Left: the six parameters, set (with their value) and queried (with the queried value).
    auto *params = new QGridLayout;
    params->setHorizontalSpacing(4);
    params->setVerticalSpacing(3);
    label(NAMED(Label7), QStringLiteral("新设值"));
    label(NAMED(Label14), QStringLiteral("查询值"));
    params->addWidget(Label7, 0, 1, Qt::AlignCenter);
    params->addWidget(Label14, 0, 4, Qt::AlignCenter);
    struct ParameterRow {
        QPushButton *&set;
        const char *setName;
        const char *caption;
        QLineEdit *&value;
        const char *valueName;
        const char *start;
        QPushButton *&addSet;
        const char *addSetName;
        QPushButton *&query;
        const char *queryName;
        QLineEdit *&result;
        const char *resultName;
        QPushButton *&addQuery;
        const char *addQueryName;
    };
    const ParameterRow rows[] = {
        {NAMED(Command17), "初速度", NAMED(Text12), "100", NAMED(Command46), NAMED(Command57),
         NAMED(Text27), NAMED(Command71)},
        {NAMED(Command24), "最大速度", NAMED(Text13), "10000", NAMED(Command47), NAMED(Command58),
         NAMED(Text26), NAMED(Command72)},
        {NAMED(Command25), "末速度", NAMED(Text14), "1000", NAMED(Command48), NAMED(Command59),
         NAMED(Text25), NAMED(Command73)},
        {NAMED(Command26), "加速度", NAMED(Text15), "10000", NAMED(Command49), NAMED(Command60),
         NAMED(Text24), NAMED(Command74)},
        {NAMED(Command27), "减速度", NAMED(Text16), "10000", NAMED(Command50), NAMED(Command61),
         NAMED(Text6), NAMED(Command75)},
        {NAMED(Command64), "归零速度", NAMED(Text29), "10000", NAMED(Command63), NAMED(Command62),
         NAMED(Text28), NAMED(Command76)},
    };
    int r = 1;
    for (const ParameterRow &p : rows) {
        params->addWidget(button(p.set, p.setName, QString::fromUtf8(p.caption)), r, 0);
        params->addWidget(textBox(p.value, p.valueName, QString::fromUtf8(p.start), 70), r, 1);
        params->addWidget(addButton(p.addSet, p.addSetName), r, 2);
        params->addWidget(smallButton(p.query, p.queryName, QStringLiteral("?"), kQueryTip), r, 3);
        params->addWidget(textBox(p.result, p.resultName, QStringLiteral("0"), 70), r, 4);
        params->addWidget(addButton(p.addQuery, p.addQueryName), r, 5);
        ++r;
    }
    params->setRowStretch(r, 1);
    outer->addLayout(params);

    // Right: speed, positions and motion state, with the limit and origin lamps.
    auto *motion = new QGridLayout;
    motion->setHorizontalSpacing(4);
    motion->setVerticalSpacing(3);
    label(NAMED(Label16), QStringLiteral("运动相关查询"));
    motion->addWidget(Label16, 0, 0, 1, 4, Qt::AlignCenter);
    motion->addWidget(button(NAMED(Command28), QStringLiteral("运动速度")), 1, 0);
    motion->addWidget(textBox(NAMED(Text17), QStringLiteral("0"), 80), 1, 1);
    motion->addWidget(addButton(NAMED(Command51)), 1, 3);
    motion->addWidget(button(NAMED(Command30), QStringLiteral("绝对位置")), 2, 0);
    motion->addWidget(textBox(NAMED(Text18), QStringLiteral("0"), 80), 2, 1);
    motion->addWidget(smallButton(NAMED(Command66), QStringLiteral("0"), kClearTip), 2, 2);
    motion->addWidget(row({addButton(NAMED(Command52)), addButton(NAMED(Command69))}, 2), 2, 3);
    motion->addWidget(button(NAMED(Command31), QStringLiteral("相对位置")), 3, 0);
    motion->addWidget(textBox(NAMED(Text19), QStringLiteral("0"), 80), 3, 1);
    motion->addWidget(smallButton(NAMED(Command67), QStringLiteral("0"), kClearTip), 3, 2);
    motion->addWidget(row({addButton(NAMED(Command53)), addButton(NAMED(Command70))}, 2), 3, 3);
    motion->addWidget(button(NAMED(Command29), QStringLiteral("运动状态")), 4, 0);
    lamp(NAMED(Shape1), LampShape::kWindowText);
    label(NAMED(Label15), QStringLiteral("停止"));
    motion->addWidget(row({Shape1, Label15, nullptr}), 4, 1);
    motion->addWidget(addButton(NAMED(Command43)), 4, 3);
    lamp(NAMED(Shape2), LampShape::kBlack);
    lamp(NAMED(Shape3), LampShape::kBlack);
    lamp(NAMED(Shape4), LampShape::kBlack);
    label(NAMED(Label41), QStringLiteral("左限"));
    label(NAMED(Label43), QStringLiteral("零点"));
    label(NAMED(Label42), QStringLiteral("右限"));
    motion->addWidget(row({Shape2, Label41, Shape3, Label43, Shape4, Label42, nullptr}, 3), 5, 0, 1,
                      4);
    motion->setRowStretch(6, 1);
    outer->addLayout(motion);
}

void FrmMain::buildFrame3() {
    group(NAMED(Frame3), QStringLiteral("运动控制"));
    auto *g = compactGrid(Frame3);
    const QStringList directions{"0", "1"};

    label(NAMED(Label19), QStringLiteral("位置运动:"));
    label(NAMED(Label20), QStringLiteral("正/负方向脉冲数:"));
    label(NAMED(Label21), QStringLiteral("方向:"));
    label(NAMED(Label22), QStringLiteral("脉冲数:"));
    combo(NAMED(Combo3), directions, QStringLiteral("0"));
    g->addWidget(Label19, 0, 0);
    g->addWidget(Label20, 0, 1, Qt::AlignRight);
    g->addWidget(textBox(NAMED(Text8), QStringLiteral("10000"), 80), 0, 2);
    g->addWidget(button(NAMED(Command18), QStringLiteral("运动")), 0, 3);
    g->addWidget(addButton(NAMED(Command38)), 0, 4);
    g->addWidget(ioButton(NAMED(Command82)), 0, 5);
    g->addWidget(row({Label21, Combo3, nullptr, Label22}), 1, 1);
    g->addWidget(textBox(NAMED(Text9), QStringLiteral("1000"), 80), 1, 2);
    g->addWidget(button(NAMED(Command19), QStringLiteral("运动")), 1, 3);
    g->addWidget(addButton(NAMED(Command39)), 1, 4);
    g->addWidget(ioButton(NAMED(Command83)), 1, 5);

    label(NAMED(Label23), QStringLiteral("恒速运动:"));
    label(NAMED(Label24), QStringLiteral("正/负方向速度:"));
    label(NAMED(Label25), QStringLiteral("方向:"));
    label(NAMED(Label26), QStringLiteral("速度:"));
    combo(NAMED(Combo4), directions, QStringLiteral("0"));
    g->addWidget(Label23, 2, 0);
    g->addWidget(Label24, 2, 1, Qt::AlignRight);
    g->addWidget(textBox(NAMED(Text10), QStringLiteral("10000"), 80), 2, 2);
    g->addWidget(button(NAMED(Command20), QStringLiteral("运动")), 2, 3);
    g->addWidget(addButton(NAMED(Command40)), 2, 4);
    g->addWidget(ioButton(NAMED(Command84)), 2, 5);
    g->addWidget(row({Label25, Combo4, nullptr, Label26}), 3, 1);
    g->addWidget(textBox(NAMED(Text11), QStringLiteral("10000"), 80), 3, 2);
    g->addWidget(button(NAMED(Command21), QStringLiteral("运动")), 3, 3);
    g->addWidget(addButton(NAMED(Command41)), 3, 4);
    g->addWidget(ioButton(NAMED(Command85)), 3, 5);

    button(NAMED(Command22), QStringLiteral("减速停止"));
    button(NAMED(Command23), QStringLiteral("立即停止"));
    g->addWidget(row({Command22, addButton(NAMED(Command44)), ioButton(NAMED(Command89)), nullptr,
                      Command23, addButton(NAMED(Command45)), ioButton(NAMED(Command90))},
                     2),
                 4, 0, 1, 6);

    label(NAMED(Label36), QStringLiteral("查找零点:"));
    label(NAMED(Label37), QStringLiteral("方向:"));
    combo(NAMED(Combo5), directions, QStringLiteral("0"));
    g->addWidget(Label36, 5, 0);
    g->addWidget(row({nullptr, Label37, Combo5}), 5, 1);
    g->addWidget(button(NAMED(Command7), QStringLiteral("归零")), 5, 3);
    g->addWidget(addButton(NAMED(Command42)), 5, 4);
    g->addWidget(ioButton(NAMED(Command86)), 5, 5);

    label(NAMED(Label27), QStringLiteral("运动中改变速度:   新速度"));
    label(NAMED(Label28), QStringLiteral("PLUS/S"));
    g->addWidget(Label27, 6, 0, 1, 2);
    g->addWidget(row({textBox(NAMED(Text30), QStringLiteral("10000"), 80), Label28}), 6, 2);
    g->addWidget(button(NAMED(Command65), QStringLiteral("执行")), 6, 3);
    g->addWidget(addButton(NAMED(Command68)), 6, 4);
    g->addWidget(ioButton(NAMED(Command87)), 6, 5);

    label(NAMED(Label61), QStringLiteral("IO控制:"));
    label(NAMED(Label64), QStringLiteral("IN序号  54321"));
    label(NAMED(Label62), QStringLiteral("＝命令"));
    combo(NAMED(Combo8), inputPatterns(), QStringLiteral("00001"));
    Combo8->setMaxVisibleItems(16);
    g->addWidget(Label61, 7, 0);
    g->addWidget(Label64, 7, 1);
    g->addWidget(Combo8, 8, 1);
    g->addWidget(row({Label62, textBox(NAMED(Text31), QString())}), 8, 2);
    g->addWidget(button(NAMED(Command81), QStringLiteral("下载")), 8, 3);
    g->addWidget(smallButton(NAMED(Command88), QStringLiteral("?"), QString()), 8, 4);
    g->setColumnStretch(1, 1);
}

void FrmMain::buildFrame5() {
    group(NAMED(Frame5), QStringLiteral("其他"));
    auto *g = compactGrid(Frame5);

    g->addWidget(button(NAMED(Command91), QStringLiteral("运动因子")), 0, 0);
    g->addWidget(textBox(NAMED(Text32), QStringLiteral("500"), 70), 0, 1);
    g->addWidget(
        row({button(NAMED(Command92), QStringLiteral("加速度")), ioButton(NAMED(Command97))}, 2), 1,
        0);
    g->addWidget(
        row({button(NAMED(Command93), QStringLiteral("减速度")), ioButton(NAMED(Command98))}, 2), 1,
        1);
    g->addWidget(
        row({button(NAMED(Command94), QStringLiteral("查询IN")), addButton(NAMED(Command99))}, 2),
        2, 0);
    label(NAMED(Label63), QStringLiteral("IN1  IN2   IN3  IN4  IN5"));
    auto *inputs = new QWidget;
    auto *inputsLayout = new QGridLayout(inputs);
    inputsLayout->setContentsMargins(0, 0, 0, 0);
    inputsLayout->setSpacing(0);
    inputsLayout->addWidget(Label63, 0, 0, 1, 5);
    LampShape **inputLamps[] = {&Shape5, &Shape6, &Shape7, &Shape8, &Shape9};
    const char *inputNames[] = {"Shape5", "Shape6", "Shape7", "Shape8", "Shape9"};
    for (int i = 0; i < 5; ++i)
        inputsLayout->addWidget(lamp(*inputLamps[i], inputNames[i], LampShape::kBlack), 1, i,
                                Qt::AlignCenter);
    g->addWidget(inputs, 2, 1);
    g->addWidget(button(NAMED(Command96), QStringLiteral("出厂设置")), 3, 0);

    label(NAMED(Label65), QStringLiteral("以下CAN相关"));
    g->addWidget(Label65, 4, 0, 1, 2);
    g->addWidget(button(NAMED(Command95), QStringLiteral("CAN波特率")), 5, 0);
    g->addWidget(combo(NAMED(Combo9),
                       {"1M", "900K", "800K", "750K", "600K", "500K", "400K", "250K", "200K",
                        "150K", "125K", "100K", "80K", "50K", "25K", "20K", "10K", "5K"},
                       QStringLiteral("100K")),
                 5, 1);
    g->addWidget(button(NAMED(Command100), QStringLiteral("标准帧")), 6, 0);
    g->addWidget(button(NAMED(Command101), QStringLiteral("扩展帧")), 6, 1);
    g->addWidget(button(NAMED(Command102), QStringLiteral("无校验检查")), 7, 0);
    g->addWidget(button(NAMED(Command103), QStringLiteral("有校验检查")), 7, 1);
    g->addWidget(button(NAMED(Command104), QStringLiteral("回8byte长")), 8, 0);
    g->addWidget(button(NAMED(Command105), QStringLiteral("回协议长")), 8, 1);
    g->addWidget(textBox(NAMED(Text33), QStringLiteral("01 02 03 04 05")), 9, 0);
    g->addWidget(button(NAMED(Command106), QStringLiteral("HEX到CAN发送")), 9, 1);
}

void FrmMain::buildFrame6() {
    group(NAMED(Frame6), QStringLiteral("高级自动控制功能(HEX格式)"));
    auto *g = compactGrid(Frame6);

    label(NAMED(Label59), QStringLiteral("隔"));
    label(NAMED(Label60), QStringLiteral("MS"));
    named(Check1, "Check1", new QCheckBox(QStringLiteral("按行循环执行命令")));
    g->addWidget(row({Check1, nullptr, Label59, textBox(NAMED(Text22), QStringLiteral("1000"), 60),
                      Label60}),
                 0, 0, 1, 2);
    g->addWidget(row({button(NAMED(Command54), QStringLiteral("打开文件")),
                      button(NAMED(Command55), QStringLiteral("命令另存为")), nullptr}),
                 1, 0, 1, 2);

    named(List1, "List1", new QListWidget);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    g->addWidget(List1, 2, 0, 1, 2);
    g->setRowStretch(2, 1);
    g->addWidget(label(NAMED(Label29), QStringLiteral("无延时命令，默认间隔为1秒")), 3, 0, 1, 2);

    label(NAMED(Label32), QStringLiteral("延时:"));
    label(NAMED(Label33), QStringLiteral("毫秒50-60000"));
    label(NAMED(Label34), QStringLiteral("跳转:"));
    label(NAMED(Label35), QStringLiteral("行"));
    g->addWidget(
        row({Label32, textBox(NAMED(Text20), QStringLiteral("1000"), 60), Label33, nullptr}), 4, 0);
    g->addWidget(button(NAMED(Command34), QStringLiteral("插入命令")), 4, 1);
    g->addWidget(row({Label34, textBox(NAMED(Text21), QStringLiteral("0"), 60), Label35, nullptr}),
                 5, 0);
    g->addWidget(button(NAMED(Command35), QStringLiteral("插入命令")), 5, 1);
}

QWidget *FrmMain::buildManualTools() {
    auto *panel = new QWidget;
    auto *g = new QGridLayout(panel);
    g->setContentsMargins(2, 2, 2, 2);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(3);

    label(NAMED(Label4), QStringLiteral("输入字符串："));
    label(NAMED(Label3), QStringLiteral("输入16进制："));
    label(NAMED(Label5), QStringLiteral("CRC校验："));
    label(NAMED(Label6), QStringLiteral("LRC校验："));
    auto manualAdd = [](QPushButton *&member, const char *name) {
        return smallButton(member, name, QStringLiteral(">"), kAddTipManual);
    };

    g->addWidget(Label4, 0, 0);
    g->addWidget(
        row({textBox(NAMED(Text5), QString()),
             button(NAMED(Command37), QStringLiteral("发送字符串")), manualAdd(NAMED(Command78)),
             button(NAMED(Command5), QStringLiteral("转为16进制")),
             button(NAMED(Command56), QStringLiteral("转为字符串")),
             button(NAMED(Command10), QStringLiteral("MODBUS发送ASC")),
             manualAdd(NAMED(Command77))}),
        0, 1);
    g->addWidget(Label3, 1, 0);
    g->addWidget(row({textBox(NAMED(Text1), QString()),
                      button(NAMED(Command1), QStringLiteral("发送16进制数据")),
                      manualAdd(NAMED(Command79))}),
                 1, 1);
    g->addWidget(Label5, 2, 0);
    g->addWidget(row({textBox(NAMED(Text2), QString(), 36), textBox(NAMED(Text3), QString(), 36),
                      button(NAMED(Command8), QStringLiteral("CRC低位在前")),
                      button(NAMED(Command2), QStringLiteral("CRC高位在前")), nullptr, Label6,
                      textBox(NAMED(Text4), QString(), 36),
                      button(NAMED(Command9), QStringLiteral("计算LRC")), nullptr,
                      button(NAMED(Command11), QStringLiteral("MODBUS发送RTU")),
                      manualAdd(NAMED(Command80))}),
                 2, 1);
    return panel;
}

QWidget *FrmMain::buildTrafficPanes() {
    auto *panes = new QWidget;
    auto *g = new QGridLayout(panes);
    g->setContentsMargins(0, 0, 0, 0);
    g->setSpacing(3);
    label(NAMED(Label1), QStringLiteral("接收内容："));
    label(NAMED(Label45), QStringLiteral("0"));
    label(NAMED(Label2), QStringLiteral("发送内容："));
    label(NAMED(Label44), QStringLiteral("0"));
    // A fixed size keeps a new count from asking the window for a new layout: the tab widget
    // repaints itself whole on every layout request, which a busy line would cause many times a
    // second.
    for (QLabel *counter : {Label44, Label45})
        counter->setFixedSize(
            counter->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")),
            counter->sizeHint().height());
    named(RichTextBox1, "RichTextBox1", new RichTextBox);
    named(RichTextBox2, "RichTextBox2", new RichTextBox);
    g->addWidget(
        row({Label1, Label45, nullptr, button(NAMED(Command36), QStringLiteral("清空内容"))}), 0,
        0);
    g->addWidget(RichTextBox1, 1, 0);
    g->addWidget(
        row({Label2, Label44, nullptr, button(NAMED(Command6), QStringLiteral("清空内容"))}), 2, 0);
    g->addWidget(RichTextBox2, 3, 0);
    return panes;
}
