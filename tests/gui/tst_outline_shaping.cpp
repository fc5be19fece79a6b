// Rearranging rows in the window: the drag and drop events the outline receives, the keys that
// indent, outdent and move, and the clipboard.
#include "gui_test_support.h"

#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "document/item_mime_data.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/outline_tree_view.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// Where on a row a drop lands: on the item, or between it and the row above.
enum class Spot { OnRow, AboveRow };

/// The tree below a node as text: "a(b c) d".
QString shape(const Dict& node) {
    QStringList parts;
    for (const Value& child : childrenOf(node)->items) {
        const DictPtr item = child.asDict();
        const QString below = shape(*item);
        parts << (below.isEmpty() ? *item->value(key::name).asString()
                                  : QStringLiteral("%1(%2)").arg(*item->value(key::name).asString(), below));
    }
    return parts.join(u' ');
}

} // namespace

class TestOutlineShaping : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    std::unique_ptr<DocumentController> _controller;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> _testers;

    DocumentMainWindow* open(const QString& fileName, std::initializer_list<NodePtr> items) {
        const NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        for (const NodePtr& node : items)
            childrenOf(*root)->items.push_back(node);
        const QString path = _files.filePath(fileName);
        if (!writeListFile(path, root).isEmpty())
            return nullptr;
        DocumentMainWindow* window = _controller->openFile(path);
        _testers.push_back(std::make_unique<QAbstractItemModelTester>(
            &window->outline().outlineModel(), QAbstractItemModelTester::FailureReportingMode::QtTest));
        window->outline().expandItem(nullptr, true);
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the window did not become active");
        return window;
    }

    /// The rows' items as the outline's own drag carries them.
    static std::unique_ptr<QMimeData> dragRows(OutlineTreeView& outline, const QStringList& names) {
        QModelIndexList indexes;
        for (const QString& name : names)
            indexes << shownCell(outline, name, Column::Name);
        return std::unique_ptr<QMimeData>(outline.outlineModel().mimeData(indexes));
    }

    /// Delivers the drag to the outline as the platform does: it enters, moves to the row, drops.
    static bool drop(OutlineTreeView& outline, const QMimeData& data, const QString& row, Spot spot) {
        const QRect cell = outline.visualRect(shownCell(outline, row, Column::Name));
        const QPoint at = spot == Spot::OnRow ? cell.center() : QPoint(cell.center().x(), cell.top() + 1);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(outline.viewport(), &enter);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(outline.viewport(), &move);
        QDropEvent dropped(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(outline.viewport(), &dropped);
        QCoreApplication::processEvents(); // the user's event ends, and with it the undo step
        return dropped.isAccepted();
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
        Clock::setFixed(QDateTime(QDate(2024, 3, 10), QTime(12, 0)));
    }
    void init() { _controller = std::make_unique<DocumentController>(); }
    void cleanup() {
        _testers.clear();
        _controller.reset();
    }

    /// The user types a key: it ends with the event, as every undo step does.
    static void type(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(widget, key, modifiers);
        QCoreApplication::processEvents();
    }

    void rowsDroppedOntoAndBetweenOthersMove() {
        DocumentMainWindow* window = open("move.todo", {item("a"), item("b", 0, {item("b1")}), item("c")});
        OutlineTreeView& outline = window->outline();
        TardigoDocument& document = window->document();
        QCOMPARE(rowNames(outline), (QStringList{"a", "b", "b1", "c"}));

        std::unique_ptr<QMimeData> data = dragRows(outline, {"c"});
        QVERIFY(drop(outline, *data, "b", Spot::AboveRow)); // c between a and b
        QCOMPARE(shape(*document.data()), QStringLiteral("a c b(b1)"));
        QCOMPARE(rowNames(outline), (QStringList{"a", "c", "b", "b1"}));

        data = dragRows(outline, {"a"});
        QVERIFY(drop(outline, *data, "b", Spot::OnRow)); // a onto b: its last child
        QCOMPARE(shape(*document.data()), QStringLiteral("c b(b1 a)"));
        QCOMPARE(rowNames(outline), (QStringList{"c", "b", "b1", "a"}));

        data = dragRows(outline, {"b"});
        QVERIFY(!drop(outline, *data, "a", Spot::OnRow)); // b onto its own child
        QCOMPARE(shape(*document.data()), QStringLiteral("c b(b1 a)"));

        type(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shape(*document.data()), QStringLiteral("a c b(b1)"));
        type(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); // redo
        QCOMPARE(shape(*document.data()), QStringLiteral("c b(b1 a)"));
    }

    void rowsDroppedIntoAnotherWindowAreCopied() {
        DocumentMainWindow* source = open("source.todo", {item("parent", 0, {item("child")}), item("stays")});
        DocumentMainWindow* target = open("target.todo", {item("x"), item("y")});
        const std::unique_ptr<QMimeData> data = dragRows(source->outline(), {"parent"});
        QCOMPARE(data->text(), QStringLiteral("parent\n\tchild\n")); // what other programs take
        QVERIFY(drop(target->outline(), *data, "y", Spot::AboveRow));
        QCOMPARE(shape(*target->document().data()), QStringLiteral("x parent(child) y"));
        QCOMPARE(shape(*source->document().data()), QStringLiteral("parent(child) stays"));
        QCOMPARE(selectedNames(target->outline()), QStringList{"parent"});
        QVERIFY(target->isWindowModified());
        QVERIFY(!source->isWindowModified());

        QMimeData text; // from another program
        text.setText(QStringLiteral("shopping\n\tmilk\n"));
        QVERIFY(drop(target->outline(), text, "x", Spot::OnRow));
        QCOMPARE(shape(*target->document().data()), QStringLiteral("x(shopping(milk)) parent(child) y"));
    }

    void keysIndentOutdentAndMove() {
        DocumentMainWindow* window = open("keys.todo", {item("a"), item("b"), item("c")});
        OutlineTreeView& outline = window->outline();
        const Dict& root = *window->document().data();
        outline.setFocus();
        selectShown(outline, {"b"});
        type(&outline, Qt::Key_Tab);
        QCOMPARE(shape(root), QStringLiteral("a(b) c"));
        QVERIFY(outline.hasFocus()); // Tab indented; it did not move the focus
        type(&outline, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(shape(root), QStringLiteral("a b c"));
        type(window, Qt::Key_BracketRight, Qt::ControlModifier);
        QCOMPARE(shape(root), QStringLiteral("a(b) c"));
        type(window, Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(shape(root), QStringLiteral("a b c"));
        type(window, Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
        type(window, Qt::Key_BracketLeft, Qt::ControlModifier);
        QCOMPARE(shape(root), QStringLiteral("a b c"));
        type(window, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(shape(root), QStringLiteral("a c b"));
        type(window, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        type(window, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(shape(root), QStringLiteral("b a c"));
        QCOMPARE(selectedNames(outline), QStringList{"b"}); // the moved item stays selected
        QCOMPARE(window->menus().actions().undo->text(), QStringLiteral("Undo Move Up"));

        type(window, Qt::Key_N, Qt::ControlModifier | Qt::AltModifier); // a child of b
        QVERIFY(outline.isEditing());
        typeIntoEditor(outline, "b's child");
        QCOMPARE(shape(root), QStringLiteral("b(b's child) a c"));
        // While a cell is edited, Tab moves on to the next cell and indents nothing.
        outline.editItem(shownItem(outline, "a"), Column::Name, true);
        type(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(shape(root), QStringLiteral("b(b's child) a c"));
    }

    void cutAndPasteMoveItemsThroughTheClipboard() {
        DocumentMainWindow* window = open("clipboard.todo", {item("a", 0, {item("a1")}), item("b")});
        OutlineTreeView& outline = window->outline();
        const Dict& root = *window->document().data();
        outline.setFocus();
        selectShown(outline, {"a"});
        type(window, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(shape(root), QStringLiteral("b"));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(kItemsMimeType));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\n\ta1\n"));
        selectShown(outline, {"b"});
        type(window, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shape(root), QStringLiteral("b a(a1)"));
        type(window, Qt::Key_C, Qt::ControlModifier); // the pasted item is selected
        type(window, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(shape(root), QStringLiteral("b a(a1) a(a1)"));
        QCOMPARE(window->menus().actions().undo->text(), QStringLiteral("Undo Paste"));
    }

    /// Edit > Copy, Cut and Paste chosen from the menu while a name is being edited.
    void clipboardCommandsWhileANameIsEditedGoToItsText() {
        DocumentMainWindow* window = open("field.todo", {item("alpha"), item("beta")});
        OutlineTreeView& outline = window->outline();
        const Dict& root = *window->document().data();
        outline.setFocus();
        outline.editItem(shownItem(outline, "alpha"), Column::Name, true);
        auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(field);
        const MenuActions& menu = window->menus().actions();
        field->selectAll();
        menu.copyItems->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("alpha"));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat(kItemsMimeType));
        field->end(false);
        menu.pasteItems->trigger();
        QCOMPARE(field->text(), QStringLiteral("alphaalpha"));
        field->selectAll();
        menu.cutItems->trigger();
        QCOMPARE(field->text(), QString());
        QCOMPARE(shape(root), QStringLiteral("alpha beta")); // no item was cut, copied or pasted
    }
};

QTEST_MAIN(TestOutlineShaping)
#include "tst_outline_shaping.moc"
