#pragma once

#include "minder/notice_channels.h"

#include <functional>
#include <vector>

namespace tardigo {
class ErrorReporter;
}

namespace tardigo::cli {

/// Notice channels that hold back what they are given until deliver(): a pass that saves a list
/// sends its notices once the list is saved and its lock let go, so that no other writer waits for
/// a mail to go out.
class HeldBackChannels : public BeepChannel,
                         public SpeechChannel,
                         public DesktopNotificationChannel,
                         public MailChannel {
public:
    /// Holds back for the channels given; a mail that fails when delivered is reported there.
    HeldBackChannels(NoticeChannels channels, ErrorReporter& reporter);

    /// Itself in the place of each channel it was given.
    NoticeChannels channels();
    /// Sends what was held back, in the order it came.
    void deliver();

    void beep() override;
    void speak(const QString& text) override;
    void notify(const QString& summary, const QString& body) override;
    std::optional<QString> userEmailAddress() const override;
    /// Accepted here; a failure is reported when the mail goes out.
    bool deliverMessage(const MailMessage& message) override;

private:
    NoticeChannels _channels;
    ErrorReporter& _reporter;
    std::vector<std::function<void()>> _held;
};

} // namespace tardigo::cli
