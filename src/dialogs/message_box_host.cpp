#include "dialogs/message_box_host.h"

#include "dialogs/message_box_fitting.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace tardigo {

namespace {

/// The label with an access key on its first letter that no button before it took; a literal "&"
/// stays one.
QString withAccessKey(const QString& label, QString& taken) {
    QString marked;
    bool keyed = false;
    for (const QChar c : label) {
        if (c == u'&') {
            marked += QStringLiteral("&&");
            continue;
        }
        if (!keyed && c.isLetter() && !taken.contains(c.toLower())) {
            taken += c.toLower();
            marked += u'&';
            keyed = true;
        }
        marked += c;
    }
    return marked;
}

/// Every text as written, never as markup that might hold a link: the message box's own switch
/// covers only its main text.
void showAsPlainText(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    if (auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
}

} // namespace

MessageBoxHost::MessageBoxHost(QWidget* window) : MessageHost(window), _window(window) {}

void MessageBoxHost::open(const Message& message, AnswerHandler onAnswer) {
    auto* box = new QMessageBox(_window);
    box->setObjectName(QStringLiteral("messageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(message.isCritical        ? QMessageBox::Critical
                 : message.isInformational ? QMessageBox::Information
                                           : QMessageBox::Warning);
    setFittingWindowTitle(*box, message.title);
    box->setText(message.heading.isEmpty() ? message.title : message.heading);
    box->setInformativeText(message.text);
    box->setDetailedText(message.details);
    showAsPlainText(*box);
    // Laid out by their roles: the accept button at the right end, the reject button before it, the
    // destructive one at the left; each is pressed with its access key as well.
    std::map<QAbstractButton*, MessageAnswer> answers;
    QString keys;
    QPushButton* acceptButton = box->addButton(
        withAccessKey(message.acceptButton.value_or(QCoreApplication::translate("MessageBoxHost", "OK")),
                      keys),
        QMessageBox::AcceptRole);
    answers[acceptButton] = {MessageRole::Accept};
    QPushButton* rejectButton = nullptr;
    if (message.rejectButton) {
        rejectButton = box->addButton(withAccessKey(*message.rejectButton, keys), QMessageBox::RejectRole);
        answers[rejectButton] = {MessageRole::Reject};
    }
    for (int index = 0; index < message.actionButtons.size(); ++index)
        answers[box->addButton(withAccessKey(message.actionButtons.at(index), keys),
                               QMessageBox::ActionRole)] = actionAnswer(index);
    if (message.destructiveButton)
        answers[box->addButton(withAccessKey(*message.destructiveButton, keys),
                               QMessageBox::DestructiveRole)] = {MessageRole::Destructive};
    // Return and Escape both make the choice that changes nothing: a notice is dismissed, not
    // followed to its item, and what cannot be undone is never what a reflex does.
    QPushButton* harmless = message.rejectIsDefault && rejectButton ? rejectButton : acceptButton;
    box->setDefaultButton(harmless);
    box->setEscapeButton(harmless);
    giveReadingWidth(*box);
    _box = box;
    connect(box, &QMessageBox::finished, box,
            [self = QPointer(this), box, answers, onAnswer = std::move(onAnswer)] {
                if (!self)
                    return;
                // Closed with none of its buttons, as with its window: as though rejected.
                const auto found = answers.find(box->clickedButton());
                const MessageAnswer answer =
                    found != answers.end() ? found->second : MessageAnswer{MessageRole::Reject};
                self->_box.clear();
                emit self->messageFinished();
                if (onAnswer)
                    onAnswer(answer);
            });
    box->open();
}

} // namespace tardigo
