// Desktop notifications as the desktop's notification server receives them, on a private session bus:
// what is sent, and the choices a notification offers.

#include "fake_notification_server.h"
#include "local_servers.h"
#include "test_support.h"

#include "notice_channels/dbus_desktop_notification_channel.h"

#include <QTest>

#include <optional>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const QList<NotificationChoice> kSnoozeChoices{{"ok", "OK"}, {"later", "Remind Me in 10 Minutes"}};

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
            const SentNotification sent = server.sent().front();
            QCOMPARE(sent.appName, QStringLiteral("Tardigo"));
            QCOMPARE(sent.summary, QStringLiteral("Due: <b>rent</b>")); // a summary is never markup
            QCOMPARE(sent.body, markup ? QStringLiteral("Pay rent &amp; bills &lt;now&gt;")
                                       : QStringLiteral("Pay rent & bills <now>"));
            QCOMPARE(sent.hints.value("desktop-entry").toString(), QStringLiteral("tardigo"));
            QVERIFY(sent.actions.isEmpty());
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
        QCOMPARE(server.sent().front().actions,
                 (QStringList{"ok", "OK", "later", "Remind Me in 10 Minutes"})); // key, label
        const uint first = server.sent()[0].id;
        const uint second = server.sent()[1].id;

        server.sayActionInvoked(second, "later");
        QTRY_COMPARE(chosen, QStringList{"1later"});
        server.sayClosed(first);
        server.sayActionInvoked(first, "ok");     // too late: it closed
        server.sayActionInvoked(second, "later"); // taken already
        server.sayActionInvoked(99, "ok");        // not ours
        // The signals arrive in order: one sent after them marks that they have all been read.
        channel.notifyWithChoices("Due", "2", kSnoozeChoices,
                                  [&chosen](const QString& key) { chosen << "2" + key; });
        server.sayActionInvoked(server.sent().last().id, "ok");
        QTRY_COMPARE(chosen, (QStringList{"1later", "2ok"}));
    }

    void withoutActionsTheNotificationOffersNone() {
        FakeNotificationServer server(_bus.address(), {"body"});
        DBusDesktopNotificationChannel channel;
        channel.notifyWithChoices("Due", "rent", kSnoozeChoices, [](const QString&) {});
        QCOMPARE(server.sent().size(), 1);
        QVERIFY(server.sent().front().actions.isEmpty());
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
