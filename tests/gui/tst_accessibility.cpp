// Every window as a screen reader reads it, offscreen: each control a user can work has a name, no
// cell is a picture without words, the outline's icon cells say each row's status, the completion
// slider tells its value, and a focused button takes Return.
#include "../test_support.h"
#include "gui_test_support.h"

#include "accounts/add_account_dialog.h"
#include "accounts/sync_settings_dialog.h"
#include "agenda/gui/agenda_window.h"
#include "desktop_app/button_keys.h"
#include "desktop_app/preferences_window.h"
#include "desktop_app/tardigo_application.h"
#include "dialogs/message_box_host.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/inspector_tools.h"
#include "outline/inspector_view.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"
#include "rich_text/rich_text.h"
#include "stickies/gui/sticky_board.h"
#include "stickies/gui/sticky_window.h"
#include "window/document_main_window.h"
#include "window/document_toolbar.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"
#include "window/toolbar_customize_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tardigo;
using namespace tardigo::test;

namespace {

bool isControl(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::PageTabList:
    case QAccessible::ColumnHeader:
        return true;
    default:
        return false;
    }
}

/// The control's role and the object that holds it: a cell or a header has none of its own.
QString describe(QAccessibleInterface& node) {
    QAccessibleInterface* holder = &node;
    while (holder && !holder->object())
        holder = holder->parent();
    const QObject* object = holder ? holder->object() : nullptr;
    return QStringLiteral("role 0x%1 in %2 \"%3\"")
        .arg(QString::number(node.role(), 16),
             QLatin1String(object ? object->metaObject()->className() : "?"),
             object ? object->objectName() : QString());
}

/// Cells that show a picture and no words, for a reader to stumble over.
void findMutePictures(const QAbstractItemView& view, const QModelIndex& parent, QStringList& found) {
    const QAbstractItemModel& model = *view.model();
    for (int row = 0; row < model.rowCount(parent); ++row) {
        for (int column = 0; column < model.columnCount(parent); ++column) {
            const QModelIndex index = model.index(row, column, parent);
            if (index.data(Qt::DecorationRole).isNull() ||
                !index.data(Qt::DisplayRole).toString().isEmpty() ||
                !index.data(Qt::AccessibleTextRole).toString().isEmpty())
                continue;
            found << QStringLiteral("a picture without words in \"%1\", row %2 column %3")
                         .arg(view.objectName())
                         .arg(row)
                         .arg(column);
        }
        if (model.hasChildren(model.index(row, 0, parent)))
            findMutePictures(view, model.index(row, 0, parent), found);
    }
}

void walk(QAccessibleInterface* node, QStringList& found) {
    if (!node || !node->isValid() || node->state().invisible)
        return;
    if (const auto* view = qobject_cast<QAbstractItemView*>(node->object()); view && view->model())
        findMutePictures(*view, {}, found);
    if (isControl(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty())
        found << describe(*node);
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), found);
}

/// What a screen reader finds amiss in the window: the controls without a name and the cells that
/// are a picture only. The tree is walked from the window down; an item view's children are its
/// cells, so the controls standing in its cells are walked too.
QStringList unnamedIn(QWidget& window) {
    QStringList found;
    walk(QAccessible::queryAccessibleInterface(&window), found);
    for (const QAbstractItemView* view : window.findChildren<QAbstractItemView*>())
        for (QWidget* cell : view->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (cell->isVisible())
                walk(QAccessible::queryAccessibleInterface(cell), found);
    return found;
}

#define VERIFY_ALL_NAMED(window, what)                                                                       \
    do {                                                                                                     \
        const QStringList unnamed = unnamedIn(window);                                                       \
        QVERIFY2(unnamed.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(what, unnamed.join(u'\n'))));    \
    } while (false)

