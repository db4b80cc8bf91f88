#include "app/RemoteControl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QMetaEnum>
#include <QMouseEvent>
#include <QPointer>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <sys/stat.h>

namespace {

QJsonObject failed(const QString &why) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), why}};
}
QJsonObject done(const QJsonValue &value = {}) {
    return {{QStringLiteral("ok"), true}, {QStringLiteral("value"), value}};
}

// What a control shows to the eye.
QVariant shownText(QObject *control) {
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *group = qobject_cast<QGroupBox *>(control))
        return group->title();
    if (auto *bar = qobject_cast<QStatusBar *>(control))
        return bar->currentMessage();
    return control->property("Text");
}

// Puts text into a box as typing it would leave it.
bool typeText(QObject *control, const QString &text) {
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setCurrentText(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setText(text);
    else
        return control->setProperty("Text", text);
    return true;
}

QJsonArray itemsOf(QObject *control) {
    QJsonArray items;
    if (auto *table = qobject_cast<QTableWidget *>(control))
        for (int row = 0; row < table->rowCount(); ++row) {
            QJsonArray cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells.append(table->item(row, column) ? table->item(row, column)->text()
                                                      : QString());
            items.append(cells);
        }
    if (auto *list = qobject_cast<QListWidget *>(control))
        for (int row = 0; row < list->count(); ++row)
            items.append(list->item(row)->text());
    if (auto *combo = qobject_cast<QComboBox *>(control))
        for (int row = 0; row < combo->count(); ++row)
            items.append(combo->itemText(row));
    return items;
}

QJsonValue describe(QWidget *dialog) {
    if (!dialog)
        return {};
    QJsonObject shown{{QStringLiteral("title"), dialog->windowTitle()}};
    if (auto *box = qobject_cast<QMessageBox *>(dialog))
        shown.insert(QStringLiteral("text"), box->text());
    if (qobject_cast<QFileDialog *>(dialog))
        shown.insert(QStringLiteral("file"), true);
    return shown;
}

// Brings forward every tab the control lies on, as the user clicks their way to it.
void bringForward(QWidget *control) {
    for (QWidget *page = control; page && page->parentWidget(); page = page->parentWidget()) {
        auto *stack = qobject_cast<QStackedWidget *>(page->parentWidget());
        if (auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(page);
    }
}

// A press and release of a mouse button at a point given as fractions of the control's size.
void mouseClick(QWidget *control, Qt::MouseButton button, Qt::KeyboardModifiers keys,
                QPointF where) {
    const QPointF at(where.x() * control->width(), where.y() * control->height());
    QMouseEvent press(QEvent::MouseButtonPress, at, control->mapToGlobal(at), button, button, keys);
    QCoreApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, control->mapToGlobal(at), button,
                        Qt::NoButton, keys);
    QCoreApplication::sendEvent(control, &release);
}

// Answers the modal box open now: a message box's button by name, a file dialog's path.
QJsonObject answerDialog(QWidget *modal, const QJsonObject &request, std::function<void()> &then) {
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        const QString button = request.value(QStringLiteral("button")).toString();
        bool known = false;
        const int which = QMetaEnum::fromType<QMessageBox::StandardButtons>().keyToValue(
            qPrintable(button), &known);
        QAbstractButton *shown = known ? box->button(QMessageBox::StandardButton(which)) : nullptr;
        if (!shown)
            return failed(QStringLiteral("the message box has no button %1").arg(button));
        then = [shown = QPointer(shown)] {
            if (shown)
                shown->click();
        };
        return done();
    }
    if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
        const QString file = request.value(QStringLiteral("file")).toString();
        then = [dialog = QPointer(dialog), file] {
            if (!dialog)
                return;
            if (file.isEmpty())
                return dialog->reject();
            // Typed into the name box, as the user would: selectFile leaves a focused box
            // alone and cuts a path whose folder does not exist to a relative one.
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(file);
            else
                dialog->selectFile(file);
            static_cast<QDialog *>(dialog.data())->accept(); // QFileDialog's own is protected
        };
        return done();
    }
    return failed(QStringLiteral("no dialog is open"));
}

} // namespace

RemoteControl::RemoteControl(QWidget *window, QObject *parent)
    : QObject(parent), m_window(window), m_server(new QLocalServer(this)) {
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // Each request is answered from the event loop, not inside readyRead (which Qt does
            // not emit again while a slot of it runs): a click may open a modal box, and the
            // requests that read and answer the box must still arrive while it waits.
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QJsonDocument request = QJsonDocument::fromJson(socket->readLine());
                    QMetaObject::invokeMethod(
                        this,
                        [this, socket = QPointer(socket), request] {
                            if (socket)
                                serve(socket, request.object());
                        },
                        Qt::QueuedConnection);
                }
            });
        }
    });
}

