#pragma once

#include "alerts/alert_queue.h"

#include <QTest>

#include <optional>
#include <vector>

namespace tardigo::test {

/// A window's messages without widgets: each message opened is kept in `shown`, and the test
/// answers the one showing, which then closes as a window's does.
class FakeMessageHost : public MessageHost {
public:
    std::vector<Message> shown;
    int overlapping = 0;                       // messages opened while another showed
    std::optional<MessageAnswer> answerAtOnce; // answers each message as it opens

    bool isShowingMessage() const override { return _showing.has_value(); }
    void open(const Message& message, AnswerHandler onAnswer) override {
        if (isShowingMessage())
            ++overlapping;
        shown.push_back(message);
        _showing = std::move(onAnswer);
        if (answerAtOnce)
            answer(*answerAtOnce);
    }
    /// Closes the message showing with that answer.
    void answer(MessageAnswer choice) {
        QVERIFY(_showing);
        const AnswerHandler onAnswer = std::move(*_showing);
        _showing.reset();
        emit messageFinished();
        if (onAnswer)
            onAnswer(choice);
    }

private:
    std::optional<AnswerHandler> _showing;
};

} // namespace tardigo::test
