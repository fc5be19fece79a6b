#pragma once

#include "caldav/account_store.h"
#include "caldav/dav_error.h"

#include <optional>

namespace tardigo::cli {

/// The account's password: from standard input with `fromStdin`, else from the keyring. Nothing,
/// with why and `advice` on what to do, when neither has it.
std::optional<QString>
accountPassword(const Account& account, bool fromStdin, QString* error,
                const QString& advice = QStringLiteral("Give it on standard input with --password-stdin."));
/// Keeps a password given on standard input, which the server has just accepted, as the account's
/// in the keyring when the keyring holds none for it or another: it was added where no keyring
/// answered, its password changed, or the keyring holds it only as earlier versions kept it.
void keepGivenPassword(const Account& account, const QString& password);
/// Prints why an exchange with the account's server failed, with what the user can do about it.
int failWithServer(const QString& context, const DavError& error);

} // namespace tardigo::cli
