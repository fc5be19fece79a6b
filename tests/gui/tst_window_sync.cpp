#include "gui_test_support.h"

#include "accounts/sync_settings_dialog.h"
#include "accounts/window_sync.h"
#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "dialogs/dialog_service.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "sync/sync_bindings.h"
#include "sync/sync_state.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/outline_tree_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

// A list window syncing with its folder: what arrives shows, what fails is told, and the window's
// own unsaved changes are never synced over.
class TestWindowSync : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> _files;
    std::unique_ptr<DocumentController> _controller;

    QString listPath() const { return _files->filePath(QStringLiteral("errands.todo")); }
    QString folderPath() const { return _files->filePath(QStringLiteral("tasks")); }

    /// Opens a saved list of these items that syncs with `folder` (none: it has no sync folder),
    /// bound to it here unless `bound` is false.
    DocumentMainWindow* openList(const std::vector<NodePtr>& items, const QString& folder,
                                 bool bound = true) {
        const NodePtr root = newListRoot();
        for (const NodePtr& node : items)
            childrenOf(*root)->items.push_back(node);
        if (!folder.isEmpty())
            root->set(key::syncFolder, folder);
        if (!writeListFile(listPath(), root).isEmpty())
            return nullptr;
        if (bound && !folder.isEmpty() && !bindings().bind(listPath(), folder).isEmpty())
            return nullptr;
        DocumentMainWindow* window = _controller->openFile(listPath());
        if (window && !QTest::qWaitForWindowExposed(window))
            qWarning("the window was not shown");
        return window;
    }
    /// A to-do as a phone's calendar app leaves it in the folder.
    void writeTodoFromElsewhere(const QString& uid, const QString& summary) {
        QFile file(QDir(folderPath()).filePath(uid + QStringLiteral(".ics")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//Tasks//EN\r\nBEGIN:VTODO\r\nUID:" +
                   uid.toUtf8() + "\r\nDTSTAMP:20240601T080000Z\r\nSUMMARY:" + summary.toUtf8() +
                   "\r\nSTATUS:NEEDS-ACTION\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    }
    static SyncBindings bindings() { return SyncBindings(SyncState::defaultFolder()); }
    QStringList folderFiles() const { return QDir(folderPath()).entryList({QStringLiteral("*.ics")}); }
    /// Whether the sync the spy watches ended, by now or within ten seconds: it may end while the
    /// event loop turns for something else, such as a message closing.
    static bool hasEnded(QSignalSpy& ended) { return ended.count() > 0 || ended.wait(10000); }
    static bool syncWithMenu(DocumentMainWindow& window) {
        QSignalSpy ended(&window.sync(), &WindowSync::syncEnded);
        window.menus().actions().syncNow->trigger();
        return hasEnded(ended);
    }
    static QMessageBox* messageBox(const DocumentMainWindow& window) {
        return window.findChild<QMessageBox*>(QStringLiteral("messageBox"));
    }
    /// Answers the message showing with the button of that text.
    static bool answer(const DocumentMainWindow& window, const QString& button) {
        QMessageBox* box = messageBox(window);
        if (!box)
            return false;
        for (QAbstractButton* choice : box->buttons()) {
            if (QString(choice->text()).remove(u'&') == button) { // less its access key
                choice->click();
                return QTest::qWaitFor([&] { return messageBox(window) != box; });
            }
        }
        return false;
    }
    /// Saves a picture of the widget into $TARDIGO_SCREENSHOTS, when it is set.
    static void screenshot(QWidget& widget, const QString& name) {
        if (const QString folder = qEnvironmentVariable("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
            widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }
    static QString savedFolder(const QString& path) {
        const ListLoad load = readListFile(path);
        const QString* folder = load.ok() ? load.root->value(key::syncFolder).asString() : nullptr;
        return folder ? *folder : QString();
    }

private slots:
    void initTestCase() { setUpGuiTest(); }
    void init() {
        DialogService::setScripted(true);
        DialogService::takeShownTexts();
        _files = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(_files->path()).mkdir(QStringLiteral("tasks")));
        _controller = std::make_unique<DocumentController>();
    }
    void cleanup() {
        _controller.reset();
        _files.reset();
    }

    void syncNowBringsWhatArrivedInTheFolderIntoTheWindow() {
        const NodePtr shopping = item("shopping", 0.0, {item("bread")});
        DocumentMainWindow* window = openList({shopping, item("post office")}, folderPath());
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();
        outline.expandItem(shownItem(outline, "shopping"), false);
        clickCell(outline, "bread", Column::Icon);
        writeTodoFromElsewhere(QStringLiteral("phone-1"), QStringLiteral("call the plumber"));

        QVERIFY(syncWithMenu(*window));
        QCOMPARE(rowNames(outline), (QStringList{"shopping", "bread", "post office", "call the plumber"}));
        QCOMPARE(selectedNames(outline), QStringList{"bread"});
        QVERIFY(!window->isWindowModified());
        QVERIFY(!messageBox(*window));
        const auto* status = window->findChild<QLabel*>(QStringLiteral("syncStatus"));
        QVERIFY(status && status->isVisible());
        QVERIFY2(status->text().startsWith(QStringLiteral("Synced ")), qPrintable(status->text()));
        // The list's own items went the other way.
        QCOMPARE(QDir(folderPath()).entryList({QStringLiteral("*.ics")}).size(), 4);
    }

    void theWindowsUnsavedChangesAreNeverSyncedOver() {
        DocumentMainWindow* window = openList({item("rent")}, folderPath());
        QVERIFY(window);
        OutlineTreeView& outline = window->outline();
        editCell(outline, "rent", Column::Name);
        typeIntoEditor(outline, "rent paid");
        QVERIFY(window->isWindowModified());
        writeTodoFromElsewhere(QStringLiteral("phone-2"), QStringLiteral("water plants"));

        // A minder pass leaves an edited list alone; Sync Now saves it first, then syncs.
        window->sync().minderRan();
        QVERIFY(!window->sync().isSyncing());
        QVERIFY(syncWithMenu(*window));
        QCOMPARE(rowNames(outline), (QStringList{"rent paid", "water plants"}));
        QVERIFY(!window->isWindowModified());

        // What is typed in a cell still open goes to the file before Sync Now syncs it.
        editCell(outline, "water plants", Column::Name);
        auto* editor = qobject_cast<QLineEdit*>(cellEditor(outline));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("water the plants"));
        writeTodoFromElsewhere(QStringLiteral("phone-3"), QStringLiteral("feed the cat"));
        QSignalSpy ended(&window->sync(), &WindowSync::syncEnded);
        window->sync().minderRan(); // the minute since the last sync is not up: it waits
        QVERIFY(!window->sync().isSyncing());
        window->menus().actions().syncNow->trigger(); // saves the typing, then syncs
        QVERIFY(hasEnded(ended));
        QCOMPARE(rowNames(outline), (QStringList{"rent paid", "water the plants", "feed the cat"}));
    }

    void aFailingSyncShowsAnErrorMessageAndTheStatusLineSaysSo() {
        const QString gone = _files->filePath(QStringLiteral("unplugged"));
        DocumentMainWindow* window = openList({item("rent")}, gone);
        QVERIFY(window);
        QVERIFY(syncWithMenu(*window));
        QMessageBox* box = messageBox(*window);
        QVERIFY(box);
        QVERIFY2(box->text().contains(QStringLiteral("“errands.todo” could not be synced")),
                 qPrintable(box->text()));
        QVERIFY2(box->informativeText().contains(gone), qPrintable(box->informativeText()));
        QVERIFY(box->detailedText().contains(QStringLiteral("Sync folder: ") + gone));
        const auto* status = window->findChild<QLabel*>(QStringLiteral("syncStatus"));
        QCOMPARE(status->text(), QStringLiteral("Sync failed"));
        QCOMPARE(rowNames(window->outline()), QStringList{"rent"});
    }

    void syncSettingsRefuseAFolderThatCannotServeAndSyncWithOneThatCan() {
        DocumentMainWindow* window = openList({item("rent")}, QString());
        QVERIFY(window);
        window->menus().actions().syncSettings->trigger();
        auto* dialog = window->findChild<SyncSettingsDialog*>(QStringLiteral("syncSettings"));
        QVERIFY(dialog);
        for (QWidget* control : dialog->findChildren<QWidget*>())
            if (control->focusPolicy() != Qt::NoFocus && !qobject_cast<QDialogButtonBox*>(control))
                QVERIFY2(!control->accessibleName().isEmpty() ||
                             !control->property("text").toString().isEmpty(),
                         qPrintable(control->objectName()));

        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("syncFolderField"));
        auto* problem = dialog->findChild<QLabel*>(QStringLiteral("syncFolderProblem"));
        QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        const QString missing = _files->filePath(QStringLiteral("not-yet"));
        field->setText(missing);
        ok->click();
        QVERIFY(dialog->isVisible());
        QVERIFY(problem->isVisible());
        QVERIFY2(problem->text().contains(QStringLiteral("“%1” does not exist").arg(missing)),
                 qPrintable(problem->text()));
        field->setText(listPath()); // a file
        ok->click();
        QVERIFY2(problem->text().contains(QStringLiteral("is a file, not a folder")),
                 qPrintable(problem->text()));

        DialogService::queueFileName(folderPath());
        dialog->findChild<QPushButton*>(QStringLiteral("chooseSyncFolder"))->click();
        QCOMPARE(field->text(), folderPath());
        QSignalSpy ended(&window->sync(), &WindowSync::syncEnded);
        ok->click();
        QVERIFY(hasEnded(ended));
        QCOMPARE(savedFolder(listPath()), folderPath());
        QCOMPARE(QDir(folderPath()).entryList({QStringLiteral("*.ics")}).size(), 1);
        QVERIFY(!window->isWindowModified());
    }

    // A list that names a folder it was never synced with here (a copy, or one from someone else)
    // asks once before it syncs, and syncs only when the user agrees.
    void aListNamingAnUnboundFolderAsksOnce() {
        DocumentMainWindow* window = openList({item("rent")}, folderPath(), false);
        QVERIFY(window);
        writeTodoFromElsewhere(QStringLiteral("phone-1"), QStringLiteral("call the plumber"));
        QVERIFY(window->save()); // the repairs made on opening
        window->sync().minderRan();
        QVERIFY(!window->sync().isSyncing());
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = messageBox(*window)));
        QVERIFY2(box->text().contains(QStringLiteral("Sync “errands.todo” with the folder it names?")),
                 qPrintable(box->text()));
        QVERIFY(box->informativeText().contains(folderPath()));
        screenshot(*box, QStringLiteral("sync-bind-question"));
        QVERIFY(answer(*window, QStringLiteral("Don’t Sync")));
        window->sync().minderRan();
        QVERIFY(!window->sync().isSyncing());
        QVERIFY(!messageBox(*window));
        QCOMPARE(folderFiles(), QStringList{"phone-1.ics"});
        QCOMPARE(rowNames(window->outline()), QStringList{"rent"});

        // Sync Now asks again; agreeing binds the list and syncs.
        window->menus().actions().syncNow->trigger();
        QSignalSpy ended(&window->sync(), &WindowSync::syncEnded);
        QVERIFY(answer(*window, QStringLiteral("Sync")));
        QVERIFY(hasEnded(ended));
        QCOMPARE(rowNames(window->outline()), (QStringList{"rent", "call the plumber"}));
        QCOMPARE(folderFiles().size(), 2);
        QVERIFY(bindings().isBound(listPath(), folderPath()));
    }

    // Items whose files are gone are removed as one undo step; when the folder lost all of its
    // to-dos, the window asks first.
    void removalsAreOneUndoStepAndMassRemovalsAsk() {
        DocumentMainWindow* window = openList(
            {item("house", 0.0, {item("roof"), item("door")}), item("car"), item("bike"), item("boat")},
            folderPath());
        QVERIFY(window);
        QVERIFY(syncWithMenu(*window));
        QCOMPARE(folderFiles().size(), 6);
        const auto fileOf = [this](const QString& summary) {
            for (const QString& name : folderFiles()) {
                QFile file(QDir(folderPath()).filePath(name));
                if (file.open(QIODevice::ReadOnly) && file.readAll().contains("SUMMARY:" + summary.toUtf8()))
                    return file.fileName();
            }
            return QString();
        };
        QVERIFY(QFile::remove(fileOf(QStringLiteral("house"))));
        QVERIFY(syncWithMenu(*window));
        OutlineTreeView& outline = window->outline();
        QCOMPARE(rowNames(outline), (QStringList{"roof", "door", "car", "bike", "boat"}));
        QVERIFY(!window->isWindowModified());
        window->menus().actions().undo->trigger();
        outline.expandItem(shownItem(outline, "house"), false);
        QCOMPARE(rowNames(outline), (QStringList{"house", "roof", "door", "car", "bike", "boat"}));
        QVERIFY(window->isWindowModified());
        QVERIFY(syncWithMenu(*window)); // saves, and the house goes back to the folder
        QCOMPARE(folderFiles().size(), 6);

        for (const QString& name : folderFiles())
            QVERIFY(QFile::remove(QDir(folderPath()).filePath(name)));
        QVERIFY(syncWithMenu(*window));
        QMessageBox* box = messageBox(*window);
        QVERIFY(box);
        QVERIFY2(box->text().contains(QStringLiteral("holds none of its to-dos")), qPrintable(box->text()));
        screenshot(*box, QStringLiteral("sync-removal-question"));
        QVERIFY(answer(*window, QStringLiteral("Keep Items")));
        QCOMPARE(rowNames(outline).size(), 6);
        QVERIFY(folderFiles().isEmpty());

        QVERIFY(syncWithMenu(*window));
        QSignalSpy ended(&window->sync(), &WindowSync::syncEnded);
        QVERIFY(answer(*window, QStringLiteral("Remove Items")));
        QVERIFY(hasEnded(ended));
        QCOMPARE(rowNames(outline), QStringList{});
        window->menus().actions().undo->trigger();
        outline.expandItem(shownItem(outline, "house"), false);
        QCOMPARE(rowNames(outline), (QStringList{"house", "roof", "door", "car", "bike", "boat"}));
        QVERIFY(window->isWindowModified());
    }
};

QTEST_MAIN(TestWindowSync)
#include "tst_window_sync.moc"
