#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tardigo {

/// The role of the button that answered a message, as QMessageBox names the roles of its buttons.
enum class MessageRole { Accept, Reject, Destructive, Action };

/// The button that answered a message: its role, and for an action button which one it was.
struct MessageAnswer {
    MessageRole role = MessageRole::Reject;
    int actionIndex = -1; // the index in Message::actionButtons when the role is Action

    friend bool operator==(const MessageAnswer&, const MessageAnswer&) = default;
};

/// The answer of the action button at `index`.
constexpr MessageAnswer actionAnswer(int index) {
    return {MessageRole::Action, index};
}

/// Called with the answer after the message box has closed.
using AnswerHandler = std::function<void(MessageAnswer answer)>;

/// What a window tells or asks in a message box.
struct Message {
    QString title;
    QString heading;                          // the main text under a title shown in the title bar only;
                                              // empty: the title is the main text
    QString text;                             // shown character for character, never used as a format
    std::optional<QString> acceptButton;      // none: the platform's "OK"
    std::optional<QString> rejectButton;      // none: no such button
    std::optional<QString> destructiveButton; // none: no such button
    QStringList actionButtons;                // further choices, after the reject button
    bool isCritical = false;                  // shown in the caution style
    bool isInformational = false;             // an ordinary notice, not a warning
    bool rejectIsDefault = false;             // Return and Escape choose the reject button: the accept
                                              // button acts for good. Else they choose the accept button.
    QString details;                          // the technical reason, behind "Show Details"; empty: none
};

} // namespace tardigo
