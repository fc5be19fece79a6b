#pragma once

#include "caldav/account_store.h"

#include <QStringList>

#include <functional>

namespace tardigo {

/// What removing an account did.
struct AccountRemoved {
    QString error;        // why the account is still there; empty when it went
    QStringList unbound;  // the lists that synced with its calendars here and now sync nowhere
    QString passwordLeft; // why its password may still be in the keyring; empty when it went
    QStringList problems; // bindings that could not be forgotten
};

/// The lists bound on this computer to a calendar of the account, by their paths: what removing
/// it stops.
QStringList listsSyncingWith(const QString& account, const QString& stateFolder);

/// Removes the account from the store, then the bindings of the lists that synced with its
/// calendars here (the calendars stay on the server), then its password from the keyring, or, when
/// no keyring answers, the next time one does (AccountPasswords). `done` is called once, after the
/// keyring answered.
void removeAccount(AccountStore& store, const QString& name, const QString& stateFolder,
                   std::function<void(const AccountRemoved&)> done);

} // namespace tardigo
