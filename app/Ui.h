#pragma once
// Small helpers the panels build their controls with. Every control gets its object name (the
// name the engineer and the tests know it by); every visible text is a Chinese source text that
// is shown through the translation of the panel's class and shown again in the new language when
// the language changes.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QWidget;
class LampShape;

namespace ui {

// The texts of one panel: which property of which control shows which source text. Watches the
// panel for language changes and then shows each text again, translated in the panel's context.
// A label whose text other code has replaced since (a counter's "0" by a count) holds a value
// now, which no language change touches.
class Texts : public QObject {
public:
    // context: the panel's class name, the translation context its texts were marked in.
    Texts(QWidget *panel, const char *context);

    // Shows `source` (translated) as the control's property ("text", "title", "toolTip" ...).
    void set(QObject *control, const char *property, const char *source);
    QString tr(const char *source) const;
    // For texts made at run time (a port's tooltip, a document): runs `refresh` now and again
    // after every language change.
    void follow(std::function<void()> refresh);

    QPushButton *button(const char *name, const char *caption, const char *tip = nullptr);
    // The narrow buttons: "?" query, "0" clear ...
    QPushButton *smallButton(const char *name, const char *caption, const char *tip);
    // ">": adds the next frame of the button beside it to the command list. Its tooltip is a
    // fixed text other tools rely on; the status bar says what it does.
    QPushButton *addButton(const char *name);
    // "↓": puts the command body of the button beside it into the IO replacement box.
    QPushButton *ioButton(const char *name);
    QLabel *label(const char *name, const char *caption);
    QCheckBox *checkBox(const char *name, const char *caption);
    QRadioButton *radio(const char *name, const char *caption);
    QGroupBox *group(QGroupBox *box, const char *name, const char *title);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry {
        QObject *control;
        const char *property;
        const char *context;
        const char *source;
        QString shown{}; // what the control was last given
    };
    void show(Entry &entry) const;
    static bool holdsValue(const Entry &entry);
    // Shows the entry now and again after each language change.
    void keep(Entry entry);

    const char *m_context;
    std::vector<Entry> m_entries;
    std::vector<std::function<void()>> m_followers;
};

// A text made at run time: a source text of a translation context with the values for its %1,
// %2 ... Kept as such, it can be shown again in another language:
//   ui::show(statusBar(), {"FrmMain", QT_TR_NOOP("响应时间：%1 ms"), {QString::number(ms)}});
struct Message {
    const char *context = nullptr;
    const char *source = nullptr;
    QStringList arguments{}; // a value each, never translated
    // Translated into the language shown now, %n replaced by the n-th argument in one pass (an
    // argument that holds "%2" stays as it is).
    QString text() const;
};

// Shows the message in the label, or as the status bar's message, and again in the new language
// after each language change, as long as it is still what they show: a later text from other
// code, or the message cleared, ends that.
void show(QLabel *label, Message message);
void show(QStatusBar *bar, Message message);

// Controls without translated text.
QLineEdit *textBox(const char *name, const QString &text, int width = 0);
QComboBox *combo(const char *name, const QStringList &items, const QString &text);
LampShape *lamp(const char *name, quint32 color);

// A horizontal run of widgets without margins; nullptr adds a stretch.
QWidget *row(std::initializer_list<QWidget *> widgets, int spacing = 4);
QGridLayout *compactGrid(QWidget *parent);

} // namespace ui
