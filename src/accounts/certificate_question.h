#pragma once

#include <QString>

class QSslCertificate;
class QWidget;

namespace tardigo {

/// Asks, window-modal on `parent`, whether to trust a certificate the system does not trust for
/// one account: shows why it is refused, its subject, issuer, validity and SHA-256 fingerprint.
/// Answers whether the user trusts it; the default answer is no.
bool trustsCertificate(QWidget* parent, const QString& server, const QString& reason,
                       const QSslCertificate& certificate);

} // namespace tardigo
