#pragma once

#include "alerts/message.h"

#include <QObject>
#include <QPointer>

#include <deque>

namespace tardigo {

/// A window as it shows messages: window-modal, each answered by the button the user chose.
class MessageHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MessageHost() override = default;

    /// Whether a message is open on the window, whoever opened it.
    virtual bool isShowingMessage() const = 0;
    /// Opens the message and returns at once; it counts as showing from now on. `onAnswer`, when
    /// given, is called once the message has closed and messageFinished has been emitted.
    virtual void open(const Message& message, AnswerHandler onAnswer) = 0;

signals:
    /// A message of this window has closed: it no longer shows.
    void messageFinished();
};

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
