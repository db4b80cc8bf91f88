// The window as the engineer first sees it, in the real executable: the port starts closed, and
// the option pairs and the framing selector work. The layout (every control reachable, no
// caption clipped) is the language suite's; what each control does is the click suites'.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/LampShape.h"
#include "tests/support/RunningTool.h"
#include "tests/support/TestFiles.h"

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void startsClosed() {
        RunningTool t(false);
        for (const char *enabled : {"Command32", "Combo1", "Combo2", "Text22"})
            QVERIFY2(t.enabled(enabled), enabled);
        QVERIFY(!t.enabled("Command33"));
        for (const char *timer : {"Timer1", "Timer2"})
            QVERIFY2(!t.property(timer, "Enabled").toBool(), timer);
        QVERIFY(!t.property("Check1", "checked").toBool());
        QVERIFY(!t.property("Check2", "checked").toBool());
        QVERIFY(!t.property("FrmMain", "AddToListMode").toBool());
        QVERIFY(!t.property("FrmMain", "AddToIoMode").toBool());
        QCOMPARE(t.property("FrmMain", "RunLine").toInt(), 0);
        QCOMPARE(t.lamp("Shape1"), LampShape::kWindowText);
        for (int lamp = 2; lamp <= 9; ++lamp)
            QCOMPARE(t.lamp(QStringLiteral("Shape%1").arg(lamp)), LampShape::kBlack);
        // The protocol tab's text is a resource: it must have been found.
        QVERIFY(!t.text("RichTextBox3").isEmpty());
        QVERIFY(t.quit());
    }

    // Read/write and the languages are two independent exclusive pairs.
    void twoExclusivePairs() {
        RunningTool t(false);
        auto checked = [&t](const char *name) { return t.property(name, "checked").toBool(); };
        QVERIFY(checked("Option3") && !checked("Option4"));
        QVERIFY(!checked("Option1") && !checked("Option2"));
        t.click("Option2");
        QVERIFY(checked("Option2") && checked("Option3"));
        t.click("Option4");
        QVERIFY(checked("Option4") && !checked("Option3") && checked("Option2"));
        t.click("Option1");
        QVERIFY(!checked("Option2") && checked("Option4"));
        QVERIFY(t.quit());
    }

    // Only exactly "Modbus RTU" is RTU framing; the IO download and query need it.
    void framingSelectorEnablesIoButtons() {
        RunningTool t(false);
        for (const auto &[framing, enabled] :
             {std::pair{"Modbus ASC", false}, {"Modbus RTU ", false}, {"Modbus RTU", true}}) {
            t.setText("Combo7", framing);
            QCOMPARE(t.enabled("Command81"), enabled);
            QCOMPARE(t.enabled("Command88"), enabled);
        }
        QVERIFY(t.quit());
    }

    // The script socket never takes the place of a file that is there.
    void controlSocketLeavesFilesAlone() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.txt"));
        QVERIFY(writeBytes(path, "kept"));
        QProcess tool;
        tool.start(RunningTool::program(), {QStringLiteral("--control"), path});
        QVERIFY(tool.waitForFinished(20000));
        QCOMPARE(tool.exitCode(), 2);
        QCOMPARE(readBytes(path), QByteArray("kept"));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
