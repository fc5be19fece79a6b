// The window's outline over the list's item model: what stays open and selected as rows come and go,
// what the document asks of it (items revealed, editors opened), and how it draws its rows.
#include "gui_test_support.h"

#include "desktop_app/document_controller.h"
#include "document/inspector_commands.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/outline_tree_view.h"

#include <QAbstractItemModelTester>
#include <QApplication>
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

class TestOutlineView : public QObject {
    Q_OBJECT

    std::unique_ptr<DocumentController> _controller;
    std::unique_ptr<QAbstractItemModelTester> _tester;
    DocumentMainWindow* _window = nullptr;

    // A window over these top-level items, with the model checked after every change.
    OutlineTreeView& show(const std::vector<NodePtr>& items) {
        _window = _controller->newUntitledDocument();
        TardigoDocument& document = _window->document();
        document.edits().insert(document.data(), 0, std::vector<Value>(items.begin(), items.end()));
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
    bool isOpen(const OutlineTreeView& outline, const NodePtr& item) {
        return outline.isExpanded(outline.outlineModel().indexOfItem(item.get()));
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
        QCOMPARE(rowNames(outline).indexOf("grandchild"), 5);
        clickCell(outline, "grandchild", Column::Icon);
        clickCell(outline, "item 004", Column::Icon, Qt::ControlModifier);
        outline.verticalScrollBar()->setValue(outline.verticalScrollBar()->maximum() / 2);
        const int scrolled = outline.verticalScrollBar()->value();
        QVERIFY(scrolled > 0);

        QSignalSpy resets(&outline.outlineModel(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&outline.outlineModel(), &QAbstractItemModel::rowsInserted);
        TardigoDocument& document = _window->document();
        document.shaping().insertItems({item("new first")}, nullptr, items[0]);

        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserts.count(), 1);
        QCOMPARE(inserts.first().at(1).toInt(), 0);
        QCOMPARE(rowNames(outline).indexOf("grandchild"), 6);
        QVERIFY(isOpen(outline, child));
        QCOMPARE(selectedNames(outline), (QStringList{"grandchild", "item 004"}));
        QCOMPARE(outline.selection().lastSelectedItem(), items[4]); // the row selected last
        QCOMPARE(outline.verticalScrollBar()->value(), scrolled);
    }

    void rowsTheFiltersHideComeBackAsTheUserLeftThem() {
        const NodePtr grandchild = item("grandchild");
        const NodePtr child = item("child", 0.0, {grandchild});
        const NodePtr parent = item("parent", 0.0, {child, item("done", 1.0)});
        OutlineTreeView& outline = show({parent, item("last")});
        TardigoDocument& document = _window->document();
        outline.expandItem(parent, true);
        QCOMPARE(rowNames(outline), (QStringList{"parent", "child", "grandchild", "done", "last"}));
        // Collapsing the parent keeps the child open for the next time.
        outline.collapseItem(parent, false);
        QCOMPARE(rowNames(outline), (QStringList{"parent", "last"}));
        outline.expandItem(parent, false);
        QCOMPARE(rowNames(outline), (QStringList{"parent", "child", "grandchild", "done", "last"}));

        // A search the parent does not match hides it with what it holds open; ended, they are back.
        document.setSearchText("last");
        QCOMPARE(rowNames(outline), QStringList{"last"});
        document.setSearchText(QString());
        QCOMPARE(rowNames(outline), (QStringList{"parent", "child", "grandchild", "done", "last"}));

        // The same when the parent itself is hidden as completed, and shown again.
        document.selection().selectItems({parent});
        document.itemCommands().doneItem();
        document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(rowNames(outline), QStringList{"last"});
        QCoreApplication::processEvents();
        document.undoStack().undo();
        QCOMPARE(rowNames(outline), (QStringList{"parent", "child", "grandchild", "last"}));
        QVERIFY(isOpen(outline, child));
    }

    void whatTheDocumentAsksOpensWhatHidesTheItems() {
        const NodePtr deep = item("deep");
        const NodePtr middle = item("middle", 0.0, {deep});
        const NodePtr top = item("top", 0.0, {middle});
        std::vector<NodePtr> items = numbered(80);
        items.push_back(top);
        OutlineTreeView& outline = show(items);
        TardigoDocument& document = _window->document();
        _window->show();
        QVERIFY(QTest::qWaitForWindowExposed(_window));

        // Undoing a deletion under closed rows opens them, selects what came back and scrolls to it.
        outline.expandItem(top, true);
        document.selection().selectItems({deep});
        document.itemCommands().deleteItem();
        QCoreApplication::processEvents();
        outline.collapseItem(top, true);
        document.undoStack().undo();
        QVERIFY(isOpen(outline, top) && isOpen(outline, middle));
        QCOMPARE(selectedNames(outline), QStringList{"deep"});
        const QRect shown = outline.visualRect(outline.outlineModel().indexOfItem(deep.get()));
        QVERIFY(outline.viewport()->rect().contains(shown));

        // A new child opens its parent and its name's editor.
        outline.collapseItem(top, true);
        outline.verticalScrollBar()->setValue(0);
        document.selection().selectItems({top});
        document.shaping().newChildItem();
        QVERIFY(isOpen(outline, top));
        QVERIFY(outline.isEditing());
        QCOMPARE(outline.outlineModel().itemForIndex(outline.currentIndex()), childAt(*childrenOf(*top), 1));
        outline.endEditing();
    }

    void collapsingARowDeselectsWhatItHides() {
        const NodePtr child = item("child");
        const NodePtr parent = item("parent", 0.0, {child});
        OutlineTreeView& outline = show({parent, item("other")});
        outline.expandItem(parent, false);
        outline.selection().selectItems({parent, child});
        outline.collapseItem(parent, false);
        // Commands act on what the user sees.
        QCOMPARE(selectedNames(outline), QStringList{"parent"});
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
        QCOMPARE(shownCell(outline, "item 001", Column::Notes).data().toString(), QStringLiteral("note 1"));

        items[1]->set(key::notes, Value::data(notesSaying("changed")));
        _window->grab();
        QCOMPARE(cache.decodeCount(), 4);
        QCOMPARE(shownCell(outline, "item 001", Column::Notes).data().toString(), QStringLiteral("changed"));
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
        QCOMPARE(shownCell(outline, "missing font", Column::Name).data(Qt::FontRole).value<QFont>(),
                 QApplication::font());

        TardigoDocument& document = _window->document();
        document.shaping().insertItems({large}, nullptr, nullptr);
        _window->grab();
        QVERIFY2(outline.outlineRowHeight() > 30, qPrintable(QString::number(outline.outlineRowHeight())));
        QVERIFY(outline.usesRegularControls());
        QCOMPARE(outline.sizeHintForIndex(shownCell(outline, "plain", Column::Name)).height(),
                 outline.outlineRowHeight());

        // Taking the font away again does not shrink the rows while the window is open.
        large->remove(key::fontName);
        document.refreshItem(large, key::name, false);
        _window->grab();
        QVERIFY(outline.outlineRowHeight() > plain);

        // The font tool fits the rows to the fonts shown, and so does undoing it.
        document.selection().selectItems({large});
        document.inspectorCommands().useDefaultFont();
        _window->grab();
        QCOMPARE(outline.outlineRowHeight(), plain);
        QCoreApplication::processEvents(); // the user's event ends, and its undo step with it
        document.inspectorCommands().changeFont(StoredFont{QStringLiteral("DejaVuSans"), 36});
        _window->grab();
        QVERIFY(outline.outlineRowHeight() > 30);
        QCoreApplication::processEvents();
        document.undoStack().undo();
        _window->grab();
        QCOMPARE(outline.outlineRowHeight(), plain);
        document.undoStack().redo();
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
        outline.expandItem(nullptr, true);
        _window->show();
        QVERIFY(QTest::qWaitForWindowExposed(_window));
        QSignalSpy resets(&outline.outlineModel(), &QAbstractItemModel::modelReset);
        const int rows = rowNames(outline).size();
        QCOMPARE(rows, 4998);
        clickCell(outline, "child 1665 b", Column::Name);
        const NodePtr lastItem = outline.selection().lastSelectedItem();
        outline.setFocus();

        // Ctrl+D on the last row: the selection stays on it and no branch closes.
        QTest::keyClick(_window, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(lastItem->value(key::completion), Value::boolean(true));
        QCOMPARE(outline.selection().lastSelectedItem(), lastItem);
        QCOMPARE(rowNames(outline).size(), rows);
        QVERIFY(isOpen(outline, items.back()));
        QTest::keyClick(_window, Qt::Key_D, Qt::ControlModifier); // and the same item again
        QCOMPARE(lastItem->value(key::completion), Value::boolean(false));
        QCoreApplication::processEvents(); // the user's event ends, and its undo step with it

        // Delete a parent in the middle, then undo: it comes back expanded, selected, in its place.
        const NodePtr middle = items[800];
        document.selection().selectItems({middle});
        document.itemCommands().deleteItem();
        QCoreApplication::processEvents();
        QCOMPARE(rowNames(outline).size(), rows - 3);
        QCOMPARE(outline.selection().lastSelectedItem(), items[801]); // the row after it, not a child
        QTest::keyClick(_window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowNames(outline).size(), rows);
        QCOMPARE(outline.selection().lastSelectedItem(), middle);
        QVERIFY(isOpen(outline, middle));
        const QStringList shown = rowNames(outline);
        QCOMPARE(shown.at(shown.indexOf("item 0800") + 1), QStringLiteral("child 800 a"));

        // A sort keeps the selected item selected and every branch open.
        document.sorting().headerClicked(Column::Name);
        document.sorting().headerClicked(Column::Name); // descending
        QCoreApplication::processEvents();
        QCOMPARE(rowNames(outline).constFirst(), QStringLiteral("item 1665"));
        QCOMPARE(outline.selection().lastSelectedItem(), middle);
        QCOMPARE(rowNames(outline).size(), rows);
        QCOMPARE(resets.count(), 0);
    }
};

QTEST_MAIN(TestOutlineView)
#include "tst_outline_view.moc"
