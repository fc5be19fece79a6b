// Where Tardigo writes what it makes of a list (a new list, a converted one, an export, a calendar, a
// printout): never over a file it reads nor, unless it writes a list, over a list; over another file
// only when the user agreed; and a PDF whole or not at all.
#include "../test_support.h"
#include "gui_test_support.h"

#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "dialogs/dialog_service.h"
#include "dialogs/message_box_host.h"
#include "platform/atomic_file.h"
#include "print/gui/document_printing.h"
#include "print/gui/print_to_pdf.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/file_manager.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

const QString kApp = QStringLiteral(TARDIGO_APP_PATH);

} // namespace

class TestOutputs : public QObject {
    Q_OBJECT
    QTemporaryDir _files;
    QString path(const QString& name) const { return _files.filePath(name); }

private slots:
    void initTestCase() {
        setUpGuiTest();
        qputenv("QT_QPA_PLATFORM", "offscreen"); // for the printing program too
    }

    // Each writer, told to write over its input (as given, or through a link), over another file
    // without and with --force, or over another list with --force.
    void everyWriterGuardsItsOutput_data() {
        QTest::addColumn<bool>("printing");    // tardigo --print-to-pdf, else tardigo-cli
        QTest::addColumn<QStringList>("args"); // IN and OUT stand for the input and the output
        QTest::addColumn<bool>("writesList");
        QTest::addColumn<QString>("output"); // IN, LINK, FILE or LIST
        QTest::addColumn<bool>("force");
        struct Writer {
            const char* name;
            bool printing;
            QStringList args;
            bool writesList;
        };
        const Writer writers[] = {
            {"new", false, {"new", "OUT"}, true},
            {"import", false, {"import", "IN", "OUT"}, true},
            {"archive --rewrite", false, {"archive", "IN", "--rewrite", "OUT"}, true},
            {"export", false, {"export", "IN", "OUT"}, false},
            {"ical export", false, {"ical", "export", "IN", "OUT"}, false},
            // Its options come in any order.
            {"--print-to-pdf", true, {"--print-to-pdf", "OUT", "IN", "--print-notes"}, false},
        };
        for (const Writer& writer : writers) {
            const auto row = [&](const char* output, bool force) {
                QTest::addRow("%s over %s%s", writer.name, output, force ? " --force" : "")
                    << writer.printing << writer.args << writer.writesList << QString::fromLatin1(output)
                    << force;
            };
            if (writer.args.contains("IN")) {
                row("IN", true);
                row("LINK", true);
            }
            row("FILE", false);
            row("FILE", true);
            row("LIST", true);
        }
    }
    void everyWriterGuardsItsOutput() {
        QFETCH(bool, printing);
        QFETCH(QStringList, args);
        QFETCH(bool, writesList);
        QFETCH(QString, output);
        QFETCH(bool, force);
        QTemporaryDir dir;
        const QString input = dir.filePath("input.todo");
        if (args.contains("import"))
            writeBytes(input, fileBytes(QStringLiteral(TARDIGO_GUI_TEST_DATA_DIR "/list-1x.todo")));
        else
            writeList(input, {item("milk")});
        writeList(dir.filePath("other.todo"), {item("bread")});
        writeBytes(dir.filePath("notes.txt"), "kept");
        QVERIFY(QFile::link(input, dir.filePath("link.out")));
        const QMap<QString, QString> outputs{{"IN", input},
                                             {"LINK", dir.filePath("link.out")},
                                             {"FILE", dir.filePath("notes.txt")},
                                             {"LIST", dir.filePath("other.todo")}};
        const QString target = outputs[output];
        args.replaceInStrings(QRegularExpression("^IN$"), input);
        args.replaceInStrings(QRegularExpression("^OUT$"), target);
        if (force)
            args.append("--force");
        const QByteArray inputBefore = fileBytes(input), targetBefore = fileBytes(target);
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files | QDir::System);

