#include "dialogs/message_box_sheet_window.h"

#include "dialogs/fitting_title.h"
#include "dialogs/message_box_width.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

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

void MessageBoxSheetWindow::beginAlertSheet(const AlertSheet& sheet, AlertDismissal onDismiss) {
    auto* box = new QMessageBox(_window);
    box->setObjectName(QStringLiteral("alertSheet"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(sheet.isCritical        ? QMessageBox::Critical
                 : sheet.isInformational ? QMessageBox::Information
                                         : QMessageBox::Warning);
    setFittingWindowTitle(*box, sheet.title);
    box->setText(sheet.heading.isEmpty() ? sheet.title : sheet.heading);
    box->setInformativeText(sheet.message);
    box->setDetailedText(sheet.details);
    showAsPlainText(*box);
    // The default button is at the right end, the alternate before it, the other at the left; each
    // is pressed with its access key as well.
    std::map<QAbstractButton*, AlertReturn> codes;
    QString keys;
    QPushButton* defaultButton = box->addButton(
        withAccessKey(
            sheet.defaultButton.value_or(QCoreApplication::translate("MessageBoxSheetWindow", "OK")), keys),
        QMessageBox::AcceptRole);
    codes[defaultButton] = AlertReturn::Default;
    QPushButton* alternateButton = nullptr;
    if (sheet.alternateButton) {
        alternateButton =
            box->addButton(withAccessKey(*sheet.alternateButton, keys), QMessageBox::RejectRole);
        codes[alternateButton] = AlertReturn::Alternate;
    }
    for (int index = 0; index < sheet.extraButtons.size(); ++index)
        codes[box->addButton(withAccessKey(sheet.extraButtons.at(index), keys), QMessageBox::ActionRole)] =
            extraButtonAnswer(index);
    if (sheet.otherButton)
        codes[box->addButton(withAccessKey(*sheet.otherButton, keys), QMessageBox::DestructiveRole)] =
            AlertReturn::Other;
    // Return and Escape both make the choice that changes nothing: a notice is dismissed, not
    // followed to its item, and what cannot be undone is never what a reflex does.
    QPushButton* harmless = sheet.alternateIsDefault && alternateButton ? alternateButton : defaultButton;
    box->setDefaultButton(harmless);
    box->setEscapeButton(harmless);
    giveReadingWidth(*box);
    _sheet = box;
    QObject::connect(box, &QMessageBox::finished, box,
                     [self = weak_from_this(), box, codes, onDismiss = std::move(onDismiss)] {
                         const std::shared_ptr<MessageBoxSheetWindow> window = self.lock();
                         if (!window)
                             return;
                         const auto found = codes.find(box->clickedButton());
                         const AlertReturn answer =
                             found != codes.end() ? found->second : AlertReturn::Alternate;
                         window->_sheet.clear();
                         for (const auto& [token, observer] : std::map(window->_observers))
                             observer();
                         if (onDismiss)
                             onDismiss(answer);
                     });
    box->open();
}

int MessageBoxSheetWindow::addSheetEndedObserver(std::function<void()> observer) {
    _observers[++_lastToken] = std::move(observer);
    return _lastToken;
}

void MessageBoxSheetWindow::removeSheetEndedObserver(int token) {
    _observers.erase(token);
}

} // namespace tardigo
