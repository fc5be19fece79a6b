#include "alerts/alert_queue.h"
#include "app_rules/application_host.h"
#include "app_rules/application_rules.h"
#include "document_fixture.h"
#include "manual_timers.h"
#include "minder/notice_channels.h"
#include "minder/recording_error_reporter.h"
#include "model/stored_date.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace tardigo;
using namespace tardigo::test;
using namespace std::chrono_literals;

namespace {

class RecordingNotifications : public DesktopNotificationChannel {
public:
    QStringList bodies;
    void notify(const QString&, const QString& body) override { bodies.append(body); }
};

/// The application's desktop without widgets: list windows are fake windows, a list the minder
/// opens has none until a notice shows it.
class FakeDesktop : public ApplicationHost {
public:
    struct Open {
        std::unique_ptr<TardigoDocument> document;
        std::unique_ptr<FakeWindow> window;
    };
    std::vector<Open> open; // with windows, in the order they opened
    std::vector<Open> windowless;
    QStringList failedToOpen;
    int untitledOpened = 0;
    std::vector<TardigoDocument*> autoSaved;
    RecordingNotifications notifications;
    RecordingErrorReporter reporter;

    ~FakeDesktop() override {
        for (std::vector<Open>* lists : {&open, &windowless})
            for (Open& list : *lists) {
                list.document->close();
                list.document->setWindow(nullptr);
            }
    }

    TardigoDocument* show(std::unique_ptr<TardigoDocument> document) {
        Open list{std::move(document), nullptr};
        list.window = std::make_unique<FakeWindow>();
        list.document->setWindow(list.window.get());
        list.document->setUpWindow();
        open.push_back(std::move(list));
        return open.back().document.get();
    }
    FakeWindow& windowOf(const TardigoDocument* document) {
        for (Open& list : open)
            if (list.document.get() == document)
                return *list.window;
        qFatal("no window");
    }
    QStringList openNames() const {
        QStringList names;
        for (const Open& list : open)
            names << list.document->displayName();
        return names;
    }

    // ApplicationHost
    std::vector<TardigoDocument*> documents() const override {
        std::vector<TardigoDocument*> documents;
        for (const Open& list : open)
            documents.push_back(list.document.get());
        return documents;
    }
    TardigoDocument* currentDocument() const override {
        return open.empty() ? nullptr : open.back().document.get();
    }
    TardigoDocument* openDocumentForFileName(const QString& path) const override {
        for (const Open& list : open)
            if (QFileInfo(list.document->fileName()) == QFileInfo(path))
                return list.document.get();
        return nullptr;
    }
    TardigoDocument* openDocument(const QString& path) override {
        if (TardigoDocument* document = openDocumentForFileName(path))
            return document;
        auto document = std::make_unique<TardigoDocument>();
        QString error;
        if (!document->readFromFile(path, &error)) {
            failedToOpen << QFileInfo(path).fileName();
            return nullptr;
        }
        return show(std::move(document));
    }
    void openUntitledDocument() override {
        ++untitledOpened;
        show(std::make_unique<TardigoDocument>());
    }
    void autoSave(TardigoDocument& document) override { autoSaved.push_back(&document); }
    NoticeChannels noticeChannels() override {
        NoticeChannels channels;
        channels.desktopNotification = &notifications;
        return channels;
    }
    ErrorReporter& errorReporter() override { return reporter; }
    /// The locator answers on a later pass of the event loop, when there are timers, as it does on
    /// its own thread in the application.
    Timers* timers = nullptr;
    std::vector<std::unique_ptr<PendingCall>> locating;
    void locateTodoItems(std::function<void(const std::optional<QStringList>&)> done) override {
        if (timers)
            locating.push_back(timers->callOnce(0ms, [done] { done(std::nullopt); }));
        else
            done(std::nullopt);
    }

