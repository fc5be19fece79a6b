#pragma once

#include "caldav/account_store.h"

#include <QGroupBox>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace tardigo {

/// Preferences > Accounts: the CalDAV accounts with their server, user and state (whether the
/// keyring holds the password, whether a certificate is trusted), Add Account…, Remove… (which
/// first lists the lists that sync with the account here and asks), and Forget Certificate for an
/// account that trusts one the system does not.
class AccountsPage : public QGroupBox {
    Q_OBJECT
public:
    explicit AccountsPage(QWidget* parent, AccountStore store = AccountStore(), QString stateFolder = {});

    /// Reads the accounts again and asks the keyring for their state.
    void refresh();
    void addAccount();
    void removeAccount();
    void forgetCertificate();

protected:
    /// Accounts added or removed meanwhile, from the command line say, show when the page does.
    void showEvent(QShowEvent* event) override;

private:
    std::optional<Account> selected() const;
    void selectionChanged();
    /// Says what went wrong below the accounts; an empty text hides it.
    void showError(const QString& text);

    AccountStore _store;
    QString _stateFolder;
    QList<Account> _accounts;
    QTreeWidget* _table = nullptr;
    QLabel* _certificate = nullptr;
    QLabel* _problem = nullptr; // why the accounts could not be read or changed
    QPushButton* _remove = nullptr;
    QPushButton* _forget = nullptr;
    int _refreshes = 0; // keyring answers to an earlier refresh are passed over
};

} // namespace tardigo
