#include "fake_notification_server.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutexLocker>

namespace tardigo::test {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

FakeNotificationServer::FakeNotificationServer(const QByteArray& busAddress, const QStringList& capabilities)
    : _connectionName(QStringLiteral("notifications-%1").arg(quintptr(this))), _capabilities(capabilities) {
    moveToThread(&_thread);
    _thread.start();
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(busAddress), _connectionName);
    if (!bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) || !bus.registerService(kService))
        qFatal("the fake notification server could not take its name: %s",
               qPrintable(bus.lastError().message()));
}

FakeNotificationServer::~FakeNotificationServer() {
    QDBusConnection bus(_connectionName);
    bus.unregisterService(kService);
    bus.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(_connectionName);
    _thread.quit();
    _thread.wait();
}

QList<SentNotification> FakeNotificationServer::sent() {
    const QMutexLocker lock(&_mutex);
    return _sent;
}

void FakeNotificationServer::sayActionInvoked(uint id, const QString& key) {
    saySignal(QStringLiteral("ActionInvoked"), {id, key});
}

void FakeNotificationServer::sayClosed(uint id) {
    saySignal(QStringLiteral("NotificationClosed"), {id, 2u}); // 2: dismissed by the user
}

void FakeNotificationServer::saySignal(const QString& name, const QVariantList& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, name);
    signal.setArguments(arguments);
    QDBusConnection(_connectionName).send(signal);
}

QStringList FakeNotificationServer::GetCapabilities() {
    const QMutexLocker lock(&_mutex);
    return _capabilities;
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString&,
                                    const QString& summary, const QString& body, const QStringList& actions,
                                    const QVariantMap& hints, int) {
    const QMutexLocker lock(&_mutex);
    _sent.append({uint(_sent.size() + 1), replacesId, appName, summary, body, actions, hints});
    return _sent.last().id;
}

} // namespace tardigo::test
