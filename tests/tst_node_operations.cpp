#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/new_item.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;

class TestNodeOperations : public QObject {
    Q_OBJECT
    const QDateTime _now = test::localTime(QStringLiteral("2024-03-10 12:00:00"));

    NodePtr itemCreatedDaysAgo(int days) {
        NodePtr node = newToDoItem();
        node->set(key::dateCreated, storedDateString(_now.addDays(-days)));
        return node;
    }

private slots:
    void init() { Settings::instance().useMemoryOnly(); }

    void newItemHasTheCreationDefaultsAndOneHistoryEntry() {
        test::FixedClock clock(_now);
        const NodePtr node = newToDoItem();
        QStringList keys;
        for (const auto& entry : node->entries)
            keys << entry.first;
        QCOMPARE(keys,
                 (QStringList{key::dateCreated, key::name, key::completion, key::history, key::children}));
        QCOMPARE(*node->value(key::name).asString(), QStringLiteral("<new todo>"));
        QCOMPARE(node->value(key::completion).asNumber()->type, 'f');
        QVERIFY(node->value(key::children).asArray()->items.empty());
        const ArrayPtr history = node->value(key::history).asArray();
        QCOMPARE(history->size(), 1);
        const DictPtr entry = history->items[0].asDict();
        QCOMPARE(*entry->value(key::message).asString(), QStringLiteral("item created"));
        QCOMPARE(entry->value(key::timestamp), node->value(key::dateCreated));
        QCOMPARE(*node->value(key::dateCreated).asString(), storedDateString(_now));
        QVERIFY(!entry->isMutable); // history entries are archived as immutable dictionaries
    }

    void loggingNeedsAHistoryArray() {
        DictPtr root = Dict::create();
        appendToLog(*root, QStringLiteral("x"));
        QVERIFY(root->entries.empty());
        NodePtr node = newToDoItem();
        appendToLog(*node, QStringLiteral("set name"));
        QCOMPARE(*node->value(key::history).asArray()->items.back().asDict()->value(key::message).asString(),
                 QStringLiteral("set name"));
    }

    void booleansAndCompletionReadNumbersOnly() {
        Dict node;
        node.set(key::reminderSet, Value::integer(1));
        QVERIFY(flagOf(node, key::reminderSet));
        node.set(key::reminderSet, Value::integer(2));
        QVERIFY(!flagOf(node, key::reminderSet));
        node.set(key::reminderSet, "1");
        QVERIFY(!flagOf(node, key::reminderSet));
        QVERIFY(!flagOf(node, key::reminderRepeat));

        node.set(key::completion, Value::boolean(true));
        QVERIFY(isCompleted(node));
        QVERIFY(!hasPartialCompletion(node));
        node.set(key::completion, Value::float32(0.999));
        QVERIFY(!isCompleted(node));
        QVERIFY(hasPartialCompletion(node));
        node.set(key::completion, Value::float32(0.0));
        QVERIFY(!isCompleted(node));
        QVERIFY(!hasPartialCompletion(node));
        node.set(key::completion, "1");
        QVERIFY(!isCompleted(node));
    }

    void overdueMeansDueNowOrEarlierAndNotDone() {
        test::FixedClock clock(_now);
        Dict node;
        QVERIFY(!isOverdue(node));
        node.set(key::due, storedDateString(_now));
        QVERIFY(isOverdue(node));
        node.set(key::due, storedDateString(_now.addSecs(1)));
        QVERIFY(!isOverdue(node));
        // The same instant written in another zone is still due now.
        node.set(key::due, storedDateString(_now.toOffsetFromUtc(-8 * 3600)));
        QVERIFY(isOverdue(node));
        node.set(key::due, storedDateString(_now.addDays(-3)));
        node.set(key::completion, Value::boolean(true));
        QVERIFY(!isOverdue(node));
        node.set(key::completion, Value::float32(0));
        node.set(key::due, "next tuesday");
        QVERIFY(!isOverdue(node));
    }

    void oldItemsAreUndoneNonRepeatingAndOlderThanOldDays() {
        test::FixedClock clock(_now);
        QVERIFY(isOld(*itemCreatedDaysAgo(91), 90));
        QVERIFY(!isOld(*itemCreatedDaysAgo(89), 90));

        NodePtr repeating = itemCreatedDaysAgo(91);
        repeating->set(key::due, storedDateString(_now));
        repeating->set(key::dateDueRepeatPeriod, Value::integer(3));
        QVERIFY(!isOld(*repeating, 90));

        NodePtr reminding = itemCreatedDaysAgo(91);
        reminding->set(key::reminderSet, Value::boolean(true));
        reminding->set(key::reminderRepeat, Value::boolean(true));
        QVERIFY(!isOld(*reminding, 90));
        reminding->set(key::reminderRepeat, Value::boolean(false));
        QVERIFY(isOld(*reminding, 90));

        NodePtr done = itemCreatedDaysAgo(200);
        done->set(key::completion, Value::float32(1.0));
        QVERIFY(!isOld(*done, 90));

        NodePtr undated = itemCreatedDaysAgo(200);
        undated->set(key::dateCreated, "2001-01-01");
        QVERIFY(!isOld(*undated, 90));
        undated->remove(key::dateCreated);
        QVERIFY(!isOld(*undated, 90));

        QVERIFY(isOld(*itemCreatedDaysAgo(11), 10));
    }
};

QTEST_GUILESS_MAIN(TestNodeOperations)
#include "tst_node_operations.moc"
