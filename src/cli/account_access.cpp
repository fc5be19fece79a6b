#include "account_access.h"

#include "cli_output.h"
#include "password_input.h"
#include "platform/untrusted_text.h"

#include "caldav/account_passwords.h"
#include "caldav/bound_calendar_sync.h"
#include "caldav/wait_for.h"

namespace tardigo::cli {

std::optional<QString> accountPassword(const Account& account, bool fromStdin, QString* error,
                                       const QString& advice) {
    if (fromStdin)
        return readPassword(true, {}, error);
    std::optional<QString> kept = keyringPassword(account, error);
    if (!kept)
        *error += u' ' + advice;
    return kept;
}

void keepGivenPassword(const Account& account, const QString& password) {
    const AccountPasswords passwords;
    const Keyring::Answer held =
        waitFor<Keyring::Answer>([&](Keyring::Done done) { passwords.read(account, std::move(done)); });
    if (held.outcome != Keyring::Outcome::NotFound && !(held.ok() && held.password != password))
        return; // the same one, or no keyring to keep it in
    const Keyring::Answer kept = waitFor<Keyring::Answer>(
        [&](Keyring::Done done) { passwords.keep(account, password, std::move(done)); });
    if (kept.ok())
        out() << terminalSafe(QStringLiteral("Kept the password of the account “%1” in the keyring.")
                                  .arg(account.name))
              << Qt::endl;
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