    // MinderHost
    MinderDocument* documentForFileName(const QString& path) override {
        if (TardigoDocument* document = openDocumentForFileName(path))
            return document;
        for (const Open& list : windowless)
            if (QFileInfo(list.document->fileName()) == QFileInfo(path))
                return list.document.get();
        return nullptr;
    }
    MinderDocument* openDocumentWithoutDisplay(const QString& path, const ListLoad& load) override {
        auto document = std::make_unique<TardigoDocument>();
        QString error;
        if (!document->adoptFile(load, path, &error))
            return nullptr;
        windowless.push_back({std::move(document), nullptr});
        return windowless.back().document.get();
    }
    void removeDocument(MinderDocument* document) override {
        std::erase_if(windowless, [&](Open& list) {
            if (list.document.get() != document)
                return false;
            list.document->close();
            return true;
        });
    }
    void showWindows(MinderDocument& document) override {
        for (auto it = windowless.begin(); it != windowless.end(); ++it)
            if (it->document.get() == &document) {
                std::unique_ptr<TardigoDocument> shown = std::move(it->document);
                windowless.erase(it);
                show(std::move(shown));
                return;
            }
        document.showWindows();
    }
    void minderWithNode(MinderDocument& document, const NodePtr& node, const QString& message,
                        ItemStatus status) override {
        document.minderWithNode(node, message, status);
    }
    AlertQueue* alertQueue(MinderDocument& document) override { return document.alertQueue(); }
};

NodePtr listWith(std::initializer_list<NodePtr> items) {
    NodePtr root = newListRoot();
    for (const NodePtr& item : items)
        appendChild(*root, item);
    return root;
}

} // namespace

class TestApplication : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    std::optional<DocumentTestStart> _start;

    QString writeList(const QString& name, const NodePtr& root = listWith({})) {
        const QString path = _dir.filePath(name);
        const QString error = writeListFile(path, root);
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
        return path;
    }
    static Settings& settings() { return Settings::instance(); }

