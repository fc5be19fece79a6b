#pragma once

#include "minder/mail_message.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace tardigo {

/// Sounds one audible beep for a notice.
class BeepChannel {
public:
    virtual ~BeepChannel() = default;
    virtual void beep() = 0;
};

/// Speaks a notice's item name aloud. Speaking goes on after the call returns; failures are logged.
class SpeechChannel {
public:
    virtual ~SpeechChannel() = default;
    virtual void speak(const QString& text) = 0;
};

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

/// The user's own mailbox and a way to send to it.
class MailChannel {
public:
    virtual ~MailChannel() = default;

    /// The user's own e-mail address, or none when the user has not told us one.
    virtual std::optional<QString> userEmailAddress() const = 0;
    /// Hands the message to the mail service; false when it was not accepted (the reason is logged).
    virtual bool deliverMessage(const MailMessage& message) = 0;
};

/// The ways a notice reaches the user besides a message on its list's window. A missing channel is not used,
/// whatever its preference says.
struct NoticeChannels {
    BeepChannel* beep = nullptr;
    SpeechChannel* speech = nullptr;
    DesktopNotificationChannel* desktopNotification = nullptr;
    MailChannel* mail = nullptr;
};

} // namespace tardigo
