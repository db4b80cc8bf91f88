#include "app/ManualTools.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/FrmMain.h"
#include "app/RichTextBox.h"
#include "codec/Checksums.h"
#include "codec/Framing.h"
#include "codec/GbkText.h"
#include "codec/HexText.h"

ManualTools::ManualTools(FrmMain &window) : QObject(&window), form(window) {
    form.bind(form.Command1, [this] { sendHex(HexForm::Raw); });
    form.bind(form.Command11, [this] { sendHex(HexForm::Rtu); });
    form.bind(form.Command10, [this] { sendHex(HexForm::Ascii); });
    form.bind(form.Command8, [this] { Command8_Click(); });
    form.bind(form.Command2, [this] { Command2_Click(); });
    form.bind(form.Command9, [this] { Command9_Click(); });
    form.bind(form.Command5, [this] { Command5_Click(); });
    form.bind(form.Command56, [this] { Command56_Click(); });
    form.bind(form.Command37, [this] { Command37_Click(); });
    form.bind(form.Command36, [this] { Command36_Click(); });
    form.bind(form.Command6, [this] { Command6_Click(); });
}

void ManualTools::captureLine(const QString &line) {
    if (!form.AddToListMode)
        return;
    form.AddToListMode = false;
    form.List1->addItem(line);
}

void ManualTools::sendHex(HexForm how) {
    // These frames go out as typed: never register-mapped.
    form.Check2->setChecked(false);
    const QByteArray bytes = CommSetting::ParseHexText(form.Text1->text());
    // An empty or blank-only box sends nothing.
    if (bytes.isEmpty())
        return;
    const QByteArray frame = how == HexForm::Rtu     ? codec::rtuFrame(bytes)
                             : how == HexForm::Ascii ? codec::asciiFrame(bytes)
                                                     : bytes;
    captureLine(CommSetting::FormatHexText(frame));
    form.SendFrame(frame);
}

void ManualTools::Command8_Click() {
    const QByteArray bytes = CommSetting::ParseHexText(form.Text1->text());
    if (bytes.isEmpty())
        return;
    const QString crc = CommSetting::CalcCrc16(bytes); // low byte's digits, then the high byte's
    form.Text2->setText(crc.left(2));
    form.Text3->setText(crc.mid(2, 2));
}

void ManualTools::Command2_Click() {
    if (CommSetting::ParseHexText(form.Text1->text()).isEmpty())
        return;
    Command8_Click();
    const QString low = form.Text2->text();
    form.Text2->setText(form.Text3->text());
    form.Text3->setText(low);
}

void ManualTools::Command9_Click() {
    // The LRC of no bytes is 0; the box shows no leading zero.
    const quint8 lrc = CommSetting::CalcLrc(CommSetting::ParseHexText(form.Text1->text()));
    form.Text4->setText(QString::number(lrc, 16).toUpper());
}

void ManualTools::Command5_Click() {
    form.Text1->setText(CommSetting::StrToHex(form.Text5->text()));
}

void ManualTools::Command56_Click() {
    form.Text5->setText(CommSetting::HexToStr(form.Text1->text().remove(QLatin1Char(' '))));
}

void ManualTools::Command37_Click() {
    const QString text = form.Text5->text();
    form.Check2->setChecked(false);
    if (text.isEmpty())
        return;
    // The list gets the text as typed; the line sends each character's code, a two-byte
    // character as its two GBK bytes.
    captureLine(text);
    form.SendFrame(codec::gbkEncode(text));
}

void ManualTools::Command36_Click() {
    form.RichTextBox1->setText(QString());
    form.Label45->setText(QStringLiteral("0"));
}

void ManualTools::Command6_Click() {
    form.RichTextBox2->setText(QString());
    form.Label44->setText(QStringLiteral("0"));
}
