#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QSslCertificate;
class QSslError;

namespace tardigo {

/// A SHA-256 digest as fingerprints are shown: pairs of upper-case hex digits joined by colons.
QString fingerprintText(const QByteArray& digest);
/// The digest a fingerprint gives, with or without colons, in either case; nothing unless it is
/// a whole SHA-256 digest.
std::optional<QByteArray> fingerprintDigest(const QString& text);
/// Why a certificate is not trusted and what it is: the errors, subject, issuer, validity and
/// SHA-256 fingerprint, so that a user can compare them with what the server's owner says.
QString describeRefusedCertificate(const QSslCertificate& certificate, const QList<QSslError>& errors);

} // namespace tardigo
