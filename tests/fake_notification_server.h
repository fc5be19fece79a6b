#pragma once

#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

namespace tardigo::test {

/// What a program sent to the notification server.
struct SentNotification {
    uint id = 0;
    uint replacesId = 0; // the notification this one takes the place of; 0: none
    QString appName;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
};

/// The desktop's notification server (org.freedesktop.Notifications) on a private bus, answering on a
/// thread of its own: the program under test waits for its answers.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    /// Serves on the bus at the address, saying it can do what capabilities name ("actions" ...).
    explicit FakeNotificationServer(const QByteArray& busAddress, const QStringList& capabilities = {"body"});
    ~FakeNotificationServer() override;

    QList<SentNotification> sent();
    /// As the server says the user chose an action, or the notification closed.
    void sayActionInvoked(uint id, const QString& key);
    void sayClosed(uint id);

public slots:
    QStringList GetCapabilities();
    uint Notify(const QString& appName, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout);

private:
    void saySignal(const QString& name, const QVariantList& arguments);

    QThread _thread;
    QString _connectionName;
    QMutex _mutex;
    QStringList _capabilities;
    QList<SentNotification> _sent;
};

} // namespace tardigo::test
