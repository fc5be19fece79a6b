#include "gui_test_support.h"

#include "desktop_app/document_controller.h"
#include "document/inspector_commands.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/outline_model.h"
#include "window/outline_tree_view.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

QByteArray notesSaying(const QString& text) {
    TextRun run;
    run.text = text;
    return encodeNotes(RichText::fromRuns({run}));
}

/// The rows the outline must show: the document's filtered tree, children after each expanded item.
std::vector<NodePtr> expectedRows(const TardigoDocument& document, const OutlineTreeView& outline) {
    std::vector<NodePtr> rows;
    std::vector<std::pair<ArrayPtr, size_t>> levels{{document.visibleChildren(nullptr), 0}};
    while (!levels.empty()) {
        auto& [list, next] = levels.back();
        if (next == list->items.size()) {
            levels.pop_back();
            continue;
        }
        const NodePtr child = list->items[next++].asDict();
        if (!child)
            continue;
        rows.push_back(child);
        if (outline.isItemExpanded(child.get()))
            levels.emplace_back(document.visibleChildren(child), 0);
    }
    return rows;
}

/// Whether every shown item the model gives an index for is given it at its place now, parent
/// included, before the view asks for any row again.
bool knownIndexesArePlacesNow(const TardigoDocument& document, const OutlineModel& model) {
    std::vector<NodePtr> parents{nullptr};
    while (!parents.empty()) {
        const NodePtr parent = parents.back();
        parents.pop_back();
        const ArrayPtr children = document.visibleChildren(parent);
        for (int row = 0; row < int(children->size()); ++row) {
            const NodePtr child = children->items[size_t(row)].asDict();
            const QModelIndex index = model.indexOfItem(child.get());
            if (index.isValid() && (index.row() != row || model.itemForIndex(model.parent(index)) != parent))
                return false;
            parents.push_back(child);
        }
    }
    return true;
}

/// The rows as Qt's view sees the model: each index's item, parent and place checked on the way.
std::vector<NodePtr> rowsThroughTheModel(const OutlineModel& model, const OutlineTreeView& outline) {
    std::vector<NodePtr> rows;
    const auto walk = [&](const auto& self, const QModelIndex& parent) -> void {
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex index = model.index(row, 0, parent);
            const NodePtr item = model.itemForIndex(index);
            if (!item || model.parent(index) != parent || model.indexOfItem(item.get()) != index)
                rows.push_back(nullptr); // the comparison with the expected rows fails
            rows.push_back(item);
            if (outline.isExpanded(index))
                self(self, index);
        }
    };
    walk(walk, QModelIndex());
    return rows;
}

} // namespace

class TestOutlineModel : public QObject {
    Q_OBJECT

    std::unique_ptr<DocumentController> _controller;
    std::unique_ptr<QAbstractItemModelTester> _tester;
    DocumentMainWindow* _window = nullptr;

