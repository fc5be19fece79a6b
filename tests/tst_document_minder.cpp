#include "document/undo_manager.h"
#include "document_fixture.h"
#include "minder/remind_again.h"
#include "model/stored_date.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// The copy of an item that a notice carries.
NodePtr noticeCopy(const NodePtr& item, int status) {
    NodePtr copy = item->deepCopy();
    copy->set(key::docPath, QStringLiteral("/home/u/list.todo"));
    copy->set(key::nodeStatus, Value::integer(status));
    return copy;
}

} // namespace

class TestMinderHandOff : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;
    const QDateTime _now = localTime(QStringLiteral("2024-03-10 12:00:00"));

    Value iconShown(OpenList& list, const NodePtr& item) {
        return std::get<Value>(list.document.cellValue(Column::Icon, item));
    }

private slots:
    void init() {
        _start.emplace(_now);
        DictPtr conditions = Settings::instance().iconConditions()->deepCopy();
        conditions->set(QStringLiteral("vk_bubble"), Value::integer(3));
        Settings::instance().setIconConditions(conditions);
    }
    void cleanup() { _start.reset(); }

    void aReminderShowsItsIconUntilTheTimerClearsIt() {
        const NodePtr first = makeItem("first"), second = makeItem("second");
        OpenList list{first, second};
        QCOMPARE(list.document.minderHandOff().reminderClearInterval(), std::chrono::milliseconds(120000));
        list.document.minderHandOff().setReminderClearInterval(std::chrono::milliseconds(0));
        list.document.minderWithNode(first, QStringLiteral("Reminder: first"), ItemStatusReminder);
        QCOMPARE(iconShown(list, first), Value("vk_bubble"));
        QCOMPARE(first->value(key::minderTimestampReminder), Value(Date{referenceSecondsFromDateTime(_now)}));
        QVERIFY(list.document.isDocumentEdited());
        // A second reminder before the first timer fires: that timer ends it too.
        list.document.minderHandOff().setReminderClearInterval(std::chrono::hours(1));
        list.document.minderWithNode(second, QStringLiteral("Reminder: second"), ItemStatusReminder);
        QCOMPARE(iconShown(list, second), Value("vk_bubble"));
        QCOMPARE(iconShown(list, first), Value("vk_notdone"));
        OpenList::endEvent();
        QCOMPARE(iconShown(list, second), Value("vk_notdone"));

        list.document.minderHandOff().setReminderClearInterval(std::chrono::milliseconds(0));
        list.document.minderWithNode(first, QString(), ItemStatusReminder);
        list.document.close(); // closing cancels the timer
        OpenList::endEvent();
        QCOMPARE(list.document.minderHandOff().currentReminderItem(), first);
    }

    void withNoIconForAReminderInProgressTheItemKeepsItsOwn() {
        Settings::instance().remove(pref::todoItemIconConditions); // the registered rules
        const NodePtr call = makeItem("call", {{key::reminderSet, Value::boolean(true)}});
        OpenList list{makeItem("other"), call};
        QSignalSpy changes(&list.document, &TardigoDocument::itemChanged);
        list.document.minderWithNode(call, QStringLiteral("Reminder!"), ItemStatusReminder);
        QCOMPARE(list.document.minderHandOff().currentReminderItem(), call);
        QCOMPARE(changes.last().at(0).value<NodePtr>(), call); // its row is drawn again
        QCOMPARE(iconShown(list, call), Value("vk_phone2"));
    }

    void aDueNoticeStampsTheItemAndTakesALaterDueDate() {
        const NodePtr item = makeItem(
            "rent", {{key::due, "2024-03-01 09:00:00 +0100"}, {key::completion, Value::boolean(true)}});
        OpenList list{item};
        list.document.minderWithNode(item, QString(), ItemStatusDue);
        QCOMPARE(item->value(key::minderTimestampTodo), Value(Date{referenceSecondsFromDateTime(_now)}));
        QCOMPARE(item->value(key::completion), Value::boolean(true));

        const NodePtr advanced = item->deepCopy();
        advanced->set(key::due, QStringLiteral("2024-04-01 09:00:00 +0200"));
        list.document.minderWithNode(advanced, QString(), ItemStatusDue);
        QCOMPARE(item->value(key::due), Value("2024-04-01 09:00:00 +0200"));
        QCOMPARE(item->value(key::completion), Value::float32(0.0));
        const NodePtr earlier = item->deepCopy();
        earlier->set(key::due, QStringLiteral("2024-03-20 09:00:00 +0100"));
        list.document.minderWithNode(earlier, QString(), ItemStatusDue);
        QCOMPARE(item->value(key::due), Value("2024-04-01 09:00:00 +0200"));

        QTest::ignoreMessage(QtWarningMsg, "not updating minder timestamps");
        list.document.minderWithNode(item, QString(), ItemStatus(7));
        const NodePtr stranger = makeItem("stranger", {{key::dateCreated, "2020-01-01 00:00:00 +0100"}});
        QTest::ignoreMessage(
            QtWarningMsg, "TardigoDocument -minder: failed to find node stranger 2020-01-01 00:00:00 +0100");
        list.document.minderWithNode(stranger, QString(), ItemStatusDue);
    }

    void eachNoticeStampsTheNodeWhereItNowStands() {
        // Between two slices of a pass in the application, the user may move or delete items.
        const NodePtr moved = makeItem("moved"), parent = makeItem("parent"), gone = makeItem("gone");
        const NodePtr lookAlike = moved->deepCopy();
        OpenList list{lookAlike, parent, moved, gone};
        list.document.minderWithNode(moved, QString(), ItemStatusDue);
        QVERIFY(moved->contains(key::minderTimestampTodo));
        QVERIFY(!lookAlike->contains(key::minderTimestampTodo));

        std::vector<RemovedChild> removed;
        list.document.edits().move(list.document.data(), moved.get(), parent, nullptr);
        list.document.edits().remove(list.document.data(), gone.get(), {}, removed);
        moved->remove(key::minderTimestampTodo);
        list.document.minderWithNode(moved, QString(), ItemStatusDue);
        QVERIFY(moved->contains(key::minderTimestampTodo));
        QVERIFY(!lookAlike->contains(key::minderTimestampTodo));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("failed to find node gone"));
        list.document.minderWithNode(gone, QString(), ItemStatusDue);
        QVERIFY(!gone->contains(key::minderTimestampTodo));
    }

    void viewItemSelectsTheItemAndOpensItsTool() {
        // The due item stands two levels down, under closed items: they open to show it.
        const NodePtr grandparent = makeItem("grandparent"), parent = makeItem("parent"),
                      due = makeItem("due"), reminded = makeItem("reminded");
        appendChild(*grandparent, parent);
        appendChild(*parent, due);
        OpenList list{makeItem("top"), grandparent, reminded};
        list.document.minderHandOff().minderViewItem(noticeCopy(due, 2));
        QCOMPARE(list.selectedNames(), QStringList{"due"});
        QCOMPARE(list.revealed, std::vector<NodePtr>{due}); // the window opens what hides it
        list.document.minderHandOff().minderViewItem(noticeCopy(reminded, 3));
        QCOMPARE(list.selectedNames(), QStringList{"reminded"});
        QCOMPARE(list.window.inspector.shownTools,
                 (std::vector<int>{InspectorToolDueDate, InspectorToolReminder}));

        const NodePtr context = noticeCopy(due, 2);
        due->set(key::name, QStringLiteral("renamed")); // no longer the same item
        list.selection().clearSelection();
        QTest::ignoreMessage(QtWarningMsg, "TardigoDocument -minderViewItem: failed to find node for due");
        list.document.minderHandOff().minderViewItem(context);
        QVERIFY(list.selectedNames().isEmpty());
        QCOMPARE(list.window.inspector.shownTools.size(), size_t(2));
    }

    void remindAgainSetsOneReminderFromNowAsOneStep() {
        const NodePtr item = makeItem("call", {{key::reminderSet, Value::boolean(true)},
                                               {key::reminderTimeLength, Value::float32(2)},
                                               {key::reminderTimeUnit, Value::integer(ReminderDays)},
                                               {key::reminderMarkDueDate, Value::boolean(true)},
                                               {key::reminderRepeat, Value::boolean(true)},
                                               {key::minderTimestampReminder, Date{1000.0}}});
        OpenList list{makeItem("other"), item};
        QVERIFY(list.document.minderHandOff().remindAgain(noticeCopy(item, 3), RemindAgain::InOneHour));
        OpenList::endEvent();
        QCOMPARE(item->value(key::reminderTimeLength), Value::float32(1));
        QCOMPARE(item->value(key::reminderTimeUnit), Value::integer(ReminderHours));
        QCOMPARE(item->value(key::reminderMarkNow), Value::boolean(true));
        QCOMPARE(item->value(key::reminderMarkDueDate), Value::boolean(false));
        QCOMPARE(item->value(key::reminderRepeat), Value::boolean(false));
        QVERIFY(!item->contains(key::minderTimestampReminder)); // announced afresh when the hour is up
        QCOMPARE(historyMessages(*item).constLast(), QStringLiteral("set reminder"));
        QVERIFY(list.document.isDocumentEdited());
        QCOMPARE(list.undo().undoText(), QStringLiteral("set reminder"));
        list.undo().undo();
        QCOMPARE(item->value(key::reminderTimeLength), Value::float32(2));
        QCOMPARE(item->value(key::reminderTimeUnit), Value::integer(ReminderDays));
        QCOMPARE(item->value(key::reminderRepeat), Value::boolean(true));
        QVERIFY(!list.undo().canUndo());

        const NodePtr context = noticeCopy(item, 3);
        item->set(key::name, QStringLiteral("renamed"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no longer in .*: call"));
        QVERIFY(!list.document.minderHandOff().remindAgain(context, RemindAgain::Tomorrow));
    }

    void tomorrowIsTheSameTimeTomorrow_data() {
        QTest::addColumn<QString>("now");
        QTest::addColumn<float>("length");
        QTest::addColumn<int>("unit");
        QTest::newRow("a plain day") << "2024-03-10 12:00:00" << 1.0f << int(ReminderDays);
        QTest::newRow("clocks go forward") << "2024-03-30 12:00:00" << 1380.0f << int(ReminderMinutes);
        QTest::newRow("clocks go back") << "2024-10-26 12:00:00" << 1500.0f << int(ReminderMinutes);
    }
    void tomorrowIsTheSameTimeTomorrow() {
        QFETCH(QString, now);
        QFETCH(float, length);
        QFETCH(int, unit);
        const ReminderFromNow reminder = reminderFromNow(RemindAgain::Tomorrow, localTime(now));
        QCOMPARE(reminder.length, length);
        QCOMPARE(int(reminder.unit), unit);
        QCOMPARE(reminderFromNow(RemindAgain::InTenMinutes, localTime(now)).length, 10.0f);
    }
};

QTEST_GUILESS_MAIN(TestMinderHandOff)
#include "tst_document_minder.moc"
