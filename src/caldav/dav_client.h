#pragma once

#include "caldav/dav_error.h"
#include "caldav/server_access.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QSslCertificate>

#include <functional>
#include <memory>
#include <utility>

namespace tardigo {

class SyncCancel;

/// One request to a DAV server.
struct DavRequest {
    QByteArray method;
    QUrl url;
    QByteArray body;
    QByteArray contentType; // of the body; XML when empty
    QList<std::pair<QByteArray, QByteArray>> headers;
};

/// A server's answer with a status in the 2xx range.
struct DavReply {
    int status = 0;
    QByteArray body;
    QByteArray etag; // the ETag header as sent; empty when there was none
    QUrl url;        // where the answer came from, after the redirects followed
};

/// Talks HTTP to one server as one account, without blocking: each request is answered once,
/// through its callback, on the thread that sent it. The user name and password go with every
/// request (Basic authentication), redirects are followed only on the same host and never from
/// https to http, an answer is read up to responseLimit() bytes and no further, and a certificate
/// that is not trusted is accepted only when it is the one accepted for the account. No request
/// waits for ever: it fails when nothing moves for a minute, and when less than 1 KB moves (sent or
/// received) in a minute, however steadily it trickles.
class DavClient : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(DavResult<DavReply>)>;

    static constexpr qint64 kMaxResponseBytes = qint64(64) * 1024 * 1024;
    static constexpr int kIdleTimeoutMsecs = 60'000;
    static constexpr qint64 kSlowBytes = 1024;
    static constexpr int kSlowWindowMsecs = 60'000;
    static constexpr int kMaxRedirects = 5;
    /// The most requests a caller has under way at once: QtNetwork opens no more connections to a
    /// server, and a request beyond them would wait for one with its time limits running.
    static constexpr int kMaxInFlight = 6;

    explicit DavClient(ServerAccess access, QObject* parent = nullptr);
    ~DavClient() override;

    const ServerAccess& access() const { return _access; }
    void setResponseLimit(qint64 bytes) { _responseLimit = bytes; }
    /// How long a request may go without a byte moving before it fails.
    void setIdleTimeout(int msecs) { _idleTimeoutMsecs = msecs; }
    /// A request fails when fewer than `bytes` move in any `msecs` of it, counted from its start.
    void setSlowLimit(qint64 bytes, int msecs) {
        _slowBytes = bytes;
        _slowWindowMsecs = msecs;
    }
    /// The requests sent so far; each redirect followed counts as one.
    int requestCount() const { return _requestCount; }
    /// The last certificate refused because it is neither trusted nor the account's accepted one;
    /// null when none was.
    const QSslCertificate& refusedCertificate() const { return _refusedCertificate; }
    /// Why it was refused, in the TLS library's words.
    const QStringList& refusedCertificateReasons() const { return _refusedCertificateReasons; }
    /// Whether a server answered 401: it did not accept the user name with the password.
    bool passwordRefused() const { return _passwordRefused; }
    /// Once the user cancels, the request in flight is broken off and later ones fail at once, each
    /// with DavFailure::Cancelled.
    void setCancel(std::shared_ptr<SyncCancel> cancel) { _cancel = std::move(cancel); }

    /// Sends the request; `done` gets the answer, or why there is none (a status outside 2xx among
    /// the reasons). It is called after send returns, and never once the client is gone.
    void send(DavRequest request, Done done);

private:
    struct Exchange;
    using ExchangePtr = std::shared_ptr<Exchange>;

    void start(const ExchangePtr& exchange);
    /// Takes what arrived, unless that would pass the limit.
    void readAvailable(const ExchangePtr& exchange, QNetworkReply& reply);
    /// Fails the request at the end of each window in which less than the slow limit moved.
    void watchRate(const ExchangePtr& exchange, QNetworkReply& reply);
    void refuse(const ExchangePtr& exchange, DavFailure failure, const QString& message);
    void finish(const ExchangePtr& exchange);
    /// Sends the request on to where a redirect points, or answers why not.
    void redirect(const ExchangePtr& exchange, const QUrl& target);
    DavError transportError(const Exchange& exchange, const QNetworkReply& reply, int status) const;

    ServerAccess _access;
    QNetworkAccessManager _network;
    qint64 _responseLimit = kMaxResponseBytes;
    int _idleTimeoutMsecs = kIdleTimeoutMsecs;
    qint64 _slowBytes = kSlowBytes;
    int _slowWindowMsecs = kSlowWindowMsecs;
    int _requestCount = 0;
    QSslCertificate _refusedCertificate;
    QStringList _refusedCertificateReasons;
    bool _passwordRefused = false;
    std::shared_ptr<SyncCancel> _cancel;
};

} // namespace tardigo
