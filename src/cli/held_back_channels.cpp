#include "held_back_channels.h"

#include "minder/error_reporter.h"

namespace tardigo::cli {

HeldBackChannels::HeldBackChannels(NoticeChannels channels, ErrorReporter& reporter)
    : _channels(channels), _reporter(reporter) {}

NoticeChannels HeldBackChannels::channels() {
    NoticeChannels held;
    held.beep = _channels.beep ? this : nullptr;
    held.speech = _channels.speech ? this : nullptr;
    held.desktopNotification = _channels.desktopNotification ? this : nullptr;
    held.mail = _channels.mail ? this : nullptr;
    return held;
}

void HeldBackChannels::deliver() {
    // Taken first: a call may hold back more, which the next delivery sends.
    const std::vector<std::function<void()>> held = std::exchange(_held, {});
    for (const std::function<void()>& send : held)
        send();
}

void HeldBackChannels::beep() {
    _held.push_back([beep = _channels.beep] { beep->beep(); });
}

void HeldBackChannels::speak(const QString& text) {
    _held.push_back([speech = _channels.speech, text] { speech->speak(text); });
}

void HeldBackChannels::notify(const QString& summary, const QString& body) {
    _held.push_back([notification = _channels.desktopNotification, summary, body] {
        notification->notify(summary, body);
    });
}

std::optional<QString> HeldBackChannels::userEmailAddress() const {
    return _channels.mail->userEmailAddress();
}

bool HeldBackChannels::deliverMessage(const MailMessage& message) {
    _held.push_back([this, message] {
        if (!_channels.mail->deliverMessage(message))
            _reporter.noteError(QStringLiteral("email message delivery failed: %1").arg(message.subject));
    });
    return true;
}

} // namespace tardigo::cli
