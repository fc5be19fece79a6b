#include "accounts/add_account_dialog.h"

#include "accounts/certificate_question.h"
#include "accounts/message_label.h"
#include "caldav/certificate_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tardigo {

namespace {

QLineEdit* field(QWidget* parent, const char* objectName, const QString& accessibleName) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setAccessibleName(accessibleName);
    return edit;
}

/// The address as typed; https when no scheme is given, as a browser does.
QUrl typedUrl(const QString& typed) {
    const QString text = typed.trimmed();
    if (!text.isEmpty() && !text.contains(QLatin1String("://")))
        return QUrl(QStringLiteral("https://") + text, QUrl::StrictMode);
    return QUrl(text, QUrl::StrictMode);
}

} // namespace

AddAccountDialog::AddAccountDialog(QWidget* parent, AccountStore store)
    : QDialog(parent), _addition(std::move(store)) {
    setObjectName(QStringLiteral("addAccount"));
    setWindowTitle(tr("Add Account"));
    setAccessibleName(tr("Add a CalDAV account"));

    auto* intro =
        new QLabel(tr("A CalDAV account on a server such as Nextcloud, Radicale or Fastmail. Tardigo "
                      "asks the server for your calendars; the password is kept in the desktop's "
                      "keyring."),
                   this);
    intro->setWordWrap(true);
    _url = field(this, "accountServerField", tr("Server address"));
    _url->setPlaceholderText(tr("https://example.com/"));
    _user = field(this, "accountUserField", tr("User name"));
    _password = field(this, "accountPasswordField", tr("Password"));
    _password->setEchoMode(QLineEdit::Password);
    _name = field(this, "accountNameField", tr("Account name"));
    _name->setPlaceholderText(tr("the server's name"));
    _allowHttp = new QCheckBox(tr("Allow plain &http (the password travels unencrypted)"), this);
    _allowHttp->setObjectName(QStringLiteral("accountAllowHttp"));

    auto* form = new QFormLayout;
    const auto row = [&](const QString& title, QWidget* widget) {
        auto* label = new QLabel(title, this);
        label->setBuddy(widget);
        form->addRow(label, widget);
    };
    row(tr("&Server:"), _url);
    row(tr("&User name:"), _user);
    row(tr("&Password:"), _password);
    row(tr("&Name:"), _name);
    form->addRow(QString(), _allowHttp);

    _message = messageLabel(this, QStringLiteral("addAccountMessage"), tr("What the server said"));
    _progress = new QProgressBar(this);
    _progress->setObjectName(QStringLiteral("addAccountProgress"));
    _progress->setAccessibleName(tr("Asking the server"));
    _progress->setRange(0, 0);
    _progress->setTextVisible(false);
    _progress->hide();

    _buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    _add = _buttons->addButton(tr("&Add"), QDialogButtonBox::AcceptRole);
    _add->setObjectName(QStringLiteral("addAccountButton"));
    _add->setDefault(true);
    connect(_buttons, &QDialogButtonBox::accepted, this, &AddAccountDialog::accept);
    connect(_buttons, &QDialogButtonBox::rejected, this, &AddAccountDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(_message);
    layout->addWidget(_progress);
    layout->addWidget(_buttons);
    setMinimumWidth(480);
    _url->setFocus();
}

void AddAccountDialog::accept() {
    if (isAsking())
        return;
    Account account;
    account.url = typedUrl(_url->text());
    account.user = _user->text().trimmed();
    account.allowHttp = _allowHttp->isChecked();
    account.name = _name->text().trimmed();
    if (account.name.isEmpty())
        account.name = account.url.host();
    start(std::move(account));
}

void AddAccountDialog::reject() {
    // Cancel while the server is asked stops the asking; the dialog stays for another try.
    if (isAsking()) {
        _addition.cancel();
        setAsking(false);
        tell(tr("Cancelled: nothing was stored."));
        return;
    }
    QDialog::reject();
}

void AddAccountDialog::start(Account account) {
    tell(tr("Asking %1 for the calendars of %2…").arg(serverName(account.url), account.user));
    setAsking(true);
    _addition.start(std::move(account), _password->text(), [this](const AccountAdded& added) {
        // Answered outside the network's callback, as the answer may ask the user.
        QMetaObject::invokeMethod(
            this, [this, added] { finished(added); }, Qt::QueuedConnection);
    });
}

void AddAccountDialog::finished(const AccountAdded& added) {
    _added = added;
    setAsking(false);
    if (added.ok()) {
        QDialog::accept();
        return;
    }
    if (added.serverRefusal.failure == DavFailure::Certificate && !added.refusedCertificate.isNull()) {
        tell(tr("The server's certificate is not trusted; nothing was stored."));
        if (trustsCertificate(this, serverName(added.account.url), added.certificateProblems.join(u'\n'),
                              added.refusedCertificate)) {
            Account account = added.account;
            account.acceptedCertificate = certificateDetails(added.refusedCertificate).digest;
            start(std::move(account));
        }
        return;
    }
    tell(added.failure());
    if (added.serverRefusal.failure == DavFailure::Unauthorized) {
        _password->setFocus();
        _password->selectAll();
    }
}

void AddAccountDialog::setAsking(bool asking) {
    _asking = asking;
    for (QWidget* widget :
         {static_cast<QWidget*>(_name), static_cast<QWidget*>(_url), static_cast<QWidget*>(_user),
          static_cast<QWidget*>(_password), static_cast<QWidget*>(_allowHttp)})
        widget->setEnabled(!asking);
    _add->setEnabled(!asking);
    _progress->setVisible(asking);
    if (asking)
        _buttons->button(QDialogButtonBox::Cancel)->setFocus();
}

void AddAccountDialog::tell(const QString& text) {
    _message->setText(text);
    _message->setVisible(!text.isEmpty());
    // A long refusal wraps onto more lines than the dialog had room for.
    growToShow(this);
}

} // namespace tardigo
