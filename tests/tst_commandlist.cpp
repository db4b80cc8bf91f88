// The command list: how lines are read from a file of any origin, and the list in the window:
// inserted lines, the delay box's range, the pop-up menu, and opening and saving list files with
// their questions and messages, checked as bytes on disk.

#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <unistd.h>

#include "app/CommandListPanel.h"
#include "automation/CommandListFile.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowOnPty.h"

namespace {

QStringList linesOf(const QListWidget *list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

} // namespace

class TestCommandList : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<WindowOnPty> t;
    QListWidget *list = nullptr;

    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    void setList(const QStringList &lines) const {
        list->clear();
        list->addItems(lines);
    }
    // Presses "打开文件" or "命令另存为", answering the dialog with `name` and a question with
    // `yes`.
    void press(const char *button, const QString &name, bool yes = false) const {
        t->prompts->fileNames.enqueue(name);
        t->prompts->yesNoAnswers.enqueue(yes);
        t->click(button);
        t->prompts->yesNoAnswers.clear();
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY(writeBytes(path("list.txt"), "01 02 \r\n\r\nDelay:50") &&
                writeBytes(path("empty.txt"), {}) &&
                writeBytes(path("crs.txt"), QByteArray(automation::kMaxListFileBytes, '\r')) &&
                writeBytes(path("limit-crs.txt"), QByteArray(automation::kMaxListLines, '\r')));
    }
    void init() {
        t = std::make_unique<WindowOnPty>(false);
        list = t->control<QListWidget>("List1");
    }
    void cleanup() { t.reset(); }

