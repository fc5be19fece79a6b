#include "caldav/account_store.h"

#include "caldav/certificate_text.h"
#include "platform/atomic_file.h"
#include "platform/lock_file.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

namespace tardigo {

namespace {

constexpr int kVersion = 1;
constexpr qsizetype kMaxNameLength = 64;
constexpr int kLockWaitMsecs = 30'000;

QJsonObject toJson(const Account& account) {
    QJsonObject object{{QStringLiteral("name"), account.name},
                       {QStringLiteral("url"), account.url.toString()},
                       {QStringLiteral("user"), account.user},
                       {QStringLiteral("principal"), account.principal.toString()},
                       {QStringLiteral("home"), account.home.toString()}};
    if (!account.acceptedCertificate.isEmpty())
        object.insert(QStringLiteral("acceptedCertificate"), fingerprintText(account.acceptedCertificate));
    if (account.allowHttp)
        object.insert(QStringLiteral("allowHttp"), true);
    return object;
}

std::optional<Account> fromJson(const QJsonObject& object) {
    Account account;
    account.name = object.value(QStringLiteral("name")).toString();
    account.url = QUrl(object.value(QStringLiteral("url")).toString());
    account.user = object.value(QStringLiteral("user")).toString();
    account.principal = QUrl(object.value(QStringLiteral("principal")).toString());
    account.home = QUrl(object.value(QStringLiteral("home")).toString());
    account.allowHttp = object.value(QStringLiteral("allowHttp")).toBool();
    const QString certificate = object.value(QStringLiteral("acceptedCertificate")).toString();
    if (!certificate.isEmpty()) {
        const std::optional<QByteArray> digest = fingerprintDigest(certificate);
        if (!digest)
            return std::nullopt;
        account.acceptedCertificate = *digest;
    }
    if (!AccountStore::refusedName(account.name).isEmpty() || !account.url.isValid())
        return std::nullopt;
    return account;
}

QJsonObject toJson(const KeyringEntry& entry) {
    if (entry.isByNameAlone())
        return {{QStringLiteral("name"), entry.account}};
    return {{QStringLiteral("name"), entry.account},
            {QStringLiteral("url"), entry.server.toString()},
            {QStringLiteral("user"), entry.user}};
}

std::optional<KeyringEntry> keyringEntryFromJson(const QJsonObject& object) {
    const KeyringEntry entry{object.value(QStringLiteral("name")).toString(),
                             QUrl(object.value(QStringLiteral("url")).toString()),
                             object.value(QStringLiteral("user")).toString()};
    if (entry.account.isEmpty() || (!entry.isByNameAlone() && !entry.server.isValid()))
        return std::nullopt;
    return entry;
}

/// Takes the accounts file's lock for one change, waiting a while for another change to end.
bool lockForChange(LockFile& lock) {
    if (!lock.isOpen())
        return false;
    const QDeadlineTimer deadline(kLockWaitMsecs);
    for (;;) {
        const LockFile::Attempt attempt = lock.tryLock();
        if (attempt != LockFile::Attempt::HeldElsewhere || deadline.hasExpired())
            return attempt == LockFile::Attempt::Taken;
        QThread::msleep(50);
    }
}

} // namespace

QString AccountStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tardigo/accounts.json");
}

QString AccountStore::refusedName(const QString& name) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("An account needs a name.");
    const bool control =
        std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (control || name != name.trimmed() || name.startsWith(u'-') || name.size() > kMaxNameLength)
        return QStringLiteral("An account's name is at most %1 characters, without control characters, "
                              "spaces at either end or a leading “-”.")
            .arg(kMaxNameLength);
    return {};
}

std::optional<QList<Account>> AccountStore::load(QString* error) const {
    std::optional<Contents> contents = read(error);
    if (!contents)
        return std::nullopt;
    return std::move(contents->accounts);
}

std::optional<QList<KeyringEntry>> AccountStore::forgottenPasswords(QString* error) const {
    std::optional<Contents> contents = read(error);
    if (!contents)
        return std::nullopt;
    return std::move(contents->forgotten);
}