/// The text of the icon cell of each of the outline's rows, as a screen reader reads it.
QStringList iconCellTexts(OutlineTreeView& outline) {
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&outline);
    QAccessibleTableInterface* table = tree ? tree->tableInterface() : nullptr;
    if (!table)
        return {QStringLiteral("the outline is no table")};
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        QAccessibleInterface* cell = table->cellAt(row, 0);
        texts << (cell ? cell->text(QAccessible::Name) : QStringLiteral("no cell"));
    }
    return texts;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    QString path(const QString& name) const { return _files.filePath(name); }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
        ButtonKeys::install();
    }
    void init() {
        Settings::instance().useMemoryOnly();
        Settings::instance().setMinderDesktopNotification(false);
    }

    void everyWindowNamesEveryControl() {
        const QString list =
            writeList(path("errands.todo"), {item("bank", 0.4, {item("forms")}), item("bakery")});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = application.controller().openFile(list);
        QVERIFY(window);
        window->show();
        window->outline().expandAll();
        selectShown(window->outline(), {"bank"});
        VERIFY_ALL_NAMED(*window, QStringLiteral("the list's window"));
        for (const Column cell : {Column::Name, Column::Category, Column::Due}) {
            editCell(window->outline(), "bank", cell);
            QVERIFY(cellEditor(window->outline()));
            VERIFY_ALL_NAMED(*window, QStringLiteral("the editor of %1").arg(columnIdentifier(cell)));
            QTest::keyClick(cellEditor(window->outline()), Qt::Key_Escape);
        }
        // A field's clear button shows once it holds text.
        window->findChild<QLineEdit*>(QStringLiteral("searchField"))->setText(QStringLiteral("ba"));
        VERIFY_ALL_NAMED(*window, QStringLiteral("the list's window, searched"));
        // Too narrow for its toolbar, the window shows the toolbar's button for the items left out.
        const QSize wide = window->size();
        window->resize(260, wide.height());
        QTRY_VERIFY(window->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))->isVisible());
        VERIFY_ALL_NAMED(*window, QStringLiteral("the list's window, too narrow for its toolbar"));
        window->resize(wide);

        InspectorDockWidget& inspector = window->inspector();
        for (const int tool : inspectorToolOrder()) {
            inspector.showToolWithId(tool);
            VERIFY_ALL_NAMED(inspector, QStringLiteral("inspector tool %1").arg(inspectorToolTitle(tool)));
        }
        // The calendar's year button opens a field for the year.
        inspector.showToolWithId(InspectorToolDueDate);
        auto* calendar = inspector.findChild<QCalendarWidget*>(QStringLiteral("calendarView"));
        calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"))->click();
        QTRY_VERIFY(calendar->findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit"))->isVisible());
        VERIFY_ALL_NAMED(inspector, QStringLiteral("the due date tool, its year typed"));
        inspector.setFloating(true);
        VERIFY_ALL_NAMED(inspector, QStringLiteral("the inspector as a panel"));

        PreferencesWindow& preferences = application.preferences();
        preferences.show();
        VERIFY_ALL_NAMED(preferences, QStringLiteral("the preferences"));
        preferences.showIcons();
        VERIFY_ALL_NAMED(preferences, QStringLiteral("the preferences' icons"));

        AgendaWindow& agenda = application.showAgenda();
        agenda.findChild<QLineEdit*>(QStringLiteral("agendaSearch"))->setText(QStringLiteral("ba"));
        VERIFY_ALL_NAMED(agenda, QStringLiteral("the agenda"));

        QVERIFY(application.handle({InstanceRequest::Command::QuickAdd, {}, {}}).ok);
        QWidget* quickAdd = nullptr;
        QTRY_VERIFY((quickAdd = [] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == QLatin1String("quickAddWindow") && widget->isVisible())
                    return widget;
            return static_cast<QWidget*>(nullptr);
        }()));
        VERIFY_ALL_NAMED(*quickAdd, QStringLiteral("quick add"));

        window->makeSticky();
        QCOMPARE(application.stickies().notes().size(), size_t(1));
        StickyWindow* note = application.stickies().windowOf(application.stickies().notes().front().id);
        QVERIFY(note);
        VERIFY_ALL_NAMED(*note, QStringLiteral("a sticky note"));
    }

    void everyDialogNamesEveryControl() {
        SyncSettingsDialog sync(QStringLiteral("errands"), QString(), nullptr);
        sync.show();
        sync.findChild<QLineEdit*>(QStringLiteral("syncFolderField"))->setText(path("sync"));
        VERIFY_ALL_NAMED(sync, QStringLiteral("sync settings with a folder"));
        sync.findChild<QRadioButton*>(QStringLiteral("syncToCalendar"))->click();
        VERIFY_ALL_NAMED(sync, QStringLiteral("sync settings with a calendar"));

        ToolbarCustomizeDialog toolbar({DocumentToolbar::newItemIdentifier});
        toolbar.show();
        VERIFY_ALL_NAMED(toolbar, QStringLiteral("customize toolbar"));

        AddAccountDialog account(nullptr);
        account.show();
        VERIFY_ALL_NAMED(account, QStringLiteral("add account"));

        QWidget window;
        window.show();
        auto* messages = new MessageBoxHost(&window);
        Message question;
        question.title = QStringLiteral("Changed on Disk");
        question.text = QStringLiteral("Another program changed the list.");
        question.rejectButton = QStringLiteral("Keep Mine");
        question.details = QStringLiteral("modified 2 s ago");
        messages->open(question, {});
        auto* box = window.findChild<QMessageBox*>(QStringLiteral("messageBox"));
        QVERIFY(box);
        VERIFY_ALL_NAMED(*box, QStringLiteral("a message box"));
    }

    // The status is read from the icon cell, in words, for every row whatever its icon.
    void theIconCellSaysEachRowsStatus() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        NodePtr notes = item("notes", 0.25);
        TextRun run;
        run.text = QStringLiteral("ask for the blue one");
        notes->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({run}))));
        NodePtr repeating = dueItem("repeating", "2026-12-20 12:00:00 +0100");
        repeating->set(key::dateDueRepeatPeriod, Value::integer(2));
        repeating->set(key::reminderSet, Value::integer(1));
        NodePtr doneLate = dueItem("done late", "2026-12-01 12:00:00 +0100");
        doneLate->set(key::completion, Value::float32(1));
        const QString list =
            writeList(path("status.todo"),
                      {item("plain"), item("done", 1.0), dueItem("late", "2026-12-06 12:00:00 +0100"),
                       dueItem("tomorrow", "2026-12-08 18:00:00 +0100"), notes, repeating, doneLate});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = application.controller().openFile(list);
        QVERIFY(window);
        window->show();
        QCOMPARE(iconCellTexts(window->outline()),
                 QStringList({QStringLiteral("Not done, 0 % complete"), QStringLiteral("Done"),
                              QStringLiteral("Not done, 0 % complete, overdue"),
                              QStringLiteral("Not done, 0 % complete, due soon"),
                              QStringLiteral("Not done, 25 % complete, has notes"),
                              QStringLiteral("Not done, 0 % complete, repeats, reminder set"),
                              QStringLiteral("Done")}));
        QCOMPARE(QAccessible::queryAccessibleInterface(&window->outline())->text(QAccessible::Name),
                 QStringLiteral("Items of the list"));
    }

    // The completion slider tells its value, and a value set through it is the item's, one undo step.
    void theCompletionSliderTellsItsValue() {
        const QString list = writeList(path("slider.todo"), {item("bank", 0.4)});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = application.controller().openFile(list);
        QVERIFY(window);
        window->show();
        selectShown(window->outline(), {"bank"});
        window->inspector().showToolWithId(InspectorToolCompletion);
        auto* slider = window->inspector().findChild<QSlider*>(QStringLiteral("pctCompletedSlider"));
        QVERIFY(slider);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(slider);
        QAccessibleValueInterface* value = accessible->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toInt(), 40);
        QCOMPARE(value->maximumValue().toInt(), 100);
        QCOMPARE(accessible->text(QAccessible::Value), QStringLiteral("40 %"));
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Completion"));
        value->setCurrentValue(70);
        const NodePtr bank = findItem(*window->document().data(), QStringLiteral("bank"));
        QCOMPARE(completionPercentOf(*bank), 70);
        QVERIFY(window->document().undoStack().canUndo());
    }

    // Return presses a focused button outside dialogs as Space does; in a dialog the focused button
    // takes it, and with the focus in a field the default button still does.
    void returnPressesTheFocusedButton() {
        QWidget window;
        auto* push = new QPushButton(QStringLiteral("Push"), &window);
        auto* tool = new QToolButton(&window);
        auto* field = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QSignalSpy pushes(push, &QPushButton::clicked), tools(tool, &QToolButton::clicked);
        push->setFocus();
        QTest::keyClick(push, Qt::Key_Return);
        QCOMPARE(pushes.count(), 1);
        tool->setFocus();
        QTest::keyClick(tool, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(tools.count(), 1);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(pushes.count() + tools.count(), 2);

        ToolbarCustomizeDialog dialog({QStringLiteral("newItem")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        int accepted = 0;
        connect(&dialog, &QDialog::accepted, this, [&] { ++accepted; });
        auto* defaults = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::RestoreDefaults);
        defaults->setFocus();
        QTest::keyClick(defaults, Qt::Key_Return);
        QCOMPARE(accepted, 0);
        QVERIFY(dialog.isVisible());
        QWidget* list = dialog.findChild<QWidget*>(QStringLiteral("toolbarItems"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(accepted, 1);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
