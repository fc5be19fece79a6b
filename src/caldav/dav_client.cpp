#include "caldav/dav_client.h"

#include "caldav/caldav_log.h"
#include "caldav/certificate_text.h"
#include "caldav/dav_status.h"
#include "sync/sync_cancel.h"

#include <QNetworkReply>
#include <QSslConfiguration>
#include <QTimer>

namespace tardigo {

namespace {

// Bytes the network layer holds for us before we take them, so that memory follows what we read.
constexpr qint64 kReadBufferBytes = 256 * 1024;

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString requestText(const DavRequest& request) {
    return QString::fromLatin1(request.method) + u' ' + request.url.path();
}

DavError cancelledError(const QUrl& url) {
    return {DavFailure::Cancelled,
            QStringLiteral("The work with the server at %1 was cancelled.").arg(serverName(url))};
}

} // namespace

struct DavClient::Exchange {
    DavRequest request;
    Done done;
    QNetworkReply* reply = nullptr;
    QByteArray body;
    int redirects = 0;
    DavError refusal;           // why we ended the request ourselves
    QString certificateRefused; // what was wrong with the server's certificate
};

DavClient::DavClient(ServerAccess access, QObject* parent) : QObject(parent), _access(std::move(access)) {
    _network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavClient::~DavClient() {
    // Replies end as the manager goes: none may reach a callback of a client that is gone.
    for (QNetworkReply* reply : _network.findChildren<QNetworkReply*>()) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
    }
}

void DavClient::send(DavRequest request, Done done) {
    auto exchange = std::make_shared<Exchange>();
    exchange->request = std::move(request);
    exchange->done = std::move(done);
    DavError refused;
    if (_cancel && _cancel->isCancelled())
        refused = cancelledError(exchange->request.url);
    else if (const QString insecure = refusedServerUrl(exchange->request.url, _access.allowHttp);
             !insecure.isEmpty())
        refused = {DavFailure::InsecureUrl, insecure};
    if (!refused.ok()) {
        QTimer::singleShot(0, this, [exchange, refused] { exchange->done({{}, refused}); });
        return;
    }
    start(exchange);
}

void DavClient::start(const ExchangePtr& exchange) {
    const DavRequest& r = exchange->request;
    QNetworkRequest request(r.url);
    request.setTransferTimeout(_idleTimeoutMsecs);
    if (!r.body.isEmpty() || r.method == "PUT")
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          r.contentType.isEmpty() ? QByteArray("application/xml; charset=utf-8")
                                                  : r.contentType);
    if (!_access.user.isEmpty())
        request.setRawHeader("Authorization",
                             "Basic " + (_access.user + u':' + _access.password).toUtf8().toBase64());
    for (const auto& [name, value] : r.headers)
        request.setRawHeader(name, value);
    ++_requestCount;
    QNetworkReply* reply = _network.sendCustomRequest(request, r.method, r.body);
    reply->setReadBufferSize(kReadBufferBytes);
    exchange->reply = reply;
    exchange->body.clear();
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, exchange, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > _responseLimit)
            refuse(exchange, DavFailure::TooLarge,
                   QStringLiteral("The server at %1 would send %2 in answer to %3; Tardigo reads at most %4.")
                       .arg(serverName(exchange->request.url), byteSizeText(length.toLongLong()),
                            requestText(exchange->request), byteSizeText(_responseLimit)));
    });
    connect(reply, &QNetworkReply::readyRead, this,
            [this, exchange, reply] { readAvailable(exchange, *reply); });
    connect(reply, &QNetworkReply::sslErrors, this, [this, exchange, reply](const QList<QSslError>& errors) {
        const QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
        if (!_access.acceptedCertificate.isEmpty() && !certificate.isNull() &&
            certificate.digest(QCryptographicHash::Sha256) == _access.acceptedCertificate) {
            reply->ignoreSslErrors(errors);
            return;
        }
        exchange->certificateRefused = describeRefusedCertificate(certificate, errors);
        _refusedCertificate = certificate;
        _refusedCertificateReasons.clear();
        for (const QSslError& error : errors)
            if (!_refusedCertificateReasons.contains(error.errorString()))
                _refusedCertificateReasons << error.errorString();
    });
    connect(reply, &QNetworkReply::finished, this, [this, exchange] { finish(exchange); });
    watchRate(exchange, *reply);
    if (_cancel) {
        // The cancel comes from another thread: it reaches the reply through this thread's loop.
        const auto stop = [this, exchange] {
            refuse(exchange, DavFailure::Cancelled, cancelledError(exchange->request.url).message);
        };
        connect(_cancel.get(), &SyncCancel::cancelled, reply, stop);
        if (_cancel->isCancelled())
            QTimer::singleShot(0, reply, stop);
    }
}

void DavClient::readAvailable(const ExchangePtr& exchange, QNetworkReply& reply) {
    if (!exchange->refusal.ok() || !reply.isOpen())
        return;
    if (exchange->body.size() + reply.bytesAvailable() > _responseLimit) {
        refuse(exchange, DavFailure::TooLarge,
               QStringLiteral("The server at %1 sent more than %2 in answer to %3; Tardigo reads no more.")
                   .arg(serverName(exchange->request.url), byteSizeText(_responseLimit),
                        requestText(exchange->request)));
        return;
    }
    exchange->body += reply.readAll();
}