std::optional<AccountStore::Contents> AccountStore::read(QString* error) const {
    if (!QFileInfo::exists(_path))
        return Contents();
    const std::optional<QByteArray> bytes = readWholeFile(_path, error, kMaxFileBytes);
    if (!bytes)
        return std::nullopt;
    QJsonParseError parse;
    const QJsonDocument json = QJsonDocument::fromJson(*bytes, &parse);
    const QJsonObject root = json.object();
    Contents contents;
    bool readable = json.isObject() && root.value(QStringLiteral("version")).toInt() == kVersion;
    const QJsonArray accounts = root.value(QStringLiteral("accounts")).toArray();
    for (const QJsonValue& entry : accounts) {
        const std::optional<Account> account = fromJson(entry.toObject());
        readable &= account.has_value();
        if (account)
            contents.accounts << *account;
    }
    const QJsonArray forgottenPasswords = root.value(QStringLiteral("forgottenPasswords")).toArray();
    for (const QJsonValue& entry : forgottenPasswords) {
        const std::optional<KeyringEntry> forgotten = keyringEntryFromJson(entry.toObject());
        readable &= forgotten.has_value();
        if (forgotten)
            contents.forgotten << *forgotten;
    }
    if (!readable) {
        *error =
            QStringLiteral("The accounts file %1 does not read; Tardigo leaves it as it is. Move it away to "
                           "start with no accounts.")
                .arg(_path);
        return std::nullopt;
    }
    return contents;
}

std::optional<Account> AccountStore::find(const QString& name, QString* error) const {
    const std::optional<QList<Account>> accounts = load(error);
    if (!accounts)
        return std::nullopt;
    for (const Account& account : *accounts)
        if (account.name == name)
            return account;
    *error =
        QStringLiteral("There is no account “%1”; “tardigo-cli account list” shows the accounts.").arg(name);
    return std::nullopt;
}

QString AccountStore::add(const Account& account) {
    if (const QString refused = refusedName(account.name); !refused.isEmpty())
        return refused;
    return change([&](Contents& contents) {
        if (std::any_of(contents.accounts.cbegin(), contents.accounts.cend(),
                        [&](const Account& a) { return a.name == account.name; }))
            return QStringLiteral("There is an account “%1” already; remove it first to add it anew.")
                .arg(account.name);
        contents.accounts << account;
        return QString();
    });
}

QString AccountStore::forgetCertificate(const QString& name) {
    return change([&](Contents& contents) {
        for (Account& account : contents.accounts)
            if (account.name == name) {
                account.acceptedCertificate.clear();
                return QString();
            }
        return QStringLiteral("There is no account “%1”.").arg(name);
    });
}

QString AccountStore::remove(const QString& name) {
    return change([&](Contents& contents) {
        const auto account = std::find_if(contents.accounts.cbegin(), contents.accounts.cend(),
                                          [&](const Account& a) { return a.name == name; });
        if (account == contents.accounts.cend())
            return QStringLiteral("There is no account “%1”.").arg(name);
        // Noted with the removal itself, so that no interruption leaves a password behind unnoted.
        for (const KeyringEntry& entry : {account->keyringEntry(), KeyringEntry::byNameAlone(name)})
            if (!contents.forgotten.contains(entry))
                contents.forgotten << entry;
        contents.accounts.erase(account);
        return QString();
    });
}

QString AccountStore::dropForgotten(const QList<KeyringEntry>& gone) {
    QString error;
    const std::optional<QList<KeyringEntry>> forgotten = forgottenPasswords(&error);
    if (!forgotten)
        return error;
    if (std::none_of(gone.cbegin(), gone.cend(),
                     [&](const KeyringEntry& entry) { return forgotten->contains(entry); }))
        return {};
    return change([&](Contents& contents) {
        contents.forgotten.removeIf([&](const KeyringEntry& entry) { return gone.contains(entry); });
        return QString();
    });
}

QString AccountStore::change(const std::function<QString(Contents&)>& edit) {
    const QString folder = QFileInfo(_path).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("The folder %1 cannot be created.").arg(folder);
    LockFile lock(_path + QStringLiteral(".lock"));
    if (!lockForChange(lock))
        return lock.error().isEmpty()
                   ? QStringLiteral("The accounts file %1 is being changed by another program; try again.")
                         .arg(_path)
                   : QStringLiteral("The accounts file %1 cannot be changed: %2.").arg(_path, lock.error());
    QString error;
    std::optional<Contents> contents = read(&error);
    if (!contents)
        return error;
    if (error = edit(*contents); !error.isEmpty())
        return error;
    QJsonArray accounts;
    for (const Account& account : std::as_const(contents->accounts))
        accounts.append(toJson(account));
    QJsonObject root{{QStringLiteral("version"), kVersion}, {QStringLiteral("accounts"), accounts}};
    if (!contents->forgotten.isEmpty()) {
        QJsonArray forgotten;
        for (const KeyringEntry& entry : std::as_const(contents->forgotten))
            forgotten.append(toJson(entry));
        root.insert(QStringLiteral("forgottenPasswords"), forgotten);
    }
    if (error = writeFileAtomically(_path, QJsonDocument(root).toJson()); !error.isEmpty())
        return error;
    // User names and servers are the user's own business.
    QFile::setPermissions(_path, QFile::ReadOwner | QFile::WriteOwner);
    return {};
}

} // namespace tardigo
