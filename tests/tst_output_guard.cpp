// Where a command may write its output: never over what it reads, whatever the file is called or
// linked as, never over a folder, a device or (unless it writes a list) a list, and over another
// file only when the user agreed.
#include "archive/output_guard.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace tardigo;

using Verdict = OutputCheck::Verdict;
Q_DECLARE_METATYPE(OutputKind)
Q_DECLARE_METATYPE(Verdict)

class TestOutputGuard : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    QString path(const QString& name) const { return _dir.filePath(name); }

private slots:
    void initTestCase() {
        test::writeList(path("read.todo"), {});
        test::writeList(path("other.todo"), {});
        QFile text(path("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("kept") == 4);
        text.close();
        QVERIFY(QFile::link(path("read.todo"), path("link.pdf")));
        QVERIFY(QFile::link(path("link.pdf"), path("link-to-link.pdf")));
        QVERIFY(QFile::link(path("other.todo"), path("other-link.pdf")));
        QVERIFY(QFile::link(path("nowhere/missing.pdf"), path("dangling.pdf")));
        QCOMPARE(::link(QFile::encodeName(path("read.todo")).constData(),
                        QFile::encodeName(path("hard.pdf")).constData()),
                 0);
        QVERIFY(QDir(_dir.path()).mkdir("folder"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    }

    void eachOutputIsJudgedOnWhatItIsOnDisk_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<OutputKind>("kind");
        QTest::addColumn<Verdict>("verdict");
        const OutputKind list = OutputKind::List, other = OutputKind::Other;
        QTest::newRow("a new file") << "new.pdf" << other << Verdict::Free;
        QTest::newRow("a link to nothing") << "dangling.pdf" << other << Verdict::Free;
        QTest::newRow("another file") << "notes.txt" << other << Verdict::Exists;
        QTest::newRow("another list, written by a list") << "other.todo" << list << Verdict::Exists;
        QTest::newRow("another list, written by a printout") << "other.todo" << other << Verdict::IsList;
        QTest::newRow("a link to another list") << "other-link.pdf" << other << Verdict::IsList;
        QTest::newRow("the input") << "read.todo" << list << Verdict::IsInput;
        QTest::newRow("the input spelt otherwise") << "folder/../read.todo" << list << Verdict::IsInput;
        QTest::newRow("a link to the input") << "link.pdf" << other << Verdict::IsInput;
        QTest::newRow("a link to that link") << "link-to-link.pdf" << list << Verdict::IsInput;
        QTest::newRow("a hard link of the input") << "hard.pdf" << list << Verdict::IsInput;
        QTest::newRow("a folder") << "folder" << list << Verdict::NotAFile;
        QTest::newRow("a pipe") << "pipe" << other << Verdict::NotAFile;
    }
    void eachOutputIsJudgedOnWhatItIsOnDisk() {
        QFETCH(QString, output);
        QFETCH(OutputKind, kind);
        QFETCH(Verdict, verdict);
        const OutputCheck check =
            checkOutput(path(output), kind, {path("notes.txt.missing"), path("read.todo")});
        QCOMPARE(check.verdict, verdict);
        // Only an existing file of no concern to the command may be replaced, and only when agreed.
        QCOMPARE(check.allows(false), verdict == Verdict::Free);
        QCOMPARE(check.allows(true), verdict == Verdict::Free || verdict == Verdict::Exists);
        QCOMPARE(check.reason.isEmpty(), verdict == Verdict::Free);
        if (verdict != Verdict::Free)
            QVERIFY2(check.reason.contains(path(output)), qPrintable(check.reason));
    }
};

QTEST_GUILESS_MAIN(TestOutputGuard)
#include "tst_output_guard.moc"