void DavClient::watchRate(const ExchangePtr& exchange, QNetworkReply& reply) {
    // Progress both ways: a long upload to a server that takes it is no trickle.
    auto received = std::make_shared<qint64>(0), sent = std::make_shared<qint64>(0);
    connect(&reply, &QNetworkReply::downloadProgress, this, [received](qint64 bytes) { *received = bytes; });
    connect(&reply, &QNetworkReply::uploadProgress, this, [sent](qint64 bytes) { *sent = bytes; });
    auto* window = new QTimer(&reply);
    window->setInterval(_slowWindowMsecs);
    connect(window, &QTimer::timeout, this, [this, exchange, received, sent, before = qint64(0)]() mutable {
        const qint64 moved = *received + *sent;
        if (moved - std::exchange(before, moved) >= _slowBytes)
            return;
        refuse(exchange, DavFailure::Network,
               QStringLiteral("The server at %1 sent less than %2 in %3 seconds in answer to %4; Tardigo "
                              "stopped waiting for it.")
                   .arg(serverName(exchange->request.url), byteSizeText(_slowBytes))
                   .arg(std::max(1, _slowWindowMsecs / 1000))
                   .arg(requestText(exchange->request)));
    });
    window->start();
}

void DavClient::refuse(const ExchangePtr& exchange, DavFailure failure, const QString& message) {
    if (!exchange->refusal.ok())
        return;
    exchange->refusal = {failure, message};
    qCInfo(lcCalDav).noquote() << message;
    if (exchange->reply)
        exchange->reply->abort();
}

void DavClient::finish(const ExchangePtr& exchange) {
    QNetworkReply* reply = std::exchange(exchange->reply, nullptr);
    if (!reply)
        return;
    reply->deleteLater();
    readAvailable(exchange, *reply);
    if (!exchange->refusal.ok()) {
        exchange->done({{}, exchange->refusal});
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError code = reply->error();
    if (status == 0 || (code != QNetworkReply::NoError && code < QNetworkReply::ContentAccessDenied) ||
        code == QNetworkReply::ProtocolFailure) {
        exchange->done({{}, transportError(*exchange, *reply, status)});
        return;
    }
    if (isRedirect(status)) {
        redirect(exchange, exchange->request.url.resolved(QUrl::fromEncoded(reply->rawHeader("Location"))));
        return;
    }
    if (status < 200 || status > 299) {
        if (status == 401)
            _passwordRefused = true;
        exchange->done(
            {{},
             errorForStatus(exchange->request.method, exchange->request.url, status,
                            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString(),
                            reply->rawHeader("Content-Type"), exchange->body, _access.user)});
        return;
    }
    exchange->done({{status, exchange->body, reply->rawHeader("ETag"), exchange->request.url}, {}});
}

void DavClient::redirect(const ExchangePtr& exchange, const QUrl& target) {
    const QUrl& from = exchange->request.url;
    const QString to = target.toString(QUrl::RemoveUserInfo);
    QString refused;
    if (!target.isValid() || target == from)
        refused = QStringLiteral("The server at %1 sent %2 to an address it does not give.")
                      .arg(serverName(from), requestText(exchange->request));
    else if (target.host().compare(from.host(), Qt::CaseInsensitive) != 0)
        refused =
            QStringLiteral("The server at %1 sent %2 on to another host, %3; Tardigo follows no redirect "
                           "to another host. If that is where the account lives, give that address.")
                .arg(serverName(from), requestText(exchange->request), to);
    else if (from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
             target.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
        refused =
            QStringLiteral("The server at %1 sent %2 on to %3, which is not encrypted; Tardigo does not "
                           "follow it.")
                .arg(serverName(from), requestText(exchange->request), to);
    else if (exchange->redirects >= kMaxRedirects)
        refused = QStringLiteral("The server at %1 sent %2 on more than %3 times.")
                      .arg(serverName(from), requestText(exchange->request))
                      .arg(kMaxRedirects);
    else
        refused = refusedServerUrl(target, _access.allowHttp);
    if (!refused.isEmpty()) {
        qCInfo(lcCalDav).noquote() << refused;
        exchange->done({{}, {DavFailure::Redirect, refused}});
        return;
    }
    ++exchange->redirects;
    exchange->request.url = target;
    start(exchange);
}

DavError DavClient::transportError(const Exchange& exchange, const QNetworkReply& reply, int status) const {
    const QString server = serverName(exchange.request.url);
    if (!exchange.certificateRefused.isEmpty())
        return {DavFailure::Certificate,
                QStringLiteral("The server at %1 shows a certificate that is not trusted: %2")
                    .arg(server, exchange.certificateRefused)};
    const QString why = reply.errorString();
    if (reply.error() == QNetworkReply::OperationCanceledError ||
        reply.error() == QNetworkReply::TimeoutError)
        return {DavFailure::Network, QStringLiteral("The server at %1 did not answer %2 within %3 seconds.")
                                         .arg(server, requestText(exchange.request))
                                         .arg(std::max(1, _idleTimeoutMsecs / 1000))};
    if (status != 0 || !exchange.body.isEmpty())
        return {DavFailure::Network, QStringLiteral("The server at %1 broke off its answer to %2 (%3).")
                                         .arg(server, requestText(exchange.request), why)};
    return {DavFailure::Network, QStringLiteral("Could not reach the server at %1: %2.").arg(server, why)};
}

} // namespace tardigo