    // A window over these top-level items, with the model checked after every change.
    OutlineTreeView& show(const std::vector<NodePtr>& items) {
        _window = _controller->newUntitledDocument();
        const NodePtr& root = _window->document().data();
        for (const NodePtr& node : items)
            childrenOf(*root)->items.push_back(node);
        _window->document().updateUI();
        _tester = std::make_unique<QAbstractItemModelTester>(
            &_window->outline().outlineModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        return _window->outline();
    }
    static std::vector<NodePtr> numbered(int count) {
        std::vector<NodePtr> items;
        for (int i = 0; i < count; ++i)
            items.push_back(item(QStringLiteral("item %1").arg(i, 3, 10, QLatin1Char('0'))));
        return items;
    }

private slots:
    void initTestCase() { setUpGuiTest(); }
    void init() { _controller = std::make_unique<DocumentController>(); }
    void cleanup() {
        _tester.reset();
        _controller.reset();
    }

    void anInsertedRowKeepsExpansionSelectionAndScroll() {
        std::vector<NodePtr> items = numbered(150);
        const NodePtr grandchild = item("grandchild");
        const NodePtr child = item("child", 0.0, {grandchild});
        items[3] = item("parent", 0.0, {child, item("sibling")});
        OutlineTreeView& outline = show(items);
        outline.expandItem(items[3], true);
        QCOMPARE(outline.rowForItem(grandchild.get()), 5);
        clickCell(outline, 5, key::icon);
        clickCell(outline, 7, key::icon, Qt::ControlModifier);
        outline.verticalScrollBar()->setValue(outline.verticalScrollBar()->maximum() / 2);
        const int scrolled = outline.verticalScrollBar()->value();
        QVERIFY(scrolled > 0);

        QSignalSpy resets(&outline.outlineModel(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&outline.outlineModel(), &QAbstractItemModel::rowsInserted);
        childrenOf(*_window->document().data())
            ->items.insert(childrenOf(*_window->document().data())->items.begin(), item("new first"));
        outline.reloadAll();

        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserts.count(), 1);
        QCOMPARE(inserts.first().at(1).toInt(), 0);
        QCOMPARE(outline.rowForItem(grandchild.get()), 6);
        QVERIFY(outline.isExpanded(outline.indexForRow(outline.rowForItem(child.get()), key::icon)));
        QCOMPARE(outline.selectedRows(), (std::vector<int>{6, 8}));
        QCOMPARE(outline.itemAtRow(outline.selectedRow()), items[4]); // the row selected last
        QCOMPARE(outline.verticalScrollBar()->value(), scrolled);
    }

    void aReloadOfTheSameShapeOnlyRedraws() {
        const NodePtr hidden = item("done child", 1.0);
        const NodePtr parent = item("parent", 0.0, {hidden});
        OutlineTreeView& outline = show({parent, item("b")});
        QSignalSpy resets(&outline.outlineModel(), &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&outline.outlineModel(), &QAbstractItemModel::layoutChanged);
        QSignalSpy inserts(&outline.outlineModel(), &QAbstractItemModel::rowsInserted);

        clickCell(outline, 1, key::icon);
        _window->document().updateUI();
        QCOMPARE(resets.count() + layouts.count() + inserts.count(), 0);

        // Hiding the only child of a collapsed item takes its disclosure away: that row alone leaves.
        QSignalSpy removals(&outline.outlineModel(), &QAbstractItemModel::rowsRemoved);
        _window->document().outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(removals.count(), 1);
        QVERIFY(!outline.outlineModel().hasChildren(outline.indexForRow(0, key::icon)));
        QCOMPARE(outline.selectedRows(), std::vector<int>{1});
    }

    void anItemsNewValueRedrawsItsRowOnly() {
        const NodePtr child = item("child");
        const NodePtr parent = item("parent", 0.0, {child});
        OutlineTreeView& outline = show({parent});
        outline.expandItem(parent, false);
        QSignalSpy changes(&outline.outlineModel(), &QAbstractItemModel::dataChanged);
        child->set(key::name, "renamed");
        outline.reloadItem(child);
        QCOMPARE(changes.count(), 1);
        const QModelIndex first = changes.at(0).at(0).toModelIndex();
        const QModelIndex last = changes.at(0).at(1).toModelIndex();
        QCOMPARE(outline.outlineModel().itemForIndex(first), child);
        QCOMPARE(first.parent(), outline.indexForRow(0, key::icon));
        QCOMPARE(last.column(), outline.outlineModel().columnCount() - 1);
        QCOMPARE(first.data().toString(), QString()); // the icon column shows no text
        QCOMPARE(first.siblingAtColumn(1).data().toString(), QStringLiteral("renamed"));
    }

    void anIndexFromBeforeAChangeReachesNoOtherItem() {
        const NodePtr child = item("child");
        OutlineTreeView& outline = show({item("a", 0.0, {child}), item("b")});
        OutlineModel& model = outline.outlineModel();
        outline.expandItem(outline.itemAtRow(0), false);
        const QModelIndex oldChild = outline.indexForRow(1, key::name);
        const QModelIndex oldB = outline.indexForRow(2, key::name);
        QCOMPARE(model.itemForIndex(oldChild), child);

        // The rows leave and new items take the places they held in the model.
        TardigoDocument& document = _window->document();
        outline.selectItems({child, outline.itemAtRow(2)});
        document.itemCommands().deleteItem();
        document.itemCommands().newItemWithName("c");
        document.itemCommands().newItemWithName("d");
        QCOMPARE(rowNames(outline), (QStringList{"a", "c", "d"}));
        for (int row = 0; row < outline.numberOfRows(); ++row)
            QVERIFY(outline.indexForRow(row, key::name).isValid());
        QVERIFY(!model.itemForIndex(oldChild));
        QVERIFY(!model.itemForIndex(oldB));
        QVERIFY(!model.parent(oldChild).isValid());
        QCOMPARE(model.rowCount(oldB), 0);
        QVERIFY(!model.index(0, 0, oldB).isValid());
        QVERIFY(!model.setData(oldB, QStringLiteral("renamed")));
        QVERIFY(!findItem(*document.data(), "renamed"));

        // A new tree forgets every place, and the view numbers its rows afresh.
        document.outlineCommands().expandAll();
        const QModelIndex oldA = outline.indexForRow(0, key::name);
        outline.showNewTree();
        QVERIFY(!model.itemForIndex(oldA));
        QCOMPARE(rowNames(outline), (QStringList{"a", "c", "d"}));
    }
    void rowsAreTheVisibleTreeAsTheViewShowsIt() {
        const NodePtr grandchild = item("grandchild");
        const NodePtr child = item("child", 0.0, {grandchild});
        const NodePtr parent = item("parent", 0.0, {child});
        OutlineTreeView& outline = show({parent, item("last")});
        QCOMPARE(outline.rowForItem(child.get()), -1);

        outline.expandItem(parent, true);
        QCOMPARE(rowNames(outline), (QStringList{"parent", "child", "grandchild", "last"}));
        // Collapsing the parent keeps the child's expansion for the next time.
        outline.collapseItem(parent, false);
        QCOMPARE(rowNames(outline), (QStringList{"parent", "last"}));
        outline.expandItem(parent, false);
        QCOMPARE(rowNames(outline), (QStringList{"parent", "child", "grandchild", "last"}));
        QVERIFY(outline.isExpanded(outline.indexForRow(1, key::icon)));

        // A change the outline has not been told of shows at the next reload.
        childrenOf(*grandchild)->items.push_back(item("great"));
        QCOMPARE(outline.numberOfRows(), 4);
        outline.reloadAll();
        QCOMPARE(outline.numberOfRows(), 4); // grandchild itself is not expanded
        outline.expandItem(nullptr, true);
        QCOMPARE(rowNames(outline), (QStringList{"parent", "child", "grandchild", "great", "last"}));
        _window->document().outlineCommands().collapseAll();
        QCOMPARE(rowNames(outline), (QStringList{"parent", "last"}));
    }

    void notesAreDecodedOnceUntilTheyChange() {
        std::vector<NodePtr> items = numbered(3);
        for (size_t i = 0; i < items.size(); ++i)
            items[i]->set(key::notes, Value::data(notesSaying(QStringLiteral("note %1").arg(i))));
        OutlineTreeView& outline = show(items);
        NotesCache& cache = outline.outlineModel().notesCache();
        _window->grab();
        QCOMPARE(cache.decodeCount(), 3);
        _window->grab();
        outline.verticalScrollBar()->setValue(1);
        _window->grab();
        QCOMPARE(cache.decodeCount(), 3);
        QCOMPARE(outline.indexForRow(1, key::notes).data().toString(), QStringLiteral("note 1"));

        items[1]->set(key::notes, Value::data(notesSaying("changed")));
        _window->grab();
        QCOMPARE(cache.decodeCount(), 4);
        QCOMPARE(outline.indexForRow(1, key::notes).data().toString(), QStringLiteral("changed"));
    }

    void rowsGrowForTheTallestFontDrawn() {
        const NodePtr large = item("large");
        large->set(key::fontName, "DejaVuSans"); // a PostScript name, as lists name fonts
        large->set(key::fontSize, Value::integer(36));
        const NodePtr missing = item("missing font");
        missing->set(key::fontName, "No Such Font-Bold");
        missing->set(key::fontSize, Value::integer(36));
        OutlineTreeView& outline = show({item("plain"), missing});
        const int plain = outline.outlineRowHeight();
        QVERIFY(!outline.usesRegularControls());
        QCOMPARE(outline.indexForRow(1, key::name).data(Qt::FontRole).value<QFont>(), QApplication::font());

        childrenOf(*_window->document().data())->items.push_back(large);
        _window->document().updateUI();
        _window->grab();
        QVERIFY2(outline.outlineRowHeight() > 30, qPrintable(QString::number(outline.outlineRowHeight())));
        QVERIFY(outline.usesRegularControls());
        QCOMPARE(outline.sizeHintForIndex(outline.indexForRow(0, key::name)).height(),
                 outline.outlineRowHeight());

        // Taking the font away again does not shrink the rows while the window is open.
        large->remove(key::fontName);
        outline.reloadItem(large);
        _window->grab();
        QVERIFY(outline.outlineRowHeight() > plain);

        // The font tool fits the rows to the fonts shown, and so does undoing it.
        TardigoDocument& document = _window->document();
        outline.selectItems({large});
        document.inspectorCommands().useDefaultFont();
        _window->grab();
        QCOMPARE(outline.outlineRowHeight(), plain);
        QCoreApplication::processEvents(); // the user's event ends, and its undo step with it
        document.inspectorCommands().changeFont(StoredFont{QStringLiteral("DejaVuSans"), 36});
        _window->grab();
        QVERIFY(outline.outlineRowHeight() > 30);
        QCoreApplication::processEvents();
        document.undoManager().undo();
        _window->grab();
        QCOMPARE(outline.outlineRowHeight(), plain);
        document.undoManager().redo();
        _window->grab();
        QVERIFY(outline.outlineRowHeight() > 30);
    }

    void aLargeExpandedListKeepsSelectionAndExpansionThroughEveryChange() {
        // 5,000 items, each top-level item with two children, all expanded.
        std::vector<NodePtr> items;
        for (int i = 0; i < 1666; ++i)
            items.push_back(
                item(QStringLiteral("item %1").arg(i, 4, 10, QLatin1Char('0')), 0.0,
                     {item(QStringLiteral("child %1 a").arg(i)), item(QStringLiteral("child %1 b").arg(i))}));
        OutlineTreeView& outline = show(items);
        TardigoDocument& document = _window->document();
        document.outlineCommands().expandAll();
        _window->show();
        QVERIFY(QTest::qWaitForWindowExposed(_window));
        QSignalSpy resets(&outline.outlineModel(), &QAbstractItemModel::modelReset);
        const int last = outline.numberOfRows() - 1;
        const NodePtr lastItem = outline.itemAtRow(last);
        clickCell(outline, last, key::name);
        outline.setFocus();

        // Ctrl+D on the last row: the selection stays on it and no branch closes.
        QTest::keyClick(_window, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(lastItem->value(key::completion), Value::boolean(true));
        QCOMPARE(outline.lastSelectedItem(), lastItem);
        QCOMPARE(outline.numberOfRows(), last + 1);
        QVERIFY(outline.isItemExpanded(items.back().get()));
        QTest::keyClick(_window, Qt::Key_D, Qt::ControlModifier); // and the same item again
        QCOMPARE(lastItem->value(key::completion), Value::boolean(false));
        QCoreApplication::processEvents(); // the user's event ends, and its undo step with it

        // Delete a parent in the middle, then undo: it comes back expanded, selected, in its place.
        const NodePtr middle = items[800];
        outline.selectItems({middle});
        document.itemCommands().deleteItem();
        QCoreApplication::processEvents();
        QCOMPARE(outline.numberOfRows(), last + 1 - 3);
        QCOMPARE(outline.lastSelectedItem(), items[801]); // the row after it, not one of its children
        QTest::keyClick(_window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(outline.numberOfRows(), last + 1);
        QCOMPARE(outline.lastSelectedItem(), middle);
        QVERIFY(outline.isExpanded(outline.indexForRow(outline.rowForItem(middle.get()), key::icon)));
        QCOMPARE(outline.itemAtRow(outline.rowForItem(middle.get()) + 1)->value(key::name),
                 Value("child 800 a"));

        // A sort keeps the selected item selected and every branch open.
        document.sorting().headerClicked(key::name);
        document.sorting().headerClicked(key::name); // descending
        QCoreApplication::processEvents();
        QCOMPARE(outline.itemAtRow(0), items.back());
        QCOMPARE(outline.lastSelectedItem(), middle);
        QCOMPARE(outline.numberOfRows(), last + 1);
        QCOMPARE(resets.count(), 0);
    }

    void aLongRandomRunOfCommandsKeepsTheModelTrue() {
        // 60 items, some nested, some completed; then 400 commands picked by a fixed seed, the
        // model checked against the document after each.
        std::vector<NodePtr> items;
        for (int i = 0; i < 20; ++i)
            items.push_back(item(QStringLiteral("p%1").arg(i), i % 3 == 0 ? 1.0 : 0.0,
                                 {item(QStringLiteral("p%1 a").arg(i), i % 2 ? 1.0 : 0.0),
                                  item(QStringLiteral("p%1 b").arg(i))}));
        OutlineTreeView& outline = show(items);
        const OutlineModel& model = outline.outlineModel();
        TardigoDocument& document = _window->document();
        document.outlineCommands().expandAll();
        QRandomGenerator random(20261207);
        int made = 0;
        for (int step = 0; step < 400; ++step) {
            const int rows = outline.numberOfRows();
            if (rows > 0)
                outline.selectRow(int(random.bounded(rows)), false);
            if (rows > 1 && random.bounded(4) == 0)
                outline.selectRow(int(random.bounded(rows)), true);
            const std::vector<NodePtr> selected = outline.selectedItems();
            QString command;
            switch (random.bounded(14)) {
            case 0:
                command = "new";
                document.itemCommands().newItemWithName(QStringLiteral("n%1").arg(made++));
                break;
            case 1:
                command = "new child";
                document.shaping().newChildItem();
                break;
            case 2:
                command = "delete";
                document.itemCommands().deleteItem();
                break;
            case 3:
                command = "done";
                document.itemCommands().doneItem();
                break;
            case 4:
                command = "indent";
                document.shaping().indentItems();
                break;
            case 5:
                command = "outdent";
                document.shaping().outdentItems();
                break;
            case 6:
                command = "up";
                document.shaping().moveItemsUp();
                break;
            case 7:
                command = "down";
                document.shaping().moveItemsDown();
                break;
            case 8: {
                command = "drop";
                const NodePtr target = rows > 0 ? outline.itemAtRow(int(random.bounded(rows))) : nullptr;
                document.shaping().moveItems(selected, random.bounded(2) ? target : nullptr, nullptr);
                break;
            }
            case 9:
                command = "sort";
                document.sorting().headerClicked(random.bounded(2) ? key::name : key::completion);
                break;
            case 10:
                command = "hide";
                document.outlineCommands().toggleHideCompletedItems(random.bounded(2));
                break;
            case 11:
                command = "undo";
                if (document.undoManager().canUndo())
                    document.undoManager().undo();
                break;
            case 12:
                command = "redo";
                if (document.undoManager().canRedo())
                    document.undoManager().redo();
                break;
            default:
                command = "expand";
                if (!selected.empty()) {
                    if (outline.isItemExpanded(selected.back().get()))
                        outline.collapseItem(selected.back(), false);
                    else
                        outline.expandItem(selected.back(), random.bounded(2));
                }
            }
            QCoreApplication::processEvents(); // the user's event ends, and its undo step with it
            QVERIFY2(knownIndexesArePlacesNow(document, model),
                     qPrintable(QStringLiteral("after %1 at step %2").arg(command).arg(step)));
            const std::vector<NodePtr> expected = expectedRows(document, outline);
            QVERIFY2(rowsThroughTheModel(model, outline) == expected,
                     qPrintable(QStringLiteral("after %1 at step %2").arg(command).arg(step)));
            QCOMPARE(outline.numberOfRows(), int(expected.size()));
            for (int row = 0; row < outline.numberOfRows(); ++row)
                QCOMPARE(model.itemForIndex(outline.indexForRow(row, key::name)), expected[size_t(row)]);
        }
    }

    void rowsDropWhereTheSearchSaysOrTheListIsAskedForAgain() {
        OutlineTreeView& outline = show({item("a"), item("b"), item("c")});
        const NodePtr a = outline.itemAtRow(0), b = outline.itemAtRow(1), c = outline.itemAtRow(2);
        const auto topLevel = [](std::vector<NarrowedList::Child> shownBefore) {
            auto children = std::make_shared<const std::vector<NarrowedList::Child>>(std::move(shownBefore));
            return std::vector{NarrowedList{nullptr, *children, children}};
        };
        outline.selectRow(2, false);
        outline.dropRowsOf(topLevel({{a.get(), true}, {b.get(), false}, {c.get(), true}}));
        QCOMPARE(rowNames(outline), (QStringList{"a", "c"}));
        QCOMPARE(outline.lastSelectedItem(), c);
        // "a" is shown, but not among the children named: the document's list is shown instead.
        outline.dropRowsOf(topLevel({{c.get(), false}}));
        QCOMPARE(rowNames(outline), (QStringList{"a", "b", "c"}));
        QCOMPARE(outline.lastSelectedItem(), c);
    }

    void theModelStaysSoundThroughTheCommands() {
        OutlineTreeView& outline =
            show({item("a", 0.0, {item("a1", 1.0), item("a2")}), item("b", 1.0), item("c")});
        TardigoDocument& document = _window->document();
        document.outlineCommands().expandAll();
        clickCell(outline, 2, key::icon);
        document.itemCommands().doneItem();
        document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(rowNames(outline), (QStringList{"a", "c"}));
        document.sorting().headerClicked(key::name);
        document.sorting().headerClicked(key::name);
        QCOMPARE(rowNames(outline), (QStringList{"c", "a"}));
        clickCell(outline, 0, key::icon);
        document.itemCommands().deleteItem();
        QCOMPARE(rowNames(outline), QStringList{"a"});
        document.itemCommands().newItemWithName("d");
        document.outlineCommands().toggleHideCompletedItems(false);
        QCOMPARE(rowNames(outline), (QStringList{"b", "a", "a2", "a1", "d"})); // sorted descending before
        QCoreApplication::processEvents();
        document.undoManager().undo();
        QVERIFY(!findItem(*document.data(), "d"));
    }
};

QTEST_MAIN(TestOutlineModel)
#include "tst_outline_model.moc"
