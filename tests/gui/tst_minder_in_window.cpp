// The minder in the running application, offscreen: a notice shows a list's texts as plain text,
// what the minder changes is saved at once, a list made in the window reads back as saved, and the
// system's wake-up and time zone are heard.

#include "gui_test_support.h"
#include "local_servers.h"
#include "test_support.h"

#include "archive/list_file.h"
#include "archive/locked_list.h"
#include "desktop_app/system_clock_events.h"
#include "desktop_app/tardigo_application.h"
#include "dialogs/dialog_service.h"
#include "dialogs/message_box_host.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/outline_tree_view.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestMinderInWindow : public QObject {
    Q_OBJECT
    QTemporaryDir _files;
    PrivateKeyring _systemBus; // a private bus standing in for the system's
    std::unique_ptr<TardigoApplication> _application;

    QString path(const QString& name) const { return _files.filePath(name); }
    static NodePtr saved(const QString& list, const QString& name) {
        return findItem(*readListFile(list).root, name);
    }

    /// The list open in the running application, after a minder pass that gave it a notice.
    DocumentMainWindow* noticeIn(const QString& list) {
        _application = std::make_unique<TardigoApplication>(nullptr, path("stickies.json"),
                                                            TodoLocator("/bin/false", {}));
        DocumentMainWindow* window = _application->controller().openFile(list);
        // The list is watched from the next pass of the event loop.
        if (!window ||
            !QTest::qWaitFor([&list] { return Settings::instance().minderLists().contains(list); }))
            return nullptr;
        _application->rules().runMinderPass();
        return QTest::qWaitFor([window] { return window->messages().currentBox() != nullptr; }) ? window
                                                                                                : nullptr;
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        Settings::instance().setMinderDesktopNotification(false);
    }
    void cleanup() { _application.reset(); }

    void aNoticeShowsTheItemsNameAsPlainTextAndIsSavedAtOnce() {
        const QString name = QStringLiteral("<b>Bold?</b> <a href=\"http://evil.example/\">click</a>"
                                            "\u202E gnp.exe\u202C\x1b[2J");
        const QString list = writeList(path("shared.todo"), {dueItem(name, "2020-03-01 09:00:00 +0100")});
        DocumentMainWindow* window = noticeIn(list);
        QVERIFY(window);
        QMessageBox& box = *window->messages().currentBox();
        saveScreenshot(box, "notice-plain-name");
        QCOMPARE(box.text(), "\"<b>Bold?</b> <a href=\"http://evil.example/\">click</a> gnp.exe [2J\"");
        QVERIFY(box.informativeText().startsWith("Past date due"));
        QVERIFY(box.windowTitle() != box.text());
        QCOMPARE(box.icon(), QMessageBox::Information);
        // Neither text is read as markup, so neither holds a link.
        QCOMPARE(box.textFormat(), Qt::PlainText);
        QCOMPARE(box.findChild<QLabel*>("qt_msgbox_informativelabel")->textFormat(), Qt::PlainText);
        QTRY_VERIFY(!window->document().isDocumentEdited());
        QVERIFY(saved(list, name)->contains(key::minderTimestampTodo));
    }

    void aRolledRepeatingItemIsOnDiskWithinASecondAndAnAddMeetsNoQuestion() {
        NodePtr daily = dueItem("water plants", "2020-03-01 09:00:00 +0100");
        daily->set(key::dateDueRepeatPeriod, Value::integer(1));
        daily->set(key::completion, Value::float32(1.0));
        const QString list = writeList(path("daily.todo"), {daily});
        DocumentMainWindow* window = noticeIn(list);
        QVERIFY(window);
        QTRY_VERIFY_WITH_TIMEOUT(saved(list, "water plants")->value(key::completion) == Value::float32(0.0),
                                 1000);
        QVERIFY(!window->document().isDocumentEdited());
        window->messages().currentBox()->defaultButton()->click(); // OK

        // Another program adds an item, as tardigo-cli add does: the window follows, asking nothing.
        QString error;
        {
            std::optional<LockedList> locked = LockedList::open(list, false, &error);
            QVERIFY2(locked, qPrintable(error));
            childrenOf(*locked->root())->items.emplace_back(item("added elsewhere"));
            QCOMPARE(locked->save(), QString());
        }
        QTRY_COMPARE(rowNames(window->outline()), (QStringList{"water plants", "added elsewhere"}));
        QVERIFY(DialogService::takeShownTexts().isEmpty());
    }

    void aListMadeInTheWindowReopensAsSavedAndClosingAsksNothing() {
        DocumentController controller;
        controller.newUntitledDocument()->document().itemCommands().newItemWithName("plan the week");
        DialogService::queueFileName(path("week.todo"));
        QVERIFY(controller.windows().front()->save());
        QVERIFY(controller.closeAll());
        const DocumentMainWindow* reopened = controller.openFile(path("week.todo"));
        QVERIFY(reopened && !reopened->isWindowModified());
        QVERIFY(controller.closeAll());
        QVERIFY(DialogService::takeShownTexts().isEmpty());
    }

    void wakingAndANewTimeZoneAreHeardOnTheSystemBus() {
        TARDIGO_NEED(_systemBus.start(false));
        const QString address = QString::fromUtf8(_systemBus.address());
        QDBusConnection services = QDBusConnection::connectToBus(address, QStringLiteral("services"));
        for (const char* service : {"org.freedesktop.login1", "org.freedesktop.timedate1"})
            QVERIFY(services.registerService(QString::fromLatin1(service)));
        SystemClockEvents events(QDBusConnection::connectToBus(address, QStringLiteral("system")));
        QSignalSpy moved(&events, &SystemClockEvents::timeMoved);
        const auto say = [&](const QString& path, const QString& interface, const QString& name,
                             const QVariantList& arguments) {
            QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
            signal.setArguments(arguments);
            QVERIFY(services.send(signal));
        };
        const auto timeDate = [&](const QVariantMap& changed, const QStringList& invalidated) {
            say("/org/freedesktop/timedate1", "org.freedesktop.DBus.Properties", "PropertiesChanged",
                {"org.freedesktop.timedate1", changed, invalidated});
        };
        for (const bool sleeping : {true, false}) // going to sleep is no news
            say("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {sleeping});
        timeDate({{"NTP", true}}, {});
        timeDate({{"Timezone", "Asia/Tokyo"}}, {});
        timeDate({}, {"Timezone"});
        QTRY_COMPARE(moved.size(), 3);
        QTest::qWait(100);
        QCOMPARE(moved.size(), 3);
        QDBusConnection::disconnectFromBus(QStringLiteral("system"));
        QDBusConnection::disconnectFromBus(QStringLiteral("services"));
    }
};

QTEST_MAIN(TestMinderInWindow)
#include "tst_minder_in_window.moc"
