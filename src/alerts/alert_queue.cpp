#include "alerts/alert_queue.h"

namespace tardigo {

AlertQueue::AlertQueue(std::shared_ptr<SheetWindow> window)
    : _window(std::move(window)), _self(std::make_shared<AlertQueue*>(this)) {
    _observerToken = _window->addSheetEndedObserver([this] { sheetEnded(); });
}

AlertQueue::~AlertQueue() {
    _window->removeSheetEndedObserver(_observerToken);
}

void AlertQueue::addAlert(const QString& title, const QString& message, bool critical,
                          const std::optional<QString>& defaultButton,
                          const std::optional<QString>& alternateButton,
                          const std::optional<QString>& otherButton, AlertDismissal onDismiss) {
    AlertSheet sheet;
    sheet.title = title;
    sheet.message = message;
    sheet.defaultButton = defaultButton;
    sheet.alternateButton = alternateButton;
    sheet.otherButton = otherButton;
    sheet.isCritical = critical;
    addAlert(sheet, std::move(onDismiss));
}

void AlertQueue::addAlert(const AlertSheet& sheet, AlertDismissal onDismiss) {
    if (!onDismiss) {
        onDismiss = [self = std::weak_ptr<AlertQueue*>(_self)](AlertReturn answer) {
            if (const auto queue = self.lock())
                (*queue)->alertDismissed(answer);
        };
    }
    _pending.push_back({sheet, std::move(onDismiss)});
    display();
}

void AlertQueue::display() {
    if (_pending.empty())
        return;
    if (_window->hasAttachedSheet()) {
        _waitingForSheet = true;
        return;
    }
    // Taken off the queue before the sheet begins, so that a window ending it at once cannot show it
    // twice; and still waiting while more remain, so that the end of this sheet brings the next.
    QueuedAlert alert = std::move(_pending.front());
    _pending.pop_front();
    _waitingForSheet = !_pending.empty();
    _window->beginAlertSheet(alert.sheet, std::move(alert.onDismiss));
}

void AlertQueue::sheetEnded() {
    if (_waitingForSheet)
        display();
}

void AlertQueue::alertDismissed(AlertReturn answer) {
    if (answer == AlertReturn::Default)
        display();
}

} // namespace tardigo
