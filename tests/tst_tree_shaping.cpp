// Rearranging the tree: drops within a list and between lists, the keyboard's indent, outdent and
// moves, the clipboard, and undo and redo of each.
#include "document/item_mime_data.h"
#include "document_fixture.h"
#include "model/tree_operations.h"

#include <QMimeData>
#include <QTemporaryDir>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// A list of top-level items with these names.
std::vector<NodePtr> items(const QStringList& names) {
    std::vector<NodePtr> made;
    for (const QString& name : names)
        made.push_back(makeItem(name));
    return made;
}

/// The tree below a node as text: "a(b c) d".
QString shape(const Dict& node) {
    QStringList parts;
    for (const Value& child : childrenOf(node)->items) {
        const DictPtr item = child.asDict();
        const QString below = shape(*item);
        parts << (below.isEmpty() ? nameOf(*item) : QStringLiteral("%1(%2)").arg(nameOf(*item), below));
    }
    return parts.join(u' ');
}

void undo(OpenList& list) {
    OpenList::endEvent();
    list.undo().undo();
}

void redo(OpenList& list) {
    OpenList::endEvent();
    list.undo().redo();
}

} // namespace

class TestTreeShaping : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

    /// A list of the named top-level items, each shown.
    static std::unique_ptr<OpenList> listOf(const QStringList& names) {
        return std::make_unique<OpenList>(items(names));
    }

    /// The user drags the items and drops them before the shown child at index of `onto` (null: the
    /// top level).
    static bool dropItems(OpenList& list, const std::vector<NodePtr>& dragged, const NodePtr& onto,
                          int index) {
        const std::unique_ptr<QMimeData> data = list.document.dragData(dragged);
        return list.document.acceptDrop(*data, onto, index);
    }
    /// The same for top-level rows (-1: onto the top level).
    static bool dragAndDrop(OpenList& list, const QList<int>& rows, int onRow, int index) {
        std::vector<NodePtr> dragged;
        for (const int row : rows)
            dragged.push_back(list.at({row}));
        return dropItems(list, dragged, onRow < 0 ? nullptr : list.at({onRow}), index);
    }

