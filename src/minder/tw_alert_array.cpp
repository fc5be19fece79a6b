#include "minder/tw_alert_array.h"

namespace tardigo {

TWAlertArray::TWAlertArray(std::shared_ptr<SheetWindow> window)
    : _window(std::move(window)), _self(std::make_shared<TWAlertArray*>(this)) {
    _observerToken = _window->addSheetEndedObserver([this] { windowDidEndSheet(); });
}

TWAlertArray::~TWAlertArray() {
    _window->removeSheetEndedObserver(_observerToken);
}

void TWAlertArray::addAlert(const QString& title, const QString& message, bool critical,
                            const std::optional<QString>& defaultButton,
                            const std::optional<QString>& alternateButton,
                            const std::optional<QString>& otherButton, AlertDismissal didDismiss) {
    AlertSheet sheet;
    sheet.title = title;
    sheet.message = message;
    sheet.defaultButton = defaultButton;
    sheet.alternateButton = alternateButton;
    sheet.otherButton = otherButton;
    sheet.isCritical = critical;
    addAlert(sheet, std::move(didDismiss));
}

void TWAlertArray::addAlert(const AlertSheet& sheet, AlertDismissal didDismiss) {
    if (!didDismiss) {
        didDismiss = [self = std::weak_ptr<TWAlertArray*>(_self)](int returnCode) {
            if (const auto queue = self.lock())
                (*queue)->didDismissAlertSheet(returnCode);
        };
    }
    _array.push_back({sheet, std::move(didDismiss)});
    display();
}

void TWAlertArray::display() {
    if (_array.empty())
        return;
    if (_window->hasAttachedSheet()) {
        _waitingForSheet = true;
        return;
    }
    // Taken off the queue before the sheet begins, so that a window ending it at once cannot show it
    // twice; and still waiting while more remain, so that the end of this sheet brings the next.
    TWAlert alert = std::move(_array.front());
    _array.pop_front();
    _waitingForSheet = !_array.empty();
    _window->beginAlertSheet(alert.sheet, std::move(alert.didDismiss));
}

void TWAlertArray::windowDidEndSheet() {
    if (_waitingForSheet)
        display();
}

void TWAlertArray::didDismissAlertSheet(int returnCode) {
    if (returnCode == AlertDefaultReturn)
        display();
}

} // namespace tardigo
