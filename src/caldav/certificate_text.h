#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QSslCertificate;
class QSslError;

namespace tardigo {

/// What a user checks of a certificate with the server's owner before trusting it.
struct CertificateDetails {
    QString subject; // as "CN=example.com, O=Example"
    QString issuer;
    QString validFrom; // UTC, ISO 8601
    QString validUntil;
    QByteArray digest; // SHA-256
    QString fingerprint;
};

CertificateDetails certificateDetails(const QSslCertificate& certificate);
/// A SHA-256 digest as fingerprints are shown: pairs of upper-case hex digits joined by colons.
QString fingerprintText(const QByteArray& digest);
/// The digest a fingerprint gives, with or without colons, in either case; nothing unless it is
/// a whole SHA-256 digest.
std::optional<QByteArray> fingerprintDigest(const QString& text);
/// Why a certificate is not trusted and what it is: the errors, subject, issuer, validity and
/// SHA-256 fingerprint, so that a user can compare them with what the server's owner says.
QString describeRefusedCertificate(const QSslCertificate& certificate, const QList<QSslError>& errors);

} // namespace tardigo
