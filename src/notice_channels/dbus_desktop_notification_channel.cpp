#include "notice_channels/dbus_desktop_notification_channel.h"

#include "notice_channels/channels_log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

#include <utility>

namespace tardigo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// A notification server answers at once; a hung one must not hold up the scan.
constexpr int kCallMsecs = 5000;

QDBusMessage notificationsCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}
} // namespace

void DBusDesktopNotificationChannel::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (!std::exchange(_failureLogged, true))
            qCWarning(lcChannels).noquote()
                << "no desktop notifications: no session bus:" << bus.lastError().message();
        return;
    }
    QDBusMessage call = notificationsCall(QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tardigo")}};
    call << QStringLiteral("Tardigo") << 0u << QStringLiteral("tardigo") << summary
         << (serverTakesMarkup() ? body.toHtmlEscaped() : body) << QStringList() << hints << -1;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallMsecs);
    if (reply.type() == QDBusMessage::ErrorMessage && !std::exchange(_failureLogged, true))
        qCWarning(lcChannels).noquote() << "the desktop notification was not shown:" << reply.errorMessage();
}

bool DBusDesktopNotificationChannel::serverTakesMarkup() {
    if (!_serverTakesMarkup) {
        const QDBusMessage reply = QDBusConnection::sessionBus().call(
            notificationsCall(QStringLiteral("GetCapabilities")), QDBus::Block, kCallMsecs);
        _serverTakesMarkup =
            reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
            reply.arguments().constFirst().toStringList().contains(QStringLiteral("body-markup"));
    }
    return *_serverTakesMarkup;
}

} // namespace tardigo
