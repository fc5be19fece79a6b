#include "document/undo_manager.h"
#include "document_fixture.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestStatus : public QObject {
    Q_OBJECT
    std::unique_ptr<FixedClock> _clock;

private slots:
    void init() {
        UserDefaults::standard().useMemoryOnly();
        UserDefaults::standard().setObject(pref::userShortDateFormat, Value("dd.MM.yyyy"));
        UserDefaults::standard().setObject(pref::userTimeFormat, Value("HH:mm"));
        _clock = std::make_unique<FixedClock>(localTime(QStringLiteral("2024-03-10 12:00:00")));
    }
    void cleanup() { _clock.reset(); }

    void statusLineCountsTheWholeTree() {
        OpenList empty;
        QCOMPARE(empty.document.display().statusText, QString());

        OpenList allDone{makeItem("a", {{key::completion, Value::boolean(true)}})};
        QCOMPARE(allDone.document.display().statusText, QStringLiteral("All items are completed."));

        const NodePtr parent = makeItem("parent");
        OpenList list{parent};
        for (int i = 0; i < 9; ++i)
            appendChild(*parent,
                        makeItem(QString::number(i), {{key::completion, Value::real(i < 7 ? 1.0 : 0.5)}}));
        list.document.toggleHideCompletedItems(true);
        list.document.expandAll();
        QCOMPARE(list.rowNames().size(), 3);
        QCOMPARE(list.document.display().statusText, QStringLiteral("3/10 outstanding"));
        QCOMPARE(list.window.statusText, QStringLiteral("3/10 outstanding"));

        // A cell edit keeps the counts up to date without counting again.
        list.outline().editColumn(key::completion, 2, false);
        list.outline().endEditing(Value::real(1.0));
        QCOMPARE(list.document.display().statusText, QStringLiteral("2/10 outstanding"));
        list.outline().editColumn(key::name, 1, false);
        list.outline().endEditing(Value("renamed"));
        QCOMPARE(list.document.display().statusText, QStringLiteral("2/10 outstanding"));
        list.outline().editColumn(key::completion, 1, false);
        list.outline().endEditing(Value::real(0.5));
        QCOMPARE(list.document.display().statusText, QStringLiteral("2/10 outstanding"));
        list.document.undoManager().undo(); // the three edits of this event are one step
        QCOMPARE(list.document.display().statusText, QStringLiteral("3/10 outstanding"));

        list.document.setStatus(QStringLiteral("Tardigo Minder scanning..."));
        QCOMPARE(list.window.statusText, QStringLiteral("Tardigo Minder scanning..."));
        list.document.setStatus(std::nullopt);
        QCOMPARE(list.window.statusText, QStringLiteral("3/10 outstanding"));
    }

    void theInspectorFollowsTheSelection() {
        OpenList list{makeItem("a", {{key::color, Value::data("red")}}),
                      makeItem("b", {{key::fontName, "Serif"}, {key::fontSize, Value::real(36.7)}})};
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("[no selection]"));
        QVERIFY(!list.document.display().toolsEnabled);
        QVERIFY(!list.document.display().appearance && !list.document.display().item);

        list.window.inspector.tool = InspectorToolColor;
        list.select({1, 0});
        StatusDisplay display = list.document.display();
        QCOMPARE(display.selectionLabel, QStringLiteral("(multiple selection OK)"));
        QVERIFY(display.toolsEnabled);
        QCOMPARE(display.appearance->color, Value::data("red")); // the row selected last
        QVERIFY(!display.item);

        list.window.inspector.tool = InspectorToolNotes;
        list.document.updateUI();
        display = list.document.display();
        QCOMPARE(display.selectionLabel, QStringLiteral("(multiple selection)"));
        QVERIFY(!display.toolsEnabled);
        QVERIFY(display.appearance);

        list.select({1});
        display = list.document.display();
        QCOMPARE(display.selectionLabel, QStringLiteral("b"));
        QCOMPARE(display.selectionFont.name, QStringLiteral("Serif"));
        QCOMPARE(display.selectionFont.pointSize, 36);
        QCOMPARE(display.tearOffInspectorTitle, QStringLiteral("Tear Off Inspector"));
        QVERIFY(display.toolsEnabled && display.item);
    }

    void toolsShowTheSelectedItem() {
        DictPtr first = Dict::create(false), second = Dict::create(false);
        first->set(key::timestamp, QStringLiteral("2024-03-01 09:05:00 +0100"));
        first->set(key::message, QStringLiteral("item created"));
        second->set(key::timestamp, QStringLiteral("yesterday"));
        second->set(key::message, QStringLiteral("set name"));
        ArrayPtr history = Array::create();
        history->items = {first, second};
        const NodePtr item = makeItem("pay rent", {{key::completion, Value::real(0.256)},
                                                   {key::history, history},
                                                   {key::category, "home"},
                                                   {key::due, "2024-04-01 09:00:00 +0200"},
                                                   {key::dateDueRepeatPeriod, Value::integer(3)},
                                                   {key::reminderTimeLength, Value::real(2.5)},
                                                   {key::reminderTimeUnit, Value::integer(4)},
                                                   {key::reminderMarkNow, Value::boolean(true)},
                                                   {key::icon, "vk_heart"}});
        OpenList list{item};
        list.root().set(key::panelInspector, Value::boolean(true));
        list.select({0});
        const StatusDisplay display = list.document.display();
        const ItemTools& tools = *display.item;
        QCOMPARE(tools.completionLabel, QStringLiteral("25%"));
        QCOMPARE(tools.completionSlider, double(float(0.256)));
        QVERIFY(!tools.completedChecked);
        QCOMPARE(tools.historyText, QStringLiteral("01.03.2024 09:05: item created\nyesterday: set name\n"));
        QCOMPARE(tools.category, QStringLiteral("home"));
        QCOMPARE(tools.due, localTime(QStringLiteral("2024-04-01 09:00:00")));
        QVERIFY(tools.repeatOn);
        QCOMPARE(tools.periodTag, 3);
        QVERIFY(!tools.reminderSet);
        QCOMPARE(tools.reminderLength, QStringLiteral("2.5"));
        QCOMPARE(tools.reminderUnitTag, 4);
        QVERIFY(tools.reminderMarkNow && !tools.reminderMarkDueDate && !tools.reminderRepeat);
        QVERIFY(!tools.notes);
        QVERIFY(!display.appearance->iconExclusive);
        QCOMPARE(display.appearance->selectedIconRow, 19); // "vk_heart" in the default icon list
        QCOMPARE(display.tearOffInspectorTitle, QStringLiteral("Attach Inspector"));
        QVERIFY(display.resizeDrawerEnabled);

        item->set(key::completion, Value::boolean(true));
        list.document.updateUI();
        QCOMPARE(list.document.display().item->completionLabel, QStringLiteral("100%"));
        QVERIFY(list.document.display().item->completedChecked);
    }

    void preferencesChangesReachEveryOpenList() {
        OpenList list{makeItem("a", {{key::category, "home"}})};
        UserDefaults::standard().setBool(pref::categoriesLocalScope, false);
        const int renders = list.window.renders;
        NotificationCenter::defaultCenter().postNotification(notification::prefsChanged);
        QVERIFY(!list.document.categoriesLocalScope());
        QCOMPARE(list.window.inspector.iconTableReloads, 1);
        QCOMPARE(list.window.renders, renders + 1);

        NotificationCenter::defaultCenter().postNotification(notification::categoriesGlobal);
        QCOMPARE(UserDefaults::standard().stringArrayForKey(pref::categoriesGlobalList), QStringList{"home"});
        list.document.close();
        NotificationCenter::defaultCenter().postNotification(notification::prefsChanged);
        QCOMPARE(list.window.inspector.iconTableReloads, 1);
    }
};

QTEST_GUILESS_MAIN(TestStatus)
#include "tst_document_status.moc"
