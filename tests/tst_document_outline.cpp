#include "document_fixture.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const Value kDone = Value::boolean(true);

/// A complete parent with an open child; an open parent with two complete children (true and the
/// integer 1) and one at 0.999; an open parent whose only child is complete.
std::vector<NodePtr> families() {
    const NodePtr doneParent = makeItem("done parent", {{key::completion, Value::float32(1.0)}});
    appendChild(*doneParent, makeItem("open under done"));
    const NodePtr mixed = makeItem("mixed");
    appendChild(*mixed, makeItem("mixed done 1", {{key::completion, kDone}}));
    appendChild(*mixed, makeItem("mixed open", {{key::completion, Value::float32(0.999)}}));
    appendChild(*mixed, makeItem("mixed done 2", {{key::completion, Value::integer(1)}}));
    const NodePtr allDone = makeItem("all done");
    appendChild(*allDone, makeItem("all done child", {{key::completion, kDone}}));
    return {doneParent, mixed, allDone};
}

} // namespace

class TestOutline : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void hideCompletedHidesWholeSubtrees() {
        const std::vector<NodePtr> items = families();
        OpenList list{items[0], items[1], items[2]};
        QCOMPARE(list.rows().size(), size_t(8));
        list.select({"mixed", "mixed done 1", "mixed open"});
        list.document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(list.rowNames(), (QStringList{"mixed", "mixed open", "all done"}));
        QVERIFY(!list.model().hasChildren(list.model().indexOfItem(items[2].get())));
        QCOMPARE(list.selectedNames(), (QStringList{"mixed", "mixed open"}));
        QVERIFY(list.document.isDocumentEdited());
        QVERIFY(list.document.display().hideCompletedChecked);

        list.document.outlineCommands().toggleHideCompletedItems(false);
        QVERIFY(!list.root().contains(key::filterKey));
        QCOMPARE(list.root().value(key::filterValue), Value::integer(1));
        QCOMPARE(list.rows().size(), size_t(8));
        QCOMPARE(list.selectedNames(), (QStringList{"mixed", "mixed open"}));
        QVERIFY(!list.document.display().hideCompletedChecked);
    }

    void termFilterSearchesNameCategoryAndNotes() {
        const NodePtr parent = makeItem("Groceries", {{key::category, "home"}});
        appendChild(*parent, makeItem("milk"));
        const auto search = [](const QString& term) {
            return [term](Dict& root) { root.set(key::filterTerm, term); };
        };
        const auto rowsFound = [&](const QString& term, bool hideCompleted) {
            OpenList list({parent, makeItem("call Bob", {{key::category, "Work"}}),
                           makeItem("taxes", {{key::notes, notesData("ask about WORK expenses")}}),
                           makeItem("work out", {{key::completion, kDone}})},
                          search(term));
            list.document.outlineCommands().toggleHideCompletedItems(hideCompleted);
            return list.rowNames();
        };
        QCOMPARE(rowsFound("work", false), (QStringList{"call Bob", "taxes", "work out"}));
        QCOMPARE(rowsFound("work", true), (QStringList{"call Bob", "taxes"})); // both filters must pass
        QCOMPARE(rowsFound("bobwork", false), QStringList());                  // name and category are apart
        QCOMPARE(rowsFound("s h", false), QStringList{"Groceries"});
    }

    void columnSwitchesOnlyTheOptionalColumns() {
        OpenList list{makeItem("a")};
        for (const Column column : {Column::Icon, Column::Name})
            list.document.outlineCommands().toggleColumnVisibility(column);
        QCOMPARE(list.document.outlineSettings().columns().size(), 6);
        QVERIFY(!list.document.isDocumentEdited());

        list.document.sorting().headerClicked(Column::Due);
        list.document.outlineCommands().toggleColumnVisibility(Column::Due);
        QVERIFY(!list.document.outlineSettings().hasColumn(Column::Due));
        QVERIFY(!list.root().contains(key::sortedColumn));
        list.document.outlineCommands().toggleColumnVisibility(Column::Due);
        QCOMPARE(list.document.outlineSettings().columns().last(), Column::Due);
        QVERIFY(!list.root().contains(key::sortedColumn));
    }

    void cellsShowWhatTheUserExpects() {
        const NodePtr item = makeItem("a", {{key::notes, Value::data(QByteArray())}, {key::due, "tomorrow"}});
        OpenList list{item};
        const auto cell = [&](Column column) { return list.document.cellValue(column, item); };
        QVERIFY(std::holds_alternative<std::monostate>(cell(Column::Notes)));
        QVERIFY(std::holds_alternative<std::monostate>(cell(Column::Due)));
        QVERIFY(std::holds_alternative<std::monostate>(cell(Column::Category)));
        item->set(key::notes, notesData("buy milk"));
        item->set(key::due, QStringLiteral("2024-03-11 08:00:00 +0100"));
        QCOMPARE(std::get<RichText>(cell(Column::Notes)).plainText, QStringLiteral("buy milk"));
        QCOMPARE(std::get<QDateTime>(cell(Column::Due)), localTime(QStringLiteral("2024-03-11 08:00:00")));
        QCOMPARE(std::get<Value>(cell(Column::Icon)), Value("vk_time"));
    }

    void theSelectionHoldsWhatTheFiltersShow() {
        const NodePtr parent = makeItem("parent"), child = makeItem("child"), last = makeItem("last");
        appendChild(*parent, child);
        const NodePtr done = makeItem("done", {{key::completion, kDone}});
        OpenList list{parent, done, last};
        list.document.outlineCommands().toggleHideCompletedItems(true);
        list.selection().selectItems({last, child, done, parent});
        QCOMPARE(list.selectedNames(), (QStringList{"parent", "child", "last"})); // in the outline's order
        QCOMPARE(list.selection().lastSelectedItem(), parent); // the one selected last, whatever its row

        // A filter that hides selected rows takes them out of the selection.
        list.selection().selectItems({child});
        list.document.setSearchText(QStringLiteral("last"));
        QVERIFY(list.selectedNames().isEmpty());
        QCOMPARE(list.selection().lastSelectedItem(), NodePtr());
    }
};

QTEST_GUILESS_MAIN(TestOutline)
#include "tst_document_outline.moc"
