#include "app/Ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "app/LampShape.h"

namespace ui {

namespace {

template <class W> W *named(W *widget, const char *name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The message a label or status bar shows, kept beside it (as its child it hears of each
// language change).
class ShownMessage : public QObject {
public:
    using Read = std::function<QString()>;
    using Write = std::function<void(const QString &)>;

    static void show(QWidget *target, Read read, Write write, Message message) {
        ShownMessage *kept = nullptr;
        for (QObject *child : target->children())
            if ((kept = dynamic_cast<ShownMessage *>(child)))
                break;
        if (!kept)
            kept = new ShownMessage(target, std::move(read), std::move(write));
        kept->m_message = std::move(message);
        kept->showAgain();
    }

protected:
    bool event(QEvent *event) override {
        if (event->type() == QEvent::LanguageChange && m_read() == m_shown)
            showAgain();
        return QObject::event(event);
    }

private:
    ShownMessage(QWidget *target, Read read, Write write)
        : QObject(target), m_read(std::move(read)), m_write(std::move(write)) {}
    void showAgain() {
        m_shown = m_message.text();
        m_write(m_shown);
    }

    Read m_read;
    Write m_write;
    Message m_message;
    QString m_shown;
};

} // namespace

Texts::Texts(QWidget *panel, const char *context) : QObject(panel), m_context(context) {
    panel->installEventFilter(this);
}

void Texts::set(QObject *control, const char *property, const char *source) {
    for (Entry &entry : m_entries)
        if (entry.control == control && qstrcmp(entry.property, property) == 0) {
            entry.source = source;
            show(entry);
            return;
        }
    keep({control, property, m_context, source});
}

void Texts::keep(Entry entry) {
    m_entries.push_back(std::move(entry));
    show(m_entries.back());
}

QString Texts::tr(const char *source) const {
    return QCoreApplication::translate(m_context, source);
}

void Texts::follow(std::function<void()> refresh) {
    refresh();
    m_followers.push_back(std::move(refresh));
}

void Texts::show(Entry &entry) const {
    entry.shown = QCoreApplication::translate(entry.context, entry.source);
    entry.control->setProperty(entry.property, entry.shown);
}

bool Texts::holdsValue(const Entry &entry) {
    // Labels only: a desktop style may add shortcut marks (&) to the texts of buttons and boxes,
    // which would then look like values.
    const auto *label = qobject_cast<const QLabel *>(entry.control);
    return label && qstrcmp(entry.property, "text") == 0 && label->text() != entry.shown;
}

bool Texts::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::LanguageChange && watched == parent()) {
        for (Entry &entry : m_entries)
            if (!holdsValue(entry))
                show(entry);
        for (const auto &refresh : m_followers)
            refresh();
    }
    return QObject::eventFilter(watched, event);
}

QPushButton *Texts::button(const char *name, const char *caption, const char *tip) {
    auto *b = named(new QPushButton, name);
    b->setAutoDefault(false);
    set(b, "text", caption);
    if (tip)
        set(b, "toolTip", tip);
    return b;
}

QPushButton *Texts::smallButton(const char *name, const char *caption, const char *tip) {
    auto *b = button(name, caption, tip);
    b->setFixedWidth(26);
    return b;
}

QPushButton *Texts::addButton(const char *name) {
    auto *b = smallButton(name, ">", nullptr);
    keep({b, "toolTip", "ui", QT_TRANSLATE_NOOP("ui", "加入高级命令")});
    keep({b, "statusTip", "ui", QT_TRANSLATE_NOOP("ui", "发送该命令，并把它的帧加到命令列表末尾")});
    return b;
}

QPushButton *Texts::ioButton(const char *name) {
    auto *b = smallButton(name, "↓", nullptr);
    keep({b, "toolTip", "ui", QT_TRANSLATE_NOOP("ui", "添加IO取代命令")});
    return b;
}

QLabel *Texts::label(const char *name, const char *caption) {
    auto *l = named(new QLabel, name);
    set(l, "text", caption);
    return l;
}

QCheckBox *Texts::checkBox(const char *name, const char *caption) {
    auto *c = named(new QCheckBox, name);
    set(c, "text", caption);
    return c;
}

QRadioButton *Texts::radio(const char *name, const char *caption) {
    auto *r = named(new QRadioButton, name);
    set(r, "text", caption);
    return r;
}

QGroupBox *Texts::group(QGroupBox *box, const char *name, const char *title) {
    named(box, name);
    set(box, "title", title);
    return box;
}

QString Message::text() const {
    const QString pattern = QCoreApplication::translate(context, source);
    QString text;
    text.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const qsizetype n = i + 1 < pattern.size() ? pattern[i + 1].digitValue() : -1;
        if (pattern[i] == u'%' && n >= 1 && n <= arguments.size()) {
            text += arguments[n - 1];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

void show(QLabel *label, Message message) {
    ShownMessage::show(
        label, [label] { return label->text(); },
        [label](const QString &text) { label->setText(text); }, std::move(message));
}

void show(QStatusBar *bar, Message message) {
    ShownMessage::show(
        bar, [bar] { return bar->currentMessage(); },
        [bar](const QString &text) { bar->showMessage(text); }, std::move(message));
}

QLineEdit *textBox(const char *name, const QString &text, int width) {
    auto *t = named(new QLineEdit(text), name);
    if (width > 0)
        t->setFixedWidth(width);
    return t;
}

QComboBox *combo(const char *name, const QStringList &items, const QString &text) {
    auto *c = named(new QComboBox, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setCurrentText(text);
    return c;
}

LampShape *lamp(const char *name, quint32 color) {
    auto *l = named(new LampShape, name);
    l->setBackColor(color);
    return l;
}

QWidget *row(std::initializer_list<QWidget *> widgets, int spacing) {
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

} // namespace ui
