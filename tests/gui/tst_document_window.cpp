#include "gui_test_support.h"

#include "alerts/alert_queue.h"
#include "archive/list_file.h"
#include "dates/due_date_format.h"
#include "desktop_app/document_controller.h"
#include "desktop_app/tardigo_application.h"
#include "dialogs/dialog_service.h"
#include "dialogs/file_error_messages.h"
#include "dialogs/message_box_fitting.h"
#include "dialogs/message_box_host.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "outline/outline_settings.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/document_toolbar.h"
#include "window/due_date_editor.h"
#include "window/eliding_label.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"
#include "window/toolbar_customize_dialog.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>

using namespace tardigo;
using namespace tardigo::test;

class TestDocumentWindow : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    std::unique_ptr<DocumentController> _controller;
    std::unique_ptr<QAbstractItemModelTester> _tester;
    QDateTime _now;

    // A list file with these items, opened in a window the way a user opens it.
    DocumentMainWindow* open(std::initializer_list<NodePtr> items, const QString& fileName = "list.todo") {
        const NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true)); // read back unchanged
        for (const NodePtr& node : items)
            childrenOf(*root)->items.push_back(node);
        const QString path = _files.filePath(fileName);
        if (!writeListFile(path, root).isEmpty())
            return nullptr;
        return watched(_controller->openFile(path));
    }
    DocumentMainWindow* watched(DocumentMainWindow* window) {
        if (window) {
            _tester = std::make_unique<QAbstractItemModelTester>(
                &window->outline().outlineModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
            if (!QTest::qWaitForWindowExposed(window))
                qWarning("the window was not shown");
        }
        return window;
    }
    // Time moves on, so that a click is not taken for the one that ended the last edit.
    void later() { _now = _now.addSecs(5); }
    /// A menu command by its object name, as a tool that drives the window finds it.
    static QAction* command(DocumentMainWindow* window, const char* name) {
        return window->findChild<QAction*>(QLatin1String(name));
    }
    static void clickHeader(OutlineTreeView& outline, Column column) {
        QHeaderView* header = outline.header();
        const int section = columnIndex(column);
        const QPoint center(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, center);
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
    }
    void init() {
        _now = QDateTime(QDate(2024, 3, 10), QTime(12, 0));
        Clock::setSource([this] { return _now; });
        DialogService::setScripted(true);
        _controller = std::make_unique<DocumentController>();
    }
    void cleanup() {
        _tester.reset();
        _controller.reset();
        Clock::reset();
    }

    // No menu repeats an underlined letter, no two commands of the window (its menus', its
    // toolbar's, the notes' own) answer the same keys, and View > Agenda has both.
    void noMenuRepeatsAnAcceleratorOrAShortcut() {
        const DocumentMainWindow* window = _controller->newUntitledDocument();
        const QStringList repeats = repeatedAccelerators(*window->menuBar());
        QVERIFY2(repeats.isEmpty(), qPrintable(repeats.join(u'\n')));
        QHash<QKeySequence, QString> taken;
        QStringList shared;
        for (const QAction* action : window->findChildren<QAction*>())
            for (const QKeySequence& keys : action->shortcuts()) {
                const QString name = action->objectName().isEmpty() ? action->text() : action->objectName();
                if (taken.contains(keys))
                    shared << QStringLiteral("%1: %2 and %3").arg(keys.toString(), taken.value(keys), name);
                taken.insert(keys, name);
            }
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(u'\n')));
        const QAction* agenda = window->menus().actions().showAgenda;
        QCOMPARE(agenda->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
        QCOMPARE(QKeySequence::mnemonic(agenda->text()), QKeySequence(Qt::ALT | Qt::Key_G));
    }

    void selectAllTakesTheRowsShownOrTheTextBeingEdited() {
        DocumentMainWindow* window = open({item("a", 0, {item("a1")}), item("b")});
        OutlineTreeView& outline = window->outline();
        QAction* selectAll = window->menus().actions().selectAll;
        QCOMPARE(selectAll->shortcut(), QKeySequence(QKeySequence::SelectAll));
        outline.collapseItem(nullptr, true);
        outline.setFocus();
        selectAll->trigger();
        QCOMPARE(selectedNames(outline), (QStringList{"a", "b"})); // a1 lies folded away
        outline.expandItem(nullptr, true);
        selectAll->trigger();
        QCOMPARE(selectedNames(outline), (QStringList{"a", "a1", "b"}));

        outline.editItem(shownItem(outline, "b"), Column::Name, true);
        auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(field);
        field->deselect();
        selectAll->trigger();
        QCOMPARE(field->selectedText(), QStringLiteral("b"));
    }

    void theSearchFieldFindsAndEscapeReturnsToTheOutline() {
        DocumentMainWindow* window =
            open({item("Home", 0, {item("Garden", 0, {item("Rosen")}), item("Küche")}), item("Kino")});
        OutlineTreeView& outline = window->outline();
        const MenuActions& menu = window->menus().actions();
        QCOMPARE(menu.find->shortcut(), QKeySequence(QKeySequence::Find));
        QCOMPARE(menu.findNext->shortcut(), QKeySequence(QKeySequence::FindNext));
        QCOMPARE(menu.findPrevious->shortcut(), QKeySequence(QKeySequence::FindPrevious));
        outline.collapseItem(nullptr, true);
        window->activateWindow();
        outline.setFocus();
        QTest::keySequence(window, QKeySequence::Find);
        auto* field = window->findChild<QLineEdit*>(QStringLiteral("searchField"));
        QVERIFY(field);
        QCOMPARE(QApplication::focusWidget(), field);
        QVERIFY(!field->accessibleName().isEmpty());
        QTest::keyClicks(field, QStringLiteral("k"));
        QCOMPARE(rowNames(outline), (QStringList{"Home", "Küche", "Kino"})); // Küche's parent shows it
        QTest::keyClick(field, Qt::Key_Return);                              // the first match
        QCOMPARE(selectedNames(outline), QStringList{"Küche"});
        QTest::keySequence(window, QKeySequence::FindNext);
        QCOMPARE(selectedNames(outline), QStringList{"Kino"});
        QVERIFY(!window->document().isDocumentEdited());

        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(field->text(), QString());
        QCOMPARE(QApplication::focusWidget(), &outline);
        QCOMPARE(selectedNames(outline), QStringList{"Kino"});
        QCOMPARE(rowNames(outline), (QStringList{"Home", "Kino"})); // folded again as before the search

        // A match found deep in a folded item stays in view, selected, when the search ends.
        QTest::keySequence(window, QKeySequence::Find);
        QTest::keyClicks(field, QStringLiteral("rosen"));
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(rowNames(outline), (QStringList{"Home", "Garden", "Rosen", "Küche", "Kino"}));
        QCOMPARE(selectedNames(outline), QStringList{"Rosen"});
        QVERIFY(!window->document().isDocumentEdited());
    }

    void eachLetterNarrowsTheRowsAndADeletedOneBringsThemBack() {
        DocumentMainWindow* window =
            open({item("Home", 0, {item("Garden", 0, {item("Kinderbuch")}), item("Küche")}), item("Kino"),
                  item("Work", 0, {item("Kiste")})});
        OutlineTreeView& outline = window->outline();
        auto* field = window->findChild<QLineEdit*>(QStringLiteral("searchField"));
        const QStringList everyK{"Home", "Garden", "Kinderbuch", "Küche", "Kino", "Work", "Kiste"};
        QTest::keyClicks(field, QStringLiteral("k"));
        QCOMPARE(rowNames(outline), everyK);
        outline.selection().selectItems({shownItem(outline, "Kino")});
        QTest::keyClicks(field, QStringLiteral("in"));
        QCOMPARE(rowNames(outline), (QStringList{"Home", "Garden", "Kinderbuch", "Kino"}));
        QCOMPARE(selectedNames(outline), QStringList{"Kino"}); // kept while shown
        QTest::keyClicks(field, QStringLiteral("d"));
        QCOMPARE(rowNames(outline), (QStringList{"Home", "Garden", "Kinderbuch"}));
        QVERIFY(selectedNames(outline).isEmpty());
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(rowNames(outline), (QStringList{"Home", "Garden", "Kinderbuch", "Kino"}));
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(rowNames(outline), everyK);          // open again as they were: Kiste shows under Work
        QTest::keyClicks(field, QStringLiteral("u")); // "ku" finds Küche
        QCOMPARE(rowNames(outline), (QStringList{"Home", "Küche"}));
        QVERIFY(!window->document().isDocumentEdited());
    }

    void anEmptyOutlineSaysWhyItShowsNothing() {
        const DocumentMainWindow* untitled = _controller->newUntitledDocument();
        QVERIFY(untitled->outline().emptyText().startsWith("This list has no items yet."));

        DocumentMainWindow* window = open({item("Kino", 1.0), item("Kiste", 1.0)});
        OutlineTreeView& outline = window->outline();
        auto* field = window->findChild<QLineEdit*>(QStringLiteral("searchField"));
        QTest::keyClicks(field, QStringLiteral(" zz "));
        QVERIFY(rowNames(outline).isEmpty());
        QVERIFY2(outline.emptyText().startsWith(QStringLiteral("No item matches “zz”.")),
                 qPrintable(outline.emptyText()));
        QCOMPARE(outline.accessibleDescription(), outline.emptyText()); // what a screen reader is told
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(outline.accessibleDescription(), QString());
        command(window, "toggleHideCompletedItems")->trigger();
        QVERIFY(rowNames(outline).isEmpty());
        QVERIFY(outline.emptyText().startsWith("Every item of this list is completed and hidden."));
    }

    void anEditThatLeavesTheSearchKeepsTheFocusInTheOutline() {
        DocumentMainWindow* window = open({item("Kino"), item("Kiste")});
        OutlineTreeView& outline = window->outline();
        auto* field = window->findChild<QLineEdit*>(QStringLiteral("searchField"));
        QTest::keyClicks(field, QStringLiteral("ki"));
        window->activateWindow();
        QApplication::setActiveWindow(window);
        editCell(outline, "Kino", Column::Name);
        QVERIFY(cellEditor(outline));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        typeIntoEditor(outline, QStringLiteral("Xylophon"));
        QCoreApplication::processEvents(); // the view's next layout
        QCOMPARE(rowNames(outline), QStringList{"Kiste"});
        QVERIFY(!outline.isEditing());
        QCOMPARE(QApplication::focusWidget(), &outline);
        QCOMPARE(field->text(), QStringLiteral("ki"));
        QVERIFY(findItem(*window->document().data(), QStringLiteral("Xylophon")));
    }

    void aNewItemMadeWhileSearchingShowsToBeNamed() {
        DocumentMainWindow* window = open({item("Kino"), item("Brot")});
        OutlineTreeView& outline = window->outline();
        auto* field = window->findChild<QLineEdit*>(QStringLiteral("searchField"));
        QTest::keyClicks(field, QStringLiteral("ki"));
        QCOMPARE(rowNames(outline), QStringList{"Kino"});
        const auto newItem = [&] {
            outline.setFocus();
            QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(field->text(), QString());
            QVERIFY(cellEditor(outline));
        };
        newItem();
        typeIntoEditor(outline, "Milch");
        QStringList names = rowNames(outline);
        names.sort();
        QCOMPARE(names, (QStringList{"Brot", "Kino", "Milch"}));

        // A term stored in the list is set aside in the window, and stays in the list.
        window->document().outlineCommands().setStoredSearchTerm(Value("ki"));
        QCOMPARE(field->text(), QStringLiteral("ki"));
        newItem();
        QCOMPARE(window->document().data()->value(key::filterTerm), Value("ki"));
    }

    void newItemIsNamedInPlace() {
        DocumentMainWindow* window = watched(_controller->newUntitledDocument());
        OutlineTreeView& outline = window->outline();
        QCOMPARE(window->windowTitle(), QStringLiteral("Untitled[*]"));
        QVERIFY(outline.hasFocus());

        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(cellEditor(outline));
        typeIntoEditor(outline, "Buy milk");

        const NodePtr milk = shownItem(outline, "Buy milk");
        QVERIFY(milk);
        QCOMPARE(selectedNames(outline), QStringList{"Buy milk"});
        QVERIFY(!outline.isEditing());
        QVERIFY(outline.hasFocus());
        QVERIFY(window->isWindowModified());
        QCOMPARE(window->findChild<QLabel*>("statusLine")->text(), QStringLiteral("1/1 outstanding"));
        QCOMPARE(window->findChild<QLabel*>("selectionLabel")->text(), QStringLiteral("Buy milk"));
        // A second untitled list gets its own name.
        QCOMPARE(_controller->newUntitledDocument()->document().displayName(), QStringLiteral("Untitled 2"));
    }

    void categoryDueDateAndTabInPlace() {
        NodePtr rent = item("rent");
        rent->set(key::category, "Home");
        DocumentMainWindow* window = open({rent, item("milk")});
        OutlineTreeView& outline = window->outline();

        editCell(outline, "milk", Column::Category);
        auto* combo = qobject_cast<QComboBox*>(cellEditor(outline));
        QVERIFY(combo);
        QCOMPARE(combo->findText("Home"), 0); // the list's categories are offered
        typeIntoEditor(outline, "Errands");
        const NodePtr milk = shownItem(outline, "milk");
        QCOMPARE(milk->value(key::category), Value("Errands"));

        // Opening the list of categories keeps the edit open; choosing from it ends the edit.
        window->activateWindow();
        QApplication::setActiveWindow(window);
        later();
        editCell(outline, "rent", Column::Category);
        const QPointer<QComboBox> categories = qobject_cast<QComboBox*>(cellEditor(outline));
        QTRY_VERIFY(categories->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);
        QTRY_VERIFY(categories && categories->view()->isVisible());
        QVERIFY(outline.isEditing());
        QCOMPARE(categories->currentText(), QStringLiteral("Home"));
        QCOMPARE(categories->view()->currentIndex().data().toString(), QStringLiteral("Home"));
        categories->view()->setCurrentIndex(categories->model()->index(categories->findText("Errands"), 0));
        QTest::keyClick(categories->view(), Qt::Key_Return);
        QTRY_COMPARE(shownItem(outline, "rent")->value(key::category), Value("Errands"));
        QVERIFY(!outline.isEditing());

        // The next cell opens at once, however soon after the last edit.
        editCell(outline, "milk", Column::Due);
        QVERIFY(qobject_cast<DueDateEditor*>(cellEditor(outline)));
        typeIntoEditor(outline, "2031-05-17 09:30");
        QCOMPARE(milk->value(key::due), Value("2031-05-17 09:30:00 +0200"));
        QCOMPARE(shownCell(outline, "milk", Column::Due).data().toString(),
                 formatDueDate(QDateTime(QDate(2031, 5, 17), QTime(9, 30))));

        // Opening the editor and leaving it changes nothing; clearing it removes the due date.
        later();
        editCell(outline, "milk", Column::Due);
        typeIntoEditor(outline, QString(), Qt::Key_Return);
        QVERIFY(milk->contains(key::due));
        later();
        editCell(outline, "milk", Column::Due);
        QTest::keyClick(cellEditor(outline), Qt::Key_Backspace);
        typeIntoEditor(outline, QString());
        QVERIFY(!milk->contains(key::due));

        // Tab moves on to the next editable cell of the row.
        later();
        editCell(outline, "rent", Column::Name);
        typeIntoEditor(outline, "pay rent", Qt::Key_Tab);
        QCOMPARE(rowNames(outline).constFirst(), QStringLiteral("pay rent"));
        QVERIFY(qobject_cast<QComboBox*>(cellEditor(outline)));
        QCOMPARE(selectedNames(outline), QStringList{"pay rent"});
    }

    void aDateThatIsNoDateKeepsTheEditorAndTheDate() {
        NodePtr rent = item("rent");
        rent->set(key::due, "2026-12-24 09:00:00 +0100");
        DocumentMainWindow* window = open({rent});
        OutlineTreeView& outline = window->outline();
        outline.header()->resizeSection(columnIndex(Column::Due), 40);
        editCell(outline, "rent", Column::Due);
        auto* editor = qobject_cast<DueDateEditor*>(cellEditor(outline));
        QVERIFY(editor);
        // The whole date shows, with the calendar button, however narrow the column.
        QVERIFY(editor->width() > editor->fontMetrics().horizontalAdvance(editor->text()) + editor->height());

        editor->selectAll();
        QTest::keyClicks(editor, "garbage");
        // The log keeps the whole message, which the line may show shortened.
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral(
                                            "^status line of .*: “garbage” is not a date.*\\.$")));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(cellEditor(outline), editor);
        QCOMPARE(editor->text(), QStringLiteral("garbage"));
        rent = shownItem(outline, "rent");
        QCOMPARE(rent->value(key::due), Value("2026-12-24 09:00:00 +0100"));
        auto* message = window->findChild<ElidingLabel*>("statusMessage");
        QTRY_VERIFY(message->isVisible());
        QVERIFY2(message->text().startsWith("“garbage” is not a date"), qPrintable(message->text()));
        // Shortened in a narrow window, it is whole as its tool tip.
        window->resize(420, window->height());
        QTRY_VERIFY(message->isElided());
        QHelpEvent pointedAt(QEvent::ToolTip, QPoint(4, 4), message->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(message, &pointedAt);
        QCOMPARE(QToolTip::text(), message->text());

        // The date as the column shows dates, without seconds, is taken.
        editor->selectAll();
        QTest::keyClicks(editor, formatDueDate(QDateTime(QDate(2026, 12, 25), QTime(14, 30))));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!outline.isEditing());
        QCOMPARE(rent->value(key::due), Value("2026-12-25 14:30:00 +0100"));
        QVERIFY(!message->isVisible());
    }

    void theStatusLineShortensTheNameAndKeepsTheCount() {
        DocumentMainWindow* window = open({item(QString(300, u'w')), item("b")});
        window->resize(420, 300);
        clickCell(window->outline(), QString(300, u'w'), Column::Icon);
        auto* count = window->findChild<QLabel*>("statusLine");
        auto* name = window->findChild<ElidingLabel*>("selectionLabel");
        QTRY_VERIFY(name->isElided());
        QCOMPARE(count->text(), QStringLiteral("2/2 outstanding"));
        QVERIFY(count->isVisible());
        QVERIFY(window->statusBar()->rect().contains(count->geometry()));
        QVERIFY(name->geometry().right() < count->geometry().left());
    }

    void withNothingSelectedNoRowIsCurrent() {
        DocumentMainWindow* window = open({item("a"), item("b")});
        OutlineTreeView& outline = window->outline();
        outline.setFocus();
        QVERIFY(!outline.currentIndex().isValid()); // so no row shows a focus frame
        QTest::keyClick(&outline, Qt::Key_Down);
        QCOMPARE(selectedNames(outline), QStringList{"a"});
        QTest::keyClick(&outline, Qt::Key_Delete);
        QCOMPARE(rowNames(outline), QStringList{"b"});
        QCOMPARE(selectedNames(outline), QStringList{"b"}); // the next row, with the focus frame
        QVERIFY(outline.currentIndex().isValid());
    }

    void aClickSelectsAndTheSelectedRowIsEdited() {
        DocumentMainWindow* window = open({item("milk"), item("eggs"), item("bread"), item("jam")});
        OutlineTreeView& outline = window->outline();
        // A click selects: Delete then deletes the item, not the name, and the arrows go on from
        // the next row.
        clickCell(outline, "milk", Column::Name);
        QCOMPARE(selectedNames(outline), QStringList{"milk"});
        QVERIFY(!outline.isEditing());
        QTest::keyClick(&outline, Qt::Key_Delete);
        QCOMPARE(rowNames(outline), (QStringList{"eggs", "bread", "jam"}));
        QCOMPARE(selectedNames(outline), QStringList{"eggs"});
        QTest::keyClick(&outline, Qt::Key_Down);
        QCOMPARE(selectedNames(outline), QStringList{"bread"});
        QTest::keyClick(&outline, Qt::Key_X, Qt::ControlModifier); // cut, and on from the next row
        QCOMPARE(rowNames(outline), (QStringList{"eggs", "jam"}));
        QCOMPARE(selectedNames(outline), QStringList{"jam"});
        QTest::keyClick(&outline, Qt::Key_Delete); // the last row: the one before it follows
        QCOMPARE(selectedNames(outline), QStringList{"eggs"});
        QTest::keyClick(&outline, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&outline, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&outline, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowNames(outline), (QStringList{"milk", "eggs", "bread", "jam"}));

        // A click on the selected row's text, Return, F2 and a double click each edit.
        later();
        clickCell(outline, "eggs", Column::Name);
        QVERIFY(!outline.isEditing());
        clickCell(outline, "eggs", Column::Name);
        QVERIFY(qobject_cast<QLineEdit*>(cellEditor(outline)));
        typeIntoEditor(outline, "brown eggs");
        QCOMPARE(rowNames(outline).at(1), QStringLiteral("brown eggs"));
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_F2}) {
            QTest::keyClick(&outline, key);
            QVERIFY(qobject_cast<QLineEdit*>(cellEditor(outline)));
            QTest::keyClick(cellEditor(outline), Qt::Key_Escape);
            QVERIFY(!outline.isEditing());
        }
        later();
        doubleClickCell(outline, "bread", Column::Category);
        QVERIFY(qobject_cast<QComboBox*>(cellEditor(outline)));
        QTest::keyClick(cellEditor(outline), Qt::Key_Escape);

        // A name left empty keeps the old one, and the status line says so.
        QTest::keyClick(&outline, Qt::Key_F2);
        QTest::keyClick(cellEditor(outline), Qt::Key_Delete);
        typeIntoEditor(outline, QString());
        QCOMPARE(rowNames(outline).at(2), QStringLiteral("bread"));
        auto* message = window->findChild<ElidingLabel*>("statusMessage");
        QTRY_VERIFY(message->isVisible());
        QCOMPARE(message->text(), QStringLiteral("An item’s name cannot be empty, so it stays “bread”."));
    }

    void noticesAnswerTheKeysPeopleUse_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<MessageRole>("answer");
        QTest::newRow("Escape dismisses") << int(Qt::Key_Escape) << 0 << MessageRole::Accept;
        QTest::newRow("Return is OK") << int(Qt::Key_Return) << 0 << MessageRole::Accept;
        QTest::newRow("the access key views")
            << int(Qt::Key_V) << int(Qt::AltModifier) << MessageRole::Reject;
        QTest::newRow("so does its letter") << int(Qt::Key_V) << 0 << MessageRole::Reject;
    }
    void noticesAnswerTheKeysPeopleUse() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(MessageRole, answer);
        DocumentMainWindow* window = open({item("rent")});
        std::optional<MessageRole> answered;
        // A minder notice: OK and View Item.
        window->document().alertQueue()->addAlert(
            "Tardigo Minder Notification", "\"rent\"\nPast date due", false, QStringLiteral("OK"),
            QStringLiteral("View Item"), std::nullopt,
            [&answered](MessageAnswer given) { answered = given.role; });
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("messageBox")) && box->isVisible());
        box->windowHandle()->requestActivate(); // as the desktop does with a new window
        QTRY_COMPARE(QApplication::activeWindow(), box);
        QCOMPARE(QApplication::focusWidget(), box->defaultButton());
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("&OK"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(answered.has_value());
        QCOMPARE(*answered, answer);
    }

    // The answer names the button by its role, each action button by its place; it comes once the
    // box has closed, and the next message in the queue follows it.
    void eachButtonAnswersWithItsRole_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("accept") << "Purge" << MessageAnswer{MessageRole::Accept};
        QTest::newRow("reject") << "Keep" << MessageAnswer{MessageRole::Reject};
        QTest::newRow("first action") << "Later" << actionAnswer(0);
        QTest::newRow("second action") << "Much Later" << actionAnswer(1);
        QTest::newRow("destructive") << "Discard" << MessageAnswer{MessageRole::Destructive};
    }
    void eachButtonAnswersWithItsRole() {
        QFETCH(QString, label);
        QFETCH(MessageAnswer, answer);
        DocumentMainWindow* window = open({item("rent")});
        Message question;
        question.title = QStringLiteral("Purge the list?");
        question.acceptButton = QStringLiteral("Purge");
        question.rejectButton = QStringLiteral("Keep");
        question.actionButtons = {QStringLiteral("Later"), QStringLiteral("Much Later")};
        question.destructiveButton = QStringLiteral("Discard");
        QPointer<QMessageBox> box;
        std::optional<MessageAnswer> answered;
        bool stillShowing = true;
        QString showingThen;
        window->document().alertQueue()->addAlert(question, [&](MessageAnswer given) {
            answered = given;
            stillShowing = box && box->isVisible();
            showingThen =
                window->messages().currentBox() ? window->messages().currentBox()->windowTitle() : QString();
        });
        window->document().alertQueue()->addAlert("Next", "text", false, std::nullopt, std::nullopt,
                                                  std::nullopt);
        QTRY_VERIFY((box = window->messages().currentBox()) && box->isVisible());
        QCOMPARE(box->windowTitle(), question.title);
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons())
            if (button->text().remove(u'&') == label)
                chosen = button;
        QVERIFY(chosen);
        chosen->click();
        QTRY_VERIFY(answered.has_value());
        QVERIFY(*answered == answer);
        QVERIFY(!stillShowing);
        QCOMPARE(showingThen, QStringLiteral("Next"));
    }

    void thePurgeQuestionTakesReturnForCancel() {
        // A purge cannot be undone.
        DocumentMainWindow* window = open({item("done", 1.0)});
        window->document().itemCommands().purgeCompletedItems();
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("messageBox")) && box->isVisible());
        QCOMPARE(box->defaultButton()->text(), QStringLiteral("&Cancel"));
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(!window->findChild<QMessageBox*>("messageBox"));
        QCOMPARE(rowNames(window->outline()), QStringList{"done"});
    }

    void aFailedSaveIsToldPlainlyOnItsWindow() {
        DocumentMainWindow* window = open({item("milk")});
        QMessageBox* box = nullptr;
        DialogService::queueFileName(_files.filePath("no such folder/elsewhere.todo"));
        command(window, "saveDocumentAs")->trigger();
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("messageBox")) && box->isVisible());
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(box->text(), QStringLiteral("“elsewhere.todo” could not be saved."));
        QVERIFY(box->informativeText().startsWith("Your changes are still here"));
        QVERIFY(box->detailedText().contains("elsewhere.todo")); // the technical reason
        box->buttons().constFirst()->click();
        QTRY_VERIFY(!window->findChild<QMessageBox*>("messageBox"));
    }

    // A message's title, a sentence, is its window's title too: one too long for a title bar ends
    // after its last whole word that fits, never in the middle of one.
    void aLongMessageTitleIsCutAtAWord() {
        DocumentMainWindow* window = open({item("milk")});
        window->document().alertQueue()->addAlert(
            syncWriteFailureMessage(_files.filePath("Big list of the errands of the whole family.todo"),
                                    _files.filePath("tasks"), {QStringLiteral("a.ics: disk full")}));
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("messageBox")) && box->isVisible());
        const QString whole = box->text(), title = box->windowTitle();
        QVERIFY2(title.endsWith(u'…') && title.size() < whole.size(), qPrintable(title));
        const QString kept = title.chopped(1);
        QVERIFY2(whole.startsWith(kept) && whole.at(kept.size()) == u' ', qPrintable(title));
        box->buttons().constFirst()->click();

        const QFontMetrics metrics = window->fontMetrics();
        const QString shortTitle = QStringLiteral("Replace File");
        QCOMPARE(titleToFit(shortTitle, metrics, metrics.horizontalAdvance(shortTitle)), shortTitle);
        // A title of one word longer than the bar is cut all the same, to fit.
        const QString path = QStringLiteral("/home/anna/Documents/lists/errands-of-the-whole-family.todo");
        const QString cut = titleToFit(path, metrics, 120);
        QVERIFY(cut.endsWith(u'…') && metrics.horizontalAdvance(cut) <= 120);
    }

    void doneHideCompletedAndTheStatusLine() {
        DocumentMainWindow* window = open({item("a"), item("b"), item("c", 0.5)});
        OutlineTreeView& outline = window->outline();
        auto* status = window->findChild<QLabel*>("statusLine");
        QCOMPARE(status->text(), QStringLiteral("3/3 outstanding"));

        clickCell(outline, "b", Column::Icon);
        QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(shownItem(outline, "b")->value(key::completion), Value::boolean(true));
        doubleClickCell(outline, "c", Column::Icon); // partly done becomes done
        QCOMPARE(shownItem(outline, "c")->value(key::completion), Value::boolean(true));
        QCOMPARE(status->text(), QStringLiteral("1/3 outstanding"));

        auto* hide = window->findChild<QToolButton*>(DocumentToolbar::hideCompletedIdentifier);
        QCOMPARE(hide->text(), QStringLiteral("Hide Completed"));
        QVERIFY(hide->toolTip().contains("Click to hide them"));
        hide->click();
        QCOMPARE(rowNames(outline), QStringList{"a"});
        QVERIFY(hide->isChecked());
        QVERIFY(hide->toolTip().contains("Click to show them again"));
        QVERIFY(command(window, "toggleHideCompletedItems")->isChecked());
        QCOMPARE(status->text(), QStringLiteral("1/3 outstanding")); // hidden items still count

        command(window, "toggleHideCompletedItems")->trigger();
        QCOMPARE(rowNames(outline), (QStringList{"a", "b", "c"}));
        QVERIFY(!hide->isChecked());
    }

    void headerClicksSortWithTheArrow() {
        DocumentMainWindow* window = open({item("pear"), item(""), item("Apple"), item("fig")});
        OutlineTreeView& outline = window->outline();
        clickCell(outline, "fig", Column::Icon);

        clickHeader(outline, Column::Name);
        QCOMPARE(rowNames(outline), (QStringList{"Apple", "fig", "pear", ""}));
        QCOMPARE(outline.header()->sortIndicatorSection(), columnIndex(Column::Name));
        QCOMPARE(outline.header()->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(outline.highlightedColumn(), std::optional(Column::Name));
        QTRY_COMPARE(selectedNames(outline), QStringList{"fig"}); // still selected after the sort

        clickHeader(outline, Column::Name);
        QCOMPARE(rowNames(outline), (QStringList{"", "pear", "fig", "Apple"}));
        QCOMPARE(outline.header()->sortIndicatorOrder(), Qt::DescendingOrder);
        QVERIFY(command(window, "endColumnSorting")->isEnabled());

        command(window, "sortBy_category")->trigger(); // the same from the keyboard
        QCOMPARE(outline.header()->sortIndicatorSection(), columnIndex(Column::Category));
        QCOMPARE(outline.highlightedColumn(), std::optional(Column::Category));

        const QStringList sorted = rowNames(outline);
        command(window, "endColumnSorting")->trigger();
        QCOMPARE(rowNames(outline), sorted);
        QCOMPARE(outline.header()->sortIndicatorSection(), -1);
        QVERIFY(!outline.highlightedColumn());
        QVERIFY(!command(window, "endColumnSorting")->isEnabled());
    }

    void undoAndRedoAreTitledAndEnabledByTheStack() {
        DocumentMainWindow* window = open({item("milk")});
        OutlineTreeView& outline = window->outline();
        QAction* undo = command(window, "undo");
        QVERIFY(!undo->isEnabled());

        clickCell(outline, "milk", Column::Icon);
        QTest::keyClick(window, Qt::Key_F2);
        typeIntoEditor(outline, "oat milk");
        QCoreApplication::processEvents(); // the event's step is pushed: the title follows the stack
        QCOMPARE(undo->text(), QStringLiteral("Undo set name"));
        QVERIFY(undo->isEnabled());
        QVERIFY(window->isWindowModified());

        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowNames(outline), QStringList{"milk"});
        QCOMPARE(selectedNames(outline), QStringList{"milk"});
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("Undo"));
        QVERIFY(!window->isWindowModified());
        QAction* redo = command(window, "redo");
        QCOMPARE(redo->text(), QStringLiteral("Redo set name"));
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(rowNames(outline), QStringList{"oat milk"});
        QCOMPARE(undo->text(), QStringLiteral("Undo set name"));
        QVERIFY(!redo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("Redo"));
        QVERIFY(window->isWindowModified());
    }

    void undoOpensTheFoldedItemsThatHideWhatItBringsBack() {
        DocumentMainWindow* window = open({item("home", 0, {item("sweep"), item("dust")}), item("work")});
        OutlineTreeView& outline = window->outline();
        outline.setFocus();
        const auto onRow = [&](const QString& name, Qt::Key key) {
            later();
            clickCell(outline, name, Column::Icon);
            QTest::keyClick(&outline, key);
            QCoreApplication::processEvents(); // the event's undo group closes
        };
        onRow("home", Qt::Key_Right);
        onRow("sweep", Qt::Key_F2);
        typeIntoEditor(outline, "mop");
        QCoreApplication::processEvents();
        onRow("dust", Qt::Key_Delete);
        QCOMPARE(rowNames(outline), (QStringList{"home", "mop", "work"}));

        onRow("home", Qt::Key_Left);
        QCOMPARE(rowNames(outline), (QStringList{"home", "work"}));
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); // the deletion
        QCOMPARE(rowNames(outline), (QStringList{"home", "mop", "dust", "work"}));
        QCOMPARE(selectedNames(outline), QStringList{"dust"});

        onRow("home", Qt::Key_Left);
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier); // the new name
        QCOMPARE(rowNames(outline), (QStringList{"home", "sweep", "dust", "work"}));
        QCOMPARE(selectedNames(outline), QStringList{"sweep"});
        QCOMPARE(outline.currentIndex().row(), 0); // sweep's row under home: the keyboard goes on from it
        QCOMPARE(outline.outlineModel().itemForIndex(outline.currentIndex()), shownItem(outline, "sweep"));
    }

    void savedListReopensAsItWasLeft() {
        DocumentMainWindow* window = watched(_controller->newUntitledDocument());
        OutlineTreeView& outline = window->outline();
        for (const char* name : {"walk dog", "call mum", "buy bread"}) {
            QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
            typeIntoEditor(outline, name);
            later();
        }
        editCell(outline, "call mum", Column::Category);
        typeIntoEditor(outline, "Family");
        later();
        clickCell(outline, "buy bread", Column::Icon);
        QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier);
        clickHeader(outline, Column::Name);
        QTest::keyClick(window, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(rowNames(outline), (QStringList{"call mum", "walk dog"}));

        const QString path = _files.filePath("saved.todo");
        DialogService::queueFileName(path);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(path));
        QVERIFY(!window->isWindowModified());
        QCOMPARE(window->windowTitle(), QStringLiteral("saved.todo[*]"));
        QVERIFY(_controller->recentDocuments().contains(path));
        QVERIFY(window->close());
        QVERIFY(_controller->windows().empty());

        DocumentMainWindow* reopened = watched(_controller->openFile(path));
        QVERIFY(reopened);
        OutlineTreeView& again = reopened->outline();
        QCOMPARE(rowNames(again), (QStringList{"call mum", "walk dog"}));
        QCOMPARE(shownItem(again, "call mum")->value(key::category), Value("Family"));
        QVERIFY(reopened->findChild<QToolButton*>(DocumentToolbar::hideCompletedIdentifier)->isChecked());
        QCOMPARE(again.header()->sortIndicatorSection(), columnIndex(Column::Name));
        QVERIFY(findItem(*reopened->document().data(), "buy bread"));
        // Opening it again only brings its window forward.
        QCOMPARE(_controller->openFile(path), reopened);
        QCOMPARE(_controller->windows().size(), size_t(1));
    }

    void closingAsksAboutUnsavedChanges() {
        DocumentMainWindow* window = open({item("milk")});
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        typeIntoEditor(window->outline(), "eggs");

        DialogService::queueAnswer(QMessageBox::Cancel);
        QVERIFY(!window->close());
        QCOMPARE(DialogService::takeShownTexts(),
                 QStringList{"Do you want to save the changes you made to “list.todo”?\n"
                             "Your changes will be lost if you don’t save them."});
        QCOMPARE(_controller->windows().size(), size_t(1));

        DialogService::queueAnswer(QMessageBox::Discard);
        QVERIFY(window->close());
        QVERIFY(_controller->windows().empty());
    }

    void revertReadsTheSavedListAgain() {
        DocumentMainWindow* window = open({item("milk"), item("eggs")});
        OutlineTreeView& outline = window->outline();
        editCell(outline, "milk", Column::Name);
        typeIntoEditor(outline, "oat milk");
        QCoreApplication::processEvents();
        QVERIFY(command(window, "revertDocument")->isEnabled());

        DialogService::queueAnswer(QMessageBox::Cancel);
        command(window, "revertDocument")->trigger();
        QCOMPARE(rowNames(outline).constFirst(), QStringLiteral("oat milk"));

        DialogService::queueAnswer(QMessageBox::Discard);
        command(window, "revertDocument")->trigger();
        QCOMPARE(rowNames(outline), (QStringList{"milk", "eggs"}));
        QVERIFY(!window->isWindowModified());
        QVERIFY(!command(window, "undo")->isEnabled()); // the old steps would act on nodes now gone
        QVERIFY(!command(window, "revertDocument")->isEnabled());
    }

    void commandsFollowTheSelectionAndTheList() {
        DocumentMainWindow* window = open({item("a"), item("b", 1.0)});
        OutlineTreeView& outline = window->outline();
        QAction* done = window->toolbar().action(DocumentToolbar::doneIdentifier);
        for (const char* name : {"doneItem", "deleteItem", "renameItem"})
            QVERIFY2(!command(window, name)->isEnabled(), name);
        QVERIFY(!done->isEnabled());

        // The slider under the pointer is as long as the bar and its percentage, 168 pixels.
        outline.header()->resizeSection(columnIndex(Column::Name), 100); // the cell is in view
        const QRect cell = outline.visualRect(shownCell(outline, "a", Column::Completion));
        QTest::mouseClick(outline.viewport(), Qt::LeftButton, {},
                          QPoint(cell.left() + 4 + 84, cell.center().y()));
        for (const char* name : {"doneItem", "deleteItem", "renameItem"})
            QVERIFY2(command(window, name)->isEnabled(), name);
        QVERIFY(done->isEnabled());

        // The slider sets the completion where the user lets go: its middle is about half.
        const double completion = shownItem(outline, "a")->value(key::completion).asNumber()->toDouble();
        QVERIFY2(completion > 0.4 && completion < 0.6, qPrintable(QString::number(completion)));

        window->menus().validatePurge(window->document());
        QVERIFY(command(window, "purgeCompletedItems")->isEnabled());
        QTest::keyClick(&outline, Qt::Key_Delete);
        QCOMPARE(rowNames(outline), QStringList{"b"});

        QAction* notes = window->menus().columnAction(Column::Notes);
        QVERIFY(notes->isChecked());
        notes->trigger();
        QVERIFY(!window->document().outlineSettings().hasColumn(Column::Notes));
        QVERIFY(outline.isColumnHidden(columnIndex(Column::Notes)));
        QVERIFY(!notes->isChecked());
        notes->trigger();
        QCOMPARE(window->document().outlineSettings().columns().last(), Column::Notes);
        QVERIFY(!outline.isColumnHidden(columnIndex(Column::Notes)));
    }

    void pastDueDateWarnsInAWindowModalMessage() {
        DocumentMainWindow* window = open({item("rent")});
        OutlineTreeView& outline = window->outline();
        editCell(outline, "rent", Column::Due);
        typeIntoEditor(outline, "2024-03-01 08:00");
        QCOMPARE(shownItem(outline, "rent")->value(key::due), Value("2024-03-01 08:00:00 +0100"));
        QMessageBox* box = window->findChild<QMessageBox*>("messageBox");
        QVERIFY(box);
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(box->informativeText(), QStringLiteral("You have set a date due in the past."));
        box->buttons().constFirst()->click();
        QTRY_VERIFY(!window->findChild<QMessageBox*>("messageBox"));
    }

    void notesOpenFromTheNotesColumnAndCommitOnLeaving() {
        DocumentMainWindow* window = open({item("rent"), item("milk")});
        OutlineTreeView& outline = window->outline();
        clickCell(outline, "milk", Column::Notes);
        InspectorDockWidget& inspector = window->inspector();
        QTRY_VERIFY(inspector.isVisible());
        auto* notes = inspector.findChild<QTextEdit*>(QStringLiteral("notesTextView"));
        QVERIFY(notes->isEnabled());
        QVERIFY(notes->toPlainText().isEmpty());

        notes->setFocus();
        QTest::keyClicks(notes, "semi-skimmed");
        later();
        clickCell(outline, "rent", Column::Icon); // leaving the notes commits them to the item they belong to
        const NodePtr milk = shownItem(outline, "milk");
        QVERIFY(milk->contains(key::notes));
        QCOMPARE(shownCell(outline, "milk", Column::Notes).data().toString(), QStringLiteral("semi-skimmed"));
        QVERIFY(notes->toPlainText().isEmpty()); // rent has none
        QCoreApplication::processEvents();
        QCOMPARE(command(window, "undo")->text(), QStringLiteral("Undo notes"));
    }

    void theExampleListOpensWithItsNotes() {
        const QString example = QStringLiteral(TARDIGO_SOURCE_DIR "/examples/welcome.todo");
        QFile::copy(example, _files.filePath("welcome.todo"));
        DocumentMainWindow* window = watched(_controller->openFile(_files.filePath("welcome.todo")));
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();
        QVERIFY(!rowNames(outline).isEmpty());
        clickCell(outline, rowNames(outline).constFirst(), Column::Notes);
        QTRY_VERIFY(window->inspector().isVisible());
        QVERIFY(!window->inspector()
                     .findChild<QTextEdit*>(QStringLiteral("notesTextView"))
                     ->toPlainText()
                     .isEmpty());
    }

    void aListFrom1xIsConvertedOnceTheUserAgrees() {
        // Both fixtures hold three 1.x items; the second has an envelope newer than version 2.
        const QString path = _files.filePath("old.todo");
        QVERIFY(QFile::copy(TARDIGO_GUI_TEST_DATA_DIR "/list-1x.todo", path));
        const QString confirmation =
            "Please Confirm\nOpening a Tardigo 1.x document in Tardigo 2. After saving, it "
            "will no longer be usable in Tardigo 1.x.";

        DialogService::queueAnswer(QMessageBox::Cancel);
        QVERIFY(!_controller->openFile(path));
        QCOMPARE(DialogService::takeShownTexts(), QStringList{confirmation}); // declining is no error
        QVERIFY(_controller->windows().empty());

        DialogService::queueAnswer(QMessageBox::Ok);
        DocumentMainWindow* window = watched(_controller->openFile(path));
        QVERIFY(window);
        QCOMPARE(rowNames(window->outline()),
                 (QStringList{"Pay rent", "Call Anna – über Skype", "<no name>"}));
        QCOMPARE(window->windowTitle(), QStringLiteral("old.todo[*]"));
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(readListFile(path).ok()); // saved in the current format under the same name

        const QString newer = _files.filePath("newer.todo");
        QVERIFY(QFile::copy(TARDIGO_GUI_TEST_DATA_DIR "/list-1x-newer.todo", newer));
        DialogService::takeShownTexts();
        QVERIFY(!_controller->openFile(newer));
        const QStringList shown = DialogService::takeShownTexts();
        QCOMPARE(shown.size(), 1); // refused without asking, and nothing else closes
        QVERIFY2(shown.front().contains("This list was saved by a newer version of Tardigo"),
                 qPrintable(shown.front()));
        QCOMPARE(_controller->windows().size(), size_t(1));
    }

    void aFileThatIsNoListIsRefusedWithTheReason() {
        const QString path = _files.filePath("notes.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("shopping: milk, eggs");
        file.close();
        QVERIFY(!_controller->openFile(path));
        const QStringList shown = DialogService::takeShownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.front().contains("notes.txt"), qPrintable(shown.front())); // names the file
        QVERIFY(_controller->windows().empty());
    }

    void layoutAndRecentListsAreRememberedByName() {
        DocumentMainWindow* window = open({item("a")}, "a.todo");
        window->resize(700, 450);
        window->menus().columnAction(Column::Notes)->trigger(); // notes off
        DialogService::queueAnswer(QMessageBox::Discard);
        QVERIFY(window->close());
        window = watched(_controller->openFile(_files.filePath("a.todo")));
        QCOMPARE(window->size(), QSize(700, 450));
        QVERIFY(!window->document().outlineSettings().hasColumn(Column::Notes));
        QVERIFY(!window->menus().columnAction(Column::Notes)->isChecked());

        // An untitled list remembers nothing.
        DocumentMainWindow* untitled = _controller->newUntitledDocument();
        const QSize fresh = untitled->size();
        untitled->resize(640, 400);
        untitled->menus().columnAction(Column::Category)->trigger();
        DialogService::queueAnswer(QMessageBox::Discard);
        QVERIFY(untitled->close());
        untitled = _controller->newUntitledDocument();
        QCOMPARE(untitled->size(), fresh);
        QVERIFY(untitled->document().outlineSettings().hasColumn(Column::Category));

        // The recent lists, newest first, each once; choosing an open one brings it forward.
        DocumentMainWindow* b = open({item("b")}, "b.todo");
        QCOMPARE(_controller->recentDocuments().mid(0, 2),
                 (QStringList{_files.filePath("b.todo"), _files.filePath("a.todo")}));
        b->toolbar().setItemIdentifiers({DocumentToolbar::recentDocsIdentifier});
        b->toolbar().setRecentDocuments(_controller->recentDocuments());
        auto* popup = b->toolbar().findChild<QMenu*>("recentDocsPopup");
        QVERIFY(popup);
        QCOMPARE(popup->actions().at(1)->text(), QStringLiteral("a.todo"));
        const size_t windows = _controller->windows().size();
        popup->actions().at(1)->trigger();
        QCOMPARE(_controller->windows().size(), windows);
    }

    void aRestoredWindowFitsTheScreen() {
        // A frame saved on a larger screen, or at a smaller scale, than the one the list opens on.
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget larger;
        larger.setGeometry(QRect(available.topLeft() + QPoint(40, 30), available.size() * 2));
        Settings::instance().setWindowFrame("large.todo", larger.saveGeometry());
        DocumentMainWindow* window = open({item("a")}, "large.todo");
        QVERIFY(available.contains(window->frameGeometry()));
        const QRect status(window->statusBar()->mapToGlobal(QPoint(0, 0)), window->statusBar()->size());
        QVERIFY(available.contains(status));
    }

    void minderErrorsAreShownAsMessages() {
        MessageBoxErrorReporter reporter;
        reporter.noteError("The list “work.todo” could not be read.");
        QCOMPARE(DialogService::takeShownTexts(),
                 QStringList{"Tardigo Minder Error\nThe list “work.todo” could not be read."});
    }

    void toolbarChoiceIsRememberedForNewWindows() {
        DocumentMainWindow* first = watched(_controller->newUntitledDocument());
        QCOMPARE(first->toolbar().itemIdentifiers(), DocumentToolbar::defaultItemIdentifiers());
        const QStringList chosen{DocumentToolbar::recentDocsIdentifier, DocumentToolbar::newItemIdentifier,
                                 "NoSuchItem"};
        DocumentToolbar::saveItemIdentifiers(chosen);
        DocumentMainWindow* second = _controller->newUntitledDocument();
        QCOMPARE(second->toolbar().itemIdentifiers(),
                 (QStringList{DocumentToolbar::recentDocsIdentifier, DocumentToolbar::newItemIdentifier}));
        DocumentToolbar::saveItemIdentifiers(DocumentToolbar::defaultItemIdentifiers());
    }

    // Customize Toolbar names each item as the toolbar shows it under its picture, and shows the picture.
    void customizingShowsTheToolbarsOwnLabels() {
        DocumentMainWindow* window = watched(_controller->newUntitledDocument());
        DocumentToolbar& toolbar = window->toolbar();
        const QStringList all = DocumentToolbar::allowedItemIdentifiers();
        toolbar.setItemIdentifiers(all);
        ToolbarCustomizeDialog dialog(toolbar.itemIdentifiers(), window);
        const auto* chosen = dialog.findChild<QListWidget*>(QStringLiteral("toolbarItems"));
        QCOMPARE(chosen->count(), all.size());
        for (int row = 0; row < chosen->count(); ++row) {
            const QString& identifier = all.at(row);
            const QListWidgetItem* entry = chosen->item(row);
            QVERIFY2(!entry->icon().isNull() && !entry->text().isEmpty(), qPrintable(identifier));
            if (const QAction* action = toolbar.action(identifier))
                QCOMPARE(entry->text(), action->text());
            else if (const auto* button = toolbar.findChild<QToolButton*>(identifier))
                QCOMPARE(entry->text(), button->text());
        }
        dialog.show();
        saveScreenshot(dialog, QStringLiteral("customize-toolbar"));
    }
};

QTEST_MAIN(TestDocumentWindow)
#include "tst_document_window.moc"
