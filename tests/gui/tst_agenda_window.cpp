// The agenda window in the running application, offscreen: opened from a list's View menu, its
// edits made through each list's document (an open window's or a file's), showing an item in its
// list, quick add, Select All, and what a screen reader is told.

#include "../test_support.h"
#include "gui_test_support.h"

#include "agenda/core/agenda_lists.h"
#include "agenda/gui/agenda_window.h"
#include "archive/list_file.h"
#include "dates/due_date_format.h"
#include "desktop_app/quick_add_window.h"
#include "desktop_app/tardigo_application.h"
#include "dialogs/dialog_service.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_selection.h"
#include "platform/list_lock.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace tardigo;
using namespace tardigo::test;

namespace {

Settings& settings() {
    return Settings::instance();
}

/// The agenda's row of the item with that name; invalid when it shows none.
QModelIndex rowOf(AgendaWindow& agenda, const QString& name) {
    AgendaModel& model = agenda.model();
    for (int s = 0; s < model.rowCount(); ++s)
        for (int row = 0; row < model.rowCount(model.index(s, 0)); ++row)
            if (const QModelIndex index = model.index(row, 0, model.index(s, 0));
                index.data().toString() == name)
                return index;
    return {};
}

void select(AgendaWindow& agenda, const QString& name) {
    const QModelIndex row = rowOf(agenda, name);
    QVERIFY2(row.isValid(), qPrintable(name));
    agenda.view().setFocus();
    agenda.view().selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

class TestAgendaWindow : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    QString path(const QString& name) const { return _files.filePath(name); }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
    }
    void init() {
        settings().useMemoryOnly();
        settings().setMinderDesktopNotification(false);
    }

    void editsGoThroughEachListsDocument() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        const QString home = writeList(path("home.todo"), {dueItem("call Bob", "2026-12-07 12:00:00 +0100"),
                                                           dueItem("pay rent", "2026-12-08 12:00:00 +0100")});
        const QString garden = writeList(
            path("garden.todo"), {item("shed", 0, {dueItem("water plants", "2026-12-07 18:00:00 +0100")})});
        settings().setMinderLists({home, garden});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = application.controller().openFile(home);
        QVERIFY(window);
        TardigoDocument& document = window->document();

