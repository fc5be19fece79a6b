#include "accounts/accounts_page.h"

#include "accounts/add_account_dialog.h"
#include "accounts/message_label.h"
#include "caldav/account_passwords.h"
#include "caldav/account_removal.h"
#include "caldav/certificate_text.h"
#include "dialogs/dialog_service.h"
#include "sync/sync_state.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tardigo {

namespace {

enum Column { NameColumn, ServerColumn, UserColumn, StateColumn };

QString keyringState(const Keyring::Answer& answer) {
    switch (answer.outcome) {
    case Keyring::Outcome::Done:
        return AccountsPage::tr("Ready");
    case Keyring::Outcome::NotFound:
        return AccountsPage::tr("No password in the keyring");
    case Keyring::Outcome::Unavailable:
        return AccountsPage::tr("No keyring answers");
    case Keyring::Outcome::Failed:
        break;
    }
    return AccountsPage::tr("The keyring refused");
}

} // namespace

AccountsPage::AccountsPage(QWidget* parent, AccountStore store, QString stateFolder)
    : QGroupBox(tr("Accounts"), parent), _store(std::move(store)),
      _stateFolder(stateFolder.isEmpty() ? SyncState::defaultFolder() : std::move(stateFolder)) {
    setObjectName(QStringLiteral("accountsPage"));
    _table = new QTreeWidget(this);
    _table->setObjectName(QStringLiteral("accountsTable"));
    _table->setAccessibleName(tr("CalDAV accounts"));
    _table->setRootIsDecorated(false);
    _table->setHeaderLabels({tr("Account"), tr("Server"), tr("User"), tr("State")});
    _table->header()->setStretchLastSection(true);
    _table->setMinimumHeight(90);
    connect(_table, &QTreeWidget::itemSelectionChanged, this, &AccountsPage::selectionChanged);

    _certificate = messageLabel(this, QStringLiteral("accountCertificate"), tr("Trusted certificate"));
    _problem = messageLabel(this, QStringLiteral("accountsProblem"), tr("What went wrong"));

    auto* add = new QPushButton(tr("Add A&ccount…"), this);
    add->setObjectName(QStringLiteral("addAccountButton"));
    connect(add, &QPushButton::clicked, this, &AccountsPage::addAccount);
    _remove = new QPushButton(tr("Re&move Account…"), this);
    _remove->setObjectName(QStringLiteral("removeAccountButton"));
    connect(_remove, &QPushButton::clicked, this, &AccountsPage::removeAccount);
    _forget = new QPushButton(tr("&Forget Certificate"), this);
    _forget->setObjectName(QStringLiteral("forgetCertificateButton"));
    connect(_forget, &QPushButton::clicked, this, &AccountsPage::forgetCertificate);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(_remove);
    buttons->addWidget(_forget);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_table);
    layout->addWidget(_certificate);
    layout->addWidget(_problem);
    layout->addLayout(buttons);
    refresh();
}

void AccountsPage::refresh() {
    const std::optional<Account> before = selected();
    QString error;
    const std::optional<QList<Account>> accounts = _store.load(&error);
    _accounts = accounts.value_or(QList<Account>());
    _table->clear();
    const int refresh = ++_refreshes;
    QPointer<AccountsPage> self(this);
    for (const Account& account : std::as_const(_accounts)) {
        auto* item = new QTreeWidgetItem(
            _table, {account.name, serverName(account.url), account.user, tr("Asking the keyring…")});
        item->setToolTip(ServerColumn, account.url.toString(QUrl::RemoveUserInfo));
        if (before && before->name == account.name)
            _table->setCurrentItem(item);
        const bool trusts = !account.acceptedCertificate.isEmpty();
        AccountPasswords(_store).read(account, [self, refresh, item, trusts](const Keyring::Answer& answer) {
            if (!self || refresh != self->_refreshes)
                return;
            const QString state = keyringState(answer);
            item->setText(StateColumn, trusts ? tr("%1; trusts a certificate").arg(state) : state);
            if (!answer.ok())
                item->setToolTip(StateColumn, answer.reason);
        });
    }
    showError(error);
    for (int column = NameColumn; column < StateColumn; ++column)
        _table->resizeColumnToContents(column);
    if (!_table->currentItem() && _table->topLevelItemCount() > 0)
        _table->setCurrentItem(_table->topLevelItem(0));
    selectionChanged();
}

void AccountsPage::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    if (!event->spontaneous())
        refresh();
}

std::optional<Account> AccountsPage::selected() const {
    QTreeWidgetItem* item = _table ? _table->currentItem() : nullptr;
    const int row = item ? _table->indexOfTopLevelItem(item) : -1;
    if (row < 0 || row >= _accounts.size())
        return std::nullopt;
    return _accounts[row];
}

void AccountsPage::selectionChanged() {
    const std::optional<Account> account = selected();
    _remove->setEnabled(account.has_value());
    const bool trusts = account && !account->acceptedCertificate.isEmpty();
    _forget->setEnabled(trusts);
    _certificate->setVisible(trusts);
    if (trusts)
        _certificate->setText(tr("“%1” trusts the certificate of its server with the SHA-256 fingerprint %2.")
                                  .arg(account->name, fingerprintText(account->acceptedCertificate)));
    growToShow(this);
}

void AccountsPage::addAccount() {
    auto* dialog = new AddAccountDialog(this, _store);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const AccountAdded added = dialog->added();
        refresh();
        if (!added.passwordNotKept.isEmpty())
            DialogService::warning(
                window(), tr("Password Not Kept"),
                tr("The account “%1” was added, but its password was not kept.").arg(added.account.name),
                added.passwordNotKept +
                    tr(" Lists that sync with it cannot sync until a keyring answers and the account is "
                       "added again."));
    });
    dialog->open();
}

void AccountsPage::removeAccount() {
    const std::optional<Account> account = selected();
    if (!account)
        return;
    QStringList lists = listsSyncingWith(account->name, _stateFolder);
    for (QString& list : lists)
        list = QStringLiteral("• ") + QDir::toNativeSeparators(list);
    const QString informative =
        lists.isEmpty()
            ? tr("No list syncs with its calendars on this computer. The calendars stay on the server.")
            : tr("These lists sync with its calendars on this computer and will sync no more:\n%1\n\nThe "
                 "lists keep their items, and the calendars stay on the server.")
                  .arg(lists.join(u'\n'));
    if (DialogService::question(window(), QMessageBox::Warning, tr("Remove Account"),
                                tr("Remove the account “%1”?").arg(account->name), informative,
                                QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel,
                                {{QMessageBox::Yes, tr("&Remove")}}) != QMessageBox::Yes)
        return;
    QPointer<AccountsPage> self(this);
    tardigo::removeAccount(_store, account->name, _stateFolder, [self](const AccountRemoved& removed) {
        if (!self)
            return;
        self->refresh();
        QStringList problems = removed.problems;
        if (!removed.passwordLeft.isEmpty())
            problems << tr("Its password may still be in the keyring: %1").arg(removed.passwordLeft);
        if (!removed.error.isEmpty())
            self->showError(removed.error);
        else if (!problems.isEmpty())
            self->showError(problems.join(u'\n'));
    });
}

void AccountsPage::forgetCertificate() {
    const std::optional<Account> account = selected();
    if (!account)
        return;
    const QString error = _store.forgetCertificate(account->name);
    refresh();
    if (!error.isEmpty())
        showError(error);
}

void AccountsPage::showError(const QString& text) {
    _problem->setText(text);
    _problem->setVisible(!text.isEmpty());
    growToShow(this);
}

} // namespace tardigo
