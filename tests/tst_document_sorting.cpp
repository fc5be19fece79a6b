#include "document/icon_rules.h"
#include "document/node_comparators.h"
#include "document/undo_manager.h"
#include "document_fixture.h"
#include "platform/user_defaults.h"
#include "test_support.h"

#include <QTest>

#include <random>

using namespace tardigo;
using namespace tardigo::test;

namespace {

using Compare = int (*)(const Dict&, const Dict&);

/// The names after sorting the root's children ascending by the column.
QStringList sortedNames(const NodePtr& root, const QString& column, int direction = 1) {
    sortChildrenByColumn(*root, column, direction);
    return childNames(*root);
}

} // namespace

Q_DECLARE_METATYPE(Compare)

class TestSorting : public QObject {
    Q_OBJECT
    std::unique_ptr<FixedClock> _clock;

private slots:
    void init() {
        UserDefaults::standard().useMemoryOnly();
        _clock = std::make_unique<FixedClock>(localTime(QStringLiteral("2024-03-10 12:00:00")));
        IconRules::setMostRecentlyCreatedItem(nullptr);
    }
    void cleanup() { _clock.reset(); }

    void missingValuesSortLastFromEitherSide_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<Compare>("compare");
        QTest::addColumn<Value>("low");
        QTest::addColumn<Value>("high");
        QTest::addColumn<Value>("missing");
        QTest::newRow("name") << QString(key::name) << Compare(VKcompare_name) << Value("apple")
                              << Value("Banana") << Value("");
        QTest::newRow("category") << QString(key::category) << Compare(VKcompare_category) << Value("a")
                                  << Value("B") << Value("");
        QTest::newRow("due by time of day")
            << QString(key::due) << Compare(VKcompare_due) << Value("2024-03-11 09:00:00 +0100")
            << Value("2024-03-11 17:30:00 +0100") << Value("");
        QTest::newRow("due across zones")
            << QString(key::due) << Compare(VKcompare_due) << Value("2024-03-11 13:00:00 +0200")
            << Value("2024-03-11 11:30:00 +0000") << Value("next tuesday");
        QTest::newRow("notes") << QString(key::notes) << Compare(VKcompare_notes) << notesData("alpha")
                               << notesData("Beta") << Value();
        QTest::newRow("notes without text") << QString(key::notes) << Compare(VKcompare_notes)
                                            << notesData("z") << Value::data(QByteArray()) << Value();
    }
    void missingValuesSortLastFromEitherSide() {
        QFETCH(QString, column);
        QFETCH(Compare, compare);
        QFETCH(Value, low);
        QFETCH(Value, high);
        QFETCH(Value, missing);
        const auto item = [&](const char* name, const Value& v) {
            NodePtr node = makeItem(name);
            if (!v.isNil())
                node->set(column, v);
            else
                node->remove(column);
            return node;
        };
        const NodePtr a = item("a", low), b = item("b", high), m = item("m", missing),
                      absent = item("n", Value());
        if (column == key::name)
            absent->remove(key::name);
        QCOMPARE(compare(*a, *b), -1);
        QCOMPARE(compare(*b, *a), 1);
        QCOMPARE(compare(*m, *a), 1);
        QCOMPARE(compare(*a, *m), -1);
        QCOMPARE(compare(*absent, *b), 1);
        QCOMPARE(compare(*b, *absent), -1);
        QCOMPARE(compare(*a, *a), 0);
    }

    void sortingKeepsExactlyTheOrderOfTheComparisons() {
        // A tree where every column has ties, missing values and values of odd kinds.
        std::mt19937 random(7);
        const auto pick = [&](std::initializer_list<Value> values) {
            return *(values.begin() + random() % values.size());
        };
        const NodePtr reference = makeRoot();
        std::vector<NodePtr> parents{reference};
        for (int i = 0; i < 300; ++i) {
            const NodePtr item = makeItem(
                "", {{key::name, pick({"apple", "Apple", "b", "", "Äpfel", "zebra", "10", "9"})},
                     {key::category, pick({"Home", "home", "", "Work", Value::integer(3)})},
                     {key::due, pick({"2024-03-11 09:00:00 +0100", "2024-03-11 08:30:00 +0000", "", "soon",
                                      "2023-01-01 00:00:00 +0000"})},
                     {key::completion,
                      pick({Value::real(0.5), Value::boolean(true), Value::integer(0), Value("x")})},
                     {key::notes, pick({notesData("b"), notesData("A"), Value::data(""), Value()})}});
            if (item->value(key::notes).isNil())
                item->remove(key::notes);
            appendChild(*parents[random() % parents.size()], item);
            parents.push_back(item);
        }
        const Compare orders[] = {VKcompare_icon, VKcompare_name,       VKcompare_category,
                                  VKcompare_due,  VKcompare_completion, VKcompare_notes};
        const QString columns[] = {key::icon, key::name,       key::category,
                                   key::due,  key::completion, key::notes};
        for (int c = 0; c < 6; ++c) {
            for (const int direction : {1, -1}) {
                const NodePtr sorted = reference->deepCopy(), expected = reference->deepCopy();
                QVERIFY(sortChildrenByColumn(*sorted, columns[c], direction));
                VKsortChildrenByKey(*expected, orders[c], direction);
                QVERIFY2(sorted->equals(*expected), qPrintable(columns[c]));
            }
        }
        QVERIFY(!sortChildrenByColumn(*reference, QStringLiteral("color"), 1));
    }

    void notesOrderTextThenEmptyThenAbsent() {
        const NodePtr root =
            makeRoot({makeItem("absent"), makeItem("empty", {{key::notes, Value::data(QByteArray())}}),
                      makeItem("zed", {{key::notes, notesData("Zed")}}),
                      makeItem("garbage", {{key::notes, Value::data("not rtfd")}}),
                      makeItem("ant", {{key::notes, notesData("ant")}})});
        const QStringList names = sortedNames(root, key::notes);
        QCOMPARE(names.mid(0, 2), (QStringList{"ant", "zed"}));
        QCOMPARE(names.last(), QStringLiteral("absent"));
    }

    void completionOrdersNumbersOfEveryKind() {
        const NodePtr root =
            makeRoot({makeItem("done", {{key::completion, Value::boolean(true)}}),
                      makeItem("half", {{key::completion, Value::real(0.5)}}), makeItem("none"),
                      makeItem("int", {{key::completion, Value::integer(0)}})});
        childrenOf(*root)->items[2].asDict()->remove(key::completion);
        const QStringList names = sortedNames(root, key::completion);
        QCOMPARE(names.mid(2), (QStringList{"half", "done"}));
    }

    void iconSortPutsNewFirstAndCheckmarkLast() {
        DictPtr conditions = Dict::create();
        conditions->set(QStringLiteral("vk_newitem"), Value::integer(IconStatusNew));
        conditions->set(QStringLiteral("vk_checkmark"), Value::integer(IconStatusCompleted));
        conditions->set(QStringLiteral("vk_time"), Value::integer(IconStatusHasDueDate));
        conditions->set(QStringLiteral("vk_Bubble"), Value::integer(IconStatusHasNotes));
        conditions->set(QStringLiteral("vk_notdone"), Value::integer(IconStatusDefault));
        UserDefaults::standard().setObject(pref::todoItemIconConditions, conditions);
        const NodePtr fresh = makeItem("fresh");
        IconRules::setMostRecentlyCreatedItem(fresh);
        const NodePtr root =
            makeRoot({makeItem("done", {{key::completion, Value::boolean(true)}}),
                      makeItem("due", {{key::due, "2030-01-01 00:00:00 +0000"}}), makeItem("plain"), fresh,
                      makeItem("noted", {{key::notes, notesData("n")}})});
        QCOMPARE(sortedNames(root, key::icon), (QStringList{"fresh", "noted", "plain", "due", "done"}));
        QCOMPARE(sortedNames(root, key::icon, -1), (QStringList{"done", "due", "plain", "noted", "fresh"}));
    }

    void everyLevelIsSortedDescendingWithMissingFirst() {
        const NodePtr parent = makeItem("b");
        appendChild(*parent, makeItem("y"));
        appendChild(*parent, makeItem(""));
        appendChild(*parent, makeItem("x"));
        const NodePtr root = makeRoot({makeItem("a"), parent, makeItem("")});
        QCOMPARE(sortedNames(root, key::name, -1), (QStringList{"", "b", "a"}));
        QCOMPARE(childNames(*parent), (QStringList{"", "y", "x"}));
    }

    void headerClicksRememberEachColumnsDirection() {
        OpenList list{makeItem("b", {{key::category, "x"}}), makeItem("a", {{key::category, "y"}}),
                      makeItem("c", {{key::category, ""}})};
        HeadlessOutline& outline = list.outline();
        const auto click = [&](const QString& column) {
            QVERIFY(!list.document.outlineViewShouldSelectTableColumn(column));
            OpenList::endEvent();
        };
        click(key::category);
        QCOMPARE(list.rowNames(), (QStringList{"b", "a", "c"}));
        QCOMPARE(outline.indicatorImage(key::category), SortIndicator::Ascending);
        QCOMPARE(outline.highlightedTableColumn(), QString(key::category));
        click(key::category);
        QCOMPARE(list.rowNames(), (QStringList{"c", "a", "b"}));
        QCOMPARE(outline.indicatorImage(key::category), SortIndicator::Descending);
        click(key::name);
        QCOMPARE(list.rowNames(), (QStringList{"a", "b", "c"}));
        QCOMPARE(outline.indicatorImage(key::category), SortIndicator::None);
        QCOMPARE(outline.indicatorImage(key::name), SortIndicator::Ascending);
        click(key::category);
        QCOMPARE(list.rowNames(), (QStringList{"c", "a", "b"}));
        click(key::category);
        QCOMPARE(list.rowNames(), (QStringList{"b", "a", "c"}));

        // The list remembers the sorted column and every direction.
        const DictPtr directions = list.root().value(key::columnSortDirections).asDict();
        QCOMPARE(directions->value(key::category), Value::integer(1));
        QCOMPARE(directions->value(key::name), Value::integer(1));
        QCOMPARE(directions->value(key::due), Value::integer(0));
        QCOMPARE(list.root().value(key::sortedColumn), Value(key::category));
        QVERIFY(list.document.isDocumentEdited());
        QVERIFY(!list.document.undoManager().canUndo());
    }

    void sortingKeepsTheSelectionAndScrollsToIt() {
        OpenList list{makeItem("d"), makeItem("c"), makeItem("b"), makeItem("a")};
        list.select({0, 2}); // d, b
        const int renders = list.window.renders;
        list.document.outlineViewShouldSelectTableColumn(key::name);
        OpenList::endEvent();
        QCOMPARE(list.rowNames(), (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(list.selectedNames(), (QStringList{"b", "d"}));
        QCOMPARE(list.outline().lastScrolledRow(), 3); // the row of d, selected first
        QCOMPARE(list.window.renders, renders);
    }

    void switchingSortingOffKeepsTheOrder() {
        OpenList list{makeItem("b"), makeItem("a")};
        list.document.outlineViewShouldSelectTableColumn(key::name);
        list.document.endColumnSorting();
        QCOMPARE(list.rowNames(), (QStringList{"a", "b"}));
        QVERIFY(!list.root().contains(key::sortedColumn));
        QCOMPARE(list.outline().indicatorImage(key::name), SortIndicator::None);
        QCOMPARE(list.outline().highlightedTableColumn(), QString());
        QCOMPARE(list.document.lastSortedTableColumn(), std::nullopt);
        // The direction stays: the next click on the column sorts it the same way.
        QCOMPARE(list.outline().headerTag(key::name), 1);
        list.root().value(key::children).asArray()->items.push_back(makeItem("0"));
        list.document.outlineViewShouldSelectTableColumn(key::name);
        QCOMPARE(childNames(list.root()), (QStringList{"0", "a", "b"}));
    }

    void aListSavedSortedOpensWithItsArrowAndOrder() {
        const auto savedSorted = [](Dict& root) {
            root.set(key::sortedColumn, key::name);
            root.value(key::columnSortDirections).asDict()->set(key::name, Value::integer(-1));
            root.value(key::columnSortDirections).asDict()->set(key::due, Value::integer(1));
        };
        OpenList list({makeItem("b"), makeItem("a")}, savedSorted);
        QCOMPARE(list.rowNames(), (QStringList{"b", "a"}));
        QCOMPARE(list.outline().indicatorImage(key::name), SortIndicator::Descending);
        QCOMPARE(list.outline().headerTag(key::due), 1);
        QCOMPARE(list.document.lastSortedTableColumn(), std::optional<QString>(key::name));
        QVERIFY(!list.document.isDocumentEdited());
        // A second click on the sorted column flips it.
        list.document.outlineViewShouldSelectTableColumn(key::name);
        QCOMPARE(list.rowNames(), (QStringList{"a", "b"}));
    }
};

QTEST_GUILESS_MAIN(TestSorting)
#include "tst_document_sorting.moc"
