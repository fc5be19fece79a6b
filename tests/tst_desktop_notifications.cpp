// Desktop notifications as the desktop's notification server receives them, on a private session bus:
// what is sent, and the choices a notification offers.

#include "fake_notification_server.h"
#include "local_servers.h"
#include "test_support.h"

#include "document/tardigo_document.h"
#include "minder/minder_host.h"
#include "minder/notice_delivery.h"
#include "minder/recording_error_reporter.h"
#include "model/keys.h"
#include "notice_channels/dbus_desktop_notification_channel.h"
#include "platform/settings.h"

#include <QTest>

#include <optional>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const QList<NotificationChoice> kSnoozeChoices{{"ok", "OK"}, {"later", "Remind Me in 10 Minutes"}};

/// The minder's way to a list that has no window: the notice goes to the desktop only.
class WindowlessHost : public MinderHost {
public:
    MinderDocument* documentForFileName(const QString&) override { return nullptr; }
    MinderDocument* openDocumentWithoutDisplay(const QString&, const ListLoad&) override { return nullptr; }
    void removeDocument(MinderDocument*) override {}
    void showWindows(MinderDocument&) override {}
    void minderWithNode(MinderDocument&, const NodePtr&, const QString&, ItemStatus) override {}
    AlertQueue* alertQueue(MinderDocument&) override { return nullptr; }
};

} // namespace

class TestDesktopNotifications : public QObject {
    Q_OBJECT
    PrivateKeyring _bus;

private slots:
    void initTestCase() {
        TARDIGO_NEED(_bus.start(false));
        qputenv("DBUS_SESSION_BUS_ADDRESS", _bus.address());
    }

    void aNotificationNamesTheProgramAndEscapesItsBodyWhereMarkupIsRead() {
        for (const bool markup : {false, true}) {
            FakeNotificationServer server(_bus.address(),
                                          markup ? QStringList{"body", "body-markup"} : QStringList{"body"});
            DBusDesktopNotificationChannel channel;
            channel.notify("Due: <b>rent</b>", "Pay rent & bills <now>");
            QCOMPARE(server.sent().size(), 1);
            const SentNotification sent = server.sent().constFirst();
            QCOMPARE(sent.appName, QStringLiteral("Tardigo"));
            QCOMPARE(sent.summary, QStringLiteral("Due: <b>rent</b>")); // a summary is never markup
            QCOMPARE(sent.body, markup ? QStringLiteral("Pay rent &amp; bills &lt;now&gt;")
                                       : QStringLiteral("Pay rent & bills <now>"));
            QCOMPARE(sent.hints.value("desktop-entry").toString(), QStringLiteral("tardigo"));
            QVERIFY(sent.actions.isEmpty());
        }
    }

    void anItemsNameReachesTheServerAsPlainText() {
        // Markup, a right-to-left override, a line break and a NUL, which the bus would refuse.
        const NodePtr item = Dict::create();
        item->set(key::name,
                  QStringLiteral("<a href=\"http://evil.example/\">click</a>\u202Efdp.exe\nX") + QChar(0));
        Settings::instance().useMemoryOnly();
        for (const bool markup : {false, true}) {
            FakeNotificationServer server(_bus.address(), {"body", markup ? "body-markup" : "body"});
            DBusDesktopNotificationChannel channel;
            NoticeChannels channels;
            channels.desktopNotification = &channel;
            WindowlessHost host;
            RecordingErrorReporter reporter;
            TardigoDocument list;
            NoticeDelivery(host, channels, reporter, false)
                .notificationForDoc(list, "Due", ItemStatusDue, item);
            list.close();
            const QString plain = "\"<a href=\"http://evil.example/\">click</a>fdp.exe X \"\nDue";
            QCOMPARE(server.sent().at(0).body, markup ? plain.toHtmlEscaped() : plain);
        }
    }

    void aChoiceIsTakenOnceAndNotAfterTheNotificationClosed() {
        FakeNotificationServer server(_bus.address(), {"body", "actions"});
        DBusDesktopNotificationChannel channel;
        QStringList chosen;
        for (int i = 0; i < 2; ++i)
            channel.notifyWithChoices(
                "Due", QString::number(i), kSnoozeChoices,
                [&chosen, i](const QString& key) { chosen << QString::number(i) + key; });
        QCOMPARE(server.sent().size(), 2);
        QCOMPARE(server.sent().constFirst().actions,
                 (QStringList{"ok", "OK", "later", "Remind Me in 10 Minutes"})); // key, label
        const uint first = server.sent().at(0).id;
        const uint second = server.sent().at(1).id;

        server.sayActionInvoked(second, "later");
        QTRY_COMPARE(chosen, QStringList{"1later"});
        server.sayClosed(first);
        server.sayActionInvoked(first, "ok");     // too late: it closed
        server.sayActionInvoked(second, "later"); // taken already
        server.sayActionInvoked(99, "ok");        // not ours
        // The signals arrive in order: one sent after them marks that they have all been read.
        channel.notifyWithChoices("Due", "2", kSnoozeChoices,
                                  [&chosen](const QString& key) { chosen << "2" + key; });
        server.sayActionInvoked(server.sent().constLast().id, "ok");
        QTRY_COMPARE(chosen, (QStringList{"1later", "2ok"}));
    }

    void withoutActionsTheNotificationOffersNone() {
        FakeNotificationServer server(_bus.address(), {"body"});
        DBusDesktopNotificationChannel channel;
        channel.notifyWithChoices("Due", "rent", kSnoozeChoices, [](const QString&) {});
        QCOMPARE(server.sent().size(), 1);
        QVERIFY(server.sent().constFirst().actions.isEmpty());
    }

    void theOldestChoiceIsLetGoWhenTooManyWait() {
        // A server that never says a notification closed: only the newest 64 keep waiting.
        FakeNotificationServer server(_bus.address(), {"body", "actions"});
        DBusDesktopNotificationChannel channel;
        QStringList chosen;
        for (int i = 0; i < 70; ++i)
            channel.notifyWithChoices("Due", QString::number(i), kSnoozeChoices,
                                      [&chosen, i](const QString&) { chosen << QString::number(i); });
        const QList<SentNotification> sent = server.sent();
        QCOMPARE(sent.size(), 70);
        for (const int i : {0, 5, 6, 69})
            server.sayActionInvoked(sent[i].id, "ok");
        QTRY_COMPARE(chosen, (QStringList{"6", "69"}));
    }
};

QTEST_GUILESS_MAIN(TestDesktopNotifications)
#include "tst_desktop_notifications.moc"
