// Measures the document window on a list of 1,000 items one of which holds a note of 30 MB: opening
// it to a painted window, selecting that item, sorting by the notes column and scrolling, each
// against the same list whose big note is one line. The outline reads only the start of notes, so
// the big note may cost next to nothing more. The notes tool reads the big note aside, the window
// answering meanwhile. Runs offscreen by default.
#include "gui/window_bench.h"
#include "support/list_generator.h"
#include "support/thread_cpu_time.h"

#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "document/tardigo_document.h"
#include "inspector/notes_tool.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/inspector_view.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace tardigo;

namespace {

constexpr int kItems = 1000;
constexpr qsizetype kBigNoteBytes = 30 * 1024 * 1024;

QByteArray notesOf(qsizetype bytes) {
    const QByteArray line = "Everything the plumber said about the boiler, word for word.\n";
    TextRun run;
    run.text = QString::fromLatin1(line.repeated(std::max<qsizetype>(1, bytes / line.size())));
    return encodeNotes(RichText::fromRuns({run}));
}

struct Figures {
    double open = 0, select = 0, sort = 0, scroll = 0;
    double notesLongestBlock = 0, notesShown = 0; // the notes tool showing the note
};

/// Shows the notes tool on the first item and waits until its editor holds the note: the longest
/// the interface thread was kept from its events on the way, and the wall time until shown.
void measureNotesTool(DocumentMainWindow& window, Figures& figures) {
    OutlineTreeView& outline = window.outline();
    outline.selection().selectItems({outline.outlineModel().itemForIndex(outline.model()->index(0, 0))});
    QElapsedTimer shown;
    shown.start();
    double longest = 0;
    const auto blocked = [&](const std::function<void()>& step) {
        const double start = bench::threadCpuMs();
        step();
        longest = std::max(longest, bench::threadCpuMs() - start);
    };
    blocked([&] { window.inspector().showToolWithId(InspectorToolNotes); });
    auto* tool = window.findChild<NotesTool*>();
    while (tool->isLoading() || tool->editor()->document()->isEmpty())
        blocked([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
    blocked([&] { window.repaint(); });
    figures.notesLongestBlock = longest;
    figures.notesShown = double(shown.nsecsElapsed()) / 1e6;
}

/// CPU time of the interface thread for each step, from the command to the repainted window.
Figures measure(const QString& path) {
    Figures figures;
    const auto timed = [](double& figure, const std::function<void()>& step) {
        const double start = bench::threadCpuMs();
        step();
        QCoreApplication::processEvents();
        figure = bench::threadCpuMs() - start;
    };
    DocumentController controller;
    DocumentMainWindow* window = nullptr;
    timed(figures.open, [&] {
        window = controller.openFile(path);
        window->repaint();
    });
    OutlineTreeView& outline = window->outline();
    timed(figures.select, [&] {
        outline.selection().selectItems({outline.outlineModel().itemForIndex(outline.model()->index(0, 0))});
        outline.viewport()->repaint();
    });
    timed(figures.sort, [&] {
        window->document().sorting().headerClicked(Column::Notes);
        outline.viewport()->repaint();
    });
    timed(figures.scroll, [&] {
        for (int page = 0; page <= 20; ++page) {
            outline.verticalScrollBar()->setValue(outline.verticalScrollBar()->maximum() * page / 20);
            outline.viewport()->repaint();
        }
    });
    measureNotesTool(*window, figures);
    window->setChangesReviewed();
    window->close();
    return figures;
}

QString writeList(const QTemporaryDir& folder, const QString& name, qsizetype noteBytes) {
    const NodePtr list = bench::generateList(kItems);
    list->set(key::beta1DateFixedUp, Value::boolean(true));
    childrenOf(*list)->items.front().asDict()->set(key::notes, Value::data(notesOf(noteBytes)));
    const QString path = folder.filePath(name);
    if (const QString error = writeListFile(path, list); !error.isEmpty())
        fprintf(stderr, "%s\n", qPrintable(error));
    return path;
}

} // namespace

int main(int argc, char** argv) {
    bench::chooseOffscreenPlatform();
    QApplication application(argc, argv);
    bench::useBenchmarkSettings();

    QTemporaryDir folder;
    const Figures small = measure(writeList(folder, "small.todo", 0));
    const Figures big = measure(writeList(folder, "big.todo", kBigNoteBytes));
    printf("%d items, the first with a note of %lld MB, against the same with a one-line note\n", kItems,
           kBigNoteBytes / (1024 * 1024));
    int failures = 0;
    const auto report = [&](const char* what, double bigMs, double smallMs, double limitMs) {
        const bool ok = bigMs < limitMs;
        failures += ok ? 0 : 1;
        printf("%-40s %8.1f ms  (one-line note %6.1f ms, limit %.0f ms) %s\n", what, bigMs, smallMs, limitMs,
               ok ? "ok" : "TOO SLOW");
    };
    report("open to a painted window", big.open, small.open, 1000);
    report("select the item with the note", big.select, small.select, 100);
    report("sort by the notes column", big.sort, small.sort, 300);
    report("scroll through the list", big.scroll, small.scroll, 500);
    report("notes tool: the longest wait", big.notesLongestBlock, small.notesLongestBlock, 100);
    printf("%-40s %8.1f ms  (one-line note %6.1f ms) wall\n", "notes tool: until the note shows",
           big.notesShown, small.notesShown);
    return failures == 0 ? 0 : 1;
}
