#include "model/category_names.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/node_places.h"
#include "model/stored_date.h"
#include "model/tree_operations.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;

namespace {

NodePtr item(const QString& name, const QString& created = QStringLiteral("2024-01-01 10:00:00 +0100")) {
    NodePtr node = Dict::create();
    node->set(key::name, name);
    node->set(key::dateCreated, created);
    node->set(key::children, Array::create());
    return node;
}

NodePtr withChildren(NodePtr node, std::initializer_list<NodePtr> children) {
    if (!childrenOf(*node))
        node->set(key::children, Array::create());
    for (const NodePtr& c : children)
        childrenOf(*node)->items.push_back(c);
    return node;
}

QStringList names(const Dict& node) {
    QStringList result;
    for (const Value& v : childrenOf(node)->items)
        result << *v.asDict()->value(key::name).asString();
    return result;
}

} // namespace

class TestTreeOperations : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::instance().useMemoryOnly(); }

    void countsEveryLevel() {
        NodePtr a1 = item("a1");
        NodePtr root = withChildren(Dict::create(), {withChildren(item("A"), {a1, item("a2")}), item("B")});
        QCOMPARE(countItemsIncludingChildren(*root).total, 4);
        QCOMPARE(countItemsIncludingChildren(*root).complete, 0);
        a1->set(key::completion, Value::boolean(true));
        QCOMPARE(countItemsIncludingChildren(*root).complete, 1);
    }

    void identityIsNameAndCreationDate() {
        NodePtr a = item("x"), b = item("x");
        QVERIFY(isSameItem(*a, *b));
        b->set(key::dateCreated, "2024-01-01 10:00:01 +0100");
        QVERIFY(!isSameItem(*a, *b));
        b->remove(key::dateCreated);
        QVERIFY(isSameItem(*a, *b));
        b->remove(key::name);
        QVERIFY(!isSameItem(*a, *b));
        QVERIFY(!isSameItem(*b, *b)); // a node without a name is the same item as nothing
    }

    void findsByObjectValueOrIdentityAndDeletesByObjectOnly() {
        NodePtr deep = item("deep");
        NodePtr twin = item("deep"); // same name and creation date: the same item, another object
        NodePtr root =
            withChildren(item("root"), {withChildren(item("A"), {withChildren(item("a"), {deep})}), twin});
        QCOMPARE(findIdenticalChild(root, *deep), deep);
        QCOMPARE(findIdenticalChild(root, *root), root);
        NodePtr copy = deep->deepCopy();
        copy->set(key::name, "renamed"); // neither equal nor the same item any more
        QVERIFY(!findIdenticalChild(root, *copy));
        QVERIFY(!hasDescendant(*root, *copy));
        copy->set(key::name, "deep");
        copy->set(key::dateCreated, "2020-01-01 00:00:00 +0000");
        copy->remove(key::children);
        QVERIFY(hasDescendant(*root, *copy) == false);
        copy->set(key::dateCreated, *deep->value(key::dateCreated).asString());
        QCOMPARE(findIdenticalChild(root, *copy), deep); // first match in pre-order

        deleteItemFromTree(root, deep.get());
        QVERIFY(!hasDescendant(*childrenOf(*root)->items[0].asDict(), *deep));
        QCOMPARE(names(*root), (QStringList{"A", "deep"})); // the twin stays
    }

    void placesFindANodeByAddressAsTheTreeNowStands() {
        NodePtr deep = item("deep"), twin = item("deep"), other = item("other");
        NodePtr a = withChildren(item("A"), {withChildren(item("a"), {deep})});
        NodePtr root = withChildren(item("root"), {a, twin, other});
        NodePlaces places;
        QCOMPARE(places.find(root, deep.get()), deep);
        QCOMPARE(places.find(root, twin.get()), twin); // the very node, not the first look-alike
        QCOMPARE(places.find(root, root.get()), root);
        QVERIFY(!places.find(root, deep->deepCopy().get())); // an equal copy is another node
        QVERIFY(!places.find(nullptr, deep.get()));

        // Moved, reordered and removed since the places were learnt: the tree as it is now answers.
        childrenOf(*childrenOf(*a)->items[0].asDict())->items.clear();
        childrenOf(*other)->items.push_back(deep);
        std::swap(childrenOf(*root)->items[0], childrenOf(*root)->items[2]);
        QCOMPARE(places.find(root, deep.get()), deep);
        QCOMPARE(places.find(root, a.get()), a);
        childrenOf(*root)->items.pop_back(); // a, with everything under it
        QVERIFY(!places.find(root, a.get()));
        QCOMPARE(places.find(root, twin.get()), twin);
        // Another tree at the same place in a document: its own nodes, and none of the first's.
        NodePtr replaced = withChildren(item("root"), {item("new")});
        QVERIFY(!places.find(replaced, twin.get()));
        QCOMPARE(places.find(replaced, childrenOf(*replaced)->items[0].dictAddress()),
                 childrenOf(*replaced)->items[0].asDict());
    }

    void ancestorsOfSeveralItemsAreTheirFirstPlaces() {
        NodePtr deep = item("deep"), top = item("top"), shared = item("shared"),
                elsewhere = item("elsewhere");
        NodePtr a = withChildren(item("a"), {deep, shared});
        NodePtr A = withChildren(item("A"), {a});
        NodePtr root = withChildren(item("root"), {A, top, shared}); // shared stands twice
        const auto found = ancestorsInTree({deep.get(), top.get(), shared.get(), elsewhere.get()}, *root);
        QCOMPARE(found.size(), size_t(3));
        QCOMPARE(found.at(deep.get()), (std::vector<NodePtr>{A, a}));
        QVERIFY(found.at(top.get()).empty());
        QCOMPARE(found.at(shared.get()), (std::vector<NodePtr>{A, a})); // in pre-order, first under a
        QVERIFY(!found.contains(elsewhere.get()));
    }

    void deletesAdjacentSiblingsKeepingOrderAndPutsThemBack() {
        NodePtr b = item("b"), c = item("c");
        NodePtr shared = item("shared"); // one node object standing in two places
        NodePtr root =
            withChildren(item("root"), {item("a"), b, shared, c, withChildren(item("d"), {shared})});
        const Value before = Value(root->deepCopy());
        std::vector<RemovedChild> removed;
        deleteItemsFromTree(root, {b, c, shared}, &removed);
        QCOMPARE(names(*root), (QStringList{"a", "d"}));
        QCOMPARE(removed.size(), size_t(4));
        restoreRemovedChildren(root, removed);
        QVERIFY(Value(root) == before);
        QCOMPARE(childrenOf(*root)->items[2].asDict(), shared);
        QCOMPARE(childrenOf(*childrenOf(*root)->items[4].asDict())->items[0].asDict(), shared);
    }

    void purgeRemovesCompleteItemsWithTheirSubtrees() {
        NodePtr parent = withChildren(item("parent"), {item("undone child")});
        parent->set(key::completion, Value::boolean(true));
        NodePtr keep = withChildren(item("keep"), {item("done child")});
        childrenOf(*keep)->items[0].asDict()->set(key::completion, Value::float32(1.0));
        NodePtr root = withChildren(item("root"), {parent, keep});
        purgeCompleted(*root);
        QCOMPARE(names(*root), (QStringList{"keep"}));
        QVERIFY(childrenOf(*keep)->items.empty());
    }

    void duplicateRepairRemovesOnlyANodeObjectMetAgain() {
        // A node object listed a second time goes, at its own level or under another parent; a node
        // equal to it in every key and in its subtree is another item and stays.
        NodePtr a = withChildren(item("A"), {item("child")});
        NodePtr twin = a->deepCopy();
        NodePtr other = withChildren(item("other"), {a, twin->deepCopy()});
        NodePtr root = withChildren(Dict::create(), {a, item("B"), a, twin, other});
        SeenNodes seen;
        fixDuplicateNodes(*root, seen);
        QCOMPARE(names(*root), (QStringList{"A", "B", "A", "other"}));
        QCOMPARE(childrenOf(*root)->items[0].asDict(), a);
        QCOMPARE(childrenOf(*root)->items[2].asDict(), twin);
        QCOMPARE(names(*other), QStringList{"A"});
        QVERIFY(childrenOf(*other)->items[0].asDict() != a);
        QCOMPARE(names(*a), QStringList{"child"});
    }

    void duplicateRepairOnALargeListKeepsEveryLookAlike() {
        // Items made in the same second with the same name are all kept; only the repeats of the
        // first and the last node objects, at the end, go.
        NodePtr root = Dict::create();
        for (int i = 0; i < 3000; ++i)
            withChildren(root, {item(i % 2 ? QStringLiteral("Buy milk") : QStringLiteral("item %1").arg(i))});
        const auto& items = childrenOf(*root)->items;
        const NodePtr first = items.front().asDict(), last = items[2999].asDict();
        withChildren(root, {first->deepCopy(), first, last, last->deepCopy()});
        SeenNodes seen;
        fixDuplicateNodes(*root, seen);
        QCOMPARE(childrenOf(*root)->size(), 3002);
        QVERIFY(childrenOf(*root)->items[3001].asDict() != last);
    }

    void duplicateRepairSurvivesSharedChildrenArrays() {
        // Two items share one children array, so the repeat removed under the second is the very node
        // remembered under the first; a later look-alike must still compare with it safely.
        NodePtr a = item("A"), b = item("B");
        b->set(key::children, a->value(key::children));
        withChildren(a, {item("x")});
        NodePtr lookAlike = item("x");
        lookAlike->set(key::category, "other");
        NodePtr root = withChildren(Dict::create(), {a, b, lookAlike});
        SeenNodes seen;
        fixDuplicateNodes(*root, seen);
        QVERIFY(childrenOf(*a)->items.empty());
        QCOMPARE(names(*root), (QStringList{"A", "B", "x"}));
    }

    void timestampRepairKeepsTheInstant() {
        test::FixedClock clock(test::localTime("2024-06-01 08:00:00"));
        NodePtr node = item("x");
        // 2001-01-01 12:00:00 UTC as a calendar date in New York keeps its own zone.
        node->set(key::due, CalendarDate{43200.0, TimeZone{"America/New_York", std::nullopt}, std::nullopt});
        node->set(key::dateCreated, Date{43200.0});
        NodePtr child = item("child");
        child->set(key::dateCompleted, Date{0.0});
        childrenOf(*node)->items.push_back(child);
        fixTimeStamps(*node);
        QCOMPARE(*node->value(key::due).asString(), QStringLiteral("2001-01-01 07:00:00 -0500"));
        const QString created = *node->value(key::dateCreated).asString();
        QCOMPARE(parseStoredDate(created)->toUTC(), QDateTime(QDate(2001, 1, 1), QTime(12, 0), Qt::UTC));
        QCOMPARE(parseStoredDate(created)->offsetFromUtc(),
                 dateTimeFromReferenceSeconds(43200).toLocalTime().offsetFromUtc());
        QVERIFY(child->value(key::dateCompleted).isString());
    }

    void cleanForExportStripsDisplayKeysAndFlattensNotes() {
        NodePtr node = item("x");
        for (const QString* k :
             {&key::icon, &key::thisIconOnly, &key::fontName, &key::fontSize, &key::color,
              &key::minderTimestampTodo, &key::minderTimestampReminder, &key::reminderMark})
            node->set(*k, "v");
        node->set(key::reminderSet, Value::boolean(true));
        node->set(key::notes, Value::data("rich"));
        NodePtr child = item("child");
        child->set(key::notes, Value::data("broken"));
        childrenOf(*node)->items.push_back(child);
        cleanForExport(*node, [](const QByteArray& bytes) -> std::optional<QString> {
            return bytes == "rich" ? std::optional<QString>(QStringLiteral("plain")) : std::nullopt;
        });
        QStringList keys;
        for (const auto& entry : node->entries)
            keys << entry.first;
        QCOMPARE(keys,
                 (QStringList{key::name, key::dateCreated, key::children, key::reminderSet, key::notes}));
        QCOMPARE(*node->value(key::notes).asString(), QStringLiteral("plain"));
        QCOMPARE(*child->value(key::notes).asData(), QByteArray("broken"));
    }

    void categoryListsMergeDeduplicateAndSort() {
        NodePtr root =
            withChildren(item("root"), {item("1"), item("2"), withChildren(item("3"), {item("4")})});
        const char* cats[] = {"b", "A", "", "b"};
        int i = 0;
        for (const Value& v : childrenOf(*root)->items)
            v.asDict()->set(key::category, cats[i++]);
        childrenOf(*childrenOf(*root)->items[2].asDict())->items[0].asDict()->set(key::category, cats[3]);
        const QStringList global = categoryNames(*root, {"a", "b"});
        QCOMPARE(global.size(), 3);
        QCOMPARE(global.last(), QStringLiteral("b"));
        QVERIFY(global.contains("a") && global.contains("A"));
        QCOMPARE(categoryNames(*root, {}), (QStringList{"A", "b"}));
    }
};

QTEST_GUILESS_MAIN(TestTreeOperations)
#include "tst_tree_operations.moc"