private slots:
    void init() { _start.emplace(); }
    void cleanup() { _start.reset(); }

    void dropsWithinAListMoveTheVeryItems_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("dragged");
        QTest::addColumn<int>("onRow");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("after");
        const QStringList abcd{"A", "B", "C", "D"};
        QTest::newRow("first between second and third") << abcd << QList<int>{0} << -1 << 2 << "B A C D";
        QTest::newRow("last between first and second") << abcd << QList<int>{3} << -1 << 1 << "A D B C";
        QTest::newRow("first two above the last")
            << QStringList{"A", "B", "C", "D", "E"} << QList<int>{0, 1} << -1 << 4 << "C D A B E";
        QTest::newRow("onto an item") << abcd << QList<int>{0, 3} << 1 << -1 << "B(A D) C";
        QTest::newRow("below the last") << abcd << QList<int>{1} << -1 << 4 << "A C D B";
        QTest::newRow("before itself") << abcd << QList<int>{1, 2} << -1 << 1 << "A B C D";
    }
    void dropsWithinAListMoveTheVeryItems() {
        QFETCH(QStringList, names);
        QFETCH(QList<int>, dragged);
        auto list = listOf(names);
        const NodePtr first = list->at({dragged.front()});
        list->document.sorting().headerClicked(Column::Name); // already in order
        list->select({"A"});
        QFETCH(int, onRow);
        QFETCH(int, index);
        QVERIFY(dragAndDrop(*list, dragged, onRow, index));
        QFETCH(QString, after);
        QCOMPARE(shape(list->root()), after);
        QVERIFY(findIdenticalChild(list->document.data(), *first) == first); // moved, not copied
        QVERIFY(list->selectedNames().isEmpty());
        QVERIFY(!list->root().contains(key::sortedColumn)); // placed by hand: no longer sorted
        QCOMPARE(list->undo().undoText(), QStringLiteral("Move"));
        undo(*list);
        QCOMPARE(shape(list->root()), names.join(u' '));
        redo(*list);
        QCOMPARE(shape(list->root()), after);
    }

    void twoEqualItemsAreToldApartByIdentity() {
        auto list = listOf({"same", "same", "other"});
        const NodePtr second = list->at({1});
        list->at({0})->set(key::dateCreated, *second->value(key::dateCreated).asString());
        QVERIFY(list->at({0})->equals(*second));
        QVERIFY(dragAndDrop(*list, {1}, -1, 3));
        QCOMPARE(list->at({2}), second);
        QVERIFY(list->at({0}) != second);
    }

    void aDropIntoItselfIsRefused() {
        const NodePtr parent = makeItem("parent");
        appendChild(*parent, makeItem("child"));
        OpenList list{parent, makeItem("other")};
        QVERIFY(!dropItems(list, {parent}, list.item("child"), -1)); // onto its own child
        QVERIFY(!dropItems(list, {parent}, parent, 0));              // into itself
        QCOMPARE(shape(list.root()), QStringLiteral("parent(child) other"));
        OpenList::endEvent();
        QVERIFY(!list.undo().canUndo());
    }

    void hiddenCompletedSiblingsKeepTheirPlaces() {
        auto list = listOf({"A", "done", "B", "C"});
        childAt(*childrenOf(list->root()), 1)->set(key::completion, Value::boolean(true));
        list->document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(list->rowNames(), (QStringList{"A", "B", "C"}));
        QVERIFY(dragAndDrop(*list, {2}, -1, 1)); // C between the shown A and B
        QCOMPARE(shape(list->root()), QStringLiteral("A done C B"));
    }

    void dropsFromAnotherListCopy() {
        const NodePtr parent = makeItem("parent", {{key::category, "home"}});
        appendChild(*parent, makeItem("child"));
        OpenList source{parent, makeItem("stays")};
        auto target = listOf({"x", "y"});
        const std::unique_ptr<QMimeData> data = source.document.dragData({parent});
        QVERIFY(target->document.acceptDrop(*data, nullptr, 1));
        QCOMPARE(shape(target->root()), QStringLiteral("x parent(child) y"));
        QCOMPARE(shape(source.root()), QStringLiteral("parent(child) stays"));
        const NodePtr copy = target->at({1});
        QVERIFY(copy != parent && copy->equals(*parent));
        QCOMPARE(target->selectedNames(), QStringList{"parent"});
        copy->set(key::name, "renamed copy"); // a copy shares nothing with the original
        QCOMPARE(nameOf(*parent), QStringLiteral("parent"));
        QCOMPARE(data->text(), QStringLiteral("parent\n\tchild\n"));
        QCOMPARE(target->undo().undoText(), QStringLiteral("Drop"));
        undo(*target);
        QCOMPARE(shape(target->root()), QStringLiteral("x y"));
    }

    void textFromOtherProgramsBecomesItems() {
        auto list = listOf({"x"});
        QMimeData text;
        text.setText(QStringLiteral("groceries\n    milk\n\n    bread\n        wholemeal\nbank\r\n"));
        QVERIFY(list->document.acceptDrop(text, list->at({0}), -1));
        QCOMPARE(shape(list->root()), QStringLiteral("x(groceries(milk bread(wholemeal)) bank)"));
        QMimeData images;
        images.setData(QStringLiteral("image/png"), "not items");
        QVERIFY(!list->document.acceptDrop(images, nullptr, -1));
    }

    void itemsDoNotNestDeeperThanAListMay() {
        NodePtr top = makeItem("level 1");
        NodePtr deepest = top;
        for (int level = 2; level <= kMostItemLevels; ++level) {
            const NodePtr next = makeItem(QStringLiteral("level %1").arg(level));
            appendChild(*deepest, next);
            deepest = next;
        }
        QCOMPARE(itemLevels(*top), kMostItemLevels);
        OpenList list{makeItem("before"), top};
        list.select({"level 1"});
        list.document.shaping().indentItems();  // one level more than a list may nest
        list.document.shaping().outdentItems(); // at the top level already
        QCOMPARE(childNames(list.root()), (QStringList{"before", "level 1"}));
        OpenList::endEvent();
        QVERIFY(!list.undo().canUndo());
    }

    void indentOutdentAndMovesFromTheKeyboard() {
        auto list = listOf({"A", "B", "C", "D", "E"});
        TreeShaping& shaping = list->document.shaping();
        const auto step = [&](const char* name, const QString& after, const std::function<void()>& command) {
            const QString before = shape(list->root());
            command();
            QCOMPARE(shape(list->root()), after);
            QCOMPARE(list->undo().undoText(), QString::fromLatin1(name));
            undo(*list);
            QCOMPARE(shape(list->root()), before);
            redo(*list);
            QCOMPARE(shape(list->root()), after);
        };
        list->select({"B", "C"});
        step("Indent", "A(B C) D E", [&] { shaping.indentItems(); });
        QCOMPARE(list->selectedNames(), (QStringList{"B", "C"})); // still selected, in view
        QCOMPARE(list->revealed, (std::vector<NodePtr>{list->item("B"), list->item("C")}));
        list->select({"C"});
        step("Indent", "A(B(C)) D E", [&] { shaping.indentItems(); });
        step("Outdent", "A(B C) D E", [&] { shaping.outdentItems(); });
        list->select({"B", "C"});
        step("Outdent", "A B C D E", [&] { shaping.outdentItems(); });
        list->select({"A", "C", "D"}); // A, and the run C D
        step("Move Down", "B A E C D", [&] { shaping.moveItemsDown(); });
        step("Move Up", "A B C D E", [&] { shaping.moveItemsUp(); });
        list->select({"C"});
        step("New Child Item", "A B C(<new todo>) D E", [&] { shaping.newChildItem(); });
    }

    void copiesLeaveTheCalendarIdentityBehind() {
        const NodePtr parent = makeItem("parent", {{key::uid, "uid-parent"}});
        appendChild(*parent, makeItem("child", {{key::uid, "uid-child"}}));
        OpenList source{parent};
        auto target = listOf({"x"});
        const std::unique_ptr<QMimeData> data = source.document.dragData({parent});
        QVERIFY(target->document.acceptDrop(*data, nullptr, 1));
        OpenList::endEvent();
        source.select({"parent"});
        QVERIFY(source.document.transfer().pasteItems(*source.document.transfer().copyItems()));
        for (const NodePtr& copy : {target->at({1}), source.at({1})}) {
            QCOMPARE(nameOf(*copy), QStringLiteral("parent"));
            QVERIFY(!copy->contains(key::uid));
            QVERIFY(!childrenOf(*copy)->items.front().asDict()->contains(key::uid));
        }
        // The originals stay the items the calendar knows; a move within the list keeps them so.
        QCOMPARE(*parent->value(key::uid).asString(), QStringLiteral("uid-parent"));
        OpenList::endEvent();
        QVERIFY(dragAndDrop(source, {0}, -1, 2));
        QCOMPARE(source.at({1}), parent);
        QCOMPARE(*parent->value(key::uid).asString(), QStringLiteral("uid-parent"));
    }

    void itemsPastedOrMadeThatASearchWouldHideSetItAside() {
        OpenList list{makeItem("apple"), makeItem("banana")};
        list.select({"banana"});
        const std::unique_ptr<QMimeData> banana = list.document.transfer().copyItems();
        list.document.setSearchText(QStringLiteral("ban"));
        list.select({"banana"});
        QVERIFY(list.document.transfer().pasteItems(*banana)); // it matches: the search stays
        QCOMPARE(list.document.searchText(), QStringLiteral("ban"));

        OpenList::endEvent();
        list.document.setSearchText(QStringLiteral("app"));
        list.select({"apple"});
        QVERIFY(list.document.transfer().pasteItems(*banana));
        QCOMPARE(list.document.searchText(), QString());
        QCOMPARE(shape(list.root()), QStringLiteral("apple banana banana banana"));
        QVERIFY(!list.root().contains(key::filterTerm)); // a typed search writes nothing

        // A term stored in the list stays there.
        OpenList::endEvent();
        list.document.outlineCommands().setStoredSearchTerm(Value("app"));
        QCOMPARE(list.document.searchText(), QStringLiteral("app"));
        list.select({"apple"});
        QVERIFY(list.document.transfer().pasteItems(*banana));
        QCOMPARE(list.document.searchText(), QString());
        QCOMPARE(list.root().value(key::filterTerm), Value("app"));

        // So does a new child, which is made empty.
        OpenList::endEvent();
        list.document.setSearchText(QStringLiteral("ban"));
        list.select({"banana"});
        list.document.shaping().newChildItem();
        QCOMPARE(list.document.searchText(), QString());
    }

    void cutCopyAndPasteCarryWholeSubtrees() {
        const NodePtr parent = makeItem("parent");
        appendChild(*parent, makeItem("child"));
        OpenList list{makeItem("a"), parent, makeItem("b")};
        list.select({"parent", "child"}); // the child travels with its parent
        const std::unique_ptr<QMimeData> cut = list.document.transfer().cutItems();
        QCOMPARE(shape(list.root()), QStringLiteral("a b"));
        QCOMPARE(list.undo().undoText(), QStringLiteral("Cut"));
        OpenList::endEvent();
        list.select({"b"});
        QVERIFY(list.document.transfer().pasteItems(*cut));
        OpenList::endEvent();
        QVERIFY(list.document.transfer().pasteItems(*cut)); // after the pasted one, which is selected
        QCOMPARE(shape(list.root()), QStringLiteral("a b parent(child) parent(child)"));
        QCOMPARE(list.undo().undoText(), QStringLiteral("Paste"));
        undo(list);
        undo(list);
        QCOMPARE(shape(list.root()), QStringLiteral("a b"));
        undo(list);
        QCOMPARE(shape(list.root()), QStringLiteral("a parent(child) b"));
        QVERIFY(!list.document.transfer().pasteItems(QMimeData()));
    }

    void redoComesBackToTheSavedState() {
        QTemporaryDir folder;
        auto list = listOf({"A", "B"});
        const auto rename = [&](const char* name) {
            list->type(list->at({0}), Column::Name, QString::fromLatin1(name));
            OpenList::endEvent();
        };
        rename("saved");
        QString error;
        QVERIFY(list->document.writeToFile(folder.filePath("list.todo"), &error));
        undo(*list);
        QVERIFY(list->document.isDocumentEdited());
        QCOMPARE(list->undo().redoText(), QStringLiteral("set name"));
        redo(*list);
        QCOMPARE(nameOf(*list->at({0})), QStringLiteral("saved"));
        QVERIFY(!list->document.isDocumentEdited());
        // A new change forgets what was undone.
        undo(*list);
        rename("other");
        QVERIFY(!list->undo().canRedo());
    }
};

QTEST_GUILESS_MAIN(TestTreeShaping)
#include "tst_tree_shaping.moc"