        const bool editedBefore = document.isDocumentEdited();
        window->menus().actions().showAgenda->trigger();
        auto* agenda = qobject_cast<AgendaWindow*>([] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == QLatin1String("agendaWindow"))
                    return widget;
            return static_cast<QWidget*>(nullptr);
        }());
        QVERIFY(agenda);
        QVERIFY(QTest::qWaitForWindowActive(agenda));
        QCOMPARE(agenda->model().entryCount(), 3);
        // Looking never writes.
        QCOMPARE(document.isDocumentEdited(), editedBefore);
        QVERIFY(!document.undoStack().canUndo());

        // Done in an open list: one undo step there, the window's change state, and the row leaves.
        select(*agenda, QStringLiteral("call Bob"));
        QTest::keyClick(&agenda->view(), Qt::Key_D, Qt::ControlModifier);
        const NodePtr bob = findItem(*document.data(), QStringLiteral("call Bob"));
        QVERIFY(isCompleted(*bob));
        QVERIFY(document.undoStack().canUndo());
        QVERIFY(document.isDocumentEdited());
        QVERIFY(document.undoStack().undoText().contains(key::completion));
        QTRY_VERIFY(!rowOf(*agenda, QStringLiteral("call Bob")).isValid());
        // A change keeps every section open.
        for (int section = 0; section < agenda->model().rowCount(); ++section)
            QVERIFY(agenda->view().isExpanded(agenda->model().index(section, 0)));
        // Undone in the list's window, the agenda follows.
        document.undoStack().undo();
        QVERIFY(!isCompleted(*bob));
        QTRY_VERIFY(rowOf(*agenda, QStringLiteral("call Bob")).isValid());

        // The due date typed in place, read as the due-date cell reads it; nonsense is refused.
        const QModelIndex rent =
            rowOf(*agenda, QStringLiteral("pay rent")).siblingAtColumn(AgendaModel::DueColumn);
        QVERIFY(!agenda->model().setData(rent, QStringLiteral("when pigs fly")));
        QVERIFY(!agenda->statusBar()->currentMessage().isEmpty());
        select(*agenda, QStringLiteral("pay rent"));
        QTest::keyClick(&agenda->view(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QCOMPARE(editor->parentWidget(), agenda->view().viewport());
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("2026-12-10 08:00"));
        QTest::keyClick(editor, Qt::Key_Return);
        const NodePtr rentItem = findItem(*document.data(), QStringLiteral("pay rent"));
        // The delegate commits on the next pass of the event loop.
        QTRY_COMPARE(*rentItem->value(key::due).asString(), QStringLiteral("2026-12-10 08:00:00 +0100"));
        QCOMPARE(document.undoStack().undoText().contains(QStringLiteral("due")), true);

        // Done in a list without a window: the file is changed and saved at once, under its lock.
        select(*agenda, QStringLiteral("water plants"));
        agenda->doneAction()->trigger();
        const ListLoad saved = readListFile(garden);
        QVERIFY(saved.ok());
        QVERIFY(isCompleted(*findItem(*saved.root, QStringLiteral("water plants"))));
        QTRY_VERIFY(!rowOf(*agenda, QStringLiteral("water plants")).isValid());
        QVERIFY(!application.controller().windowForFileName(garden));

        // Return shows the item selected in its list's window, opening the list.
        writeList(garden, {item("shed", 0, {dueItem("mow", "2026-12-07 18:00:00 +0100")})});
        QTRY_VERIFY(rowOf(*agenda, QStringLiteral("mow")).isValid());
        select(*agenda, QStringLiteral("mow"));
        QTest::keyClick(&agenda->view(), Qt::Key_Return);
        DocumentMainWindow* gardenWindow = application.controller().windowForFileName(garden);
        QVERIFY(gardenWindow);
        const NodePtr selected = gardenWindow->document().selection().lastSelectedItem();
        QVERIFY(selected);
        QCOMPARE(*selected->value(key::name).asString(), QStringLiteral("mow"));
        // From now on the agenda follows that window's tree.
        QVERIFY(AgendaLists::keyOf(garden) ==
                agenda->model().entry(rowOf(*agenda, QStringLiteral("mow")))->list);
        const int rows = agenda->model().entryCount();
        gardenWindow->document().setCellValue(Value::float32(1.0), Column::Completion, selected);
        QTRY_COMPARE(agenda->model().entryCount(), rows - 1);
    }

    void severalItemsAndListsWithoutWindows() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        const QString open = writeList(path("open.todo"), {dueItem("a1", "2026-12-07 12:00:00 +0100"),
                                                           dueItem("a2", "2026-12-08 12:00:00 +0100")});
        const QString closed = writeList(path("closed.todo"), {dueItem("b1", "2026-12-07 12:00:00 +0100"),
                                                               dueItem("b2", "2026-12-09 12:00:00 +0100")});
        settings().setMinderLists({open, closed});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        TardigoDocument& document = application.controller().openFile(open)->document();
        AgendaWindow& agenda = application.showAgenda();
        QTRY_COMPARE(agenda.model().entryCount(), 4);
        QVERIFY(!agenda.undoAction()->isEnabled());
        QCOMPARE(agenda.undoAction()->shortcut(), QKeySequence(QKeySequence::Undo));
        const auto doneOnDisk = [&](const QString& name) {
            const ListLoad load = readListFile(closed);
            return load.ok() && isCompleted(*findItem(*load.root, name));
        };

        // Every row at once: one undo step in the open list, one save of the other; the agenda's Undo
        // takes back the newest, in the open list's window.
        agenda.view().setFocus();
        agenda.selectAllAction()->trigger();
        agenda.doneAction()->trigger();
        QVERIFY(isCompleted(*findItem(*document.data(), QStringLiteral("a1"))));
        QVERIFY(isCompleted(*findItem(*document.data(), QStringLiteral("a2"))));
        agenda.undoAction()->trigger();
        QVERIFY(!isCompleted(*findItem(*document.data(), QStringLiteral("a1"))));
        QVERIFY(!isCompleted(*findItem(*document.data(), QStringLiteral("a2"))));
        QVERIFY(!document.undoStack().canUndo());
        QVERIFY(doneOnDisk(QStringLiteral("b1")) && doneOnDisk(QStringLiteral("b2")));

        // The agenda's Undo takes back the change it saved to the list without a window.
        QVERIFY(agenda.undoAction()->isEnabled());
        agenda.undoAction()->trigger();
        QVERIFY(!doneOnDisk(QStringLiteral("b1")) && !doneOnDisk(QStringLiteral("b2")));
        QVERIFY(!agenda.undoAction()->isEnabled());
        QTRY_VERIFY(rowOf(agenda, QStringLiteral("b2")).isValid());

        // Not once another program changed the file since: that change stays, and the agenda says why.
        select(agenda, QStringLiteral("b1"));
        agenda.doneAction()->trigger();
        QVERIFY(doneOnDisk(QStringLiteral("b1")));
        writeList(closed, {dueItem("b1", "2026-12-07 12:00:00 +0100"), item("new elsewhere")});
        agenda.undoAction()->trigger();
        QVERIFY(readListFile(closed).ok());
        QVERIFY(findItem(*readListFile(closed).root, QStringLiteral("new elsewhere")));
        QVERIFY2(agenda.statusBar()->currentMessage().contains(QStringLiteral("was changed since")),
                 qPrintable(agenda.statusBar()->currentMessage()));
        QVERIFY(!agenda.undoAction()->isEnabled());

        // Not in a window where the list was changed since: the window's own Undo is the one to use.
        QTRY_VERIFY(rowOf(agenda, QStringLiteral("a1")).isValid());
        select(agenda, QStringLiteral("a1"));
        agenda.doneAction()->trigger();
        QVERIFY(agenda.undoAction()->isEnabled());
        QCoreApplication::processEvents();
        document.setCellValue(Value(QStringLiteral("a2 renamed")), Column::Name,
                              findItem(*document.data(), QStringLiteral("a2")));
        QCoreApplication::processEvents();
        agenda.undoAction()->trigger();
        QVERIFY(isCompleted(*findItem(*document.data(), QStringLiteral("a1"))));
        QVERIFY(findItem(*document.data(), QStringLiteral("a2 renamed")));
        QVERIFY2(agenda.statusBar()->currentMessage().contains(QStringLiteral("changed in its window since")),
                 qPrintable(agenda.statusBar()->currentMessage()));
        QVERIFY(!agenda.undoAction()->isEnabled());

        // Another program holds the list: the agenda waits without blocking, and stopping changes nothing.
        QTRY_VERIFY(rowOf(agenda, QStringLiteral("b1")).isValid());
        QProcess holder;
        holder.start(QStringLiteral("sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("exec 9<>\"$0\" && flock 9 && echo held && exec sleep 30"),
                      ListLock::lockFilePath(closed)});
        QVERIFY(holder.waitForReadyRead());
        bool dialogShown = false;
        QTimer::singleShot(1000, this, [&] {
            auto* dialog = agenda.findChild<QProgressDialog*>(QStringLiteral("lockWaitDialog"));
            dialogShown = dialog && dialog->isVisible();
            if (dialog)
                dialog->findChild<QPushButton*>()->click();
        });
        select(agenda, QStringLiteral("b1"));
        agenda.doneAction()->trigger();
        QVERIFY(dialogShown);
        QVERIFY(!doneOnDisk(QStringLiteral("b1")));
        QVERIFY2(agenda.statusBar()->currentMessage().contains(QStringLiteral("stopped waiting")),
                 qPrintable(agenda.statusBar()->currentMessage()));
        holder.kill();
        QVERIFY(holder.waitForFinished());

        // Not once the list's window was closed: the change was saved with it and stays.
        QTRY_VERIFY(rowOf(agenda, QStringLiteral("a2 renamed")).isValid());
        select(agenda, QStringLiteral("a2 renamed"));
        agenda.doneAction()->trigger();
        DialogService::queueAnswer(QMessageBox::Save);
        QVERIFY(application.controller().windowForFileName(open)->close());
        QVERIFY(agenda.undoAction()->isEnabled());
        agenda.undoAction()->trigger();
        QVERIFY2(agenda.statusBar()->currentMessage().contains(QStringLiteral("was closed since")),
                 qPrintable(agenda.statusBar()->currentMessage()));
        const ListLoad saved = readListFile(open);
        QVERIFY(saved.ok());
        QVERIFY(isCompleted(*findItem(*saved.root, QStringLiteral("a2 renamed"))));
    }

    void anEmptyAgendaSaysWhy() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        AgendaWindow& agenda = application.showAgenda();
        // What the view shows, and tells a screen reader, while it has no row.
        const auto hint = [&agenda] {
            const QString described = agenda.view().accessibleDescription();
            if (agenda.model().rowCount() > 0)
                return described;
            return described == agenda.view().emptyText() ? described.section(u'\n', 0, 0)
                                                          : QStringLiteral("not described");
        };
        QCOMPARE(hint(), QStringLiteral("No list is open or watched by the minder."));

        const NodePtr bob = dueItem("call Bob", "2026-12-07 12:00:00 +0100");
        bob->set(key::category, QStringLiteral("work"));
        const QString home = writeList(path("home.todo"), {item("someday"), bob});
        QVERIFY(application.controller().openFile(home));
        QTRY_COMPARE(agenda.model().entryCount(), 1);
        QCOMPARE(hint(), QString());
        auto* search = agenda.findChild<QLineEdit*>(QStringLiteral("agendaSearch"));
        QTest::keyClicks(search, QStringLiteral("some"));
        QCOMPARE(hint(), QStringLiteral("No item matches “some”."));
        auto* undated = agenda.findChild<QCheckBox*>(QStringLiteral("agendaShowsUndated"));
        undated->setChecked(true);
        QCOMPARE(hint(), QString()); // the undated item matches
        undated->setChecked(false);
        search->clear();

        auto* category = agenda.findChild<QComboBox*>(QStringLiteral("agendaCategory"));
        category->setCurrentIndex(category->findText(QStringLiteral("work")));
        TardigoDocument& document = application.controller().windowForFileName(home)->document();
        const auto markDone = [&document](const char* name) {
            document.setCellValue(Value::float32(1.0), Column::Completion,
                                  findItem(*document.data(), QString::fromUtf8(name)));
        };
        markDone("call Bob");
        QTRY_COMPARE(agenda.model().entryCount(), 0);
        QCOMPARE(hint(), QStringLiteral("No item of the category “work” is shown here."));
        category->setCurrentIndex(0);
        QCOMPARE(hint(), QStringLiteral("No outstanding item has a due date."));
        undated->setChecked(true);
        QCOMPARE(hint(), QString());
        markDone("someday");
        QTRY_COMPARE(agenda.model().entryCount(), 0);
        QCOMPARE(hint(), QStringLiteral("These lists hold no outstanding item."));
    }

    void quickAddTakesTheWholeLineAndShowsAllOfItsReading() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        const QString list = writeList(path("long lines.todo"), {});
        settings().setMinderLists({list});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        QVERIFY(application.controller().openFile(list));
        settings().setValue(pref::quickAddList, Value(list));
        QuickAddWindow quickAdd([&](const QString& line) { return application.rules().quickAdd(line); });
        quickAdd.present();
        AgendaWindow& agenda = application.showAgenda();
        const QString pasted(1 << 20, u'x');
        // The due date is read on one line.
        const QString due = QStringLiteral("due %1")
                                .arg(formatDueDate(localTime("2026-12-08 10:00:00")))
                                .replace(u' ', QChar::Nbsp);
        const std::pair<QWidget*, QString> lines[] = {{&quickAdd, QStringLiteral("quickAdd")},
                                                      {&agenda, QStringLiteral("agendaQuickAdd")}};
        for (const auto& [window, name] : lines) {
            auto* line = window->findChild<QLineEdit*>(name == "quickAdd" ? "quickAddLine" : name);
            auto* reading = window->findChild<QLabel*>(name + "Reading");
            QVERIFY(line && reading);
            const int width = window->width();

            // A line as people type one: its reading takes two lines, each shown whole.
            line->setText(QStringLiteral("Call the plumber about the leaking kitchen tap and the dripping "
                                         "shower head #home tomorrow 10:00"));
            QVERIFY2(reading->text().endsWith(due), qPrintable(reading->text()));
            QTRY_VERIFY(reading->height() >= reading->heightForWidth(reading->width()));
            QVERIFY(reading->heightForWidth(reading->width()) > reading->fontMetrics().lineSpacing());
            saveScreenshot(*window, name + "-reading");

            // A megabyte pasted is taken whole, its date with it, and the window stays as wide.
            line->clear();
            QApplication::clipboard()->setText(pasted + QStringLiteral(" tomorrow 10:00"));
            line->paste();
            QCOMPARE(line->text().size(), pasted.size() + 15);
            QVERIFY2(reading->text().endsWith(due), qPrintable(reading->text().right(80)));
            QCOMPARE(window->width(), width);
            QTRY_VERIFY(reading->height() >= reading->heightForWidth(reading->width()));
            saveScreenshot(*window, name + "-pasted");
            QTest::keyClick(line, Qt::Key_Return);
        }
        const ArrayPtr added =
            childrenOf(*application.controller().windowForFileName(list)->document().data());
        QCOMPARE(added->size(), 2);
        for (const Value& value : added->items) {
            QCOMPARE(*value.asDict()->value(key::name).asString(), pasted);
            QCOMPARE(*value.asDict()->value(key::due).asString(),
                     QStringLiteral("2026-12-08 10:00:00 +0100"));
        }
    }

    void quickAddSelectAllAndNames() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        const QString work = writeList(path("work.todo"), {dueItem("plan", "2026-12-07 12:00:00 +0100"),
                                                           dueItem("ship", "2026-12-09 12:00:00 +0100")});
        const QString other = writeList(path("other.todo"), {});
        settings().setMinderLists({work});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        QVERIFY(application.controller().openFile(other));
        QVERIFY(application.controller().openFile(work));
        settings().setValue(pref::quickAddList, Value(work));
        AgendaWindow& agenda = application.showAgenda();

        auto* line = agenda.findChild<QLineEdit*>(QStringLiteral("agendaQuickAdd"));
        QVERIFY(line);
        QTest::keyClicks(line, QStringLiteral("Call Anna tomorrow 10:00 #work"));
        QTest::keyClick(line, Qt::Key_Return);
        TardigoDocument& document = application.controller().windowForFileName(work)->document();
        const NodePtr anna = findItem(*document.data(), QStringLiteral("Call Anna"));
        QVERIFY(anna);
        QCOMPARE(*anna->value(key::category).asString(), QStringLiteral("work"));
        QCOMPARE(*anna->value(key::due).asString(), QStringLiteral("2026-12-08 10:00:00 +0100"));
        QVERIFY(line->text().isEmpty());
        QTRY_VERIFY(rowOf(agenda, QStringLiteral("Call Anna")).isValid());
        QVERIFY(!findItem(*application.controller().windowForFileName(other)->document().data(),
                          QStringLiteral("Call Anna")));

        // The category box offers what the lists hold; choosing one filters.
        auto* category = agenda.findChild<QComboBox*>(QStringLiteral("agendaCategory"));
        QCOMPARE(category->count(), 2);
        category->setCurrentIndex(1);
        QCOMPARE(agenda.model().entryCount(), 1);
        category->setCurrentIndex(0);

        // Select All: every row in the rows, the text in a text field with the focus.
        agenda.activateWindow();
        agenda.view().setFocus();
        agenda.selectAllAction()->trigger();
        QCOMPARE(agenda.view().selectionModel()->selectedRows().size(), 3);
        auto* search = agenda.findChild<QLineEdit*>(QStringLiteral("agendaSearch"));
        const int everyEntry = agenda.model().entryCount();
        QTest::keyClicks(search, QStringLiteral("plan"));
        QCOMPARE(agenda.model().entryCount(), 1);
        search->setFocus();
        QApplication::setActiveWindow(&agenda);
        QTRY_COMPARE(QApplication::focusWidget(), search);
        agenda.selectAllAction()->trigger();
        QCOMPARE(search->selectedText(), QStringLiteral("plan"));
        QTest::keyClick(search, Qt::Key_Escape); // empties the search, as in a list's window
        QCOMPARE(search->text(), QString());
        QCOMPARE(agenda.model().entryCount(), everyEntry);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&agenda.view()));
        QVERIFY(agenda.isVisible());
        QCOMPARE(agenda.selectAllAction()->shortcut(), QKeySequence(QKeySequence::SelectAll));
        QCOMPARE(agenda.doneAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));

        // Showing undated items is remembered.
        auto* undated = agenda.findChild<QCheckBox*>(QStringLiteral("agendaShowsUndated"));
        undated->setChecked(true);
        QVERIFY(settings().agendaShowsUndated());

        // Every control has a name for a screen reader, and a row reads as a sentence.
        for (QWidget* control : agenda.findChildren<QWidget*>())
            if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
                qobject_cast<QCheckBox*>(control) || qobject_cast<QTreeView*>(control))
                if (control->isVisible())
                    QVERIFY2(!accessibleName(control).isEmpty(), qPrintable(control->objectName()));
        const QString spoken = rowOf(agenda, QStringLiteral("plan")).data(Qt::AccessibleTextRole).toString();
        QVERIFY2(spoken.startsWith(QStringLiteral("plan, in work.todo, due ")), qPrintable(spoken));
        QVERIFY(repeatedAccelerators(*agenda.menuBar()).isEmpty());
    }
};

QTEST_MAIN(TestAgendaWindow)
#include "tst_agenda_window.moc"
