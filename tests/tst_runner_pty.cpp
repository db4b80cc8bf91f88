// The runner in the window, observed where its frames arrive: the far side of a pseudo-terminal
// wired to COM1. Time bounds are generous; exact waits are checked tick by tick.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/WindowTimer.h"
#include "tests/support/WindowOnPty.h"

namespace {

// Two-byte frames whose first byte names them.
const QString A = QStringLiteral("A1 A1 ");
const QString B = QStringLiteral("B2 B2 ");
const QString C = QStringLiteral("C3 C3 ");

struct Arrival {
    char name;
    qint64 ms; // since the start of the collection
};

} // namespace

class TestRunnerOnPty : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowOnPty> tool;
    QListWidget *list = nullptr;
    QCheckBox *check = nullptr;
    QLineEdit *interval = nullptr;

    // Frames arriving until `count` arrived or `timeoutMs` passed, named 'A', 'B', 'C'.
    QList<Arrival> collect(int count, int timeoutMs) {
        QList<Arrival> arrivals;
        QByteArray pending;
        QElapsedTimer clock;
        clock.start();
        while (arrivals.size() < count && clock.elapsed() < timeoutMs) {
            QTest::qWait(2);
            pending += tool->pty.readAvailable();
            while (pending.size() >= 2) {
                arrivals.append({char('A' + (quint8(pending[0]) >> 4) - 0xA), clock.elapsed()});
                pending.remove(0, 2);
            }
        }
        return arrivals;
    }
    static QString names(const QList<Arrival> &arrivals) {
        QString out;
        for (const Arrival &a : arrivals)
            out += QLatin1Char(a.name);
        return out;
    }
    void start(const QStringList &lines, const QString &defaultInterval) {
        list->addItems(lines);
        interval->setText(defaultInterval);
        tool->pty.readAvailable();
        check->click();
        QVERIFY(check->isChecked());
    }
    void tick() { emit tool->window->findChild<WindowTimer *>("Timer2")->tick(); }

private slots:
    void init() {
        tool = std::make_unique<WindowOnPty>();
        QVERIFY(tool->isOpen());
        list = tool->control<QListWidget>("List1");
        check = tool->control<QCheckBox>("Check1");
        interval = tool->control<QLineEdit>("Text22");
    }
    void cleanup() { tool.reset(); }

    void delayThenDefaultInterval() {
        start({A, "Delay:100", B}, "400");
        QVERIFY(!interval->isEnabled());
        const QList<Arrival> arrivals = collect(5, 15000);
        QCOMPARE(names(arrivals), QStringLiteral("ABABA"));
        for (int i = 1; i < arrivals.size(); ++i) {
            const qint64 gap = arrivals[i].ms - arrivals[i - 1].ms;
            // Only lower bounds are exact: timers do not fire early; a busy machine makes them
            // late.
            QVERIFY2(gap >= (arrivals[i].name == 'B' ? 90 : 390), qPrintable(QString::number(gap)));
        }
    }

    void jumpBackRepeatsTheFirstLine() {
        start({A, "GoIdx:0", B}, "50");
        const QList<Arrival> arrivals = collect(4, 10000);
        QCOMPARE(names(arrivals), QStringLiteral("AAAA"));
    }

    void stopAndRestartFromTheTop() {
        start({A, B, C}, "50");
        QCOMPARE(names(collect(4, 10000)), QStringLiteral("ABCA"));
        check->click();
        QVERIFY(!tool->window->findChild<WindowTimer *>("Timer2")->enabled());
        QVERIFY(interval->isEnabled());
        tool->pty.readFor(100);
        QVERIFY(tool->pty.readFor(300).isEmpty());
        check->click();
        QCOMPARE(names(collect(2, 10000)), QStringLiteral("AB"));
    }

    void zeroIntervalNeverTicks() {
        start({A}, "0");
        QVERIFY(tool->window->findChild<WindowTimer *>("Timer2")->enabled());
        QVERIFY(!interval->isEnabled());
        QVERIFY(tool->pty.readFor(500).isEmpty());
    }

    void editsWhileRunningAreSeen() {
        start({A}, "50");
        QCOMPARE(names(collect(1, 10000)), QStringLiteral("A"));
        list->addItem(B);
        QVERIFY(names(collect(3, 10000)).contains(u'B'));
    }

    void unusableIntervalRefusesToStart_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("above 65535") << "65536";
        QTest::newRow("negative") << "-1";
        QTest::newRow("huge") << "1e300";
    }

    void unusableIntervalRefusesToStart() {
        QFETCH(QString, text);
        list->addItem(A);
        interval->setText(text);
        tool->window->setProperty("RunLine", 7);
        check->click();
        QVERIFY(!check->isChecked());
        QVERIFY(!tool->window->findChild<WindowTimer *>("Timer2")->enabled());
        QVERIFY(interval->isEnabled());
        QCOMPARE(tool->window->property("RunLine").toInt(), 7);
        QCOMPARE(tool->prompts->messages.size(), 1);
        QCOMPARE(tool->prompts->messages[0].title, Prompts::applicationTitle());
        QVERIFY(tool->prompts->messages[0].text.contains(QStringLiteral("0到65535")));
        QVERIFY(tool->pty.readFor(300).isEmpty());
    }

    // Tick by tick (the timer itself stopped): what goes out, the wait set, the next line.
    void tickByTick() {
        list->addItems({A, "Delay:300", B, "   ", "GoIdx:0"});
        interval->setText("700");
        auto *timer = tool->window->findChild<WindowTimer *>("Timer2");
        auto *sentCount = tool->control<QLabel>("Label44");

        tick();
        QCOMPARE(tool->sent(2), QByteArray("\xA1\xA1"));
        QCOMPARE(timer->interval(), 300);
        QCOMPARE(tool->window->property("RunLine").toInt(), 2);

        tick();
        QCOMPARE(tool->sent(2), QByteArray("\xB2\xB2"));
        QCOMPARE(timer->interval(), 700);
        QCOMPARE(tool->window->property("RunLine").toInt(), 3);

        // A line of blanks yields no bytes: nothing is sent, shown or counted. Its look-ahead
        // is the jump back to the top.
        const QString pane = tool->sendPane();
        const QString count = sentCount->text();
        tick();
        QVERIFY(tool->pty.readFor(100).isEmpty());
        QCOMPARE(tool->sendPane(), pane);
        QCOMPARE(sentCount->text(), count);
        QCOMPARE(tool->window->property("RunLine").toInt(), 0);

        tick();
        QCOMPARE(tool->sent(2), QByteArray("\xA1\xA1"));
    }

    void portClosedSendsNothingButRuns() {
        tool = std::make_unique<WindowOnPty>(false);
        list = tool->control<QListWidget>("List1");
        list->addItems({A, B});
        emit tool->window->findChild<WindowTimer *>("Timer2")->tick();
        QCOMPARE(tool->window->property("RunLine").toInt(), 1);
        QVERIFY(tool->pty.readFor(100).isEmpty());
        QCOMPARE(tool->control<QLabel>("Label44")->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestRunnerOnPty)
#include "tst_runner_pty.moc"