bool RemoteControl::listen(const QString &name) {
    // Qt moves its socket into place with rename(), over whatever is there: never over a file,
    // nor over a socket another run still serves; one left by a run that ended abruptly goes.
    const QString path = name.startsWith(u'/') ? name : QDir::tempPath() + u'/' + name;
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (!S_ISSOCK(info.st_mode) || probe.waitForConnected(500)) {
            m_refusal = QStringLiteral("%1 exists and is not a socket left unused").arg(path);
            return false;
        }
    }
    return m_server->listen(name);
}

QString RemoteControl::errorString() const {
    return m_refusal.isEmpty() ? m_server->errorString() : m_refusal;
}

void RemoteControl::serve(QLocalSocket *socket, const QJsonObject &request) {
    std::function<void()> then;
    const QJsonObject reply = answer(request, then);
    socket->write(QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n');
    socket->flush();
    // What may open a modal box runs after its reply has gone.
    if (then)
        then();
}

QJsonObject RemoteControl::answer(const QJsonObject &request, std::function<void()> &then) {
    const QString op = request.value(QStringLiteral("op")).toString();
    const QString name = request.value(QStringLiteral("name")).toString();
    QWidget *modal = QApplication::activeModalWidget();

    if (op.isEmpty())
        return failed(QStringLiteral("a request is one JSON object a line, with \"op\""));
    if (op == u"dialog")
        return done(describe(modal));
    if (op == u"answer")
        return answerDialog(modal, request, then);
    if (op == u"grab") {
        const int width = request.value(QStringLiteral("width")).toInt();
        const int height = request.value(QStringLiteral("height")).toInt();
        if (width > 0 && height > 0)
            m_window->resize(width, height);
        const QString file = request.value(QStringLiteral("file")).toString();
        return m_window->grab().save(file) ? done()
                                           : failed(QStringLiteral("cannot save %1").arg(file));
    }
    if (op == u"quit") {
        then = [] { QCoreApplication::quit(); };
        return done();
    }

    // An empty name would match the first object of any name.
    QObject *control = name.isEmpty()                   ? nullptr
                       : name == m_window->objectName() ? m_window
                                                        : m_window->findChild<QObject *>(name);
    if (!control)
        return failed(QStringLiteral("no control %1").arg(name));
    const bool changes = op == u"click" || op == u"type" || op == u"set" || op == u"show" ||
                         op == u"mouse" || op == u"select";
    if (changes && modal)
        return failed(
            QStringLiteral("a dialog is open: %1")
                .arg(QString::fromUtf8(
                    QJsonDocument(describe(modal).toObject()).toJson(QJsonDocument::Compact))));
    const QString property = request.value(QStringLiteral("property")).toString();
    const QJsonValue value = request.value(QStringLiteral("value"));

    if (op == u"click") {
        auto *button = qobject_cast<QAbstractButton *>(control);
        if (!button)
            return failed(QStringLiteral("%1 is not a button").arg(name));
        // A disabled button takes no click, as under the mouse.
        then = [button = QPointer(button)] {
            if (button)
                button->click();
        };
        return done();
    }
    auto *widget = qobject_cast<QWidget *>(control);
    if (op == u"show" && widget) {
        bringForward(widget);
        return done();
    }
    if (op == u"mouse" && widget) {
        const bool right = request.value(QStringLiteral("button")).toString() == u"right";
        const bool shift = request.value(QStringLiteral("shift")).toBool();
        mouseClick(widget, right ? Qt::RightButton : Qt::LeftButton,
                   shift ? Qt::ShiftModifier : Qt::NoModifier,
                   {request.value(QStringLiteral("x")).toDouble(),
                    request.value(QStringLiteral("y")).toDouble()});
        return done();
    }
    if (op == u"select") {
        const int row = request.value(QStringLiteral("row")).toInt();
        auto *view = qobject_cast<QAbstractItemView *>(control);
        if (!view || row < 0 || row >= view->model()->rowCount())
            return failed(QStringLiteral("%1 has no row %2").arg(name).arg(row));
        if (auto *table = qobject_cast<QTableView *>(view))
            table->selectRow(row);
        else
            view->setCurrentIndex(view->model()->index(row, 0));
        return done();
    }
    if (op == u"text")
        return done(QJsonValue::fromVariant(shownText(control)));
    if (op == u"type")
        return typeText(control, value.toString())
                   ? done()
                   : failed(QStringLiteral("%1 takes no text").arg(name));
    if (op == u"items")
        return done(itemsOf(control));
    if (op == u"get") {
        const QVariant read = control->property(qPrintable(property));
        return read.isValid() ? done(QJsonValue::fromVariant(read))
                              : failed(QStringLiteral("%1 has no property %2").arg(name, property));
    }
    if (op == u"set")
        return control->setProperty(qPrintable(property), value.toVariant())
                   ? done()
                   : failed(QStringLiteral("%1 cannot take %2").arg(name, property));
    return failed(QStringLiteral("unknown request %1").arg(op));
}
