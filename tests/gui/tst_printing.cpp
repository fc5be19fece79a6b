#include "gui_test_support.h"

#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "dialogs/dialog_service.h"
#include "document/tardigo_document.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "platform/settings.h"
#include "print/gui/document_printing.h"
#include "print/gui/print_controller.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/outline_tree_view.h"

#include <QAction>
#include <QCheckBox>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
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

    // Where each word of a PDF stands: its page (from 1) and box, in points, as pdftotext finds them.
    struct Word {
        int page;
        QRectF box;
    };
    QMultiHash<QString, Word> wordsOf(const QString& pdf) {
        const Run boxes = run("pdftotext", {"-bbox", pdf, "-"}, _environment);
        QMultiHash<QString, Word> words;
        int page = 0;
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        for (const QString& line : boxes.out.split(u'\n')) {
            if (line.contains("<page "))
                ++page;
            const QRegularExpressionMatch match = word.match(line);
            if (match.hasMatch())
                words.insert(
                    match.captured(5),
                    {page, QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                                  QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()))});
        }
        return words;
    }

    // How many pictures each page of a PDF draws (their transparency masks apart).
    QList<int> picturesPerPage(const QString& pdf) {
        const Run list = run("pdfimages", {"-list", pdf}, _environment);
        QList<int> pages;
        for (const QString& line : list.out.split(u'\n').mid(2)) {
            const int page = line.section(u' ', 0, 0, QString::SectionSkipEmpty).toInt();
            if (page <= 0 || line.section(u' ', 2, 2, QString::SectionSkipEmpty) != u"image")
                continue;
            while (pages.size() < page)
                pages.append(0);
            ++pages[page - 1];
        }
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
        QVERIFY(all.contains(QStringLiteral("Groceries \u2014 Shop; 50% complete;")));
        QVERIFY(all.contains("Before six"));
        QVERIFY(all.contains("Bread"));
        QVERIFY(!all.contains("Cheese")); // completed and hidden
        for (int i = 1; i <= 150; ++i)
            QVERIFY2(all.contains(QStringLiteral("Chore %1 \u2014 0% complete").arg(i)),
                     qPrintable(QString::number(i)));
        // Notes only when asked for.
        QCOMPARE(printToPdf({pdf, list, "--force"}).exitCode, 0);
        QVERIFY(!pagesOf(pdf).join(u'\n').contains("Before six"));
    }

    void aPrintedPageReadsLikeTheWindow() {
        const QString list = writeList("Week.todo", [](Dict& root) {
            NodePtr groceries = item("Groceries", 0.5, {item("Bread"), item("Cheese", 1.0)});
            groceries->set(key::category, "Shop");
            TextRun body;
            body.text = QStringLiteral("Before six, at the market\n");
            body.fontSize = 30;                              // notes written large print in the list's size
            body.fontFamily = QStringLiteral("DejaVu Sans"); // the offscreen application's
            groceries->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({body}))));
            NodePtr starred = item("Starred");
            starred->set(key::icon, "vk_heart");
            starred->set(key::thisIconOnly, Value::boolean(true));
            childrenOf(root)->items.push_back(groceries);
            childrenOf(root)->items.push_back(starred);
            childrenOf(root)->items.push_back(item("Plain"));
        });
        const QString pdf = _files.filePath("week.pdf");
        const Run printed = printToPdf({pdf, "--print-notes", "--print-icons", "--print-checkboxes", list});
        QVERIFY2(printed.exitCode == 0, qPrintable(printed.err));
        const QMultiHash<QString, Word> words = wordsOf(pdf);
        const auto box = [&](const QString& word) { return words.value(word).box; };
        QVERIFY2(words.contains("Groceries") && words.contains("Before"),
                 qPrintable(QStringList(words.keys()).join(' ')));

        // Names start at the same place with or without an icon; a child's one indent further in.
        const double nameLeft = box("Groceries").left();
        QVERIFY(std::abs(box("Starred").left() - nameLeft) < 0.5);
        QVERIFY(std::abs(box("Plain").left() - nameLeft) < 0.5);
        QVERIFY(box("Bread").left() > nameLeft + 20);
        // The notes stand under their item's name, in the list's text size.
        QVERIFY(std::abs(box("Before").left() - nameLeft) < 0.5);
        QVERIFY(box("Before").top() > box("Groceries").bottom() - 1);
        QVERIFY2(std::abs(box("Before").height() - box("Groceries").height()) < 1.5,
                 qPrintable(QString("%1 %2").arg(box("Before").height()).arg(box("Groceries").height())));
        // The category is set apart from the name.
        QVERIFY2(pagesOf(pdf).join(u'\n').contains(QStringLiteral("Groceries \u2014 Shop; 50% complete;")),
                 qPrintable(pagesOf(pdf).join(u'\n')));
        // Every item prints its box, the completed cheese its checked one; Groceries and Starred their
        // icons too, the others' icons being their boxes.
        QCOMPARE(picturesPerPage(pdf), QList<int>{7});
    }

    void refusesWhatItCannotPrint() {
        const QString list =
            writeList("One.todo", [](Dict& root) { childrenOf(root)->items.push_back(item("A")); });
        const Run nowhere = printToPdf({_files.filePath("missing/out.pdf"), list});
        QCOMPARE(nowhere.exitCode, 1);
        QVERIFY2(nowhere.err.contains("“out.pdf”"), qPrintable(nowhere.err));
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
        QAction* print = window->menus().actions().printDocument;
        QVERIFY(print->isEnabled());
        QCOMPARE(print->shortcut(), QKeySequence(QKeySequence::Print));
        QVERIFY(window->menus().actions().printPreview->isEnabled());

        window->document().outlineCommands().toggleColumnVisibility(Column::Completion);
        QPrinter& printer = window->printing().printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = _files.filePath("window.pdf");
        printer.setOutputFileName(pdf);
        window->printing().printShowingPrintPanel(false);
        const QString text = pagesOf(pdf).join(u'\n');
        QVERIFY2(text.contains("Parent"), qPrintable(text));
        QVERIFY(!text.contains("complete"));     // the column is hidden
        QVERIFY(!text.contains("Hidden child")); // its parent is collapsed

        window->outline().expandItem(nullptr, true);
        DialogService::queueAnswer(QMessageBox::Yes); // to replace the printout before
        window->printing().printShowingPrintPanel(false);
        QVERIFY(pagesOf(pdf).join(u'\n').contains("Hidden child"));
    }

    void printOptionsAreStoredAsTheyChange() {
        Settings& settings = Settings::instance();
        settings.setPrintNotes(true);
        settings.setPrintIcons(false);
        PrintController options;
        QVERIFY(options.notesButton->isChecked());
        QVERIFY(!options.iconsButton->isChecked());
        options.notesButton->click();
        options.iconsButton->click();
        QVERIFY(!settings.printNotes());
        QVERIFY(settings.printIcons());
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
