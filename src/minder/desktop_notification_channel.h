#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace tardigo {

/// A choice a desktop notification offers, by its key and the text of its button.
struct NotificationChoice {
    QString key;
    QString label;
};

/// Shows a notice in the desktop's notification area; failures are logged.
class DesktopNotificationChannel {
public:
    virtual ~DesktopNotificationChannel() = default;
    virtual void notify(const QString& summary, const QString& body) = 0;
    /// The same with choices, where the notification server shows them; `chosen` runs with the key
    /// of the one the user picks. A channel without choices shows the notice alone.
    virtual void notifyWithChoices(const QString& summary, const QString& body,
                                   const QList<NotificationChoice>& choices,
                                   std::function<void(const QString& key)> chosen) {
        Q_UNUSED(choices);
        Q_UNUSED(chosen);
        notify(summary, body);
    }
};

} // namespace tardigo
