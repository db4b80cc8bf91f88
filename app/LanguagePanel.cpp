#include "app/LanguagePanel.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSettings>
#include <QTranslator>

#include "app/Ui.h"

namespace {

const QString kChinese = QStringLiteral("zh");
const QString kEnglish = QStringLiteral("en");
const QString kLanguageKey = QStringLiteral("language");

// Organisation and application: ~/.config/r7260-tool/r7260-tool.conf on Linux.
const QString kSettingsName = QStringLiteral("r7260-tool");

// Drawn when it is first painted: its bold lettering needs a font of its own, which would
// otherwise be loaded before the window can appear.
class DevicePicture : public QWidget {
public:
    DevicePicture() {
        setObjectName(QStringLiteral("Picture1"));
        setFixedSize(120, 60);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0x30, 0x50, 0x80));
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 6, 6);
        p.setPen(Qt::white);
        QFont font = p.font();
        font.setBold(true);
        font.setPointSize(12);
        p.setFont(font);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("R7260S"));
    }
};

} // namespace

LanguagePanel::LanguagePanel() : m_translator(new QTranslator(this)), m_shown(kChinese) {
    auto *texts = new ui::Texts(this, "LanguagePanel");
    auto *chinese = texts->radio("Option1", QT_TR_NOOP("中文"));
    auto *english = texts->radio("Option2", "English");
    auto *language = new QButtonGroup(this);
    language->addButton(chinese);
    language->addButton(english);
    auto *picture = new DevicePicture;

    auto *g = new QGridLayout(this);
    g->setContentsMargins(0, 0, 0, 0);
    g->setSpacing(4);
    g->addWidget(texts->label("Label31", QT_TR_NOOP("语言选择(Select Language):")), 0, 0, 1, 3);
    g->addWidget(chinese, 1, 0);
    g->addWidget(english, 1, 1);
    g->addWidget(texts->label("Label17", "Version for 3.x"), 2, 0, 1, 2);
    g->addWidget(picture, 0, 3, 3, 1, Qt::AlignRight | Qt::AlignVCenter);

    connect(chinese, &QRadioButton::clicked, this, [this] { choose(kChinese); });
    connect(english, &QRadioButton::clicked, this, [this] { choose(kEnglish); });
    const QString stored = QSettings(kSettingsName, kSettingsName).value(kLanguageKey).toString();
    if (stored.isEmpty())
        return;
    chinese->setChecked(stored == kChinese);
    english->setChecked(stored == kEnglish);
    showLanguage(stored);
}

void LanguagePanel::choose(const QString &language) {
    QSettings stored(kSettingsName, kSettingsName);
    stored.setValue(kLanguageKey, language);
    stored.sync();
    // The window switches all the same; only the next start will not know.
    if (stored.status() != QSettings::NoError)
        qWarning("r7260-tool: the language choice could not be stored in %s",
                 qPrintable(stored.fileName()));
    showLanguage(language);
}

void LanguagePanel::showLanguage(const QString &language) {
    if (language == m_shown)
        return;
    // Every window hears of each change (QEvent::LanguageChange) and shows its texts again.
    QCoreApplication::removeTranslator(m_translator);
    m_shown = kChinese;
    if (language == kChinese)
        return;
    if (!m_translator->load(QStringLiteral(":/i18n/r7260-tool_") + language)) {
        qWarning("r7260-tool: no translation for language \"%s\"", qPrintable(language));
        return;
    }
    QCoreApplication::installTranslator(m_translator);
    m_shown = language;
}