private slots:
    void initTestCase() {
        // Notices show local times.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }
    void init() {
        _start.emplace();
        settings().setMinderLists({});
        settings().setShortDateFormat("yyyy-MM-dd");
        settings().setTimeFormat("HH:mm");
    }
    void cleanup() { _start.reset(); }

    void launchOpensTheRememberedListsOrAnUntitledOne_data() {
        QTest::addColumn<bool>("loadPrevious");
        QTest::addColumn<QStringList>("remembered");
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first launch") << true << QStringList() << QStringList() << QStringList{"Untitled"};
        QTest::newRow("first launch, not reopening")
            << false << QStringList() << QStringList() << QStringList{"Untitled"};
        QTest::newRow("two remembered")
            << true << QStringList{"a.todo", "b.todo"} << QStringList() << QStringList{"a.todo", "b.todo"};
        QTest::newRow("one of them given on the command line")
            << true << QStringList{"a.todo", "b.todo"} << QStringList{"b.todo"}
            << QStringList{"b.todo", "a.todo"};
        QTest::newRow("not reopening")
            << false << QStringList{"a.todo"} << QStringList() << QStringList{"Untitled"};
        QTest::newRow("a remembered list is gone")
            << true << QStringList{"gone.todo", "a.todo"} << QStringList() << QStringList{"a.todo"};
        QTest::newRow("every remembered list is gone")
            << true << QStringList{"gone.todo"} << QStringList() << QStringList{"Untitled"};
    }
    void launchOpensTheRememberedListsOrAnUntitledOne() {
        QFETCH(bool, loadPrevious);
        QFETCH(QStringList, remembered);
        QFETCH(QStringList, given);
        QFETCH(QStringList, expected);
        writeList("a.todo");
        writeList("b.todo");
        const auto inFolder = [this](const QStringList& names) {
            QStringList paths;
            for (const QString& name : names)
                paths << _dir.filePath(name);
            return paths;
        };
        settings().setLoadPreviousListOnStartup(loadPrevious);
        if (!remembered.isEmpty())
            settings().setLastDocumentSet(inFolder(remembered));
        FakeDesktop desktop;
        ManualTimers timers(Clock::now());
        ApplicationRules delegate(desktop, timers);
        delegate.start(inFolder(given));
        QCOMPARE(desktop.openNames(), expected);
        QVERIFY(desktop.failedToOpen.isEmpty());
        QVERIFY(!delegate.minderInterval()); // the minder waits for the next pass
    }

    void quitRemembersTheSavedListsInTheirOrder() {
        const QString a = writeList("a.todo"), b = writeList("b.todo");
        FakeDesktop desktop;
        ApplicationRules delegate(desktop);
        desktop.openDocument(b);
        desktop.openUntitledDocument();
        desktop.openDocument(a);
        delegate.prepareToQuit();
        QCOMPARE(settings().lastDocumentSet(), (QStringList{b, a}));
        QVERIFY(!delegate.shouldOpenUntitledList());
        settings().setLoadPreviousListOnStartup(false);
        QVERIFY(delegate.shouldOpenUntitledList());

        // Closing the last window quits as the preference says, remembering what is open then: nothing.
        QVERIFY(delegate.quitsAfterLastWindowClosed());
        settings().setLastWindowCloseQuits(false);
        QVERIFY(!delegate.quitsAfterLastWindowClosed());
        desktop.open.clear();
        delegate.prepareToQuit();
        QVERIFY(settings().lastDocumentSet().isEmpty());
        QVERIFY(delegate.shouldOpenUntitledList());
    }

    void theMinderRunsOnItsTimerAsThePreferencesSay() {
        FakeDesktop desktop;
        ManualTimers timers(Clock::now());
        ApplicationRules delegate(desktop, timers);
        int runs = 0;
        connect(&delegate, &ApplicationRules::minderRunFinished, this, [&] { ++runs; });
        delegate.start();
        timers.runPending();
        QCOMPARE(delegate.minderInterval(), std::optional(std::chrono::milliseconds(15min)));
        QCOMPARE(runs, 1); // one at once
        timers.advance(15min);
        QCOMPARE(runs, 2);

        // The preferences window closes with a new interval: a run at once, then at the new pace.
        settings().setMinderIntervalMinutes(5);
        delegate.startMinder();
        timers.runPending();
        QCOMPARE(runs, 3);
        timers.advance(5min);
        QCOMPARE(runs, 4);
        settings().setMinderIntervalMinutes(0);
        delegate.startMinder();
        QCOMPARE(delegate.minderInterval(), std::optional(std::chrono::milliseconds(15min)));
        timers.runPending();
        QCOMPARE(runs, 5);

        settings().setMinderEnabled(false);
        delegate.startMinder();
        QVERIFY(!delegate.minderInterval());
        timers.advance(60min);
        QCOMPARE(runs, 5);
    }

    void aPassAnnouncesADueItemOnceAndShowsItsList() {
        const QString due = writeList(
            "due.todo", listWith({makeItem("pay rent", {{key::due, "2024-03-01 09:00:00 +0100"}})}));
        const QString quiet = writeList("quiet.todo", listWith({makeItem("nothing due")}));
        settings().setMinderLists({due, quiet});
        ManualTimers timers(Clock::now());
        FakeDesktop desktop; // after the timers: its calls go first
        desktop.timers = &timers;
        ApplicationRules delegate(desktop, timers);
        desktop.openUntitledDocument();
        const QString shownBefore = desktop.windowOf(desktop.currentDocument()).statusText;
        delegate.runMinderPass();
        // While it scans, the list in front says so.
        QCOMPARE(desktop.windowOf(desktop.currentDocument()).statusText, "Tardigo Minder scanning...");
        TardigoDocument* untitled = desktop.currentDocument();
        QVERIFY(delegate.isMinderRunning());
        timers.runPending();
        QVERIFY(!delegate.isMinderRunning());
        QCOMPARE(desktop.windowOf(untitled).statusText, shownBefore);
        // The list with a notice got a window; the quiet one was closed again.
        QCOMPARE(desktop.openNames(), (QStringList{"Untitled", "due.todo"}));
        QVERIFY(desktop.windowless.empty());
        QCOMPARE(desktop.notifications.bodies, QStringList{"\"pay rent\"\nPast date due: 2024-03-01 09:00"});
        QCOMPARE(desktop.windowOf(desktop.open.back().document.get()).messages.shown.size(), size_t(1));

        delegate.runMinderPass();
        timers.runPending();
        QCOMPARE(desktop.notifications.bodies.size(), 1);
    }

    void viewItemShowsTheItemOfTheNotice() {
        NodePtr item = makeItem("call Anna", {{key::due, "2024-03-01 09:00:00 +0100"}});
        const QString path = writeList("calls.todo", listWith({makeItem("first"), item}));
        FakeDesktop desktop;
        ManualTimers timers(Clock::now());
        ApplicationRules delegate(desktop, timers);
        TardigoDocument* list = desktop.openDocument(path);
        settings().setMinderLists({path});
        delegate.runMinderPass();
        timers.runPending();
        FakeWindow& window = desktop.windowOf(list);
        QCOMPARE(window.messages.shown.size(), size_t(1));
        window.messages.answer(MessageAnswer{MessageRole::Reject});
        QCOMPARE(list->selection().lastSelectedItem()->value(key::name), Value("call Anna"));
        QCOMPARE(window.inspector.shownTools, std::vector<int>{InspectorToolDueDate});

        // A notice whose list has closed meanwhile changes nothing.
        NodePtr context = item->deepCopy();
        context->set(key::docPath, _dir.filePath("closed.todo"));
        context->set(key::nodeStatus, Value::integer(ItemStatusDue));
        QTest::ignoreMessage(
            QtWarningMsg, qPrintable("the list of a notice did not open: " + _dir.filePath("closed.todo")));
        delegate.minderAlertAnswered(MessageAnswer{MessageRole::Reject}, context);
        QCOMPARE(window.inspector.shownTools.size(), size_t(1));
    }

    void textFromAnotherProgramBecomesAnItemOfTheFirstList() {
        FakeDesktop desktop;
        ApplicationRules delegate(desktop);
        QTest::ignoreMessage(QtWarningMsg, "a new item came while no list was open");
        QVERIFY(delegate.newItemFromText(QStringLiteral("Buy milk")).has_value());

        desktop.openUntitledDocument();
        desktop.openUntitledDocument();
        TardigoDocument& first = *desktop.open.front().document;
        QCOMPARE(delegate.newItemFromText(std::nullopt), std::nullopt); // no text: nothing
        QCOMPARE(delegate.newItemFromText(QStringLiteral("Buy milk\nand bread")), std::nullopt);
        QCOMPARE(childNames(*first.data()), QStringList{"Buy milk\nand bread"});
        QVERIFY(childNames(*desktop.open.back().document->data()).isEmpty());
        OpenList::endEvent();
        QCOMPARE(first.undoStack().undoText(), QStringLiteral("Add Item"));
        first.undoStack().undo();
        QVERIFY(childNames(*first.data()).isEmpty());
    }

    void aNoticeChoiceRemindsAgainThroughTheList() {
        NodePtr item = makeItem("call Anna", {{key::due, "2024-03-01 09:00:00 +0100"}});
        const QString path = writeList("calls.todo", listWith({item}));
        FakeDesktop desktop;
        ManualTimers timers(Clock::now());
        ApplicationRules delegate(desktop, timers);
        TardigoDocument* list = desktop.openDocument(path);
        settings().setMinderLists({path});
        delegate.runMinderPass();
        timers.runPending();
        FakeWindow& window = desktop.windowOf(list);
        QCOMPARE(window.messages.shown.size(), size_t(1));
        QCOMPARE(window.messages.shown[0].actionButtons.size(), qsizetype(3));
        window.messages.answer(actionAnswer(0)); // in ten minutes
        const NodePtr stored = childrenOf(*list->data())->items[0].asDict();
        QCOMPARE(stored->value(key::reminderTimeLength), Value::float32(10));
        QCOMPARE(stored->value(key::reminderTimeUnit), Value::integer(ReminderMinutes));
        QVERIFY(flagOf(*stored, key::reminderSet));
        QVERIFY(list->isDocumentEdited());
    }

    void aNoticeComesOnTimeFromAnyWatchedListAndAfterASleep() {
        const QDateTime start = Clock::now();
        const QString calls = writeList(
            "calls.todo", listWith({makeItem("call Anna", {{key::due, "2024-03-01 09:00:00 +0100"}})}));
        const QString closed = writeList(
            "closed.todo", listWith({makeItem("soon", {{key::due, storedDateString(start.addSecs(1800))}})}));
        settings().setMinderLists({calls, closed});
        ManualTimers timers(start);
        FakeDesktop desktop;
        desktop.timers = &timers;
        ApplicationRules delegate(desktop, timers);
        TardigoDocument* list = desktop.openDocument(calls);
        delegate.documentOpened(*list);
        delegate.startMinder();
        timers.runPending();
        // The pass read the list that is not open: its item falls due next.
        QCOMPARE(delegate.nextNoticeMoment(), std::optional(start.addSecs(1800)));
        FakeWindow& window = desktop.windowOf(list);
        window.messages.answer(actionAnswer(0)); // Remind Me in 10 Minutes
        timers.advance(10min - 2s);
        QCOMPARE(window.messages.shown.size(), size_t(1));
        timers.advance(4s); // not at the next periodic pass, five minutes on
        QCOMPARE(window.messages.shown.size(), size_t(2));

        // The computer sleeps past the closed list's moment; told that it woke, the minder passes.
        timers.jumpClock(20min);
        timers.runPending();
        QCOMPARE(desktop.openNames(), QStringList{"calls.todo"});
        delegate.timeMoved();
        timers.runPending();
        QCOMPARE(desktop.openNames(), (QStringList{"calls.todo", "closed.todo"}));
    }

    void quickAddAddsToTheChosenListElseTheFirstOpenOne() {
        FakeDesktop desktop;
        ApplicationRules delegate(desktop);
        QTest::ignoreMessage(QtWarningMsg, "a new item came while no list was open");
        QVERIFY(delegate.quickAdd(QStringLiteral("Call Anna tomorrow 10:00 #work")).has_value());

        desktop.openUntitledDocument();
        TardigoDocument& first = *desktop.open.front().document;
        QCOMPARE(delegate.quickAdd(QStringLiteral("Call Anna tomorrow 10:00 #work")), std::nullopt);
        const NodePtr added = childrenOf(*first.data())->items[0].asDict();
        QCOMPARE(added->value(key::name), Value("Call Anna"));
        QCOMPARE(added->value(key::category), Value("work"));
        QCOMPARE(parseStoredDate(added->value(key::due)), localTime(QStringLiteral("2024-03-11 10:00:00")));
        QVERIFY(delegate.quickAdd(QStringLiteral("#work")).has_value()); // no name: nothing added
        QCOMPARE(childNames(*first.data()).size(), 1);

        const QString path = writeList("errands.todo", listWith({makeItem("first")}));
        settings().setValue(pref::quickAddList, path);
        QCOMPARE(delegate.quickAdd(QStringLiteral("Water the plants")), std::nullopt);
        TardigoDocument* errands = desktop.openDocumentForFileName(path); // opened for it
        QVERIFY(errands);
        QCOMPARE(childNames(*errands->data()), (QStringList{"first", "Water the plants"}));
        OpenList::endEvent();
        QCOMPARE(errands->undoStack().undoText(), QStringLiteral("Add Item"));

        settings().setValue(pref::quickAddList, _dir.filePath("gone.todo"));
        const std::optional<QString> why = delegate.quickAdd(QStringLiteral("Water the plants"));
        QVERIFY(why && why->contains(QStringLiteral("gone.todo")));
    }
};

QTEST_GUILESS_MAIN(TestApplication)
#include "tst_application.moc"
