#include "fake_dav_server.h"
#include "trickle.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>

#include <memory>

namespace tardigo::test {

namespace {

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(TARDIGO_TEST_DATA_DIR "/caldav/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test fixture %s", name);
    return file.readAll();
}

/// Whether the bytes hold a whole request: its head, and as much body as its Content-Length says.
bool isComplete(const QByteArray& bytes) {
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return false;
    qsizetype length = 0;
    for (const QByteArray& line : bytes.first(headEnd).split('\n'))
        if (line.toLower().startsWith("content-length:"))
            length = line.mid(15).trimmed().toLongLong();
    return bytes.size() >= headEnd + 4 + length;
}

} // namespace

/// The server's side on its thread: reads each request and answers it as scripted.
class FakeDavServerWorker : public QObject {
public:
    FakeDavServerWorker(FakeDavServer& owner, bool tls) : _owner(owner) {
        if (tls) {
            QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
            configuration.setLocalCertificate(QSslCertificate(fixture("server.crt")));
            configuration.setPrivateKey(QSslKey(fixture("server.key"), QSsl::Rsa));
            auto* server = new QSslServer(this);
            server->setSslConfiguration(configuration);
            _server = server;
        } else {
            _server = new QTcpServer(this);
        }
        connect(_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = _server->nextPendingConnection())
                serve(socket);
        });
        _server->listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return _server->serverPort(); }

private:
    void serve(QTcpSocket* socket) {
        // Owned by the connection, which goes with the socket however the server ends.
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, received] {
            *received += socket->readAll();
            if (!isComplete(*received))
                return;
            _owner.record(std::exchange(*received, {}));
            const std::optional<FakeDavServer::Answer> answer = _owner.takeAnswer();
            if (!answer)
                socket->write(FakeDavServer::response(500, "no answer scripted"));
            if (answer && answer->stall)
                return;
            if (answer && answer->trickleMsecs > 0) {
                trickle(socket, answer->bytes, answer->trickleMsecs, answer->trickleBytes,
                        [socket] { socket->disconnectFromHost(); });
                return;
            }
            if (answer)
                socket->write(answer->bytes);
            socket->disconnectFromHost();
        });
    }

    FakeDavServer& _owner;
    QTcpServer* _server = nullptr;
};

void FakeDavServer::Thread::run() {
    FakeDavServerWorker worker(_owner, _owner._tls);
    _owner._port = worker.port();
    _owner._listening.release();
    exec();
}

FakeDavServer::FakeDavServer(bool tls) : _tls(tls) {
    _thread.start();
    _listening.acquire();
}

FakeDavServer::~FakeDavServer() {
    _thread.quit();
    _thread.wait();
}

QUrl FakeDavServer::url(const QString& path) const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                    .arg(_tls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(_port)
                    .arg(path));
}

void FakeDavServer::push(Answer answer) {
    const QMutexLocker lock(&_mutex);
    _answers << std::move(answer);
}

QByteArray FakeDavServer::response(int status, const QByteArray& body,
                                   const QList<std::pair<QByteArray, QByteArray>>& headers) {
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\n";
    for (const auto& [name, value] : headers)
        bytes += name + ": " + value + "\r\n";
    return bytes + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

QByteArray FakeDavServer::multistatus(const QByteArray& xml) {
    return response(207, xml, {{"Content-Type", "application/xml; charset=utf-8"}});
}

QList<QByteArray> FakeDavServer::requests() const {
    const QMutexLocker lock(&_mutex);
    return _requests;
}

std::optional<FakeDavServer::Answer> FakeDavServer::takeAnswer() {
    const QMutexLocker lock(&_mutex);
    if (_answers.isEmpty())
        return std::nullopt;
    return _answers.takeFirst();
}

void FakeDavServer::record(const QByteArray& request) {
    const QMutexLocker lock(&_mutex);
    _requests << request;
}

} // namespace tardigo::test
