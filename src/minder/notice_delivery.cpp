#include "minder/notice_delivery.h"

#include "alerts/alert_queue.h"
#include "dates/user_date_time_format.h"
#include "minder/error_reporter.h"
#include "minder/item_status.h"
#include "minder/minder_document.h"
#include "minder/minder_host.h"
#include "minder/notice_channels.h"
#include "minder/notice_text.h"
#include "minder/remind_again.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"

#include <QCoreApplication>

#include <cmath>

namespace tardigo {

namespace {
const QString kMissingField = QStringLiteral("-");
// The servers' own key for a click on the notification itself.
const QString kViewItemChoice = QStringLiteral("default");
const QString kMailer = QStringLiteral("Tardigo.app / tardigo-minder");

// A name or category as the notice shows it, whatever the list holds.
QString lineOf(const Dict& node, const QString& key, const QString& absent) {
    const QString* text = node.value(key).asString();
    return text ? noticeLine(*text) : absent;
}

// The completion as a whole percentage, truncated like the platform's float arithmetic.
QString completionPercent(const Dict& node) {
    const Number* stored = node.value(key::completion).asNumber();
    if (!stored)
        return kMissingField;
    const float percent = float(stored->toDouble()) * 100.0f;
    if (!std::isfinite(percent) || std::abs(percent) > 1e9f)
        return kMissingField;
    return QStringLiteral("%1%").arg(int(percent));
}

QString emailSubject(ItemStatus status, const QString& name) {
    switch (status) {
    case ItemStatusReminder:
        return QCoreApplication::translate("NoticeDelivery", "Tardigo reminder: %1").arg(name);
    case ItemStatusDue:
        return QCoreApplication::translate("NoticeDelivery", "Tardigo: past due: %1").arg(name);
    default:
        return QStringLiteral("Tardigo Minder");
    }
}
} // namespace

NoticeDelivery::NoticeDelivery(MinderHost& host, NoticeChannels channels, ErrorReporter& reporter,
                               bool mailItemAlert)
    : _host(host), _channels(channels), _reporter(reporter), _mailItemAlert(mailItemAlert) {}

void NoticeDelivery::notificationForDoc(MinderDocument& doc, const QString& message, ItemStatus status,
                                        const NodePtr& node) {
    _host.showWindows(doc);
    _host.minderWithNode(doc, node, message, status);

    const Settings& settings = Settings::instance();
    const QString name = lineOf(*node, key::name, QString());
    const QString quotedName = QStringLiteral("\"%1\"").arg(name);
    const QString title = QCoreApplication::translate("NoticeDelivery", "Tardigo Minder Notification");

    if (settings.minderAlertDialog()) {
        node->set(key::docPath, doc.fileName());
        node->set(key::nodeStatus, Value::integer(status));
        if (AlertQueue* alerts = _host.alertQueue(doc)) {
            // The title names the window; the item and the message are what the box says.
            Message notice;
            notice.title = title;
            notice.heading = quotedName;
            notice.text = message;
            notice.isInformational = true;
            notice.acceptButton = QCoreApplication::translate("NoticeDelivery", "OK");
            notice.rejectButton = QCoreApplication::translate("NoticeDelivery", "View Item");
            AnswerHandler onAnswer;
            if (_answerHandler) {
                for (const RemindAgain when : kRemindAgainChoices)
                    notice.actionButtons << remindAgainText(when);
                // The message outlives this call: it gets its own copy of the node, taken after the keys.
                onAnswer = [handler = _answerHandler, context = node->deepCopy()](MessageAnswer answer) {
                    handler(answer, context);
                };
            }
            alerts->addAlert(notice, std::move(onAnswer));
        }
    }
    if (settings.minderAlertSound() && _channels.beep)
        _channels.beep->beep();
    if (settings.minderSpeak() && _channels.speech)
        _channels.speech->speak(name);
    if (settings.minderDesktopNotification() && _channels.desktopNotification)
        notifyOnDesktop(doc, title, quotedName + u'\n' + message, status, node);
    if (_mailItemAlert)
        emailNotificationForDoc(doc, message, status, node);
}

void NoticeDelivery::notifyOnDesktop(MinderDocument& doc, const QString& title, const QString& text,
                                     ItemStatus status, const NodePtr& node) {
    if (!_answerHandler) {
        _channels.desktopNotification->notify(title, text);
        return;
    }
    // The notification answers as the message box does, for the same copy of the item.
    const NodePtr context = node->deepCopy();
    context->set(key::docPath, doc.fileName());
    context->set(key::nodeStatus, Value::integer(status));
    QList<NotificationChoice> choices{
        {kViewItemChoice, QCoreApplication::translate("NoticeDelivery", "View Item")}};
    for (size_t index = 0; index < kRemindAgainChoices.size(); ++index)
        choices.append(
            {QStringLiteral("remind-again-%1").arg(index), remindAgainText(kRemindAgainChoices[index])});
    _channels.desktopNotification->notifyWithChoices(
        title, text, choices, [handler = _answerHandler, context](const QString& key) {
            if (key == kViewItemChoice) {
                handler({MessageRole::Reject}, context);
                return;
            }
            for (size_t index = 0; index < kRemindAgainChoices.size(); ++index)
                if (key == QStringLiteral("remind-again-%1").arg(index))
                    handler(actionAnswer(int(index)), context);
        });
}

void NoticeDelivery::emailNotificationForDoc(MinderDocument&, const QString& message, ItemStatus status,
                                             const NodePtr& node) {
    if (!_channels.mail)
        return;
    const QString name = lineOf(*node, key::name, kMissingField);
    const QString category = lineOf(*node, key::category, kMissingField);
    QString due = kMissingField;
    if (const std::optional<QDateTime> date = parseStoredDate(node->value(key::due)))
        due = formatUserDateTime(*date);
    QString notes = kMissingField;
    if (const QByteArray* rtfd = node->value(key::notes).asData())
        if (const std::optional<QString> text = notesPlainText(*rtfd))
            notes = noticeParagraphs(*text);
    //: A notice's mail: %1 the notice, then the item's name, due date, completion, category and notes.
    const QString body =
        QCoreApplication::translate("NoticeDelivery", "%1\n\nItem: %2\nDue: %3\nComplete: %4\n"
                                                      "Category: %5\n\nNotes:\n%6\n\n-- \n"
                                                      "Sent by the Tardigo Minder.\n")
            .arg(message, name, due, completionPercent(*node), category, notes);

    const std::optional<QString> address = _channels.mail->userEmailAddress();
    if (!address) {
        _reporter.noteError(QStringLiteral("Failed to lookup email address for current user."));
        return;
    }
    const MailMessage mail{*address, emailSubject(status, name), kMailer, body};
    if (!_channels.mail->deliverMessage(mail))
        _reporter.noteError(QStringLiteral("email message delivery failed: %1").arg(message));
}

} // namespace tardigo
