#include "gui_test_support.h"

#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "dialogs/dialog_service.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/atomic_file.h"
#include "platform/list_lock.h"
#include "window/document_main_window.h"
#include "window/outline_tree_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace tardigo;
using namespace tardigo::test;

// What the window does when its list's file fails to save, or changes or stands odd on disk.
class TestListOnDisk : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    std::unique_ptr<DocumentController> _controller;

    QString path() const { return _files.filePath(QStringLiteral("list.todo")); }

    /// Writes the list as another program would, the items under a parent and its child.
    static void writeAsAnotherProgram(const QString& path, const std::vector<NodePtr>& items) {
        const NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        for (const NodePtr& node : items)
            childrenOf(*root)->items.push_back(node->deepCopy());
        QCOMPARE(writeListFile(path, root), QString());
    }
    DocumentMainWindow* openList(const std::vector<NodePtr>& items) {
        writeAsAnotherProgram(path(), items);
        DocumentMainWindow* window = _controller->openFile(path());
        if (window && !QTest::qWaitForWindowExposed(window))
            qWarning("the window was not shown");
        return window;
    }
    /// The list open with its first item renamed: a change that is not saved.
    DocumentMainWindow* openEdited(const std::vector<NodePtr>& items, const QString& firstName) {
        DocumentMainWindow* window = openList(items);
        if (window) {
            editCell(window->outline(), rowNames(window->outline()).constFirst(), Column::Name);
            typeIntoEditor(window->outline(), firstName);
        }
        return window;
    }
    static QString savedName(const QString& path) {
        const ListLoad load = readListFile(path);
        return load.ok() ? nameOf(*childrenOf(*load.root)->items[0].asDict()) : QString();
    }
    static QString nameOf(const Dict& item) { return *item.value(key::name).asString(); }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
    }
    void init() {
        DialogService::setScripted(true);
        DialogService::takeShownTexts();
        _controller = std::make_unique<DocumentController>();
    }
    void cleanup() {
        _controller.reset();
        QFile::remove(path());
    }

    void aFailedSaveIsShownAndTheListStaysEdited() {
        DocumentMainWindow* window = openList({item("rent")});
        QVERIFY(window);
        editCell(window->outline(), "rent", Column::Name);
        typeIntoEditor(window->outline(), "rent paid");
        QVERIFY(window->isWindowModified());
        {
            const SimulatedDiskFault fullDisk = SimulatedDiskFault::atSync();
            QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        }
        QVERIFY(window->isWindowModified());
        QMessageBox* box = window->findChild<QMessageBox*>("messageBox");
        QVERIFY(box);
        QVERIFY2(box->text().contains("could not be saved"), qPrintable(box->text()));
        QCOMPARE(savedName(path()), QStringLiteral("rent"));
        box->buttons().constFirst()->click();
        QTRY_VERIFY(!window->findChild<QMessageBox*>("messageBox"));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!window->isWindowModified());
        QCOMPARE(savedName(path()), QStringLiteral("rent paid"));
    }

    void anUneditedListFollowsItsFileKeepingWhatIsOpenAndSelected() {
        const NodePtr child = item("child");
        const NodePtr parent = item("parent", 0.0, {child, item("sibling")});
        DocumentMainWindow* window = openList({parent, item("other")});
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();
        outline.expandItem(shownItem(outline, "parent"), false);
        clickCell(outline, "child", Column::Icon);

        // Another program adds an item; the items keep their names and creation dates.
        const NodePtr added = item("added elsewhere");
        writeAsAnotherProgram(path(), {parent, item("other"), added});
        QTRY_COMPARE(rowNames(outline),
                     (QStringList{"parent", "child", "sibling", "other", "added elsewhere"}));
        QCOMPARE(selectedNames(outline), QStringList{"child"});
        QVERIFY(!window->isWindowModified());
        QVERIFY(DialogService::takeShownTexts().isEmpty()); // nothing was asked

        // The list's own save is not taken for another program's.
        editCell(outline, "other", Column::Name);
        typeIntoEditor(outline, "other, renamed");
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QTest::qWait(200);
        QVERIFY(DialogService::takeShownTexts().isEmpty());
        QCOMPARE(rowNames(outline).at(3), QStringLiteral("other, renamed"));
    }

    void anEditedListAsksBeforeEitherVersionIsLost() {
        DocumentMainWindow* window = openList({item("mine"), item("theirs")});
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();
        editCell(outline, "mine", Column::Name);
        typeIntoEditor(outline, "mine, edited");

        // Someone else saves: the question comes, and Cancel keeps both versions where they are.
        DialogService::queueAnswer(QMessageBox::Cancel);
        writeAsAnotherProgram(path(), {item("written elsewhere")});
        QStringList asked;
        QTRY_VERIFY((asked += DialogService::takeShownTexts(), !asked.isEmpty()));
        QVERIFY2(asked.first().contains("changed by another program"), qPrintable(asked.first()));
        QCOMPARE(rowNames(outline).constFirst(), QStringLiteral("mine, edited"));
        QCOMPARE(savedName(path()), QStringLiteral("written elsewhere"));

        // Saving asks again; Save Anyway writes this version over the other.
        DialogService::queueAnswer(QMessageBox::Save);
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(DialogService::takeShownTexts().size(), 1);
        QCOMPARE(savedName(path()), QStringLiteral("mine, edited"));
        QVERIFY(!window->isWindowModified());

        // Reload takes the other version and drops this one's changes.
        editCell(outline, "mine, edited", Column::Name);
        typeIntoEditor(outline, "lost");
        DialogService::queueAnswer(QMessageBox::Reset);
        writeAsAnotherProgram(path(), {item("kept")});
        QTRY_COMPARE(rowNames(outline), QStringList{"kept"});
        QVERIFY(!window->isWindowModified());
    }

    void mergeTakesTheChangesOfBothSidesAsOneStep() {
        const NodePtr a = item("a"), b = item("b"), c = item("c");
        DocumentMainWindow* window = openEdited({a, b, c}, "a, edited");
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();

        // Another program removes c and adds d; Merge keeps what both sides did.
        DialogService::queueAnswer(QMessageBox::Apply);
        writeAsAnotherProgram(path(), {a, b, item("d")});
        QStringList asked;
        QTRY_VERIFY((asked += DialogService::takeShownTexts(), !asked.isEmpty()));
        QVERIFY2(asked.first().contains("Merge its changes with yours"), qPrintable(asked.first()));
        QTRY_COMPARE(rowNames(outline), (QStringList{"a, edited", "b", "d"}));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("statusMessage"))->text(),
                 QStringLiteral("Merged with the file: 1 item changed here, 2 on disk. Not saved yet."));
        QVERIFY(window->isWindowModified());
        QCOMPARE(savedName(path()), QStringLiteral("a"));

        // The merge is one step of its own, before the edit.
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowNames(outline), (QStringList{"a, edited", "b", "c"}));
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowNames(outline), (QStringList{"a", "b", "c"}));
        QVERIFY(window->isWindowModified()); // the file holds d now
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(rowNames(outline), (QStringList{"a, edited", "b", "d"}));

        // The file counts as read: saving asks nothing.
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(DialogService::takeShownTexts().isEmpty());
        QVERIFY(!window->isWindowModified());
        QCOMPARE(savedName(path()), QStringLiteral("a, edited"));
    }

    void aConflictOrAFileThatCannotBeMergedIsTold() {
        const NodePtr a = item("a"), b = item("b");
        DocumentMainWindow* window = openEdited({a, b}, "a, mine");
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();

        // Both changed a: theirs follows ours as a conflict copy, and a message says so.
        const NodePtr theirs = a->deepCopy();
        theirs->set(key::category, QStringLiteral("theirs"));
        DialogService::queueAnswer(QMessageBox::Apply);
        writeAsAnotherProgram(path(), {theirs, b});
        QTRY_COMPARE(rowNames(outline), (QStringList{"a, mine", "a (conflict copy)", "b"}));
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("messageBox")));
        QVERIFY2(box->text().contains("changed both here and on disk"), qPrintable(box->text()));
        saveScreenshot(*box, QStringLiteral("merge-conflict-box"));
        saveScreenshot(*window, QStringLiteral("merged-window"));
        QCOMPARE(box->detailedText(), QStringLiteral("a, mine"));
        box->buttons().constFirst()->click();
        QTRY_VERIFY(!window->findChild<QMessageBox*>("messageBox"));

        // A 1.x list is not merged: nothing changes, and a message says why.
        QFile oldList(TARDIGO_GUI_TEST_DATA_DIR "/list-1x.todo");
        QVERIFY(oldList.open(QIODevice::ReadOnly));
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(oldList.readAll());
        file.close();
        DialogService::queueAnswer(QMessageBox::Apply);
        QTRY_VERIFY((box = window->findChild<QMessageBox*>("messageBox")));
        QVERIFY2(box->text().contains("could not be merged"), qPrintable(box->text()));
        QVERIFY2(box->informativeText().contains("Tardigo 1.x list"), qPrintable(box->informativeText()));
        QCOMPARE(rowNames(outline), (QStringList{"a, mine", "a (conflict copy)", "b"}));
        QVERIFY(window->isWindowModified());
        box->buttons().constFirst()->click();
    }

    void theQuestionOffersMergeAndTheMergeReadsTheNewestFile() {
        DialogService::setScripted(false);
        const NodePtr a = item("a"), b = item("b");
        DocumentMainWindow* window = openEdited({a, b}, "a, mine");
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();

        // While the question is up, the other program saves again: no second question comes, and
        // Merge takes what the file holds then.
        QSet<QMessageBox*> questions;
        QStringList buttons;
        QString defaultButton;
        QTimer answering;
        connect(&answering, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->windowTitle() != QStringLiteral("Changed on Disk"))
                return;
            if (!questions.contains(box)) {
                questions.insert(box);
                for (QAbstractButton* button : box->buttons())
                    buttons << button->text();
                defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
                saveScreenshot(*box, QStringLiteral("changed-on-disk-question"));
                writeAsAnotherProgram(path(), {a, b, item("first"), item("second")});
                return;
            }
            if (QFileInfo(path()).lastModified().msecsTo(QDateTime::currentDateTime()) > 500)
                box->button(QMessageBox::Apply)->click();
        });
        answering.start(50);
        writeAsAnotherProgram(path(), {a, b, item("first")});
        QTRY_COMPARE(rowNames(outline), (QStringList{"a, mine", "b", "first", "second"}));
        QTest::qWait(300);
        QCOMPARE(questions.size(), 1);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Cancel", "Merge", "Reload", "Save Anyway"}));
        QCOMPARE(defaultButton, QStringLiteral("Merge"));
        QVERIFY(window->isWindowModified());
        DialogService::setScripted(true);
    }

    void aSaveWaitsForAnotherProgramWithoutStoppingTheWindow() {
        DocumentMainWindow* window = openList({item("rent")});
        QVERIFY(window);
        editCell(window->outline(), "rent", Column::Name);
        typeIntoEditor(window->outline(), "rent paid");
        const QString lockFile = ListLock::lockFilePath(path());
        // Another program holds the list until it is stopped, and says who it is once it holds it.
        const auto holdList = [&](QProcess& holder, const QString& record) {
            holder.start(QStringLiteral("sh"),
                         {QStringLiteral("-c"),
                          QStringLiteral(
                              "exec 9<>\"$0\" && flock 9 && printf \"%1\" >&9 && echo held && exec sleep 30")
                              .arg(record),
                          lockFile});
            return holder.waitForReadyRead();
        };
        QProcess other;
        QVERIFY(holdList(other, QStringLiteral("pid=$$\\nprogram=tardigo-cli\\n")));
        const qint64 holder = other.processId();

        // An autosave comes later, without a dialog.
        QCOMPARE(window->autoSave(), AutosaveScheduler::Outcome::Postponed);
        QVERIFY(!window->findChild<QProgressDialog*>(QStringLiteral("lockWaitDialog")));

        // The event loop runs on while the save waits: a timer fires, the dialog names the program.
        int ticks = 0;
        QTimer ticking;
        connect(&ticking, &QTimer::timeout, this, [&] { ++ticks; });
        ticking.start(50);
        QString shown;
        QTimer::singleShot(1500, this, [&] {
            const auto* text = window->findChild<QLabel*>(QStringLiteral("lockWaitText"));
            shown = text && text->isVisible() ? text->text() : QString();
            other.kill();
            other.waitForFinished();
        });
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(other.state(), QProcess::NotRunning);
        QVERIFY(ticks >= 20);
        QCOMPARE(shown, QStringLiteral("“list.todo” is being changed by process %1 (tardigo-cli).\n\n"
                                       "Tardigo saves it as soon as that program has finished.")
                            .arg(holder));
        QVERIFY(!window->isWindowModified());
        QCOMPARE(savedName(path()), QStringLiteral("rent paid"));
        QTRY_VERIFY(!window->findChild<QProgressDialog*>(QStringLiteral("lockWaitDialog")));

        // Stopping the wait saves nothing and says so, in the status line rather than as a failure.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        clickCell(window->outline(), "rent paid", Column::Name);
        typeIntoEditor(window->outline(), "rent paid twice");
        QProcess again;
        QVERIFY(holdList(again, QString()));
        QTimer::singleShot(1000, this, [&] {
            auto* dialog = window->findChild<QProgressDialog*>(QStringLiteral("lockWaitDialog"));
            QVERIFY(dialog && dialog->isVisible());
            QVERIFY2(dialog->labelText().contains("another program, which does not say which"),
                     qPrintable(dialog->labelText()));
            dialog->findChild<QPushButton*>()->click();
        });
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(window->isWindowModified());
        QCOMPARE(savedName(path()), QStringLiteral("rent paid"));
        QVERIFY(!window->findChild<QMessageBox*>("messageBox"));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("statusMessage"))->text(),
                 QStringLiteral("“list.todo” was not saved: you stopped waiting for the other program."));
        again.kill();
        QVERIFY(again.waitForFinished());
    }

    void oddNamesAndFilesAreRefusedWithAReason() {
        // A name whose bytes were not UTF-8 reaches the window with a replacement character.
        QVERIFY(!_controller->openFile(_files.filePath(QStringLiteral("caf\uFFFD.todo"))));
        QStringList shown = DialogService::takeShownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains("not UTF-8"), qPrintable(shown.first()));

        // A pipe would never end: it is refused before it is read.
        const QString pipe = _files.filePath(QStringLiteral("pipe.todo"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(!_controller->openFile(pipe));
        shown = DialogService::takeShownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains("not a regular file"), qPrintable(shown.first()));
    }
};

QTEST_MAIN(TestListOnDisk)
#include "tst_list_on_disk.moc"
