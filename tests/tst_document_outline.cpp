#include "document/outline_view.h"
#include "document_fixture.h"
#include "platform/user_defaults.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const Value kDone = Value::boolean(true);

/// Three families: a complete parent with an open child, an open parent with two complete and one
/// open child, an open parent whose children are all complete.
std::vector<NodePtr> families() {
    const NodePtr doneParent = makeItem("done parent", {{key::completion, Value::real(1.0)}});
    appendChild(*doneParent, makeItem("open under done"));
    const NodePtr mixed = makeItem("mixed");
    appendChild(*mixed, makeItem("mixed done 1", {{key::completion, kDone}}));
    appendChild(*mixed, makeItem("mixed open", {{key::completion, Value::real(0.999)}}));
    appendChild(*mixed, makeItem("mixed done 2", {{key::completion, Value::integer(1)}}));
    const NodePtr allDone = makeItem("all done");
    appendChild(*allDone, makeItem("all done child", {{key::completion, kDone}}));
    return {doneParent, mixed, allDone};
}

} // namespace

class TestOutline : public QObject {
    Q_OBJECT
    std::unique_ptr<FixedClock> _clock;

private slots:
    void init() {
        UserDefaults::standard().useMemoryOnly();
        _clock = std::make_unique<FixedClock>(localTime(QStringLiteral("2024-03-10 12:00:00")));
    }
    void cleanup() { _clock.reset(); }

    void hideCompletedHidesWholeSubtrees() {
        const std::vector<NodePtr> items = families();
        OpenList list{items[0], items[1], items[2]};
        list.document.expandAll();
        QCOMPARE(list.rowNames(), (QStringList{"done parent", "open under done", "mixed", "mixed done 1",
                                               "mixed open", "mixed done 2", "all done", "all done child"}));
        // Unfiltered, the data source hands out the stored array itself.
        QCOMPARE(list.document.filteredChildrenOfItem(nullptr), childrenOf(list.root()));

        list.document.toggleHideCompletedItems(true);
        QCOMPARE(list.rowNames(), (QStringList{"mixed", "mixed open", "all done"}));
        QVERIFY(list.document.isItemExpandable(items[1]));
        QVERIFY(!list.document.isItemExpandable(items[2]));
        QCOMPARE(list.document.numberOfChildrenOfItem(items[1]), 1);
        QCOMPARE(list.document.childOfItem(1, items[1]), NodePtr());
        QVERIFY(list.document.filteredChildrenOfItem(nullptr) != childrenOf(list.root()));
        QVERIFY(list.window.visible);
        QVERIFY(list.document.display().hideCompletedChecked);
        QCOMPARE(list.document.display().hideCompletedTitle, QStringLiteral("Hide"));

        list.document.toggleHideCompletedItems(false);
        QVERIFY(!list.root().contains(key::filterKey));
        QCOMPARE(list.root().value(key::filterValue), Value::integer(1));
        QCOMPARE(list.outline().numberOfRows(), 8);
        QCOMPARE(list.document.display().hideCompletedTitle, QStringLiteral("Show"));
    }

    void hidingKeepsTheVisibleSelectionAndMarksTheListChanged() {
        const std::vector<NodePtr> items = families();
        OpenList list{items[0], items[1], items[2]};
        list.document.expandAll();
        list.select({2, 3, 4}); // mixed, mixed done 1, mixed open
        QVERIFY(!list.document.isDocumentEdited());
        list.document.toggleHideCompletedItems(true);
        QCOMPARE(list.selectedNames(), (QStringList{"mixed", "mixed open"}));
        QVERIFY(list.document.isDocumentEdited());
        list.document.toggleHideCompletedItems(false);
        QCOMPARE(list.selectedNames(), (QStringList{"mixed", "mixed open"}));
    }

    void emptyListsAndLeaves() {
        OpenList list;
        list.root().remove(key::children);
        list.document.outlineViewReload();
        QCOMPARE(list.outline().numberOfRows(), 0);
        QCOMPARE(list.document.numberOfChildrenOfItem(makeItem("leaf")), 0);
        const NodePtr bare = Dict::create();
        QVERIFY(!list.document.isItemExpandable(bare));
    }

