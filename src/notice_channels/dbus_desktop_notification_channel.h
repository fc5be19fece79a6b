#pragma once

#include "minder/notice_channels.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace tardigo {

/// Desktop notifications through org.freedesktop.Notifications on the session bus.
class DBusDesktopNotificationChannel : public QObject, public DesktopNotificationChannel {
    Q_OBJECT
public:
    void notify(const QString& summary, const QString& body) override;
    /// Shows the notification in place of the one with the id `previous` (0: none); its own id, or 0
    /// when it was not shown.
    uint notifyInPlaceOf(uint previous, const QString& summary, const QString& body);
    void notifyWithChoices(const QString& summary, const QString& body,
                           const QList<NotificationChoice>& choices,
                           std::function<void(const QString& key)> chosen) override;

private slots:
    // The server's signals, which QtDBus delivers to slots named by their signature.
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

private:
    /// Sends the notification; its id, or none when it was not shown.
    std::optional<uint> send(const QString& summary, const QString& body, const QStringList& actions,
                             uint replaces = 0);
    /// What the server can do ("body-markup", "actions" ...), asked once.
    const QStringList& serverCapabilities();
    void listenForChoices();

    std::optional<QStringList> _capabilities;
    bool _failureLogged = false;
    bool _listening = false;
    struct WaitingForChoice {
        uint id; // the notification's
        std::function<void(const QString&)> chosen;
    };
    std::vector<WaitingForChoice> _waitingForChoice; // the oldest first
    /// The choice the notification waits for, taken from the waiting ones; null when none is waited for.
    std::function<void(const QString&)> takeWaiting(uint id);
};

} // namespace tardigo
