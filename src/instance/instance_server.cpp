#include "instance/instance_server.h"

#include "instance/instance_log.h"
#include "instance/instance_socket.h"
#include "platform/lock_file.h"

#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tardigo {

namespace {
// Far beyond any request: a list of paths, or one item's text.
constexpr qint64 kMaxRequestBytes = 4 * 1024 * 1024;
constexpr int kBacklog = 64;
// How long the listener rests after a failure that waiting may mend (no memory, no descriptor).
constexpr std::chrono::milliseconds kRestAfterFailure{100};

quint64 inodeOf(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 ? quint64(info.st_ino) : 0;
}
} // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), _resume(new QTimer(this)) {
    _resume->setSingleShot(true);
    _resume->setInterval(kRestAfterFailure);
    connect(_resume, &QTimer::timeout, this, [this] {
        if (_spare < 0)
            _spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (_notifier)
            _notifier->setEnabled(true);
    });
}

InstanceServer::~InstanceServer() {
    stopListening();
}

bool InstanceServer::listen(const QString& path, QString* error) {
    stopListening();
    _lock = std::make_unique<LockFile>(instanceLockPath(path));
    const LockFile::Attempt attempt = _lock->isOpen() ? _lock->tryLock() : LockFile::Attempt::Failed;
    _anotherRuns = attempt == LockFile::Attempt::HeldElsewhere;
    if (_anotherRuns) {
        *error = QStringLiteral("another Tardigo listens there");
        return false; // the lock file stays open, to tell who that is
    }
    if (attempt != LockFile::Attempt::Taken) {
        *error = QStringLiteral("its lock cannot be taken: %1").arg(_lock->error());
        _lock.reset();
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof(address.sun_path)) {
        *error = QStringLiteral("the socket's path is empty or too long");
        _lock.reset();
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    _listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // A socket file left by a Tardigo that ended without removing it answers no one; the lock says
    // that none runs now.
    ::unlink(name.constData());
    if (_listener < 0 ||
        ::bind(_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::chmod(name.constData(), 0600) != 0 || ::listen(_listener, kBacklog) != 0) {
        *error = qt_error_string(errno);
        stopListening();
        return false;
    }
    _path = path;
    _socketInode = inodeOf(name);
    _spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    _notifier = new QSocketNotifier(_listener, QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this, &InstanceServer::acceptPending);
    return true;
}

std::optional<LockHolder> InstanceServer::otherInstance() const {
    return _anotherRuns && _lock ? _lock->runningHolder() : std::nullopt;
}

void InstanceServer::stopListening() {
    delete _notifier;
    _notifier = nullptr;
    if (_listener >= 0)
        ::close(_listener);
    _listener = -1;
    if (_spare >= 0)
        ::close(_spare);
    _spare = -1;
    // The socket file goes only while it is this server's: a later Tardigo may have made its own.
    const QByteArray name = QFile::encodeName(_path);
    if (_socketInode != 0 && inodeOf(name) == _socketInode)
        ::unlink(name.constData());
    _socketInode = 0;
    _lock.reset();
    _anotherRuns = false;
}

void InstanceServer::acceptPending() {
    for (;;) {
        const int descriptor = ::accept4(_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor >= 0) {
            // Connections that say nothing must not lock out one that is about to.
            if (_connections < kMaxConnections || closeOldestWaiting()) {
                serve(descriptor);
            } else {
                qCWarning(lcInstance) << "refused a connection: already" << kMaxConnections << "are open";
                ::close(descriptor);
            }
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        if (errno == EMFILE || errno == ENFILE) {
            refuseForWantOfDescriptors();
            return;
        }
        qCWarning(lcInstance).noquote() << "could not accept a connection:" << qt_error_string(errno);
        _notifier->setEnabled(false);
        _resume->start();
        return;
    }
}

void InstanceServer::refuseForWantOfDescriptors() {
    qCWarning(lcInstance) << "refused a connection: this process has no file descriptor left";
    if (_spare >= 0) {
        ::close(_spare);
        if (const int descriptor = ::accept4(_listener, nullptr, nullptr, SOCK_CLOEXEC); descriptor >= 0)
            ::close(descriptor);
        _spare = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    }
    if (_spare < 0) {
        // Without a spare the connection stays pending: rest, rather than be woken for it at once.
        _notifier->setEnabled(false);
        _resume->start();
    }
}

void InstanceServer::serve(int descriptor) {
    auto* socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        delete socket;
        return;
    }
    ++_connections;
    _waiting.push_back(socket);
    connect(socket, &QObject::destroyed, this, [this, socket] {
        --_connections;
        _waiting.remove(socket);
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
    // A connection that says nothing would hold its descriptor for good.
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, [socket] {
        qCInfo(lcInstance) << "closing a connection that sent no request in time";
        socket->abort();
        socket->deleteLater();
    });
    idle->start(_idleTimeout);
}

bool InstanceServer::closeOldestWaiting() {
    if (_waiting.empty())
        return false;
    qCInfo(lcInstance) << "closing the oldest of" << _connections << "connections to make room for a new one";
    // Not within any of its own signals here: it may go at once, and its place with it.
    delete _waiting.front();
    return true;
}

void InstanceServer::readRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestBytes) {
            qCWarning(lcInstance) << "dropping a request larger than" << kMaxRequestBytes << "bytes";
            socket->abort();
        }
        return;
    }
    _waiting.remove(socket);
    QString why;
    const std::optional<InstanceRequest> request =
        InstanceRequest::fromJson(socket->readLine(kMaxRequestBytes), &why);
    InstanceReply reply;
    if (!request) {
        qCWarning(lcInstance).noquote() << "refused a request:" << why;
        reply.ok = false;
        reply.error = QStringLiteral("Tardigo did not understand the request: %1").arg(why);
    } else if (_handler) {
        reply = _handler(*request);
    }
    socket->write(reply.toJson());
    socket->disconnectFromServer();
}

} // namespace tardigo
