#include "accounts/certificate_question.h"

#include "caldav/certificate_text.h"
#include "dialogs/dialog_service.h"

#include <QSslCertificate>

namespace tardigo {

bool trustsCertificate(QWidget* parent, const QString& server, const QString& reason,
                       const QSslCertificate& certificate) {
    const CertificateDetails details = certificateDetails(certificate);
    const QString text =
        DialogService::tr("The server at %1 shows a certificate that this computer does not trust.")
            .arg(server);
    const QString informative =
        DialogService::tr("%1\n\nSubject: %2\nIssuer: %3\nValid from %4 to %5\nSHA-256 fingerprint: %6\n\n"
                          "Trust it only when the server's owner confirms this fingerprint. Nothing is "
                          "sent to the server before you decide; trusting it holds for this account and "
                          "this certificate only.")
            .arg(reason, details.subject, details.issuer, details.validFrom, details.validUntil,
                 details.fingerprint);
    return DialogService::question(
               parent, QMessageBox::Warning, DialogService::tr("Certificate Not Trusted"), text, informative,
               QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel,
               {{QMessageBox::Yes, DialogService::tr("&Trust This Certificate")}}) == QMessageBox::Yes;
}

} // namespace tardigo
