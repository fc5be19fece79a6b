#include "account_access.h"

#include "cli_output.h"
#include "password_input.h"
#include "terminal_text.h"

#include "caldav/keyring.h"
#include "caldav/wait_for.h"

namespace tardigo::cli {

std::optional<QString> accountPassword(const Account& account, bool fromStdin, QString* error) {
    if (fromStdin)
        return readPassword(true, {}, error);
    const Keyring::Answer kept = waitFor<Keyring::Answer>(
        [&](Keyring::Done done) { Keyring::readPassword(account.name, std::move(done)); });
    if (kept.ok())
        return kept.password;
    *error =
        QStringLiteral("The password of the account “%1” is not at hand: %2 Give it on standard input with "
                       "--password-stdin.")
            .arg(account.name, kept.reason);
    return std::nullopt;
}

int failWithServer(const QString& context, const DavError& error) {
    QString message = context + u' ' + error.message;
    if (error.failure == DavFailure::Certificate)
        message +=
            QStringLiteral(" Once you have checked the fingerprint with the server's owner, you may accept "
                           "this one certificate by adding the account with --accept-certificate "
                           "FINGERPRINT.");
    return fail(terminalSafe(message));
}

} // namespace tardigo::cli
