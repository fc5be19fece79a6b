#include "instance/instance_server.h"

#include "instance/instance_log.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace tardigo {

namespace {
// Far beyond any request: a list of paths, or one item's text.
constexpr qint64 kMaxRequestBytes = 4 * 1024 * 1024;
} // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), _server(new QLocalServer(this)) {
    // Only this user may reach the running Tardigo.
    _server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(_server, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& path, QString* error) {
    // A socket file left by a Tardigo that ended without closing it answers no one.
    QLocalServer::removeServer(path);
    if (_server->listen(path))
        return true;
    *error = _server->errorString();
    return false;
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = _server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
    }
}

void InstanceServer::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes) {
            qCWarning(lcInstance) << "dropping a request larger than" << kMaxRequestBytes << "bytes";
            socket->abort();
        }
        return;
    }
    const std::optional<InstanceRequest> request = InstanceRequest::fromJson(socket->readLine(kMaxRequestBytes));
    InstanceReply reply;
    if (!request) {
        reply.ok = false;
        reply.error = QStringLiteral("Tardigo did not understand the request.");
    } else if (_handler) {
        reply = _handler(*request);
    }
    socket->write(reply.toJson());
    socket->disconnectFromServer();
}

} // namespace tardigo
