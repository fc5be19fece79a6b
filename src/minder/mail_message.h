#pragma once

#include <QByteArray>
#include <QString>

namespace tardigo {

/// A plain-text e-mail of the minder: the three headers it sets and the body. No "From": the mail
/// service supplies the sender.
struct MailMessage {
    QString to;
    QString subject;
    QString mailer;
    QString body;
};

/// The message as `sendmail -t` reads it: the headers, one value per line whatever the text holds
/// (line breaks become spaces, non-ASCII text goes into RFC 2047 encoded words), then the body as a
/// MIME text/plain part in UTF-8.
QByteArray mailMessageBytes(const MailMessage& message);

} // namespace tardigo
