#include "tests/support/RunningTool.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

QString RunningTool::program() {
    return QStringLiteral(R7260_TOOL_PATH);
}

RunningTool::RunningTool(bool open, const QString &com1) {
    const QString control = m_folder.filePath(QStringLiteral("control"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("R7260_COM1"), com1.isEmpty() ? pty.slavePath() : com1);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.start(program(), {QStringLiteral("--control"), control});
    // The socket is there once the window is built.
    for (QDeadlineTimer deadline(20000); !deadline.hasExpired(); QTest::qWait(20)) {
        m_socket.connectToServer(control);
        if (m_socket.waitForConnected(1000) || m_process.state() == QProcess::NotRunning)
            break;
    }
    if (m_socket.state() != QLocalSocket::ConnectedState)
        QTest::qFail("the tool did not start", __FILE__, __LINE__);
    else if (open)
        click(QStringLiteral("Command32"));
}

RunningTool::~RunningTool() {
    if (m_process.state() != QProcess::NotRunning)
        m_process.kill();
    m_process.waitForFinished(5000);
}

bool RunningTool::quit() {
    if (m_process.state() == QProcess::NotRunning)
        return false;
    const auto left = dialog();
    if (left)
        qWarning().noquote() << "a dialog was left open:" << left->title << left->text;
    request("quit");
    if (!m_process.waitForFinished(20000))
        return false;
    const bool clean = m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    if (!clean)
        qWarning() << "the tool ended with" << m_process.exitStatus() << m_process.exitCode();
    return !left && clean;
}

QJsonValue RunningTool::request(const char *op, QJsonObject fields) {
    fields.insert(QStringLiteral("op"), QLatin1String(op));
    m_socket.write(QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
    m_socket.flush();
    while (!m_socket.canReadLine())
        if (!m_socket.waitForReadyRead(15000)) {
            QTest::qFail("the tool did not answer", __FILE__, __LINE__);
            return {};
        }
    const QJsonObject reply = QJsonDocument::fromJson(m_socket.readLine()).object();
    if (!reply.value(QStringLiteral("ok")).toBool())
        QTest::qFail(qPrintable(reply.value(QStringLiteral("error")).toString()), __FILE__,
                     __LINE__);
    return reply.value(QStringLiteral("value"));
}

void RunningTool::click(const QString &button) {
    request("click", {{"name", button}});
}

QString RunningTool::text(const QString &control) {
    return request("text", {{"name", control}}).toString();
}

void RunningTool::setText(const QString &control, const QString &text) {
    request("type", {{"name", control}, {"value", text}});
}

QJsonValue RunningTool::property(const QString &control, const QString &name) {
    return request("get", {{"name", control}, {"property", name}});
}

void RunningTool::setProperty(const QString &control, const QString &name,
                              const QJsonValue &value) {
    request("set", {{"name", control}, {"property", name}, {"value", value}});
}

QStringList RunningTool::items(const QString &control) {
    QStringList texts;
    for (const QJsonValue &item : request("items", {{"name", control}}).toArray())
        texts << item.toString();
    return texts;
}

QList<QStringList> RunningTool::rows(const QString &table) {
    QList<QStringList> found;
    for (const QJsonValue &row : request("items", {{"name", table}}).toArray()) {
        found.append(QStringList());
        for (const QJsonValue &cell : row.toArray())
            found.last() << cell.toString();
    }
    return found;
}

void RunningTool::select(const QString &view, int row) {
    request("select", {{"name", view}, {"row", row}});
}

void RunningTool::show(const QString &control) {
    request("show", {{"name", control}});
}

void RunningTool::mouse(const QString &control, bool right, bool shift, double x, double y) {
    request("mouse", {{"name", control},
                      {"button", right ? "right" : "left"},
                      {"shift", shift},
                      {"x", x},
                      {"y", y}});
}

void RunningTool::grab(const QString &file, int width, int height) {
    request("grab", {{"file", file}, {"width", width}, {"height", height}});
}

std::optional<RunningTool::Dialog> RunningTool::dialog() {
    const QJsonValue shown = request("dialog");
    if (!shown.isObject())
        return std::nullopt;
    return Dialog{shown[QStringLiteral("title")].toString(),
                  shown[QStringLiteral("text")].toString()};
}

std::optional<RunningTool::Dialog> RunningTool::waitForDialog(int timeoutMs) {
    for (QDeadlineTimer deadline(timeoutMs);; QTest::qWait(20))
        if (auto shown = dialog(); shown || deadline.hasExpired())
            return shown;
}

void RunningTool::answer(const QString &button, const QString &file) {
    request("answer", {{"button", button}, {"file", file}});
}
