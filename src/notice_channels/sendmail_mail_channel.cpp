#include "notice_channels/sendmail_mail_channel.h"

#include "notice_channels/channels_log.h"
#include "platform/settings.h"

#include <QProcess>

namespace tardigo {

namespace {
constexpr int kStartMsecs = 10'000;
// A local MTA queues at once; one that takes longer is stuck, and the scan must go on.
constexpr int kDeliveryMsecs = 60'000;
} // namespace

std::optional<QString> SendmailMailChannel::userEmailAddress() const {
    if (const QString address = Settings::instance().minderEmailAddress().trimmed(); !address.isEmpty())
        return address;
    const QString fromEnvironment = qEnvironmentVariable("EMAIL").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return std::nullopt;
}

bool SendmailMailChannel::deliverMessage(const MailMessage& message) {
    const QString program = Settings::instance().minderSendmailPath();
    QProcess sendmail;
    sendmail.setProcessChannelMode(QProcess::MergedChannels);
    sendmail.start(program, {QStringLiteral("-t"), QStringLiteral("-oi")});
    if (!sendmail.waitForStarted(kStartMsecs)) {
        qCWarning(lcChannels).noquote()
            << "could not run" << program << "to send mail:" << sendmail.errorString();
        return false;
    }
    sendmail.write(mailMessageBytes(message));
    sendmail.closeWriteChannel();
    if (!sendmail.waitForFinished(kDeliveryMsecs)) {
        sendmail.kill();
        sendmail.waitForFinished();
        qCWarning(lcChannels).noquote() << program << "did not finish sending mail in time and was stopped";
        return false;
    }
    if (sendmail.exitStatus() != QProcess::NormalExit || sendmail.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(sendmail.readAll()).simplified().left(500);
        qCWarning(lcChannels).noquote()
            << program << "refused the mail, exit status" << sendmail.exitCode() << output;
        return false;
    }
    return true;
}

} // namespace tardigo
