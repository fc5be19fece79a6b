#pragma once

#include "instance/instance_request.h"

#include <QObject>

#include <functional>

class QLocalServer;
class QLocalSocket;

namespace tardigo {

/// The running Tardigo's ear: answers each request that arrives on its socket with what the
/// handler says, one line in, one line out.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<InstanceReply(const InstanceRequest&)>;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    /// Listens on the path, taking it over from a process that is gone; false with the reason.
    bool listen(const QString& path, QString* error);
    void setHandler(Handler handler) { _handler = std::move(handler); }

private:
    void accept();
    void readRequest(QLocalSocket* socket);

    QLocalServer* _server;
    Handler _handler;
};

} // namespace tardigo
