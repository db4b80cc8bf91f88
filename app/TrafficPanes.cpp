#include "app/TrafficPanes.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <optional>

#include "app/PanelHost.h"
#include "app/Prompts.h"
#include "app/RichTextBox.h"
#include "app/Ui.h"
#include "codec/GbkText.h"
#include "codec/HexText.h"
#include "codec/NumericText.h"
#include "transmission/Engine.h"

namespace {

constexpr qsizetype kPaneLimit = 10000;
const QString kMessageLineEnd = QStringLiteral("\n\r");

void showBytes(RichTextBox *pane, const QString &hexTag, const QString &charTag,
               const QByteArray &bytes) {
    pane->prepend(hexTag + codec::FormatHexText(bytes) + u'\n');
    pane->prepend(charTag + codec::displayChars(bytes) + u'\n');
}

} // namespace

// A byte counter: its caption plus each count (a caption that is not a number counts as 0).
// While held, the counting is done on the number and the caption is set once, when shown.
class TrafficPanes::Counter {
public:
    explicit Counter(QLabel *label) : m_label(label) {}

    void add(qint64 n) {
        const qint64 now = current() + n;
        if (m_held)
            m_held = now;
        else
            m_label->setText(QString::number(now));
    }
    void reset() {
        if (m_held)
            m_held = 0;
        else
            m_label->setText(QStringLiteral("0"));
    }
    void hold() { m_held = current(); }
    void show() {
        if (m_held)
            m_label->setText(QString::number(*m_held));
        m_held.reset();
    }

private:
    qint64 current() const {
        return m_held ? *m_held : codec::readInteger<qint64>(m_label->text()).value_or(0);
    }

    QLabel *m_label;
    std::optional<qint64> m_held;
};

TrafficPanes::TrafficPanes(PanelHost &host, transmission::Engine &engine)
    : m_host(host), m_engine(engine), m_texts(new ui::Texts(this, "TrafficPanes")) {
    ui::Texts *texts = m_texts;
    RichTextBox1 = new RichTextBox;
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox2 = new RichTextBox;
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    auto *received = texts->label("Label45", "0");
    auto *sent = texts->label("Label44", "0");
    // A fixed size keeps a new count from asking the window for a new layout: the tab widget
    // repaints itself whole on every layout request, which a busy line would cause many times a
    // second.
    for (QLabel *counter : {sent, received})
        counter->setFixedSize(
            counter->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")),
            counter->sizeHint().height());
    m_sentCount = std::make_unique<Counter>(sent);
    m_receivedCount = std::make_unique<Counter>(received);
    auto *clearReceived = texts->button("Command36", QT_TR_NOOP("清空内容"));
    auto *clearSent = texts->button("Command6", QT_TR_NOOP("清空内容"));
    bindClick(clearReceived, [this] {
        RichTextBox1->setText(QString());
        m_receivedCount->reset();
    });
    bindClick(clearSent, [this] {
        RichTextBox2->setText(QString());
        m_sentCount->reset();
    });

    m_recordButton = texts->button("CommandRecord", QT_TR_NOOP("记录到文件..."),
                                   QT_TR_NOOP("把收发的每一帧连同时间和响应时间记录到文件"));
    m_recordFile = new QLabel;
    m_recordFile->setObjectName(QStringLiteral("LabelRecord"));
    m_recordFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bindClick(m_recordButton, [this] { toggleRecord(); });
    connect(&m_engine, &transmission::Engine::recordStopped, this, &TrafficPanes::recordStopped);
    showRecordState();

    auto *g = new QGridLayout(this);
    g->setContentsMargins(0, 0, 0, 0);
    g->setSpacing(3);
    g->addWidget(ui::row({texts->label("Label1", QT_TR_NOOP("接收内容：")), received, nullptr,
                          clearReceived}),
                 0, 0);
    g->addWidget(RichTextBox1, 1, 0);
    g->addWidget(
        ui::row({texts->label("Label2", QT_TR_NOOP("发送内容：")), sent, nullptr, clearSent}), 2,
        0);
    g->addWidget(RichTextBox2, 3, 0);
    g->addWidget(ui::row({m_recordButton, m_recordFile, nullptr}), 4, 0);
}

TrafficPanes::~TrafficPanes() = default;

void TrafficPanes::keepWithinLimit(RichTextBox *pane, Counter &count) {
    if (pane->text().size() > kPaneLimit) {
        pane->setText(QString());
        count.reset();
    }
}

void TrafficPanes::showSent(const QString &caption, bool mapped, const QByteArray &wire) {
    keepWithinLimit(RichTextBox2, *m_sentCount);
    if (!caption.isEmpty())
        RichTextBox2->prepend(caption + kMessageLineEnd);
    if (mapped)
        RichTextBox2->prepend(tr("西门子标准格式:") + kMessageLineEnd);
    m_sentCount->add(wire.size());
    showBytes(RichTextBox2, QStringLiteral("SndHex:"), QStringLiteral("SndAsc:"), wire);
}

void TrafficPanes::showReceived(const QStringList &messages, const QByteArray &bytes, int count) {
    keepWithinLimit(RichTextBox1, *m_receivedCount);
    for (const QString &message : messages)
        RichTextBox1->prepend(message + kMessageLineEnd);
    showBytes(RichTextBox1, QStringLiteral("RecHex:"), QStringLiteral("RecAsc:"), bytes);
    m_receivedCount->add(count);
}

void TrafficPanes::showReceivedMessage(const QString &message) {
    keepWithinLimit(RichTextBox1, *m_receivedCount);
    RichTextBox1->prepend(message + kMessageLineEnd);
}

void TrafficPanes::holdReceiveCounter() {
    m_receivedCount->hold();
}

void TrafficPanes::showReceiveCounter() {
    m_receivedCount->show();
}

// ---- The traffic record --------------------------------------------------------------------

bool TrafficPanes::startRecord(const QString &path) {
    if (const auto reason = m_engine.startRecord(path)) {
        m_host.prompts().inform(tr("无法记录到 %1：%2").arg(path, *reason));
        showRecordState();
        return false;
    }
    showRecordState();
    m_host.showStatus({"TrafficPanes", QT_TR_NOOP("正在记录到 %1"), {path}});
    return true;
}

void TrafficPanes::toggleRecord() {
    if (m_engine.recording()) {
        m_engine.stopRecord();
        showRecordState();
        m_host.showStatus({"TrafficPanes", QT_TR_NOOP("记录已停止")});
        return;
    }
    const QString path = m_host.prompts().saveFileName(
        tr("记录通信"), tr("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*||"));
    if (!path.isEmpty())
        startRecord(path);
}

void TrafficPanes::showRecordState() {
    const bool recording = m_engine.recording();
    m_texts->set(m_recordButton, "text",
                 recording ? QT_TR_NOOP("停止记录") : QT_TR_NOOP("记录到文件..."));
    m_recordFile->setText(recording ? QFileInfo(m_engine.recordPath()).fileName() : QString());
    m_recordFile->setToolTip(recording ? m_engine.recordPath() : QString());
}

void TrafficPanes::recordStopped(const QString &path, const QString &reason) {
    // The traffic goes on; only the record ends. Said in the status bar as well: a list running
    // meanwhile keeps sending while the message waits for its OK.
    showRecordState();
    const ui::Message message{"TrafficPanes", QT_TR_NOOP("通信记录已停止：无法写入 %1（%2）"),
                              {path, reason}};
    m_host.showStatus(message);
    m_host.prompts().inform(message.text());
}
