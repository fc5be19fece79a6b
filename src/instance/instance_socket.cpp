#include "instance/instance_socket.h"

#include <QStandardPaths>

namespace tardigo {

namespace {
QString runtimeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}
} // namespace

QString instanceSocketPath() {
    return runtimeFolder() + QStringLiteral("/tardigo-instance");
}

QString instanceLockPath() {
    return runtimeFolder() + QStringLiteral("/tardigo-instance.lock");
}

} // namespace tardigo
