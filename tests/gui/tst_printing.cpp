#include "gui_test_support.h"

#include "app/document_controller.h"
#include "archive/list_file.h"
#include "document/outline_columns.h"
#include "document/tardigo_document.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/user_defaults.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/document_printing.h"
#include "window/print_controller.h"

#include <QAction>
#include <QCheckBox>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run run(const QString& program, const QStringList& args, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

Value notes(const QString& text) {
    TextRun run;
    run.text = text;
    return Value::data(encodeNotes(RichText::fromRuns({run})));
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    QProcessEnvironment _environment = QProcessEnvironment::systemEnvironment();

    // The text of each page of a PDF, as pdftotext reads it.
    QStringList pagesOf(const QString& pdf) {
        const Run text = run("pdftotext", {"-layout", pdf, "-"}, _environment);
        if (text.exitCode != 0)
            return {};
        QStringList pages = text.out.split(u'\f');
        if (pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

    QString writeList(const QString& name, const std::function<void(Dict& root)>& fill) {
        const NodePtr root = newListRoot();
        fill(*root);
        const QString path = _files.filePath(name);
        return writeListFile(path, root).isEmpty() ? path : QString();
    }

    Run printToPdf(const QStringList& args) {
        return run(QStringLiteral(TARDIGO_APP_PATH), QStringList{"--print-to-pdf"} + args, _environment);
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        setUpGuiTest();
        // The printing program gets settings of its own and a fixed date format.
        _environment.insert("XDG_CONFIG_HOME", _files.filePath("config"));
        _environment.insert("QT_QPA_PLATFORM", "offscreen");
    }

    void printsEveryShownItemAndAFooterOnEveryPage() {
        const QString list = writeList("Errands.todo", [](Dict& root) {
            NodePtr parent = item("Groceries", 0.5, {item("Bread"), item("Cheese", 1.0)});
            parent->set(key::category, "Shop");
            parent->set(key::notes, notes("Before six"));
            childrenOf(root)->items.push_back(parent);
            for (int i = 1; i <= 150; ++i)
                childrenOf(root)->items.push_back(item(QStringLiteral("Chore %1").arg(i)));
            // Completed items are hidden in this list.
            root.set(key::filterKey, key::completion);
            root.set(key::filterValue, Value::float32(1.0));
        });
        QVERIFY(!list.isEmpty());
        const QString pdf = _files.filePath("errands.pdf");
        const Run printed = printToPdf({pdf, "--print-notes", "--print-icons", "--print-checkboxes", list});
        QVERIFY2(printed.exitCode == 0, qPrintable(printed.err));

        const QStringList pages = pagesOf(pdf);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        for (int page = 0; page < pages.size(); ++page) {
            // The footer's letters are spaced apart, which a reader of the PDF may take for spaces.
            const QString footer = QStringLiteral("page%1Errands.todo").arg(page + 1);
            QVERIFY2(QString(pages[page]).remove(u' ').contains(footer),
                     qPrintable(pages[page].split(u'\n').filter("page").join(u'|')));
        }
        const QString all = pages.join(u'\n');
        QVERIFY(all.contains(QRegularExpression("Groceries +Shop; 50% complete;")));
        QVERIFY(all.contains("Before six"));
        QVERIFY(all.contains("Bread"));
        QVERIFY(!all.contains("Cheese")); // completed and hidden
        for (int i = 1; i <= 150; ++i)
            QVERIFY2(all.contains(QRegularExpression(QStringLiteral("Chore %1 +0% complete").arg(i))),
                     qPrintable(QString::number(i)));
        // Notes only when asked for.
        QCOMPARE(printToPdf({pdf, list}).exitCode, 0);
        QVERIFY(!pagesOf(pdf).join(u'\n').contains("Before six"));
    }

    void refusesWhatItCannotPrint() {
        const QString list =
            writeList("One.todo", [](Dict& root) { childrenOf(root)->items.push_back(item("A")); });
        const Run nowhere = printToPdf({_files.filePath("missing/out.pdf"), list});
        QCOMPARE(nowhere.exitCode, 1);
        QVERIFY2(nowhere.err.contains(_files.filePath("missing/out.pdf")), qPrintable(nowhere.err));
        const Run noList = printToPdf({_files.filePath("out.pdf"), _files.filePath("absent.todo")});
        QCOMPARE(noList.exitCode, 1);
        QVERIFY2(noList.err.contains("absent.todo"), qPrintable(noList.err));
        QCOMPARE(printToPdf({_files.filePath("out.pdf"), list, list}).exitCode, 2);
    }

    void windowPrintsWhatItsOutlineShows() {
        DocumentController controller;
        const QString list = writeList("Shown.todo", [](Dict& root) {
            childrenOf(root)->items.push_back(item("Parent", 0.25, {item("Hidden child")}));
        });
        DocumentMainWindow* window = controller.openFile(list);
        QVERIFY(window);
        QAction* print = window->menus().action("printDocument");
        QVERIFY(print->isEnabled());
        QCOMPARE(print->shortcut(), QKeySequence(QKeySequence::Print));
        QVERIFY(window->menus().action("printPreview")->isEnabled());

        window->document().outlineCommands().toggleColumnVisibility(outlineColumnTag(key::completion));
        QPrinter& printer = window->printing().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = _files.filePath("window.pdf");
        printer.setOutputFileName(pdf);
        window->printing().printShowingPrintPanel(false);
        const QString text = pagesOf(pdf).join(u'\n');
        QVERIFY2(text.contains("Parent"), qPrintable(text));
        QVERIFY(!text.contains("complete"));     // the column is hidden
        QVERIFY(!text.contains("Hidden child")); // its parent is collapsed

        window->document().outlineCommands().expandAll();
        window->printing().printShowingPrintPanel(false);
        QVERIFY(pagesOf(pdf).join(u'\n').contains("Hidden child"));
    }

    void printOptionsAreStoredAsTheyChange() {
        UserDefaults& defaults = UserDefaults::standard();
        defaults.setBool(pref::printNotes, true);
        defaults.setBool(pref::printIcons, false);
        PrintController options;
        QVERIFY(options.notesButton->isChecked());
        QVERIFY(!options.iconsButton->isChecked());
        options.notesButton->click();
        options.iconsButton->click();
        QVERIFY(!defaults.boolForKey(pref::printNotes));
        QVERIFY(defaults.boolForKey(pref::printIcons));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
