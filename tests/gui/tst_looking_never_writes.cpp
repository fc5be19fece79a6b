// Looking never writes: showing, hiding, tearing off and attaching the inspector, and opening each
// of its tools on every kind of item, leave the undo stack empty; once the inspector is back as it
// started, saving writes the very bytes the list was read from.
#include "gui_test_support.h"

#include "archive/color_value.h"
#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "exchange/value_json.h"
#include "inspector/notes_tool.h"
#include "minder/item_status.h"
#include "model/clock.h"
#include "model/item_codes.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "outline/inspector_tools.h"
#include "outline/inspector_view.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/document_toolbar.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

QString stored(const char* localDate, int offsetSeconds) {
    return storedDateString(
        QDateTime::fromString(QLatin1String(localDate), QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            .toOffsetFromUtc(offsetSeconds));
}

Value notesOf(std::initializer_list<TextRun> runs) {
    return Value::data(encodeNotes(RichText::fromRuns(runs)));
}

TextRun run(const QString& text, bool bold = false, bool italic = false) {
    TextRun styled;
    styled.text = text;
    styled.bold = bold;
    styled.italic = italic;
    return styled;
}

/// An item with everything an item may hold, some of it in a form the list's own writer would not
/// choose (a partial completion as a double, a date in another zone, a reminder length as text).
NodePtr everything(const QString& name) {
    NodePtr node = item(name, 0.4);
    node->set(key::category, "Work");
    node->set(key::completion, Value(Number::float64(0.256)));
    node->set(key::dateCompleted, stored("2026-11-30 18:41:14", 0));
    node->set(key::due, stored("2026-12-04 08:00:00", 3600));
    node->set(key::dateDueRepeatPeriod, Value::integer(WeeklyPeriod));
    node->set(key::notes, notesOf({run("Agenda\n", true), run("one, two, "), run("three", false, true)}));
    node->set(key::icon, "vk_star");
    node->set(key::thisIconOnly, Value::boolean(true));
    node->set(key::fontName, "Helvetica-Bold");
    node->set(key::fontSize, Value::float32(14));
    node->set(key::color, Value::data(colorDataFromRgba(Rgba{0.8f, 0.1f, 0.2f, 1.0f})));
    node->set(key::reminderSet, Value::boolean(true));
    node->set(key::reminderTimeLength, "2");
    node->set(key::reminderTimeUnit, Value::integer(ReminderHours));
    node->set(key::reminderMarkDueDate, Value::boolean(true));
    node->set(key::reminderMarkNow, Value::boolean(false));
    node->set(key::reminderRepeat, Value::boolean(false));
    node->set(key::reminderMark, Date{referenceSecondsFromDateTime(Clock::now().addDays(-1))});
    node->set(key::minderTimestampTodo, Date{1000.0});
    node->set(key::minderTimestampReminder, Date{2000.0});
    node->set(key::docPath, "/home/anna/work.todo");
    node->set(key::nodeStatus, Value::integer(ItemStatusDue));
    node->set(key::uid, "6a1f0c4e-everything@tardigo");
    node->set(key::importedRepeatRule, "FREQ=DAILY;INTERVAL=3");
    appendToLog(*node, "set category");
    return node;
}

/// Every kind of item: each repeat period, each reminder unit counted either way, done and partly
/// done items, notes large and small, icons, fonts and colours, and items inside others.
NodePtr everyKindOfList() {
    NodePtr root = newListRoot();
    root->set(key::beta1DateFixedUp, Value::boolean(true));
    root->set(key::inspectorVisible, Value::boolean(false));
    root->set(key::panelInspector, Value::boolean(false));
    const ArrayPtr items = childrenOf(*root);
    const auto add = [&items](const NodePtr& node) { items->items.push_back(node); };
    for (int period = NoPeriod; period <= QuarterPeriod; ++period) {
        NodePtr repeating = item(QStringLiteral("repeats %1").arg(period));
        repeating->set(key::due, stored("2026-12-08 18:41:14", period * 1800 - 7200));
        repeating->set(key::dateDueRepeatPeriod, Value::integer(period));
        add(repeating);
    }
    for (int unit = ReminderMinutes; unit <= ReminderYears; ++unit) {
        NodePtr reminded = item(QStringLiteral("reminder %1").arg(unit), unit / 7.0);
        reminded->set(key::reminderSet, Value::boolean(unit % 2 == 0));
        reminded->set(key::reminderTimeLength, Value::float32(float(unit) + 0.5f));
        reminded->set(key::reminderTimeUnit, Value::integer(unit));
        reminded->set(key::reminderMarkDueDate, Value::boolean(unit % 2 == 1));
        reminded->set(key::reminderMarkNow, Value::boolean(unit % 2 == 0));
        reminded->set(key::reminderRepeat, Value::boolean(unit % 3 == 0));
        add(reminded);
    }
    NodePtr done = item("Quarterly report", 1.0);
    done->set(key::completion, Value::boolean(true));
    done->set(key::dateCompleted, stored("2026-12-01 09:30:00", 3600));
    add(done);
    NodePtr large = item("large notes");
    // Read aside: larger than the editor reads at once, in lines as people write them.
    large->set(key::notes, notesOf({run(QStringLiteral("Minutes of the meeting, item by item.\n")
                                            .repeated(NotesTool::kLargestNotesReadAtOnce / 38 + 1))}));
    add(large);
    NodePtr own = item("own icon");
    own->set(key::icon, "/home/anna/Pictures/no-such-icon.png");
    own->set(key::thisIconOnly, Value::boolean(false));
    own->set(key::fontName, "NoSuchFoundry-Bold");
    own->set(key::fontSize, Value::float32(36));
    add(own);
    add(item("", 0.999));
    add(everything("everything"));
    add(item("parent", 0.5, {everything("child"), item("second child", 1.0, {item("grandchild")})}));
    return root;
}

} // namespace