    void termFilterSearchesNameCategoryAndNotes() {
        const NodePtr parent = makeItem("Groceries", {{key::category, "home"}});
        appendChild(*parent, makeItem("milk"));
        OpenList list{parent, makeItem("call Bob", {{key::category, "Work"}}),
                      makeItem("taxes", {{key::notes, notesData("ask the accountant about WORK expenses")}}),
                      makeItem("work out", {{key::completion, kDone}})};
        list.document.expandAll();
        list.root().set(key::filterTerm, QStringLiteral("work"));
        list.document.outlineViewReload();
        QCOMPARE(list.rowNames(), (QStringList{"call Bob", "taxes", "work out"}));
        // Both filters on: an item must pass both.
        list.document.toggleHideCompletedItems(true);
        QCOMPARE(list.rowNames(), (QStringList{"call Bob", "taxes"}));
        // Name and category are joined by a space, so a term does not match across them.
        list.root().set(key::filterTerm, QStringLiteral("bobwork"));
        list.document.outlineViewReload();
        QCOMPARE(list.rowNames(), QStringList());
        list.root().set(key::filterTerm, QStringLiteral("s h"));
        list.document.outlineViewReload();
        QCOMPARE(list.rowNames(), (QStringList{"Groceries"}));
    }

    void columnSwitchesOnlyTheOptionalColumns() {
        OpenList list{makeItem("a")};
        for (const int tag : {0, 1, 6}) {
            list.document.toggleColumnVisibility(tag);
            QCOMPARE(list.outline().tableColumnIdentifiers().size(), 6);
        }
        QVERIFY(!list.document.isDocumentEdited());

        list.document.outlineViewShouldSelectTableColumn(key::due);
        QCOMPARE(list.root().value(key::sortedColumn), Value(key::due));
        list.document.toggleColumnVisibility(3);
        QVERIFY(!list.outline().containsTableColumn(key::due));
        QVERIFY(!list.root().contains(key::sortedColumn));
        list.document.toggleColumnVisibility(3);
        QCOMPARE(list.outline().tableColumnIdentifiers().last(), QString(key::due));
        QVERIFY(!list.root().contains(key::sortedColumn));
        QVERIFY(list.document.isDocumentEdited());
    }

    void cellsShowWhatTheUserExpects() {
        const NodePtr item = makeItem("a", {{key::notes, Value::data(QByteArray())}, {key::due, "tomorrow"}});
        OpenList list{item};
        QVERIFY(std::holds_alternative<std::monostate>(
            list.document.objectValueForTableColumn(key::notes, item)));
        QVERIFY(
            std::holds_alternative<std::monostate>(list.document.objectValueForTableColumn(key::due, item)));
        item->set(key::notes, notesData("buy milk"));
        item->set(key::due, QStringLiteral("2024-03-11 08:00:00 +0100"));
        QCOMPARE(std::get<RichText>(list.document.objectValueForTableColumn(key::notes, item)).plainText,
                 QStringLiteral("buy milk"));
        QCOMPARE(std::get<QDateTime>(list.document.objectValueForTableColumn(key::due, item)),
                 localTime(QStringLiteral("2024-03-11 08:00:00")));
        QCOMPARE(std::get<Value>(list.document.objectValueForTableColumn(key::icon, item)), Value("vk_time"));
        QCOMPARE(std::get<Value>(list.document.objectValueForTableColumn(key::name, item)), Value("a"));
        QVERIFY(std::holds_alternative<std::monostate>(
            list.document.objectValueForTableColumn(key::category, item)));
    }

    void selectionHelpersSkipWhatIsNotShown() {
        const NodePtr parent = makeItem("parent");
        const NodePtr child = makeItem("child");
        appendChild(*parent, child);
        const NodePtr done = makeItem("done", {{key::completion, kDone}});
        OpenList list{parent, done, makeItem("last")};
        list.document.toggleHideCompletedItems(true);
        VKselectItems(list.outline(), {childrenOf(list.root())->items[2].asDict(), child, done, parent});
        QCOMPARE(list.selectedNames(), (QStringList{"parent", "last"}));
        // The item selected last is the selected item, whatever its row.
        QCOMPARE(nameOf(*VKselectedItem(list.outline())), QStringLiteral("parent"));

        list.document.expandAll();
        list.select({1});
        QCOMPARE(list.selectedNames(), QStringList{"child"});
        list.document.collapseAll();
        QCOMPARE(list.rowNames(), (QStringList{"parent", "last"}));
        QCOMPARE(VKselectedItem(list.outline()), NodePtr());
        QVERIFY(VKallSelectedItems(list.outline()).empty());
    }
};

QTEST_GUILESS_MAIN(TestOutline)
#include "tst_document_outline.moc"
