#include "alerts/alert_queue.h"

namespace tardigo {

AlertQueue::AlertQueue(MessageHost& host) : _host(&host) {
    connect(&host, &MessageHost::messageFinished, this, &AlertQueue::showNext);
}

void AlertQueue::addAlert(const QString& title, const QString& text, bool critical,
                          const std::optional<QString>& acceptButton,
                          const std::optional<QString>& rejectButton,
                          const std::optional<QString>& destructiveButton, AnswerHandler onAnswer) {
    Message message;
    message.title = title;
    message.text = text;
    message.acceptButton = acceptButton;
    message.rejectButton = rejectButton;
    message.destructiveButton = destructiveButton;
    message.isCritical = critical;
    addAlert(message, std::move(onAnswer));
}

void AlertQueue::addAlert(const Message& message, AnswerHandler onAnswer) {
    _pending.push_back({message, std::move(onAnswer)});
    showNext();
}

void AlertQueue::showNext() {
    if (_pending.empty() || !_host || _host->isShowingMessage())
        return;
    // Taken off the queue before it opens, so that a window that closes it at once, and so asks for
    // the next, cannot show it twice.
    Pending next = std::move(_pending.front());
    _pending.pop_front();
    _host->open(next.message, std::move(next.onAnswer));
}

} // namespace tardigo
