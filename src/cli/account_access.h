#pragma once

#include "caldav/account_store.h"
#include "caldav/dav_error.h"

#include <optional>

namespace tardigo::cli {

/// The account's password: from standard input with `fromStdin`, else from the keyring. Nothing,
/// with why and what to do, when neither has it.
std::optional<QString> accountPassword(const Account& account, bool fromStdin, QString* error);
/// Prints why an exchange with the account's server failed, with what the user can do about it.
int failWithServer(const QString& context, const DavError& error);

} // namespace tardigo::cli
