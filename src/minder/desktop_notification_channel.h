#pragma once

#include <QString>

namespace tardigo {

/// Shows a notice in the desktop's notification area; failures are logged.
class DesktopNotificationChannel {
public:
    virtual ~DesktopNotificationChannel() = default;
    virtual void notify(const QString& summary, const QString& body) = 0;
};

} // namespace tardigo
