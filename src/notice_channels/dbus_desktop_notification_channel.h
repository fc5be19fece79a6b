#pragma once

#include "minder/desktop_notification_channel.h"

#include <optional>

namespace tardigo {

/// Desktop notifications through org.freedesktop.Notifications on the session bus.
class DBusDesktopNotificationChannel : public DesktopNotificationChannel {
public:
    void notify(const QString& summary, const QString& body) override;

private:
    /// Whether the server reads the body as markup, asked once.
    bool serverTakesMarkup();

    std::optional<bool> _serverTakesMarkup;
    bool _failureLogged = false;
};

} // namespace tardigo
