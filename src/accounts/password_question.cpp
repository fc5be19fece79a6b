#include "accounts/password_question.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tardigo {

PasswordQuestion::PasswordQuestion(QWidget* window, Reason reason, const QString& account,
                                   const QString& server, const QString& user)
    : QDialog(window) {
    const bool refused = reason != Reason::Missing;
    setObjectName(QStringLiteral("passwordQuestion"));
    setWindowModality(Qt::WindowModal);
    setWindowTitle(refused ? tr("Password Refused") : tr("Password Needed"));
    setAccessibleName(refused ? tr("The server refused the password") : tr("The keyring holds no password"));

    auto* title = new QLabel((refused ? tr("The server refused the password of the account “%1”.")
                                      : tr("The keyring holds no password for the account “%1”."))
                                 .arg(account),
                             this);
    title->setObjectName(QStringLiteral("passwordQuestionTitle"));
    title->setTextFormat(Qt::PlainText);
    title->setWordWrap(true);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    QString said;
    switch (reason) {
    case Reason::Refused:
        said = tr("The server at %1 did not accept the user name “%2” with the password kept for this "
                  "account, so nothing was synced and the list is as it was. Enter the password again "
                  "to sync, or stop syncing this list for now; its changes wait for the next sync.");
        break;
    case Reason::TypedRefused:
        said = tr("The server at %1 did not accept the user name “%2” with the password you typed, so "
                  "nothing was synced and the list is as it was. Check the password and enter it again, "
                  "or stop syncing this list for now; its changes wait for the next sync.");
        break;
    case Reason::Missing:
        said = tr("The desktop's keyring holds no password for the user name “%2” at %1, so nothing "
                  "was synced and the list is as it was. Enter the password to sync, or stop syncing "
                  "this list for now; its changes wait for the next sync.");
        break;
    }
    auto* message = new QLabel(said.arg(server, user), this);
    message->setObjectName(QStringLiteral("passwordQuestionMessage"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);

    _password = new QLineEdit(this);
    _password->setObjectName(QStringLiteral("passwordQuestionField"));
    _password->setAccessibleName(tr("Password"));
    _password->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    auto* label = new QLabel(tr("&Password:"), this);
    label->setBuddy(_password);
    form->addRow(label, _password);

    auto* buttons = new QDialogButtonBox(this);
    _sync = buttons->addButton(refused ? tr("&Sync Again") : tr("&Sync"), QDialogButtonBox::AcceptRole);
    _sync->setObjectName(QStringLiteral("passwordQuestionSync"));
    _sync->setDefault(true);
    _sync->setEnabled(false);
    QPushButton* stop = buttons->addButton(tr("S&top Syncing for Now"), QDialogButtonBox::RejectRole);
    stop->setObjectName(QStringLiteral("passwordQuestionStop"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(_password, &QLineEdit::textChanged, this,
            [this](const QString& typed) { _sync->setEnabled(!typed.isEmpty()); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(message);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(460);
    _password->setFocus();
}

QString PasswordQuestion::password() const {
    return _password->text();
}

} // namespace tardigo