    // A line ends at CR or CR LF; a lone LF stays in its line; every line, an empty one too, is
    // a list line; a final line end starts no further line.
    void linesFromBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        // clang-format off
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("no final line end") << QByteArray("A") << QStringList{"A"};
        QTest::newRow("final CR LF") << QByteArray("A\r\n") << QStringList{"A"};
        QTest::newRow("lone CR") << QByteArray("A\rB") << QStringList{"A", "B"};
        QTest::newRow("CR then CR LF") << QByteArray("\r\r\n") << QStringList{"", ""};
        QTest::newRow("lone LF stays") << QByteArray("A\nB\r\nC\n") << QStringList{"A\nB", "C\n"};
        QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nA\r\n\r\n") << QStringList{"", "", "A", ""};
        QTest::newRow("GBK") << QByteArray("\xD6\xD0\xCE\xC4" "AB\r\n\xB2\xE2\xCA\xD4") << QStringList{"中文AB", "测试"};
        // clang-format on
    }
    void linesFromBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(automation::listLinesFromBytes(bytes), lines);
    }

    // A damaged character right before a line end takes neither the line end nor the next line.
    void damagedCharacterKeepsTheLineEnd() {
        const QStringList lines = automation::listLinesFromBytes("A\xD6\r\nB\r\n");
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(u'A'));
        QCOMPARE(lines[1], QStringLiteral("B"));
    }

    // The insert buttons append at the end, whatever is selected; the jump box goes in as typed.
    void insertButtonsAppendAtTheEnd() {
        setList({"AA"});
        list->setCurrentRow(0);
        t->setText("Text20", "500");
        t->click("Command34");
        t->setText("Text21", "x");
        t->click("Command35");
        QCOMPARE(linesOf(list), (QStringList{"AA", "Delay:500", "GoIdx:x"}));
        QCOMPARE(list->currentRow(), 0);
    }

    // The delay box holds 50..60000 however its text is set.
    void delayBoxRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        // clang-format off
        for (const char *kept : {"50", "60000", "1 000", "&H100"})
            QTest::newRow(kept) << kept << kept;
        for (const auto &[typed, shown] : {std::pair{"60000.5", "60000"}, {"1e9", "60000"}, {"49.9", "50"}, {"-100", "50"}, {"", "50"}, {"abc", "50"}})
            QTest::newRow(*typed ? typed : "empty") << typed << shown;
        // clang-format on
    }
    void delayBoxRange() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        t->setText("Text20", typed);
        QCOMPARE(t->text("Text20"), shown);
    }

    // A right press opens the menu at the pointer and never changes the selection.
    void rightPressOpensTheMenuAndKeepsTheSelection() {
        t->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(t->window.get()));
        setList({"AA", "BB", "CC"});
        list->setCurrentRow(0);
        auto *menu = t->control<QMenu>("MenuCMD");
        const QPoint onC = list->visualItemRect(list->item(2)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, onC);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(list->selectedItems(), QList<QListWidgetItem *>{list->item(0)});
        const QPoint at = list->viewport()->mapTo(t->window.get(), onC);
        QCOMPARE(t->window->findChild<CommandListPanel *>()->menuPoint(onC), at);
        QCOMPARE(menu->y(), t->window->mapToGlobal(at).y());
        menu->close();
        QTest::mouseDClick(list->viewport(), Qt::RightButton, {}, onC);
        QCOMPARE(list->currentRow(), 0);
        menu->close();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onC);
        QCOMPARE(list->currentRow(), 2);
    }

    void menuDeletes() {
        setList({"AA", "BB", "CC"});
        auto *remove = t->window->findChild<QAction *>("DelectList");
        remove->trigger(); // nothing selected: nothing happens
        QCOMPARE(list->count(), 3);
        list->setCurrentRow(1);
        remove->trigger();
        QCOMPARE(linesOf(list), (QStringList{"AA", "CC"}));
        t->window->findChild<QAction *>("DelectAll")->trigger();
        QCOMPARE(list->count(), 0);
    }

    // Opening replaces the list only with what a file could be read to hold.
    void openFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("a file") << "list.txt" << QStringList{"01 02 ", "", "Delay:50"} << "";
        QTest::newRow("an empty file") << "empty.txt" << QStringList{} << "";
        QTest::newRow("the most lines") << "limit-crs.txt" << QStringList(automation::kMaxListLines, "") << "";
        QTest::newRow("1 MB of bare CRs") << "crs.txt" << QStringList{"old"} << "有 1048576 行，命令列表最多 65536 行。";
        QTest::newRow("missing") << "missing.txt" << QStringList{"old"} << "文件名无效,请重新打开!";
        QTest::newRow("a folder") << "." << QStringList{"old"} << "命令列表保持不变";
        QTest::newRow("fails while read") << "/proc/self/mem" << QStringList{"old"} << "命令列表保持不变";
        QTest::newRow("cancelled") << "" << QStringList{"old"} << "";
        // clang-format on
    }
    void openFile() {
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        setList({"old"});
        press("Command54", name.isEmpty() ? name : QDir(dir.path()).filePath(name));
        QCOMPARE(linesOf(list), lines);
        QCOMPARE(t->prompts->messages.size(), int(!message.isEmpty()));
        if (!message.isEmpty()) {
            QCOMPARE(t->prompts->messages[0].title, Prompts::applicationTitle());
            QVERIFY2(t->prompts->messages[0].text.contains(message),
                     qPrintable(t->prompts->messages[0].text));
        }
    }

    // Saving writes every non-empty line as it stands, GBK, CR LF, and leaves no temporary file;
    // it asks before replacing a file; an empty list leaves no file behind.
    void save_data() {
        QTest::addColumn<QByteArray>("before"); // "-": no file
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QByteArray>("after");
        // clang-format off
        QTest::newRow("new file: nothing asked") << QByteArray("-") << QStringList{"AA", "", "中文", "A\nB"} << false << QByteArray("AA\r\n\xD6\xD0\xCE\xC4\r\nA\nB\r\n");
        QTest::newRow("overwrite declined") << QByteArray("old\r\n") << QStringList{"AA"} << false << QByteArray("old\r\n");
        QTest::newRow("overwrite accepted") << QByteArray("old line\r\nold line\r\n") << QStringList{"AA"} << true << QByteArray("AA\r\n");
        QTest::newRow("empty list removes the file") << QByteArray("old\r\n") << QStringList{} << true << QByteArray("-");
        QTest::newRow("empty list creates nothing") << QByteArray("-") << QStringList{"", ""} << false << QByteArray("-");
        // clang-format on
    }
    void save() {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, lines);
        QFETCH(bool, yes);
        QFETCH(QByteArray, after);
        const QString file = path("saved-by-window.txt");
        QFile::remove(file);
        QVERIFY(before == "-" || writeBytes(file, before));
        setList(lines);
        press("Command55", file, yes);
        QCOMPARE(t->prompts->questions.size(), int(before != "-"));
        if (before != "-")
            QCOMPARE(t->prompts->questions[0].text, QStringLiteral("是否覆盖文件？"));
        QVERIFY(t->prompts->messages.isEmpty());
        QCOMPARE(QFile::exists(file) ? readBytes(file) : QByteArray("-"), after);
        QVERIFY(QDir(dir.path()).entryList({"saved-by-window*"}, QDir::Files).size() <= 1);
    }

    // A save that fails says so and leaves the old file. Where permissions do not bite (root),
    // a folder named like the file stands in for the read-only folder: it cannot be replaced
    // either.
    void failedSaveLeavesTheOldFile() {
        QTemporaryDir locked;
        const bool permissionsBite = ::geteuid() != 0;
        const QString target = locked.filePath(permissionsBite ? "list.txt" : "folder.txt");
        const QString old = permissionsBite ? target : target + "/inside";
        QVERIFY(permissionsBite || QDir(locked.path()).mkdir("folder.txt"));
        QVERIFY(writeBytes(old, "old\r\n"));
        QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner));
        setList({"AA", "BB"});
        press("Command55", target, true);
        QFile::setPermissions(locked.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(t->prompts->questions.size() == 1 && t->prompts->messages.size() == 1);
        QCOMPARE(t->prompts->messages[0].title, QStringLiteral("文件保存"));
        const QString text = t->prompts->messages[0].text;
        QVERIFY2(text.startsWith(u"文件未保存") && text.contains(u"原文件保持不变"),
                 qPrintable(text));
        QCOMPARE(readBytes(old), QByteArray("old\r\n"));
        QCOMPARE(QDir(locked.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);

        press("Command55", path("no-such-folder/list.txt"));
        QCOMPARE(t->prompts->messages.size(), 2);
        QVERIFY(t->prompts->messages[1].text.startsWith(u"文件未保存"));
        QVERIFY(!t->prompts->messages[1].text.contains(u"原文件"));
    }

    // A disk full before the save, or filling during it, is named as the reason.
    void fullDiskNamed_data() {
        QTest::addColumn<qint64>("free");
        QTest::newRow("full") << qint64(0);
        QTest::newRow("fills during the write") << qint64(4096);
    }
    void fullDiskNamed() {
        QFETCH(qint64, free);
        const SmallDisk disk(path("small"));
        if (!disk.mounted)
            QSKIP("mounting a small tmpfs needs root");
        const QString file = disk.path + "/list.txt";
        QVERIFY(writeBytes(file, "old\r\n"));
        QFile filler(disk.path + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(512, 'x')) == 512) {
        }
        QVERIFY(filler.resize(filler.size() - free));
        setList(QStringList(300, "01 26 00 3A 60 "));
        press("Command55", file, true);
        QCOMPARE(t->prompts->messages.size(), 1);
        QCOMPARE(t->prompts->messages[0].text,
                 "文件未保存：" + qt_error_string(ENOSPC) + "\n原文件保持不变。");
        QCOMPARE(readBytes(file), QByteArray("old\r\n"));
    }
};

QTEST_MAIN(TestCommandList)
#include "tst_commandlist.moc"
