#pragma once

#include "minder/notice_channels.h"

namespace tardigo {

/// Mail through the local MTA: the message goes to `<minderSendmailPath> -t -oi`, which takes the
/// recipients from the headers. The user's address is "minderEmailAddress", else $EMAIL.
class SendmailMailChannel : public MailChannel {
public:
    std::optional<QString> userEmailAddress() const override;
    bool deliverMessage(const MailMessage& message) override;
};

} // namespace tardigo
