#pragma once

#include "alerts/message.h"
#include "minder/item_status.h"
#include "minder/notice_channels.h"
#include "model/value.h"

#include <functional>

namespace tardigo {

class ErrorReporter;
class MinderHost;
class MinderDocument;

/// Called when the user answers a notice, with the button chosen and the notice's copy of the node
/// (which carries "doc path" and "node status").
using NoticeAnswerHandler = std::function<void(MessageAnswer answer, const NodePtr& context)>;

/// Tells the user about a notice through every channel the preferences switch on.
class NoticeDelivery {
public:
    /// mailItemAlert is the "minderEmail" preference, read once per run by the minder.
    NoticeDelivery(MinderHost& host, NoticeChannels channels, ErrorReporter& reporter, bool mailItemAlert);

    /// The application's handling of "View Item"; without one a notice offers only OK and View Item,
    /// and its answer is not acted on.
    void setAnswerHandler(NoticeAnswerHandler handler) { _answerHandler = std::move(handler); }

    /// Shows the document, lets it record the notice, then alerts, beeps, speaks, notifies and mails
    /// as the preferences say.
    void notificationForDoc(MinderDocument& doc, const QString& message, ItemStatus status,
                            const NodePtr& node);
    /// Mails the notice to the user's own address; failures are reported through noteError.
    void emailNotificationForDoc(MinderDocument& doc, const QString& message, ItemStatus status,
                                 const NodePtr& node);

private:
    /// The desktop notification, offering what the message box offers where it is answered.
    void notifyOnDesktop(MinderDocument& doc, const QString& title, const QString& text, ItemStatus status,
                         const NodePtr& node);

    MinderHost& _host;
    NoticeChannels _channels;
    ErrorReporter& _reporter;
    bool _mailItemAlert;
    NoticeAnswerHandler _answerHandler;
};

} // namespace tardigo
