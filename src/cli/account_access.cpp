#include "account_access.h"

#include "cli_output.h"
#include "password_input.h"
#include "terminal_text.h"

#include "caldav/bound_calendar_sync.h"

namespace tardigo::cli {

std::optional<QString> accountPassword(const Account& account, bool fromStdin, QString* error) {
    if (fromStdin)
        return readPassword(true, {}, error);
    std::optional<QString> kept = keyringPassword(account, error);
    if (!kept)
        *error += QStringLiteral(" Give it on standard input with --password-stdin.");
    return kept;
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
