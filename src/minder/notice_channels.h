#pragma once

namespace tardigo {

class BeepChannel;
class DesktopNotificationChannel;
class MailChannel;
class SpeechChannel;

/// The ways a notice reaches the user besides the alert sheet. A missing channel is not used, whatever
/// its preference says.
struct NoticeChannels {
    BeepChannel* beep = nullptr;
    SpeechChannel* speech = nullptr;
    DesktopNotificationChannel* desktopNotification = nullptr;
    MailChannel* mail = nullptr;
};

} // namespace tardigo
