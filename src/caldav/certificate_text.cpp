#include "caldav/certificate_text.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRegularExpression>
#include <QSslCertificate>
#include <QSslError>

namespace tardigo {

namespace {

/// A distinguished name as "CN=example.com, O=Example".
QString names(const QSslCertificate& certificate, bool issuer) {
    QStringList parts;
    const QList<QByteArray> attributes =
        issuer ? certificate.issuerInfoAttributes() : certificate.subjectInfoAttributes();
    for (const QByteArray& attribute : attributes) {
        const QStringList values =
            issuer ? certificate.issuerInfo(attribute) : certificate.subjectInfo(attribute);
        for (const QString& value : values)
            parts << QString::fromLatin1(attribute) + u'=' + value;
    }
    return parts.isEmpty() ? QStringLiteral("(none)") : parts.join(QStringLiteral(", "));
}

} // namespace

CertificateDetails certificateDetails(const QSslCertificate& certificate) {
    const QByteArray digest = certificate.digest(QCryptographicHash::Sha256);
    return {names(certificate, false),
            names(certificate, true),
            certificate.effectiveDate().toUTC().toString(Qt::ISODate),
            certificate.expiryDate().toUTC().toString(Qt::ISODate),
            digest,
            fingerprintText(digest)};
}

QString fingerprintText(const QByteArray& digest) {
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

std::optional<QByteArray> fingerprintDigest(const QString& text) {
    QString hex = text.trimmed();
    hex.remove(u':');
    static const QRegularExpression kHex(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    if (!kHex.match(hex).hasMatch())
        return std::nullopt;
    return QByteArray::fromHex(hex.toLatin1());
}

QString describeRefusedCertificate(const QSslCertificate& certificate, const QList<QSslError>& errors) {
    QStringList reasons;
    for (const QSslError& error : errors)
        if (!reasons.contains(error.errorString()))
            reasons << error.errorString();
    if (certificate.isNull())
        return reasons.join(QStringLiteral("; ")) + u'.';
    const CertificateDetails details = certificateDetails(certificate);
    return QStringLiteral("%1. Subject: %2; issuer: %3; valid from %4 to %5; SHA-256 fingerprint: %6.")
        .arg(reasons.join(QStringLiteral("; ")), details.subject, details.issuer, details.validFrom,
             details.validUntil, details.fingerprint);
}

} // namespace tardigo
