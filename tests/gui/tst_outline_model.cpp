#include "gui_test_support.h"

#include "app/document_controller.h"
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
#include <QFontDatabase>
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

    void aReloadOfANewShapeKeepsExpansionSelectionAndScroll() {
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
        childrenOf(*_window->document().data())
            ->items.insert(childrenOf(*_window->document().data())->items.begin(), item("new first"));
        outline.reloadData();

        QCOMPARE(resets.count(), 1);
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
        QSignalSpy changes(&outline.outlineModel(), &QAbstractItemModel::dataChanged);

        clickCell(outline, 1, key::icon);
        _window->document().updateUI();
        QCOMPARE(resets.count(), 0);
        QVERIFY(changes.count() > 0);

        // Hiding the only child of a collapsed item takes its disclosure away: a new shape.
        _window->document().outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(resets.count(), 1);
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
        outline.reloadData();
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
        large->set(key::fontName, QFontDatabase::families().constFirst());
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
