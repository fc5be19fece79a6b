#pragma once

#include "instance/instance_request.h"
#include "platform/lock_holder.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <optional>

class QLocalSocket;
class QSocketNotifier;
class QTimer;

namespace tardigo {

class LockFile;

/// The running Tardigo's ear: answers each request that arrives on its socket with what the
/// handler says, one line in, one line out. It holds a lock beside the socket for as long as it
/// listens, so that no second Tardigo starts while this one runs, even when it cannot be reached.
/// It keeps listening whatever befalls one connection: a connection that sends no request in time
/// is closed, the oldest one still waiting for its request is closed to make room for a new one
/// when the most it keeps are open, and one that comes when the process has no file descriptor left
/// is refused.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<InstanceReply(const InstanceRequest&)>;

    /// How long a connection may take to send its request, and how many may be open at once.
    static constexpr std::chrono::milliseconds kDefaultIdleTimeout{5000};
    static constexpr int kMaxConnections = 64;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    /// Listens on the path unless another Tardigo holds its lock; a socket file left by a Tardigo
    /// that is gone is replaced. False with the reason.
    bool listen(const QString& path, QString* error);
    /// Whether the last listen() failed because another Tardigo runs.
    bool anotherRuns() const { return _anotherRuns; }
    /// That Tardigo, when it says who it is.
    std::optional<LockHolder> otherInstance() const;

    void setHandler(Handler handler) { _handler = std::move(handler); }
    void setIdleTimeout(std::chrono::milliseconds timeout) { _idleTimeout = timeout; }

private:
    void acceptPending();
    /// Out of file descriptors: the spare one makes room to take the connection and close it, so
    /// that it does not stay pending, and the listener with it.
    void refuseForWantOfDescriptors();
    void serve(int descriptor);
    /// Closes the connection open longest without sending its request; false when there is none.
    bool closeOldestWaiting();
    void readRequest(QLocalSocket* socket);
    void stopListening();

    std::unique_ptr<LockFile> _lock; // released last, after the socket file is gone
    bool _anotherRuns = false;
    int _listener = -1;
    int _spare = -1;
    QString _path;
    quint64 _socketInode = 0;
    QSocketNotifier* _notifier = nullptr;
    QTimer* _resume = nullptr;
    Handler _handler;
    std::chrono::milliseconds _idleTimeout = kDefaultIdleTimeout;
    int _connections = 0;
    std::list<QLocalSocket*> _waiting; // the connections yet to send their request, oldest first
};

} // namespace tardigo
