#pragma once

#include "alerts/sheet_window.h"
#include "minder/item_status.h"
#include "minder/notice_channels.h"
#include "model/value.h"

#include <functional>

namespace tardigo {

class ErrorReporter;
class MinderHost;
class MinderDocument;

/// Called when the user dismisses a notice's alert sheet, with the sheet's return code and the
/// notice's copy of the node (which carries "doc path" and "node status").
using MinderSheetDismissal = std::function<void(AlertReturn answer, const NodePtr& context)>;

/// Tells the user about a notice through every channel the preferences switch on.
class NoticeDelivery {
public:
    /// mailItemAlert is the "minderEmail" preference, read once per run by the minder.
    NoticeDelivery(MinderHost& host, NoticeChannels channels, ErrorReporter& reporter, bool mailItemAlert);

    /// The application's handling of "View Item"; without one the alert queue handles dismissals.
    void setSheetDismissal(MinderSheetDismissal dismissal) { _sheetDismissal = std::move(dismissal); }

    /// Shows the document, lets it record the notice, then alerts, beeps, speaks, notifies and mails
    /// as the preferences say.
    void notificationForDoc(MinderDocument& doc, const QString& message, ItemStatus status,
                            const NodePtr& node);
    /// Mails the notice to the user's own address; failures are reported through noteError.
    void emailNotificationForDoc(MinderDocument& doc, const QString& message, ItemStatus status,
                                 const NodePtr& node);

private:
    /// The desktop notification, offering what the sheet offers where it is answered.
    void notifyOnDesktop(MinderDocument& doc, const QString& title, const QString& text, ItemStatus status,
                         const NodePtr& node);

    MinderHost& _host;
    NoticeChannels _channels;
    ErrorReporter& _reporter;
    bool _mailItemAlert;
    MinderSheetDismissal _sheetDismissal;
};

} // namespace tardigo
