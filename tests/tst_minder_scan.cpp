#include "archive/archive_codec.h"
#include "archive/list_file.h"
#include "document/tardigo_document.h"
#include "document/windowless_minder_host.h"
#include "minder/notice_channels.h"
#include "minder/recording_error_reporter.h"
#include "minder/tardigo_minder.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <limits>
#include <map>
#include <stdexcept>
#include <utility>

using namespace tardigo;

Q_DECLARE_METATYPE(tardigo::NodePtr)

namespace {

class MinderTexts : public QTranslator {
public:
    QString translate(const char*, const char* key, const char*, int) const override {
        static const std::map<QByteArray, QString> texts = {
            {"Past date due: %1", "past due %1"},
            {"This repeating item is due again on %1.", "next due %1"},
            {"Reminder!", "reminder"},
            {"Tardigo Minder Error while checking an item", "item failed"}};
        const auto found = texts.find(key);
        return found == texts.end() ? QString() : found->second;
    }
    bool isEmpty() const override { return false; }
};

// The first beep fails, as a broken channel would.
class FailingBeep : public BeepChannel {
public:
    bool failed = false;
    void beep() override {
        if (!std::exchange(failed, true))
            throw std::runtime_error("the speaker caught fire");
    }
};

QDateTime at(const QString& local) {
    return test::localTime(local);
}

Value dateValue(const QString& local) {
    return Date{referenceSecondsFromDateTime(at(local))};
}

NodePtr item(const QString& name, std::initializer_list<std::pair<QString, Value>> values = {}) {
    NodePtr node = Dict::create();
    node->set(key::name, name);
    node->set(key::dateCreated, "2003-01-01 08:00:00 +0100");
    node->set(key::completion, Value::float32(0.0));
    node->set(key::children, Array::create());
    for (const auto& [k, v] : values)
        node->set(k, v);
    return node;
}

NodePtr listOf(const std::vector<NodePtr>& items) {
    NodePtr root = newListRoot();
    root->set(key::beta1DateFixedUp, Value::boolean(true));
    for (const NodePtr& node : items)
        root->value(key::children).asArray()->items.emplace_back(node);
    return root;
}

void addChild(const NodePtr& parent, const NodePtr& child) {
    parent->value(key::children).asArray()->items.emplace_back(child);
}

// A reminder that comes `minutes` after its mark.
NodePtr fromNowReminder(const QString& name, double minutes, const QString& mark, bool repeat) {
    return item(name, {{key::reminderSet, Value::boolean(true)},
                       {key::reminderMarkNow, Value::boolean(true)},
                       {key::reminderRepeat, Value::boolean(repeat)},
                       {key::reminderTimeLength, Value::float32(minutes)},
                       {key::reminderTimeUnit, Value::integer(0)},
                       {key::reminderMark, dateValue(mark)}});
}

NodePtr beforeDueReminder(const QString& name, double hours, const QString& due) {
    return item(name, {{key::reminderSet, Value::boolean(true)},
                       {key::reminderMarkDueDate, Value::boolean(true)},
                       {key::reminderTimeLength, Value::float32(hours)},
                       {key::reminderTimeUnit, Value::integer(1)},
                       {key::due, due}});
}

QStringList describe(const std::vector<WindowlessMinderHost::Notice>& notices) {
    QStringList lines;
    for (const WindowlessMinderHost::Notice& notice : notices)
        lines << QStringLiteral("%1 %2 %3")
                     .arg(*notice.node->value(key::name).asString())
                     .arg(notice.status)
                     .arg(notice.message);
    return lines;
}

// The document's own node of that name: the list on disk was read into new nodes.
NodePtr nodeNamed(const TardigoDocument& doc, const QString& name) {
    std::vector<NodePtr> pending{doc.data()};
    while (!pending.empty()) {
        const NodePtr node = pending.back();
        pending.pop_back();
        if (const QString* text = node->value(key::name).asString(); text && *text == name)
            return node;
        if (const ArrayPtr children = childrenOf(*node))
            for (const Value& child : children->items)
                pending.push_back(child.asDict());
    }
    qFatal("no node named %s", qPrintable(name));
}

void writeScript(const QString& path, const QString& body) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(("#!/bin/sh\n" + body).toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class TestMinderScan : public QObject {
    Q_OBJECT

    MinderTexts _texts;
    std::unique_ptr<QTemporaryDir> _dir;

    QString path(const QString& name) const { return _dir->filePath(name); }

    QString writeList(const QString& name, const NodePtr& root) {
        const QString file = path(name);
        const QString error = writeListFile(file, root);
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
        return file;
    }

    // A locator that knows nothing, so that only the paths a test names are scanned.
    TodoLocator silentLocator() { return TodoLocator(QStringLiteral("/bin/false"), {}); }

    // One run over one document that stays open in the host between runs, as in the application.
    QStringList runAt(WindowlessMinderHost& host, TardigoDocument& doc, const QString& now,
                      RecordingErrorReporter* reporter = nullptr) {
        test::FixedClock clock(at(now));
        RecordingErrorReporter ownReporter;
        const size_t before = host.notices().size();
        TardigoMinder minder(host, NoticeChannels{}, reporter ? *reporter : ownReporter, silentLocator());
        minder.scanNode(doc.data(), doc);
        return describe({host.notices().begin() + qsizetype(before), host.notices().end()});
    }

    TardigoDocument& open(WindowlessMinderHost& host, const NodePtr& root) {
        static int serial = 0;
        const QString file = writeList(QString("list%1.todo").arg(++serial), root);
        TardigoDocument* doc = host.openDocumentWithoutDisplay(file, readListFile(file));
        if (!doc)
            qFatal("the list did not open");
        return *doc;
    }

private slots:
    void initTestCase() {
        QCoreApplication::installTranslator(&_texts);
        Settings::instance().useMemoryOnly();
        Settings::instance().setShortDateFormat("yyyy-MM-dd");
        Settings::instance().setTimeFormat("HH:mm");
    }

    void init() {
        _dir = std::make_unique<QTemporaryDir>();
        QVERIFY(_dir->isValid());
        Settings::instance().setMinderLists({});
    }

    void pastDueItemsAreAnnouncedOnce() {
        WindowlessMinderHost host;
        const NodePtr parent = item("parent", {{key::due, "2003-06-01 09:00:00 +0200"}});
        addChild(parent, item("overdue", {{key::due, "2003-05-17 14:03:22 +0200"}}));
        addChild(parent, item("done", {{key::due, "2003-05-17 14:03:22 +0200"},
                                       {key::completion, Value::float32(1.0)}}));
        addChild(parent, item("repeats, undone", {{key::due, "2003-05-10 09:30:00 +0200"},
                                                  {key::dateDueRepeatPeriod, Value::integer(1)}}));
        TardigoDocument& doc = open(host, listOf({parent}));

        QCOMPARE(runAt(host, doc, "2003-05-20 14:00:00"),
                 QStringList(
                     {"overdue 2 past due 2003-05-17 14:03", "repeats, undone 2 past due 2003-05-10 09:30"}));
        const NodePtr repeating = nodeNamed(doc, "repeats, undone");
        QCOMPARE(repeating->value(key::due), Value("2003-05-10 09:30:00 +0200"));
        QVERIFY(repeating->value(key::minderTimestampTodo).isDate());
        QCOMPARE(runAt(host, doc, "2003-05-21 14:00:00"), QStringList());
        // The parent falls due later: one notice for it alone.
        QCOMPARE(runAt(host, doc, "2003-06-01 09:00:00"),
                 QStringList({"parent 2 past due 2003-06-01 09:00"}));
    }

    void aCompletedRepeatingItemRollsOnOnce() {
        WindowlessMinderHost host;
        NodePtr daily = item("water plants", {{key::due, "2003-05-10 09:30:00 +0200"},
                                              {key::dateDueRepeatPeriod, Value::integer(1)},
                                              {key::completion, Value::float32(1.0)}});
        TardigoDocument& doc = open(host, listOf({daily}));
        doc.updateUI();
        QCOMPARE(doc.display().statusText, "All items are completed.");
        QCOMPARE(runAt(host, doc, "2003-05-20 14:00:00"),
                 QStringList({"water plants 2 next due 2003-05-21 09:30"}));
        // The open window counts the item as outstanding again at once.
        QCOMPARE(doc.display().statusText, "1/1 outstanding");
        daily = nodeNamed(doc, "water plants");
        QCOMPARE(daily->value(key::due), Value("2003-05-21 09:30:00 +0200"));
        QCOMPARE(daily->value(key::completion), Value::float32(0.0));
        QCOMPARE(daily->value(key::completion).asNumber()->type, 'f');
        QVERIFY(doc.isDocumentEdited());
        // The roll-over notice stamped it: no past-due notice once the new date passes.
        QCOMPARE(runAt(host, doc, "2003-05-22 10:00:00"), QStringList());
    }

    void aBeforeDueReminderComesOnceWithinItsInterval() {
        WindowlessMinderHost host;
        TardigoDocument& doc =
            open(host, listOf({beforeDueReminder("dentist", 2, "2003-05-20 15:00:00 +0200"),
                               beforeDueReminder("late", 2, "2003-05-20 10:00:00 +0200")}));
        // "late" is past due and unstamped: it gets its reminder and its past-due notice.
        QCOMPARE(runAt(host, doc, "2003-05-20 12:00:00"),
                 QStringList({"late 2 past due 2003-05-20 10:00", "late 3 reminder"}));
        QCOMPARE(runAt(host, doc, "2003-05-20 12:59:59"), QStringList());
        QCOMPARE(runAt(host, doc, "2003-05-20 13:00:00"), QStringList({"dentist 3 reminder"}));
        QCOMPARE(runAt(host, doc, "2003-05-20 14:00:00"), QStringList());
    }

    void aFromNowReminderComesAfterItsInterval_data() {
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QStringList>("runs");
        QTest::addColumn<QList<bool>>("fires");
        const QStringList runs = {"2003-05-20 12:29:00", "2003-05-20 12:30:00", "2003-05-20 12:50:00",
                                  "2003-05-20 13:00:00", "2003-05-20 13:05:00"};
        QTest::newRow("once") << false << runs << QList<bool>{false, true, false, false, false};
        QTest::newRow("repeating") << true << runs << QList<bool>{false, true, false, true, false};
    }
    void aFromNowReminderComesAfterItsInterval() {
        QFETCH(bool, repeat);
        QFETCH(QStringList, runs);
        QFETCH(QList<bool>, fires);
        WindowlessMinderHost host;
        TardigoDocument& doc =
            open(host, listOf({fromNowReminder("stretch", 30, "2003-05-20 12:00:00", repeat)}));
        for (qsizetype i = 0; i < runs.size(); ++i)
            QVERIFY2(runAt(host, doc, runs[i]).size() == (fires[i] ? 1 : 0), qPrintable(runs[i]));
    }

    void eachPassKnowsWhenTheNextNoticeFallsDue() {
        WindowlessMinderHost host;
        TardigoDocument& doc =
            open(host, listOf({beforeDueReminder("dentist", 2, "2003-05-20 15:00:00 +0200"),
                               fromNowReminder("stretch", 20, "2003-05-20 12:00:00", false),
                               fromNowReminder("drink", 30, "2003-05-20 11:00:00", true),
                               item("overdue", {{key::due, "2003-05-20 10:00:00 +0200"}}),
                               item("done", {{key::due, "2003-05-20 12:10:00 +0200"},
                                             {key::completion, Value::float32(1.0)}}),
                               item("tomorrow", {{key::due, "2003-05-21 09:00:00 +0200"}})}));
        const auto pass = [&](const QString& now, QStringList* notices = nullptr) {
            test::FixedClock clock(at(now));
            RecordingErrorReporter reporter;
            const size_t before = host.notices().size();
            TardigoMinder minder(host, NoticeChannels{}, reporter, silentLocator());
            minder.scanNode(doc.data(), doc);
            if (notices)
                *notices = describe({host.notices().begin() + qsizetype(before), host.notices().end()});
            return minder.nextNoticeMoment();
        };
        // Each notice given is no longer to come; a repeating reminder comes again an interval later.
        QStringList notices;
        QCOMPARE(pass("2003-05-20 12:00:00", &notices), std::optional(at("2003-05-20 12:20:00")));
        QCOMPARE(notices, (QStringList{"drink 3 reminder", "overdue 2 past due 2003-05-20 10:00"}));
        QCOMPARE(pass("2003-05-20 12:20:00", &notices), std::optional(at("2003-05-20 12:30:00")));
        QCOMPARE(notices, QStringList{"stretch 3 reminder"});
        QCOMPARE(pass("2003-05-20 12:30:00", &notices), std::optional(at("2003-05-20 13:00:00")));
        QCOMPARE(notices, QStringList{"drink 3 reminder"});
        QCOMPARE(pass("2003-05-20 13:00:00", &notices), std::optional(at("2003-05-20 13:30:00")));
        QCOMPARE(notices, (QStringList{"dentist 3 reminder", "drink 3 reminder"}));
        nodeNamed(doc, "drink")->set(key::reminderSet, Value::boolean(false));
        QCOMPARE(pass("2003-05-20 14:00:00"),
                 std::optional(at("2003-05-20 15:00:00"))); // the dentist's due date
        QCOMPARE(pass("2003-05-20 15:00:00", &notices), std::optional(at("2003-05-21 09:00:00")));
        QCOMPARE(notices, QStringList{"dentist 2 past due 2003-05-20 15:00"});
        QCOMPARE(pass("2003-05-21 09:00:00"), std::optional<QDateTime>());
    }

    void oddValuesReadAsAbsent_data() {
        QTest::addColumn<NodePtr>("node");
        QTest::addColumn<QStringList>("notices");
        const QString mark = "2003-05-20 11:00:00";
        const QStringList reminded{"a 3 reminder"};
        QTest::newRow("due does not parse") << item("a", {{key::due, "yesterday"}}) << QStringList();
        QTest::newRow("period 57") << item("a", {{key::due, "2003-05-10 09:30:00 +0200"},
                                                 {key::dateDueRepeatPeriod, Value::integer(57)},
                                                 {key::completion, Value::float32(1.0)}})
                                   << QStringList();
        NodePtr node = fromNowReminder("a", 0, mark, false);
        node->set(key::reminderTimeLength, Value(Number::float64(std::numeric_limits<double>::quiet_NaN())));
        QTest::newRow("length NaN counts as 0") << node << reminded;
        node = fromNowReminder("a", 90, mark, false);
        node->set(key::reminderTimeUnit, Value::integer(9));
        QTest::newRow("unknown unit counts as 0 s") << node << reminded;
        node = fromNowReminder("a", 30, mark, false);
        node->set(key::reminderMark, "2003-05-20 11:00:00 +0200");
        QTest::newRow("mark is not a date") << node << QStringList();
        node = fromNowReminder("a", 30, mark, false);
        node->set(key::reminderSet, Value::integer(2));
        QTest::newRow("reminder set to 2") << node << QStringList();
        node = fromNowReminder("a", 30, mark, false);
        node->set(key::minderTimestampReminder, "2003-05-20 11:45:00 +0200");
        QTest::newRow("timestamp as text is absent") << node << reminded;
        node = beforeDueReminder("a", 2, "soon");
        node->set(key::reminderMarkNow, Value::boolean(true));
        node->set(key::reminderMark, dateValue("2003-05-20 09:00:00"));
        QTest::newRow("before-due without due stops, from-now not tried") << node << QStringList();
        node = beforeDueReminder("a", 2, "2003-05-20 20:00:00 +0200");
        node->set(key::minderTimestampReminder, dateValue("2003-05-20 10:00:00"));
        node->set(key::reminderMarkNow, Value::boolean(true));
        node->set(key::reminderMark, dateValue("2003-05-20 09:00:00"));
        node->set(key::reminderRepeat, Value::boolean(true));
        QTest::newRow("stamped before-due goes on to from-now") << node << reminded;
        node = fromNowReminder("a", 0, mark, false);
        node->set(key::completion, Value::float32(1.0));
        QTest::newRow("complete items are still reminded") << node << reminded;
    }
    void oddValuesReadAsAbsent() {
        QFETCH(NodePtr, node);
        QFETCH(QStringList, notices);
        WindowlessMinderHost host;
        TardigoDocument& doc = open(host, listOf({node}));
        RecordingErrorReporter reporter;
        QCOMPARE(runAt(host, doc, "2003-05-20 12:00:00", &reporter), notices);
        QCOMPARE(reporter.messages, QStringList());
    }

    void aFailingItemIsReportedAndItsSiblingsGoOn() {
        Settings::instance().setMinderAlertSound(true);
        const NodePtr first = item("first", {{key::due, "2003-05-01 09:00:00 +0200"}});
        addChild(first, item("below first", {{key::due, "2003-05-01 09:00:00 +0200"}}));
        const NodePtr second = item("second", {{key::due, "2003-05-01 09:00:00 +0200"}});
        const QString file = writeList("boom.todo", listOf({first, second}));
        Settings::instance().setMinderLists({file});

        WindowlessMinderHost host;
        FailingBeep beep;
        NoticeChannels noticeChannels;
        noticeChannels.beep = &beep;
        RecordingErrorReporter reporter;
        test::FixedClock clock(at("2003-05-20 12:00:00"));
        TardigoMinder(host, noticeChannels, reporter, silentLocator()).scan();
        Settings::instance().setMinderAlertSound(false);

        QCOMPARE(reporter.titles, QStringList{"item failed"});
        QCOMPARE(reporter.messages,
                 QStringList{"the speaker caught fire\noccured while scanning the document at " + file});
        QCOMPARE(describe(host.notices()),
                 QStringList({"first 2 past due 2003-05-01 09:00", "second 2 past due 2003-05-01 09:00"}));
        QVERIFY(host.documentForFileName(file));
    }

    void theScanOpensWhatItNeedsAndClosesTheRest() {
        const QString quiet = writeList("quiet.todo", listOf({item("someday")}));
        const QString busy =
            writeList("busy.todo", listOf({item("overdue", {{key::due, "2003-05-01 09:00:00 +0200"}})}));
        const QString garbage = path("garbage.todo");
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not an archive");
        file.close();
        const QString notAList = path("array.todo");
        QFile arrayFile(notAList);
        QVERIFY(arrayFile.open(QIODevice::WriteOnly));
        arrayFile.write(encodeArchive(Value(Array::create())));
        arrayFile.close();
        const NodePtr unmarked = listOf({item("overdue", {{key::due, "2003-05-01 09:00:00 +0200"}})});
        unmarked->remove(key::documentType);
        const QString noMarker = writeList("unmarked.todo", unmarked);
        QVERIFY(QDir(_dir->path()).mkdir("folder.todo"));
        const QString locator = path("locate");
        writeScript(locator,
                    QStringLiteral("echo '%1'\necho '%2'\necho 'locate: warning: database is old' >&2\n")
                        .arg(busy, quiet));
        Settings::instance().setMinderLists(
            {path("missing.todo"), path("folder.todo"), garbage, notAList, noMarker, busy, busy});

        WindowlessMinderHost host;
        RecordingErrorReporter reporter;
        test::FixedClock clock(at("2003-05-20 12:00:00"));
        TardigoMinder minder(host, NoticeChannels{}, reporter, TodoLocator(locator, {}));
        QCOMPARE(minder.scan(), 0);
        // The watch list comes whole, duplicates included; the locator adds only what is new.
        QCOMPARE(minder.docs(), QStringList({path("missing.todo"), path("folder.todo"), garbage, notAList,
                                             noMarker, busy, busy, quiet}));
        QCOMPARE(describe(host.notices()), QStringList{"overdue 2 past due 2003-05-01 09:00"});
        QVERIFY(host.documentForFileName(busy));
        QVERIFY(!host.documentForFileName(quiet));
        QVERIFY(!host.documentForFileName(noMarker));
        QCOMPARE(reporter.messages, QStringList());
    }

    void onlyCurrentListsPass() {
        const auto isList = [](const QByteArray& bytes) {
            return TardigoMinder::isTardigoDoc(decodeListFile(bytes, kTodoListType, "list.todo"));
        };
        const QByteArray list = encodeArchive(Value(listOf({item("a")})));
        QVERIFY(isList(list));
        NodePtr immutable = listOf({});
        immutable->isMutable = false;
        QVERIFY(!isList(encodeArchive(Value(immutable))));
        QVERIFY(!isList(encodeArchive(Value("Tardigo Todo List"))));
        for (qsizetype cut = 0; cut < list.size(); cut += 7)
            QVERIFY(!isList(list.left(cut)));
    }

    void aPassTakenUpInSlicesGivesWhatOnePassGives() {
        QStringList paths;
        for (int list = 0; list < 3; ++list) {
            std::vector<NodePtr> items;
            for (int i = 0; i < 150; ++i)
                items.push_back(i % 40 ? item(QString("item %1.%2").arg(list).arg(i))
                                       : item(QString("due %1.%2").arg(list).arg(i),
                                              {{key::due, "2003-05-01 09:00:00 +0200"}}));
            paths << writeList(QString("sliced%1.todo").arg(list), listOf(items));
        }
        paths.insert(1, path("missing.todo"));
        const auto pass = [&](bool sliced, int* slices) {
            test::FixedClock clock(at("2003-05-20 14:00:00"));
            WindowlessMinderHost host;
            RecordingErrorReporter reporter;
            TardigoMinder minder(host, NoticeChannels{}, reporter, silentLocator());
            minder.setDocs(paths);
            if (!sliced)
                minder.scanDocs();
            // A slice given no time at all still gets on.
            while (sliced && !minder.scanDocsUntil(QDeadlineTimer(0)))
                ++*slices;
            return describe(host.notices());
        };
        int slices = 1;
        const QStringList whole = pass(false, nullptr);
        QCOMPARE(whole.size(), 12);
        QCOMPARE(pass(true, &slices), whole);
        QVERIFY2(slices > paths.size(), qPrintable(QString::number(slices)));
    }

    void aListClosedDuringASlicedPassIsLeftThere() {
        test::FixedClock clock(at("2003-05-20 14:00:00"));
        std::vector<NodePtr> items;
        for (int i = 0; i < 200; ++i)
            items.push_back(item(QString("due %1").arg(i), {{key::due, "2003-05-01 09:00:00 +0200"}}));
        WindowlessMinderHost host;
        TardigoDocument& doc = open(host, listOf(items));
        RecordingErrorReporter reporter;
        TardigoMinder minder(host, NoticeChannels{}, reporter, silentLocator());
        minder.setDocs({doc.fileName()});
        QVERIFY(!minder.scanDocsUntil(QDeadlineTimer(0)));
        const size_t announced = host.notices().size();
        QVERIFY(announced > 0 && announced < 200);
        minder.documentClosed(&doc);
        QVERIFY(minder.scanDocsUntil(QDeadlineTimer(0)));
        QCOMPARE(host.notices().size(), announced);
    }

    void theLocatorKeepsUsableFilesOnly() {
        const QString usable = writeList("usable.todo", listOf({}));
        QVERIFY(QDir(_dir->path()).mkdir("dir.todo"));
        const QString script = path("locate");
        writeScript(script, QStringLiteral("printf '%s\\n' '%1' '%2' '%3'\n"
                                           "printf '/tmp/caf\\303\\251.todo\\n'\n"
                                           "echo 'locate: can not stat () /var/lib/plocate/plocate.db' >&2\n"
                                           "printf '%1'\n")
                                .arg(usable, path("dir.todo"), path("gone.todo")));
        QCOMPARE(TodoLocator(script, {}).locateTodoItems(),
                 std::optional<QStringList>(QStringList{usable, usable}));

        writeScript(script, QStringLiteral("echo '%1'\nexit 1\n").arg(usable));
        QCOMPARE(TodoLocator(script, {}).locateTodoItems(), std::nullopt);
        QCOMPARE(TodoLocator(path("no-locate"), {}).locateTodoItems(), std::nullopt);
    }

    void theLocatorCopesWithAFloodOfOutput() {
        const QString usable = writeList("usable.todo", listOf({}));
        const QString script = path("locate");
        // 10 MB on both streams, most of it not ASCII, with one usable path at the very end.
        writeScript(script, QStringLiteral("i=0\nwhile [ $i -lt 40 ]; do\n"
                                           "  head -c 131072 /dev/zero | tr '\\000' '\\351' | fold -w 100\n"
                                           "  head -c 131072 /dev/zero | tr '\\000' 'x' | fold -w 100 >&2\n"
                                           "  i=$((i+1))\ndone\necho\necho '%1'\n")
                                .arg(usable));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(TodoLocator(script, {}).locateTodoItems(), std::optional<QStringList>(QStringList{usable}));
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
    }

    void remindApplyReportsOnlyOnce() {
        QProcess probe;
        probe.start(TARDIGO_CLI_PATH, {"remind"});
        QVERIFY(probe.waitForFinished());
        if (!probe.readAllStandardError().contains("usage: tardigo-cli remind"))
            QSKIP("tardigo-cli does not dispatch the remind command yet");

        const QString list =
            writeList("home.todo", listOf({item("pay rent", {{key::due, "2003-05-01 09:00:00 +0200"}}),
                                           fromNowReminder("stretch", 30, "2003-05-20 11:00:00", true)}));
        QDir::setCurrent(_dir->path());
        {
            // These make dates read the same in any locale.
            Settings preferences;
            preferences.useFile(path("config/tardigo/preferences.ini"));
            preferences.setShortDateFormat("yyyy-MM-dd");
            preferences.setTimeFormat("HH:mm");
        }
        const auto remind = [&](const QStringList& extra) {
            QProcess cli;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("XDG_CONFIG_HOME", path("config"));
            cli.setProcessEnvironment(environment);
            cli.start(TARDIGO_CLI_PATH, QStringList{"remind", "--now", "2003-05-20 14:00:00 +0200"} + extra +
                                            QStringList{"home.todo"});
            cli.waitForFinished();
            if (cli.exitCode() != 0)
                qWarning() << cli.readAllStandardError();
            return QString::fromUtf8(cli.readAllStandardOutput());
        };
        const QString notices = "home.todo\tpay rent\tdue\tPast date due: 2003-05-01 09:00\n"
                                "home.todo\tstretch\treminder\tReminder!\n";
        const QByteArray before = [&] {
            QFile file(list);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        QCOMPARE(remind({}), notices);
        QFile unchanged(list);
        QVERIFY(unchanged.open(QIODevice::ReadOnly));
        QCOMPARE(unchanged.readAll(), before); // a dry run writes nothing
        QCOMPARE(remind({"--apply"}), notices);
        QCOMPARE(remind({"--apply"}), QString());
        QFile conf(path("config/tardigo/preferences.ini"));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(!conf.readAll().contains("home.todo")); // the watch list is the application's
    }
};

QTEST_GUILESS_MAIN(TestMinderScan)
#include "tst_minder_scan.moc"
