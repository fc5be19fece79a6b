// Measures the application around the windows, offscreen: from the start of the program to painted
// windows with three lists reopened (one of 100,000 items), and a minder pass over 200 lists of 500
// items (and the open large list) as the longest the event loop waits for it at a time.
#include "gui/window_bench.h"
#include "support/list_generator.h"

#include "archive/list_file.h"
#include "desktop_app/tardigo_application.h"
#include "document/tardigo_document.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/outline_tree_view.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace tardigo;

namespace {

constexpr int kLists = 200;
constexpr int kItemsEach = 500;

int failures = 0;

void report(const char* what, double ms, double limitMs) {
    const bool ok = ms < limitMs;
    failures += ok ? 0 : 1;
    std::printf("%-58s %9.1f ms  (limit %.0f ms) %s\n", what, ms, limitMs, ok ? "ok" : "TOO SLOW");
}

// Before every generated due date: nothing is past due.
const QDateTime kNow(QDate(2023, 12, 1), QTime(9, 0), Qt::OffsetFromUTC, 3600);

// Nothing falls due in the pass, the common case every quarter of an hour: no item repeats either.
void withoutRepeats(const NodePtr& node) {
    node->remove(key::dateDueRepeatPeriod);
    if (const ArrayPtr children = childrenOf(*node))
        for (const Value& child : children->items)
            withoutRepeats(child.asDict());
}

QString writeGenerated(const QString& path, int count, unsigned seed) {
    NodePtr list = bench::generateList(count, seed);
    list->set(key::beta1DateFixedUp, Value::boolean(true));
    withoutRepeats(list);
    if (const QString error = writeListFile(path, list); !error.isEmpty())
        qFatal("%s", qPrintable(error));
    return path;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    bench::chooseOffscreenPlatform();
    QApplication application(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tardigo.*.debug=false\ntardigo.*.info=false"));
    const double qtStartMs = double(sinceStart.nsecsElapsed()) / 1e6;
    bench::useBenchmarkSettings();
    Clock::setFixed(kNow);

    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QStringList remembered = {writeGenerated(dir.filePath("large.todo"), 100000, 1),
                                    writeGenerated(dir.filePath("home.todo"), 500, 2),
                                    writeGenerated(dir.filePath("work.todo"), 500, 3)};
    QStringList watched;
    for (int list = 0; list < kLists; ++list)
        watched << writeGenerated(dir.filePath(QStringLiteral("list%1.todo").arg(list)), kItemsEach,
                                  10 + list);
    Settings& settings = Settings::instance();
    settings.setLastDocumentSet(remembered);
    // The pass is measured on its own below.
    settings.setMinderEnabled(false);
    std::printf("Qt's own start: %.1f ms; generating the lists is not counted\n", qtStartMs);

    QElapsedTimer timer;
    timer.start();
    TardigoApplication tardigo(nullptr, dir.filePath("stickies.json"), TodoLocator("/bin/false", {}));
    tardigo.launch({});
    for (DocumentMainWindow* window : tardigo.controller().windows()) {
        window->repaint();
        window->outline().viewport()->repaint();
    }
    const double launchMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%zu windows open\n", tardigo.controller().windows().size());
    report("start to painted windows, three lists reopened (Qt + launch)", qtStartMs + launchMs, 1500);

    // What the launch left for the event loop (the windows' deferred layouts and bookkeeping) is done
    // before the pass, so that the pass is measured alone.
    timer.restart();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::printf("the launch's deferred work: %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);

    // A pass as the timer runs it: a probe on the event loop notes how long each turn waited.
    settings.setMinderLists(remembered + watched);
    settings.setMinderEnabled(true);
    double longestMs = 0.0;
    QElapsedTimer sinceTurn;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestMs = std::max(longestMs, double(sinceTurn.nsecsElapsed()) / 1e6);
        sinceTurn.restart();
    });
    bool finished = false;
    QObject::connect(&tardigo.rules(), &ApplicationRules::minderRunFinished, [&] { finished = true; });
    timer.restart();
    sinceTurn.start();
    probe.start();
    tardigo.rules().runMinderPass();
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    probe.stop();
    const double passMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("minder pass over %d lists of %d items and the open lists: %.1f ms in all\n", kLists,
                kItemsEach, passMs);
    report("longest the event loop waited during the pass", longestMs, 50);
    return failures == 0 ? 0 : 1;
}
