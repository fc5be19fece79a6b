#pragma once

#include "minder/mail_message.h"

#include <optional>

namespace tardigo {

/// The user's own mailbox and a way to send to it.
class MailChannel {
public:
    virtual ~MailChannel() = default;

    /// The user's own e-mail address, or none when the user has not told us one.
    virtual std::optional<QString> userEmailAddress() const = 0;
    /// Hands the message to the mail service; false when it was not accepted (the reason is logged).
    virtual bool deliverMessage(const MailMessage& message) = 0;
};

} // namespace tardigo
