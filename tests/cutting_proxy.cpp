#include "cutting_proxy.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace tardigo::test {

/// The proxy's side on its thread: a pair of sockets a connection.
class CuttingProxyWorker : public QObject {
public:
    explicit CuttingProxyWorker(CuttingProxy& owner) : _owner(owner) {
        connect(&_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* client = _server.nextPendingConnection())
                pass(client);
        });
        _server.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return _server.serverPort(); }

private:
    void pass(QTcpSocket* client) {
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        if (_owner._budget.loadRelaxed() == 0) {
            client->abort();
            return;
        }
        auto* server = new QTcpSocket(client);
        server->connectToHost(QHostAddress::LocalHost, _owner._upstreamPort);
        connect(client, &QTcpSocket::readyRead, server,
                [client, server] { server->write(client->readAll()); });
        connect(server, &QTcpSocket::connected, server,
                [client, server] { server->write(client->readAll()); });
        connect(server, &QTcpSocket::readyRead, client, [this, client, server] {
            QByteArray bytes = server->readAll();
            const qint64 budget = _owner._budget.loadRelaxed();
            if (budget >= 0 && bytes.size() >= budget) {
                client->write(bytes.first(budget));
                client->flush();
                _owner._budget.storeRelaxed(0);
                server->abort();
                client->abort();
                return;
            }
            if (budget >= 0)
                _owner._budget.storeRelaxed(budget - bytes.size());
            client->write(bytes);
        });
        connect(server, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
        connect(client, &QTcpSocket::disconnected, server, [server] { server->disconnectFromHost(); });
    }

    CuttingProxy& _owner;
    QTcpServer _server;
};

void CuttingProxy::Thread::run() {
    CuttingProxyWorker worker(_owner);
    _owner._port = worker.port();
    _owner._listening.release();
    exec();
}

CuttingProxy::CuttingProxy(quint16 upstreamPort) : _upstreamPort(upstreamPort) {
    _thread.start();
    _listening.acquire();
}

CuttingProxy::~CuttingProxy() {
    _thread.quit();
    _thread.wait();
}

QUrl CuttingProxy::url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(_port));
}

} // namespace tardigo::test