class TestLookingNeverWrites : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    std::unique_ptr<DocumentController> _controller;

    static void trigger(DocumentMainWindow* window, const QString& command) {
        QAction* action = window->findChild<QAction*>(command);
        QVERIFY2(action, qPrintable(command));
        action->trigger();
        QCoreApplication::processEvents();
    }
    /// Everything a user does to look at the selected item.
    static void lookAtTheSelectedItem(DocumentMainWindow* window, const NodePtr& selected) {
        InspectorDockWidget& inspector = window->inspector();
        OutlineTreeView& outline = window->outline();
        window->activateWindow();
        outline.setFocus();
        QTest::keyClick(&outline, Qt::Key_I, Qt::ControlModifier); // shown
        QVERIFY(inspector.isVisible());
        for (const int tool : inspectorToolOrder())
            trigger(window, QStringLiteral("showTool_%1").arg(tool));
        auto* selector = inspector.findChild<QComboBox*>(QStringLiteral("sidebarPopup"));
        for (int index = 0; index < selector->count(); ++index) {
            selector->setCurrentIndex(index);
            emit selector->activated(index);
        }
        outline.setFocus();
        QTest::keyClick(&outline, Qt::Key_I, Qt::ControlModifier); // hidden
        QVERIFY(!inspector.isVisible());
        trigger(window, QStringLiteral("tearOffInspector"));
        QVERIFY(inspector.isFloating() && inspector.isVisible());
        trigger(window, QStringLiteral("toggleInspector"));
        trigger(window, QStringLiteral("toggleInspector"));
        trigger(window, QStringLiteral("tearOffInspector")); // attached again
        QVERIFY(!inspector.isFloating() && inspector.isVisible());
        for (const QString& item : {DocumentToolbar::notesIdentifier, DocumentToolbar::colorsIdentifier,
                                    DocumentToolbar::fontsIdentifier}) {
            window->toolbar().action(item)->trigger();
            QCoreApplication::processEvents();
        }
        // A notice's View Item, for a due date and for a reminder.
        for (const ItemStatus status : {ItemStatusDue, ItemStatusReminder}) {
            NodePtr notice = selected->deepCopy();
            notice->set(key::nodeStatus, Value::integer(status));
            window->document().minderHandOff().minderViewItem(notice);
            QCoreApplication::processEvents();
        }
        inspector.close(); // its title bar's close button
        QVERIFY(!inspector.isVisible());
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(18, 41, 14)));
        Settings::instance().setItemIcons({"vk_star", "vk_flag"});
    }
    void cleanupTestCase() { Clock::reset(); }

    void showingAndHidingTheInspectorOnEveryItemWritesNothing() {
        const QString path = _files.filePath(QStringLiteral("every kind.todo"));
        QVERIFY(writeListFile(path, everyKindOfList()).isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray original = file.readAll();
        file.close();
        _controller = std::make_unique<DocumentController>();
        DocumentMainWindow* window = _controller->openFile(path);
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        const QByteArray read = valueToJson(Value(window->document().data()), true);
        trigger(window, QStringLiteral("expandAll"));
        OutlineTreeView& outline = window->outline();
        // Each row on show, from the top.
        for (QModelIndex row = outline.model()->index(0, 0); row.isValid(); row = outline.indexBelow(row)) {
            const NodePtr item = outline.outlineModel().itemForIndex(row);
            outline.selection().selectItems({item});
            lookAtTheSelectedItem(window, item);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(!window->document().undoStack().canUndo(),
                     qPrintable(QStringLiteral("%1: %2").arg(stringOf(*item, key::name),
                                                             window->document().undoStack().undoText())));
        }
        // The large notes are read aside; looking at them wrote nothing either.
        QTRY_VERIFY(!window->findChild<NotesTool*>()->isLoading());

        // The values first, to say which changed; then every byte.
        QCOMPARE(QString::fromUtf8(valueToJson(Value(window->document().data()), true)),
                 QString::fromUtf8(read));
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == original);
    }
};

QTEST_MAIN(TestLookingNeverWrites)
#include "tst_looking_never_writes.moc"
