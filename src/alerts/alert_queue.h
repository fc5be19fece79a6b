#pragma once

#include "alerts/message_host.h"

#include <QObject>
#include <QPointer>

#include <deque>

namespace tardigo {

/// The first-in, first-out queue of the messages of one window: each waits until the window shows no
/// message, and the next follows when that one has closed. Pending messages are dropped unshown with
/// the queue.
class AlertQueue : public QObject {
    Q_OBJECT
public:
    explicit AlertQueue(MessageHost& host);

    /// Queues a message and shows it if the window is free. A caller that needs the answer passes
    /// onAnswer.
    void addAlert(const QString& title, const QString& text, bool critical,
                  const std::optional<QString>& acceptButton, const std::optional<QString>& rejectButton,
                  const std::optional<QString>& destructiveButton, AnswerHandler onAnswer = {});
    /// The same for a message described in full.
    void addAlert(const Message& message, AnswerHandler onAnswer = {});

    qsizetype pendingCount() const { return qsizetype(_pending.size()); }

private:
    /// Shows the oldest pending message if the window shows none; else its end brings the next.
    void showNext();

    struct Pending {
        Message message;
        AnswerHandler onAnswer;
    };

    QPointer<MessageHost> _host;
    std::deque<Pending> _pending;
};

} // namespace tardigo
