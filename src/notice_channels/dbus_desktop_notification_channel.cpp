#include "notice_channels/dbus_desktop_notification_channel.h"

#include "notice_channels/channels_log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

#include <algorithm>
#include <utility>

namespace tardigo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// A notification server answers at once; a hung one must not hold up the scan.
constexpr int kCallMsecs = 5000;
// Servers that never say a notification closed must not make the waiting ones grow without end.
constexpr size_t kMostWaiting = 64;

QDBusMessage notificationsCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}
} // namespace

void DBusDesktopNotificationChannel::notify(const QString& summary, const QString& body) {
    send(summary, body, {});
}

uint DBusDesktopNotificationChannel::notifyInPlaceOf(uint previous, const QString& summary,
                                                     const QString& body) {
    return send(summary, body, {}, previous).value_or(0);
}

void DBusDesktopNotificationChannel::notifyWithChoices(const QString& summary, const QString& body,
                                                       const QList<NotificationChoice>& choices,
                                                       std::function<void(const QString& key)> chosen) {
    if (!serverCapabilities().contains(QStringLiteral("actions"))) {
        send(summary, body, {});
        return;
    }
    listenForChoices();
    QStringList actions;
    for (const NotificationChoice& choice : choices)
        actions << choice.key << choice.label;
    const std::optional<uint> id = send(summary, body, actions);
    if (!id)
        return;
    if (_waitingForChoice.size() >= kMostWaiting)
        _waitingForChoice.erase(_waitingForChoice.begin());
    _waitingForChoice.push_back({*id, std::move(chosen)});
}

std::optional<uint> DBusDesktopNotificationChannel::send(const QString& summary, const QString& body,
                                                         const QStringList& actions, uint replaces) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (!std::exchange(_failureLogged, true))
            qCWarning(lcChannels).noquote()
                << "no desktop notifications: no session bus:" << bus.lastError().message();
        return std::nullopt;
    }
    const bool markup = serverCapabilities().contains(QStringLiteral("body-markup"));
    QDBusMessage call = notificationsCall(QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tardigo")}};
    call << QStringLiteral("Tardigo") << replaces << QStringLiteral("tardigo") << summary
         << (markup ? body.toHtmlEscaped() : body) << actions << hints << -1;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallMsecs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (!std::exchange(_failureLogged, true))
            qCWarning(lcChannels).noquote()
                << "the desktop notification was not shown:" << reply.errorMessage();
        return std::nullopt;
    }
    return reply.arguments().constFirst().toUInt();
}

const QStringList& DBusDesktopNotificationChannel::serverCapabilities() {
    if (!_capabilities) {
        const QDBusMessage reply = QDBusConnection::sessionBus().call(
            notificationsCall(QStringLiteral("GetCapabilities")), QDBus::Block, kCallMsecs);
        _capabilities = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                            ? reply.arguments().constFirst().toStringList()
                            : QStringList();
    }
    return *_capabilities;
}

void DBusDesktopNotificationChannel::listenForChoices() {
    if (std::exchange(_listening, true))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                SLOT(notificationClosed(uint, uint)));
}

void DBusDesktopNotificationChannel::actionInvoked(uint id, const QString& key) {
    // Taken out first: the choice may show a window, and another notification may come meanwhile.
    const std::function<void(const QString&)> chosen = takeWaiting(id);
    if (chosen)
        chosen(key);
}

void DBusDesktopNotificationChannel::notificationClosed(uint id, uint) {
    takeWaiting(id);
}

std::function<void(const QString&)> DBusDesktopNotificationChannel::takeWaiting(uint id) {
    const auto found = std::find_if(_waitingForChoice.begin(), _waitingForChoice.end(),
                                    [id](const WaitingForChoice& waiting) { return waiting.id == id; });
    if (found == _waitingForChoice.end())
        return nullptr;
    std::function<void(const QString&)> chosen = std::move(found->chosen);
    _waitingForChoice.erase(found);
    return chosen;
}

} // namespace tardigo
