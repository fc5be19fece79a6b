#pragma once

#include "alerts/message.h"

#include <QObject>

namespace tardigo {

/// A window as it shows messages: window-modal, each answered by the button the user chose.
class MessageHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MessageHost() override;

    /// Whether a message is open on the window, whoever opened it.
    virtual bool isShowingMessage() const = 0;
    /// Opens the message and returns at once; it counts as showing from now on. `onAnswer`, when
    /// given, is called once the message has closed and messageFinished has been emitted.
    virtual void open(const Message& message, AnswerHandler onAnswer) = 0;

signals:
    /// A message of this window has closed: it no longer shows.
    void messageFinished();
};

} // namespace tardigo
