// The window as the engineer first sees it: the port starts closed, and the option pairs and the
// framing selector work. The layout (every control reachable, no caption clipped) is the
// language suite's; what each control does is the click suites'.

#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>

#include "app/LampShape.h"
#include "app/WindowTimer.h"
#include "tests/support/WindowOnPty.h"

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void startsClosed() {
        WindowOnPty t(false);
        for (const char *enabled : {"Command32", "Combo1", "Combo2", "Text22"})
            QVERIFY2(t.control(enabled)->isEnabled(), enabled);
        QVERIFY(!t.control("Command33")->isEnabled());
        for (const char *timer : {"Timer1", "Timer2"})
            QVERIFY2(!t.window->findChild<WindowTimer *>(timer)->enabled(), timer);
        QVERIFY(!t.control<QCheckBox>("Check1")->isChecked());
        QVERIFY(!t.control<QCheckBox>("Check2")->isChecked());
        QVERIFY(!t.window->property("AddToListMode").toBool());
        QVERIFY(!t.window->property("AddToIoMode").toBool());
        QCOMPARE(t.window->property("RunLine").toInt(), 0);
        QCOMPARE(t.lamp("Shape1"), LampShape::kWindowText);
        for (int lamp = 2; lamp <= 9; ++lamp)
            QCOMPARE(t.lamp(QStringLiteral("Shape%1").arg(lamp)), LampShape::kBlack);
        // The protocol tab's text is a resource: it must have been found.
        QVERIFY(!t.control("RichTextBox3")->property("Text").toString().isEmpty());
    }

    // Read/write and the languages are two independent exclusive pairs.
    void twoExclusivePairs() {
        WindowOnPty t(false);
        auto radio = [&t](const char *name) { return t.control<QRadioButton>(name); };
        QVERIFY(radio("Option3")->isChecked() && !radio("Option4")->isChecked());
        QVERIFY(!radio("Option1")->isChecked() && !radio("Option2")->isChecked());
        radio("Option2")->click();
        QVERIFY(radio("Option2")->isChecked() && radio("Option3")->isChecked());
        radio("Option4")->click();
        QVERIFY(radio("Option4")->isChecked() && !radio("Option3")->isChecked() &&
                radio("Option2")->isChecked());
        radio("Option1")->click();
        QVERIFY(!radio("Option2")->isChecked() && radio("Option4")->isChecked());
    }

    // Only exactly "Modbus RTU" is RTU framing; the IO download and query need it.
    void framingSelectorEnablesIoButtons() {
        WindowOnPty t(false);
        for (const auto &[framing, enabled] :
             {std::pair{"Modbus ASC", false}, {"Modbus RTU ", false}, {"Modbus RTU", true}}) {
            t.setText("Combo7", framing);
            QCOMPARE(t.control("Command81")->isEnabled(), enabled);
            QCOMPARE(t.control("Command88")->isEnabled(), enabled);
        }
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
