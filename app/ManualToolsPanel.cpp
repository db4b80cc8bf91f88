#include "app/ManualToolsPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/PanelHost.h"
#include "app/Ui.h"
#include "codec/Checksums.h"
#include "codec/Framing.h"
#include "codec/GbkText.h"
#include "codec/HexText.h"

ManualToolsPanel::ManualToolsPanel(PanelHost &host) : m_host(host) {
    auto *texts = new ui::Texts(this, "ManualToolsPanel");
    Text1 = ui::textBox("Text1", QString());
    Text2 = ui::textBox("Text2", QString(), 36);
    Text3 = ui::textBox("Text3", QString(), 36);
    Text4 = ui::textBox("Text4", QString(), 36);
    Text5 = ui::textBox("Text5", QString());

    auto tool = [&](const char *name, const char *caption, Handler handler) {
        auto *button = texts->button(name, caption);
        bindClick(button, handler);
        return button;
    };
    // The ">" beside a sending tool: adds what the tool sends to the list. Its tooltip is a fixed
    // text other tools rely on; the status bar says what it does.
    auto add = [&](const char *name, Handler handler) {
        auto *button = texts->smallButton(name, ">", QT_TR_NOOP("添加高级命令"));
        texts->set(button, "statusTip", QT_TR_NOOP("发送，并把发送的内容加到命令列表末尾"));
        bindCapture(button, host, ListCapture, handler);
        return button;
    };
    const Handler sendString = [this] { Command37_Click(); };
    const Handler sendAscii = [this] { sendHex(HexForm::Ascii); };
    const Handler sendRaw = [this] { sendHex(HexForm::Raw); };
    const Handler sendRtu = [this] { sendHex(HexForm::Rtu); };

    auto *g = new QGridLayout(this);
    g->setContentsMargins(2, 2, 2, 2);
    g->setHorizontalSpacing(4);
    g->setVerticalSpacing(3);
    g->addWidget(texts->label("Label4", QT_TR_NOOP("输入字符串：")), 0, 0);
    g->addWidget(
        ui::row({Text5, tool("Command37", QT_TR_NOOP("发送字符串"), sendString),
                 add("Command78", sendString),
                 tool("Command5", QT_TR_NOOP("转为16进制"), [this] { Command5_Click(); }),
                 tool("Command56", QT_TR_NOOP("转为字符串"), [this] { Command56_Click(); }),
                 tool("Command10", QT_TR_NOOP("MODBUS发送ASC"), sendAscii),
                 add("Command77", sendAscii)}),
        0, 1);
    g->addWidget(texts->label("Label3", QT_TR_NOOP("输入16进制：")), 1, 0);
    g->addWidget(ui::row({Text1, tool("Command1", QT_TR_NOOP("发送16进制数据"), sendRaw),
                          add("Command79", sendRaw)}),
                 1, 1);
    g->addWidget(texts->label("Label5", QT_TR_NOOP("CRC校验：")), 2, 0);
    g->addWidget(ui::row({Text2, Text3,
                          tool("Command8", QT_TR_NOOP("CRC低位在前"), [this] { Command8_Click(); }),
                          tool("Command2", QT_TR_NOOP("CRC高位在前"), [this] { Command2_Click(); }),
                          nullptr, texts->label("Label6", QT_TR_NOOP("LRC校验：")), Text4,
                          tool("Command9", QT_TR_NOOP("计算LRC"), [this] { Command9_Click(); }),
                          nullptr, tool("Command11", QT_TR_NOOP("MODBUS发送RTU"), sendRtu),
                          add("Command80", sendRtu)}),
                 2, 1);
}

void ManualToolsPanel::sendHex(HexForm how) {
    // These frames go out as typed: never register-mapped.
    m_host.switchMappingOff();
    const QByteArray bytes = codec::ParseHexText(Text1->text());
    // An empty or blank-only box sends nothing.
    if (bytes.isEmpty())
        return;
    const QByteArray frame = how == HexForm::Rtu     ? codec::rtuFrame(bytes)
                             : how == HexForm::Ascii ? codec::asciiFrame(bytes)
                                                     : bytes;
    m_host.captureLine(codec::FormatHexText(frame));
    m_host.sendFrame(frame);
}

void ManualToolsPanel::Command8_Click() {
    const QByteArray bytes = codec::ParseHexText(Text1->text());
    if (bytes.isEmpty())
        return;
    const QString crc = codec::CalcCrc16(bytes); // the low byte's digits, then the high byte's
    Text2->setText(crc.left(2));
    Text3->setText(crc.mid(2, 2));
}

void ManualToolsPanel::Command2_Click() {
    if (codec::ParseHexText(Text1->text()).isEmpty())
        return;
    Command8_Click();
    const QString low = Text2->text();
    Text2->setText(Text3->text());
    Text3->setText(low);
}

void ManualToolsPanel::Command9_Click() {
    // The LRC of no bytes is 0; the box shows no leading zero.
    const quint8 lrc = codec::CalcLrc(codec::ParseHexText(Text1->text()));
    Text4->setText(QString::number(lrc, 16).toUpper());
}

void ManualToolsPanel::Command5_Click() {
    Text1->setText(codec::StrToHex(Text5->text()));
}

void ManualToolsPanel::Command56_Click() {
    Text5->setText(codec::HexToStr(Text1->text().remove(QLatin1Char(' '))));
}

void ManualToolsPanel::Command37_Click() {
    const QString text = Text5->text();
    m_host.switchMappingOff();
    if (text.isEmpty())
        return;
    // The list gets the text as typed; the line carries each character's code, a two-byte
    // character as its two GBK bytes.
    m_host.captureLine(text);
    m_host.sendFrame(codec::gbkEncode(text));
}
