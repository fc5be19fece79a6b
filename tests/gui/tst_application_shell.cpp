// The application around the list windows, offscreen: the preferences window, the minder's notice
// and "View Item", sticky notes, and a second `tardigo` handing its work to the running one.

#include "gui_test_support.h"

#include "archive/list_file.h"
#include "desktop_app/preferences_window.h"
#include "desktop_app/tardigo_application.h"
#include "dialogs/dialog_service.h"
#include "dialogs/message_box_host.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "instance/instance_server.h"
#include "instance/instance_socket.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/preference_signals.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"
#include "stickies/gui/sticky_board.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/file_manager.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

using namespace tardigo;
using namespace tardigo::test;

namespace {

// The folders a running Tardigo uses are the test's own, set before anything asks for them; a second
// process started from here inherits them.
QTemporaryDir& sessionFolder() {
    static QTemporaryDir folder;
    return folder;
}

void isolateSession() {
    const QDir root(sessionFolder().path());
    for (const char* name : {"config", "data", "runtime"})
        root.mkpath(QString::fromLatin1(name));
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
    qputenv("XDG_RUNTIME_DIR", root.filePath("runtime").toUtf8());
    QFile::setPermissions(root.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("TZ", "Europe/Berlin");
    tzset();
}
Q_CONSTRUCTOR_FUNCTION(isolateSession)

Settings& settings() {
    return Settings::instance();
}

QString writeList(const QString& path, const std::vector<NodePtr>& items) {
    NodePtr root = newListRoot();
    root->set(key::beta1DateFixedUp, Value::boolean(true));
    for (const NodePtr& node : items)
        childrenOf(*root)->items.emplace_back(node);
    if (const QString error = writeListFile(path, root); !error.isEmpty())
        qFatal("%s", qPrintable(error));
    return path;
}

void screenshot(QWidget& widget, const QString& name) {
    if (const QByteArray folder = qgetenv("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
        widget.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name + ".png"));
}

QWidget* visibleTopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            return widget;
    return nullptr;
}

QString categoryOf(const TardigoDocument& document, const QString& name) {
    const NodePtr found = findItem(*document.data(), name);
    const QString* category = found ? found->value(key::category).asString() : nullptr;
    return category ? *category : QString();
}

} // namespace

