#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace tardigo {

/// Where a client talks to a server and as whom.
struct ServerAccess {
    QUrl url;
    QString user;
    QString password;
    QByteArray acceptedCertificate; // the SHA-256 digest of the one certificate accepted despite errors
    bool allowHttp = false;         // plain http to another computer, which the user allowed
};

/// Whether the host is this computer (a loopback address or "localhost").
bool isLoopbackHost(const QString& host);
/// Why a request may not go to the URL, or an empty string: only http and https with a host, and
/// plain http only to this computer unless `allowHttp`, since it carries the password readable.
QString refusedServerUrl(const QUrl& url, bool allowHttp);
/// The scheme, host and port of a URL, as messages name a server.
QString serverName(const QUrl& url);

} // namespace tardigo