        const CliRun run = printing ? runProgram(kApp, args) : runCli(args);
        const bool replaces = force && (output == "FILE" || (output == "LIST" && writesList));
        QVERIFY2(run.exitCode == (replaces ? 0 : 1), qPrintable(run.err));
        if (!replaces) // a calendar export saves the uids it gave
            QCOMPARE(fileBytes(input), inputBefore);
        QCOMPARE(fileBytes(target) != targetBefore, replaces);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System), filesBefore);
        const QString reason = output == "IN" || output == "LINK" ? "is the file being read"
                               : output == "LIST"                 ? "is a Tardigo list"
                                                                  : "use --force to replace it";
        QVERIFY2(replaces || run.err.contains(reason), qPrintable(run.err));
    }

    void aPdfIsWrittenWholeOrNotAtAll() {
        std::vector<NodePtr> items;
        for (int i = 1; i <= 200; ++i)
            items.push_back(item(QStringLiteral("Chore %1").arg(i)));
        const QString list = writeList(path("chores.todo"), items), pdf = path("chores.pdf");
        // The footer's time is compressed with the page, so each print is as long as the first only
        // while the clock stands still; else a fault at the first print's last byte may never come.
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
        QCOMPARE(printListToPdf(list, pdf, {}, false), 0);
        const QByteArray good = fileBytes(pdf);
        QVERIFY(good.startsWith("%PDF") && good.trimmed().endsWith("%%EOF"));
        for (const qint64 offset : {qint64(0), qint64(1), good.size() / 2, good.size() - 1}) {
            const SimulatedDiskFault fault = SimulatedDiskFault::atByte(offset);
            QCOMPARE(printListToPdf(list, pdf, {}, true), 1);
            QCOMPARE(fileBytes(pdf), good);
        }
        {
            const SimulatedDiskFault fault = SimulatedDiskFault::atSync();
            QCOMPARE(printListToPdf(list, pdf, {}, true), 1);
        }
        QCOMPARE(fileBytes(pdf), good);
        // A disk that is really full, for the printing program.
        const CliRun full = runProgram(kApp, {"--print-to-pdf", pdf, "--force", list}, true);
        QCOMPARE(full.exitCode, 1);
        QVERIFY2(full.err.contains("Could not save “chores.pdf”") && full.err.contains("unchanged"),
                 qPrintable(full.err));
        QCOMPARE(fileBytes(pdf), good);
        QCOMPARE(QDir(_files.path()).entryList(QDir::Files), (QStringList{"chores.pdf", "chores.todo"}));
    }

    void theWindowWritesNoOutputOverAList() {
        DocumentController controller;
        const QString list = writeList(path("Open.todo"), {item("milk")});
        const QString other = writeList(path("Other.todo"), {item("bread")});
        const QByteArray listBefore = fileBytes(list), otherBefore = fileBytes(other);
        QVERIFY(QFile::link(list, path("Open.pdf")));
        QVERIFY(QFile::link(list, path("Open.plist")));
        DocumentMainWindow* window = controller.openFile(list);
        QVERIFY(window);
        DialogService::takeShownTexts();

        // Print to File, to the list, to it through a link, to another list: each refused.
        QPrinter& printer = window->printing().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        for (const QString& target : {list, path("Open.pdf"), other}) {
            printer.setOutputFileName(target);
            window->printing().printShowingPrintPanel(false);
            const QStringList shown = DialogService::takeShownTexts();
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown[0].startsWith(
                         QStringLiteral("“%1” was not replaced.").arg(QFileInfo(target).fileName())),
                     qPrintable(shown[0]));
        }
        // Export as XML Property List, through a link named as an export: refused too.
        QStringList revealed;
        FileManager::setRevealHandler([&](const QString& shown) { revealed << shown; });
        DialogService::queueFileName(path("Open.plist"));
        window->menus().actions().exportPropertyList->trigger();
        QVERIFY2(
            DialogService::takeShownTexts().value(0).contains("It is the list being printed or exported"),
            "refused");
        QVERIFY(revealed.isEmpty());
        FileManager::setRevealHandler({});
        QCOMPARE(fileBytes(list), listBefore);
        QCOMPARE(fileBytes(other), otherBefore);

        // Another file is replaced when the user agrees, whole or not at all.
        const QString pdf = path("Open printout.pdf");
        writeBytes(pdf, "kept");
        printer.setOutputFileName(pdf);
        window->printing().printShowingPrintPanel(false); // no print dialog asked: Tardigo asks
        QVERIFY(DialogService::takeShownTexts().value(0).startsWith("“Open printout.pdf” already exists."));
        QCOMPARE(fileBytes(pdf), QByteArray("kept")); // the question's default keeps it
        {
            const SimulatedDiskFault fault = SimulatedDiskFault::atByte(100);
            DialogService::queueAnswer(QMessageBox::Yes);
            window->printing().printShowingPrintPanel(false);
            QTRY_VERIFY(window->messages().currentBox());
            QCOMPARE(window->messages().currentBox()->text(),
                     QStringLiteral("The list could not be printed."));
            QVERIFY(window->messages().currentBox()->informativeText().contains("No space left on device"));
            window->messages().currentBox()->close();
        }
        QCOMPARE(fileBytes(pdf), QByteArray("kept"));
        DialogService::queueAnswer(QMessageBox::Yes);
        window->printing().printShowingPrintPanel(false);
        QVERIFY(fileBytes(pdf).startsWith("%PDF"));
    }
};

QTEST_MAIN(TestOutputs)
#include "tst_outputs.moc"