class TestApplicationShell : public QObject {
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
        settings().setMinderDesktopNotification(false); // nothing on the test machine's desktop
        DialogService::setScripted(true);
    }

    void preferencesWriteEachOneAtOnce_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("preference");
        const std::pair<const char*, const QString*> boxes[] = {
            {"minderEnabledCheckbox", &pref::tardigoMinderEnabled},
            {"alertDialogCheckbox", &pref::minderAlertDialog},
            {"alertSoundCheckbox", &pref::minderAlertSound},
            {"alertSpeakCheckbox", &pref::minderSpeak},
            {"alertEmailCheckbox", &pref::minderEmail},
            {"desktopNotificationCheckbox", &pref::minderDesktopNotification},
            {"rememberWorkspaceCheckbox", &pref::loadPreviousListOnStartup},
            {"autoSaveCheckbox", &pref::autoSave},
            {"lastWindowCloseQuitsCheckbox", &pref::lastWindowCloseQuits}};
        for (const auto& [control, preference] : boxes)
            QTest::newRow(control) << QString::fromLatin1(control) << *preference;
    }
    void preferencesWriteEachOneAtOnce() {
        QFETCH(QString, control);
        QFETCH(QString, preference);
        PreferencesWindow window;
        window.show();
        auto* box = window.findChild<QCheckBox*>(control);
        QVERIFY(box);
        QVERIFY(!box->accessibleName().isEmpty() || !box->text().isEmpty());
        const bool before = settings().value(preference) == Value::boolean(true);
        QCOMPARE(box->isChecked(), before);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); // on the box itself
        QCOMPARE(settings().value(preference), Value::boolean(!before));
        QVERIFY(settings().contains(preference));
    }

    void preferencesRefuseMinutesThatAreNoPositiveNumberAndApplyOnClosing() {
        DocumentController controller;
        DocumentMainWindow* list = controller.newUntitledDocument();
        NodePtr errand = item("post office");
        errand->set(key::category, QStringLiteral("Errands"));
        childrenOf(*list->document().data())->items.emplace_back(errand);

        PreferencesWindow window;
        int applied = 0, prefsChanged = 0;
        connect(&window, &PreferencesWindow::preferencesApplied, this, [&] { ++applied; });
        connect(&PreferenceSignals::instance(), &PreferenceSignals::preferencesChanged, this,
                [&] { ++prefsChanged; });
        window.show();
        auto* minutes = window.findChild<QLineEdit*>("minderPeriodMinutes");
        for (const char* refused : {"0", "-3", "soon"}) {
            minutes->selectAll();
            QTest::keyClicks(minutes, refused);
            QTest::keyClick(minutes, Qt::Key_Return);
            QCOMPARE(minutes->text(), QStringLiteral("15"));
            QCOMPARE(settings().minderIntervalMinutes(), 15);
        }
        minutes->selectAll();
        QTest::keyClicks(minutes, "5");
        QTest::keyClick(minutes, Qt::Key_Return);
        QCOMPARE(settings().minderIntervalMinutes(), 5);

        window.findChild<QRadioButton*>("sidebarLeftSideRadioButton")->click();
        QCOMPARE(settings().drawerSide(), 0);
        window.findChild<QRadioButton*>("categoriesScopeGlobalRadioButton")->click();
        QVERIFY(!settings().categoriesLocalScope());
        QCOMPARE(settings().globalCategories(), QStringList{"Errands"});
        window.findChild<QRadioButton*>("categoriesScopeLocalRadioButton")->click();
        QVERIFY(settings().categoriesLocalScope());
        QVERIFY(settings().globalCategories().isEmpty());

        // Typed but not entered: closing takes it, then announces the change once.
        minutes->selectAll();
        QTest::keyClicks(minutes, "7");
        screenshot(window, "preferences");
        QCOMPARE(applied, 0);
        window.close();
        QCOMPARE(settings().minderIntervalMinutes(), 7);
        QCOMPARE(applied, 1);
        QCOMPARE(prefsChanged, 1);
        QVERIFY(!window.isVisible());
        PreferenceSignals::instance().disconnect(this);
    }

    void theIconSectionKeepsOneIconToEachRule() {
        settings().setGlobalCategories({"Family", "Work"});
        PreferencesWindow window;
        window.show();
        window.showIcons();
        auto* table = window.findChild<QTableWidget*>("iconsPrefsTableView");
        QVERIFY(table->isVisible());
        QCOMPARE(table->rowCount(), 29);
        auto* remove = window.findChild<QPushButton*>("removeIcon");
        QVERIFY(!remove->isEnabled());
        const auto combo = [&](const QString& icon, int column) {
            return qobject_cast<QComboBox*>(
                table->cellWidget(int(settings().itemIcons().indexOf(icon)), column));
        };
        // The user picks with the keyboard, as from a list.
        QComboBox* heart = combo("vk_heart", 1);
        heart->setFocus();
        QTest::keyClick(heart, Qt::Key_Down);
        QTRY_COMPARE(*settings().iconCategories()->value("vk_heart").asString(), QStringLiteral("Family"));
        QComboBox* check1 = combo("vk_check1", 2);
        QCOMPARE(combo("vk_check6", 2)->currentIndex(), 8);
        check1->setCurrentIndex(8);
        emit check1->activated(8);
        QTRY_COMPARE(combo("vk_check6", 2)->currentIndex(), -1); // "Completed" moved
        QCOMPARE(check1->currentIndex(), 8);

        table->selectRow(int(settings().itemIcons().indexOf("vk_check1")));
        QVERIFY(remove->isEnabled());
        screenshot(window, "preferences-icons");
        remove->click();
        QCOMPARE(table->rowCount(), 28);
        QVERIFY(!settings().iconConditions()->contains("vk_check1"));

        DialogService::queueFileName(QStringLiteral(TARDIGO_SOURCE_DIR "/resources/icons/tardigo.svg"));
        window.findChild<QPushButton*>("addIcon")->click();
        QCOMPARE(table->rowCount(), 29);
        QCOMPARE(table->item(28, 0)->toolTip(),
                 QStringLiteral(TARDIGO_SOURCE_DIR "/resources/icons/tardigo.svg"));
        QVERIFY(!table->item(28, 0)->icon().isNull());
    }

    // However tall its page grows, the window stays on the screen with its buttons, and the page
    // scrolls to what does not fit; closing the icons gives the room back.
    void thePreferencesFitTheScreen() {
        PreferencesWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = window.screen()->availableGeometry();
        auto* page = window.findChild<QScrollArea*>("preferencesPage");
        const QAbstractButton* close = window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close);
        const auto onScreen = [&](const QWidget& widget) {
            return available.contains(QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()));
        };
        QVERIFY(available.contains(window.frameGeometry()));
        const int closed = window.height();

        window.showIcons();
        QVERIFY(available.contains(window.frameGeometry()));
        QVERIFY(close->isVisible() && onScreen(*close));
        QVERIFY(window.height() >= closed);
        const int open = window.height();
        auto* table = window.findChild<QTableWidget*>("iconsPrefsTableView");
        QCoreApplication::processEvents();
        page->ensureWidgetVisible(table);
        QVERIFY(!table->visibleRegion().isEmpty());
        // Nothing of the page is squeezed below its least size, to show more of it at once.
        QVERIFY(page->widget()->height() >= page->widget()->minimumSizeHint().height());
        screenshot(window, "preferences-fitted");

        window.findChild<QAbstractButton*>("iconsSectionToggle")->click();
        QVERIFY(window.height() <= open);
        QVERIFY(available.contains(window.frameGeometry()));
    }

    void preferencesChangedOutsideAreTakenUp() {
        settings().useFile(path("outside.ini"));
        TardigoApplication application(nullptr, path("outside.json"), TodoLocator("/bin/false", {}));
        int announced = 0;
        connect(&PreferenceSignals::instance(), &PreferenceSignals::preferencesChanged, this,
                [&] { ++announced; });
        Settings tool; // tardigo-cli config, say
        tool.useFile(path("outside.ini"));
        tool.setValue(pref::oldDays, Value::integer(30));
        QVERIFY(tool.sync());
        QTRY_COMPARE(settings().oldDays(), 30);
        QTRY_COMPARE(announced, 1);
        PreferenceSignals::instance().disconnect(this);
        settings().useMemoryOnly();
    }

    void aNoticeLeadsToItsItem() {
        NodePtr due = item("pay rent");
        due->set(key::due, QStringLiteral("2020-03-01 09:00:00 +0100"));
        const QString list = writeList(path("rent.todo"), {item("groceries"), due});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = application.controller().openFile(list);
        QVERIFY(window);
        QTRY_VERIFY(settings().minderLists().contains(list)); // on the next pass
        application.rules().runMinderPass();
        QTRY_VERIFY(window->messages().currentBox());
        QMessageBox* box = window->messages().currentBox();
        QCOMPARE(box->text(), QStringLiteral("\"pay rent\""));
        QVERIFY2(box->informativeText().contains("Past date due"), qPrintable(box->informativeText()));
        // The notice is stamped in the list, and saved at once: nothing else was unsaved.
        QTRY_VERIFY(!window->document().isDocumentEdited());
        QVERIFY(findItem(*readListFile(list).root, "pay rent")->contains(key::minderTimestampTodo));
        screenshot(*window, "notice");
        screenshot(*box, "notice-box");
        QAbstractButton* viewItem = nullptr;
        for (QAbstractButton* button : box->buttons())
            if (button->text().remove(u'&') == QStringLiteral("View Item"))
                viewItem = button;
        QVERIFY(viewItem);
        QStringList later;
        for (QAbstractButton* button : box->buttons())
            if (button->text().remove(u'&').startsWith(QStringLiteral("Remind Me")))
                later << button->text().remove(u'&');
        QCOMPARE(later,
                 (QStringList{"Remind Me in 10 Minutes", "Remind Me in 1 Hour", "Remind Me Tomorrow"}));
        viewItem->click();
        QTRY_VERIFY(!window->messages().currentBox());
        QCOMPARE(selectedNames(window->outline()), QStringList{"pay rent"});
        QVERIFY(window->inspector().isVisible()); // on the due date's tool
        QCOMPARE(window->inspector().toolIdentifierToShow(), int(InspectorToolDueDate));
    }

    void theExportIsWrittenAndShownOrItsFailureExplained() {
        const QString list = writeList(path("shop.todo"), {item("milk")});
        DocumentController controller;
        DocumentMainWindow* window = controller.openFile(list);
        QStringList revealed;
        FileManager::setRevealHandler([&](const QString& shown) { revealed << shown; });
        DialogService::queueFileName(path("exported")); // the extension comes with the dialog
        window->menus().actions().exportPropertyList->trigger();
        QCOMPARE(revealed, QStringList{path("exported.plist")});
        QFile exported(path("exported.plist"));
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QVERIFY(exported.readAll().contains("<string>milk</string>"));

        DialogService::queueFileName(path("no such folder/out.plist"));
        window->menus().actions().exportPropertyList->trigger();
        QTRY_VERIFY(window->messages().currentBox());
        const QMessageBox* failure = window->messages().currentBox();
        QCOMPARE(failure->text(), QStringLiteral("“out.plist” could not be written."));
        QVERIFY2(failure->detailedText().contains("out.plist"), qPrintable(failure->detailedText()));
        QCOMPARE(revealed.size(), 1);
        window->messages().currentBox()->close();
        DialogService::queueFileName(QString()); // cancelled: nothing at all
        window->menus().actions().exportPropertyList->trigger();
        QCOMPARE(revealed.size(), 1);
        FileManager::setRevealHandler({});
    }

    void makeStickyTakesTheSelectedItems() {
        const QString list = writeList(path("errands.todo"), {item("bank"), item("bakery")});
        TardigoApplication application(nullptr, path("made.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = application.controller().openFile(list);
        QAction* makeSticky = window->menus().actions().makeSticky;
        window->validate();
        QVERIFY(!makeSticky->isEnabled());
        window->makeSticky(); // nothing selected: a beep, no note
        QVERIFY(application.stickies().notes().empty());
        selectShown(window->outline(), {"bakery"});
        window->validate();
        QVERIFY(makeSticky->isEnabled());
        makeSticky->trigger();
        QCOMPARE(application.stickies().notes().size(), size_t(1));
        QCOMPARE(application.stickies().notes().front().title, QStringLiteral("bakery"));
    }

    void helpVersionAndRefusedArgumentsNeedNoDisplay() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        const auto run = [&environment](const QStringList& args) {
            QProcess tardigo;
            tardigo.setProcessEnvironment(environment);
            tardigo.start(QStringLiteral(TARDIGO_APP_PATH), args);
            if (!tardigo.waitForFinished(30'000) || tardigo.exitStatus() != QProcess::NormalExit)
                return std::pair(-1, QString());
            return std::pair(tardigo.exitCode(), QString::fromUtf8(tardigo.readAllStandardOutput()));
        };
        for (const char* help : {"--help", "-h"}) {
            const auto [status, out] = run({QLatin1String(help)});
            QCOMPARE(status, 0);
            QVERIFY2(out.contains("--new-item") && out.contains("--print-to-pdf"), qPrintable(out));
        }
        const auto [status, out] = run({QStringLiteral("--version")});
        QCOMPARE(status, 0);
        static const QRegularExpression version(QStringLiteral("^tardigo \\d+\\.\\d+\\.\\d+\n$"));
        QVERIFY2(version.match(out).hasMatch(), qPrintable(out));

        // An argument that is not UTF-8 is refused for what it is, before anything starts: Qt would
        // read it with its letters lost.
        QProcess shell;
        shell.setProcessEnvironment(environment);
        shell.start(QStringLiteral("/bin/sh"), {"-c", "\"$0\" --new-item \"$(printf 'Call caf\\351')\"",
                                                QStringLiteral(TARDIGO_APP_PATH)});
        QVERIFY(shell.waitForFinished(30'000));
        QCOMPARE(shell.exitCode(), 2);
        const QString said = QString::fromUtf8(shell.readAllStandardError());
        QVERIFY2(said.contains("argument 2 (“Call caf\\xe9”) is not UTF-8 text: its byte 9, 0xe9") &&
                     said.contains("tardigo reads every argument as UTF-8"),
                 qPrintable(said));
    }

    void aSecondTardigoHandsItsWorkToTheRunningOne() {
        auto server = std::make_unique<InstanceServer>();
        QString error;
        QVERIFY2(server->listen(instanceSocketPath(), &error), qPrintable(error));
        QVERIFY(instanceSocketPath().startsWith(sessionFolder().path()));
        const QString list = writeList(path("home.todo"), {item("bread")});
        TardigoApplication application(std::move(server), path("second.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = application.controller().openFile(list);
        const auto second = [](const QStringList& arguments, QString* errors = nullptr) {
            QProcess tardigo;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            tardigo.setProcessEnvironment(environment);
            tardigo.start(TARDIGO_APP_PATH, arguments);
            // The running one answers from this event loop, which waiting must keep turning.
            if (!QTest::qWaitFor([&] { return tardigo.state() == QProcess::NotRunning; }, 30000))
                return -1;
            if (errors)
                *errors = QString::fromUtf8(tardigo.readAllStandardError());
            return tardigo.exitStatus() == QProcess::NormalExit ? tardigo.exitCode() : -1;
        };

        QCOMPARE(second({"--new-item", "Buy milk"}), 0);
        QCOMPARE(rowNames(window->outline()), (QStringList{"bread", "Buy milk"}));
        QCOMPARE(application.controller().windows().size(), size_t(1)); // no second application
        window->document().undoStack().undo();
        QCOMPARE(rowNames(window->outline()), QStringList{"bread"});

        QGuiApplication::clipboard()->setText(QStringLiteral("From the clipboard"));
        QCOMPARE(second({"--new-item-from-selection"}), 0);
        QCOMPARE(rowNames(window->outline()), (QStringList{"bread", "From the clipboard"}));
        QGuiApplication::clipboard()->clear();
        QString said;
        QCOMPARE(second({"--new-item-from-selection"}, &said), 1);
        QVERIFY2(said.contains("no text selected"), qPrintable(said));
        QCOMPARE(rowNames(window->outline()).size(), 2);

        QCOMPARE(second({"--quick-add"}), 0);
        QWidget* quickAdd = nullptr;
        QTRY_VERIFY((quickAdd = visibleTopLevel("quickAddWindow")));
        auto* line = quickAdd->findChild<QLineEdit*>(QStringLiteral("quickAddLine"));
        QTRY_COMPARE(QApplication::focusWidget(), line);
        QTest::keyClicks(line, QStringLiteral("Call Anna tomorrow 10:00 #work"));
        const auto* reading = quickAdd->findChild<QLabel*>(QStringLiteral("quickAddReading"));
        QVERIFY2(reading->text().contains(QStringLiteral("category\u00a0work")), qPrintable(reading->text()));
        screenshot(*quickAdd, "quick-add");
        QTest::keyClick(line, Qt::Key_Return);
        QVERIFY(!quickAdd->isVisible());
        QCOMPARE(rowNames(window->outline()).constLast(), QStringLiteral("Call Anna"));
        QCOMPARE(categoryOf(window->document(), QStringLiteral("Call Anna")), QStringLiteral("work"));
        QCOMPARE(second({"--quick-add"}), 0);
        QTRY_VERIFY(visibleTopLevel("quickAddWindow"));
        QTest::keyClicks(line, QStringLiteral("Not this one"));
        QTest::keyClick(line, Qt::Key_Escape); // dropped
        QVERIFY(!quickAdd->isVisible());
        QCOMPARE(rowNames(window->outline()).size(), 3);

        const QString other = writeList(path("work.todo"), {item("report")});
        QCOMPARE(second({other}), 0);
        QTRY_COMPARE(application.controller().windows().size(), size_t(2));
        QCOMPARE(second({list}), 0); // already open: it comes forward, once
        QCOMPARE(application.controller().windows().size(), size_t(2));
    }
};

QTEST_MAIN(TestApplicationShell)
#include "tst_application_shell.moc"
