#pragma once

#include "caldav/account_store.h"
#include "caldav/keyring.h"

namespace tardigo {

/// The passwords of a store's accounts in the keyring, each kept under the account's name, server
/// and user and read only for that account. Entries of removed accounts that the keyring still
/// holds (it did not answer when they were removed) are removed before any other use of the
/// keyring, once it answers. An entry as earlier versions kept it, under the name alone, is never
/// read: keeping the account's password removes it. Each call answers once, through its callback,
/// on the calling thread's event loop.
class AccountPasswords {
public:
    using Removed = std::function<void(const QString& failure)>;

    explicit AccountPasswords(AccountStore store = AccountStore()) : _store(std::move(store)) {}

    /// The account's password.
    void read(const Account& account, Keyring::Done done) const;
    /// Keeps the password as the account's, in place of any entry its name left.
    void keep(const Account& account, const QString& password, Keyring::Done done) const;
    /// Removes the forgotten entries the keyring still holds; `done` gets why one is left, or an
    /// empty string.
    void removeForgotten(Removed done) const;

private:
    AccountStore _store;
};

} // namespace tardigo
