#pragma once

#include "caldav/account_store.h"
#include "caldav/keyring.h"
#include "sync/list_sync.h"

#include <functional>
#include <optional>

namespace tardigo {

/// Where the password of an account comes from; nothing, with why, when it is not at hand.
using PasswordSource = std::function<std::optional<QString>(const Account&, QString* error)>;

/// The account's password from the keyring, waiting for it in a local event loop.
std::optional<QString> keyringPassword(const Account& account, QString* error);
/// What the keyring answered for the account, read before on the thread that may ask it (a
/// window's), as a source for a sync on another thread: it gives the password only for that
/// account, server and user.
PasswordSource passwordFrom(const Account& account, Keyring::Answer kept);

/// Syncs a list with a calendar through an account, waiting for it (the command line, a worker
/// thread). With `options.bind` and `options.account`, the user has just chosen that calendar of
/// that account and the list becomes bound to it; otherwise the list syncs only when its binding
/// here names the calendar and the account that reaches it.
SyncReport syncBoundCalendar(const QString& list, const QString& calendar, const SyncOptions& options,
                             const PasswordSource& password = keyringPassword);

} // namespace tardigo
