// Command-list files as bytes on disk: how lines are read from a file of any origin and how a
// list is written, as a whole or not at all.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include "automation/CommandListFile.h"
#include "tests/support/TestFiles.h"

class TestCommandListFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void lines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("no final line end") << QByteArray("A") << QStringList{"A"};
        QTest::newRow("final CR LF adds no line") << QByteArray("A\r\n") << QStringList{"A"};
        QTest::newRow("lone CR ends a line") << QByteArray("A\rB") << QStringList{"A", "B"};
        QTest::newRow("CR CR") << QByteArray("A\r\r") << QStringList{"A", ""};
        QTest::newRow("lone LF stays in the line")
            << QByteArray("A\nB\r\nC") << QStringList{"A\nB", "C"};
        QTest::newRow("final lone LF stays") << QByteArray("A\n") << QStringList{"A\n"};
        QTest::newRow("LF CR") << QByteArray("\n\r") << QStringList{"\n"};
        QTest::newRow("CR then CR LF") << QByteArray("\r\r\n") << QStringList{"", ""};
        QTest::newRow("empty lines kept")
            << QByteArray("\r\n\r\nA\r\n\r\n") << QStringList{"", "", "A", ""};
        QTest::newRow("every kind") << QByteArray("01 20 00 39 C0 \r\nDelay:1000\r\nGoIdx:0\r\n")
                                    << QStringList{"01 20 00 39 C0 ", "Delay:1000", "GoIdx:0"};
        QTest::newRow("GBK") << QByteArray("\xD6\xD0\xCE\xC4"
                                           "AB\r\n\xB2\xE2\xCA\xD4")
                             << QString::fromUtf8("中文AB\n测试").split(u'\n');
    }

    void lines() {
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

    void fileExists() {
        QVERIFY(!automation::FileExists(QString()));
        QVERIFY(!automation::FileExists(path("missing.txt")));
        QVERIFY(writeBytes(path("there.txt"), "A\r\n"));
        QVERIFY(automation::FileExists(path("there.txt")));
        QVERIFY(automation::FileExists(dir.path()));
    }

    void readWholeFile() {
        QVERIFY(writeBytes(path("read.txt"), "01 02 \r\n\r\nDelay:50"));
        const auto read = automation::ReadFileToList(path("read.txt"));
        QVERIFY(read.lines);
        QCOMPARE(*read.lines, (QStringList{"01 02 ", "", "Delay:50"}));
    }

    void readErrors() {
        auto read = automation::ReadFileToList(path("missing.txt"));
        QVERIFY(!read.lines);
        QVERIFY(!read.error.isEmpty());
        read = automation::ReadFileToList(dir.path()); // a folder
        QVERIFY(!read.lines);
        QVERIFY(!read.error.isEmpty());
        // A file that opens but fails while being read.
        if (!QFile::exists(QStringLiteral("/proc/self/mem")))
            QSKIP("no /proc/self/mem to fail a read");
        read = automation::ReadFileToList(QStringLiteral("/proc/self/mem"));
        QVERIFY(!read.lines);
        QVERIFY(!read.error.isEmpty());
    }

    void saveLine() {
        QByteArray sink;
        QBuffer buffer(&sink);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(!automation::SaveLine(buffer, QString()));
        QVERIFY(automation::SaveLine(buffer, QString::fromUtf8("中文 01")));
        QVERIFY(automation::SaveLine(buffer, QStringLiteral("A\nB")));
        QCOMPARE(sink, QByteArray("\xD6\xD0\xCE\xC4 01\r\nA\nB\r\n"));
    }

    void saveWritesEveryNonEmptyLine() {
        const QString file = path("saved.txt");
        const auto saved = automation::SaveList(
            file, {"01 20 00 39 C0 ", "", "Delay:1000", QString::fromUtf8("中文"), "GoIdx:0"});
        QCOMPARE(saved.outcome, automation::ListFileSave::Outcome::Saved);
        QCOMPARE(saved.linesWritten, 4);
        QCOMPARE(readBytes(file),
                 QByteArray("01 20 00 39 C0 \r\nDelay:1000\r\n\xD6\xD0\xCE\xC4\r\nGoIdx:0\r\n"));
        // Round trip: the empty line is gone, everything else is back as it was.
        QCOMPARE(
            *automation::ReadFileToList(file).lines,
            (QStringList{"01 20 00 39 C0 ", "Delay:1000", QString::fromUtf8("中文"), "GoIdx:0"}));
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList({"saved.txt*"}, QDir::Files), QStringList{"saved.txt"});
    }

    void saveReplacesTheOldFile() {
        const QString file = path("replace.txt");
        QVERIFY(writeBytes(file, "old line that is longer than the new one\r\n"));
        QCOMPARE(automation::SaveList(file, {"AA"}).outcome,
                 automation::ListFileSave::Outcome::Saved);
        QCOMPARE(readBytes(file), QByteArray("AA\r\n"));
    }

    void nothingToWrite() {
        using Outcome = automation::ListFileSave::Outcome;
        const QString file = path("empty.txt");
        QCOMPARE(automation::SaveList(file, {}).outcome, Outcome::NothingNew);
        QVERIFY(!QFile::exists(file));
        QCOMPARE(automation::SaveList(file, {"", ""}).outcome, Outcome::NothingNew);
        QVERIFY(!QFile::exists(file));
        QVERIFY(writeBytes(file, "old\r\n"));
        QCOMPARE(automation::SaveList(file, {""}).outcome, Outcome::Removed);
        QVERIFY(!QFile::exists(file));
    }

    void failedSaveChangesNothing() {
        using Outcome = automation::ListFileSave::Outcome;
        // Into a folder that does not exist.
        auto saved = automation::SaveList(path("no-such-folder/list.txt"), {"AA"});
        QCOMPARE(saved.outcome, Outcome::Failed);
        QVERIFY(!saved.error.isEmpty());
        // Onto a folder: the folder and what it holds stay.
        QVERIFY(QDir(dir.path()).mkpath("folder.txt"));
        QVERIFY(writeBytes(path("folder.txt/inside"), "x"));
        saved = automation::SaveList(path("folder.txt"), {"AA"});
        QCOMPARE(saved.outcome, Outcome::Failed);
        QCOMPARE(readBytes(path("folder.txt/inside")), QByteArray("x"));
        saved = automation::SaveList(path("folder.txt"), {});
        QCOMPARE(saved.outcome, Outcome::Failed);
        QVERIFY(QFileInfo(path("folder.txt")).isDir());
    }
};

QTEST_APPLESS_MAIN(TestCommandListFile)
#include "tst_commandlistfile.moc"
