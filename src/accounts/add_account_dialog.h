#pragma once

#include "caldav/account_addition.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tardigo {

/// Preferences > Accounts > Add Account…: a server address, a user name and a password. Add asks
/// the server for the user's calendars while the dialog waits, with a Cancel that stops the asking
/// and stores nothing; a refusal is told in the dialog in words, and a certificate the system does
/// not trust is shown to the user, who may trust that one certificate for the account. The dialog
/// closes once the account is stored.
class AddAccountDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddAccountDialog(QWidget* parent, AccountStore store = AccountStore());

    /// What the last addition came to.
    const AccountAdded& added() const { return _added; }
    bool isAsking() const { return _asking; }

    void accept() override;
    void reject() override;

private:
    void start(Account account);
    void finished(const AccountAdded& added);
    void setAsking(bool asking);
    void tell(const QString& text);

    AccountAddition _addition;
    AccountAdded _added;
    QLineEdit* _name = nullptr;
    QLineEdit* _url = nullptr;
    QLineEdit* _user = nullptr;
    QLineEdit* _password = nullptr;
    QCheckBox* _allowHttp = nullptr;
    QLabel* _message = nullptr;
    QProgressBar* _progress = nullptr;
    QDialogButtonBox* _buttons = nullptr;
    QPushButton* _add = nullptr;
    bool _asking = false; // from Add to the answer shown
};

} // namespace tardigo
